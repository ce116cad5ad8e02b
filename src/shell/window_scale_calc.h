// The window scale the shell computes at start: screen size over the window's design size,
// unless the user stored a scale of 100..300 in the configuration.
#pragma once

namespace olbrax {

constexpr int kShellClientWidth = 545;
constexpr int kShellClientHeight = 312;
constexpr int kMaxWindowScale = 300;

int ComputeWindowScale(int screen_width, int screen_height, int stored_scale);

}  // namespace olbrax

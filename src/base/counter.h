// Progress counter windows for long operations, nested up to four deep, with one shared
// aborted flag that the "avbryt" button sets and long operations test between steps.
//
//   OpenCancelCounter(owner, 4, "kopiering");
//   for (...) { CounterLine(2, name); if (CounterAborted()) break; ... }
//   CloseCounter();
//
// Line numbers start at 2 (line n is window line ((n - 2) mod 8) + 1). The windows themselves
// come from the platform interface, so the same calls print progress lines in olbrax-cli.
#pragma once

#include <string_view>

#include "platform/ui.h"

namespace olbrax {

constexpr int kMaxCounterDepth = 4;

void OpenCounter(platform::Window owner, int lines, std::string_view caption);
void OpenCancelCounter(platform::Window owner, int lines, std::string_view caption);
void CounterLine(int line, std::string_view text);
void CloseCounter();
bool CounterAborted();

// The depth of the counter stack (windows above four are counted but not shown).
int CounterDepth();
// Closes every window and clears the flag (for tests).
void ResetCounters();

}  // namespace olbrax

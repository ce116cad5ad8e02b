// The program body of the GUI: single-instance guard, splash window, main window, message loop.
#pragma once

namespace olbrax {

// Runs the program and returns its exit code.
int RunProgram(int argc, char** argv);

}  // namespace olbrax

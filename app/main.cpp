// The GUI program olbrax.
#include "shell/program.h"

int main(int argc, char** argv) { return olbrax::RunProgram(argc, argv); }

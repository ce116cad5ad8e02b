// The competition data layer's start and end: the storage engine, the record buffers with their
// defaults, the key descriptions, and the exit handler that writes everything back even when
// the main window is never destroyed normally.
#pragma once

#include <span>

#include "base/text.h"

namespace olbrax {

// True when the storage engine started; decides whether it is stopped at the end.
extern bool EngineStarted;

// Takes the data directory and competition of the configuration's entry 5, starts the engine
// (`args`: the program's arguments, for "/NET"), resets the buffers, sets the key descriptions
// and installs the exit handler.
void InitCompetitionData(std::span<const Text> args);
// Stores the data directory and competition in entry 5 and stops the engine. Runs once: the
// exit handler and the window's destruction both call it.
void ExitCompetitionData();

// Resets every record buffer to its defaults.
void ClearAllRecords();

}  // namespace olbrax

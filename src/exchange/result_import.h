// The result sections of an exchange file: "*Resultat" (finish clocks by start number) and
// "*Emitresultat" (running times by start number), the registration of a result with its
// counters, relay legs, totals and best times, and the beginning and end of a results section
// with the results log.
#pragma once

#include <cstdint>

#include "base/text.h"
#include "exchange/import_step.h"

namespace olbrax {

// At the entry of a results section: the import log makes way for the results log when that
// prints, the competition's files are opened, and the results log is begun. False when the
// competition cannot be opened (the section is not read).
bool BeginResults();
// After a results section: the results log ends, the stage bookkeeping is set, and the import
// log starts again when the results log had the printer.
void EndResults();

void ImportFinishTime(const Text& line, ImportStep& step);
void ImportRunningTime(const Text& line, ImportStep& step);

// Stores a finish clock (or a status) of the current stage for the entrant of record `ref`, which
// is in EntrantRec, and prints its line in the results log. False when it could not be stored
// (the user has been shown why; the buffers and counters are as before).
bool RegisterResult(std::int32_t ref, std::int32_t value);

}  // namespace olbrax

// The handlers of the entry sections of an exchange file: "*Namn" adds entrants with their
// club, class, start number and start times; "*ModifieraNamn" changes the club, names and marks
// of entrants found by start number. Each is given one record (one line).
#pragma once

#include "base/text.h"
#include "exchange/import_step.h"

namespace olbrax {

inline constexpr int kMaxEntrants = 3200;

void ImportEntry(const Text& line, ImportStep& step);
void ModifyEntry(const Text& line, ImportStep& step);

}  // namespace olbrax

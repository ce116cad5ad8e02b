// What the main window shows of the data: the marks that disable menu items, the data status
// text, and the lines of the statistics window.
#pragma once

#include <vector>

#include "base/text.h"

namespace olbrax {

// True = disabled. A no archive, C no clubs, R no long-form route descriptions, P no
// competition, E no entrants, B no courses, K no controls.
struct DataMarks {
  bool A = true, C = true, R = true, P = true, E = true, B = true, K = true;
};

// Computes the marks; looks into the definition set on the way and reopens the entry set.
DataMarks ComputeDataMarks();
// The second panel of the data status bar.
Text DataStatusText();
// The lines of the statistics window ("hjälp" → "statistik").
std::vector<Text> StatisticsLines();

// The address editor's text: the five lines joined by line breaks, trailing breaks removed;
// and back: at most five lines of at most 22 characters.
Text AddressText(const struct AddressBlock& block);
void SetAddressText(struct AddressBlock& block, std::string_view text);

}  // namespace olbrax

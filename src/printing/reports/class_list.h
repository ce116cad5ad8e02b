// The class list: one block per class with the figures the competition keeps for it, the
// groups of figures laid out side by side as the line allows.
#pragma once

#include <vector>

#include "base/text.h"

namespace olbrax::print {

// The group width for a class of `stages` stages: w0 = 7 × stages + 12 characters, as many
// groups per line as fit, and the spare characters shared out among them.
struct ClassListLayout {
  int w0 = 0;
  int groups_per_line = 1;
  int width = 0;
};
ClassListLayout ClassListLayoutFor(int stages, int chars_per_line);

// The class in KlassRec has the individual layout (16 groups): an open class, or a competition
// whose stages are days. Otherwise the other layout (13 groups).
bool IndividualLayout();
// The groups of the class in KlassRec, each its label and the value of every stage.
std::vector<Text> ClassGroups();
// The summary line of the class in KlassRec, from character position 18 on (positions 1 and 13
// hold the number and name and the sort key).
Text ClassLineTail();

void ClassListHeader();
void ClassLine();
void ClassBlock();

}  // namespace olbrax::print

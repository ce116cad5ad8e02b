// The text of a result time and the course allocation of relay teams.
#pragma once

#include <array>
#include <cstdint>

#include "base/text.h"

namespace olbrax {

// A time as the lists show it (at most 10 characters): the status words of runners without a
// valid time, "Struken" for a struck class, otherwise the time in `format`.
Text ResultText(int format, std::int32_t time, int stage);

// One leg order: value j (leg j) is the number of the class's course that leg runs.
using LegOrder = std::array<std::int16_t, 5>;
using AllocationTable = std::array<LegOrder, 250>;

// The allocation of the class in KlassRec for team positions 1..250 (index 0..249): from the
// allocation file of the competition when it has rows for the class, otherwise every permitted
// order of the class's allocation digits spread over the teams.
void RelayAllocation(AllocationTable& table);

}  // namespace olbrax

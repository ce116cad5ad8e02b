// The program's files checked as the program reads them: each file of a data directory known by
// its name has the record length of its record type, every live record's status word is 0, every
// live record's keys are in its indexes, and every index entry names a live record with that key.
#pragma once

#include <string_view>

#include "storage/block_check.h"

namespace olbrax {

// Whether the block is one of the program's files: the archive OLBRAX, a shared register
// (CLUBAR, DISTR, RUTBESKR, RUTB24) or a competition file (KLASS, OL, TRACK, KONTR, IOFID +
// 01..08).
bool KnowsRecordKeys(std::string_view block_name);
isam::CheckResult CheckRecordKeys(std::string_view block_name);

}  // namespace olbrax

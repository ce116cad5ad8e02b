// The agreement of records and indexes in the files of a data directory: every live record's
// keys are in its indexes, and every index entry names a live record with that key.
#pragma once

#include <string_view>

#include "storage/block_check.h"

namespace olbrax {

// Whether the block is one of the competition files whose keys this check knows.
bool KnowsRecordKeys(std::string_view block_name);
isam::CheckResult CheckRecordKeys(std::string_view block_name);

}  // namespace olbrax

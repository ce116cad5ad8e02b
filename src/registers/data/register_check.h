// Record against index for the label file ("Etikett") and the payment-form files ("giroP",
// "giroB"): every live record has exactly its key in the index (as the register stores it) and
// every key names a live record whose key it is. For olbrax-cli check and the tests.
#pragma once

#include <string_view>

#include "storage/block_check.h"

namespace olbrax {

// True for a block named "Etikett", "giroP" or "giroB" (any case) in any folder.
bool IsSideRegisterBlock(std::string_view block_name);

// Checks the records of such a block against its index (the block is read, never changed).
isam::CheckResult CheckSideRegisterKeys(std::string_view block_name);

}  // namespace olbrax

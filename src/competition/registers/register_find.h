// The find operation shared by every register: position in an index by mode and read the record
// that the position names into the register's buffer.
#pragma once

#include <cstdint>
#include <string_view>

#include "base/text.h"
#include "competition/archive_state.h"
#include "competition/registers/register_change.h"
#include "storage/efiler.h"

namespace olbrax {

// Modes of the Find operations.
enum FindMode : int { kFindExact = 0, kFindNext = 2, kFindFrom = 3, kFindReset = 4, kFindRecord = 5 };

// `cut`: the key width (0 = not cut); `convert`: the key goes through the storage conversion.
// An empty key is looked up exactly as the key it is stored under (`empty_as`), so that a record
// stored with an empty key is found again and not added twice.
template <class Rec>
void FindIn(FileBlock* fb, int k, int mode, std::string_view key_in, int cut, bool convert, Rec& buffer,
            RegisterState& state, std::int32_t& ref, bool& at_end, bool& found,
            std::string_view empty_as = kEmptyKey) {
  Text key(cut > 0 ? key_in.substr(0, std::min<std::size_t>(key_in.size(), static_cast<std::size_t>(cut))) : key_in);
  if (mode == kFindExact) key = StoredKey(key, empty_as);
  if (convert) key = WinToDos(key);
  at_end = false;
  found = false;
  if (!fb) {
    at_end = true;
    return;
  }
  std::int32_t last = FileLen(fb) - 1;
  isam::ResetStatus();
  switch (mode) {
    case kFindExact: FindKey(fb, k, ref, key); break;
    case kFindNext:
      NextKey(fb, k, ref, key);
      at_end = !IsamOK;
      break;
    case kFindFrom: SearchKey(fb, k, ref, key); break;
    case kFindReset:
      ClearKey(fb, k);
      ref = 0;
      state.last_found = 0;
      break;
    default: break;
  }
  at_end = at_end || ref > last;
  found = !at_end && IsamOK && ref != 0;
  at_end = !found;
  if (found) {
    GetRec(fb, ref, &buffer);
    FromStorage(buffer);
    found = IsamOK && buffer.DataStatus == 0;
    if (found) state.last_found = ref;
  }
}

}  // namespace olbrax

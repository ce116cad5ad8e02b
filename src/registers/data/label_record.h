// The label record of the address and label register (file "Etikett" in the data directory),
// laid out as on disk, and what its text means: the key and the picture of a picture label.
//
//   offset size field
//        0    4 DataStatus: 0 while the record is in use (the engine's status word)
//        4  241 Etk: the label text, a length byte and at most 240 Windows-1252 characters;
//               lines are separated by CR LF
//      245    3 unused, zero
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "base/text.h"
#include "competition/records/record_text.h"

namespace olbrax {

struct TEtikettRec {
  std::int32_t DataStatus;
  PStr<240> Etk;
  std::uint8_t unused[3];
};
static_assert(sizeof(TEtikettRec) == 248);
static_assert(offsetof(TEtikettRec, Etk) == 4 && offsetof(TEtikettRec, unused) == 245);

inline constexpr int kLabelTextMax = 240;

// The key of a label: its first line (the characters before the first CR LF, or the whole
// text), cut to 30 characters, with no case change and no conversion.
Text LabelKey(std::string_view text);

// A label whose first line, upper-cased, contains "BITMAP" is a picture label; its picture path
// is the rest of the first line after that word, as written and not trimmed. For a text label
// `is_picture` is false and `path` is the first line.
struct LabelPictureInfo {
  bool is_picture = false;
  Text path;
};
LabelPictureInfo LabelPicture(std::string_view text);

}  // namespace olbrax

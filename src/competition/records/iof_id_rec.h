// One identity that arrived in an IOF XML message, kept per competition in the file IOFIDnn
// beside the competition's other files, so that the ids come back unchanged in every export.
// 352 bytes on disk.
//
//   offset width  field     meaning
//        0     4  DataStatus
//        4     1  Kind      what the id belongs to: 'O' club, 'C' class, 'K' control, 'B' course,
//                           'P' person entrant, 'T' team entrant, 'M' team member (one leg)
//        5    31  Local     text 30: the program's key of the record: club name, class name,
//                           control code, course name; for entrants the record number (5 digits),
//                           for team members record number + "/" + leg
//       36    64  IofId     text 63: the id as the message gave it (UTF-8)
//      100    64  Extra     text 63 (UTF-8): the entry id of a person or team; a control's type
//                           ("Start", "Finish", "Control"); a course's start and finish control
//                           ids, separated by a tab; a long control card number
//      164   128  FullName  text 127 (UTF-8): the name as the message gave it (a person's given
//                           name, a tab and the family name)
//      292    33  Check     text 32 (Windows-1252): what the program's record held when the id
//                           was stored (an entrant's start number and name); an id whose record
//                           no longer matches is not used
//      325    27  reserved, zero
//
// Keys: 1 = Kind + Local, 2 = Kind + IofId, each cut to 29 characters, duplicates allowed (a cut
// key is confirmed against the whole field of the record).
#pragma once

#include <cstddef>
#include <cstdint>

#include "competition/records/record_text.h"

namespace olbrax {

struct TIofIdRec {
  std::int32_t DataStatus;
  char Kind;
  PStr<30> Local;
  PStr<63> IofId;
  PStr<63> Extra;
  PStr<127> FullName;
  PStr<32> Check;
  std::uint8_t reserved[27];
};
static_assert(sizeof(TIofIdRec) == 352);
static_assert(offsetof(TIofIdRec, Kind) == 4 && offsetof(TIofIdRec, Local) == 5 && offsetof(TIofIdRec, IofId) == 36);
static_assert(offsetof(TIofIdRec, Extra) == 100 && offsetof(TIofIdRec, FullName) == 164);
static_assert(offsetof(TIofIdRec, Check) == 292 && offsetof(TIofIdRec, reserved) == 325);

inline constexpr int kIofIdRecLen = 352;
// Key length of both indexes (the length byte included).
inline constexpr int kIofIdKeyLen = 30;

}  // namespace olbrax

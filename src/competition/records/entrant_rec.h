// One entrant: class and club references, start number, times and placings per stage, names
// per stage (relay legs), courses and marks. 1748 bytes on disk.
#pragma once

#include <cstddef>
#include <cstdint>

#include "competition/records/record_text.h"

namespace olbrax {

struct TEntrantRec {
  std::int32_t DataStatus;
  std::int32_t ClassRef;
  PStr<4> StartNumber;  // key 1
  std::uint8_t gap13;
  std::int16_t EntryNumber;
  std::int16_t OwnRef;
  std::int16_t Placing[6][26];
  std::uint8_t gap330[2];
  std::int32_t StartTime[5];
  std::int32_t RunTime[6][26];
  std::int32_t FinishTime[5][26];
  PStr<7> TeamOrRanking;
  PStr<32> StageName[5];
  std::uint8_t gap1669[3];
  std::int32_t ClubRef;
  PStr<3> EntrantCourse[5];
  std::uint8_t Counted;
  PStr<2> StageMark[5];
  std::int16_t ExtraNumber;
  PStr<7> ExtraText;
  std::uint8_t reserved[26];
};

static_assert(sizeof(TEntrantRec) == 1748);
static_assert(offsetof(TEntrantRec, ClassRef) == 4 && offsetof(TEntrantRec, StartNumber) == 8);
static_assert(offsetof(TEntrantRec, EntryNumber) == 14 && offsetof(TEntrantRec, OwnRef) == 16);
static_assert(offsetof(TEntrantRec, Placing) == 18 && offsetof(TEntrantRec, StartTime) == 332);
static_assert(offsetof(TEntrantRec, RunTime) == 352 && offsetof(TEntrantRec, FinishTime) == 976);
static_assert(offsetof(TEntrantRec, TeamOrRanking) == 1496 && offsetof(TEntrantRec, StageName) == 1504);
static_assert(offsetof(TEntrantRec, ClubRef) == 1672 && offsetof(TEntrantRec, EntrantCourse) == 1676);
static_assert(offsetof(TEntrantRec, Counted) == 1696 && offsetof(TEntrantRec, StageMark) == 1697);
static_assert(offsetof(TEntrantRec, ExtraNumber) == 1712 && offsetof(TEntrantRec, ExtraText) == 1714);
static_assert(offsetof(TEntrantRec, reserved) == 1722);

extern TEntrantRec EntrantRec;

void ClearEntrant();
void ToStorage(TEntrantRec& r);
void FromStorage(TEntrantRec& r);

}  // namespace olbrax

// The club statistics and payment data of one competition: one 41 080-byte block in the plain
// file CLUBSnn.Dat (not a storage-engine record, so without a status word).
#pragma once

#include <cstddef>
#include <cstdint>

#include "competition/records/record_text.h"

namespace olbrax {

inline constexpr int kMaxClubRecords = 900;
inline constexpr int kMaxControlRecords = 512;

struct TCmpClubRec {
  LongPath DrawFilePath;
  LongPath SecondPath;
  std::int16_t ClubsWithEntrants;
  std::int16_t ClubEntrantCount[kMaxClubRecords + 1];  // by club record number 1..900
  std::int16_t ControlUse[kMaxControlRecords];         // element i - 1 for control record i
  std::uint8_t reserved4878[20];
  PStr<32> PlusgiroNumber;
  PStr<32> BankgiroNumber;
  PStr<32> Payee;
  std::uint8_t gap4997[3];
  // One 40-byte entry per club record number 0..900 (0 = totals): three amounts as 6-byte reals
  // at 0, 8 and 16, six int16 counters at 22..33.
  std::uint8_t ClubStatistics[kMaxClubRecords + 1][40];
  std::uint8_t reserved41040[40];
};
static_assert(sizeof(TCmpClubRec) == 41080);
static_assert(offsetof(TCmpClubRec, SecondPath) == 1025 && offsetof(TCmpClubRec, ClubsWithEntrants) == 2050);
static_assert(offsetof(TCmpClubRec, ClubEntrantCount) == 2052 && offsetof(TCmpClubRec, ControlUse) == 3854);
static_assert(offsetof(TCmpClubRec, PlusgiroNumber) == 4898 && offsetof(TCmpClubRec, BankgiroNumber) == 4931);
static_assert(offsetof(TCmpClubRec, Payee) == 4964 && offsetof(TCmpClubRec, ClubStatistics) == 5000);
static_assert(offsetof(TCmpClubRec, reserved41040) == 41040);

extern TCmpClubRec CmpClubRec;

// The amounts (0, 1, 2 at byte 0, 8, 16) and counters (0..5 at byte 22 + 2k) of a club entry.
double ClubAmount(int club, int amount);
void SetClubAmount(int club, int amount, double value);
std::int16_t ClubCounter(int club, int counter);
void SetClubCounter(int club, int counter, std::int16_t value);

void ToStorage(TCmpClubRec& r);
void FromStorage(TCmpClubRec& r);

}  // namespace olbrax

// Clubs (548 bytes) and districts (32 bytes), shared by all competitions of a data directory.
#pragma once

#include <cstddef>
#include <cstdint>

#include "competition/records/record_text.h"

namespace olbrax {

struct TClubRec {
  std::int32_t DataStatus;
  std::int32_t ClubNumber;
  PStr<2> DistrictNumber;
  PStr<30> ClubName;  // key 1, upper case
  PStr<3> ClubCode;
  AddressBlock ClubAddress[4];
  std::int16_t ClubFlagA;
  std::int16_t ClubValue;
  std::int16_t ClubFlagB;
  std::int16_t ClubFlagC;
  std::uint8_t reserved[34];
};
static_assert(sizeof(TClubRec) == 548);
static_assert(offsetof(TClubRec, ClubNumber) == 4 && offsetof(TClubRec, DistrictNumber) == 8);
static_assert(offsetof(TClubRec, ClubName) == 11 && offsetof(TClubRec, ClubCode) == 42);
static_assert(offsetof(TClubRec, ClubAddress) == 46 && offsetof(TClubRec, ClubFlagA) == 506);
static_assert(offsetof(TClubRec, ClubValue) == 508 && offsetof(TClubRec, ClubFlagB) == 510);
static_assert(offsetof(TClubRec, ClubFlagC) == 512 && offsetof(TClubRec, reserved) == 514);

struct TDistrRec {
  std::int32_t DataStatus;
  PStr<2> Dnr;  // key 1
  PStr<19> Dname;
  PStr<3> Dkort;
  std::uint8_t gap31;
};
static_assert(sizeof(TDistrRec) == 32);
static_assert(offsetof(TDistrRec, Dnr) == 4 && offsetof(TDistrRec, Dname) == 7 && offsetof(TDistrRec, Dkort) == 27);

extern TClubRec ClubRec;
extern TDistrRec DistrRec;

void ClearClub();
void ClearDistrict();
void ToStorage(TClubRec& r);
void FromStorage(TClubRec& r);
void ToStorage(TDistrRec& r);
void FromStorage(TDistrRec& r);

}  // namespace olbrax

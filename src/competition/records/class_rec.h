// One class of a competition: name, sort key, courses and allocations per stage, start
// settings, winner times and counters. 2348 bytes on disk.
#pragma once

#include <cstddef>
#include <cstdint>

#include "competition/records/record_text.h"

namespace olbrax {

struct TKlassRec {
  std::int32_t DataStatus;
  PStr<2> Lnr;
  PStr<8> Bet;        // class name; key 2
  PStr<14> SortOrdn;  // sort key; key 1
  PStr<3> Bana[5];
  PStr<6> BanLottn[5];
  std::uint8_t gap86[2];
  std::int32_t BanSize[5][26];
  std::int32_t SMell[5];
  std::int16_t FrstStNr;
  std::int16_t StNrCount;
  std::int32_t FrstStTid[5];
  std::int32_t SegrTid[6][26];
  std::int32_t SegrNdx[6][26];
  std::int16_t maxi;
  CountType Count;
  std::int16_t vakanser;
  std::int16_t eftAnm[2];
  std::int16_t FirstDataNr;
  std::int16_t LastDataNr;
  std::int16_t StrNr;
  std::int16_t nontime[5];
  std::int16_t St[5];
  std::int16_t Goal[5];
  std::int16_t FilNr[5];
  std::int16_t Jakt[5];
  std::int16_t Nummerlapp;
  std::uint8_t Flag;
  std::uint8_t gap2279;
  std::int32_t minKmTid;
  std::int32_t maxKmTid;
  std::uint8_t Struken[6];
  std::uint8_t nPris[6];
  std::int16_t nStart[6];
  std::uint8_t reserv[36];
};

static_assert(sizeof(TKlassRec) == 2348);
static_assert(offsetof(TKlassRec, Lnr) == 4 && offsetof(TKlassRec, Bet) == 7 && offsetof(TKlassRec, SortOrdn) == 16);
static_assert(offsetof(TKlassRec, Bana) == 31 && offsetof(TKlassRec, BanLottn) == 51);
static_assert(offsetof(TKlassRec, BanSize) == 88 && offsetof(TKlassRec, SMell) == 608);
static_assert(offsetof(TKlassRec, FrstStNr) == 628 && offsetof(TKlassRec, StNrCount) == 630);
static_assert(offsetof(TKlassRec, FrstStTid) == 632 && offsetof(TKlassRec, SegrTid) == 652);
static_assert(offsetof(TKlassRec, SegrNdx) == 1276 && offsetof(TKlassRec, maxi) == 1900);
static_assert(offsetof(TKlassRec, Count) == 1902 && offsetof(TKlassRec, vakanser) == 2214);
static_assert(offsetof(TKlassRec, eftAnm) == 2216 && offsetof(TKlassRec, FirstDataNr) == 2220);
static_assert(offsetof(TKlassRec, LastDataNr) == 2222 && offsetof(TKlassRec, StrNr) == 2224);
static_assert(offsetof(TKlassRec, nontime) == 2226 && offsetof(TKlassRec, St) == 2236);
static_assert(offsetof(TKlassRec, Goal) == 2246 && offsetof(TKlassRec, FilNr) == 2256);
static_assert(offsetof(TKlassRec, Jakt) == 2266 && offsetof(TKlassRec, Nummerlapp) == 2276);
static_assert(offsetof(TKlassRec, Flag) == 2278 && offsetof(TKlassRec, minKmTid) == 2280);
static_assert(offsetof(TKlassRec, maxKmTid) == 2284 && offsetof(TKlassRec, Struken) == 2288);
static_assert(offsetof(TKlassRec, nPris) == 2294 && offsetof(TKlassRec, nStart) == 2300);
static_assert(offsetof(TKlassRec, reserv) == 2312);

extern TKlassRec KlassRec;

// Zero-fills the class buffer and writes the defaults, copied in part from the competition.
void ClearClassRec();
void ToStorage(TKlassRec& r);
void FromStorage(TKlassRec& r);

}  // namespace olbrax

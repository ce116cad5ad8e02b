// The competition entry of the archive (one per competition): names, stages, defaults copied
// into new classes, exchange-file settings and print settings. 2364 bytes on disk.
#pragma once

#include <cstddef>
#include <cstdint>

#include "competition/records/record_text.h"

namespace olbrax {

struct TAvg {
  std::int16_t e, u, o, l;
  PStr<6> ef;
  std::uint8_t gap;
};
static_assert(sizeof(TAvg) == 16);

struct TInfoRec {
  std::int32_t DataStatus;
  PStr<2> Lnr;
  PStr<40> Arr;
  PStr<40> Tvl;
  PStr<20> Date;
  std::uint8_t gap110[2];
  std::int32_t minKmTid;
  std::int32_t maxKmTid;
  std::int16_t DagStr;
  std::int16_t MellanTid;
  std::int32_t StTidCount[5];
  std::uint8_t ResIndex[6][26];
  std::int16_t nontime[5];
  CountType Count;
  std::uint8_t Days;
  std::uint8_t Relay;
  std::int16_t StrNr;
  std::int16_t maxDag;
  std::int16_t maxLap;
  PStr<12> Typ;
  AddressBlock adress[4];
  std::uint8_t gap1103;
  TAvg Avg;
  std::uint8_t gLottad, cLottad, sLottad, Lottad, Jaktad;
  std::uint8_t kort;
  std::uint8_t labelMode;
  std::uint8_t postgiromode;
  std::int32_t KartSkala;
  std::uint16_t mTabell;
  LongPath ExtraFileName;
  std::uint8_t doRanking;
  std::uint8_t hhmmssMode;
  std::uint8_t gap2161;
  std::int16_t resDag[2];
  std::int16_t resDag1[2];
  std::uint8_t gemen;
  std::uint8_t gap2171;
  std::int16_t BanPrSkala24;
  std::int16_t banPrSkala8;
  std::int16_t etkrader;
  std::uint8_t SortVx;
  std::uint8_t mankordn;
  std::uint8_t SNrresultat;
  std::uint8_t eftstartl;
  std::uint8_t banPrSkalaW;
  std::uint8_t kortkod;
  std::uint8_t remsplakat;
  std::uint8_t PrLogg;
  std::uint8_t remslogg;
  std::uint8_t gap2187;
  std::int16_t etkmarg;
  std::uint8_t timerelative;
  std::uint8_t gap2191;
  std::int16_t vakanser;
  std::uint16_t tvlnr;
  std::uint16_t tvltyp;
  std::uint8_t tvldistr;
  std::uint8_t ClubSort;
  std::uint8_t ClubNrOption;
  std::uint8_t gap2201;
  std::uint8_t nStart[12];
  std::uint8_t usedirklass;
  PStr<22> dirklassfilter;
  std::uint8_t barcode;
  std::uint8_t gap2239;
  std::int32_t NollTid[5];
  std::uint8_t SNrstart;
  std::uint8_t Reserv[103];
};

static_assert(sizeof(TInfoRec) == 2364);
static_assert(offsetof(TInfoRec, Lnr) == 4 && offsetof(TInfoRec, Arr) == 7 && offsetof(TInfoRec, Tvl) == 48);
static_assert(offsetof(TInfoRec, Date) == 89 && offsetof(TInfoRec, minKmTid) == 112);
static_assert(offsetof(TInfoRec, maxKmTid) == 116 && offsetof(TInfoRec, DagStr) == 120);
static_assert(offsetof(TInfoRec, MellanTid) == 122 && offsetof(TInfoRec, StTidCount) == 124);
static_assert(offsetof(TInfoRec, ResIndex) == 144 && offsetof(TInfoRec, nontime) == 300);
static_assert(offsetof(TInfoRec, Count) == 310 && offsetof(TInfoRec, Days) == 622);
static_assert(offsetof(TInfoRec, Relay) == 623 && offsetof(TInfoRec, StrNr) == 624);
static_assert(offsetof(TInfoRec, maxDag) == 626 && offsetof(TInfoRec, maxLap) == 628);
static_assert(offsetof(TInfoRec, Typ) == 630 && offsetof(TInfoRec, adress) == 643);
static_assert(offsetof(TInfoRec, Avg) == 1104 && offsetof(TInfoRec, gLottad) == 1120);
static_assert(offsetof(TInfoRec, Jaktad) == 1124 && offsetof(TInfoRec, kort) == 1125);
static_assert(offsetof(TInfoRec, labelMode) == 1126 && offsetof(TInfoRec, postgiromode) == 1127);
static_assert(offsetof(TInfoRec, KartSkala) == 1128 && offsetof(TInfoRec, mTabell) == 1132);
static_assert(offsetof(TInfoRec, ExtraFileName) == 1134 && offsetof(TInfoRec, doRanking) == 2159);
static_assert(offsetof(TInfoRec, hhmmssMode) == 2160 && offsetof(TInfoRec, resDag) == 2162);
static_assert(offsetof(TInfoRec, resDag1) == 2166 && offsetof(TInfoRec, gemen) == 2170);
static_assert(offsetof(TInfoRec, BanPrSkala24) == 2172 && offsetof(TInfoRec, banPrSkala8) == 2174);
static_assert(offsetof(TInfoRec, etkrader) == 2176 && offsetof(TInfoRec, SortVx) == 2178);
static_assert(offsetof(TInfoRec, mankordn) == 2179 && offsetof(TInfoRec, eftstartl) == 2181);
static_assert(offsetof(TInfoRec, banPrSkalaW) == 2182 && offsetof(TInfoRec, PrLogg) == 2185);
static_assert(offsetof(TInfoRec, etkmarg) == 2188 && offsetof(TInfoRec, timerelative) == 2190);
static_assert(offsetof(TInfoRec, vakanser) == 2192 && offsetof(TInfoRec, tvlnr) == 2194);
static_assert(offsetof(TInfoRec, tvltyp) == 2196 && offsetof(TInfoRec, tvldistr) == 2198);
static_assert(offsetof(TInfoRec, ClubSort) == 2199 && offsetof(TInfoRec, ClubNrOption) == 2200);
static_assert(offsetof(TInfoRec, nStart) == 2202 && offsetof(TInfoRec, usedirklass) == 2214);
static_assert(offsetof(TInfoRec, dirklassfilter) == 2215 && offsetof(TInfoRec, barcode) == 2238);
static_assert(offsetof(TInfoRec, NollTid) == 2240 && offsetof(TInfoRec, SNrstart) == 2260);
static_assert(offsetof(TInfoRec, Reserv) == 2261);

// The competition buffer.
extern TInfoRec InfoRec;

// Zero-fills the buffer and writes the defaults; also makes no competition current and clears
// the motion flag.
void ClearCompetitionRec();
void ToStorage(TInfoRec& r);
void FromStorage(TInfoRec& r);

}  // namespace olbrax

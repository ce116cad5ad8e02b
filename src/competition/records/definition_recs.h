// Controls (116 bytes) and courses (280 bytes) of a competition's definition set.
#pragma once

#include <cstddef>
#include <cstdint>

#include "competition/records/record_text.h"

namespace olbrax {

struct TKontrRec {
  std::int32_t DataStatus;
  PStr<3> KodNr;  // key 1, upper case
  std::int32_t posX;
  std::int32_t posY;
  PStr<10> R[8];  // description columns A..H
  std::uint8_t Reserv[12];
};
static_assert(sizeof(TKontrRec) == 116);
static_assert(offsetof(TKontrRec, KodNr) == 4 && offsetof(TKontrRec, posX) == 8 && offsetof(TKontrRec, posY) == 12);
static_assert(offsetof(TKontrRec, R) == 16 && offsetof(TKontrRec, Reserv) == 104);

// At most 35 controls in a course.
inline constexpr int kMaxCourseControls = 35;

struct TTrackRec {
  std::int32_t DataStatus;
  PStr<12> Bana;  // key 1, upper case
  std::uint8_t gap17[3];
  std::int32_t BanSize[26];
  std::int16_t Rise;
  std::int16_t Antal;
  PStr<3> KodNr[kMaxCourseControls];
  std::uint8_t Reserv[12];
};
static_assert(sizeof(TTrackRec) == 280);
static_assert(offsetof(TTrackRec, Bana) == 4 && offsetof(TTrackRec, BanSize) == 20);
static_assert(offsetof(TTrackRec, Rise) == 124 && offsetof(TTrackRec, Antal) == 126);
static_assert(offsetof(TTrackRec, KodNr) == 128 && offsetof(TTrackRec, Reserv) == 268);

extern TKontrRec KontrRec;
extern TTrackRec TrackRec;

// Controls and courses start as zeros.
void ClearControl();
void ClearCourse();
void ToStorage(TKontrRec& r);
void FromStorage(TKontrRec& r);
void ToStorage(TTrackRec& r);
void FromStorage(TTrackRec& r);

}  // namespace olbrax

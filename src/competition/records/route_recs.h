// Route-description entries: the short form (288 bytes, file RUTBESKR) and the long form
// (520 bytes, file RUTB24), each a key word, a text and a symbol picture.
#pragma once

#include <cstddef>
#include <cstdint>

#include "competition/records/record_text.h"

namespace olbrax {

struct TRouteRec {
  std::int32_t DataStatus;
  std::int16_t OwnRef;
  PStr<10> RouteKey;  // key 1, upper case
  PStr<48> RouteText;
  std::uint8_t RouteSymbol[3][40];  // [row 1..3][column 1..40]
  std::int16_t RouteNumber;
  std::uint8_t reserved[100];
};
static_assert(sizeof(TRouteRec) == 288);
static_assert(offsetof(TRouteRec, OwnRef) == 4 && offsetof(TRouteRec, RouteKey) == 6);
static_assert(offsetof(TRouteRec, RouteText) == 17 && offsetof(TRouteRec, RouteSymbol) == 66);
static_assert(offsetof(TRouteRec, RouteNumber) == 186 && offsetof(TRouteRec, reserved) == 188);

struct TRoute24Rec {
  std::int32_t DataStatus;
  std::int16_t RouteNumber;
  std::int16_t OwnRef;
  PStr<10> RouteKey;  // key 1, upper case
  PStr<48> RouteText;
  std::uint8_t RouteSymbol[3][3][48];  // [band 1..3][row 1..3][column 1..48]
  std::uint8_t reserved[20];
};
static_assert(sizeof(TRoute24Rec) == 520);
static_assert(offsetof(TRoute24Rec, RouteNumber) == 4 && offsetof(TRoute24Rec, OwnRef) == 6);
static_assert(offsetof(TRoute24Rec, RouteKey) == 8 && offsetof(TRoute24Rec, RouteText) == 19);
static_assert(offsetof(TRoute24Rec, RouteSymbol) == 68 && offsetof(TRoute24Rec, reserved) == 500);

extern TRouteRec RouteRec;
extern TRoute24Rec Route24Rec;

void ClearRoute();
void ClearRoute24();
void ToStorage(TRouteRec& r);
void FromStorage(TRouteRec& r);
void ToStorage(TRoute24Rec& r);
void FromStorage(TRoute24Rec& r);

}  // namespace olbrax

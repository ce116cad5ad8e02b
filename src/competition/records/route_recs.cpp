#include "competition/records/route_recs.h"

namespace olbrax {

TRouteRec RouteRec{};
TRoute24Rec Route24Rec{};

void ClearRoute() {
  std::memset(&RouteRec, 0, sizeof RouteRec);
  RouteRec.RouteNumber = 999;
}

void ClearRoute24() {
  std::memset(&Route24Rec, 0, sizeof Route24Rec);
  Route24Rec.RouteNumber = 999;
}

template <class Rec, class F>
static void Convert(Rec& r, F f) {
  r.RouteKey.convert(f);
  r.RouteText.convert(f);
}

void ToStorage(TRouteRec& r) { Convert(r, ToStorageText); }
void FromStorage(TRouteRec& r) { Convert(r, FromStorageText); }
void ToStorage(TRoute24Rec& r) { Convert(r, ToStorageText); }
void FromStorage(TRoute24Rec& r) { Convert(r, FromStorageText); }

}  // namespace olbrax

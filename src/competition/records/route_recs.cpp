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

void ToStorage(TRouteRec& r) {
  r.RouteKey.convert(ToStorageText);
  r.RouteText.convert(ToStorageText);
}
void FromStorage(TRouteRec& r) {
  r.RouteKey.convert(FromStorageText);
  r.RouteText.convert(FromStorageText);
}
void ToStorage(TRoute24Rec& r) {
  r.RouteKey.convert(ToStorageText);
  r.RouteText.convert(ToStorageText);
}
void FromStorage(TRoute24Rec& r) {
  r.RouteKey.convert(FromStorageText);
  r.RouteText.convert(FromStorageText);
}

}  // namespace olbrax

#include "competition/records/definition_recs.h"

namespace olbrax {

TKontrRec KontrRec{};
TTrackRec TrackRec{};

void ClearControl() { std::memset(&KontrRec, 0, sizeof KontrRec); }
void ClearCourse() { std::memset(&TrackRec, 0, sizeof TrackRec); }

template <class F>
static void Convert(TKontrRec& r, F f) {
  r.KodNr.convert(f);
  for (auto& c : r.R) c.convert(f);
}

template <class F>
static void Convert(TTrackRec& r, F f) {
  r.Bana.convert(f);
  for (auto& k : r.KodNr) k.convert(f);
}

void ToStorage(TKontrRec& r) { Convert(r, ToStorageText); }
void FromStorage(TKontrRec& r) { Convert(r, FromStorageText); }
void ToStorage(TTrackRec& r) { Convert(r, ToStorageText); }
void FromStorage(TTrackRec& r) { Convert(r, FromStorageText); }

}  // namespace olbrax

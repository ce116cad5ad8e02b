#include "competition/records/entrant_rec.h"

#include "competition/records/competition_rec.h"

namespace olbrax {

TEntrantRec EntrantRec{};

void ClearEntrant() {
  TEntrantRec& r = EntrantRec;
  std::memset(&r, 0, sizeof r);
  r.StartNumber.set("0000");
  for (auto& m : r.StageMark) m.set("LL");
  if (!InfoRec.Days)
    for (int s = 1; s <= 5; ++s) r.StageName[s - 1].set("str " + ZeroStr(s, 2));
  for (auto& stage : r.Placing)
    for (auto& p : stage) p = 9999;
  for (auto& stage : r.RunTime)
    for (auto& t : stage) t = 5999948;
}

template <class F>
static void Convert(TEntrantRec& r, F f) {
  r.StartNumber.convert(f);
  r.TeamOrRanking.convert(f);
  for (auto& n : r.StageName) n.convert(f);
  for (auto& c : r.EntrantCourse) c.convert(f);
}

void ToStorage(TEntrantRec& r) { Convert(r, ToStorageText); }
void FromStorage(TEntrantRec& r) { Convert(r, FromStorageText); }

}  // namespace olbrax

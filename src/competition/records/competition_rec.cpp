#include "competition/records/competition_rec.h"

#include "competition/archive_state.h"

namespace olbrax {

TInfoRec InfoRec{};

void ClearCompetitionRec() {
  TInfoRec& r = InfoRec;
  std::memset(&r, 0, sizeof r);
  r.Days = 1;
  r.StrNr = 1;
  for (auto& n : r.nontime) n = 1;
  r.minKmTid = 360;
  r.maxKmTid = 720;
  r.Avg.e = r.Avg.u = r.Avg.o = 1;
  r.Avg.l = 10;
  r.Avg.ef.set("*1.5");
  r.kort = 7;
  r.labelMode = 1;
  r.postgiromode = 0;
  r.KartSkala = 15000;
  r.mTabell = 12;
  r.doRanking = 1;
  r.resDag[0] = r.resDag[1] = -1;
  r.resDag1[0] = r.resDag1[1] = -1;
  r.gemen = 1;
  r.BanPrSkala24 = 1;
  r.banPrSkala8 = 3;
  r.eftstartl = 0;
  r.banPrSkalaW = 12;
  r.etkmarg = 2;
  r.tvltyp = '?';
  r.ClubSort = 1;
  r.usedirklass = 1;
  r.dirklassfilter.set("\xD6 DIR");
  for (auto& t : r.NollTid) t = 32400;
  r.SNrstart = 1;
  CurrentCompetition = 0;
  MotionCompetition = false;
}

template <class F>
static void Convert(TInfoRec& r, F f) {
  r.Lnr.convert(f);
  r.Arr.convert(f);
  r.Tvl.convert(f);
  r.Date.convert(f);
  r.Typ.convert(f);
  for (auto& block : r.adress)
    for (auto& line : block.line) line.convert(f);
  r.Avg.ef.convert(f);
  r.ExtraFileName.convert(f);
  r.dirklassfilter.convert(f);
}

void ToStorage(TInfoRec& r) { Convert(r, ToStorageText); }
void FromStorage(TInfoRec& r) { Convert(r, FromStorageText); }

}  // namespace olbrax

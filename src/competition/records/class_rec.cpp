#include "competition/records/class_rec.h"

#include "competition/archive_state.h"
#include "competition/records/competition_rec.h"

namespace olbrax {

TKlassRec KlassRec{};

void ClearClassRec() {
  TKlassRec& r = KlassRec;
  std::memset(&r, 0, sizeof r);
  r.minKmTid = InfoRec.minKmTid;
  r.maxKmTid = InfoRec.maxKmTid;
  r.vakanser = InfoRec.vakanser;
  r.StrNr = InfoRec.StrNr;
  for (int s = 0; s < 5; ++s) r.nontime[s] = InfoRec.nontime[s];
  r.maxi = MotionCompetition ? 3200 : 250;
  r.eftAnm[0] = r.eftAnm[1] = -1;
  for (auto& stage : r.SegrTid)
    for (auto& t : stage) t = 5999948;
  bool relay = InfoRec.Days == 0;
  static constexpr std::string_view kDigits = "123456789";
  for (int s = 1; s <= 5; ++s) {
    r.Bana[s - 1].set(Text(1, static_cast<char>(64 + s)));
    r.St[s - 1] = r.Goal[s - 1] = r.FilNr[s - 1] = 1;
    r.SMell[s - 1] = InfoRec.Days ? 60 : 0;
    int n = relay ? std::clamp<int>(InfoRec.StrNr, 0, 9) : 1;
    int p = relay ? 1 : s;
    r.BanLottn[s - 1].set(kDigits.substr(static_cast<std::size_t>(p - 1), static_cast<std::size_t>(n)));
  }
}

template <class F>
static void Convert(TKlassRec& r, F f) {
  r.Bet.convert(f);
  r.SortOrdn.convert(f);
  for (auto& b : r.Bana) b.convert(f);
  for (auto& b : r.BanLottn) b.convert(f);
}

void ToStorage(TKlassRec& r) { Convert(r, ToStorageText); }
void FromStorage(TKlassRec& r) { Convert(r, FromStorageText); }

}  // namespace olbrax

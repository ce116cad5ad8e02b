#include "competition/records/club_recs.h"

namespace olbrax {

TClubRec ClubRec{};
TDistrRec DistrRec{};

void ClearClub() {
  std::memset(&ClubRec, 0, sizeof ClubRec);
  ClubRec.DistrictNumber.set("00");
  ClubRec.ClubValue = 1;
  ClubRec.ClubFlagA = ClubRec.ClubFlagB = ClubRec.ClubFlagC = '0';
}

void ClearDistrict() {
  std::memset(&DistrRec, 0, sizeof DistrRec);
  DistrRec.Dnr.set("99");
}

template <class F>
static void Convert(TClubRec& r, F f) {
  r.DistrictNumber.convert(f);
  r.ClubName.convert(f);
  r.ClubCode.convert(f);
  for (auto& block : r.ClubAddress)
    for (auto& line : block.line) line.convert(f);
}

template <class F>
static void Convert(TDistrRec& r, F f) {
  r.Dnr.convert(f);
  r.Dname.convert(f);
  r.Dkort.convert(f);
}

void ToStorage(TClubRec& r) { Convert(r, ToStorageText); }
void FromStorage(TClubRec& r) { Convert(r, FromStorageText); }
void ToStorage(TDistrRec& r) { Convert(r, ToStorageText); }
void FromStorage(TDistrRec& r) { Convert(r, FromStorageText); }

}  // namespace olbrax

#include "competition/records/cmp_club_rec.h"

namespace olbrax {

TCmpClubRec CmpClubRec{};

double ClubAmount(int club, int amount) { return ReadReal48(CmpClubRec.ClubStatistics[club] + 8 * amount); }

void SetClubAmount(int club, int amount, double value) {
  WriteReal48(value, CmpClubRec.ClubStatistics[club] + 8 * amount);
}

std::int16_t ClubCounter(int club, int counter) {
  const std::uint8_t* p = CmpClubRec.ClubStatistics[club] + 22 + 2 * counter;
  return static_cast<std::int16_t>(p[0] | p[1] << 8);
}

void SetClubCounter(int club, int counter, std::int16_t value) {
  std::uint8_t* p = CmpClubRec.ClubStatistics[club] + 22 + 2 * counter;
  p[0] = static_cast<std::uint8_t>(value);
  p[1] = static_cast<std::uint8_t>(static_cast<std::uint16_t>(value) >> 8);
}

template <class F>
static void Convert(TCmpClubRec& r, F f) {
  r.DrawFilePath.convert(f);
  r.SecondPath.convert(f);
  r.PlusgiroNumber.convert(f);
  r.BankgiroNumber.convert(f);
  r.Payee.convert(f);
}

void ToStorage(TCmpClubRec& r) { Convert(r, ToStorageText); }
void FromStorage(TCmpClubRec& r) { Convert(r, FromStorageText); }

}  // namespace olbrax

#include "competition/club_recount.h"

#include "competition/records/class_rec.h"
#include "competition/records/entrant_rec.h"
#include "competition/registers/entrants.h"

namespace olbrax {

void ClubRecount::Add(const TEntrantRec& entrant, const TKlassRec* klass, bool open_class) {
  const int c = entrant.ClubRef;
  const bool in_range = c >= 0 && c <= kMaxClubRecords;
  if (in_range) ++entrants[static_cast<std::size_t>(c)];
  if (!klass || open_class) return;
  int persons;
  const auto counter = static_cast<std::size_t>(ClubStatisticsCounter(entrant, klass->Bet.get(), persons));
  if (in_range) counters[static_cast<std::size_t>(c)][counter] += persons;
  if (c != 0) counters[0][counter] += persons;
}

int ClubRecount::ClubsWithEntrants() const {
  int n = 0;
  for (int count : entrants) n += count > 0 ? 1 : 0;
  return n;
}

void ClubRecount::ApplyToCmpClubRec() const {
  CmpClubRec.ClubsWithEntrants = static_cast<std::int16_t>(ClubsWithEntrants());
  for (int c = 0; c <= kMaxClubRecords; ++c) {
    const auto i = static_cast<std::size_t>(c);
    CmpClubRec.ClubEntrantCount[c] = static_cast<std::int16_t>(entrants[i]);
    for (int k = 0; k < 6; ++k) SetClubCounter(c, k, static_cast<std::int16_t>(counters[i][static_cast<std::size_t>(k)]));
  }
}

}  // namespace olbrax

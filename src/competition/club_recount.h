// The club counts of a competition counted again from its entrants, by the rule the bookkeeping
// follows when an entrant is added: the check compares the stored block with them, and opening a
// competition whose block was left stale by a crash puts them into the block.
#pragma once

#include <array>
#include <vector>

#include "competition/records/cmp_club_rec.h"

namespace olbrax {

struct TEntrantRec;
struct TKlassRec;

struct ClubRecount {
  std::vector<int> entrants = std::vector<int>(kMaxClubRecords + 1, 0);  // by club record number
  // The six statistics counters by club record number, totals in entry 0.
  std::vector<std::array<int, 6>> counters = std::vector<std::array<int, 6>>(kMaxClubRecords + 1, std::array<int, 6>{});

  // Counts one live entrant in. `klass` is its class, or nullptr when it names none (it then
  // counts for its club only); an entrant of an open class is in no statistics.
  void Add(const TEntrantRec& entrant, const TKlassRec* klass, bool open_class);
  int ClubsWithEntrants() const;
  // Puts the counts into CmpClubRec: ClubsWithEntrants, ClubEntrantCount and the counters of
  // every entry. The amounts, the control use and the payment data are not counts and stay.
  void ApplyToCmpClubRec() const;
};

}  // namespace olbrax

// The entrants of the current competition and their bookkeeping: counted into the class, the
// competition, the club and the club statistics as they are added, with the warnings of a
// class that is nearly full.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

#include "platform/ui.h"

namespace olbrax {

struct TEntrantRec;
struct TKlassRec;

void FindEntrant(int mode, std::string_view key, std::int32_t& ref, bool& at_end, bool& found);
// Adds or rewrites the entrant with its key and counts it in, as one change (competition/
// registers/register_change.h): false when it failed, which the user has been shown.
bool PutEntrant(bool adding, std::int32_t& ref);
bool RewriteEntrant(std::int32_t ref);
// Rewrites the entrant (record `ref`, without keys) and, when it has one, its class from the class
// buffer, as one change: a registered result changes both.
bool RewriteEntrantAndClass(std::int32_t ref);
// Counting in and out rewrites the entrant's class; false when that failed (the counters in
// memory are then as before).
bool EntrantCounted(bool warn);
// The counting of EntrantCounted without its warnings and whether or not the entry set is open
// (the index rebuild recounts into its new files): the club, and, when the entrant's class is in
// the class file, the class (written back), the competition and the club statistics. One change:
// false when writing the class failed (the counters in memory are then as before).
bool CountEntrant();
bool EntrantUncounted(bool counters_too);
// sign +1 / -1 for the current entrant in the class `class_name`; with an empty class name,
// `sign` is a club record number whose statistics are cleared (0 = the first amount and the
// counters of every club).
void CountClubStatistics(int sign, std::string_view class_name);
class ChangeBatch;

// A batch of changes (competition/registers/register_change.h) that keeps the competition's
// counters with the records they count. Begin keeps the counters in memory (the competition record
// and the club statistics) to set them back, with `taken_back`, when the batch is rolled back.
// Commit puts the competition record into the batch's transaction when its counters changed, and
// writes the club statistics, a plain block outside the journal, right after the commit when
// they changed (a crash between the two leaves them behind the records: the index rebuild
// recounts them). False when it failed (shown to the user).
void BeginCountedBatch(ChangeBatch& batch, std::function<void()> taken_back = {});
bool CommitCountedBatch(ChangeBatch& batch);

// "radera alla deltagare": after the question, a new entrant file and every counter reset. False
// when it was not done, or not to the end (a storage failure, which the user has been shown).
bool EraseAllEntrants(platform::Window owner = nullptr);

// The category of a class in the club statistics: 0 elite, 1 youth, 2 others.
int ClubCategory(std::string_view class_name);

// The stages an entrant of the class is counted in (`first`..`last`): its own stage
// |Placing[0][0]| in an open class, else the class's stages. True for an open class, whose
// entrants are not in the club statistics.
bool CountedStages(const TEntrantRec& entrant, const TKlassRec& klass, std::string_view open_words, int& first,
                   int& last);
// The club-statistics counter (0..5) an entrant of the class changes, and by how many persons.
int ClubStatisticsCounter(const TEntrantRec& entrant, std::string_view class_name, int& persons);
// Shows the motion-competition notice again in this run (for tests).
void ResetMotionNotice();

}  // namespace olbrax

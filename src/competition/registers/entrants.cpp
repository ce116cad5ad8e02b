#include "competition/registers/entrants.h"

#include <memory>

#include "base/counter.h"
#include "base/messages.h"
#include "competition/archive.h"
#include "competition/records/class_rec.h"
#include "competition/records/cmp_club_rec.h"
#include "competition/records/competition_rec.h"
#include "competition/records/entrant_rec.h"
#include "competition/registers/definitions.h"
#include "competition/registers/register_change.h"
#include "competition/registers/register_find.h"

namespace olbrax {

namespace {

constexpr std::int32_t kNoTime = 5999948;
bool g_motion_notice_shown = false;

bool NoValidTime(std::int32_t t) { return t == 0 || t >= kNoTime; }

const RegisterKey<TEntrantRec> kEntrantKey{1, false, [](const TEntrantRec& r) { return r.StartNumber.get(); }};

// Makes the entrant's class the one in the class buffer, as a step of `change`; false when the
// entrant has no live class (or reading it failed, which fails the change).
bool LoadEntrantClass(RegisterChange& change) {
  std::int32_t ref = EntrantRec.ClassRef;
  if (ref == ClassState.last_found && ref != 0) return true;
  TKlassRec stored{};
  if (ref < 1 || ref >= FileLen(KlassFile)) return false;
  if (!change.ReadRecord(KlassFile, ref, &stored) || stored.DataStatus != 0) return false;
  KlassRec = stored;
  FromStorage(KlassRec);
  ClassState.last_found = ref;
  return true;
}

// What counting an entrant changes in memory, to be set back when its change is taken back.
struct CountSnapshot {
  TKlassRec klass;
  std::int32_t class_found;
  std::int16_t info_count[6][26];
  std::int16_t clubs_with_entrants, club_entrants;
  std::uint8_t club_stat[40], total_stat[40];
  int club;

  void Take() {
    klass = KlassRec;
    class_found = ClassState.last_found;
    std::memcpy(info_count, InfoRec.Count, sizeof info_count);
    clubs_with_entrants = CmpClubRec.ClubsWithEntrants;
    club = std::clamp<int>(EntrantRec.ClubRef, 0, kMaxClubRecords);
    club_entrants = CmpClubRec.ClubEntrantCount[club];
    std::memcpy(club_stat, CmpClubRec.ClubStatistics[club], 40);
    std::memcpy(total_stat, CmpClubRec.ClubStatistics[0], 40);
  }
  void Restore() const {
    KlassRec = klass;
    ClassState.last_found = class_found;
    std::memcpy(InfoRec.Count, info_count, sizeof info_count);
    CmpClubRec.ClubsWithEntrants = clubs_with_entrants;
    CmpClubRec.ClubEntrantCount[club] = club_entrants;
    std::memcpy(CmpClubRec.ClubStatistics[club], club_stat, 40);
    std::memcpy(CmpClubRec.ClubStatistics[0], total_stat, 40);
  }
};
static_assert(sizeof(InfoRec.Count) == sizeof(CountSnapshot::info_count));

void StageRange(int& first, int& last, bool& open) {
  open = CountedStages(EntrantRec, KlassRec, InfoRec.dirklassfilter.get(), first, last);
}

void Count(int delta) {
  int first, last;
  bool open;
  StageRange(first, last, open);
  if (!open) CountClubStatistics(delta, KlassRec.Bet.get());
  for (int d = 0; d < 26; ++d) {
    KlassRec.Count[0][d] = static_cast<std::int16_t>(KlassRec.Count[0][d] + delta);
    InfoRec.Count[0][d] = static_cast<std::int16_t>(InfoRec.Count[0][d] + delta);
    for (int s = first; s <= last; ++s) {
      if (!NoValidTime(EntrantRec.RunTime[s][d])) continue;
      KlassRec.Count[s][d] = static_cast<std::int16_t>(KlassRec.Count[s][d] + delta);
      InfoRec.Count[s][d] = static_cast<std::int16_t>(InfoRec.Count[s][d] + delta);
    }
  }
}

void CapacityWarning() {
  int n = KlassRec.Count[0][0];
  int capacity = ClassCapacity();
  if (n < capacity - 4) return;
  Text name = KlassRec.Bet.get();
  if (n >= 246 && n < 251 && !MotionCompetition) {
    Text t = "Antalet i klassen [" + ZeroStr(250, 4) + "] " + name;
    if (n != 250) t += "snart ";
    t += "f\xF6r m\xE5nga f\xF6r programmet (dags att kompilera) ";
    ShowText(1, t);
  } else if (n >= 246) {
    if (MotionCompetition && !g_motion_notice_shown) {
      g_motion_notice_shown = true;
      ShowText(201, "Till\xE5ten lottning endast: Gemensamstart; INTE Klubbanlottning");
    }
  } else if (capacity >= n) {
    Text t = "Varning: Klassen ";
    if (capacity != n) t += "snart ";
    t += "full [" + ZeroStr(capacity, 4) + "+" + ZeroStr(KlassRec.vakanser, 4) + "] (dags att dela klassen " + name + ") ";
    ShowText(1, t);
  }
}

bool HasYouthWord(std::string_view name) {
  for (std::string_view w : {"UNGDSKOL", "INS", "SKOLA", "HU", "DU", "U1", "U2", "U3", "U4", "U5"})
    if (name.find(w) != std::string_view::npos) return true;
  return false;
}

long ClassNumber(std::string_view name) {
  std::size_t first = name.find_first_of("0123456789");
  if (first == std::string_view::npos) return 0;
  long n = 0;
  for (char c : name.substr(first))
    if (c >= '0' && c <= '9' && n < 100000000) n = n * 10 + (c - '0');
  return n;
}

}  // namespace

void ResetMotionNotice() { g_motion_notice_shown = false; }

bool CountedStages(const TEntrantRec& entrant, const TKlassRec& klass, std::string_view open_words, int& first,
                   int& last) {
  bool open = IsOpenClass(klass.Bet.get(), open_words);
  if (open) {
    first = last = std::clamp(std::abs(static_cast<int>(entrant.Placing[0][0])), 1, 5);
  } else {
    first = 1;
    last = std::clamp<int>(klass.StrNr, 0, 5);
  }
  return open;
}

int ClubStatisticsCounter(const TEntrantRec& entrant, std::string_view class_name, int& persons) {
  std::string_view name = class_name.substr(0, std::min<std::size_t>(class_name.size(), 8));
  persons = entrant.StageName[0].get().find('/') != Text::npos ? 2 : 1;
  return ClubCategory(name) + (entrant.Counted ? 3 : 0);
}

void FindEntrant(int mode, std::string_view key, std::int32_t& ref, bool& at_end, bool& found) {
  // Start numbers are stored as they are, an empty one too.
  FindIn(EntrantFile, 1, mode, key, 0, true, EntrantRec, EntrantState, ref, at_end, found, "");
}

// Counts EntrantRec into its club and, when it has a live class, into the class (written back),
// the competition and the club statistics, as part of `change`; true when it went into a class.
static bool CountInto(RegisterChange& change);

bool PutEntrant(bool adding, std::int32_t& ref) {
  TEntrantRec stored = EntrantRec;
  ToStorage(stored);
  RegisterChange change;
  StoreRegisterRecord<TEntrantRec>(change, EntrantFile, {kEntrantKey}, adding, ref, stored,
                                   [](TEntrantRec& r, std::int32_t n) { r.OwnRef = static_cast<std::int16_t>(n); });
  TEntrantRec before = EntrantRec;
  if (change.ok()) {
    EntrantRec = stored;
    FromStorage(EntrantRec);
  }
  bool in_class = change.ok() && CompetitionOpen && CountInto(change);
  if (!change.Finish()) {
    EntrantRec = before;
    if (adding) ref = 0;
    return false;
  }
  if (adding) {
    EntrantState.changed = 1;
    EntrantState.last_found = ref;
    if (in_class) CapacityWarning();
  }
  return true;
}

bool RewriteEntrant(std::int32_t ref) {
  TEntrantRec stored = EntrantRec;
  ToStorage(stored);
  RegisterChange change;
  change.WriteRecord(EntrantFile, ref, stored);
  return change.Finish();
}

bool RewriteEntrantAndClass(std::int32_t ref) {
  TEntrantRec entrant = EntrantRec;
  ToStorage(entrant);
  TKlassRec klass = KlassRec;
  ToStorage(klass);
  RegisterChange change;
  change.WriteRecord(EntrantFile, ref, entrant);
  if (EntrantRec.ClassRef >= 1) change.WriteRecord(KlassFile, EntrantRec.ClassRef, klass);
  return change.Finish();
}

int ClubCategory(std::string_view name) {
  bool youth_word = HasYouthWord(name);
  long n = ClassNumber(name);
  if (name.find('E') != std::string_view::npos && !youth_word) return 0;
  if (n < 17 && (n != 0 || youth_word)) return 1;
  return 2;
}

void CountClubStatistics(int sign, std::string_view class_name) {
  if (class_name.empty()) {
    int c = sign;
    if (c > 0 && c <= kMaxClubRecords) {
      for (int a = 0; a < 3; ++a) SetClubAmount(0, a, ClubAmount(0, a) - ClubAmount(c, a));
      for (int k = 0; k < 6; ++k) SetClubCounter(0, k, static_cast<std::int16_t>(ClubCounter(0, k) - ClubCounter(c, k)));
      std::memset(CmpClubRec.ClubStatistics[c], 0, 40);
    } else if (c == 0) {
      for (int i = 0; i <= kMaxClubRecords; ++i) {
        SetClubAmount(i, 0, 0.0);
        for (int k = 0; k < 6; ++k) SetClubCounter(i, k, 0);
      }
    }
    return;
  }
  int persons;
  int counter = ClubStatisticsCounter(EntrantRec, class_name, persons);
  int c = EntrantRec.ClubRef;
  int change = sign * persons;
  if (c >= 0 && c <= kMaxClubRecords)
    SetClubCounter(c, counter, static_cast<std::int16_t>(ClubCounter(c, counter) + change));
  if (c != 0) SetClubCounter(0, counter, static_cast<std::int16_t>(ClubCounter(0, counter) + change));
}

static bool CountInto(RegisterChange& change) {
  CountSnapshot before;
  before.Take();
  change.OnTakeBack([before] { before.Restore(); });
  int c = EntrantRec.ClubRef;
  if (c >= 0 && c <= kMaxClubRecords) {
    if (CmpClubRec.ClubEntrantCount[c] == 0) ++CmpClubRec.ClubsWithEntrants;
    ++CmpClubRec.ClubEntrantCount[c];
  }
  // An entrant without a live class is counted in no class: the buffer would still hold another
  // class, and record 0 is the file's header.
  if (!LoadEntrantClass(change)) return false;
  Count(+1);
  TKlassRec stored = KlassRec;
  ToStorage(stored);
  return change.WriteRecord(KlassFile, EntrantRec.ClassRef, stored);
}

bool CountEntrant() {
  RegisterChange change;
  CountInto(change);
  return change.Finish();
}

bool EntrantCounted(bool warn) {
  if (!CompetitionOpen) return true;
  RegisterChange change;
  bool in_class = CountInto(change);
  if (!change.Finish()) return false;
  if (warn && in_class) CapacityWarning();
  return true;
}

bool EntrantUncounted(bool counters_too) {
  if (!CompetitionOpen) return true;
  RegisterChange change;
  CountSnapshot before;
  before.Take();
  change.OnTakeBack([before] { before.Restore(); });
  int c = EntrantRec.ClubRef;
  if (c >= 0 && c <= kMaxClubRecords && CmpClubRec.ClubEntrantCount[c] > 0) {
    if (--CmpClubRec.ClubEntrantCount[c] == 0) --CmpClubRec.ClubsWithEntrants;
  }
  if (!LoadEntrantClass(change)) return change.Finish();  // in no class
  int which = InfoRec.eftstartl ? 1 : 0;
  if (counters_too && EntrantRec.Counted && KlassRec.eftAnm[which] > 0) --KlassRec.eftAnm[which];
  Count(-1);
  TKlassRec stored = KlassRec;
  ToStorage(stored);
  change.WriteRecord(KlassFile, EntrantRec.ClassRef, stored);
  return change.Finish();
}

namespace {

// The counters as the counted batch in progress found them.
struct CounterSnapshot {
  TInfoRec info;
  TCmpClubRec clubs;
};
std::shared_ptr<CounterSnapshot> g_counted;

// Removes every entrant with its counts, in batches: a crash leaves the entrants of the batches
// committed so far erased and counted out, the others still there and counted.
bool EraseEntrantsInBatches() {
  ChangeBatch batch;
  std::int32_t total = FileLen(EntrantFile) - 1;
  for (std::int32_t ref = 1; ref <= total; ++ref) {
    BeginCountedBatch(batch);
    TEntrantRec stored{};
    GetRec(EntrantFile, ref, &stored);
    if (!IsamOK) {
      ReportStorageFailure(StorageFailureText());
      batch.Rollback();
      return false;
    }
    if (stored.DataStatus != 0) continue;
    EntrantRec = stored;
    FromStorage(EntrantRec);
    if (!EntrantUncounted(false)) break;
    if (!DeleteRegisterRecord(EntrantFile, {kEntrantKey}, ref, true, stored)) break;
    if (ref % 100 == 0) CounterLine(2, "Raderar deltagare " + IntStr(ref, 0) + " av " + IntStr(total, 0));
    if (batch.Counted() && !CommitCountedBatch(batch)) return false;
  }
  return CommitCountedBatch(batch);
}

// Every class and the competition as they are without entrants, in one transaction.
bool ResetClassesAndCompetition() {
  ChangeBatch batch;
  BeginCountedBatch(batch);
  std::memset(InfoRec.Count, 0, sizeof InfoRec.Count);
  std::memset(InfoRec.ResIndex, 0, sizeof InfoRec.ResIndex);
  std::memset(InfoRec.StTidCount, 0, sizeof InfoRec.StTidCount);
  InfoRec.gLottad = InfoRec.cLottad = InfoRec.sLottad = InfoRec.Lottad = InfoRec.Jaktad = 0;
  InfoRec.maxDag = 0;
  bool ok = true;
  std::int32_t ref = 0;
  bool at_end = false, found = false;
  FindClassBySortKey(kFindReset, "", ref, at_end, found);
  while (ok) {
    Text key = KlassRec.SortOrdn.get();
    FindClassBySortKey(kFindNext, key, ref, at_end, found);
    if (at_end) break;
    if (!found) continue;
    CounterLine(2, "Nollst\xE4ller Klass:" + KlassRec.Bet.get());
    KlassRec.FrstStNr = KlassRec.StNrCount = 0;
    KlassRec.Flag = 0;
    KlassRec.eftAnm[0] = KlassRec.eftAnm[1] = -1;
    KlassRec.FirstDataNr = KlassRec.LastDataNr = 0;
    std::memset(KlassRec.Count, 0, sizeof KlassRec.Count);
    std::memset(KlassRec.SegrNdx, 0, sizeof KlassRec.SegrNdx);
    for (auto& stage : KlassRec.SegrTid)
      for (auto& t : stage) t = kNoTime;
    ok = RewriteClass(ref);
  }
  if (!ok) {
    batch.Rollback();
    return false;
  }
  CmpClubRec.ClubsWithEntrants = 0;
  for (int i = 1; i <= kMaxClubRecords; ++i) CmpClubRec.ClubEntrantCount[i] = 0;
  CountClubStatistics(0, "");
  return CommitCountedBatch(batch);
}

}  // namespace

void BeginCountedBatch(ChangeBatch& batch, std::function<void()> taken_back) {
  if (batch.open()) return;
  auto before = std::make_shared<CounterSnapshot>(CounterSnapshot{InfoRec, CmpClubRec});
  g_counted = before;
  batch.Begin([before, taken_back = std::move(taken_back)] {
    InfoRec = before->info;
    CmpClubRec = before->clubs;
    // The class buffer may hold counts that went with the batch.
    ClassState.last_found = 0;
    if (taken_back) taken_back();
  });
}

bool CommitCountedBatch(ChangeBatch& batch) {
  if (!batch.open()) return true;
  std::shared_ptr<CounterSnapshot> before = std::move(g_counted);
  bool info_changed = false, clubs_changed = false;
  if (before && CompetitionOpen && CurrentCompetition > 0) {
    TInfoRec now = InfoRec;
    info_changed = std::memcmp(&now, &before->info, sizeof now) != 0;
    clubs_changed = std::memcmp(&CmpClubRec, &before->clubs, sizeof CmpClubRec) != 0;
  }
  if (info_changed && !batch.failed() && !WriteCompetitionRec(CurrentCompetition)) {
    batch.Rollback();
    return false;
  }
  // The statistics block is written after the commit, outside it: marked stale first, so that a
  // crash in between has it counted again at the next open.
  Text failure;
  if (clubs_changed && !batch.failed() && !MarkClubStatisticsStale(failure)) {
    batch.Rollback();
    ReportStorageFailure(failure);
    return false;
  }
  // A failed commit leaves the marker: the files may hold more than the counters in memory.
  if (!batch.Commit()) return false;
  if (!clubs_changed) return true;
  if (!WriteCmpClubRec()) return false;
  ClearClubStatisticsStale();
  return true;
}

bool EraseAllEntrants(platform::Window owner) {
  if (!CompetitionOpen || !EntrantFile || UsedRecs(EntrantFile) < 1) return false;
  if (AskBeforeDestroying("Alla Persondata kommer att raderas Ok!") != platform::kYes) return false;
  OpenCounter(owner, 2, "Skapar nya personfiler");
  // The entrants go first, counted out batch by batch, then the classes and the competition are
  // reset together: after a crash at any point the counters agree with the entrants that are
  // left. Only then is the entrant file, now without a live record, made anew.
  bool ok = EraseEntrantsInBatches() && ResetClassesAndCompetition();
  ClearEntrant();
  if (!ok) {
    CloseCounter();
    return false;
  }
  Text name = DataFileName("OL", CurrentCompetition);
  CloseFileBlock(EntrantFile);
  KeyDescs keys{};
  keys[0] = {5, 1};
  CreateFileBlock(name, kEntrantRecLen, 1, keys);
  // When the file could not be made anew, the old one (still whole, and empty) is opened again.
  bool created = IsamOK;
  if (!created) ReportStorageFailure(StorageFailureText() + " " + name);
  OpenFileBlock(EntrantFile, name);
  if (!IsamOK) {
    EntrantFile = nullptr;
    CompetitionOpen = false;
    if (created) ReportStorageFailure(StorageFailureText() + " " + name);
  }
  CloseCounter();
  return created && EntrantFile != nullptr;
}

}  // namespace olbrax

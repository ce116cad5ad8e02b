#include "exchange/entry_import.h"

#include <algorithm>
#include <array>

#include "base/messages.h"
#include "base/times.h"
#include "competition/archive.h"
#include "competition/records/class_rec.h"
#include "competition/records/club_recs.h"
#include "competition/records/competition_rec.h"
#include "competition/records/entrant_rec.h"
#include "competition/registers/definitions.h"
#include "competition/registers/entrants.h"
#include "competition/registers/register_find.h"
#include "competition/registers/results.h"
#include "competition/registers/shared_registers.h"
#include "exchange/exchange_file.h"
#include "exchange/exchange_format.h"

namespace olbrax {

namespace {

Text F(const Text& line, int n) { return ExchangeField(line, ',', n); }

// A record that could not be stored: the failure (already shown) goes into the log and the file
// ends, so that the log never says more than the files hold.
void StoreFailed(ImportStep& step, std::string_view text) {
  ImportLog("     " + MsgLine);
  ReportRecord(text, 0, 0);
  step.stop = step.partial = true;
}

// After a look-up: true when the engine failed (not merely found nothing); the failure is shown.
bool LookUpFailed() {
  if (IsamOK || IsamError == isam::kFindNotFound || IsamError == isam::kSearchNotFound) return false;
  ReportStorageFailure(StorageFailureText());
  return true;
}

// The club of an entry line, found as the club import finds it (the first name from the
// upper-cased field on that holds it) or added. False when it is neither: the club register is
// full, or the engine failed (the file ends then).
bool EntryClub(const Text& field, ImportStep& step, bool& known, std::int32_t& ref) {
  Text name = StoredKey(UpStr(field).substr(0, 30));
  bool at_end, found;
  ref = 0;
  FindClub(kFindFrom, name, ref, at_end, found);
  if (LookUpFailed()) {
    StoreFailed(step, name);
    return false;
  }
  known = found && ClubRec.ClubName.get().find(name) != Text::npos;
  if (known) return true;
  ClearClub();
  if (FileLen(ClubFile) - 1 >= kMaxClubs) {
    MsgLine = "Max antal klubbar [" + IntStr(kMaxClubs, 4) + "] uppn\xE5tt kan ej addera!";
    ShowMsg(1);
    step.stop = step.partial = true;
    return false;
  }
  ClubRec.ClubName.set(name);
  if (!PutClub(true, ref)) {
    StoreFailed(step, name);
    return false;
  }
  MsgLine = "Klubben ej definierad!!";
  ShowMsg(1);
  return true;
}

// Whether an entrant has the start number: 1 yes, 0 no, -1 the engine failed (shown). The entrant
// buffer is left as it was.
int StartNumberInUse(const Text& number) {
  TEntrantRec keep = EntrantRec;
  std::int32_t ref = 0;
  bool at_end, found;
  FindEntrant(kFindExact, number, ref, at_end, found);
  bool failed = !found && LookUpFailed();
  EntrantRec = keep;
  return failed ? -1 : found ? 1 : 0;
}

// The ranking field of an entry: its first run of digits (at most 5) as "(" + points + ")", or
// nothing when that is not above 0.
Text RankingText(std::string_view field) {
  std::size_t at = field.find_first_of("0123456789");
  int n = 0;
  for (int k = 0; at != std::string_view::npos && at < field.size() && k < 5; ++at, ++k) {
    if (field[at] < '0' || field[at] > '9') break;
    n = n * 10 + (field[at] - '0');
  }
  return n > 0 ? "(" + IntStr(n, 5) + ")" : Text();
}

}  // namespace

void ImportEntry(const Text& line, ImportStep& step) {
  if (F(line, 1).find("*LAGNAMN=") != Text::npos) return;
  // The competition's work areas hold at most 3200 entrants: the 3200th is taken, the next is not.
  if (UsedRecs(EntrantFile) >= kMaxEntrants) {
    MsgLine = "Max antal [" + IntStr(kMaxEntrants, 4) + "] namn uppn\xE5tt kan ej addera!";
    ShowMsg(1);
    step.stop = step.partial = true;
    return;
  }
  ClearEntrant();
  TEntrantRec& e = EntrantRec;
  bool club_known = false;
  std::int32_t club_ref = 0;
  if (!EntryClub(F(line, 1), step, club_known, club_ref)) return;
  e.ClubRef = club_ref;

  // The class; a missing one is created when the user says so.
  Text class_name = UpStr(F(line, 2)).substr(0, 8);
  std::int32_t class_ref = 0;
  bool at_end, found;
  FindClassByName(kFindExact, class_name, class_ref, at_end, found);
  if (LookUpFailed()) return StoreFailed(step, class_name);
  bool class_error = !found;
  bool add = true;
  if (!found) {
    MsgLine = "Klassen ej definierad..." + class_name + " Addera person.";
    add = ShowMsg(101);
    ClearClassRec();
    ClassState.last_found = 0;  // the buffer holds no stored class now
    KlassRec.Bet.set(class_name);
    class_ref = 0;
    if (add && !PutClass(true, class_ref)) return StoreFailed(step, class_name);
  }
  e.ClassRef = class_ref;
  const int n = std::clamp<int>(KlassRec.StrNr, 1, 5);
  const int stages = std::clamp<int>(InfoRec.StrNr, 1, 5);
  const int d = std::clamp<int>(InfoRec.MellanTid, 0, 25);
  for (int j = 0; j < n; ++j) e.EntrantCourse[j] = KlassRec.Bana[j];
  const bool open = IsOpenClass(KlassRec.Bet.get());

  // Name, marks and team.
  int f = 3;
  if (InfoRec.Days || open) {
    Text name = UpStr(F(line, f++)).substr(0, 32);
    for (int s = 0; s < stages; ++s) e.StageName[s].set(name);
    int marks = 0;
    for (;;) {
      Text v = F(line, f++);
      if (v.empty()) break;
      if (v[0] == '#') {
        if (++marks > n) break;
        e.StageMark[marks - 1].set(v.substr(1, 2));
      } else if (v[0] == '!') {
        if (v.size() > 1) e.ExtraText.set(v.substr(1, 7));
      } else {
        e.TeamOrRanking.set(RankingText(v));
        break;
      }
    }
  } else {
    e.TeamOrRanking.set(F(line, f++).substr(0, 7));
    for (int j = 0; j < n; ++j)
      if (Text v = F(line, f++); !v.empty()) e.StageName[j].set(UpStr(v).substr(0, 32));
  }
  Text text = DisplayName(false, ClubRec.ClubName.get()) + " " + class_name + " " +
              DisplayName(false, e.StageName[0].get()) + " " + e.TeamOrRanking.get();

  // Counting into the entry counter in use (ordinary or late), or the open-class counter. The
  // counters move only in the buffer: they are stored with the entrant, or set back.
  const TKlassRec class_before = KlassRec;
  const int m = InfoRec.eftstartl ? 1 : 0;
  const int counter = open ? 1 : m;
  std::int16_t* eft = KlassRec.eftAnm;
  bool start_given[5] = {};
  bool any_start = false;
  for (int j = 0; j < n; ++j) any_start = any_start || (start_given[j] = !F(line, f + j).empty());
  if (eft[m] != -1 || open) {
    ++eft[counter];
    e.Counted = 1;
  }
  if (eft[m] != -1 && any_start) --eft[counter];

  // Start times: given, or following from the counters; a default time among given ones is
  // warned of.
  std::int32_t latest_start[5];
  std::copy(std::begin(InfoRec.StTidCount), std::end(InfoRec.StTidCount), latest_start);
  int warn_stage = 0;
  for (int j = 0; j < n; ++j) {
    Text v = F(line, f++);
    std::int32_t& start = e.StartTime[j];
    const std::int32_t interval = KlassRec.SMell[j];
    const int per_time = std::max<int>(1, KlassRec.nontime[j]);
    if (!v.empty()) {
      start = ParseTime(4, v) - KlassRec.FrstStTid[j];
    } else if (interval == 0 || any_start) {
      start = 0;
      if (eft[m] != -1 && any_start && !open) warn_stage = j + 1;
    } else if (eft[m] != -1 && !open && m == 1) {
      start = ((KlassRec.Count[0][d] - eft[0]) / per_time) * interval;
    } else if (eft[m] != -1 && !open) {
      start = -((eft[m] / per_time) + 1) * interval;  // a provisional place before the first start
    } else if (eft[m] != -1) {
      start = (eft[1] / per_time) * interval;
    }
    if (start + KlassRec.FrstStTid[j] > latest_start[j] && start < kStatusBase)
      latest_start[j] = start + KlassRec.FrstStTid[j];
  }
  if (eft[m] != -1 && any_start && std::any_of(e.StartTime, e.StartTime + n, [](std::int32_t t) { return t < 0; }))
    ++eft[counter];
  if (open) {
    e.Placing[0][0] = -1;
    for (int j = 0; j < n; ++j)
      if (start_given[j]) e.Placing[0][0] = static_cast<std::int16_t>(-(j + 1));
  }

  // Results of the stages (of an open class only the stage the entrant runs).
  int max_dag = std::clamp<int>(InfoRec.maxDag, 0, 5);
  for (int j = 1; j <= n; ++j) {
    Text v = F(line, f++);
    if (open && j != -e.Placing[0][0]) continue;
    if (v.empty()) continue;
    std::int32_t& finish = e.FinishTime[j - 1][d];
    int code = StatusWordCode(v);
    if (code < 0) {
      std::int32_t clock = ParseTime(4, v);
      if (clock >= kStatusBase) {
        code = std::min<std::int32_t>(clock - kStatusBase, kNoTime - kStatusBase);
      } else {
        finish = clock;
        if (clock > 0) e.RunTime[j][d] = clock - (e.StartTime[j - 1] + KlassRec.FrstStTid[j - 1]);
      }
    }
    if (code >= 0) finish = e.RunTime[j][d] = kStatusBase + code;
    if (finish > 0 && j > max_dag) max_dag = j;
  }
  // The total over the stages with results that are not struck; a status above it replaces it.
  std::int32_t total = 0;
  for (int s = 1; s <= max_dag; ++s)
    if (e.RunTime[s][d] < kStatusBase && !KlassRec.Struken[s]) total += e.RunTime[s][d];
  for (int s = max_dag; s >= 1; --s)
    if (!KlassRec.Struken[s] && e.RunTime[s][d] >= kStatusBase && e.RunTime[s][d] > total) total = e.RunTime[s][d];
  e.RunTime[0][d] = total;

  // The start number, when given.
  Text number_field = F(line, f++);
  bool has_number = !number_field.empty();
  bool bad_number = false;
  int number = 0;
  if (has_number) {
    number = IntField(number_field.substr(0, 4), -1);
    bad_number = number_field.size() > 4 || number < 1 || number > 9999;
    if (number < 0) number = 0;
    e.StartNumber.set(ZeroStr(number, 4));
  }
  // Relay teams take their courses from the class's allocation.
  if (eft[m] != -1 && !open && InfoRec.Relay) {
    AllocationTable table{};
    RelayAllocation(table);
    int position = KlassRec.Count[0][d] + 1;
    if (position >= 1 && position <= static_cast<int>(table.size()))  // beyond: the class's own courses
      for (int j = 0; j < n; ++j)
        e.EntrantCourse[j] = KlassRec.Bana[std::clamp<int>(table[static_cast<std::size_t>(position - 1)][j], 1, 5) - 1];
  }
  if (Text v = F(line, f); !v.empty() && v[0] == '#') {
    e.ExtraNumber = static_cast<std::int16_t>(IntField(v.substr(1, 4)));
    ++f;
  }
  for (int j = 0; j < n; ++j)
    if (Text v = F(line, f++); !v.empty()) e.EntrantCourse[j].set(v.substr(0, 3));

  // Storing: the entrant with its key, counted into its class (with the counters above) and its
  // club, as one change.
  if (add) {
    if (!has_number) {
      for (std::int32_t k = 0;; ++k) {
        std::int32_t candidate = FileLen(EntrantFile) + k;
        int used = StartNumberInUse(ZeroStr(candidate, 4));
        if (used < 0) {
          KlassRec = class_before;
          return StoreFailed(step, text);
        }
        if (used == 0) {
          e.EntryNumber = static_cast<std::int16_t>(candidate);
          e.StartNumber.set(ZeroStr(candidate, 4));
          break;
        }
      }
    } else {
      e.EntryNumber = static_cast<std::int16_t>(number);
      if (!bad_number) {
        int used = StartNumberInUse(e.StartNumber.get());
        if (used < 0) {
          KlassRec = class_before;
          return StoreFailed(step, text);
        }
        bad_number = used == 1;
      }
    }
    if (!bad_number && has_number && (eft[m] == -1 || open)) {
      if (number < KlassRec.FrstStNr || KlassRec.FrstStNr == 0) KlassRec.FrstStNr = static_cast<std::int16_t>(number);
      if (number > KlassRec.StNrCount) KlassRec.StNrCount = static_cast<std::int16_t>(number);
    }
    if (!bad_number) {
      std::int32_t ref = 0;
      if (!PutEntrant(true, ref)) {
        KlassRec = class_before;
        return StoreFailed(step, text);
      }
      std::copy(latest_start, latest_start + 5, InfoRec.StTidCount);
      InfoRec.maxDag = static_cast<std::int16_t>(max_dag);
    }
    add = !bad_number;
  } else if (has_number) {
    e.EntryNumber = static_cast<std::int16_t>(number);
  }
  if (!add) {
    KlassRec = class_before;
    step.partial = true;
  }
  ReportRecord(text, add ? 1 : 0, 0);

  if (club_known && !class_error && !bad_number && warn_stage == 0) return;
  Text log = add ? ".added  " : ".passed ";
  log += warn_stage ? "Varning!" : "Felaktig";
  if (class_error) log += " Klass";
  if (bad_number) log += " startnummer";
  if (!club_known) log += " odefinierad klubb";
  if (warn_stage) log += " default starttid riktig? " + TimeText(4, e.StartTime[warn_stage - 1]);
  log += ": " + class_name + " dNr:" + IntStr(e.EntryNumber, 4) + "  " + DisplayName(false, ClubRec.ClubName.get()) +
         "  " + DisplayName(false, e.StageName[0].get()) + "  " + e.TeamOrRanking.get();
  ImportLog(log);
}

void ModifyEntry(const Text& line, ImportStep& step) {
  Text first = F(line, 1);
  if (first.find("*LAGNAMN=") != Text::npos) return;
  MsgLine.clear();
  ClearEntrant();
  int number = IntField(first, -1);
  if (first.empty() || first.size() > 4 || number < 1 || number > 9999) return;
  Text key = ZeroStr(number, 4);
  std::int32_t ref = 0;
  bool at_end, found;
  FindEntrant(kFindExact, key, ref, at_end, found);
  if (!found && LookUpFailed()) return StoreFailed(step, key);
  if (!found) {
    MsgLine = "NamnMod: \"" + key + "\" ej funnen i databsen.";
    ShowMsg(1);
    ImportLog(MsgLine);
    ReportRecord(key, 0, 0);
    step.partial = true;
    return;
  }
  TEntrantRec& e = EntrantRec;
  const TEntrantRec before = e;
  std::int32_t r = e.ClassRef;
  FindClassByName(kFindRecord, "", r, at_end, found);
  if (!found) ClearClassRec();
  r = e.ClubRef;
  FindClub(kFindRecord, "", r, at_end, found);
  if (!found) ClearClub();
  ImportLog("NamnMod: \"" + e.StartNumber.get() + "\" " + KlassRec.Bet.get() + " " + ClubRec.ClubName.get() + " " +
            e.StageName[0].get());

  // Out of its counts before the change, into them again with it.
  if (!EntrantUncounted(false)) return StoreFailed(step, key);
  if (Text club = F(line, 2); !club.empty()) {
    bool known = false;
    std::int32_t club_ref = 0;
    if (!EntryClub(club, step, known, club_ref)) {
      EntrantRec = before;
      EntrantCounted(false);
      return;
    }
    if (!known) ImportLog(".added odefinierad klubb \"" + DisplayName(false, ClubRec.ClubName.get()) + "\"");
    e.ClubRef = club_ref;
  }
  const int n = std::clamp<int>(KlassRec.StrNr, 1, 5);
  const bool open = IsOpenClass(KlassRec.Bet.get());
  if (InfoRec.Days || open) {
    // A line that only moves the entrant to another club leaves the name.
    if (Text name = F(line, 3); !name.empty())
      for (int j = 0; j < n; ++j) e.StageName[j].set(name.substr(0, 32));
    int marks = 0;
    for (int f = 5;; ++f) {
      Text v = UpStr(F(line, f));
      if (v.empty()) break;
      if (v[0] == '#') {
        if (++marks > n) break;
        e.StageMark[marks - 1].set(v.substr(1, 2));
      } else if (v[0] == '!') {
        if (v.size() > 1) e.ExtraText.set(v.substr(1, 7));
      } else {
        if (v.back() != ')') v += ')';
        v = PadLeft(v, ' ', 6);
        if (v[0] != '(') v = "(" + v;
        e.TeamOrRanking.set(v.substr(0, 7));
        break;
      }
    }
  } else {
    if (Text team = F(line, 3); !team.empty()) e.TeamOrRanking.set(team.substr(0, 7));
    for (int j = 0; j < n; ++j)
      if (Text v = F(line, 4 + j); !v.empty()) e.StageName[j].set(UpStr(v).substr(0, 32));
  }
  const int m = InfoRec.eftstartl ? 1 : 0;
  const std::int16_t eft_before[2] = {KlassRec.eftAnm[0], KlassRec.eftAnm[1]};
  if (KlassRec.eftAnm[m] != -1 || open) {
    if (e.Counted != 1) ++KlassRec.eftAnm[open ? 1 : m];
    e.Counted = 1;
  }
  Text text = DisplayName(false, ClubRec.ClubName.get()) + " " + KlassRec.Bet.get() + " " +
              DisplayName(false, e.StageName[0].get()) + " " + e.TeamOrRanking.get();
  if (!PutEntrant(false, ref)) {
    // Counted again as it was, so that the counters hold what the file holds.
    KlassRec.eftAnm[0] = eft_before[0];
    KlassRec.eftAnm[1] = eft_before[1];
    EntrantRec = before;
    EntrantCounted(false);
    return StoreFailed(step, text);
  }
  ReportRecord(text, 0, 1);
  ImportLog("   " + text);
}

}  // namespace olbrax

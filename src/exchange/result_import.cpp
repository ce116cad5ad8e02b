#include "exchange/result_import.h"

#include <algorithm>
#include <cstring>

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
#include "competition/registers/shared_registers.h"
#include "exchange/exchange_file.h"
#include "exchange/exchange_format.h"
#include "printing/results_log.h"

namespace olbrax {

namespace {

// The highest stage with results when the section began.
std::int16_t g_saved_max_dag = 0;

bool IsStatus(std::int32_t t) { return t >= kStatusBase && t <= kNoTime; }
// As the entrant counters count: a stage without a valid running time.
bool Missing(std::int32_t run) { return run == 0 || run >= kNoTime; }

int Inter() { return std::clamp<int>(InfoRec.MellanTid, 0, 25); }

// Finds the entrant of a start number into EntrantRec; false when there is none, or the engine
// failed (then shown, and `failed` set).
bool FindByNumber(int number, std::int32_t& ref, bool& failed) {
  failed = false;
  if (number == 0) return false;
  bool at_end, found;
  FindEntrant(kFindExact, ZeroStr(number, 4), ref, at_end, found);
  if (!found && !IsamOK && IsamError != isam::kFindNotFound) {
    ReportStorageFailure(StorageFailureText());
    failed = true;
  }
  return found;
}

void StoreFailed(ImportStep& step, std::string_view line) {
  ResultsLog(kLogMessage);
  ReportRecord(line, 0, 0);
  step.stop = step.partial = true;
}

void UnknownNumber(int number, std::string_view time_word, int minutes, int seconds) {
  MsgLine = "Ok\xE4nt startnummer..." + ZeroStr(number, 4);
  ShowMsg(1);
  MsgLine += Text(time_word) + ZeroStr(minutes, 3) + ZeroStr(seconds, 2);
  ResultsLog(kLogMessage);
}

void BadTime(std::string_view words, const Text& line) {
  MsgLine = (Text(words) + line).substr(0, kMsgLineMax);
  ShowMsg(1);
  ResultsLog(kLogMessage);
}

// The counters of entrants without a valid time, for stage s of the entrant's class, follow the
// entrant's running time from `before` to what it is now (only for a stage the entrant is counted
// in), as the counters are recounted from the running times; with `say`, the class's and the
// competition's completion are said when the last missing result comes in.
void FollowMissing(int s, std::int32_t before, bool counted, bool say) {
  const int d = Inter();
  bool was = Missing(before), is = Missing(EntrantRec.RunTime[s][d]);
  if (!counted || was == is) return;
  if (is) {
    ++KlassRec.Count[s][d];
    ++InfoRec.Count[s][d];
    return;
  }
  if (--KlassRec.Count[s][d] == 0 && say) {
    MsgLine = "Klassen \"" + KlassRec.Bet.get() + "\" klar..! Dag/Str\xE4" "cka " + ZeroStr(s, 2);
    ShowMsg(1);
  }
  if (--InfoRec.Count[s][d] == 0 && say) {
    MsgLine = "T\xE4vlingen klar!, Str\xE4" "cka/Dag " + ZeroStr(s, 2);
    ShowMsg(1);
  }
}

}  // namespace

bool BeginResults() {
  if (ResultsLogActive() && print::LogOpen()) {
    ImportLog("IMPORT KLAR!");
    print::LogEnd();
  }
  if (!CompetitionOpen) {
    CloseDefinitions();
    OpenCompetition();
  }
  if (!CompetitionOpen) return false;
  // A competition that never had its stage set holds stage 0: its results are those of stage 1,
  // as a stage outside 1..StrNr on an "*Etapp=" line is.
  if (InfoRec.DagStr < 1 || InfoRec.DagStr > std::clamp<int>(InfoRec.StrNr, 1, 5)) InfoRec.DagStr = 1;
  ClearClassRec();
  ClassState.last_found = 0;  // the buffer holds no stored class now
  g_saved_max_dag = InfoRec.maxDag;
  if (InfoRec.maxDag < InfoRec.DagStr) InfoRec.maxDag = InfoRec.DagStr;
  ResultsLogPage = 0;
  ResultsLog(kLogBegin);
  return true;
}

void EndResults() {
  ResultsLog(kLogEnd);
  const int d = Inter();
  const int stage = std::clamp<int>(InfoRec.DagStr, 1, 5);
  if (InfoRec.Count[0][d] == InfoRec.Count[stage][d]) InfoRec.maxDag = g_saved_max_dag;
  if (InfoRec.Relay) {
    for (int s = 1; s <= std::clamp<int>(InfoRec.maxDag, 0, 5); ++s) InfoRec.ResIndex[s][d] = 0;
  } else {
    InfoRec.ResIndex[stage][d] = 0;
  }
  InfoRec.ResIndex[0][d] = 0;
  if (ResultsLogActive()) {
    print::LogStart("importlogg");
    ImportLog("LOGGLISTA IMPORT");
    ImportLog("");
  }
}

bool RegisterResult(std::int32_t ref, std::int32_t value) {
  TEntrantRec& e = EntrantRec;
  const TEntrantRec entrant_before = e;
  bool at_end, found;
  std::int32_t r = e.ClassRef;
  bool class_live = r >= 1 && r < FileLen(KlassFile);
  if (class_live) FindClassByName(kFindRecord, "", r, at_end, class_live);
  if (!class_live && !IsamOK) {  // the class could not be read: its counters would go astray
    ReportStorageFailure(StorageFailureText());
    return false;
  }
  if (!class_live) {
    ClearClassRec();
    ClassState.last_found = 0;
  }
  r = e.ClubRef;
  FindClub(kFindRecord, "", r, at_end, found);
  if (!found) ClearClub();
  EntrantRec = entrant_before;
  const TKlassRec class_before = KlassRec;
  std::int16_t counts_before[6][26];
  std::memcpy(counts_before, InfoRec.Count, sizeof counts_before);

  const int d = Inter();
  const bool open = class_live && IsOpenClass(KlassRec.Bet.get());
  int s = std::clamp<int>(InfoRec.DagStr, 1, 5);
  if (open) {
    s = std::clamp(-static_cast<int>(e.Placing[0][0]), 1, 5);
    InfoRec.ResIndex[s][d] = 0;
  }
  // The stages the entrant is counted in: only there do its results move the counters.
  int first = 1, last = 0;
  if (class_live) CountedStages(e, KlassRec, InfoRec.dirklassfilter.get(), first, last);
  auto counted = [&](int stage) { return class_live && stage >= first && stage <= last; };

  std::int32_t& finish = e.FinishTime[s - 1][d];
  bool replaced = false;
  if (finish != 0) {
    replaced = true;
    MsgLine = e.StartNumber.get() + " har redan tid \xE4ndring sker!";
    ShowMsg(1);
    ResultsLog(kLogEntrant, false, true);
    MsgLine = e.StartNumber.get() + " har redan tid \xE4ndring sker!";
    ResultsLog(kLogMessage);
  }
  const std::int32_t run_before = e.RunTime[s][d];
  finish = value;
  if (IsStatus(value)) {
    e.RunTime[s][d] = value;
    if (!KlassRec.Struken[s]) e.RunTime[0][d] = value;
  } else if (IsStatus(e.StartTime[s - 1])) {
    e.RunTime[s][d] = e.StartTime[s - 1];
  } else {
    e.RunTime[s][d] = value - e.StartTime[s - 1] - KlassRec.FrstStTid[s - 1];
  }
  FollowMissing(s, run_before, counted(s), true);

  // A relay team: the next leg starts at this leg's finish, and the legs after it that have
  // finish clocks get their running times again.
  const int legs = std::clamp<int>(KlassRec.StrNr, 1, 5);
  if (InfoRec.Relay && !open) {
    for (int t = s + 1; t <= legs; ++t) {
      std::int32_t previous = e.FinishTime[t - 2][d];
      if (previous == 0) break;
      std::int32_t& start = e.StartTime[t - 1];
      start = IsStatus(previous) ? previous : previous - KlassRec.FrstStTid[t - 1];
      std::int32_t leg_finish = e.FinishTime[t - 1][d];
      if (t > InfoRec.maxDag || leg_finish == 0 || IsStatus(leg_finish)) continue;
      std::int32_t leg_before = e.RunTime[t][d];
      e.RunTime[t][d] = IsStatus(start) ? start : leg_finish - start - KlassRec.FrstStTid[t - 1];
      FollowMissing(t, leg_before, counted(t), false);
    }
  }
  const int max_dag = std::clamp<int>(InfoRec.maxDag, 0, 5);
  std::int32_t total = 0;
  for (int m = 1; m <= max_dag; ++m)
    if (e.RunTime[m][d] < kStatusBase && !KlassRec.Struken[m]) total += e.RunTime[m][d];
  for (int m = max_dag; m >= 1; --m)
    if (!KlassRec.Struken[m] && e.RunTime[m][d] >= kStatusBase && e.RunTime[m][d] > total) total = e.RunTime[m][d];
  e.RunTime[0][d] = total;

  if (!IsStatus(value) && (e.RunTime[s][d] < ClassTimeA() || e.RunTime[s][d] > ClassTimeB())) {
    MsgLine = "L\xF6ptiden rimlig??" "!.. KmTid=" + TimeText(4, EntrantPace());
    if (!IsStatus(e.StartTime[s - 1])) ShowMsg(1);
  }
  auto best = [&](int stage, std::int32_t time) {
    if (time > 0 && time < kStatusBase && time < KlassRec.SegrTid[stage][d]) {
      KlassRec.SegrTid[stage][d] = time;
      KlassRec.SegrNdx[stage][d] = ref;
    }
  };
  if (class_live) {
    best(0, e.RunTime[0][d]);
    best(s, e.RunTime[s][d]);
  }
  bool stored = class_live ? RewriteEntrantAndClass(ref) : RewriteEntrant(ref);
  if (!stored) {
    EntrantRec = entrant_before;
    KlassRec = class_before;
    std::memcpy(InfoRec.Count, counts_before, sizeof counts_before);
    return false;
  }
  ResultsLog(kLogEntrant, replaced, false);
  return true;
}

void ImportFinishTime(const Text& line, ImportStep& step) {
  ResultLine r = ParseFinishLine(line);
  std::int32_t value = r.minutes * 60 + r.seconds;
  if (value == 0)
    if (int code = StatusWordCode(line); code >= 0) value = kStatusBase + code;
  std::int32_t ref = 0;
  bool failed;
  bool found = FindByNumber(r.number, ref, failed);
  if (failed) return StoreFailed(step, line);
  if (!found) {
    UnknownNumber(r.number, " M\xE5ltid: ", r.minutes, r.seconds);
    step.partial = true;
  }
  if (value == 0 || r.seconds >= 60) {
    BadTime("M\xE5ltiden felaktig/saknas (nr mmmss) ", line);
    step.partial = true;
  } else if (found) {
    if (!RegisterResult(ref, value)) return StoreFailed(step, line);
    ReportRecord(line, 0, 1);
    return;
  }
  ReportRecord(line, 0, 0);
}

void ImportRunningTime(const Text& line, ImportStep& step) {
  ResultLine r = ParseRunningLine(line);
  std::int32_t value = 0;
  bool running = r.minutes < 990;
  if (running) {
    value = r.minutes * 60 + r.seconds;
  } else if (r.minutes > 990) {
    int code = 6;
    switch (r.minutes) {
      case 993: code = 0; break;
      case 994: code = 1; break;
      case 995: code = 3; break;
      case 996: code = 2; break;
      case 997: code = 4; break;
      case 998: code = 5; break;
      case 999: code = 7; break;
      default: break;
    }
    value = kStatusBase + code;
  }
  std::int32_t ref = 0;
  bool failed;
  bool found = FindByNumber(r.number, ref, failed);
  if (failed) return StoreFailed(step, line);
  // A running time of 0 is no time, whatever the start it would be added to; the seconds of a
  // status are not read.
  bool bad = value == 0 || (running && r.seconds >= 60);
  if (found && running && !bad) {
    int stage = std::clamp<int>(InfoRec.DagStr, 1, 5);
    std::int32_t c = EntrantRec.ClassRef;
    bool at_end, class_found = false;
    TEntrantRec entrant = EntrantRec;
    if (c >= 1 && c < FileLen(KlassFile)) FindClassByName(kFindRecord, "", c, at_end, class_found);
    EntrantRec = entrant;
    if (!class_found && !IsamOK) {
      ReportStorageFailure(StorageFailureText());
      return StoreFailed(step, line);
    }
    value += EntrantRec.StartTime[stage - 1] + (class_found ? KlassRec.FrstStTid[stage - 1] : 0);
  }
  if (!found) {
    UnknownNumber(r.number, " Tid: ", r.minutes, r.seconds);
    step.partial = true;
  }
  if (bad) {
    BadTime("Tiden felaktig/saknas (nr mmmss) ", line);
    step.partial = true;
  } else if (found) {
    if (!RegisterResult(ref, value)) return StoreFailed(step, line);
    ReportRecord(line, 0, 1);
    return;
  }
  ReportRecord(line, 0, 0);
}

}  // namespace olbrax

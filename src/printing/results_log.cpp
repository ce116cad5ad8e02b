#include "printing/results_log.h"

#include <algorithm>

#include "base/messages.h"
#include "base/times.h"
#include "competition/archive.h"
#include "competition/records/class_rec.h"
#include "competition/records/club_recs.h"
#include "competition/records/competition_rec.h"
#include "competition/records/entrant_rec.h"
#include "competition/registers/entrants.h"
#include "competition/registers/register_find.h"
#include "competition/registers/results.h"
#include "competition/registers/shared_registers.h"
#include "printing/config/configuration.h"
#include "printing/engine/log_printer.h"

namespace olbrax {

int ResultsLogPage = 0;
int ResultsLogLine = 0;

namespace {

constexpr std::size_t kLineMax = 254;
constexpr int kPageLines = 76;
constexpr std::string_view kMakerLine = "    olbrax - resultatlogg f\xF6r orienteringst\xE4vlingar";

bool g_for_run = false;
// When the log was begun: seconds since midnight. The log keeps its own start rather than a
// place on the shared stopwatch stack, which the exchange file's open and close use in pairs.
std::int32_t g_started = 0;

void Print(std::string_view text) {
  print::LogEnsureOpen();
  print::LogLine(text.substr(0, std::min(text.size(), kLineMax)));
}

void Count() { ++ResultsLogLine; }

int Stage() { return std::clamp<int>(InfoRec.DagStr, 1, 5); }
int Inter() { return std::clamp<int>(InfoRec.MellanTid, 0, 25); }
int Format() { return InfoRec.hhmmssMode ? 6 : 4; }

Text Computer() { return "\"" + GeneralSettings.computer_name.get() + "\""; }

Text Dashes(int n) { return FillStr('-', n); }

Text ActiveText() {
  std::int32_t elapsed = RefreshNow() - g_started;
  while (elapsed < 0) elapsed += 86400;
  return ("InputResultat aktiverad .." + TimeText(6, elapsed)).substr(0, 36);
}

void ProgressLine() {
  Print("    " + Dashes(15) + IntStr(InfoRec.Count[Stage()][Inter()], 5) + ".. " + DatePart(21) + " " + Dashes(15));
  Count();
}

void EntrantLine(bool replaced, bool superseded) {
  const int s = Stage(), d = Inter();
  const TEntrantRec& e = EntrantRec;
  Text t;
  if (replaced) t = "+" + e.StartNumber.get() + "+ ";
  else if (superseded) t = "-" + e.StartNumber.get() + "- ";
  else t = " " + e.StartNumber.get() + "  ";
  t = PadBlank(t + KlassRec.Bet.get(), 17);
  t = PadBlank(t + DisplayName(false, e.StageName[s - 1].get()), 41);
  t = PadBlank(t + " " + DisplayName(false, ClubRec.ClubName.get()), 63);
  if (InfoRec.Relay) t += " " + e.TeamOrRanking.get() + "   ";
  t = PadBlank(t, 66);
  t = PadBlank(t + " " + TimeText(4, e.StartTime[s - 1] + KlassRec.FrstStTid[s - 1]) + "    ", 76);
  t = PadBlank(t + " " + ResultText(4, e.FinishTime[s - 1][d], s), 86);
  t = PadBlank(t + " " + ResultText(Format(), e.RunTime[s][d], s), 96);
  if (InfoRec.StrNr > 1) t = PadBlank(t + " " + ResultText(Format(), e.RunTime[0][d], 0), 106);
  if (InfoRec.Relay) t += " " + e.EntrantCourse[s - 1].get();
  Print("     " + t);
}

// The class's best entrant into the buffers; false when the class has none recorded.
bool ReadBestEntrant() {
  std::int32_t ref = KlassRec.SegrNdx[Stage()][Inter()];
  if (ref < 1 || !EntrantFile || ref >= FileLen(EntrantFile)) return false;
  bool at_end, found;
  FindEntrant(kFindRecord, "", ref, at_end, found);
  if (!found) return false;
  std::int32_t club = EntrantRec.ClubRef;
  FindClub(kFindRecord, "", club, at_end, found);
  if (!found) ClearClub();
  return true;
}

void ClassComplete() {
  const int s = Stage(), d = Inter();
  RefreshNow();
  Print("    " + Dashes(15) + IntStr(InfoRec.Count[s][d], 5) + ".." + KlassRec.Bet.get() + " klar!! " + DatePart(21) +
        " " + Dashes(5));
  Count();
  // The preliminary winner only when the class has one recorded: otherwise the entrant just
  // registered (perhaps disqualified) would be announced.
  TEntrantRec entrant = EntrantRec;
  TClubRec club = ClubRec;
  std::int32_t club_found = ClubState.last_found;
  if (ReadBestEntrant()) {
    const TEntrantRec& e = EntrantRec;
    Text t = "    Prel.1:a " + KlassRec.Bet.get() + " " + e.StartNumber.get() + " " +
             DisplayName(false, e.StageName[s - 1].get()) + " " + DisplayName(false, ClubRec.ClubName.get()) + " ";
    if (InfoRec.Relay) t += e.TeamOrRanking.get() + " " + e.EntrantCourse[s - 1].get() + " ";
    Print(t + TimeText(Format(), e.RunTime[s][d]) + " " + Dashes(5));
    Count();
  }
  EntrantRec = entrant;
  ClubRec = club;
  ClubState.last_found = club_found;
}

}  // namespace

bool ResultsLogActive() { return InfoRec.PrLogg || g_for_run; }
void SetResultsLogForRun(bool on) { g_for_run = on; }

void ResultsLog(int code, bool replaced, bool superseded) {
  const bool active = ResultsLogActive();
  const int s = Stage(), d = Inter();
  if (code == kLogMessage && active) {
    MsgLine = DosToWin(MsgLine).substr(0, kMsgLineMax);
    Print("     " + MsgLine);
  }
  if (code == kLogEntrant) {
    if (active) {
      EntrantLine(replaced, superseded);
      if (KlassRec.Count[s][d] == 0 && !superseded) ClassComplete();
      if (InfoRec.Count[s][d] == 0 && !superseded) {
        RefreshNow();
        Print("    " + Dashes(15) + IntStr(InfoRec.Count[s][d], 5) + "..T\xE4vlingen klar!! " + DatePart(21) + " " +
              Dashes(5));
        Count();
      }
    }
    if (InfoRec.Count[s][d] % 25 == 0 && !superseded && active) ProgressLine();
  }
  if (code == kLogMessage || code == kLogEntrant) {
    Count();
    if (ResultsLogLine >= kPageLines) code = kLogEndPage;
  }
  if (code == kLogEndPage || code == kLogEnd) {
    MsgLine = ActiveText();
    if (code == kLogEnd) ShowMsg(1);
    if (active) {
      ProgressLine();
      MsgLine = ActiveText();
      for (int i = ResultsLogLine; i < 77; ++i) Print("");  // empty lines to 77, and one more
      Print("");
      Print("    DatorId: " + Computer());
      Print("    " + MsgLine + " .... " + DatePart(14));
      Print(kMakerLine);
      print::LogNewPage(code);
      if (code == kLogEnd) print::LogEnd();
    }
    if (code == kLogEndPage) code = kLogBegin;
  }
  if (code == kLogBegin) {
    if (ResultsLogPage == 0) {
      g_started = RefreshNow();
      ResultsLogPage = 1;
      if (active) print::LogStart("OlBraxW:resultatlogg");
    }
    if (active) {
      Print("   " + Dashes(60));
      Print("    Logg dag:" + IntStr(InfoRec.DagStr, 0) + " " + Computer() + " Sid-" + IntStr(ResultsLogPage, 0) + "- ");
      ++ResultsLogPage;
      ResultsLogLine = 2;
    }
  }
}

}  // namespace olbrax

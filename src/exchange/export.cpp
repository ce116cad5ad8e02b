#include "exchange/export.h"

#include <algorithm>

#include "base/counter.h"
#include "base/messages.h"
#include "base/times.h"
#include "competition/archive.h"
#include "competition/records/class_rec.h"
#include "competition/records/club_recs.h"
#include "competition/records/cmp_club_rec.h"
#include "competition/records/competition_rec.h"
#include "competition/records/entrant_rec.h"
#include "competition/registers/definitions.h"
#include "competition/registers/entrants.h"
#include "competition/registers/register_change.h"
#include "competition/registers/register_find.h"
#include "competition/registers/results.h"
#include "competition/registers/shared_registers.h"
#include "exchange/exchange_file.h"
#include "printing/config/configuration.h"

namespace olbrax {

namespace {

constexpr std::string_view kMakerComment = "; olbrax - t\xE4vlingsadministration f\xF6r orientering";

// Where the export goes: chosen with the save dialog, or named.
struct Target {
  bool dialog = true;
  Text path;
};

bool Open(platform::Window owner, Target& t, int progress_kind) {
  if (!t.dialog) return OpenExchangeFileNamed(owner, ';', 'C', progress_kind, t.path);
  Text folder = GeneralSettings.ExchangeFolder.get();
  bool open = OpenExchangeFile(owner, ';', 'C', t.path, folder, "ol", ";*.ol", progress_kind);
  GeneralSettings.ExchangeFolder.set(folder);
  return open;
}

// Writes lines until one fails; after that nothing more is written.
class Writer {
 public:
  bool Line(std::string_view text) {
    if (!failed_ && !WriteExchangeLine(text)) failed_ = true;
    return !failed_;
  }
  bool failed() const { return failed_; }

 private:
  bool failed_ = false;
};

// Closes the file. A file that could not be written whole is removed, and the user is told (a
// failed read has been shown already).
bool Finish(const Target& t, const Writer& w, bool cancelled, bool read_failed = false) {
  ExchangeCounts c = CloseExchangeFile();
  if (read_failed) {
    RemoveExchangeFile(t.path);
    return false;
  }
  if (!w.failed() && c.write_error == 0) return !cancelled;
  Text why = MsgText(101) + PlatformDetail(c.write_error);
  Text what = RemoveExchangeFile(t.path) ? ", filen \xE4r borttagen" : ", filen \xE4r ofullst\xE4ndig";
  MsgLine = ("Exporten avbr\xF6ts: " + why + " (\"" + t.path + "\"" + what + ")").substr(0, kMsgLineMax);
  ShowMsg(201);
  return false;
}

bool Cancelled() {
  platform::CurrentUi().ProcessEvents();
  return CounterAborted();
}

// Reads entrant `ref` with its class and club: 1, or 0 when it is not a live entrant, or -1 when
// the engine failed (shown to the user: the file would miss the entrant).
int ReadEntrant(std::int32_t ref) {
  bool at_end, found;
  std::int32_t r = ref;
  FindEntrant(kFindRecord, "", r, at_end, found);
  if (!found && !IsamOK) {
    ReportStorageFailure(StorageFailureText());
    return -1;
  }
  if (!found) return 0;
  TEntrantRec entrant = EntrantRec;
  r = entrant.ClassRef;
  bool class_found = false;
  if (r >= 1 && r < FileLen(KlassFile)) FindClassByName(kFindRecord, "", r, at_end, class_found);
  if (!class_found && !IsamOK) {
    ReportStorageFailure(StorageFailureText());
    return -1;
  }
  if (!class_found) {
    ClearClassRec();
    ClassState.last_found = 0;
  }
  r = entrant.ClubRef;
  FindClub(kFindRecord, "", r, at_end, found);
  if (!found) ClearClub();
  EntrantRec = entrant;
  return 1;
}

Text EntrantLine(bool direct, int chosen) {
  const TEntrantRec& e = EntrantRec;
  const int n = std::clamp<int>(KlassRec.StrNr, 1, 5);
  const bool open = IsOpenClass(KlassRec.Bet.get());
  Text l = DisplayName(false, ClubRec.ClubName.get()) + "," + KlassRec.Bet.get();
  if (InfoRec.Days || open) {
    l += "," + DisplayName(false, e.StageName[0].get());
    if (!direct)
      for (int j = 0; j < n; ++j) l += ",#" + e.StageMark[j].get();
    l += ",!" + e.ExtraText.get() + "," + e.TeamOrRanking.get();
  } else {
    l += "," + e.TeamOrRanking.get();
    for (int j = 0; j < n; ++j) l += "," + DisplayName(false, e.StageName[j].get());
  }
  const int from = direct ? chosen : 1, to = direct ? chosen : n;
  for (int j = from; j <= to; ++j) {
    std::int32_t start = e.StartTime[j - 1];
    Text clock = TimeText(4, start + KlassRec.FrstStTid[j - 1]);
    l += "," + (direct ? clock : (open || start == 0) ? Text() : clock);
  }
  for (int j = from; j <= to; ++j) {
    std::int32_t finish = e.FinishTime[j - 1][0];
    l += "," + (finish != 0 ? ResultText(4, finish, j) : Text());
  }
  l += "," + ZeroStr(e.EntryNumber, 4);
  if (!direct) {
    if (e.ExtraNumber != 0) l += ",#" + ZeroStr(e.ExtraNumber, 4);
    for (int j = 0; j < n; ++j) l += "," + e.EntrantCourse[j].get();
  }
  return l;
}

bool Entrants(platform::Window owner, Target t, bool direct, int stage) {
  if (!CompetitionOpen || !EntrantFile) return false;
  int chosen = 0;
  if (direct) {
    InfoRec.MellanTid = 0;
    const int stages = std::clamp<int>(InfoRec.StrNr, 1, 5);
    chosen = stages == 1 ? 1 : stage;
    if (chosen == 0)
      chosen = AskNumber(owner, 0, "Exportera etapp/str\xE4" "cka (1.." + IntStr(stages, 0) + "):");
    if (chosen < 1 || chosen > stages) return false;
    InfoRec.DagStr = static_cast<std::int16_t>(chosen);
  }
  if (!Open(owner, t, 6)) return false;
  Writer w;
  RefreshNow();
  w.Line(";" + InfoRec.Tvl.get() + " " + DatePart(21));
  if (direct) w.Line("; \xD6ppna och direktklasser, endast direktmodulen");
  w.Line(kMakerComment);

  const bool drawn = InfoRec.gLottad || InfoRec.cLottad || InfoRec.sLottad || InfoRec.Lottad || InfoRec.Jaktad;
  const std::int32_t total = UsedRecs(EntrantFile);
  int pass = drawn ? 1 : 3;
  bool cancelled = false, read_failed = false;
  for (;;) {
    CounterLine(4, pass == 1   ? "Exporterar ordinarie anm."
                   : pass == 2 ? "Exporterar efteranm."
                               : "Exporterar alla anm. innan lottning.");
    w.Line(direct ? "*DirektNamn" : "*Namn");
    int late = 0;
    for (std::int32_t ref = 1; ref < FileLen(EntrantFile) && !w.failed() && !cancelled && !read_failed; ++ref) {
      int read = ReadEntrant(ref);
      read_failed = read < 0;
      if (read > 0) {
        const TEntrantRec& e = EntrantRec;
        if (pass == 1) {
          if (e.Counted) ++late;
          CounterLine(5, "Antal efteranm." + IntStr(late, 4));
        }
        bool chosen_now = pass == 1 ? e.Counted == 0 : pass == 2 ? e.Counted != 0 : true;
        if (direct)
          chosen_now = chosen_now && IsOpenClass(KlassRec.Bet.get()) && -e.Placing[0][0] == chosen;
        if (chosen_now && w.Line(EntrantLine(direct, chosen)))
          ReportExport("StartNr:" + e.StartNumber.get() + " Klass: " + KlassRec.Bet.get(), 1, total);
      }
      cancelled = Cancelled();
    }
    if (cancelled || w.failed() || read_failed) break;
    if (pass != 2 && !direct) {
      if (InfoRec.cLottad) w.Line("*MotionsLottad");
      if (InfoRec.gLottad) w.Line("*GruppLottad");
      if (InfoRec.sLottad) w.Line("*SkidLottad");
      if (InfoRec.Lottad) w.Line("*KlubbLottad");
      if (InfoRec.Jaktad) w.Line("*JaktLottad");
      w.Line("*Maxdag=" + ZeroStr(InfoRec.maxDag, 2));
    }
    if (pass != 1 || late == 0 || w.failed()) break;
    pass = 2;
  }
  return Finish(t, w, cancelled, read_failed);
}

bool Clubs(platform::Window owner, Target t, bool only) {
  if (!ClubFile) return false;
  if (!Open(owner, t, 3)) return false;
  Writer w;
  RefreshNow();
  if (CompetitionOpen) w.Line("; " + InfoRec.Tvl.get() + " " + DatePart(21));
  if (only) w.Line("; Endast klubbar f\xF6r denna t\xE4vling.");
  w.Line(Text(kMakerComment) + " " + DatePart(19));
  const std::int32_t total = only && CompetitionOpen ? CmpClubRec.ClubsWithEntrants : UsedRecs(ClubFile);
  w.Line("*Klubbar");
  bool cancelled = false;
  std::int32_t ref = 0;
  bool at_end = false, found = false;
  FindClub(kFindReset, "", ref, at_end, found);
  Text key;
  while (!w.failed() && !cancelled) {
    FindClub(kFindNext, key, ref, at_end, found);
    if (at_end) break;  // the end of the index, or an entry that names no live club
    key = ClubRec.ClubName.get();
    const bool in_range = ref >= 1 && ref <= kMaxClubRecords;
    const bool entered = CompetitionOpen && in_range && CmpClubRec.ClubEntrantCount[ref] > 0;
    if (only && !entered) continue;
    auto flag = [](std::int16_t f) { return f > 0 && f < 256 ? Text(1, static_cast<char>(f)) : Text(); };
    const TClubRec& c = ClubRec;
    Text l = DisplayName(false, c.ClubName.get()) + "," + ZeroStr(c.ClubNumber, 5) + "," + c.DistrictNumber.get() + "," +
             flag(c.ClubFlagC) + "," + flag(c.ClubFlagA) + "," + ZeroStr(c.ClubValue, 2) + "," + flag(c.ClubFlagB) + "," +
             c.ClubCode.get() + ",";
    if (CompetitionOpen && in_range) l += RealStr(ClubAmount(ref, 1), 0) + "," + RealStr(ClubAmount(ref, 2), 0);
    else l += ",";
    if (entered) l += ",#";
    w.Line(l);
    for (int b = 0; b < 4; ++b) {
      const AddressBlock& a = c.ClubAddress[b];
      w.Line(a.line[0].get() + "," + a.line[1].get() + "," + a.line[2].get() + "," + a.line[3].get());
    }
    if (!w.failed()) ReportExport(c.ClubName.get(), 1, total);
    cancelled = Cancelled();
  }
  return Finish(t, w, cancelled);
}

}  // namespace

bool ExportEntrants(platform::Window owner, bool direct) { return Entrants(owner, Target{}, direct, 0); }
bool ExportClubs(platform::Window owner, bool only) { return Clubs(owner, Target{}, only); }

bool ExportEntrantsTo(platform::Window owner, std::string_view path, bool direct, int stage) {
  return Entrants(owner, Target{false, Text(path)}, direct, stage);
}
bool ExportClubsTo(platform::Window owner, std::string_view path, bool only) {
  return Clubs(owner, Target{false, Text(path)}, only);
}

}  // namespace olbrax

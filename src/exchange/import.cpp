#include "exchange/import.h"
#include "exchange/import_step.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "base/counter.h"
#include "base/memory.h"
#include "base/messages.h"
#include "base/times.h"
#include "competition/archive.h"
#include "competition/records/class_rec.h"
#include "competition/records/club_recs.h"
#include "competition/records/cmp_club_rec.h"
#include "competition/records/competition_rec.h"
#include "competition/records/definition_recs.h"
#include "competition/records/route_recs.h"
#include "competition/registers/definitions.h"
#include "competition/registers/entrants.h"
#include "competition/registers/register_change.h"
#include "competition/registers/register_find.h"
#include "competition/registers/shared_registers.h"
#include "exchange/exchange_file.h"
#include "exchange/entry_import.h"
#include "exchange/exchange_format.h"
#include "exchange/file_action.h"
#include "exchange/result_import.h"
#include "printing/config/configuration.h"
#include "printing/engine/log_printer.h"

namespace olbrax {

namespace {

constexpr int kMaxRecordLines = 28;

struct ImportState {
  std::array<Text, kMaxRecordLines> lines;
  int section = kSecNamn;
  bool entered = false;
  bool first_pending = true;
  int collected = 0;
  int last_section = kSecNone;
  bool stop = false;
  bool cancelled = false;
  int class_counter = 0;
  bool results_open = false;  // a results section was begun and not yet ended
};

ImportRunStatus g_run;

// The records of a file go into the files in batches (competition/registers/register_change.h):
// a crash loses at most the batch in progress, and its log lines wait for its commit, so that the
// log never tells of a record that is not in the files.
ChangeBatch g_batch;
std::vector<Text> g_pending;

void Print(std::string_view line) {
  print::LogEnsureOpen();
  print::LogLine(line);
}

void Log(std::string_view line) { ImportLog(line); }

void PrintPending() {
  for (const Text& line : g_pending) Print(line);
  g_pending.clear();
}

// The records of a batch that was rolled back after a failure: said in the log.
void BatchLost(int records) {
  g_pending.clear();
  if (records > 0)
    Print("     " + IntStr(records, 0) + " poster f\xF6re felet sparades inte (de \xE5terst\xE4lldes med felet)");
}

// Ends the batch in progress; false when its commit failed (shown, logged, the run partial).
bool CommitBatch() {
  if (!g_batch.open()) return true;
  int records = g_batch.records();
  bool failed_before = g_batch.failed();
  if (CommitCountedBatch(g_batch)) return true;
  if (!failed_before) Print("     " + MsgLine);
  BatchLost(records);
  g_run.complete = false;
  return false;
}

// The run did only part of its work.
void Partial() { g_run.complete = false; }

// Opens a batch for the next record unless one is open.
void BeginBatch() {
  if (g_batch.open()) return;
  g_pending.clear();
  g_batch.committed = PrintPending;
  g_batch.before_box = [] { CommitBatch(); };
  BeginCountedBatch(g_batch, [counts = LastExchangeCounts()] { SetReportedCounts(counts); });
}

// A record the register layer could not store: its failure (already shown to the user) goes into
// the log, the record counts as neither added nor modified, and the rest of the file is left, so
// that the log never reports what is not in the files.
void StoreFailed(ImportState& st, std::string_view text) {
  Log("     " + MsgLine);
  ReportRecord(text, 0, 0);
  st.stop = true;
  Partial();
}

// A look-up that failed in the engine, not merely found nothing: the record cannot be placed
// (taken for new, a club would be stored twice), so the failure is shown and the file ends.
bool LookUpFailed(ImportState& st, std::string_view text) {
  if (IsamOK || IsamError == isam::kFindNotFound || IsamError == isam::kSearchNotFound) return false;
  ReportStorageFailure(StorageFailureText());
  StoreFailed(st, text);
  return true;
}

// A record refused for what it holds: said on the message line and in the log; the file goes on.
void Refused(std::string_view text, std::string_view why) {
  MsgLine = Text(why);
  ShowMsg(1);
  Log("     " + MsgLine);
  ReportRecord(text, 0, 0);
  Partial();
}

Text F(const Text& line, int n) { return ExchangeField(line, ',', n); }

Text Sp(long v, int w) { return IntStr(v, w); }

// --- Handlers --------------------------------------------------------------------------------

void ImportCompetition(ImportState& st) {
  if (ArchiveLength > kMaxCompetitions) {
    MsgLine = "Max antal t\xE4vlingar uppn\xE5tt kan ej addera!";
    ShowMsg(201);
    st.stop = true;
    Partial();
    OpenCompetition();
    return;
  }
  ClearCompetitionRec();
  const Text& l1 = st.lines[0];
  const Text& l2 = st.lines[1];
  InfoRec.Arr.set(F(l1, 1));
  ResetCmpClubRec();
  InfoRec.Date.set(F(l1, 2));
  InfoRec.Avg.e = static_cast<std::int16_t>(IntField(F(l1, 3)));
  InfoRec.Avg.u = static_cast<std::int16_t>(IntField(F(l1, 4)));
  InfoRec.Avg.o = static_cast<std::int16_t>(IntField(F(l1, 5)));
  Text ef = F(l1, 6);
  InfoRec.Avg.ef.set(ef.empty() ? Text("*1.5") : ef);
  int l = IntField(F(l1, 7));
  InfoRec.Avg.l = static_cast<std::int16_t>(l < 0 || l > 999 ? 10 : l);
  int scale = IntField(F(l1, 8));
  InfoRec.KartSkala = scale == 0 ? 15000 : scale;
  InfoRec.mTabell = static_cast<std::uint16_t>(IntField(F(l1, 9)));
  InfoRec.mankordn = UpStr(F(l1, 10)) == "P\xC5";
  InfoRec.eftstartl = UpStr(F(l1, 11)) == "SIST";

  InfoRec.Tvl.set(F(l2, 1));
  InfoRec.minKmTid = IntField(F(l2, 2));
  InfoRec.maxKmTid = IntField(F(l2, 3));
  InfoRec.Typ.set(F(l2, 4));
  Text typ = UpStr(InfoRec.Typ.get());
  InfoRec.Days = InfoRec.Relay = 0;
  if (typ.find("STAFETT") != Text::npos || typ.find("BUDKAVLE") != Text::npos || typ.find("TRIATHLON") != Text::npos) {
    InfoRec.Relay = 1;
    InfoRec.mTabell = 0;
  }
  InfoRec.Days = !InfoRec.Relay;
  if (typ.find("MOTION") != Text::npos) MotionCompetition = true;
  int s = IntField(F(l2, 5));
  if (s < 1 || s > 5) s = 1;
  InfoRec.StrNr = static_cast<std::int16_t>(s);
  int field = 6;
  int zero_times = InfoRec.Relay ? 1 : s;
  for (int j = 0; j < zero_times; ++j) InfoRec.NollTid[j] = ParseTime(1, F(l2, field++));
  int k = InfoRec.Relay ? 7 : s + 6;
  InfoRec.vakanser = static_cast<std::int16_t>(IntField(F(l2, k)));
  for (int j = 0; j < s; ++j) {
    int n = IntField(F(l2, k + 1 + j));
    InfoRec.nontime[j] = static_cast<std::int16_t>(n < 1 ? 1 : n);
  }
  InfoRec.tvldistr = static_cast<std::uint8_t>(IntField(F(l2, k + s + 1)));
  InfoRec.tvlnr = static_cast<std::uint16_t>(IntField(F(l2, k + s + 2)));
  if (Text c = F(l2, k + s + 3); !c.empty()) InfoRec.tvltyp = static_cast<unsigned char>(c[0]);
  if (int v = IntField(F(l2, k + s + 4), -1); v >= 0 && v <= 3) InfoRec.ClubSort = static_cast<std::uint8_t>(v);
  if (int v = IntField(F(l2, k + s + 5), -1); v >= 0 && v <= 3) InfoRec.ClubNrOption = static_cast<std::uint8_t>(v);
  for (int b = 0; b < 4; ++b)
    for (int i = 0; i < 4; ++i) InfoRec.adress[b].line[i].set(F(st.lines[static_cast<std::size_t>(2 + b)], i + 1));
  Text text = InfoRec.Tvl.get() + "  " + InfoRec.Date.get();
  // The entry and its files, all or nothing: a competition without files could never be opened,
  // and the classes and entries of the same import would have nowhere to go.
  if (!CreateCompetition()) return StoreFailed(st, text);
  ReportRecord(text, 1, 0);
}

void ImportClub(ImportState& st) {
  ClearClub();
  const Text& l1 = st.lines[0];
  // The name as it is stored: at most 30 characters, "XXX" when empty. A longer name is found by
  // its stored form, and an empty one does not match every club.
  Text name = StoredKey(UpStr(F(l1, 1)).substr(0, 30));
  std::int32_t ref = 0;
  bool at_end, found;
  FindClub(kFindFrom, name, ref, at_end, found);
  if (LookUpFailed(st, name)) return;
  bool exists = found && ClubRec.ClubName.get().find(name) != Text::npos;
  if (!exists) {
    ClearClub();
    if (FileLen(ClubFile) - 1 >= kMaxClubs) {
      MsgLine = "Max antal klubbar uppn\xE5tt kan ej addera!";
      ShowMsg(1);
      st.stop = true;
      Partial();
      return;
    }
    ClubRec.ClubName.set(name);
  }
  Text text = DisplayName(false, ClubRec.ClubName.get());
  if (Text v = F(l1, 2); !v.empty()) ClubRec.ClubNumber = IntField(v, 0);
  if (Text v = F(l1, 3); !v.empty()) ClubRec.DistrictNumber.set(v.substr(0, 2));
  if (ClubRec.DistrictNumber.empty()) ClubRec.DistrictNumber.set("00");
  if (Text v = F(l1, 4); !v.empty()) ClubRec.ClubFlagC = static_cast<unsigned char>(v[0]);
  if (Text v = F(l1, 5); !v.empty()) ClubRec.ClubFlagA = static_cast<unsigned char>(v[0]);
  if (Text v = F(l1, 6); !v.empty()) ClubRec.ClubValue = static_cast<std::int16_t>(IntField(v, 1));
  if (Text v = F(l1, 7); !v.empty()) ClubRec.ClubFlagB = static_cast<unsigned char>(v[0]);
  if (Text v = F(l1, 8); !v.empty()) ClubRec.ClubCode.set(v.substr(0, 3));
  for (int b = 0; b < 4; ++b)
    for (int i = 0; i < 4; ++i) ClubRec.ClubAddress[b].line[i].set(F(st.lines[static_cast<std::size_t>(1 + b)], i + 1));
  if (!PutClub(!exists, ref)) return StoreFailed(st, text);
  ReportRecord(text, exists ? 0 : 1, exists ? 1 : 0);
  // The club's two fees in this competition, and the totals, once the club is stored.
  if (CompetitionOpen && ref >= 1 && ref <= kMaxClubRecords) {
    for (int a = 1; a <= 2; ++a) {
      double total = ClubAmount(0, a) - (exists ? ClubAmount(ref, a) : 0.0);
      double fee = RealField(F(l1, 8 + a));
      SetClubAmount(ref, a, fee);
      SetClubAmount(0, a, total + fee);
    }
  }
}

void ImportDistrict(ImportState& st) {
  ClearDistrict();
  const Text& l1 = st.lines[0];
  DistrRec.Dname.set(F(l1, 2).substr(0, 19));
  DistrRec.Dkort.set(F(l1, 3).substr(0, 3));
  // The number is stored in two digits: 100 would become 10 and overwrite that district.
  int number = IntField(F(l1, 1), -1);
  if (number < 1 || number > kMaxDialogDistricts) {
    return Refused(F(l1, 1) + " " + DistrRec.Dname.get(),
                   "Distriktsnummer utanf\xF6r 1..99: \"" + F(l1, 1) + "\" " + DistrRec.Dname.get());
  }
  DistrRec.Dnr.set(ZeroStr(number, 2));
  TDistrRec fresh = DistrRec;
  std::int32_t ref = 0;
  bool at_end, found;
  FindDistrict(kFindExact, fresh.Dnr.get(), ref, at_end, found);
  Text text = fresh.Dnr.get() + " " + fresh.Dname.get() + " " + fresh.Dkort.get();
  if (LookUpFailed(st, text)) return;
  if (!found && FileLen(DistrFile) - 1 >= kMaxDistricts) {
    MsgLine = "Max antal distrikt uppn\xE5tt kan ej addera!";
    st.stop = true;
    Partial();
    ShowMsg(1);
    return;
  }
  if (found) fresh.DataStatus = DistrRec.DataStatus;
  DistrRec = fresh;
  if (!PutDistrict(!found, ref)) return StoreFailed(st, text);
  ReportRecord(text, found ? 0 : 1, found ? 1 : 0);
}

void ImportControl(ImportState& st) {
  const Text& l1 = st.lines[0];
  Text code = NormaliseControlCode(F(l1, 1));
  std::int32_t ref = 0;
  bool at_end, found;
  FindControl(kFindExact, code, ref, at_end, found);
  if (LookUpFailed(st, "Kontr: " + code)) return;
  if (!found) {
    ClearControl();
    KontrRec.KodNr.set(code);
    if (UsedRecs(KontrFile) > 510) {
      MsgLine = "Max antal kontroller uppn\xE5tt kan ej addera!";
      ShowMsg(1);
      st.stop = true;
      Partial();
      return;
    }
  }
  for (int col = 0; col < 8; ++col) {
    Text v = UpStr(F(l1, col + 2)).substr(0, 10);
    KontrRec.R[col].set(v);
    if (v.empty() || v == " ") continue;
    std::int32_t r = 0;
    bool e, f;
    TRouteRec keep_short = RouteRec;
    TRoute24Rec keep_long = Route24Rec;
    FindRoute(kFindExact, v, r, e, f);
    RouteRec = keep_short;
    Route24Rec = keep_long;
    if (f) continue;
    std::size_t bad = v.find_first_not_of("0123456789");
    if (bad != Text::npos && v[bad] != '.' && v[bad] != '/' && v[bad] != '_') {
      MsgLine = "KodNr: \"" + code + "\",\"" + v + "\" Ruta:" + Text(1, static_cast<char>('A' + col)) + " ... ej funnen";
      ShowMsg(1);
      Log("     " + MsgLine);
    }
  }
  KontrRec.posX = IntField(F(l1, 10));
  KontrRec.posY = IntField(F(l1, 11));
  if (!PutControl(!found, ref)) return StoreFailed(st, "Kontr: " + code);
  ReportRecord("Kontr: " + code + " Record:" + Sp(ref, 4), found ? 0 : 1, found ? 1 : 0);
}

void ImportCourse(ImportState& st) {
  const Text& l1 = st.lines[0];
  Text name = UpStr(F(l1, 1)).substr(0, 12);
  std::int32_t ref = 0;
  bool at_end, found;
  FindCourse(kFindExact, name, ref, at_end, found);
  if (LookUpFailed(st, "Bana: " + name)) return;
  if (!found) {
    ClearCourse();
    TrackRec.Bana.set(name);
  }
  std::vector<std::int32_t> used;  // the controls a new course uses, counted once it is stored
  TrackRec.BanSize[std::clamp<int>(InfoRec.MellanTid, 0, 25)] = IntField(F(l1, 2));
  TrackRec.Rise = static_cast<std::int16_t>(IntField(F(l1, 3)));
  TrackRec.Antal = 0;
  for (int field = 4;; ++field) {
    Text raw = F(l1, field);
    if (raw.empty()) break;
    if (TrackRec.Antal >= kMaxCourseControls) {
      MsgLine = "Max antal kontroller per bana uppn\xE5tt kan ej addera! Bana \"" + name + "\"";
      ShowMsg(1);
      Log("     " + MsgLine);
      Partial();
      break;
    }
    Text code = NormaliseControlCode(raw);
    TrackRec.KodNr[TrackRec.Antal++].set(code);
    std::int32_t c = 0;
    FindKey(KontrFile, 1, c, code);
    if (!IsamOK) {
      MsgLine = "Odefinierad kodsiffra (kontrollpunkt)! " + raw;
      ShowMsg(1);
      Log("     " + MsgLine);
    } else if (!found && c >= 1 && c <= kMaxControlRecords) {
      used.push_back(c);
    }
  }
  if (!PutCourse(!found, ref)) return StoreFailed(st, "Bana: " + name);
  for (std::int32_t c : used) ++CmpClubRec.ControlUse[c - 1];
  ReportRecord("Bana: " + name + " Record:" + Sp(ref, 4), found ? 0 : 1, found ? 1 : 0);
}

void ImportClass(ImportState& st) {
  const Text& l = st.lines[0];
  Text name = UpStr(F(l, 1)).substr(0, 8);
  std::int32_t ref = 0;
  bool at_end, found;
  FindClassByName(kFindExact, name, ref, at_end, found);
  if (LookUpFailed(st, "Klass: " + name)) return;
  if (!found) {
    ClearClassRec();
    KlassRec.Bet.set(name);
    if (UsedRecs(KlassFile) > 78) {
      MsgLine = "Max antal klasser uppn\xE5tt kan ej addera!";
      ShowMsg(1);
      st.stop = true;
      Partial();
      return;
    }
  }
  ++st.class_counter;
  if (InfoRec.mankordn) {
    Text sort = UpStr(F(l, 2)).substr(0, 4);
    KlassRec.SortOrdn.set(sort.empty() ? ZeroStr(st.class_counter, 4) : sort);
  }
  int vak = IntField(F(l, 3));
  KlassRec.vakanser = static_cast<std::int16_t>(vak == 0 ? InfoRec.vakanser : vak);
  KlassRec.Nummerlapp = static_cast<std::int16_t>(IntField(F(l, 4)));
  int n = IntField(F(l, 5));
  if (n > InfoRec.StrNr || n < 1) n = InfoRec.StrNr;
  KlassRec.StrNr = static_cast<std::int16_t>(n);
  KlassRec.maxi = static_cast<std::int16_t>(IntField(F(l, 6)));
  std::int32_t a = ParseTime(4, F(l, 7));
  KlassRec.minKmTid = a < 60 ? InfoRec.minKmTid : a;
  std::int32_t b = ParseTime(4, F(l, 8));
  KlassRec.maxKmTid = b < 60 ? InfoRec.maxKmTid : b;
  bool individual = InfoRec.Days || IsOpenClass(KlassRec.Bet.get());
  int field = 9;
  int d = std::clamp<int>(InfoRec.MellanTid, 0, 25);
  if (individual) {
    for (int j = 0; j < n; ++j) KlassRec.FrstStTid[j] = IntField(F(l, field++)) * 60;
  } else {
    std::int32_t t = IntField(F(l, field++)) * 60;
    for (int j = 0; j < n; ++j) KlassRec.FrstStTid[j] = t;
  }
  for (int j = 0; j < n; ++j) KlassRec.BanSize[j][d] = IntField(F(l, field++));
  for (int j = 0; j < n; ++j) KlassRec.Bana[j].set(F(l, field++).substr(0, 3));
  if (!individual) {
    for (int j = 0; j < n; ++j) KlassRec.BanLottn[j].set(F(l, field++).substr(0, 6));
  } else {
    for (int j = 0; j < n; ++j) KlassRec.SMell[j] = IntField(F(l, field++));
    for (int j = 0; j < n; ++j) {
      int v = IntField(F(l, field++));
      if (v < 1) v = InfoRec.nontime[j];
      KlassRec.nontime[j] = static_cast<std::int16_t>(v < 1 ? 1 : v);
    }
  }
  int g6 = 0;
  for (int j = 0; j < n; ++j) KlassRec.St[j] = static_cast<std::int16_t>(IntField(F(l, field++)));
  g6 = field;
  for (int j = 0; j < n; ++j) KlassRec.Goal[j] = static_cast<std::int16_t>(IntField(F(l, field++)));
  if (individual) {
    for (int j = 0; j < n; ++j) KlassRec.FilNr[j] = static_cast<std::int16_t>(IntField(F(l, field++)));
    for (int j = 0; j < n; ++j) KlassRec.Jakt[j] = static_cast<std::int16_t>(IntField(F(l, field++)));
  } else {
    // Relay classes: the prize counts are read from where the finish places began.
    field = g6;
  }
  for (int j = 0; j <= n; ++j) KlassRec.nPris[j] = static_cast<std::uint8_t>(IntField(F(l, field++)));
  bool all = n > 0;
  for (int j = 1; j <= n; ++j) {
    KlassRec.Struken[j] = UpStr(F(l, field++)).find("STRU") != Text::npos;
    all = all && KlassRec.Struken[j];
  }
  KlassRec.Struken[0] = all;
  if (InfoRec.gLottad || InfoRec.cLottad || InfoRec.sLottad || InfoRec.Lottad) {
    KlassRec.Flag = 1;
    if (!found) KlassRec.eftAnm[0] = KlassRec.eftAnm[1] = 0;
  }
  if (!PutClass(!found, ref)) return StoreFailed(st, "Klass: " + name);
  ReportRecord("Klass: " + name + " Record:" + Sp(ref, 4), found ? 0 : 1, found ? 1 : 0);
}

template <class Rec>
void ImportRouteSymbol(ImportState& st, Rec& rec, bool long_form) {
  const Text& l1 = st.lines[0];
  Text key = UpStr(F(l1, 1)).substr(0, 10);
  std::int32_t ref = 0;
  bool at_end, found;
  FindRoute(kFindExact, key, ref, at_end, found);
  if (LookUpFailed(st, key)) return;
  Text text = found ? rec.RouteKey.get() + "->" + key : key;
  if (!found) {
    if (long_form) ClearRoute24();
    else ClearRoute();
    rec.RouteKey.set(key);
  }
  rec.RouteText.set(F(l1, 2).substr(0, 48));
  rec.RouteNumber = static_cast<std::int16_t>(IntField(F(l1, 3)));
  if constexpr (std::is_same_v<Rec, TRouteRec>) {
    // Lines 2..10: rows 1..3 of columns 1-14, 15-28, 29-40.
    static constexpr int kFirst[3] = {1, 15, 29}, kCount[3] = {14, 14, 12};
    for (int part = 0; part < 3; ++part)
      for (int row = 0; row < 3; ++row) {
        const Text& line = st.lines[static_cast<std::size_t>(1 + part * 3 + row)];
        for (int c = 0; c < kCount[part]; ++c)
          rec.RouteSymbol[row][kFirst[part] - 1 + c] = static_cast<std::uint8_t>(IntField(F(line, c + 1)));
      }
  } else {
    for (int L = 2; L <= 28; ++L) {
      int i = L - 1;
      int band = (i - 1) / 9, row = (i - 1) % 3, first = ((i - 1) / 3 % 3) * 16;
      const Text& line = st.lines[static_cast<std::size_t>(L - 1)];
      for (int c = 0; c < 16; ++c) rec.RouteSymbol[band][row][first + c] = static_cast<std::uint8_t>(IntField(F(line, c + 1)));
    }
  }
  if (!PutRoute(!found, ref)) return StoreFailed(st, text);
  ReportRecord(text, found ? 0 : 1, found ? 1 : 0);
}

// --- Sections --------------------------------------------------------------------------------

// False when a class could not be written back (the user has been shown why).
bool MarkClassesDrawn() {
  std::int32_t total = UsedRecs(KlassFile);
  for (std::int32_t ref = 1;; ++ref) {
    bool at_end, found;
    std::int32_t r = ref;
    FindClassByName(kFindRecord, "", r, at_end, found);
    if (at_end && r >= FileLen(KlassFile)) break;
    if (!found) continue;
    int d = std::clamp<int>(InfoRec.MellanTid, 0, 25);
    if (KlassRec.Nummerlapp != 0) {
      KlassRec.FrstStNr = KlassRec.Nummerlapp;
      KlassRec.StNrCount = static_cast<std::int16_t>(KlassRec.Nummerlapp + KlassRec.Count[0][d] - 1);
    } else {
      KlassRec.FrstStNr = KlassRec.FirstDataNr;
      KlassRec.StNrCount = KlassRec.LastDataNr;
    }
    KlassRec.eftAnm[0] = KlassRec.eftAnm[1] = 0;
    KlassRec.Flag = 1;
    Text text = "[" + Sp(ref, 3) + "/" + Sp(total, 3) + "]. Klass \"" + KlassRec.Bet.get() + "\"";
    if (!RewriteClass(ref)) {
      Log("     " + MsgLine);
      ReportRecord(text, 0, 0);
      return false;
    }
    ReportRecord(text, 0, 1);
  }
  return true;
}

void SetDrawFlags(int section) {
  switch (section) {
    case kSecKlubbLottad:
      InfoRec.Lottad = 1;
      InfoRec.gLottad = InfoRec.cLottad = InfoRec.sLottad = 0;
      break;
    case kSecMotionsLottad:
      InfoRec.cLottad = 1;
      InfoRec.gLottad = InfoRec.sLottad = InfoRec.Lottad = 0;
      break;
    case kSecJaktLottad: InfoRec.Jaktad = 1; break;
    case kSecGruppLottad:
      InfoRec.gLottad = 1;
      InfoRec.cLottad = InfoRec.sLottad = InfoRec.Lottad = 0;
      break;
    default: break;
  }
}

// A section that needs the files of a competition which are not open: said and logged, never
// passed over in silence. `reported` counts the storage failures shown before the files were
// opened: a failure shown while opening them is the reason, and goes into the log too.
void CompetitionMissing(int section, int reported) {
  Text identifier = "\"" + Text(kSections[section].identifier) + "\"";
  if (CurrentCompetition == 0) {
    MsgLine = "Ingen t\xE4vling vald: " + identifier + " kan inte importeras";
    ShowMsg(1);
    g_run.no_competition = true;
  } else {
    Text what = "T\xE4vling " + ZeroStr(CurrentCompetition, 2) + " kan inte \xF6ppnas: " + identifier + " importeras inte";
    if (ReportedStorageFailures() > reported) {
      Log(MsgLine);
      MsgLine = what;
      ShowMsg(1);
    } else {
      ReportStorageFailure(what + ". " + StorageFailureText());
    }
  }
  Log(MsgLine);
}

void EnterSection(ImportState& st, int section, const Text& line) {
  st.section = section;
  if (!ArchiveOpen) {
    ShowMsg(39);
    st.section = kSecStop;
    Partial();
    return;
  }
  st.entered = true;
  st.last_section = section;
  // Leaving a results section for another one ends it, so that its log is never left open.
  if (st.results_open) {
    EndResults();
    st.results_open = false;
  }
  int reported = ReportedStorageFailures();
  // The section's files could not be opened: the rest of the file is not read.
  auto stop_unless = [&](bool ok, bool competition) {
    if (ok) return;
    if (competition) CompetitionMissing(section, reported);
    st.section = kSecStop;
    Partial();
  };
  switch (section) {
    case kSecBas:
      CloseDefinitions();
      CloseCompetition();
      break;
    case kSecRutbeskr:
    case kSecRutB24:
      GeneralSettings.RouteFormat = section == kSecRutB24 ? 1 : 0;
      CloseRouteFile();
      OpenRouteFile();
      ArchiveOpen = IsamOK;
      stop_unless(ArchiveOpen, false);
      break;
    case kSecBanor:
    case kSecKontroller:
      if (!DefinitionsOpen) {
        CloseCompetition();
        OpenDefinitions();
      }
      stop_unless(DefinitionsOpen, true);
      break;
    case kSecKlasser:
      if (!CompetitionOpen && !DefinitionsOpen) OpenCompetition();
      stop_unless(CompetitionOpen || DefinitionsOpen, true);
      st.class_counter = 0;
      break;
    case kSecNamn:
    case kSecModifieraNamn:
      if (!CompetitionOpen) {
        CloseDefinitions();
        OpenCompetition();
      }
      stop_unless(CompetitionOpen, true);
      break;
    case kSecResultat:
    case kSecEmitresultat:
      st.results_open = BeginResults();
      stop_unless(st.results_open, true);
      break;
    case kSecEtapp: {
      int n = IntField(IdentifierValue(line));
      InfoRec.DagStr = static_cast<std::int16_t>(n > InfoRec.StrNr || n < 1 ? 1 : n);
      break;
    }
    case kSecMaxdag: {
      int n = IntField(IdentifierValue(line));
      InfoRec.maxDag = static_cast<std::int16_t>(n > InfoRec.StrNr || n < 0 ? 1 : n);
      break;
    }
    case kSecKlubbLottad:
    case kSecMotionsLottad:
    case kSecJaktLottad:
    case kSecGruppLottad:
      stop_unless(CompetitionOpen || DefinitionsOpen, true);
      if (st.section == kSecStop) break;
      SetDrawFlags(section);
      if (!WriteCompetitionRec(CurrentCompetition)) {
        Log("     " + MsgLine);
        st.section = kSecStop;
        Partial();
      } else if (section != kSecJaktLottad && !MarkClassesDrawn()) {
        st.section = kSecStop;
        Partial();
      }
      break;
    default: break;
  }
}

void EntryOrResult(ImportState& st, void (*handler)(const Text&, ImportStep&)) {
  ImportStep step;
  handler(st.lines[0], step);
  if (step.stop) st.stop = true;
  if (step.partial) Partial();
}

void Dispatch(ImportState& st) {
  switch (st.section) {
    case kSecBas: ImportCompetition(st); break;
    case kSecKlubbar: ImportClub(st); break;
    case kSecDistrikt: ImportDistrict(st); break;
    case kSecKontroller: ImportControl(st); break;
    case kSecBanor: ImportCourse(st); break;
    case kSecKlasser: ImportClass(st); break;
    case kSecRutbeskr: ImportRouteSymbol(st, RouteRec, false); break;
    case kSecRutB24: ImportRouteSymbol(st, Route24Rec, true); break;
    case kSecNamn: EntryOrResult(st, ImportEntry); break;
    case kSecModifieraNamn: EntryOrResult(st, ModifyEntry); break;
    case kSecResultat: EntryOrResult(st, ImportFinishTime); break;
    case kSecEmitresultat: EntryOrResult(st, ImportRunningTime); break;
    default: break;  // sections whose work is done at entry
  }
}

void FinishFile(ImportState& st, std::uint8_t saved_format) {
  CommitBatch();
  if (st.cancelled) {
    Log("");
    Log("<< avbrutet >>");
    Log("");
  }
  if (ArchiveOpen && !CompetitionOpen) {
    CloseDefinitions();
    OpenCompetition();
  }
  if (st.results_open) {
    EndResults();
    st.results_open = false;
  }
  ExchangeCounts c = CloseExchangeFile();
  Log("Adderade: " + Sp(c.added, 3) + " Modifierade: " + Sp(c.modified, 3) + " Rader: " + Sp(c.lines, 3));
  Log("");
  GeneralSettings.RouteFormat = saved_format;
  if (ArchiveOpen) {
    CloseRouteFile();
    OpenRouteFile();
  }
}

}  // namespace

bool ImportFile(platform::Window owner, std::string_view file_name, std::string_view folder, int file_count,
                int file_index) {
  if (file_index == 1) {
    g_run = ImportRunStatus{};
    print::LogStart("importlogg");
    Log("LOGGLISTA IMPORT");
    Log("");
  }
  // A file that is not read: said in the log, and the run (the last file ends it) still ends with
  // its closing line, so that the log job is finished.
  auto skipped = [&] {
    Log(MsgLine);
    Partial();
    if (file_index == file_count) {
      Log("IMPORT KLAR!");
      print::LogEnd();
    }
    return true;
  };
  if (!MemAvail(kMaxRecordLines * 256)) {
    MsgLine = "Minnet p\xE5 heapen r\xE4" "cker inte f\xF6r variabeldeklaration.";
    ShowMsg(1);
    return skipped();
  }
  Text path = Text(folder) + "/" + Text(file_name);
  if (!OpenExchangeFileForReading(owner, ';', path, 4)) return skipped();
  Log("============================");
  Log("importerar \"" + path + "\"");
  Log("");
  ImportState st;
  std::uint8_t saved_format = GeneralSettings.RouteFormat;

  Text line;
  bool eof = false;
  while (!eof && !st.cancelled && !st.stop) {
    int section_at_start = st.section;
    st.collected = 0;
    bool changed = false;
    while (!changed && !st.stop && st.section >= 0 && st.collected <= kSections[st.section].lines_per_record - 1) {
      if (!ReadExchangeLine(line)) {
        eof = true;
        break;
      }
      if (line.empty()) continue;
      if (line[0] == '*') {
        int section = RecogniseSection(line);
        if (section == kSecNone) {
          MsgLine = "Ok\xE4nd identifierare! Rad:" + Sp(LinesDone(), 5);
          ShowMsg(201);
          Log(MsgLine);
          Partial();
          FinishFile(st, saved_format);
          if (file_index == file_count) {
            Log("IMPORT KLAR!");
            print::LogEnd();
          }
          return true;
        }
        // A section opens and closes files, which no transaction spans.
        if (!CommitBatch()) {
          st.stop = true;
          break;
        }
        Log("importerar \"" + Text(kSections[section].identifier) + "\"");
        bool first = st.first_pending;
        st.first_pending = false;
        EnterSection(st, section, line);
        if (st.section == kSecStop) {
          st.stop = true;
          break;
        }
        // The first identifier of a file lets the record in progress go on in its section.
        if (!first) changed = true;
        section_at_start = st.section;
        continue;
      }
      if (line[0] == ';') {
        Log(line.substr(0, 160));
        MsgLine = line.substr(0, 160);
        ShowMsg(1);
        continue;
      }
      st.lines[static_cast<std::size_t>(st.collected++)] = line;
    }
    bool complete = st.section >= 0 && st.collected == kSections[st.section].lines_per_record;
    if (!changed && complete && st.entered && st.section == section_at_start) {
      // A competition record makes files and opens them, which no transaction spans.
      if (st.section == kSecBas) {
        if (!CommitBatch()) st.stop = true;
      } else {
        BeginBatch();
      }
      if (!st.stop) {
        Dispatch(st);
        if (g_batch.failed()) {
          CommitBatch();
          st.stop = true;
        } else if (g_batch.open() && g_batch.Counted() && !CommitBatch()) {
          st.stop = true;
        }
      }
    }
    // Let the cancel button of the progress window through, then ask it.
    platform::CurrentUi().ProcessEvents();
    if (CounterAborted()) {
      st.cancelled = true;
      Partial();
      if (!CommitBatch()) st.stop = true;
    }
  }
  FinishFile(st, saved_format);
  if (file_index == file_count || st.cancelled) {
    Log("IMPORT KLAR!");
    print::LogEnd();
  }
  // A cancel ends the whole run: the user asked to stop, not to skip one file.
  return !st.cancelled;
}

const ImportRunStatus& LastImportRun() { return g_run; }

void ImportLog(std::string_view line) {
  if (g_batch.open() && !g_batch.failed()) g_pending.emplace_back(line);
  else Print(line);
}

bool ImportFiles(platform::Window owner, const std::vector<Text>& paths) {
  ActionList list(kImportOrder, kImportSingleUse);
  for (const Text& p : paths) {
    Text status;
    if (!list.Include(p, status)) {
      MsgLine = status + ": " + p;
      return false;
    }
  }
  int n = static_cast<int>(list.entries().size());
  for (int i = 0; i < n; ++i) {
    const Text& p = list.entries()[static_cast<std::size_t>(i)].path;
    auto slash = p.find_last_of('/');
    Text folder = slash == Text::npos ? Text(".") : p.substr(0, slash);
    if (!ImportFile(owner, p.substr(slash == Text::npos ? 0 : slash + 1), folder, n, i + 1)) break;
  }
  return true;
}

}  // namespace olbrax

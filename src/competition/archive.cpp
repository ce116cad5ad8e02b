#include "competition/archive.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <map>

#include "base/messages.h"
#include "competition/club_recount.h"
#include "competition/maintenance/index_rebuild.h"
#include "competition/records/class_rec.h"
#include "competition/records/club_recs.h"
#include "competition/records/cmp_club_rec.h"
#include "competition/records/competition_rec.h"
#include "competition/records/definition_recs.h"
#include "competition/records/entrant_rec.h"
#include "competition/records/iof_id_rec.h"
#include "competition/records/route_recs.h"
#include "competition/open_failure.h"
#include "competition/registers/entrants.h"
#include "competition/registers/register_change.h"
#include "printing/config/configuration.h"
#include "storage/disk_file.h"
#include "storage/file_names.h"

namespace olbrax {

FileBlock* ClubFile = nullptr;
FileBlock* DistrFile = nullptr;
FileBlock* RouteFile = nullptr;
FileBlock* KlassFile = nullptr;
FileBlock* EntrantFile = nullptr;
FileBlock* TrackFile = nullptr;
FileBlock* KontrFile = nullptr;

namespace {

struct FileKind {
  const char* name;
  int rec_len;
  int keys;
  KeyDescs desc;
};

FileKind g_club, g_distr, g_route, g_route24, g_klass, g_entrant, g_track, g_kontr, g_archive, g_iofid;

FileKind Kind(const char* name, int rec_len, std::initializer_list<KeyDesc> keys) {
  FileKind k{name, rec_len, static_cast<int>(keys.size()), {}};
  int i = 0;
  for (KeyDesc d : keys) k.desc[static_cast<std::size_t>(i++)] = d;
  return k;
}

Text Nn(int n) { return ZeroStr(n, 2); }

bool Create(const FileKind& k, int competition = 0) {
  CreateFileBlock(DataFileName(k.name, competition), k.rec_len, k.keys, k.desc);
  return IsamOK;
}

// The file whose opening failed last, for the message that says why.
Text g_failed_open;

// Opens a file of the data directory that holds records of `rec_len` bytes. A file of another
// record length (a damaged header, or another program's file) is refused: every read of it
// would overrun the record buffer.
bool OpenOf(FileBlock*& fb, const Text& name, int rec_len) {
  OpenFileBlock(fb, name);
  if (IsamOK && isam::RecordLength(fb) != rec_len) {
    CloseFileBlock(fb);
    isam::Fail(isam::kBadDataHeader);
  }
  if (!IsamOK) g_failed_open = name;
  return IsamOK;
}

bool Open(FileBlock*& fb, const FileKind& k, int competition = 0) {
  if (fb) CloseFileBlock(fb);
  return OpenOf(fb, DataFileName(k.name, competition), k.rec_len);
}

void Close(FileBlock*& fb) {
  if (fb) CloseFileBlock(fb);
  fb = nullptr;
}

void RefreshArchiveCounts(FileBlock* archive) {
  ArchiveLength = FileLen(archive);
  ArchiveCount = UsedRecs(archive);
}

// The statistics block's file name.
Text ClubsFileName() { return DataFileName("CLUBS", CurrentCompetition) + ".Dat"; }

// The I/O result number of a failed platform call on the statistics block (the numbers its
// messages are written in).
int IoResult(int win_error, bool write) {
  switch (win_error) {
    case disk::kErrFileNotFound: return 2;
    case disk::kErrPathNotFound: return 3;
    case disk::kErrAccessDenied: return 5;
    default: return write ? 101 : 100;
  }
}

struct CmpClubIo {
  int io = 0;         // I/O result, 0 on success
  int win_error = 0;  // what the platform said
};

// Reads or writes block 0 of the statistics file `name` through the file layer.
CmpClubIo TransferCmpClubRec(bool write, const Text& name) {
  disk::File f;
  int e = disk::Open(name, write, f);
  if (e == disk::kErrFileNotFound && write) e = disk::Create(name, f);
  if (e != disk::kErrNone) return {IoResult(e, write), e};
  std::size_t moved = 0;
  if (write) {
    TCmpClubRec stored = CmpClubRec;
    ToStorage(stored);
    e = disk::Write(f, 0, &stored, sizeof stored, moved);
    if (e == disk::kErrNone && moved != sizeof stored) e = disk::kErrDiskFull;  // a short write: no room
    if (e == disk::kErrNone) e = disk::Flush(f);
  } else {
    TCmpClubRec read{};
    e = disk::Read(f, 0, &read, sizeof read, moved);
    if (e == disk::kErrNone && moved != sizeof read) return {100, 0};  // the block is cut short
    if (e == disk::kErrNone) {
      CmpClubRec = read;
      FromStorage(CmpClubRec);
    }
  }
  int closed = disk::Close(f);
  if (e == disk::kErrNone) e = closed;
  return e == disk::kErrNone ? CmpClubIo{} : CmpClubIo{IoResult(e, write), e};
}

Text CmpClubFailureText(bool write, const CmpClubIo& r, const Text& name) {
  return Text(write ? "Fel vid skrivning av " : "Fel vid l\xE4sning av ") + "\"" + name + "\" " + MsgText(r.io) +
         PlatformDetail(r.win_error);
}

void CmpClubFailure(bool write, const CmpClubIo& r) { ReportStorageFailure(CmpClubFailureText(write, r, ClubsFileName())); }

// The marker that the current competition's statistics block may be behind its entrants.
Text StaleMarkerName() { return DataFileName("CLUBS", CurrentCompetition) + Text(kStaleMarkerExt); }

// Counts the club statistics of the open competition again from its entrants and classes (the
// same count the check makes); false when reading them failed (the status tells).
bool RecountClubStatistics() {
  std::map<std::int32_t, TKlassRec> classes;
  for (std::int32_t r = 1; r < FileLen(KlassFile); ++r) {
    TKlassRec k{};
    GetRec(KlassFile, r, &k);
    if (!IsamOK) return false;
    if (k.DataStatus != 0) continue;
    FromStorage(k);
    classes.emplace(r, k);
  }
  ClubRecount clubs;
  for (std::int32_t r = 1; r < FileLen(EntrantFile); ++r) {
    TEntrantRec e{};
    GetRec(EntrantFile, r, &e);
    if (!IsamOK) return false;
    if (e.DataStatus != 0) continue;
    FromStorage(e);
    auto k = classes.find(e.ClassRef);
    if (k == classes.end()) {
      clubs.Add(e, nullptr, false);
      continue;
    }
    int first, last;
    clubs.Add(e, &k->second, CountedStages(e, k->second, InfoRec.dirklassfilter.get(), first, last));
  }
  clubs.ApplyToCmpClubRec();
  return true;
}

// A competition opened with the stale marker gets its club statistics counted again, written,
// and the marker removed. When reading or writing fails (shown to the user) the marker stays, so
// that the next open tries again; the competition opens all the same.
void SettleStaleClubStatistics() {
  if (!disk::Exists(StaleMarkerName())) return;
  if (!RecountClubStatistics()) {
    ReportStorageFailure("Klubbstatistiken kunde inte r\xE4knas om: " + StorageFailureText());
    isam::ResetStatus();
    return;
  }
  if (WriteCmpClubRec()) ClearClubStatisticsStale();
}

// The storage failure of the last engine call on the file `name`, shown to the user.
void ReportFileFailure(std::string_view prefix, const Text& name) {
  ReportStorageFailure(Text(prefix) + StorageFailureText() + " " + name);
}

// Keeps the engine status of a failure across the calls that close up after it.
class KeptStatus {
 public:
  KeptStatus() : ok_(IsamOK), error_(IsamError), dos_(IsamDosError) {}
  void Restore() const {
    if (ok_) return;
    isam::Fail(error_);
    IsamDosError = dos_;
  }

 private:
  bool ok_;
  int error_, dos_;
};

// Deletes the five files of competition n; `summary` collects the names deleted, and a file that
// exists but cannot be deleted is told on the message line at once.
void RemoveCompetitionFiles(std::int32_t n, Text* summary) {
  for (const char* name : {"KLASS", "CLUBS", "OL", "TRACK", "KONTR"}) {
    Text file = Text(name) + Nn(n);
    DeleteFileBlock(DataFileName(name, n));
    if (!summary) continue;
    if (IsamOK) *summary += "\"" + file + "\" ";
    else ShowText(1, "Filerna \"" + file + "\" kunde inta raderas!");
  }
  // A stale marker left by a crash goes with the statistics block.
  if (Text marker = DataFileName("CLUBS", n) + Text(kStaleMarkerExt); disk::Exists(marker)) disk::Delete(marker);
  // The ids of the IOF XML exchange go with the competition; a competition made before they were
  // kept has none, which is no failure.
  Text ids = DataFileName(kIofIdFile, n);
  if (!disk::Exists(isam::SplitBlockName(ids).data)) return;
  DeleteFileBlock(ids);
  if (!IsamOK && summary) ShowText(1, "Filerna \"" + Text(kIofIdFile) + Nn(n) + "\" kunde inta raderas!");
}

}  // namespace

void InitCompetitionKeys() {
  g_archive = Kind("OLBRAX", kInfoRecLen, {});
  g_club = Kind("CLUBAR", kClubRecLen, {{30, 1}});
  g_distr = Kind("DISTR", kDistrRecLen, {{3, 1}});
  g_route = Kind("RUTBESKR", kRouteRecLen, {{11, 0}});
  g_route24 = Kind("RUTB24", kRoute24RecLen, {{11, 0}});
  g_klass = Kind("KLASS", kKlassRecLen, {{15, 0}, {9, 0}});
  g_entrant = Kind("OL", kEntrantRecLen, {{5, 1}});
  g_track = Kind("TRACK", kTrackRecLen, {{13, 0}});
  g_kontr = Kind("KONTR", kKontrRecLen, {{4, 0}});
  g_iofid = Kind(kIofIdFile, kIofIdRecLen, {{kIofIdKeyLen, 1}, {kIofIdKeyLen, 1}});
}

void CreateRegisterFile(std::string_view kind, std::string_view path) {
  if (!g_archive.name) InitCompetitionKeys();
  for (const FileKind* k :
       {&g_archive, &g_club, &g_distr, &g_route, &g_route24, &g_klass, &g_entrant, &g_track, &g_kontr, &g_iofid}) {
    if (kind == k->name) return CreateFileBlock(path, k->rec_len, k->keys, k->desc);
  }
  isam::ResetStatus();
  isam::Fail(isam::kGeneral);
}

int ReadCmpClubRecFrom(std::string_view path) { return TransferCmpClubRec(false, Text(path)).io; }

Text DataFileName(std::string_view name, int competition) {
  Text out = GeneralSettings.DataDirectory.get() + "/" + Text(name);
  if (competition > 0) out += Nn(competition);
  return out;
}

// --- The archive and the shared registers ----------------------------------------------------

void OpenArchive() {
  if (!g_archive.name) InitCompetitionKeys();
  FileBlock* archive = nullptr;
  // A rebuild that a crash interrupted is finished first: the files are all old or all new.
  // While that cannot be done (a notice said why), the data stay closed.
  bool usable = FinishInterruptedRebuild();
  if (!usable) {
    g_failed_open = DataFileName(kRebuildStaging);
    isam::Fail(isam::kGeneral);
  }
  if (usable && OpenOf(archive, DataFileName(g_archive.name), g_archive.rec_len)) {
    RefreshArchiveCounts(archive);
    CloseFileBlock(archive);
    OpenRouteFile();
    if (IsamOK) Open(ClubFile, g_club);
    if (IsamOK) Open(DistrFile, g_distr);
  } else {
    ArchiveLength = 0;
    ArchiveCount = 0;
  }
  ArchiveOpen = IsamOK;
  // A missing file says so; a file in use, a refused repair or a read-only folder says that.
  Text shown = ArchiveOpen ? Text("Filerna \xF6ppna....") : OpenFailureText(g_failed_open);
  if (!ArchiveOpen) {
    // Whatever did open is closed again: a half-open archive is no archive.
    CloseRouteFile();
    Close(ClubFile);
    Close(DistrFile);
  }
  ShowText(1, shown);
  ArchiveChanged = 1;
  ClubState.changed = 1;
  ClearCompetitionRec();
  ClearClub();
}

void CloseArchive() {
  CloseRouteFile();
  Close(ClubFile);
  Close(DistrFile);
  ArchiveOpen = false;
  ShowText(1, "Filerna st\xE4ngda..");
}

void OpenRouteFile() {
  bool long_form = GeneralSettings.RouteFormat == 1;
  Open(RouteFile, long_form ? g_route24 : g_route);
  RouteState.changed = 1;
  Route24State.changed = 1;
  RouteFormatInUse = GeneralSettings.RouteFormat;
  ClearRoute();
  ClearRoute24();
}

void CloseRouteFile() { Close(RouteFile); }

void SwitchRouteFile() {
  if (GeneralSettings.RouteFormat == RouteFormatInUse) return;
  CloseRouteFile();
  OpenRouteFile();
  ArchiveOpen = IsamOK;
}

bool CreateArchiveFiles() {
  if (ArchiveCount != 0 && AskBeforeDestroying(MsgText(504)) != platform::kYes) return false;
  CloseCompetition();
  CloseDefinitions();
  CloseArchive();
  if (ArchiveOpen) return false;
  // Nothing is emptied before every file that would be made anew can be taken: a file that
  // another copy of the program holds is refused here, while the archive still lists its
  // competitions.
  for (const FileKind* k : {&g_archive, &g_club, &g_distr, &g_route, &g_route24}) {
    FileBlock* fb = nullptr;
    OpenFileBlock(fb, DataFileName(k->name));
    if (IsamOK) {
      CloseFileBlock(fb);
      continue;
    }
    if (IsamDosError == disk::kErrSharingViolation || IsamDosError == disk::kErrAccessDenied) {
      ReportFileFailure("", DataFileName(k->name));
      OpenArchive();
      return false;
    }
  }
  if (!Create(g_archive)) {
    ReportFileFailure("", DataFileName(g_archive.name));
    return false;
  }
  for (const FileKind* k : {&g_club, &g_distr, &g_route, &g_route24}) {
    FileBlock* fb = nullptr;
    OpenFileBlock(fb, DataFileName(k->name));
    if (IsamOK) {
      CloseFileBlock(fb);  // an existing register is kept as it is
    } else if (!Create(*k)) {
      ReportFileFailure("", DataFileName(k->name));
      return false;
    }
  }
  OpenArchive();
  return ArchiveOpen;
}

// --- The competition's sets --------------------------------------------------------------------

void SelectCompetition(bool create_if_zero, std::int32_t n) {
  if (!ArchiveOpen) {
    GeneralSettings.CurrentCompetition = 0;
    return;
  }
  if (n == 0 && ArchiveLength > kMaxCompetitions) {
    ShowText(1, MsgText(526));
    return;
  }
  if (CompetitionOpen) CloseCompetition();
  ResetCmpClubRec();
  if (n >= 1) {
    bool at_end, found;
    ReadCompetitionRec(5, "", n, at_end, found);
    CurrentCompetition = n;
    OpenCompetition();
  } else if (create_if_zero) {
    ClearCompetitionRec();
    ResetCmpClubRec();
  }
}

void OpenCompetition() {
  if (!ArchiveOpen || CurrentCompetition == 0) return;
  if (DefinitionsOpen) CloseDefinitions();  // never both sets at once
  g_failed_open.clear();
  Open(KlassFile, g_klass, CurrentCompetition);
  if (IsamOK) ReadCmpClubRec();
  if (IsamOK) Open(EntrantFile, g_entrant, CurrentCompetition);
  if (IsamOK) Open(TrackFile, g_track, CurrentCompetition);
  CompetitionOpen = IsamOK;
  if (CompetitionOpen) {
    GeneralSettings.CurrentCompetition = CurrentCompetition;
    SettleStaleClubStatistics();
  } else {
    // The statistics block reports its own failure in a box; a file block's goes to the line.
    if (!g_failed_open.empty()) ShowText(1, OpenFailureText(g_failed_open));
    KeptStatus failure;  // what went wrong stays for the caller to tell
    Close(KlassFile);
    Close(EntrantFile);
    Close(TrackFile);
    failure.Restore();
  }
  EntrantState.changed = ClassState.changed = CourseState.changed = 1;
  ClearEntrant();
  ClearClassRec();
  ClearCourse();
}

void CloseCompetition() {
  if (!CompetitionOpen) return;
  WriteCompetitionRec(CurrentCompetition);
  Close(KlassFile);
  Close(EntrantFile);
  Close(TrackFile);
  WriteCmpClubRec();
  CompetitionOpen = false;
}

void OpenDefinitions() {
  if (!ArchiveOpen || CurrentCompetition == 0) return;
  if (CompetitionOpen) CloseCompetition();  // never both sets at once
  isam::ResetStatus();
  g_failed_open.clear();
  ReadCmpClubRec();
  if (IsamOK) Open(KlassFile, g_klass, CurrentCompetition);
  if (IsamOK) Open(KontrFile, g_kontr, CurrentCompetition);
  if (IsamOK) Open(TrackFile, g_track, CurrentCompetition);
  DefinitionsOpen = IsamOK;
  if (!DefinitionsOpen) {
    if (!g_failed_open.empty()) ShowText(1, OpenFailureText(g_failed_open));
    KeptStatus failure;
    Close(KlassFile);
    Close(KontrFile);
    Close(TrackFile);
    failure.Restore();
  }
  ClassState.changed = ControlState.changed = CourseState.changed = 1;
  ClearClassRec();
  ClearControl();
  ClearCourse();
}

void CloseDefinitions() {
  if (!DefinitionsOpen) return;
  Close(KlassFile);
  Close(KontrFile);
  Close(TrackFile);
  WriteCmpClubRec();
  DefinitionsOpen = false;
}

bool CreateCompetitionFiles() {
  if (!ArchiveOpen || CurrentCompetition == 0) return false;
  constexpr std::string_view kWhy = "T\xE4vlingen kunde inte skapas: ";
  if (!Create(g_klass, CurrentCompetition)) {
    ReportFileFailure(kWhy, DataFileName(g_klass.name, CurrentCompetition));
    return false;
  }
  if (CmpClubIo r = TransferCmpClubRec(true, ClubsFileName()); r.io != 0) {
    CmpClubFailure(true, r);
    return false;
  }
  for (const FileKind* k : {&g_entrant, &g_track, &g_kontr, &g_iofid}) {
    if (!Create(*k, CurrentCompetition)) {
      ReportFileFailure(kWhy, DataFileName(k->name, CurrentCompetition));
      return false;
    }
  }
  OpenCompetition();
  if (!CompetitionOpen) {
    ReportStorageFailure(Text(kWhy) + StorageFailureText());
    return false;
  }
  return true;
}

bool CreateCompetition() {
  std::int32_t n = 0;
  if (!PutCompetitionRec(true, n)) return false;
  if (CreateCompetitionFiles()) return true;
  // All or nothing: the files made so far and the archive entry go again.
  KeptStatus failure;
  CloseCompetition();
  RemoveCompetitionFiles(n, nullptr);
  FileBlock* archive = nullptr;
  OpenFileBlock(archive, DataFileName(g_archive.name));
  if (IsamOK) {
    DeleteRec(archive, n);
    if (!IsamOK) ReportFileFailure("", DataFileName(g_archive.name));
    RefreshArchiveCounts(archive);
    CloseFileBlock(archive);
  }
  ArchiveChanged = 1;
  CurrentCompetition = 0;
  ClearCompetitionRec();
  failure.Restore();
  return false;
}

// --- The statistics block ------------------------------------------------------------------------

void ResetCmpClubRec() {
  std::memset(&CmpClubRec, 0, sizeof CmpClubRec);
  CmpClubRec.Payee.set(InfoRec.Arr.get().substr(0, 32));
  ClearEntrant();
}

bool ReadCmpClubRec() {
  CmpClubIo r = TransferCmpClubRec(false, ClubsFileName());
  if (r.io == 0) return true;
  CmpClubFailure(false, r);
  isam::Fail(isam::kGeneral);
  return false;
}

bool WriteCmpClubRec() {
  CmpClubIo r = TransferCmpClubRec(true, ClubsFileName());
  if (r.io == 0) return true;
  CmpClubFailure(true, r);
  return false;
}

bool MarkClubStatisticsStale(Text& failure) {
  const Text name = StaleMarkerName();
  if (disk::Exists(name)) return true;
  disk::File f;
  int e = disk::Create(name, f);
  if (e == disk::kErrNone) {
    e = disk::Flush(f);
    int closed = disk::Close(f);
    if (e == disk::kErrNone) e = closed;
  }
  // The marker's directory entry must be on disk before the commit it stands for.
  if (e == disk::kErrNone) e = disk::FlushFolder(GeneralSettings.DataDirectory.get());
  if (e == disk::kErrNone) return true;
  failure = CmpClubFailureText(true, {IoResult(e, true), e}, name);
  return false;
}

void ClearClubStatisticsStale() {
  // A marker that cannot be removed only costs a recount at the next open.
  disk::Delete(StaleMarkerName());
}

// --- Archive entries -----------------------------------------------------------------------------

void ReadCompetitionRec(int mode, std::string_view key, std::int32_t& n, bool& at_end, bool& found) {
  FileBlock* archive = nullptr;
  OpenFileBlock(archive, DataFileName(g_archive.name));
  at_end = false;
  found = false;
  if (!IsamOK) {
    n = 0;
    return;
  }
  std::int32_t last = FileLen(archive) - 1;
  if (mode == 0 || mode == 3) n = ParseNumberField(key.substr(0, std::min<std::size_t>(key.size(), 2)), 0);
  else if (mode == 2) n = CurrentCompetition + 1;
  else if (mode == 4) n = 0;
  at_end = n > last;
  found = n != 0 && !at_end;
  at_end = !found;
  if (found) {
    GetRec(archive, n, &InfoRec);
    FromStorage(InfoRec);
    found = IsamOK && InfoRec.DataStatus == 0;
    if (found) CurrentCompetition = n;
  }
  RefreshArchiveCounts(archive);
  CloseFileBlock(archive);
  if (UpStr(InfoRec.Typ.get()).find("MOTION") != Text::npos) MotionCompetition = true;
  if (!found) n = 0;
}

namespace {

// The archive as the change in progress holds it: a block in a transaction stays open until the
// transaction ends, and a second handle of the same file would be refused as held by another copy.
FileBlock* g_archive_in_change = nullptr;

// Opens the archive for a change; false (shown to the user) when it cannot be opened.
bool OpenArchiveForChange(FileBlock*& archive) {
  if (g_archive_in_change) {
    archive = g_archive_in_change;
    return true;
  }
  archive = nullptr;
  OpenFileBlock(archive, DataFileName(g_archive.name));
  if (!IsamOK) {
    ReportFileFailure("", DataFileName(g_archive.name));
    return false;
  }
  return true;
}

// Closes it again, or keeps it open until the changes in progress have ended.
void CloseArchiveAfterChange(FileBlock* archive) {
  KeptStatus status;
  RefreshArchiveCounts(archive);
  if (!ChangeOpen()) {
    CloseFileBlock(archive);
  } else if (g_archive_in_change == nullptr) {
    g_archive_in_change = archive;
    WhenChangesEnd([] {
      RefreshArchiveCounts(g_archive_in_change);
      CloseFileBlock(g_archive_in_change);
      g_archive_in_change = nullptr;
    });
  }
  status.Restore();
}

}  // namespace

bool PutCompetitionRec(bool adding, std::int32_t& n) {
  FileBlock* archive = nullptr;
  if (!OpenArchiveForChange(archive)) return false;
  TInfoRec stored = InfoRec;
  ToStorage(stored);
  RegisterChange change;
  if (adding) {
    stored.DataStatus = 0;
    if (change.AddRecord(archive, n, &stored)) stored.Lnr.set(Nn(n));
  }
  change.WriteRecord(archive, n, stored);
  bool ok = change.Finish();
  CloseArchiveAfterChange(archive);
  if (!ok) return false;
  if (adding) {
    InfoRec.DataStatus = 0;
    InfoRec.Lnr.set(Nn(n));
    ArchiveChanged = 1;
  }
  CurrentCompetition = n;
  return true;
}

bool WriteCompetitionRec(std::int32_t n) {
  if (n < 1) return true;
  return PutCompetitionRec(false, n);
}

bool DeleteCompetition(std::int32_t n) {
  if (CompetitionOpen || !ArchiveOpen) return false;
  if (n <= 0 || n >= ArchiveLength) {
    ShowText(1, "T\xE4vling " + Nn(n) + " finns inte (vakant)");
    return false;
  }
  FileBlock* archive = nullptr;
  OpenFileBlock(archive, DataFileName(g_archive.name));
  if (!IsamOK) {
    ReportFileFailure("", DataFileName(g_archive.name));
    return false;
  }
  TInfoRec entry{};
  GetRec(archive, n, &entry);
  bool read = IsamOK;
  CloseFileBlock(archive);
  if (!read) {
    ReportFileFailure("", DataFileName(g_archive.name));
    return false;
  }
  // A deleted entry's first bytes are the archive's free chain: deleting it again would close the
  // chain into a cycle.
  if (entry.DataStatus != 0) {
    ShowText(1, "T\xE4vling " + Nn(n) + " \xE4r redan raderad");
    return false;
  }
  CurrentCompetition = n;
  InfoRec = entry;
  if (AskBeforeDestroying("OlDataBas: " + InfoRec.Tvl.get() + " raderas ") != platform::kYes) return false;
  Text summary;
  RemoveCompetitionFiles(n, &summary);
  OpenFileBlock(archive, DataFileName(g_archive.name));
  bool deleted = false;
  if (IsamOK) {
    RegisterChange change;
    change.RemoveRecord(archive, n);
    deleted = change.Finish();
    RefreshArchiveCounts(archive);
    CloseFileBlock(archive);
  } else {
    ReportFileFailure("", DataFileName(g_archive.name));
  }
  CurrentCompetition = 0;
  ArchiveChanged = 1;
  if (deleted) ShowText(1, summary);
  return deleted;
}

// --- Menus ---------------------------------------------------------------------------------------

std::array<ArchiveMenuItem, kMaxCompetitions> ShowArchiveMenus() {
  std::array<ArchiveMenuItem, kMaxCompetitions> items;
  for (auto& item : items) item.caption = "vakant";
  std::int32_t c = CurrentCompetition;
  if (!ArchiveOpen) return items;
  FileBlock* archive = nullptr;
  OpenFileBlock(archive, DataFileName(g_archive.name));
  if (!IsamOK) return items;
  RefreshArchiveCounts(archive);
  if (c != 0) {
    TInfoRec copy = InfoRec;
    ToStorage(copy);
    RegisterChange change;
    change.WriteRecord(archive, c, copy);
    change.Finish();
  }
  for (int i = 1; i <= kMaxCompetitions; ++i) {
    ArchiveMenuItem& item = items[static_cast<std::size_t>(i - 1)];
    item.checked = i == c;
    if (i > ArchiveLength - 1) continue;
    TInfoRec entry;
    GetRec(archive, i, &entry);
    if (!IsamOK || entry.DataStatus != 0) {
      item.caption = "raderad";
      continue;
    }
    FromStorage(entry);
    item.caption = entry.Tvl.get();
    item.enabled = true;
  }
  if (c != 0) {
    GetRec(archive, c, &InfoRec);
    FromStorage(InfoRec);
    if (!IsamOK || InfoRec.DataStatus != 0) c = 0;
  }
  CloseFileBlock(archive);
  CurrentCompetition = c;
  return items;
}

bool BeginInputInfo(bool adding) {
  if (!ArchiveOpen) {
    CurrentCompetition = 0;
    return false;
  }
  if (adding && ArchiveCount >= kMaxCompetitions) {
    MsgLine = "Max antal t\xE4vlingar uppn\xE5tt!";
    BeepSignal();
    return false;
  }
  if (adding && ArchiveCount > kMaxCompetitions - 1) {
    ShowText(1, "Max antal t\xE4vlingar uppn\xE5tt kan ej addera flera!");
    return false;
  }
  if (adding) {
    // The competition that was open is written back and closed before its buffers are cleared
    // for the new one; otherwise its files would stay open and its statistics unsaved.
    CloseCompetition();
    CloseDefinitions();
    ClearCompetitionRec();
    // The previous competition's payment details and counts are not the new one's.
    ResetCmpClubRec();
  }
  return true;
}

bool AcceptInputInfo(bool adding) {
  // A new competition's payee is its organiser unless one was given.
  if (adding && CmpClubRec.Payee.empty()) CmpClubRec.Payee.set(InfoRec.Arr.get().substr(0, 32));
  if (adding) return CreateCompetition();
  std::int32_t n = CurrentCompetition;
  if (!PutCompetitionRec(false, n)) return false;
  if (!CompetitionOpen) OpenCompetition();
  return CompetitionOpen;
}

void ReopenConfiguredCompetition() {
  std::int32_t n = GeneralSettings.CurrentCompetition;
  if (ArchiveOpen && n > 0 && n <= ArchiveLength) SelectCompetition(true, n);
  else GeneralSettings.CurrentCompetition = 0;
}

void SelectFromMenu(std::int32_t n) {
  CloseCompetition();
  CloseDefinitions();
  GeneralSettings.CurrentCompetition = n;
  ReopenConfiguredCompetition();
}

bool DeleteFromMenu(std::int32_t n) {
  if (n > ArchiveLength - 1) {
    ShowText(1, "T\xE4vling " + Nn(n) + " finns inte (vakant)");
    return false;
  }
  std::int32_t p = CurrentCompetition;
  CloseCompetition();
  CloseDefinitions();
  bool deleted = DeleteCompetition(n);
  if (p != 0 && p != n) {
    CurrentCompetition = p;
    bool at_end, found;
    ReadCompetitionRec(5, "", p, at_end, found);
    OpenCompetition();
  } else {
    CurrentCompetition = 0;
  }
  GeneralSettings.CurrentCompetition = CurrentCompetition;
  return deleted;
}

void CloseAllCompetitionFiles() {
  CloseCompetition();
  CloseDefinitions();
  if (ArchiveOpen) CloseArchive();
  for (FileBlock** fb : {&ClubFile, &DistrFile, &RouteFile, &KlassFile, &EntrantFile, &TrackFile, &KontrFile})
    Close(*fb);
}

}  // namespace olbrax

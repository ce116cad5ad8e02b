#include "competition/archive.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "base/messages.h"
#include "competition/maintenance/index_rebuild.h"
#include "competition/records/class_rec.h"
#include "competition/records/club_recs.h"
#include "competition/records/cmp_club_rec.h"
#include "competition/records/competition_rec.h"
#include "competition/records/definition_recs.h"
#include "competition/records/entrant_rec.h"
#include "competition/records/route_recs.h"
#include "competition/open_failure.h"
#include "printing/config/configuration.h"
#include "storage/disk_file.h"

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

FileKind g_club, g_distr, g_route, g_route24, g_klass, g_entrant, g_track, g_kontr, g_archive;

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

int IoResult(int err) {
  switch (err) {
    case ENOENT: return 2;
    case ENOTDIR: return 3;
    case EACCES: case EPERM: return 5;
    case ENOSPC: return 101;
    default: return 100;
  }
}

// Reads or writes block 0 of the statistics file `name`; the I/O result number, 0 on success.
int TransferCmpClubRec(bool write, const Text& name) {
  std::string path = disk::Resolve(name);
  std::FILE* f = std::fopen(path.c_str(), write ? "r+b" : "rb");
  if (!f && write) f = std::fopen(path.c_str(), "w+b");
  if (!f) return IoResult(errno);
  bool ok;
  if (write) {
    ToStorage(CmpClubRec);
    ok = std::fwrite(&CmpClubRec, 1, sizeof CmpClubRec, f) == sizeof CmpClubRec && std::fflush(f) == 0 &&
         (!disk::FlushEnabled() || ::fdatasync(fileno(f)) == 0);
    FromStorage(CmpClubRec);
  } else {
    ok = std::fread(&CmpClubRec, 1, sizeof CmpClubRec, f) == sizeof CmpClubRec;
    FromStorage(CmpClubRec);
  }
  int err = ok ? 0 : (write ? IoResult(errno) : 100);  // 100: read past the end of the file
  std::fclose(f);
  return err;
}

void CmpClubFailure(bool write, int io) {
  Text text = Text(write ? "Fel vid skrivning av " : "Fel vid l\xE4sning av ") + "\"" + ClubsFileName() + "\" " + MsgText(io);
  ShowText(201, text);
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
}

void CreateRegisterFile(std::string_view kind, std::string_view path) {
  if (!g_archive.name) InitCompetitionKeys();
  for (const FileKind* k : {&g_archive, &g_club, &g_distr, &g_route, &g_route24, &g_klass, &g_entrant, &g_track, &g_kontr}) {
    if (kind == k->name) return CreateFileBlock(path, k->rec_len, k->keys, k->desc);
  }
  isam::ResetStatus();
  isam::Fail(isam::kGeneral);
}

int ReadCmpClubRecFrom(std::string_view path) { return TransferCmpClubRec(false, Text(path)); }

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

void CreateArchiveFiles() {
  if (ArchiveCount != 0 && AskBeforeDestroying(MsgText(504)) != platform::kYes) return;
  CloseCompetition();
  CloseDefinitions();
  CloseArchive();
  if (ArchiveOpen) return;
  if (!Create(g_archive)) {
    ShowText(201, MsgText(IsamError) + " " + DataFileName(g_archive.name));
    return;
  }
  for (const FileKind* k : {&g_club, &g_distr, &g_route, &g_route24}) {
    FileBlock* fb = nullptr;
    OpenFileBlock(fb, DataFileName(k->name));
    if (IsamOK) CloseFileBlock(fb);  // an existing register is kept as it is
    else Create(*k);
  }
  OpenArchive();
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
  } else {
    // The statistics block reports its own failure in a box; a file block's goes to the line.
    if (!g_failed_open.empty()) ShowText(1, OpenFailureText(g_failed_open));
    Close(KlassFile);
    Close(EntrantFile);
    Close(TrackFile);
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
    Close(KlassFile);
    Close(KontrFile);
    Close(TrackFile);
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

void CreateCompetitionFiles() {
  if (!ArchiveOpen || CurrentCompetition == 0) return;
  if (!Create(g_klass, CurrentCompetition)) return;
  if (int io = TransferCmpClubRec(true, ClubsFileName()); io != 0) {
    CmpClubFailure(true, io);
    return;
  }
  if (!Create(g_entrant, CurrentCompetition) || !Create(g_track, CurrentCompetition) ||
      !Create(g_kontr, CurrentCompetition))
    return;
  OpenCompetition();
}

// --- The statistics block ------------------------------------------------------------------------

void ResetCmpClubRec() {
  std::memset(&CmpClubRec, 0, sizeof CmpClubRec);
  CmpClubRec.Payee.set(InfoRec.Arr.get().substr(0, 32));
  ClearEntrant();
}

void ReadCmpClubRec() {
  if (int io = TransferCmpClubRec(false, ClubsFileName()); io != 0) {
    isam::Fail(isam::kGeneral);
    CmpClubFailure(false, io);
  }
}

void WriteCmpClubRec() {
  if (int io = TransferCmpClubRec(true, ClubsFileName()); io != 0) CmpClubFailure(true, io);
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

void PutCompetitionRec(bool adding, std::int32_t& n) {
  FileBlock* archive = nullptr;
  OpenFileBlock(archive, DataFileName(g_archive.name));
  if (!IsamOK) return;
  ToStorage(InfoRec);
  if (adding) {
    InfoRec.DataStatus = 0;
    AddRec(archive, n, &InfoRec);
    InfoRec.Lnr.set(Nn(n));
    ArchiveChanged = 1;
  }
  if (IsamOK) PutRec(archive, n, &InfoRec);
  FromStorage(InfoRec);
  RefreshArchiveCounts(archive);
  CloseFileBlock(archive);
  CurrentCompetition = n;
}

void WriteCompetitionRec(std::int32_t n) {
  if (n < 1) return;
  PutCompetitionRec(false, n);
}

void DeleteCompetition(std::int32_t n) {
  if (CompetitionOpen || !ArchiveOpen || n <= 0 || n >= ArchiveLength) return;
  CurrentCompetition = n;
  FileBlock* archive = nullptr;
  OpenFileBlock(archive, DataFileName(g_archive.name));
  if (!IsamOK) return;
  GetRec(archive, n, &InfoRec);
  CloseFileBlock(archive);
  if (InfoRec.DataStatus == 0 && AskBeforeDestroying("OlDataBas: " + InfoRec.Tvl.get() + " raderas ") != platform::kYes)
    return;
  Text summary;
  for (const char* name : {"KLASS", "CLUBS", "OL", "TRACK", "KONTR"}) {
    Text file = Text(name) + Nn(n);
    DeleteFileBlock(DataFileName(name, n));
    if (IsamOK) summary += "\"" + file + "\" ";
    else ShowText(1, "Filerna \"" + file + "\" kunde inta raderas!");
  }
  OpenFileBlock(archive, DataFileName(g_archive.name));
  if (IsamOK) {
    DeleteRec(archive, n);
    RefreshArchiveCounts(archive);
    CloseFileBlock(archive);
  }
  CurrentCompetition = 0;
  ArchiveChanged = 1;
  ShowText(1, summary);
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
    PutRec(archive, c, &copy);
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

void AcceptInputInfo(bool adding) {
  // A new competition's payee is its organiser unless one was given.
  if (adding && CmpClubRec.Payee.empty()) CmpClubRec.Payee.set(InfoRec.Arr.get().substr(0, 32));
  std::int32_t n = adding ? 0 : CurrentCompetition;
  PutCompetitionRec(adding, n);
  if (!IsamOK) return;
  if (adding) CreateCompetitionFiles();
  else if (!CompetitionOpen) OpenCompetition();
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

void DeleteFromMenu(std::int32_t n) {
  if (n > ArchiveLength - 1) return;
  std::int32_t p = CurrentCompetition;
  CloseCompetition();
  CloseDefinitions();
  DeleteCompetition(n);
  if (p != 0 && p != n) {
    CurrentCompetition = p;
    bool at_end, found;
    ReadCompetitionRec(5, "", p, at_end, found);
    OpenCompetition();
  } else {
    CurrentCompetition = 0;
  }
  GeneralSettings.CurrentCompetition = CurrentCompetition;
}

void CloseAllCompetitionFiles() {
  CloseCompetition();
  CloseDefinitions();
  if (ArchiveOpen) CloseArchive();
  for (FileBlock** fb : {&ClubFile, &DistrFile, &RouteFile, &KlassFile, &EntrantFile, &TrackFile, &KontrFile})
    Close(*fb);
}

}  // namespace olbrax

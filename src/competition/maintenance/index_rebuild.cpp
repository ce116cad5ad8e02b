#include "competition/maintenance/index_rebuild.h"

#include <charconv>
#include <cstring>
#include <map>
#include <vector>

#include "base/counter.h"
#include "base/messages.h"
#include "competition/archive.h"
#include "competition/maintenance/file_copy.h"
#include "competition/records/class_rec.h"
#include "competition/records/club_recs.h"
#include "competition/records/cmp_club_rec.h"
#include "competition/records/competition_rec.h"
#include "competition/records/definition_recs.h"
#include "competition/records/entrant_rec.h"
#include "competition/records/iof_id_keys.h"
#include "competition/records/route_recs.h"
#include "competition/registers/definitions.h"
#include "competition/registers/entrants.h"
#include "competition/registers/shared_registers.h"
#include "printing/config/configuration.h"
#include "storage/disk_file.h"
#include "storage/file_names.h"
#include "storage/file_set_switch.h"

namespace olbrax {

namespace {

// A progress line per this many records: enough to follow, few enough not to slow the rebuild
// down (every line lets window events through) or flood the command-line tool's output.
constexpr std::int32_t kProgressEvery = 100;
constexpr std::size_t kCopyChunk = 65536;

Text Nn(int n) { return ZeroStr(n, 2); }

Text Leaf(const Text& path) { return path.substr(path.find_last_of('/') + 1); }

// The engine's message for the last failure, with the platform's error number when one failed.
Text EngineText() {
  Text t = MsgText(IsamError);
  if (IsamDosError != 0) t += " (systemfel " + IntStr(IsamDosError, 0) + ")";
  return t;
}

// Old record number -> new one; 0 for a record that was not carried over.
using NumberMap = std::vector<std::int32_t>;

std::int32_t Lookup(const NumberMap& map, std::int32_t old) {
  return old > 0 && old < static_cast<std::int32_t>(map.size()) ? map[static_cast<std::size_t>(old)] : 0;
}

void CloseIfOpen(FileBlock*& fb) {
  if (fb) CloseFileBlock(fb);
  fb = nullptr;
}

// Writes CmpClubRec as the statistics file `path` through the file layer.
int WriteStatisticsFile(const Text& path) {
  TCmpClubRec stored = CmpClubRec;
  ToStorage(stored);
  disk::File f;
  std::size_t put = 0;
  if (int e = disk::Create(path, f); e != 0) return e;
  if (int e = disk::Write(f, 0, &stored, sizeof stored, put); e != 0) return e;
  if (put != sizeof stored) return disk::kErrDiskFull;
  if (int e = disk::Flush(f); e != 0) return e;
  return disk::Close(f);
}

// Adds the 40-byte club statistics entry `from` into `to`: three amounts and six counters.
void AddClubEntry(const std::uint8_t* from, std::uint8_t* to) {
  for (int a = 0; a < 3; ++a) WriteReal48(ReadReal48(to + 8 * a) + ReadReal48(from + 8 * a), to + 8 * a);
  for (int k = 0; k < 6; ++k) {
    int at = 22 + 2 * k;
    int sum = static_cast<std::int16_t>(to[at] | to[at + 1] << 8) + static_cast<std::int16_t>(from[at] | from[at + 1] << 8);
    to[at] = static_cast<std::uint8_t>(sum);
    to[at + 1] = static_cast<std::uint8_t>(static_cast<std::uint16_t>(sum) >> 8);
  }
}

bool AllZero(const std::uint8_t* p, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i)
    if (p[i] != 0) return false;
  return true;
}

class Rebuilder {
 public:
  Rebuilder() : dir_(GeneralSettings.DataDirectory.get()), switch_(dir_, kRebuildStaging) {}

  // Builds every new file and switches to them; false with `failure_` (or `cancelled_`) set.
  bool Run(std::int32_t nn);
  const Text& Failure() const { return failure_; }
  bool Cancelled() const { return cancelled_; }
  bool SwitchPending() const { return switch_.Committed(); }
  // The messages of entrants whose club was gone and who got the placeholder club.
  const std::vector<Text>& ClubFaults() const { return club_faults_; }

 private:
  // Notes why the rebuild stops, from the engine status, while the status still holds it.
  bool Failed(const Text& where) {
    failure_ = "Indexbygget avbr\xF6ts vid " + where + ": " + EngineText() + ". Datafilerna \xE4r of\xF6r\xE4ndrade.";
    return false;
  }
  bool FailedWith(const Text& where, const Text& why) {
    failure_ = "Indexbygget avbr\xF6ts vid " + where + ": " + why + ". Datafilerna \xE4r of\xF6r\xE4ndrade.";
    return false;
  }
  bool CopyIntoStaging(const Text& from, const Text& leaf, bool& missing);
  // Opens and closes a block before its files are copied: an interrupted change is repaired
  // from its journal first (a journal left behind would otherwise be replayed over the copy
  // once it has replaced the block), and a block in use by another program is refused.
  bool Settle(const Text& block, const Text& f, bool& missing);

  // Rebuilds the block `kind` (+ competition number) into the staging folder with `target`
  // (a register's file pointer) on the new block, handing every live record of the old block,
  // read into `buffer`, to `readd`. A block whose files are missing is skipped.
  template <class Rec, class Readd, class Name>
  bool Block(const char* kind, int competition, FileBlock*& target, Rec& buffer, Readd readd, Name name);

  bool Shared();
  bool Competition(std::int32_t nn);
  bool OtherCompetitions(std::int32_t nn);
  bool IofIds(std::int32_t nn);
  bool ClubsRenumbered() const;
  std::int32_t NewClub(std::int32_t old, const TEntrantRec& entrant);
  void MoveClubEntries();

  Text dir_;
  isam::FileSetSwitch switch_;
  Text failure_;
  std::vector<Text> club_faults_;
  std::vector<Text> empty_journals_;
  bool cancelled_ = false;
  bool clubs_rebuilt_ = false;
  NumberMap clubs_, classes_;
  // Of each entrant carried over, by its old number: its new number and the Check of its ids
  // before and after (iof_id_keys.h).
  struct Renumbered {
    std::int32_t ref;
    Text old_check, new_check;
  };
  std::map<std::int32_t, Renumbered> entrants_;
  std::int32_t placeholder_ = 0;
};

bool Rebuilder::CopyIntoStaging(const Text& from, const Text& leaf, bool& missing) {
  missing = false;
  int e = CopyWholeFile(from, switch_.Staged(leaf), kCopyChunk);
  if (e == disk::kErrFileNotFound) {
    missing = true;
    return true;
  }
  if (e == 0) {
    switch_.Add(leaf);
    return true;
  }
  isam::ResetStatus();
  isam::NotePlatformError(e, DosFunc::kWrite);
  isam::Fail(isam::StatusForFileIo(e));
  return Failed(leaf);
}

bool Rebuilder::Settle(const Text& block, const Text& f, bool& missing) {
  missing = false;
  FileBlock* fb = nullptr;
  OpenFileBlock(fb, block);
  if (!IsamOK) {
    missing = IsamError == isam::kFileNotFound;
    return missing || Failed(f);
  }
  CloseFileBlock(fb);
  return IsamOK || Failed(f);
}

template <class Rec, class Readd, class Name>
bool Rebuilder::Block(const char* kind, int competition, FileBlock*& target, Rec& buffer, Readd readd, Name name) {
  Text f = Text(kind) + (competition > 0 ? Nn(competition) : Text());
  const isam::BlockNames old_names = isam::SplitBlockName(DataFileName(kind, competition));
  FileBlock* old = nullptr;
  disk::File raw;  // the data file of a block the engine cannot open
  OpenFileBlock(old, DataFileName(kind, competition));
  if (!IsamOK) {
    if (IsamDosError == disk::kErrSharingViolation) return Failed(f);  // in use by another program
    if (IsamError == isam::kFileNotFound) {
      ShowText(1, MsgText(518) + f + MsgText(519));  // nothing to rebuild
      return true;
    }
    // A damaged block (its index or its data header): its records are read one by one from the
    // data file, which is what a rebuild is for.
    Text damage = f + ": " + EngineText();
    if (int e = disk::Open(old_names.data, false, raw); e != 0) {
      isam::ResetStatus();
      isam::NotePlatformError(e, DosFunc::kOpen);
      isam::Fail(isam::StatusForOpen(e));
      return Failed(f);
    }
    ShowText(1, damage);
  }
  struct Closer {
    FileBlock*& a;
    FileBlock*& b;
    ~Closer() {
      CloseIfOpen(a);
      CloseIfOpen(b);
    }
  } closer{old, target};

  Text staged = switch_.Staged(f);
  CreateRegisterFile(kind, staged);
  if (!IsamOK) return Failed(f);
  OpenScratchFileBlock(target, staged);
  if (!IsamOK) return Failed(f);
  static_assert(sizeof(Rec) >= 4);
  const std::int64_t rec_len = sizeof(Rec);
  std::int32_t n = raw.IsOpen() ? static_cast<std::int32_t>(raw.Size() / rec_len) - 1 : FileLen(old) - 1;
  ShowText(1, MsgText(520) + f + " Recs:" + IntStr(n, 4));
  CounterLine(2, dir_ + "/" + f);
  for (std::int32_t i = 1; i <= n; ++i) {
    if (raw.IsOpen()) {
      std::size_t got = 0;
      int e = disk::Read(raw, i * rec_len, &buffer, sizeof buffer, got);
      if (e != 0 || got != sizeof buffer) {
        isam::ResetStatus();
        isam::NotePlatformError(e, DosFunc::kRead);
        isam::Fail(e != 0 ? isam::StatusForFileIo(e) : isam::kShortRead);
        return Failed(f);
      }
    } else {
      GetRec(old, i, &buffer);
      if (!IsamOK) return Failed(f);
    }
    if (buffer.DataStatus != 0) continue;  // a freed record
    if (!readd(i)) return failure_.empty() ? Failed(f) : false;
    if (i % kProgressEvery == 0 || i == n) CounterLine(2, "Rec:" + IntStr(i, 5) + " " + name());
    if (CounterAborted()) {
      cancelled_ = true;
      return false;
    }
  }
  if (old) {
    CloseFileBlock(old);
    if (!IsamOK) return Failed(f);
  }
  CloseFileBlock(target);  // writes what the block holds in memory and flushes it
  if (!IsamOK) return Failed(f);
  isam::BlockNames names = isam::SplitBlockName(staged);
  switch_.Add(Leaf(names.data));
  switch_.Add(Leaf(names.index));
  // The damaged block's journal could not be replayed: an empty one replaces it, so that it is
  // never replayed over the new files. (Written just before the switch: opening the new block
  // without its journal, as the counting of entrants does, would delete it.)
  if (raw.IsOpen()) empty_journals_.push_back(names.journal);
  return true;
}

bool Rebuilder::Shared() {
  clubs_.clear();
  placeholder_ = 0;
  bool ok = Block(
      "CLUBAR", 0, ClubFile, ClubRec,
      [&](std::int32_t i) {
        FromStorage(ClubRec);
        Text up = UpStr(ClubRec.ClubName.get());
        bool placeholder = up.find("\xD6\xD6\xD6") != Text::npos || up.find("___") != Text::npos;
        std::int32_t ref = 0;
        PutClub(true, ref);
        if (!IsamOK) return false;
        if (ref == 0) return FailedWith("CLUBAR", MsgLine);  // the register is full
        if (clubs_.size() <= static_cast<std::size_t>(i)) clubs_.resize(static_cast<std::size_t>(i) + 1, 0);
        clubs_[static_cast<std::size_t>(i)] = ref;
        if (placeholder && placeholder_ == 0) placeholder_ = ref;
        return true;
      },
      [] { return ClubRec.ClubName.get(); });
  if (!ok) return false;
  clubs_rebuilt_ = true;
  ok = Block(
      "DISTR", 0, DistrFile, DistrRec,
      [&](std::int32_t) {
        FromStorage(DistrRec);
        CounterLine(3, DistrRec.Dnr.get() + " " + DistrRec.Dname.get());
        std::int32_t ref = 0;
        PutDistrict(true, ref);
        if (!IsamOK) return false;
        return ref != 0 || FailedWith("DISTR", MsgLine);
      },
      [] { return DistrRec.Dname.get(); });
  if (!ok) return false;
  ok = Block(
      "RUTBESKR", 0, RouteFile, RouteRec,
      [&](std::int32_t) {
        FromStorage(RouteRec);
        std::int32_t ref = 0;
        PutRouteOfFormat(0, true, ref);
        return IsamOK;
      },
      [] { return RouteRec.RouteKey.get(); });
  if (!ok) return false;
  return Block(
      "RUTB24", 0, RouteFile, Route24Rec,
      [&](std::int32_t) {
        FromStorage(Route24Rec);
        std::int32_t ref = 0;
        PutRouteOfFormat(1, true, ref);
        return IsamOK;
      },
      [] { return Route24Rec.RouteKey.get(); });
}

bool Rebuilder::ClubsRenumbered() const {
  if (!clubs_rebuilt_) return false;
  for (std::size_t i = 1; i < clubs_.size(); ++i)
    if (clubs_[i] != static_cast<std::int32_t>(i)) return true;
  return false;
}

// The new number of an entrant's club. An entrant without a club keeps none; one whose club is
// gone gets the placeholder club, and the message line says so.
std::int32_t Rebuilder::NewClub(std::int32_t old, const TEntrantRec& entrant) {
  if (old == 0 || !clubs_rebuilt_) return old;
  std::int32_t ref = Lookup(clubs_, old);
  if (ref != 0) return ref;
  Text message = MsgText(523) + "\"" + entrant.StartNumber.get() + "\" " + entrant.StageName[0].get() + MsgText(524);
  ShowText(1, message);
  club_faults_.push_back(message);
  return placeholder_;
}

// Moves each club's statistics entry of CmpClubRec to the club's new number; the entry of a
// club that is gone joins the placeholder club's (its amounts stay in the totals either way).
void Rebuilder::MoveClubEntries() {
  if (!ClubsRenumbered()) return;
  static std::uint8_t moved[kMaxClubRecords + 1][40];
  std::memset(moved, 0, sizeof moved);
  std::memcpy(moved[0], CmpClubRec.ClubStatistics[0], 40);
  for (std::int32_t c = 1; c <= kMaxClubRecords; ++c) {
    const std::uint8_t* entry = CmpClubRec.ClubStatistics[c];
    if (AllZero(entry, 40)) continue;
    std::int32_t to = Lookup(clubs_, c);
    if (to == 0) to = placeholder_;
    if (to < 1 || to > kMaxClubRecords) continue;
    if (AllZero(moved[to], 40)) std::memcpy(moved[to], entry, 40);
    else AddClubEntry(entry, moved[to]);
  }
  std::memcpy(CmpClubRec.ClubStatistics, moved, sizeof moved);
}

bool Rebuilder::Competition(std::int32_t nn) {
  const Text archive_leaf = Leaf(isam::SplitBlockName("OLBRAX").data);
  bool missing = false;
  if (!Settle(DataFileName("OLBRAX"), "OLBRAX", missing)) return false;
  if (!CopyIntoStaging(DataFileName("OLBRAX") + ".DAT", archive_leaf, missing)) return false;
  if (missing) return FailedWith("OLBRAX", MsgText(9903));
  FileBlock* archive = nullptr;
  OpenScratchFileBlock(archive, switch_.Staged("OLBRAX"));
  if (!IsamOK) return Failed("OLBRAX");
  struct Closer {
    FileBlock*& fb;
    ~Closer() { CloseIfOpen(fb); }
  } closer{archive};
  GetRec(archive, nn, &InfoRec);
  if (!IsamOK) return Failed("OLBRAX");
  FromStorage(InfoRec);

  // Classes, with their counts cleared: the entrants count themselves in again.
  classes_.assign(1, 0);
  bool ok = Block(
      "KLASS", nn, KlassFile, KlassRec,
      [&](std::int32_t i) {
        FromStorage(KlassRec);
        std::memset(KlassRec.Count, 0, sizeof KlassRec.Count);
        std::int32_t ref = 0;
        PutClass(true, ref);
        if (!IsamOK) return false;
        if (classes_.size() <= static_cast<std::size_t>(i)) classes_.resize(static_cast<std::size_t>(i) + 1, 0);
        classes_[static_cast<std::size_t>(i)] = ref;
        return true;
      },
      [] { return KlassRec.Bet.get(); });
  if (!ok) return false;

  // Entrants, renumbered and counted into the new classes, the competition and the clubs by the
  // same rule as an entrant being added.
  CurrentCompetition = nn;
  ReadCmpClubRec();
  if (!IsamOK) return FailedWith("CLUBS" + Nn(nn), MsgText(IsamError));
  MoveClubEntries();
  CmpClubRec.ClubsWithEntrants = 0;
  std::memset(CmpClubRec.ClubEntrantCount, 0, sizeof CmpClubRec.ClubEntrantCount);
  for (int c = 0; c <= kMaxClubRecords; ++c)
    for (int k = 0; k < 6; ++k) SetClubCounter(c, k, 0);
  std::memset(InfoRec.Count, 0, sizeof InfoRec.Count);
  std::memset(InfoRec.StTidCount, 0, sizeof InfoRec.StTidCount);
  OpenScratchFileBlock(KlassFile, switch_.Staged("KLASS" + Nn(nn)));
  if (!IsamOK && IsamError != isam::kFileNotFound) return Failed("KLASS" + Nn(nn));
  if (!IsamOK) KlassFile = nullptr;
  struct ClassCloser {
    ~ClassCloser() { CloseIfOpen(KlassFile); }
  } class_closer;
  ClassState.last_found = 0;
  ok = Block(
      "OL", nn, EntrantFile, EntrantRec,
      [&](std::int32_t i) {
        FromStorage(EntrantRec);
        const Text old_check = IofIdCheck(EntrantRec);
        TEntrantRec stored = EntrantRec;
        ToStorage(stored);
        std::int32_t ref = 0;
        AddRec(EntrantFile, ref, &stored);
        if (!IsamOK) return false;
        EntrantRec.ClubRef = NewClub(EntrantRec.ClubRef, EntrantRec);
        EntrantRec.ClassRef = Lookup(classes_, EntrantRec.ClassRef);
        EntrantRec.OwnRef = static_cast<std::int16_t>(ref);
        EntrantRec.StartNumber.set(ZeroStr(EntrantRec.EntryNumber, 4));
        stored = EntrantRec;
        ToStorage(stored);
        PutRec(EntrantFile, ref, &stored);
        if (IsamOK) AddKey(EntrantFile, 1, ref, stored.StartNumber.get());
        if (!IsamOK) return false;
        entrants_[i] = {ref, old_check, IofIdCheck(EntrantRec)};
        if (KlassFile) {
          if (!CountEntrant()) return false;
          if (EntrantRec.ClassRef != 0 && ClassState.last_found == EntrantRec.ClassRef) {
            for (int s = 0; s < 5; ++s) {
              std::int32_t start = KlassRec.FrstStTid[s] + EntrantRec.StartTime[s];
              if (start > InfoRec.StTidCount[s]) InfoRec.StTidCount[s] = start;
            }
          }
        }
        return true;
      },
      [] { return EntrantRec.StageName[0].get(); });
  if (!ok) return false;
  CloseFileBlock(KlassFile);
  KlassFile = nullptr;
  if (!IsamOK) return Failed("KLASS" + Nn(nn));
  TInfoRec stored = InfoRec;
  ToStorage(stored);
  PutRec(archive, nn, &stored);
  if (!IsamOK) return Failed("OLBRAX");
  CloseFileBlock(archive);
  archive = nullptr;
  if (!IsamOK) return Failed("OLBRAX");
  switch_.Add(archive_leaf);

  if (!IofIds(nn)) return false;

  ok = Block(
      "KONTR", nn, KontrFile, KontrRec,
      [&](std::int32_t) {
        FromStorage(KontrRec);
        std::int32_t ref = 0;
        PutControl(true, ref);
        return IsamOK;
      },
      [] { return KontrRec.KodNr.get(); });
  if (!ok) return false;

  // Courses; each marks the controls it uses, found by code in the new control file.
  std::memset(CmpClubRec.ControlUse, 0, sizeof CmpClubRec.ControlUse);
  OpenScratchFileBlock(KontrFile, switch_.Staged("KONTR" + Nn(nn)));
  if (!IsamOK) KontrFile = nullptr;
  struct ControlCloser {
    ~ControlCloser() { CloseIfOpen(KontrFile); }
  } control_closer;
  ok = Block(
      "TRACK", nn, TrackFile, TrackRec,
      [&](std::int32_t) {
        FromStorage(TrackRec);
        std::int32_t ref = 0;
        PutCourse(true, ref);
        if (!IsamOK) return false;
        for (int i = 0; KontrFile && i < std::min<int>(TrackRec.Antal, kMaxCourseControls); ++i) {
          std::int32_t c = 0;
          FindKey(KontrFile, 1, c, WinToDos(TrackRec.KodNr[i].get()));
          if (IsamOK && c >= 1 && c <= kMaxControlRecords) ++CmpClubRec.ControlUse[c - 1];
        }
        isam::ResetStatus();  // a code without a control is no failure
        return true;
      },
      [] { return TrackRec.Bana.get(); });
  if (!ok) return false;
  CloseFileBlock(KontrFile);
  KontrFile = nullptr;
  if (!IsamOK) return Failed("KONTR" + Nn(nn));

  Text clubs = "CLUBS" + Nn(nn) + ".Dat";
  if (int e = WriteStatisticsFile(switch_.Staged(clubs)); e != 0) {
    isam::ResetStatus();
    isam::NotePlatformError(e, DosFunc::kWrite);
    isam::Fail(isam::StatusForFileIo(e));
    return Failed(clubs);
  }
  switch_.Add(clubs);
  return true;
}

// The id file of the IOF XML exchange, when the competition has one. Ids of clubs, classes,
// controls and courses name their records by key and are carried over as they are. An entrant's
// ids name it by number: they follow it to its new number, with the Check of its new record;
// the ids of an entrant that is gone, or that no longer matched them (never used again, see
// iof_id_keys.h), are left behind.
bool Rebuilder::IofIds(std::int32_t nn) {
  if (!disk::Exists(isam::SplitBlockName(DataFileName(kIofIdFile, nn)).data)) return true;
  FileBlock* ids = nullptr;
  TIofIdRec r;
  return Block(
      kIofIdFile, nn, ids, r,
      [&](std::int32_t) {
        if (IofIdNamesEntrant(r.Kind)) {
          Text local = r.Local.get();
          std::int32_t old = 0;
          auto [end, ec] = std::from_chars(local.data(), local.data() + std::min<std::size_t>(local.size(), 5), old);
          auto it = ec == std::errc() ? entrants_.find(old) : entrants_.end();
          if (it == entrants_.end() || it->second.old_check != r.Check.get()) return true;
          Text leg = local.substr(static_cast<std::size_t>(end - local.data()));
          r.Local.set(IofIdEntrantLocal(it->second.ref) + leg);
          r.Check.set(it->second.new_check);
        }
        std::int32_t ref = 0;
        AddRec(ids, ref, &r);
        if (IsamOK) AddKey(ids, 1, ref, IofIdLocalKey(r));
        if (IsamOK) AddKey(ids, 2, ref, IofIdIdKey(r));
        return IsamOK;
      },
      [&] { return Text(1, r.Kind) + " " + r.Local.get(); });
}

bool Rebuilder::OtherCompetitions(std::int32_t nn) {
  if (!ClubsRenumbered()) return true;
  for (std::int32_t m = 1; m <= kMaxCompetitions; ++m) {
    if (m == nn) continue;
    Text f = "OL" + Nn(m);
    bool missing = false;
    if (!Settle(DataFileName("OL", m), f, missing)) return false;
    if (missing) continue;
    isam::BlockNames names = isam::SplitBlockName(f);
    if (!CopyIntoStaging(DataFileName("OL", m) + ".DAT", names.data, missing)) return false;
    if (missing) continue;
    if (!CopyIntoStaging(DataFileName("OL", m) + ".IX", names.index, missing)) return false;
    if (missing) return FailedWith(f, MsgText(9903));
    CounterLine(2, dir_ + "/" + f);
    FileBlock* fb = nullptr;
    OpenScratchFileBlock(fb, switch_.Staged(f));
    if (!IsamOK) return Failed(f);
    struct Closer {
      FileBlock*& fb;
      ~Closer() { CloseIfOpen(fb); }
    } closer{fb};
    std::vector<std::int16_t> counts(kMaxClubRecords + 1, 0);
    std::int32_t n = FileLen(fb) - 1;
    for (std::int32_t i = 1; i <= n; ++i) {
      TEntrantRec e;
      GetRec(fb, i, &e);
      if (!IsamOK) return Failed(f);
      if (e.DataStatus != 0) continue;
      TEntrantRec shown = e;
      FromStorage(shown);
      std::int32_t c = NewClub(e.ClubRef, shown);
      if (c >= 0 && c <= kMaxClubRecords) ++counts[static_cast<std::size_t>(c)];
      if (c == e.ClubRef) continue;
      e.ClubRef = c;
      PutRec(fb, i, &e);
      if (!IsamOK) return Failed(f);
      if (CounterAborted()) {
        cancelled_ = true;
        return false;
      }
    }
    CloseFileBlock(fb);
    if (!IsamOK) return Failed(f);

    Text clubs = "CLUBS" + Nn(m) + ".Dat";
    int io = ReadCmpClubRecFrom(DataFileName("CLUBS", m) + ".Dat");
    if (io == 2) continue;
    if (io != 0) return FailedWith(clubs, MsgText(io));
    MoveClubEntries();
    CmpClubRec.ClubsWithEntrants = 0;
    for (int c = 0; c <= kMaxClubRecords; ++c) {
      CmpClubRec.ClubEntrantCount[c] = counts[static_cast<std::size_t>(c)];
      if (counts[static_cast<std::size_t>(c)] > 0) ++CmpClubRec.ClubsWithEntrants;
    }
    if (int e = WriteStatisticsFile(switch_.Staged(clubs)); e != 0) {
      isam::ResetStatus();
      isam::NotePlatformError(e, DosFunc::kWrite);
      isam::Fail(isam::StatusForFileIo(e));
      return Failed(clubs);
    }
    switch_.Add(clubs);
  }
  return true;
}

bool Rebuilder::Run(std::int32_t nn) {
  if (!switch_.Prepare()) return Failed(switch_.FailedName().empty() ? Text(kRebuildStaging) : switch_.FailedName());
  if (!Shared()) return false;
  if (nn > 0 && !Competition(nn)) return false;
  // The statistics of the competition rebuilt above are written; the others' are read in turn.
  if (!OtherCompetitions(nn)) return false;
  if (CounterAborted()) {
    cancelled_ = true;
    return false;
  }
  for (const Text& journal : empty_journals_) {
    disk::File f;
    const char zero = 0;
    std::size_t put = 0;
    int e = disk::Create(journal, f);
    if (e == 0) e = disk::Write(f, 0, &zero, 1, put);
    if (e == 0) e = disk::Flush(f);
    if (e == 0) e = disk::Close(f);
    if (e != 0) {
      isam::ResetStatus();
      isam::NotePlatformError(e, DosFunc::kWrite);
      isam::Fail(isam::StatusForFileIo(e));
      return Failed(Leaf(journal));
    }
    switch_.Add(Leaf(journal));
  }
  if (switch_.Commit()) return true;
  Text name = switch_.FailedName();
  if (!switch_.Committed()) {
    failure_ = MsgText(518) + name + MsgText(519) + EngineText() + ". Datafilerna \xE4r of\xF6r\xE4ndrade.";
  } else {
    failure_ = MsgText(518) + name + MsgText(519) + EngineText() +
               ". Bytet till de nya filerna g\xF6rs klart n\xE4r datafilerna \xF6ppnas n\xE4sta g\xE5ng.";
  }
  return false;
}

}  // namespace

bool FinishInterruptedRebuild() {
  Text dir = GeneralSettings.DataDirectory.get();
  if (!isam::FileSetPending(dir, kRebuildStaging)) return true;
  bool completed = false;
  Text name;
  if (isam::RecoverFileSet(dir, kRebuildStaging, &completed, &name)) {
    // A notice: the message line is the archive's own right after this.
    ShowText(201, completed ? "Ett avbrutet indexbygge har slutf\xF6rts."
                            : "Ett avbrutet indexbygge har tagits bort, datafilerna \xE4r som f\xF6re det.");
    return true;
  }
  ShowText(201, "Ett avbrutet indexbygge i \"" + dir + "\" kan inte g\xF6ras klart: " + MsgText(518) + name +
                    MsgText(519) + EngineText());
  return false;
}

bool IndexRebuild(platform::Window owner) {
  // The archive file must be there; a shared register too damaged to open (which keeps the
  // archive closed) is what the rebuild repairs.
  if (!ArchiveOpen && !disk::Exists(DataFileName("OLBRAX") + ".DAT")) {
    ShowText(1, MsgText(330));
    return false;
  }
  OpenCancelCounter(owner, 4, "indexbygger");
  // The selected competition, also when its files are too damaged to open.
  std::int32_t nn = ArchiveOpen ? CurrentCompetition : 0;
  CloseAllCompetitionFiles();

  bool done = false, cancelled = false, committed = false;
  Text failure;
  std::vector<Text> club_faults;
  {
    Rebuilder rebuild;
    done = rebuild.Run(nn);
    cancelled = rebuild.Cancelled();
    committed = rebuild.SwitchPending();
    failure = rebuild.Failure();
    club_faults = rebuild.ClubFaults();
    // Every block is closed before the rebuilder goes: it throws away an unfinished staging
    // folder, whose files may not be deleted while open.
    for (FileBlock** fb : {&ClubFile, &DistrFile, &RouteFile, &KlassFile, &EntrantFile, &TrackFile, &KontrFile})
      CloseIfOpen(*fb);
  }
  cancelled = cancelled || (!done && CounterAborted());
  CloseCounter();
  // A switch that failed half-way is finished now if it can be; else the data stay closed until
  // it is (FinishInterruptedRebuild at the next opening).
  if (!done && committed) done = isam::RecoverFileSet(GeneralSettings.DataDirectory.get(), kRebuildStaging);
  if (done || !committed) {
    OpenArchive();
    if (ArchiveOpen && nn > 0) SelectCompetition(true, nn);
  }
  if (cancelled && !done) {
    ShowText(1, "Indexbygget avbrutet, datafilerna \xE4r of\xF6r\xE4ndrade.");
    return false;
  }
  if (!done) {
    ShowText(201, failure);
    return false;
  }
  if (!club_faults.empty()) {
    // Entrants moved to the placeholder club: the user has to look at them.
    Text more = club_faults.size() > 1 ? " (+" + IntStr(static_cast<long long>(club_faults.size()) - 1, 0) + ")" : Text();
    ShowText(201, club_faults.front() + more);
  }
  if (nn == 0) {
    ShowText(1, MsgText(522));
    return ArchiveCount == 0;
  }
  ShowText(1, "indexbygg" + MsgText(521));
  return true;
}

}  // namespace olbrax

#include "competition/data_dir_check.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <map>
#include <memory>
#include <set>
#include <type_traits>

#include "competition/archive.h"
#include "competition/club_recount.h"
#include "competition/records/class_rec.h"
#include "competition/records/cmp_club_rec.h"
#include "competition/records/competition_rec.h"
#include "competition/records/entrant_rec.h"
#include "competition/records_check.h"
#include "competition/registers/entrants.h"
#include "storage/block_check.h"
#include "storage/disk_file.h"
#include "storage/file_names.h"

namespace olbrax {

namespace {

constexpr const char* kArchive = "OLBRAX";
constexpr const char* kSharedRegisters[] = {"CLUBAR", "DISTR", "RUTBESKR", "RUTB24"};
constexpr const char* kCompetitionBlocks[] = {"KLASS", "OL", "TRACK", "KONTR"};

Text Nn(int n) { return ZeroStr(n, 2); }

Text Join(std::string_view folder, std::string_view name) {
  Text out(folder);
  if (!out.empty() && out.back() != '/') out += '/';
  return out + Text(name);
}

Text ClubsFile(std::string_view folder, int n) { return Join(folder, "CLUBS" + Nn(n)) + ".Dat"; }

bool BlockExists(const Text& block) { return disk::Exists(isam::SplitBlockName(block).data); }

// A block the program needs: present, sound, and read as the program reads it.
CheckLine CheckNeeded(const Text& block) {
  isam::CheckResult r = isam::CheckBlock(block);
  if (r.ok) r = CheckRecordKeys(block);
  return {block, r.ok, r.message};
}

// The bytes of a plain file, up to `most`; false when it cannot be read.
bool ReadPlain(const Text& name, std::size_t most, std::string& out, std::string& error) {
  disk::File f;
  if (int e = disk::Open(name, false, f); e != 0) {
    error = e == disk::kErrFileNotFound || e == disk::kErrPathNotFound ? "missing"
            : e == disk::kErrSharingViolation                         ? "in use by another program"
                                                                      : "cannot be opened (error " + std::to_string(e) + ")";
    return false;
  }
  out.assign(static_cast<std::size_t>(std::min<std::int64_t>(f.Size(), static_cast<std::int64_t>(most))), '\0');
  std::size_t got = 0;
  if (disk::Read(f, 0, out.data(), out.size(), got) != 0 || got != out.size()) {
    error = "cannot be read";
    return false;
  }
  return true;
}

template <class Rec>
Rec RecordAt(const isam::BlockContents& b, std::int32_t rec) {
  Rec r;
  static_assert(std::is_trivially_copyable_v<Rec>);
  std::memcpy(&r, b.data.data() + static_cast<std::size_t>(rec) * static_cast<std::size_t>(b.rec_len), sizeof r);
  FromStorage(r);
  return r;
}

// Collects disagreements: the first few in full, the rest counted.
class Findings {
 public:
  void Add(std::string what) {
    if (shown_.size() < 4) shown_.push_back(std::move(what));
    ++count_;
  }
  std::string Summary() const {
    std::string out;
    for (const std::string& s : shown_) out += (out.empty() ? "" : "; ") + s;
    if (count_ > shown_.size()) out += "; " + std::to_string(count_ - shown_.size()) + " more";
    return out;
  }

 private:
  std::vector<std::string> shown_;
  std::size_t count_ = 0;
};

std::string CountText(const char* field, int s, int d) {
  return std::string(field) + "[" + std::to_string(s) + "][" + std::to_string(d) + "]";
}

using Counts = std::array<std::array<int, 26>, 6>;

void CompareCounts(const CountType& stored, const Counts& counted, const std::string& whose, Findings& f) {
  for (int s = 0; s < 6; ++s)
    for (int d = 0; d < 26; ++d)
      if (stored[s][d] != static_cast<std::int16_t>(counted[static_cast<std::size_t>(s)][static_cast<std::size_t>(d)]))
        f.Add(whose + " " + CountText("Count", s, d) + " is " + std::to_string(stored[s][d]) + ", its entrants give " +
              std::to_string(counted[static_cast<std::size_t>(s)][static_cast<std::size_t>(d)]));
}

// The archive's own findings beyond its block check.
void CheckArchiveEntries(std::string_view folder, std::vector<CheckLine>& lines, std::set<int>& live_competitions) {
  Text archive = Join(folder, kArchive);
  isam::BlockContents b;
  std::string error;
  if (!isam::ReadBlockContents(archive, b, error)) return;
  for (std::int32_t n : b.live) {
    if (n > kMaxCompetitions) lines.push_back({archive, false, "entry " + std::to_string(n) + " beyond the eight competitions"});
    else live_competitions.insert(n);
  }
  // An entry in a slot beyond the record count is one the program never lists: a record count
  // lowered by damage hides the competitions after it.
  std::string raw;
  std::int32_t records = static_cast<std::int32_t>(b.data.size() / static_cast<std::size_t>(b.rec_len)) - 1;
  if (ReadPlain(isam::SplitBlockName(archive).data, static_cast<std::size_t>(kInfoRecLen) * (kMaxCompetitions + 1), raw,
                error)) {
    for (int n = records + 1; n <= kMaxCompetitions; ++n) {
      std::size_t at = static_cast<std::size_t>(n) * kInfoRecLen;
      if (raw.size() < at + kInfoRecLen) break;
      std::int32_t status;
      std::memcpy(&status, raw.data() + at, 4);
      if (status == 0 && raw.compare(at + 4, 3, "\x02" + Nn(n)) == 0)
        lines.push_back({archive, false,
                         "entry " + std::to_string(n) + " lies beyond the record count " + std::to_string(records) +
                             ": competition " + Nn(n) + " is hidden"});
    }
  }
  // Files of a competition the archive does not list.
  for (int n = 1; n <= kMaxCompetitions; ++n) {
    if (live_competitions.count(n)) continue;
    std::string found;
    for (const char* stem : kCompetitionBlocks)
      if (BlockExists(Join(folder, stem + Nn(n)))) found += (found.empty() ? "" : ", ") + std::string(stem) + Nn(n);
    if (BlockExists(Join(folder, kIofIdFile + Nn(n)))) found += (found.empty() ? "" : ", ") + std::string(kIofIdFile) + Nn(n);
    if (disk::Exists(ClubsFile(folder, n))) found += (found.empty() ? "" : ", ") + std::string("CLUBS") + Nn(n) + ".Dat";
    if (!found.empty())
      lines.push_back({archive, false, "no live entry " + std::to_string(n) + " for the files " + found});
  }
}

}  // namespace

bool IsDataDirectory(std::string_view folder) {
  if (BlockExists(Join(folder, kArchive))) return true;
  for (const char* name : kSharedRegisters)
    if (BlockExists(Join(folder, name))) return true;
  return false;
}

std::string CheckCompetitionCounters(std::string_view folder, int n) {
  isam::BlockContents archive, classes, entrants;
  std::string error;
  if (!isam::ReadBlockContents(Join(folder, kArchive), archive, error)) return "archive: " + error;
  if (std::find(archive.live.begin(), archive.live.end(), n) == archive.live.end())
    return "no live archive entry " + std::to_string(n);
  if (!isam::ReadBlockContents(Join(folder, "KLASS" + Nn(n)), classes, error)) return "KLASS" + Nn(n) + ": " + error;
  if (!isam::ReadBlockContents(Join(folder, "OL" + Nn(n)), entrants, error)) return "OL" + Nn(n) + ": " + error;
  std::string block;
  if (!ReadPlain(ClubsFile(folder, n), kCmpClubLen, block, error)) return "CLUBS" + Nn(n) + ".Dat: " + error;
  if (block.size() < static_cast<std::size_t>(kCmpClubLen)) return "CLUBS" + Nn(n) + ".Dat: shorter than its block";
  if (archive.rec_len != kInfoRecLen || classes.rec_len != kKlassRecLen || entrants.rec_len != kEntrantRecLen)
    return "a record length that is not the program's";

  const TInfoRec info = RecordAt<TInfoRec>(archive, n);
  auto stats = std::make_unique<TCmpClubRec>();
  std::memcpy(stats.get(), block.data(), sizeof(TCmpClubRec));

  // Count every entrant in as the bookkeeping does when it is added.
  std::map<std::int32_t, TKlassRec> klass;
  for (std::int32_t r : classes.live) klass.emplace(r, RecordAt<TKlassRec>(classes, r));
  std::map<std::int32_t, Counts> class_counts;
  Counts info_counts{};
  ClubRecount clubs;
  Findings f;
  for (std::int32_t r : entrants.live) {
    const TEntrantRec e = RecordAt<TEntrantRec>(entrants, r);
    auto k = klass.find(e.ClassRef);
    if (k == klass.end()) {
      clubs.Add(e, nullptr, false);
      f.Add("entrant " + std::to_string(r) + " (start number \"" + Utf8FromWin(e.StartNumber.get()) +
            "\") names class record " + std::to_string(e.ClassRef) + ", which is not a class");
      continue;
    }
    int first, last;
    bool open = CountedStages(e, k->second, info.dirklassfilter.get(), first, last);
    clubs.Add(e, &k->second, open);
    Counts& counts = class_counts[e.ClassRef];
    for (std::size_t d = 0; d < 26; ++d) {
      ++counts[0][d];
      ++info_counts[0][d];
      for (int s = first; s <= last; ++s) {
        std::int32_t t = e.RunTime[s][d];
        if (t != 0 && t < 5999948) continue;  // a valid running time is not counted
        ++counts[static_cast<std::size_t>(s)][d];
        ++info_counts[static_cast<std::size_t>(s)][d];
      }
    }
  }

  for (const auto& [r, k] : klass)
    CompareCounts(k.Count, class_counts[r], "class \"" + Utf8FromWin(k.Bet.get()) + "\"", f);
  CompareCounts(info.Count, info_counts, "the competition's", f);
  for (int c = 0; c <= kMaxClubRecords; ++c) {
    int counted = clubs.entrants[static_cast<std::size_t>(c)];
    if (stats->ClubEntrantCount[c] != static_cast<std::int16_t>(counted))
      f.Add("ClubEntrantCount[" + std::to_string(c) + "] is " + std::to_string(stats->ClubEntrantCount[c]) +
            ", the entrants give " + std::to_string(counted));
    for (int k = 0; k < 6; ++k) {
      const std::uint8_t* p = stats->ClubStatistics[c] + 22 + 2 * k;
      auto stored = static_cast<std::int16_t>(p[0] | p[1] << 8);
      int should = clubs.counters[static_cast<std::size_t>(c)][static_cast<std::size_t>(k)];
      if (stored != static_cast<std::int16_t>(should))
        f.Add("club statistics of club " + std::to_string(c) + " counter " + std::to_string(k) + " is " +
              std::to_string(stored) + ", the entrants give " + std::to_string(should));
    }
  }
  const int with_entrants = clubs.ClubsWithEntrants();
  if (stats->ClubsWithEntrants != with_entrants)
    f.Add("ClubsWithEntrants is " + std::to_string(stats->ClubsWithEntrants) + ", the entrants give " +
          std::to_string(with_entrants));
  return f.Summary();
}

std::vector<CheckLine> CheckDataDirectory(std::string_view folder) {
  std::vector<CheckLine> lines;
  std::set<Text> done;
  auto need = [&](const Text& block) {
    done.insert(UpStr(block));
    lines.push_back(CheckNeeded(block));
    return lines.back().ok;
  };

  std::set<int> competitions;
  Text archive = Join(folder, kArchive);
  if (need(archive)) CheckArchiveEntries(folder, lines, competitions);
  for (const char* name : kSharedRegisters) need(Join(folder, name));
  for (int n : competitions) {
    bool sound = true;
    for (const char* stem : kCompetitionBlocks) sound = need(Join(folder, stem + Nn(n))) && sound;
    Text clubs = ClubsFile(folder, n);
    std::string raw, error;
    if (!ReadPlain(clubs, kCmpClubLen + 1, raw, error)) {
      lines.push_back({clubs, false, error});
      sound = false;
    } else if (raw.size() != static_cast<std::size_t>(kCmpClubLen)) {
      lines.push_back({clubs, false, std::to_string(raw.size()) + " bytes, its block is " + std::to_string(kCmpClubLen)});
      sound = false;
    } else {
      lines.push_back({clubs, true, "ok"});
    }
    // A crash between a commit and the write of the statistics block left them to be counted
    // again when the competition is next opened.
    if (Text marker = Join(folder, "CLUBS" + Nn(n)) + Text(kStaleMarkerExt); disk::Exists(marker))
      lines.push_back({marker, false, "the club statistics need a recount (done when the competition is opened)"});
    // Counters are compared only when every file they come from could be read whole.
    if (sound) {
      std::string e = CheckCompetitionCounters(folder, n);
      lines.push_back({Join(folder, "competition " + Nn(n)), e.empty(), e.empty() ? "counters ok" : "counters: " + e});
    }
  }
  // Whatever else is in the folder (side registers, left-overs) gets its block check.
  for (const Text& block : isam::BlocksInFolder(folder)) {
    Text leaf = UpStr(block.substr(block.find_last_of('/') + 1));
    if (done.count(UpStr(block)) || (leaf.size() == 7 && leaf.compare(0, 5, "CLUBS") == 0)) continue;
    isam::CheckResult r = isam::CheckBlock(block);
    if (r.ok && KnowsRecordKeys(block)) r = CheckRecordKeys(block);
    lines.push_back({block, r.ok, r.message});
  }
  return lines;
}

}  // namespace olbrax

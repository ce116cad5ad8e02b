#include "maintenance_fixture.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <vector>

#include "competition/maintenance/index_rebuild.h"
#include "competition/records/class_rec.h"
#include "competition/records/club_recs.h"
#include "competition/records/cmp_club_rec.h"
#include "competition/records/definition_recs.h"
#include "competition/records/entrant_rec.h"
#include "competition/records/route_recs.h"
#include "competition/records_check.h"
#include "competition/registers/definitions.h"
#include "competition/registers/entrants.h"
#include "competition/registers/register_find.h"
#include "competition/registers/shared_registers.h"
#include "storage/block_check.h"

namespace olbrax::test {

namespace fs = std::filesystem;

namespace {

std::string Hex(const char* p, std::size_t n) {
  static const char* digits = "0123456789abcdef";
  std::string out;
  out.reserve(2 * n);
  for (std::size_t i = 0; i < n; ++i) {
    auto b = static_cast<unsigned char>(p[i]);
    out += digits[b >> 4];
    out += digits[b & 15];
  }
  return out;
}

// A length-prefixed text field of a record.
std::string Field(const std::string& rec, std::size_t at, std::size_t width) {
  std::size_t len = std::min<std::size_t>(static_cast<unsigned char>(rec[at]), width);
  return rec.substr(at + 1, len);
}

std::int32_t I32(const std::string& b, std::size_t at) {
  std::int32_t v;
  std::memcpy(&v, b.data() + at, 4);
  return v;
}

std::int16_t I16(const std::string& b, std::size_t at) {
  std::int16_t v;
  std::memcpy(&v, b.data() + at, 2);
  return v;
}

struct Block {
  std::string leaf;  // upper case, without extension
  isam::BlockContents c;
  std::string Record(std::int32_t r) const {
    return c.data.substr(static_cast<std::size_t>(r) * static_cast<std::size_t>(c.rec_len), static_cast<std::size_t>(c.rec_len));
  }
};

std::string Base(const std::string& leaf) {
  std::string b = leaf;
  while (!b.empty() && std::isdigit(static_cast<unsigned char>(b.back()))) b.pop_back();
  return b;
}

std::string Suffix(const std::string& leaf) { return leaf.substr(Base(leaf).size()); }

std::string Name(const std::map<std::int32_t, std::string>& names, std::int32_t ref) {
  if (ref == 0) return "-";
  auto it = names.find(ref);
  return it == names.end() ? "?" + std::to_string(ref) : it->second;
}

}  // namespace

std::int32_t MaintenanceTest::AddClub(const std::string& name) {
  ClearClub();
  ClubRec.ClubName.set(name);
  ClubRec.DistrictNumber.set("01");
  std::int32_t ref = 0;
  PutClub(true, ref);
  EXPECT_TRUE(IsamOK) << IsamError;
  return ref;
}

void MaintenanceTest::RemoveClub(std::int32_t ref) {
  TClubRec rec;
  GetRec(ClubFile, ref, &rec);
  DeleteKey(ClubFile, 1, ref, rec.ClubName.get());
  DeleteRec(ClubFile, ref);
  ASSERT_TRUE(IsamOK) << IsamError;
}

std::int32_t MaintenanceTest::AddEntrant(std::int32_t class_ref, std::int32_t club_ref, const std::string& name,
                                         int number) {
  ClearEntrant();
  EntrantRec.ClassRef = class_ref;
  EntrantRec.ClubRef = club_ref;
  EntrantRec.EntryNumber = static_cast<std::int16_t>(number);
  EntrantRec.StartNumber.set(ZeroStr(number, 4));
  for (auto& s : EntrantRec.StageName) s.set(name);
  if (number % 2 == 0) EntrantRec.RunTime[1][0] = 1800 + number;
  std::int32_t ref = 0;
  PutEntrant(true, ref);
  EXPECT_TRUE(IsamOK) << IsamError;
  return ref;
}

void MaintenanceTest::RemoveEntrant(std::int32_t ref) {
  bool at_end, found;
  FindEntrant(kFindRecord, "", ref, at_end, found);
  ASSERT_TRUE(found);
  EntrantUncounted(false);
  DeleteKey(EntrantFile, 1, ref, WinToDos(EntrantRec.StartNumber.get()));
  DeleteRec(EntrantFile, ref);
  ASSERT_TRUE(IsamOK) << IsamError;
}

void MaintenanceTest::BuildData(const DataSize& size) {
  for (int i = 1; i <= 5; ++i) {
    ClearDistrict();
    DistrRec.Dnr.set(ZeroStr(i, 2));
    DistrRec.Dname.set("Distrikt " + std::to_string(i));
    std::int32_t ref = 0;
    PutDistrict(true, ref);
  }
  std::vector<std::int32_t> clubs;
  for (int i = 1; i <= size.clubs; ++i) clubs.push_back(AddClub("Klubb " + std::to_string(i)));
  AddClub("\xD6\xD6\xD6 ok\xE4nd");
  for (std::uint8_t format : {std::uint8_t{0}, std::uint8_t{1}}) {
    GeneralSettings.RouteFormat = format;
    SwitchRouteFile();
    for (int i = 1; i <= size.routes; ++i) {
      ClearRoute();
      ClearRoute24();
      std::int32_t ref = 0;
      (format == 1 ? Route24Rec.RouteKey : RouteRec.RouteKey).set("R" + std::to_string(i));
      (format == 1 ? Route24Rec.RouteText : RouteRec.RouteText).set("till kontroll " + std::to_string(i));
      PutRoute(true, ref);
      ASSERT_TRUE(IsamOK) << IsamError;
    }
  }
  // Clubs 2 and 3 are deleted below: no entrant uses them, every later club moves down.
  std::vector<std::int32_t> used;
  for (std::size_t i = 0; i < clubs.size(); ++i)
    if (i != 1 && i != 2) used.push_back(clubs[i]);

  for (int comp = 1; comp <= 2; ++comp) {
    AddCompetition(comp == 1 ? "F\xF6rsta" : "Andra");
    const char* names[] = {"H21", "D21", "H16"};
    for (int k = 0; k < 3; ++k) {
      ClearClassRec();
      KlassRec.Bet.set(names[k]);
      std::int32_t ref = 0;
      PutClass(true, ref);
      classes_[k] = ref;
      if (k == 0) {  // a class deleted again before the others
        ClearClassRec();
        KlassRec.Bet.set("D10");
        std::int32_t gone = 0;
        PutClass(true, gone);
        DeleteClass(true, "", gone, true);
      }
    }
    int count = comp == 1 ? size.entrants : size.other_entrants;
    std::vector<std::int32_t> refs;
    for (int i = 1; i <= count; ++i)
      refs.push_back(AddEntrant(classes_[i % 3], used[static_cast<std::size_t>(i) % used.size()],
                                "L\xF6pare " + std::to_string(i), i));
    for (std::size_t i = 0; i < refs.size(); i += 5) RemoveEntrant(refs[i]);
    // A fee paid by a club that moves down.
    SetClubAmount(used.back(), 1, 150.0);
    SetClubAmount(0, 1, ClubAmount(0, 1) + 150.0);

    CloseCompetition();
    OpenDefinitions();
    ASSERT_TRUE(DefinitionsOpen);
    std::vector<std::int32_t> controls;
    for (int i = 1; i <= size.controls; ++i) {
      ClearControl();
      KontrRec.KodNr.set(std::to_string(30 + i));
      std::int32_t ref = 0;
      PutControl(true, ref);
      controls.push_back(ref);
    }
    DeleteControl(true, "", controls[1], true);
    std::vector<std::int32_t> courses;
    for (int c = 1; c <= 3; ++c) {
      ClearCourse();
      TrackRec.Bana.set("Bana " + std::to_string(c));
      TrackRec.Antal = 4;
      for (int j = 0; j < 4; ++j) {
        int index = 2 + (c + j) % (size.controls - 2);
        TrackRec.KodNr[j].set(std::to_string(30 + 1 + index));
        ++CmpClubRec.ControlUse[controls[static_cast<std::size_t>(index)] - 1];
      }
      std::int32_t ref = 0;
      PutCourse(true, ref);
      courses.push_back(ref);
    }
    DeleteCourse(true, "", courses[0], true);
    CloseDefinitions();
    OpenCompetition();
  }
  RemoveClub(clubs[1]);
  RemoveClub(clubs[2]);
  SelectFromMenu(1);
  ASSERT_TRUE(CompetitionOpen);
}

std::map<std::string, std::string> MaintenanceTest::SaveFiles() const {
  std::map<std::string, std::string> out;
  for (const auto& e : fs::directory_iterator(data.path()))
    if (e.is_regular_file()) out[e.path().filename().string()] = ReadFileBytes(e.path());
  return out;
}

void MaintenanceTest::RestoreFiles(const std::map<std::string, std::string>& files) const {
  // Only what differs is written or removed: deleting files is slow on some file systems, and
  // most files are as they were.
  std::vector<fs::path> now;
  for (const auto& e : fs::directory_iterator(data.path())) now.push_back(e.path());
  for (const auto& p : now) {
    auto it = files.find(p.filename().string());
    if (it == files.end()) fs::remove_all(p);
    else if (ReadFileBytes(p) != it->second) WriteFileBytes(p, it->second);
  }
  for (const auto& [name, bytes] : files)
    if (!fs::exists(data.path() / name)) WriteFileBytes(data.path() / name, bytes);
}

std::string MaintenanceTest::Contents(const fs::path& folder) const {
  std::map<std::string, Block> blocks;
  for (const Text& b : isam::BlocksInFolder(folder.string())) {
    std::string leaf = UpStr(b.substr(b.find_last_of('/') + 1));
    if (Base(leaf) == "CLUBS") continue;
    Block block{leaf, {}};
    std::string error;
    if (!isam::ReadBlockContents(b, block.c, error)) return leaf + ": " + error;
    blocks[leaf] = std::move(block);
  }
  // What record numbers name: clubs by name, and per competition classes and controls.
  std::map<std::int32_t, std::string> clubs;
  std::map<std::string, std::map<std::int32_t, std::string>> classes, controls;
  for (const auto& [leaf, b] : blocks) {
    for (std::int32_t r : b.c.live) {
      std::string rec = b.Record(r);
      if (leaf == "CLUBAR") clubs[r] = Field(rec, 11, 30);
      if (Base(leaf) == "KLASS") classes[Suffix(leaf)][r] = Field(rec, 7, 8);
      if (Base(leaf) == "KONTR") controls[Suffix(leaf)][r] = Field(rec, 4, 3);
    }
  }
  std::string out;
  for (const auto& [leaf, b] : blocks) {
    std::vector<std::string> lines;
    for (std::int32_t r : b.c.live) {
      std::string rec = b.Record(r);
      std::string extra;
      std::string base = Base(leaf);
      if (base == "RUTBESKR") std::memset(rec.data() + 4, 0, 2);  // OwnRef
      if (base == "RUTB") std::memset(rec.data() + 6, 0, 2);      // RUTB24: OwnRef
      if (base == "KLASS") std::memset(rec.data() + 4, 0, 3);     // Lnr
      if (base == "OL") {
        extra = " class=" + Name(classes[Suffix(leaf)], I32(rec, 4)) + " club=" + Name(clubs, I32(rec, 1672));
        std::memset(rec.data() + 4, 0, 4);
        std::memset(rec.data() + 16, 0, 2);
        std::memset(rec.data() + 1672, 0, 4);
      }
      lines.push_back(Hex(rec.data(), rec.size()) + extra);
    }
    std::sort(lines.begin(), lines.end());
    out += "[" + leaf + "]\n";
    for (const auto& l : lines) out += l + "\n";
  }
  // The statistics blocks: per-club and per-control entries by what they count.
  for (const auto& e : fs::directory_iterator(folder)) {
    std::string leaf = UpStr(e.path().filename().string());
    if (leaf.size() != 11 || leaf.compare(0, 5, "CLUBS") != 0) continue;
    std::string nn = leaf.substr(5, 2);
    std::string b = ReadFileBytes(e.path());
    if (b.size() != sizeof(TCmpClubRec)) return leaf + ": size " + std::to_string(b.size());
    std::vector<std::string> lines;
    for (int c = 0; c <= kMaxClubRecords; ++c) {
      std::string who = c == 0 ? "alla" : Name(clubs, c);
      if (std::int16_t n = I16(b, 2052 + 2 * c)) lines.push_back("count " + who + " " + std::to_string(n));
      std::string entry = b.substr(5000 + 40 * static_cast<std::size_t>(c), 40);
      if (entry != std::string(40, '\0')) lines.push_back("stat " + who + " " + Hex(entry.data(), 40));
    }
    for (int k = 1; k <= kMaxControlRecords; ++k)
      if (std::int16_t n = I16(b, 3854 + 2 * (k - 1))) lines.push_back("use " + Name(controls[nn], k) + " " + std::to_string(n));
    std::memset(b.data() + 2052, 0, 2 * (kMaxClubRecords + 1) + 2 * kMaxControlRecords);
    std::memset(b.data() + 5000, 0, 40 * (kMaxClubRecords + 1));
    std::sort(lines.begin(), lines.end());
    out += "[" + leaf + "]\n" + Hex(b.data(), b.size()) + "\n";
    for (const auto& l : lines) out += l + "\n";
  }
  return out;
}

::testing::AssertionResult MaintenanceTest::Same(const std::string& a, const std::string& b) {
  if (a == b) return ::testing::AssertionSuccess();
  std::size_t at = 0;
  while (at < a.size() && at < b.size() && a[at] == b[at]) ++at;
  std::size_t line = a.rfind('\n', at == 0 ? 0 : at - 1);
  line = line == std::string::npos ? 0 : line + 1;
  auto cut = [&](const std::string& s) { return s.substr(line, std::min<std::size_t>(s.find('\n', line) - line, 200)); };
  // The block the line belongs to.
  std::size_t head = a.rfind("\n[", line);
  std::string block = head == std::string::npos ? a.substr(0, a.find('\n')) : a.substr(head + 1, a.find('\n', head + 1) - head - 1);
  return ::testing::AssertionFailure() << "in " << block << ":\n  " << cut(a) << "\n  " << cut(b);
}

std::string MaintenanceTest::Numbering() const {
  std::string out;
  for (const Text& b : isam::BlocksInFolder(data.str())) {
    std::string leaf = UpStr(b.substr(b.find_last_of('/') + 1));
    if (Base(leaf) == "CLUBS") continue;
    isam::BlockContents c;
    std::string error;
    if (!isam::ReadBlockContents(b, c, error)) return leaf + ": " + error;
    out += leaf + "=" + std::to_string(c.data.size() / static_cast<std::size_t>(c.rec_len)) + " ";
  }
  return out;
}

std::string MaintenanceTest::CheckAll(const fs::path& folder) const {
  std::string faults;
  for (const Text& b : isam::BlocksInFolder(folder.string())) {
    std::string leaf = UpStr(b.substr(b.find_last_of('/') + 1));
    if (Base(leaf) == "CLUBS") continue;
    isam::CheckResult r = isam::CheckBlock(b);
    if (r.ok && KnowsRecordKeys(b)) r = CheckRecordKeys(b);
    if (!r.ok) faults += leaf + ": " + r.message + "\n";
  }
  return faults;
}

bool MaintenanceTest::RebuildLeftovers() const {
  if (fs::exists(data.path() / std::string(kRebuildStaging))) return true;
  for (const auto& e : fs::directory_iterator(data.path()))
    if (UpStr(e.path().filename().string()).rfind("FILETMP", 0) == 0) return true;
  return false;
}

}  // namespace olbrax::test

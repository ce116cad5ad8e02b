// The data directory as a whole: the names its files get, and what the check finds in it when
// files are missing, damaged, or disagree with each other.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>

#include "base/messages.h"
#include "competition/data_dir_check.h"
#include "competition/records/class_rec.h"
#include "competition/records/club_recs.h"
#include "competition/records/cmp_club_rec.h"
#include "competition/records/entrant_rec.h"
#include "competition/registers/definitions.h"
#include "competition/registers/entrants.h"
#include "competition/registers/shared_registers.h"
#include "data_fixture.h"
#include "storage/file_hooks.h"
#include "storage/isam.h"

namespace olbrax::test {
namespace {

namespace fs = std::filesystem;

class DataDirTest : public DataTest {
 protected:
  std::int32_t AddClass(const std::string& name, int stages = 2) {
    ClearClassRec();
    KlassRec.Bet.set(name);
    KlassRec.StrNr = static_cast<std::int16_t>(stages);
    std::int32_t ref = 0;
    PutClass(true, ref);
    EXPECT_TRUE(IsamOK) << IsamError;
    return ref;
  }
  std::int32_t AddClub(const std::string& name) {
    ClearClub();
    ClubRec.ClubName.set(name);
    std::int32_t ref = 0;
    PutClub(true, ref);
    EXPECT_TRUE(IsamOK) << IsamError;
    return ref;
  }
  void AddEntrant(std::int32_t klass, std::int32_t club, const std::string& name, int number, std::int32_t time1) {
    ClearEntrant();
    EntrantRec.ClassRef = klass;
    EntrantRec.ClubRef = club;
    EntrantRec.StartNumber.set(ZeroStr(number, 4));
    EntrantRec.RunTime[1][0] = time1;
    EntrantRec.Placing[0][0] = -2;  // in an open class: runs stage 2
    EntrantRec.Counted = number % 2;
    for (auto& s : EntrantRec.StageName) s.set(name);
    std::int32_t ref = 0;
    PutEntrant(true, ref);
    EXPECT_TRUE(IsamOK) << IsamError;
  }

  // Lines of the check that are not ok, as "LEAF: message".
  static std::vector<std::string> Faults(const fs::path& folder) {
    std::vector<std::string> out;
    for (const CheckLine& l : CheckDataDirectory(folder.string()))
      if (!l.ok) out.push_back(Utf8FromWin(l.name.substr(l.name.find_last_of('/') + 1)) + ": " + l.message);
    return out;
  }
  static std::string Joined(const std::vector<std::string>& lines) {
    std::string out;
    for (const auto& l : lines) out += l + "\n";
    return out;
  }
  static void PatchI32(const fs::path& file, std::size_t at, std::int32_t value) {
    std::string bytes = ReadFileBytes(file);
    std::memcpy(bytes.data() + at, &value, 4);
    WriteFileBytes(file, bytes);
  }
  static void PatchI16(const fs::path& file, std::size_t at, std::int16_t value) {
    std::string bytes = ReadFileBytes(file);
    std::memcpy(bytes.data() + at, &value, 2);
    WriteFileBytes(file, bytes);
  }
  // Runs `change` on the engine's view of a block of the copy.
  static void WithBlock(const fs::path& block, const std::function<void(FileBlock*)>& change) {
    FileBlock* fb = nullptr;
    isam::OpenFileBlock(fb, block.string(), false, false, true, false);
    ASSERT_TRUE(IsamOK) << IsamError;
    change(fb);
    isam::CloseFileBlock(fb);
  }
};

TEST_F(DataDirTest, ASemicolonInAFolderKeepsEveryFileInTheDataDirectory) {
  CloseAllCompetitionFiles();
  TempDir parent;
  fs::path dir = parent.path() / "x;y";
  fs::create_directories(dir);
  GeneralSettings.DataDirectory.set(dir.string());
  CreateArchiveFiles();
  ASSERT_TRUE(ArchiveOpen);
  AddCompetition("Semikolon");
  CloseAllCompetitionFiles();
  EXPECT_TRUE(fs::exists(dir / "OLBRAX.DAT"));
  EXPECT_TRUE(fs::exists(dir / "KLASS01.IX"));
  // Nothing beside the folder: no "x.DAT" written outside it.
  for (const auto& e : fs::directory_iterator(parent.path()))
    if (e.path().filename() != "x;y") ADD_FAILURE() << "written outside the data directory: " << e.path();
}

// Every open and create of a file fails with one errno, as on a folder the user may not write.
class RefuseFiles : public disk::FileHooks {
 public:
  explicit RefuseFiles(int err) : err_(err) {}
  disk::Verdict Before(const disk::FileEvent& e) override {
    if (e.op == disk::FileOp::Open || e.op == disk::FileOp::Create) return {err_, false};
    return {};
  }

 private:
  int err_;
};

// Each cause of a failed opening has its own text on the message line: only missing files say
// that files are missing.
TEST_F(DataDirTest, AFailedOpeningSaysWhy) {
  AddCompetition("Orsaker");
  CloseAllCompetitionFiles();
  auto quoted = [&](const char* leaf) { return "\"" + (data.path() / leaf).string() + "\""; };

  // Another copy of the program holds the club register.
  int held = ::open((data.path() / "CLUBAR.DAT").c_str(), O_RDONLY);
  ASSERT_GE(held, 0);
  ASSERT_EQ(::flock(held, LOCK_EX | LOCK_NB), 0);
  OpenArchive();
  EXPECT_FALSE(ArchiveOpen);
  EXPECT_EQ(MsgLine, "Filen anv\xE4nds av en annan kopia av olbrax: " + quoted("CLUBAR"));
  ::close(held);

  // A journal the repair refuses.
  std::string distr_journal = ReadFileBytes(data.path() / "DISTR.DIA");
  WriteFileBytes(data.path() / "DISTR.DIA", std::string(1, '\0') + "\xE7\x03" + std::string(40, 'x'));
  OpenArchive();
  EXPECT_FALSE(ArchiveOpen);
  EXPECT_EQ(MsgLine, "Btree: Reparationsf\xF6rs\xF6ket misslyckades " + quoted("DISTR"));
  WriteFileBytes(data.path() / "DISTR.DIA", distr_journal);

  // A folder that may not be written, and a read-only disk.
  RefuseFiles denied(EACCES), read_only(EROFS);
  disk::SetFileHooks(&denied);
  OpenArchive();
  EXPECT_EQ(MsgLine, "Fil\xE5tkomst f\xF6rv\xE4gras " + quoted("OLBRAX"));
  disk::SetFileHooks(&read_only);
  OpenArchive();
  EXPECT_EQ(MsgLine, "Skivan \xE4r skrivskyddad " + quoted("OLBRAX"));
  disk::SetFileHooks(nullptr);

  // A header the file cannot hold, and a file of another record length.
  std::string clubar = ReadFileBytes(data.path() / "CLUBAR.DAT");
  PatchI32(data.path() / "CLUBAR.DAT", 8, 2147483647);
  OpenArchive();
  EXPECT_EQ(MsgLine, "Btree: OpenFileBlock: Fler \xE4n 750 index/fel dosfil " + quoted("CLUBAR"));
  WriteFileBytes(data.path() / "CLUBAR.DAT", clubar);
  std::string archive = ReadFileBytes(data.path() / "OLBRAX.DAT");
  PatchI32(data.path() / "OLBRAX.DAT", 12, 548);
  OpenArchive();
  EXPECT_EQ(MsgLine, "Btree: OpenFileBlock: Fler \xE4n 750 index/fel dosfil " + quoted("OLBRAX"));
  WriteFileBytes(data.path() / "OLBRAX.DAT", archive);

  // The competition's own files: the class file in use.
  OpenArchive();
  ASSERT_TRUE(ArchiveOpen);
  held = ::open((data.path() / "KLASS01.DAT").c_str(), O_RDONLY);
  ASSERT_EQ(::flock(held, LOCK_EX | LOCK_NB), 0);
  SelectCompetition(true, 1);
  EXPECT_FALSE(CompetitionOpen);
  EXPECT_EQ(MsgLine, "Filen anv\xE4nds av en annan kopia av olbrax: " + quoted("KLASS01"));
  ::close(held);
}

// A competition with entrants of ordinary and open classes, clubs and times; then one kind of
// damage at a time on a copy, each found by name.
TEST_F(DataDirTest, TheCheckFindsWhatTheProgramNeedsByName) {
  std::int32_t n = AddCompetition("Kontroll", "", 2);
  InfoRec.dirklassfilter.set("\xD6PPEN");
  std::int32_t h21 = AddClass("H21");
  std::int32_t d16 = AddClass("D16");
  std::int32_t open = AddClass("\xD6PPEN 1");
  std::int32_t kompassen = AddClub("OK KOMPASSEN");
  std::int32_t tallen = AddClub("IFK TALLEN");
  AddEntrant(h21, kompassen, "ANNA", 1, 3600);
  AddEntrant(h21, tallen, "BO/CARL", 2, 5999948);
  AddEntrant(d16, kompassen, "DORA", 3, 0);
  AddEntrant(open, tallen, "EVA", 4, 5999948);
  CloseAllCompetitionFiles();
  ASSERT_EQ(n, 1);

  std::vector<CheckLine> lines = CheckDataDirectory(data.str());
  EXPECT_EQ(Faults(data.path()), std::vector<std::string>{}) << Joined(Faults(data.path()));
  std::vector<std::string> names;
  for (const CheckLine& l : lines) names.push_back(Utf8FromWin(l.name.substr(l.name.find_last_of('/') + 1)));
  for (const char* needed : {"OLBRAX", "CLUBAR", "DISTR", "RUTBESKR", "RUTB24", "KLASS01", "OL01", "TRACK01",
                             "KONTR01", "CLUBS01.Dat", "competition 01"})
    EXPECT_NE(std::find(names.begin(), names.end(), needed), names.end()) << needed;

  const std::size_t klass = kKlassRecLen, info = kInfoRecLen;
  struct Case {
    const char* name;
    std::function<void(const fs::path&)> damage;
    const char* expected;  // "LEAF: piece of the message"
  };
  const Case cases[] = {
      {"a missing data file of a competition", [](const fs::path& d) { fs::remove(d / "KLASS01.DAT"); },
       "KLASS01: data file missing"},
      {"a symbolic link loop", [](const fs::path& d) {
         fs::remove(d / "OL01.DAT");
         fs::create_symlink("OL01.DAT", d / "OL01.DAT");
       }, "OL01: data file cannot be opened"},
      {"a missing statistics block", [](const fs::path& d) { fs::remove(d / "CLUBS01.Dat"); }, "CLUBS01.Dat: missing"},
      {"a missing shared register", [](const fs::path& d) { fs::remove(d / "RUTB24.DAT"); }, "RUTB24: data file missing"},
      {"RUTB24 is a shared register and its records are checked against its keys",
       [](const fs::path& d) {
         WithBlock(d / "RUTB24", [](FileBlock* fb) {
           std::string rec(kRoute24RecLen, '\0');
           std::int32_t r;
           isam::AddRec(fb, r, rec.data());
         });
       },
       "RUTB24: index 1: record 1"},
      {"the archive's record count lowered to 0",
       [](const fs::path& d) {
         PatchI32(d / "OLBRAX.DAT", 8, 0);
       },
       "OLBRAX: entry 1 lies beyond the record count 0"},
      {"a live record whose status word is not 0",
       [&](const fs::path& d) { PatchI32(d / "CLUBAR.DAT", static_cast<std::size_t>(tallen) * kClubRecLen, 7); },
       "CLUBAR: record 2 is live but its status word is 7"},
      {"a record without its key",
       [](const fs::path& d) {
         WithBlock(d / "OL01", [](FileBlock* fb) {
           std::string rec(kEntrantRecLen, '\0');
           std::int32_t r;
           isam::AddRec(fb, r, rec.data());
         });
       },
       "OL01: index 1: record 5"},
      {"a key without its record",
       [](const fs::path& d) { WithBlock(d / "KONTR01", [](FileBlock* fb) { isam::AddKey(fb, 1, 3, " 31"); }); },
       "KONTR01: index 1: entry \" 31\" names record 3, which is free"},
      {"a class entrant count", [&](const fs::path& d) { PatchI16(d / "KLASS01.DAT", h21 * klass + 1902, 5); },
       "competition 01: counters: class \"H21\" Count[0][0] is 5, its entrants give 2"},
      {"a stage count of the competition",
       [&](const fs::path& d) { PatchI16(d / "OLBRAX.DAT", info + 310 + 2 * 26, 0); },
       "the competition's Count[1][0] is 0, its entrants give 2"},
      {"a club's entrant count",
       [&](const fs::path& d) { PatchI16(d / "CLUBS01.Dat", 2052 + 2 * static_cast<std::size_t>(tallen), 1); },
       "ClubEntrantCount[2] is 1, the entrants give 2"},
      {"a club statistics counter",
       [&](const fs::path& d) { PatchI16(d / "CLUBS01.Dat", 5000 + 40 * static_cast<std::size_t>(tallen) + 22 + 2 * 2, 0); },
       "club statistics of club 2 counter 2 is 0, the entrants give 2"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir copy;
    fs::copy(data.path(), copy.path(), fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    c.damage(copy.path());
    std::string faults = Joined(Faults(copy.path()));
    EXPECT_NE(faults.find(c.expected), std::string::npos) << faults;
  }
}

}  // namespace
}  // namespace olbrax::test

// The import when things go wrong: a failing file call at every point of a run, a full disk,
// files that cannot be opened, records the registers cannot take, and a Swedish locale. The log
// never counts a record that is not stored, and the run says when it did only part of its work.
#include <sys/mount.h>
#include <sys/statvfs.h>

#include <cerrno>
#include <clocale>
#include <cstring>
#include <fstream>
#include <regex>

#include "base/messages.h"
#include "competition/records/club_recs.h"
#include "competition/records/cmp_club_rec.h"
#include "competition/records/definition_recs.h"
#include "competition/registers/definitions.h"
#include "competition/registers/register_find.h"
#include "competition/registers/shared_registers.h"
#include "exchange/import.h"
#include "printing/engine/log_printer.h"
#include "printing/engine/printers.h"
#include "printing/engine/recording_canvas.h"
#include "../competition/data_fixture.h"
#include "../competition/fault_loop.h"

namespace olbrax::test {
namespace {

const std::filesystem::path kDemo = std::filesystem::path(OLBRAX_EXAMPLES_DIR) / "demo";

class LogCanvas : public print::RecordingCanvas {
 public:
  explicit LogCanvas(std::vector<Text>& sink) : RecordingCanvas(4961, 7016, 600), sink_(sink) {}
  void DrawText(int x, int y, std::string_view text) override {
    RecordingCanvas::DrawText(x, y, text);
    sink_.emplace_back(text);
  }

 private:
  std::vector<Text>& sink_;
};

class ImportFaults : public DataTest {
 protected:
  void SetUp() override {
    DataTest::SetUp();
    ResetReportedStorageFailures();
    GeneralSettings.RouteFormat = 0;
    SwitchRouteFile();
    print::SetCanvasFactory([this](const print::PrinterRequest&) -> std::unique_ptr<print::Canvas> {
      return std::make_unique<LogCanvas>(log);
    });
  }
  void TearDown() override {
    if (print::LogOpen()) print::LogEnd();
    print::SetCanvasFactory(nullptr);
    DataTest::TearDown();
  }
  std::string Write(const std::string& name, const std::string& bytes) {
    WriteFileBytes(files.path() / name, bytes);
    return (files.path() / name).string();
  }
  void Import(const std::vector<std::string>& paths) {
    log.clear();
    std::vector<Text> p(paths.begin(), paths.end());
    ASSERT_TRUE(ImportFiles(nullptr, p));
  }
  bool Logged(std::string_view part) const {
    return std::any_of(log.begin(), log.end(), [&](const Text& l) { return l.find(part) != Text::npos; });
  }
  // The sum of "Adderade:" over the files of the run.
  int LoggedAdded() const {
    static const std::regex counts("^Adderade: +([0-9]+) Modifierade:");
    int added = 0;
    for (const Text& l : log) {
      std::smatch m;
      if (std::regex_search(l, m, counts)) added += std::stoi(m[1]);
    }
    return added;
  }
  // Live records of every register file of the data directory (the archive left out).
  int StoredRecords() const {
    int n = 0;
    for (const Text& block : isam::BlocksInFolder(data.str())) {
      Text leaf = UpStr(block.substr(block.find_last_of('/') + 1));
      if (leaf == "OLBRAX" || leaf.compare(0, 5, "CLUBS") == 0) continue;
      isam::BlockContents b;
      std::string error;
      if (isam::ReadBlockContents(block, b, error)) n += static_cast<int>(b.live.size());
    }
    return n;
  }

  TempDir files;
  std::vector<Text> log;
};

// Every register section with a few records, the SQLite way: the n-th file call fails, for n = 1,
// 2, ... until the import runs through. After each failure the files are intact, the log counts
// exactly what was stored, the failure was shown and logged, and the run says it was partial.
TEST_F(ImportFaults, AFailingFileCallAtEveryPointOfARun) {
  AddCompetition("Fel under import", "", 2);
  CloseAllCompetitionFiles();
  const std::string file = Write("allt.txt",
                                 "*Distrikt\r\n1,Stockholm,STO\r\n2,Uppland,UPP\r\n"
                                 "*Klubbar\r\nOK A,1,01,,,,,OKA,100.50,20\r\n-\r\n-\r\n-\r\n-\r\n"
                                 "IFK B,2,02\r\n-\r\n-\r\n-\r\n-\r\n"
                                 "*Kontroller\r\n31,,,,,,,,,1,2\r\n32\r\n"
                                 "*Banor\r\nA,4500,120,31,32\r\n"
                                 "*Klasser\r\nH21,,0,0,1,0,06:00,10:00,5,4500,A\r\nD21,,0,0,1\r\n");
  FolderCopy copy(data.path());
  const int stored_before = StoredRecords();
  const int records = 9;
  int reported = 0;
  LoopResult r = ErrorLoop(
      copy,
      [&] {
        OpenArchive();
        ReopenConfiguredCompetition();
        reported = ReportedStorageFailures();
        ui.boxes.clear();
      },
      [&] {
        Import({file});
        return LastImportRun().complete;
      },
      [&](bool complete, int n) {
        SCOPED_TRACE("failing call " + std::to_string(n));
        EXPECT_EQ(DataFaults(data.path()), "");
        EXPECT_EQ(LoggedAdded(), StoredRecords() - stored_before);
        EXPECT_EQ(log.back(), "IMPORT KLAR!");
        if (complete) {
          EXPECT_EQ(LoggedAdded(), records);
          return;
        }
        EXPECT_GT(ReportedStorageFailures(), reported);
        ASSERT_FALSE(ui.boxes.empty());
        EXPECT_TRUE(Logged(ui.boxes.back().text)) << ui.boxes.back().text;
      },
      600);
  EXPECT_TRUE(r.ended);
  EXPECT_GT(r.failures, 50);
}

// A competition from a "*Bas" record, and a ninth one: the entry and its files are made whole or
// not at all, and a full archive makes the run partial.
TEST_F(ImportFaults, ACompetitionFromAnImportIsWholeOrNotAtAll) {
  AddCompetition("Finns redan");
  CloseAllCompetitionFiles();
  const std::string file = Write("bas.txt", "*Bas\r\nArr,2027-05-20\r\nNy,300,600,,1\r\n-\r\n-\r\n-\r\n-\r\n");
  FolderCopy copy(data.path());
  const std::string before = DataContents(data.path());
  LoopResult r = ErrorLoop(
      copy,
      [&] {
        OpenArchive();
        ReopenConfiguredCompetition();
      },
      [&] {
        Import({file});
        return LastImportRun().complete;
      },
      [&](bool complete, int n) {
        SCOPED_TRACE("failing call " + std::to_string(n));
        EXPECT_EQ(DataFaults(data.path()), "");
        if (complete) return;
        EXPECT_TRUE(Logged("Adderade:   0"));
        EXPECT_FALSE(std::filesystem::exists(data.path() / "KLASS02.DAT"));
        EXPECT_EQ(DataContents(data.path()), before);
      });
  EXPECT_TRUE(r.ended);
  EXPECT_GT(r.failures, 20);

  copy.Restore();
  OpenArchive();
  for (int i = 2; i <= 8; ++i) AddCompetition("T" + std::to_string(i));
  Import({file});
  EXPECT_FALSE(LastImportRun().complete);
  EXPECT_EQ(ui.boxes.back().text, "Max antal t\xE4vlingar uppn\xE5tt kan ej addera!");
  EXPECT_EQ(ArchiveCount, 8);
}

// A full disk for real: a small file system, filled up while the 64 clubs of the demo go in.
// The import stops at the first club that does not fit, says that the disk is full, and the log
// counts the clubs that are in the file.
class Tmpfs {
 public:
  explicit Tmpfs(const std::filesystem::path& at) : at_(at) {
    mounted_ = ::mount("olbrax-test", at.c_str(), "tmpfs", 0, "size=1m") == 0;
    error_ = errno;
  }
  ~Tmpfs() {
    if (mounted_) ::umount2(at_.c_str(), MNT_DETACH);
  }
  bool mounted() const { return mounted_; }
  int error() const { return error_; }

 private:
  std::filesystem::path at_;
  bool mounted_ = false;
  int error_ = 0;
};

TEST_F(ImportFaults, ADiskThatFillsUpDuringTheImport) {
  TempDir small;
  Tmpfs fs(small.path());
  if (!fs.mounted())
    GTEST_SKIP() << "a small file system needs root (mount of tmpfs: " << std::strerror(fs.error())
                 << "); the fault injector covers the full disk in the other tests";
  CloseAllCompetitionFiles();
  GeneralSettings.DataDirectory.set(small.str());
  ui.default_answer = platform::kYes;
  ASSERT_TRUE(CreateArchiveFiles());
  AddCompetition("Liten disk");
  // Leave room for a few clubs only.
  {
    struct statvfs st {};
    ASSERT_EQ(::statvfs(small.str().c_str(), &st), 0);
    std::uint64_t free = static_cast<std::uint64_t>(st.f_bavail) * st.f_frsize;
    std::ofstream filler(small.path() / "fyllnad", std::ios::binary);
    std::string block(4096, 'x');
    for (std::uint64_t left = free; left > 20 * 1024; left -= block.size()) filler.write(block.data(), block.size());
  }
  Import({(kDemo / "klubbar.txt").string()});
  EXPECT_FALSE(LastImportRun().complete);
  ASSERT_FALSE(ui.boxes.empty());
  EXPECT_NE(ui.boxes.back().text.find("skivan \xE4r full"), std::string::npos) << ui.boxes.back().text;
  EXPECT_TRUE(Logged(ui.boxes.back().text));
  CloseAllCompetitionFiles();
  std::filesystem::remove(small.path() / "fyllnad");
  EXPECT_EQ(DataFaults(small.path()), "");
  isam::BlockContents clubs;
  std::string error;
  ASSERT_TRUE(isam::ReadBlockContents(small.str() + "/CLUBAR", clubs, error)) << error;
  EXPECT_LT(clubs.live.size(), 64u);
  EXPECT_EQ(LoggedAdded(), static_cast<int>(clubs.live.size()));
  GeneralSettings.DataDirectory.set(data.str());
}

// Keys the registers could not keep apart: an empty key is looked up as the "XXX" it is stored
// under, so a second one modifies the first; an empty club name does not match the first club;
// a name longer than 30 characters matches its stored 30; district 100 is not district 10.
TEST_F(ImportFaults, KeysThatWouldCollideOrBeCut) {
  AddCompetition("Nycklar");
  const std::string long_name = "IDROTTSF\xD6RENINGEN KAMRATERNA OL-SEKTION";  // 38 characters
  Import({Write("a.txt", "*Distrikt\r\n10,Tio,TIO\r\n100,Hundra,HUN\r\n0,Noll,NOL\r\n"
                         "*Klubbar\r\nOK F\xD6RST,1\r\n-\r\n-\r\n-\r\n-\r\n" +
                             long_name + ",2\r\n-\r\n-\r\n-\r\n-\r\n,3\r\n-\r\n-\r\n-\r\n-\r\n" + long_name +
                             ",4\r\n-\r\n-\r\n-\r\n-\r\n"
                             "*Kontroller\r\n,,,,\r\n,,,,,,,,,5,6\r\n")});
  EXPECT_TRUE(Logged("Distriktsnummer utanf\xF6r 1..99: \"100\" Hundra"));
  EXPECT_TRUE(Logged("Distriktsnummer utanf\xF6r 1..99: \"0\" Noll"));
  EXPECT_FALSE(LastImportRun().complete);
  std::int32_t ref = 0;
  bool at_end, found;
  FindDistrict(kFindExact, "10", ref, at_end, found);
  ASSERT_TRUE(found);
  EXPECT_EQ(DistrRec.Dname.get(), "Tio");
  EXPECT_EQ(UsedRecs(DistrFile), 1);

  EXPECT_EQ(UsedRecs(ClubFile), 3);  // OK FÖRST, the long name once, XXX
  FindClub(kFindExact, "OK F\xD6RST", ref, at_end, found);
  ASSERT_TRUE(found);
  EXPECT_EQ(ClubRec.ClubNumber, 1);
  FindClub(kFindExact, long_name.substr(0, 30), ref, at_end, found);
  ASSERT_TRUE(found);
  EXPECT_EQ(ClubRec.ClubNumber, 4);
  FindClub(kFindExact, "", ref, at_end, found);
  ASSERT_TRUE(found);
  EXPECT_EQ(ClubRec.ClubNumber, 3);

  OpenDefinitions();
  EXPECT_EQ(UsedRecs(KontrFile), 1);
  FindControl(kFindExact, "", ref, at_end, found);
  ASSERT_TRUE(found);
  EXPECT_EQ(KontrRec.posX, 5);
  EXPECT_TRUE(Logged("Adderade:   5 Modifierade:   2 Rader:  "));
  CloseAllCompetitionFiles();
  EXPECT_EQ(DataFaults(data.path()), "");
}

// Files that are not read: a folder named like an exchange file, and (as the last file of the
// run) one that cannot be opened. The run still ends its log, and says it was partial.
TEST_F(ImportFaults, AFileThatCannotBeOpenedEndsTheRunAndItsLog) {
  AddCompetition("Mapp");
  std::filesystem::create_directory(files.path() / "mapp.txt");
  Import({Write("d.txt", "*Distrikt\r\n3,Tre,TRE\r\n"), (files.path() / "mapp.txt").string()});
  EXPECT_FALSE(print::LogOpen());
  EXPECT_EQ(log.back(), "IMPORT KLAR!");
  EXPECT_TRUE(Logged("Kan ej \xF6ppna IxportFile: \"" + (files.path() / "mapp.txt").string() + "\" " + MsgText(5)));
  EXPECT_FALSE(LastImportRun().complete);
  EXPECT_TRUE(Logged("Adderade:   1 Modifierade:   0"));
}

// Sections whose competition files are not open stop the file with a message, never silently.
TEST_F(ImportFaults, ClassesWithoutACompetitionAreRefusedAloud) {
  ASSERT_EQ(CurrentCompetition, 0);
  Import({Write("k.txt", "*Klasser\r\nH21,,0,0,1\r\n")});
  EXPECT_TRUE(Logged("Ingen t\xE4vling vald: \"*Klasser\" kan inte importeras"));
  EXPECT_FALSE(LastImportRun().complete);
  EXPECT_TRUE(LastImportRun().no_competition);
  // With a competition the same file goes in whole.
  AddCompetition("Nu finns en");
  Import({Write("k.txt", "*Klasser\r\nH21,,0,0,1\r\n")});
  EXPECT_TRUE(LastImportRun().complete);
  EXPECT_TRUE(Logged("Adderade:   1"));
}

// Qt sets the user's locale, whose decimal point may be a comma: numbers are read and written
// the same whatever it is. (scripts/install-deps generates sv_SE.UTF-8 for this test.)
TEST_F(ImportFaults, FeesUnderASwedishLocale) {
  std::string saved = std::setlocale(LC_ALL, nullptr);
  ASSERT_NE(std::setlocale(LC_ALL, "sv_SE.UTF-8"), nullptr) << "the locale sv_SE.UTF-8 is missing: run scripts/install-deps";
  AddCompetition("Avgifter");
  Import({Write("c.txt", "*Klubbar\r\nOK AVGIFT,1,01,,,,,AVG,150.50,75.25\r\n-\r\n-\r\n-\r\n-\r\n")});
  std::int32_t ref = 0;
  bool at_end, found;
  FindClub(kFindExact, "OK AVGIFT", ref, at_end, found);
  ASSERT_TRUE(found);
  EXPECT_DOUBLE_EQ(ClubAmount(ref, 1), 150.5);
  EXPECT_DOUBLE_EQ(ClubAmount(ref, 2), 75.25);
  EXPECT_EQ(RealStr(ClubAmount(ref, 1), 8), "  150.50");
  EXPECT_EQ(RealZeroStr(-1.5, 6), "-01.50");
  std::setlocale(LC_ALL, saved.c_str());
}

}  // namespace
}  // namespace olbrax::test

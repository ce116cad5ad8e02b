// Bad input: random and mutated exchange files, overlong lines, register limits. Every import
// must end normally and leave files whose records and indexes agree.
#include <algorithm>
#include <filesystem>
#include <random>

#include "base/messages.h"
#include "competition/records/class_rec.h"
#include "competition/data_dir_check.h"
#include "competition/records/definition_recs.h"
#include "competition/records/entrant_rec.h"
#include "competition/registers/entrants.h"
#include "competition/records_check.h"
#include "competition/registers/definitions.h"
#include "competition/registers/register_find.h"
#include "competition/registers/shared_registers.h"
#include "exchange/import.h"
#include "printing/engine/printers.h"
#include "printing/engine/recording_canvas.h"
#include "storage/block_check.h"
#include "../competition/data_fixture.h"

namespace olbrax::test {
namespace {

const std::filesystem::path kDemo = std::filesystem::path(OLBRAX_EXAMPLES_DIR) / "demo";

class BadInputTest : public DataTest {
 protected:
  void SetUp() override {
    DataTest::SetUp();
    print::SetCanvasFactory([](const print::PrinterRequest&) -> std::unique_ptr<print::Canvas> {
      return std::make_unique<print::RecordingCanvas>(4961, 7016, 600);
    });
    AddCompetition("Prov", "", 2);
  }
  void TearDown() override {
    print::SetCanvasFactory(nullptr);
    DataTest::TearDown();
  }
  void ImportBytes(const std::string& name, const std::string& bytes) {
    WriteFileBytes(dir.path() / name, bytes);
    ImportFiles(nullptr, {(dir.path() / name).string()});
  }
  // Closes everything and checks every file block of the data directory.
  void ExpectIntact() {
    CloseAllCompetitionFiles();
    for (const Text& block : isam::BlocksInFolder(data.str())) {
      if (block.find("CLUBS") != Text::npos) continue;
      isam::CheckResult r = isam::CheckBlock(block);
      if (r.ok && KnowsRecordKeys(block)) r = CheckRecordKeys(block);
      EXPECT_TRUE(r.ok) << block << ": " << r.message;
    }
    OpenArchive();
    ReopenConfiguredCompetition();
  }
  TempDir dir;
};

TEST_F(BadInputTest, RandomAndMutatedFilesNeverBreakTheData) {
  std::mt19937 rng(99);
  std::vector<std::string> demo;
  for (const char* f : {"klubbar.txt", "distrikt.txt", "kontroller.txt", "banor.txt", "klasser.txt", "rutb24.txt",
                        "namn.txt", "resultat.txt"})
    demo.push_back(ReadFileBytes(kDemo / f));
  // Random bytes.
  for (int i = 0; i < 8; ++i) {
    std::string bytes(1000 + rng() % 4000, '\0');
    for (char& c : bytes) c = static_cast<char>(rng());
    ImportBytes("slump" + std::to_string(i) + ".txt", bytes);
  }
  // Demo files with flipped bytes, cut short, or lines doubled.
  for (int i = 0; i < 48; ++i) {
    std::string bytes = demo[static_cast<std::size_t>(i) % demo.size()];
    switch (i % 3) {
      case 0:
        for (int k = 0; k < 20; ++k) bytes[rng() % bytes.size()] = static_cast<char>(rng());
        break;
      case 1: bytes.resize(rng() % bytes.size()); break;
      default: {
        std::size_t at = rng() % bytes.size();
        bytes.insert(at, bytes.substr(at, std::min<std::size_t>(200, bytes.size() - at)));
      }
    }
    ImportBytes("mutant" + std::to_string(i) + ".txt", bytes);
  }
  ExpectIntact();
  CloseAllCompetitionFiles();
  EXPECT_EQ(CheckCompetitionCounters(data.str(), 1), "");
}

// Entry and result lines that are wrong in every way the users' files are: each gives its
// message, nothing breaks, and the counters agree with the entrants afterwards.
TEST_F(BadInputTest, BadEntryAndResultLines) {
  ImportBytes("klasser.txt", ReadFileBytes(kDemo / "klasser.txt"));
  ImportBytes("fel.txt",
              "*Namn\r\n"
              "\r\nOK A\r\n,\r\n,,,,,,,,\r\n"          // missing fields
              "OK A,H21,A,,1x0,,,,12\r\n"                 // letters in a start time
              "OK A,H21,B,,,,,,99999\r\n"                 // a start number over 9999
              "OK A,H21,C,,,,063:75,,13\r\n"              // 75 seconds in a finish clock
              "OK A,H21,D,,,,,,13\r\n"
              "*Resultat\r\n"
              "13 06015\r\n13 06115\r\n"                  // a result twice
              "13 061x5\r\n14 06000\r\n13 06075\r\n1234567890123456 1\r\n x\r\n"
              "*Emitresultat\r\n13 0 0\r\n13 996 99\r\n99999 1 1\r\n");
  auto shown = [&](std::string_view part) {
    return std::any_of(ui.message_lines.begin(), ui.message_lines.end(),
                       [&](const std::string& m) { return m.find(part) != std::string::npos; });
  };
  EXPECT_TRUE(shown("0013 har redan tid \xE4ndring sker!"));
  EXPECT_TRUE(shown("Ok\xE4nt startnummer...0014"));
  EXPECT_TRUE(shown("M\xE5ltiden felaktig/saknas (nr mmmss) 13 06075"));
  EXPECT_TRUE(shown("Tiden felaktig/saknas (nr mmmss) 13 0 0"));
  EXPECT_TRUE(shown("Ok\xE4nt startnummer...0000"));
  std::int32_t ref = 0;
  bool at_end, found;
  FindEntrant(kFindExact, "0013", ref, at_end, found);
  ASSERT_TRUE(found);
  EXPECT_EQ(EntrantRec.FinishTime[0][0], 5999942);  // 996 minutes: UTGÅTT, whatever the seconds
  ExpectIntact();
  CloseAllCompetitionFiles();
  EXPECT_EQ(CheckCompetitionCounters(data.str(), 1), "");
}

TEST_F(BadInputTest, TheEntrantLimit) {
  ImportBytes("klasser.txt", ReadFileBytes(kDemo / "klasser.txt"));
  std::string lines = "*Namn\r\n";
  for (int i = 1; i <= 3201; ++i) lines += "OK A,H21,L" + std::to_string(i) + "\r\n";
  ImportBytes("manga.txt", lines);
  EXPECT_EQ(UsedRecs(EntrantFile), 3200);
  EXPECT_FALSE(LastImportRun().complete);
  EXPECT_NE(std::find(ui.message_lines.begin(), ui.message_lines.end(), "Max antal [3200] namn uppn\xE5tt kan ej addera!"),
            ui.message_lines.end());
  ExpectIntact();
}

TEST_F(BadInputTest, LongLinesAndLimits) {
  // A line of 10 000 characters: cut to 255, imported as one club.
  ImportBytes("lang.txt", "*Klubbar\r\n" + std::string(10000, 'K') + "\r\na\r\nb\r\nc\r\nd\r\n");
  std::int32_t ref = 0;
  bool at_end, found;
  FindClub(kFindFrom, "K", ref, at_end, found);
  EXPECT_TRUE(found);

  // 36 codes on a course: 35 are kept and the rest reported.
  std::string course = "*Banor\r\nLANG,5000,100";
  for (int i = 0; i < 36; ++i) course += "," + std::to_string(100 + i);
  ImportBytes("bana.txt", course + "\r\n");
  CloseCompetition();
  OpenDefinitions();
  FindCourse(kFindExact, "LANG", ref, at_end, found);
  ASSERT_TRUE(found);
  EXPECT_EQ(TrackRec.Antal, 35);
  CloseDefinitions();
  OpenCompetition();

  // 901 clubs: the 900 are kept, the next is refused with its message.
  std::string clubs = "*Klubbar\r\n";
  for (int i = 0; i < 901; ++i) clubs += "KLUBB " + std::to_string(1000 + i) + "\r\n-\r\n-\r\n-\r\n-\r\n";
  ImportBytes("klubbar.txt", clubs);
  EXPECT_EQ(UsedRecs(ClubFile), 900);
  EXPECT_FALSE(LastImportRun().complete);  // a limit reached: the run did only part of its work
  EXPECT_EQ(ui.message_lines.back().rfind("Import/export av", 0), 0u);
  EXPECT_NE(std::find(ui.message_lines.begin(), ui.message_lines.end(), "Max antal klubbar uppn\xE5tt kan ej addera!"),
            ui.message_lines.end());  // shown, even though later lines followed it
  FindClub(kFindFrom, "K", ref, at_end, found);
  EXPECT_TRUE(found);  // the first club is still there
  ExpectIntact();
}

TEST_F(BadInputTest, ACancelEndsTheRun) {
  std::vector<Text> paths;
  for (const char* f : {"klubbar.txt", "distrikt.txt", "kontroller.txt"}) paths.push_back((kDemo / f).string());
  ui.RequestCancel();  // pressed while the first file is read
  ImportFiles(&ui, paths);  // the progress window, which has the cancel button, needs an owner
  EXPECT_EQ(UsedRecs(DistrFile), 0);  // the second file was never read
  EXPECT_FALSE(LastImportRun().complete);
}

}  // namespace
}  // namespace olbrax::test

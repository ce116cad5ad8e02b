// Exporting entrants and clubs: the round trip of the demo competition into a new competition,
// the passes and draw identifiers, the direct export's stage, and a disk that fills up.
#include <algorithm>
#include <cerrno>
#include <map>

#include "base/messages.h"
#include "competition/records/class_rec.h"
#include "competition/records/club_recs.h"
#include "competition/records/entrant_rec.h"
#include "competition/registers/definitions.h"
#include "competition/registers/entrants.h"
#include "competition/registers/register_find.h"
#include "competition/registers/shared_registers.h"
#include "exchange/export.h"
#include "exchange/import.h"
#include "printing/engine/printers.h"
#include "printing/engine/recording_canvas.h"
#include "storage/file_hooks.h"
#include "../competition/data_fixture.h"

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

// What an entrant is, as another competition can compare it: everything but record numbers.
struct Seen {
  Text name, club, klass, start, finish, run;
  bool operator==(const Seen&) const = default;
};

class ExportTest : public DataTest {
 protected:
  void SetUp() override {
    DataTest::SetUp();
    print::SetCanvasFactory([this](const print::PrinterRequest&) -> std::unique_ptr<print::Canvas> {
      return std::make_unique<LogCanvas>(log);
    });
  }
  void TearDown() override {
    disk::SetFileHooks(nullptr);
    print::SetCanvasFactory(nullptr);
    DataTest::TearDown();
  }
  void Import(const std::vector<std::string>& paths) {
    std::vector<Text> p(paths.begin(), paths.end());
    ASSERT_TRUE(ImportFiles(nullptr, p));
  }
  std::string Demo(const char* name) { return (kDemo / name).string(); }
  std::string Out(const std::string& name) { return (files.path() / name).string(); }
  // The entrants of the current competition by start number.
  std::map<Text, Seen> Entrants() {
    std::map<Text, Seen> out;
    for (std::int32_t ref = 1; ref < FileLen(EntrantFile); ++ref) {
      std::int32_t r = ref;
      bool at_end, found;
      FindEntrant(kFindRecord, "", r, at_end, found);
      if (!found) continue;
      TEntrantRec e = EntrantRec;
      r = e.ClassRef;
      FindClassByName(kFindRecord, "", r, at_end, found);
      r = e.ClubRef;
      FindClub(kFindRecord, "", r, at_end, found);
      out[e.StartNumber.get()] = {UpStr(e.StageName[0].get()), ClubRec.ClubName.get(), KlassRec.Bet.get(),
                                  std::to_string(e.StartTime[0] + KlassRec.FrstStTid[0]),
                                  std::to_string(e.FinishTime[0][0]), std::to_string(e.RunTime[1][0])};
    }
    return out;
  }

  TempDir files;
  std::vector<Text> log;
};

TEST_F(ExportTest, TheDemoGoesOutAndComesBackTheSame) {
  Import({Demo("tavling.txt"), Demo("klubbar.txt"), Demo("klasser.txt"), Demo("namn.txt"), Demo("resultat.txt")});
  ASSERT_TRUE(CompetitionOpen);
  std::map<Text, Seen> before = Entrants();
  ASSERT_EQ(before.size(), 820u);
  ASSERT_TRUE(ExportEntrantsTo(nullptr, Out("deltagare.ol"), false, 0));
  ASSERT_TRUE(ExportClubsTo(nullptr, Out("klubbar.ol"), false));

  std::string bytes = ReadFileBytes(Out("deltagare.ol"));
  // Nothing drawn: one pass of all entries, no draw identifiers, then the highest stage.
  EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '*'), 2);
  EXPECT_NE(bytes.find("\r\n*Namn\r\n"), std::string::npos);
  EXPECT_NE(bytes.find("\r\n*Maxdag=01\r\n"), std::string::npos);
  EXPECT_EQ(bytes.find("Lottad"), std::string::npos);
  std::string clubs = ReadFileBytes(Out("klubbar.ol"));
  EXPECT_NE(clubs.find("\r\n*Klubbar\r\n"), std::string::npos);
  // A club with entrants: its number, its fees (the clubs came in before the competition, so
  // none) and the mark; then its four address lines.
  EXPECT_NE(clubs.find("OK Ravinen,00100,01,0,0,01,0,RAV,0.00,0.00,#\r\nKlubbstugan Ravinen,,,\r\n"),
            std::string::npos);

  // A new competition with the same classes takes the files back: the same entrants.
  Import({Demo("tavling.txt"), Demo("klasser.txt"), Out("klubbar.ol"), Out("deltagare.ol")});
  ASSERT_EQ(CurrentCompetition, 2);
  EXPECT_FALSE(std::any_of(log.begin(), log.end(), [](const Text& l) { return l.find("Felaktig") != Text::npos; }));
  EXPECT_EQ(Entrants(), before);
  EXPECT_EQ(UsedRecs(ClubFile), 64);  // every club found again, none added
}

TEST_F(ExportTest, DrawnClassesExportOrdinaryAndLateEntriesInTwoPasses) {
  AddCompetition("Lottad", "", 2);
  InfoRec.gemen = 0;
  Import({Demo("klasser.txt")});
  std::string file = (files.path() / "anm.txt").string();
  WriteFileBytes(file, "*Namn\r\nOK A,H21,ORDINARIE,,,,,,1\r\n*KlubbLottad\r\n*Namn\r\nOK A,H21,EFTER,,,,,,2\r\n");
  Import({file});
  ASSERT_TRUE(ExportEntrantsTo(nullptr, Out("ut.ol"), false, 0));
  std::string bytes = ReadFileBytes(Out("ut.ol"));
  std::size_t first = bytes.find("*Namn\r\nOK A,H21,ORDINARIE,");
  std::size_t flags = bytes.find("*KlubbLottad\r\n*Maxdag=00\r\n*Namn\r\nOK A,H21,EFTER,");
  EXPECT_NE(first, std::string::npos);
  EXPECT_NE(flags, std::string::npos);
  EXPECT_LT(first, flags);
  // The direct export of stage 1: open classes only.
  ASSERT_TRUE(ExportEntrantsTo(nullptr, Out("direkt.ol"), true, 1));
  std::string direct = ReadFileBytes(Out("direkt.ol"));
  EXPECT_NE(direct.find("; \xD6ppna och direktklasser, endast direktmodulen\r\n"), std::string::npos);
  EXPECT_NE(direct.find("*DirektNamn\r\n"), std::string::npos);
  EXPECT_EQ(direct.find("ORDINARIE"), std::string::npos);  // H21 is no open class
}

TEST_F(ExportTest, TheStageQuestionOfTheDirectExport) {
  AddCompetition("Tre dagar", "", 3);
  ui.chosen_files = {Out("direkt.ol")};
  // Escape on the number question: nothing is written.
  EXPECT_FALSE(ExportEntrants(nullptr, true));
  EXPECT_FALSE(std::filesystem::exists(Out("direkt.ol")));
  ui.numbers = {2};
  EXPECT_TRUE(ExportEntrants(nullptr, true));
  EXPECT_EQ(InfoRec.DagStr, 2);
  EXPECT_TRUE(std::filesystem::exists(Out("direkt.ol")));
}

// A disk that fills up during the export: the export stops at the failed write, says so, and
// leaves no file that looks finished.
TEST_F(ExportTest, AFullDiskStopsTheExportAndRemovesTheFile) {
  Import({Demo("tavling.txt"), Demo("klubbar.txt"), Demo("klasser.txt"), Demo("namn.txt")});
  for (bool clubs : {false, true}) {
    disk::FaultInjector full;
    full.Arm(disk::FileOp::Write, 40, ENOSPC);
    disk::SetFileHooks(&full);
    ui.boxes.clear();
    bool ok = clubs ? ExportClubsTo(nullptr, Out("ut.ol"), false) : ExportEntrantsTo(nullptr, Out("ut.ol"), false, 0);
    disk::SetFileHooks(nullptr);
    EXPECT_FALSE(ok);
    EXPECT_TRUE(full.Fired());
    EXPECT_FALSE(std::filesystem::exists(Out("ut.ol")));
    ASSERT_FALSE(ui.boxes.empty());
    EXPECT_NE(ui.boxes.back().text.find("skivan \xE4r full"), Text::npos) << ui.boxes.back().text;
    EXPECT_NE(ui.boxes.back().text.find("borttagen"), Text::npos);
  }
}

}  // namespace
}  // namespace olbrax::test

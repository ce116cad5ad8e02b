// Entries and results from exchange files: the entry lines with their start numbers, start
// times and log lines, the registration of results with the results log, and the same under a
// failing file call at every point.
#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <regex>

#include "base/messages.h"
#include "competition/data_dir_check.h"
#include "competition/records/class_rec.h"
#include "competition/records/club_recs.h"
#include "competition/records/entrant_rec.h"
#include "competition/registers/definitions.h"
#include "competition/registers/entrants.h"
#include "competition/registers/register_find.h"
#include "competition/registers/shared_registers.h"
#include "exchange/import.h"
#include "printing/engine/log_printer.h"
#include "printing/engine/printers.h"
#include "printing/engine/recording_canvas.h"
#include "printing/results_log.h"
#include "storage/disk_file.h"
#include "storage/file_hooks.h"
#include "../competition/data_fixture.h"
#include "../competition/fault_loop.h"

namespace olbrax::test {
namespace {

class TextCanvas : public print::RecordingCanvas {
 public:
  explicit TextCanvas(std::vector<Text>& sink) : RecordingCanvas(4961, 7016, 600), sink_(sink) {}
  void DrawText(int x, int y, std::string_view text) override {
    RecordingCanvas::DrawText(x, y, text);
    sink_.emplace_back(text);
  }

 private:
  std::vector<Text>& sink_;
};

// One class of one stage: first start at minute 60 (or `first`), 4500 m, 5:00 to 9:00 per km,
// interval 60 s, one starter per time.
std::string ClassLine(const std::string& name, int first = 60) {
  return name + ",,0,0,1,0,05:00,09:00," + std::to_string(first) + ",4500,A,60,1,1,1,1,0,3,3,\r\n";
}

class EntriesTest : public DataTest {
 protected:
  void SetUp() override {
    DataTest::SetUp();
    ResetReportedStorageFailures();
    print::SetCanvasFactory([this](const print::PrinterRequest& r) -> std::unique_ptr<print::Canvas> {
      titles.push_back(r.title);
      return std::make_unique<TextCanvas>(log);
    });
  }
  void TearDown() override {
    SetResultsLogForRun(false);
    if (print::LogOpen()) print::LogEnd();
    print::SetCanvasFactory(nullptr);
    DataTest::TearDown();
  }
  std::int32_t Competition(int stages = 1) {
    std::int32_t n = AddCompetition("Prov", "", stages);
    InfoRec.gemen = 0;  // names as they are stored
    return n;
  }
  std::string Write(const std::string& name, const std::string& bytes) {
    WriteFileBytes(files.path() / name, bytes);
    return (files.path() / name).string();
  }
  void Import(const std::string& bytes) {
    log.clear();
    ASSERT_TRUE(ImportFiles(nullptr, {Write("in.txt", bytes)}));
  }
  bool Logged(const Text& line) const { return std::find(log.begin(), log.end(), line) != log.end(); }
  bool LoggedPart(std::string_view part) const {
    return std::any_of(log.begin(), log.end(), [&](const Text& l) { return l.find(part) != Text::npos; });
  }
  std::size_t At(std::string_view part) const {
    auto it = std::find_if(log.begin(), log.end(), [&](const Text& l) { return l.find(part) != Text::npos; });
    return static_cast<std::size_t>(it - log.begin());
  }
  bool Entrant(const std::string& number) {
    std::int32_t ref = 0;
    bool at_end, found;
    FindEntrant(kFindExact, number, ref, at_end, found);
    return found;
  }
  // The counters kept beside the entrants agree with them, as the check command finds.
  std::string CounterFaults() {
    CloseAllCompetitionFiles();
    std::string faults = CheckCompetitionCounters(data.str(), CurrentCompetition) + DataFaults(data.path());
    OpenArchive();
    ReopenConfiguredCompetition();
    return faults;
  }

  TempDir files;
  std::vector<Text> log;
  std::vector<Text> titles;
};

TEST_F(EntriesTest, EntryLinesTheirStartNumbersAndLogLines) {
  Competition();
  ui.answers = {platform::kNo, platform::kYes};  // the two questions for the missing class D99
  Import("*Klasser\r\n" + ClassLine("H21") +
         "*Namn\r\n"
         "OK A,H21,ANNA A\r\n"            // no number: the entrant file's length, 1
         "OK A,H21,BO B,,,,7\r\n"
         "OK A,H21,CE C,,,,7\r\n"         // the number is taken
         "OK A,D99,DO D,,,,9\r\n"         // missing class, answered No
         "OK A,D99,EVA E,,,,10\r\n"       // answered Yes: the class is made
         "OK A,H21,FIA F,,,,12a\r\n"      // not a number
         "OK A,H21,GUN G,,,,10000\r\n"    // five digits
         "OK A,H21,HANS H\r\n"            // the first free number from the file's length, 4
         "LAG*LAGNAMN=X,H21,ZZ\r\n");
  EXPECT_TRUE(Logged(".added  Felaktig odefinierad klubb: H21 dNr:   1  OK A  ANNA A  "));
  EXPECT_TRUE(Logged(".passed Felaktig startnummer: H21 dNr:   7  OK A  CE C  "));
  EXPECT_TRUE(Logged(".passed Felaktig Klass: D99 dNr:   9  OK A  DO D  "));
  EXPECT_TRUE(Logged(".added  Felaktig Klass: D99 dNr:  10  OK A  EVA E  "));
  EXPECT_TRUE(Logged(".passed Felaktig startnummer: H21 dNr:   0  OK A  FIA F  "));
  EXPECT_TRUE(LoggedPart(".passed Felaktig startnummer: H21 dNr:1000  OK A  GUN G"));
  EXPECT_TRUE(Logged("Adderade:   5 Modifierade:   0 Rader:  12"));
  EXPECT_FALSE(LastImportRun().complete);  // lines were refused
  for (const char* n : {"0001", "0007", "0010", "0004"}) EXPECT_TRUE(Entrant(n)) << n;
  EXPECT_FALSE(Entrant("0009"));
  EXPECT_EQ(UsedRecs(EntrantFile), 4);
  std::int32_t ref = 0;
  bool at_end, found;
  FindEntrant(kFindExact, "0007", ref, at_end, found);
  EXPECT_EQ(EntrantRec.StageName[0].get(), "BO B");
  EXPECT_EQ(EntrantRec.EntryNumber, 7);
  EXPECT_EQ(EntrantRec.EntrantCourse[0].get(), "A");
  FindClassByName(kFindExact, "H21", ref, at_end, found);
  EXPECT_EQ(KlassRec.Count[0][0], 3);
  EXPECT_EQ(CounterFaults(), "");
}

TEST_F(EntriesTest, StartTimesFromTheEntryCounters) {
  Competition(3);
  // Three stages, interval 120 s, two starters per start time; the draw opens the counters.
  Import("*Klasser\r\n"
         "H21,,0,0,3,0,05:00,09:00,60,70,80,4500,4500,4500,A,A,A,120,120,120,2,2,2,1,1,1,1,1,1,1,1,1,0,0,0,3,3,3,3,,,\r\n"
         "*KlubbLottad\r\n"
         "*Namn\r\n"
         "OK A,H21,A1,,,,,,,,5\r\n"          // no start times: a place before the first start
         "OK A,H21,A2,,,,,,,,6\r\n"
         "OK A,H21,A3,,600,,700,,,,7\r\n"   // stages 1 and 3 given, 2 defaulted
         "OK A,H21,A4,,610,620,710,,,,9\r\n");
  std::int32_t ref = 0;
  bool at_end, found;
  FindEntrant(kFindExact, "0005", ref, at_end, found);
  EXPECT_EQ(EntrantRec.StartTime[0], -120);  // -((1 div 2) + 1) * 120
  EXPECT_TRUE(EntrantRec.Counted);
  FindEntrant(kFindExact, "0006", ref, at_end, found);
  EXPECT_EQ(EntrantRec.StartTime[2], -240);  // -((2 div 2) + 1) * 120
  FindEntrant(kFindExact, "0007", ref, at_end, found);
  EXPECT_EQ(EntrantRec.StartTime[0], 600 * 60 - 3600);
  EXPECT_EQ(EntrantRec.StartTime[1], 0);
  EXPECT_EQ(EntrantRec.StartTime[2], 700 * 60 - 4800);
  EXPECT_TRUE(Logged(".added  Varning! default starttid riktig? 000: H21 dNr:   7  OK A  A3  "));
  EXPECT_EQ(InfoRec.StTidCount[2], 710 * 60);
  FindClassByName(kFindExact, "H21", ref, at_end, found);
  EXPECT_EQ(KlassRec.eftAnm[0], 2);  // the entrant with start times is not counted in advance

  // Late entries: after the class's entrants, by the ordinary counter.
  InfoRec.eftstartl = 1;
  Import("*Namn\r\nOK A,H21,L1,,,,,,,,8\r\n");
  FindEntrant(kFindExact, "0008", ref, at_end, found);
  EXPECT_EQ(EntrantRec.StartTime[0], 120);  // ((4 entrants - ordinary counter 2) div 2) * 120
  EXPECT_EQ(CounterFaults(), "");
}

TEST_F(EntriesTest, ResultsAndTheResultsLog) {
  Competition();
  SetResultsLogForRun(true);
  Import("*Klasser\r\n" + ClassLine("H21") + ClassLine("D21", 62) +
         "*Namn\r\nOK A,H21,ANNA A,,,,1\r\nOK A,H21,BO B,,,,2\r\nOK A,H21,CE C,,,,3\r\nOK A,D21,DO D,,,,4\r\n"
         "*Resultat\r\n1 08100\r\n2 DISKVAL\r\n1 08200\r\n9 08000\r\n3 08160\r\n4 DISKVAL\r\n3 08130\r\n");
  EXPECT_NE(std::find(titles.begin(), titles.end(), "OlBraxW:resultatlogg"), titles.end());
  // A replaced result: the old line, the message, the new line.
  std::size_t old_line = At("     -0001- H21       ANNA A                   OK A                     060       081:00    021:00   ");
  ASSERT_LT(old_line + 2, log.size());
  EXPECT_EQ(log[old_line + 1], "     0001 har redan tid \xE4ndring sker!");
  EXPECT_EQ(log[old_line + 2], "     +0001+ H21       ANNA A                   OK A                     060       082:00    022:00   ");
  EXPECT_TRUE(Logged("     Ok\xE4nt startnummer...0009 M\xE5ltid: 08000"));
  EXPECT_TRUE(Logged("     M\xE5ltiden felaktig/saknas (nr mmmss) 3 08160"));
  // D21 is complete with a disqualified runner only: no preliminary winner is announced.
  EXPECT_TRUE(LoggedPart("    ---------------    1..D21 klar!! "));
  EXPECT_FALSE(LoggedPart("Prel.1:a D21"));
  // The last result completes H21 and the competition.
  std::size_t last = At("      0003  H21       CE C                     OK A                     060       081:30    021:30   ");
  ASSERT_LT(last + 4, log.size());
  EXPECT_EQ(log[last + 1].rfind("    ---------------    0..H21 klar!! ", 0), 0u);
  EXPECT_EQ(log[last + 2].rfind("    Prel.1:a H21 0001 ANNA A OK A 022 -----", 0), 0u);
  EXPECT_EQ(log[last + 3].rfind("    ---------------    0..T\xE4vlingen klar!! ", 0), 0u);
  EXPECT_EQ(log[last + 4].rfind("    ---------------    0.. ", 0), 0u);
  EXPECT_TRUE(LoggedPart("    Logg dag:1 \""));
  EXPECT_TRUE(LoggedPart("    DatorId: \""));
  EXPECT_TRUE(Logged("LOGGLISTA IMPORT"));  // the import log goes on after the results
  EXPECT_NE(std::find(ui.message_lines.begin(), ui.message_lines.end(), "Klassen \"H21\" klar..! Dag/Str\xE4" "cka 01"),
            ui.message_lines.end());
  EXPECT_NE(std::find(ui.message_lines.begin(), ui.message_lines.end(), "T\xE4vlingen klar!, Str\xE4" "cka/Dag 01"),
            ui.message_lines.end());

  std::int32_t ref = 0;
  bool at_end, found;
  FindEntrant(kFindExact, "0002", ref, at_end, found);
  EXPECT_EQ(EntrantRec.FinishTime[0][0], 5999943);  // DISKVAL
  FindEntrant(kFindExact, "0001", ref, at_end, found);
  EXPECT_EQ(EntrantRec.RunTime[1][0], 1320);
  EXPECT_EQ(EntrantRec.RunTime[0][0], 1320);
  FindClassByName(kFindExact, "H21", ref, at_end, found);
  EXPECT_EQ(KlassRec.Count[1][0], 0);
  EXPECT_EQ(KlassRec.SegrNdx[1][0], 1);
  EXPECT_EQ(InfoRec.maxDag, 1);
  EXPECT_EQ(CounterFaults(), "");
}

TEST_F(EntriesTest, RunningTimesAndStatusMinutes) {
  Competition();
  Import("*Klasser\r\n" + ClassLine("H21") + "*Namn\r\nOK A,H21,A,,,,5\r\nOK A,H21,B,,,,6\r\nOK A,H21,C,,,,7\r\n" +
         "*Emitresultat\r\n5 996 0\r\n6 990 0\r\n7 25 30\r\n7 25 75\r\n");
  std::int32_t ref = 0;
  bool at_end, found;
  FindEntrant(kFindExact, "0005", ref, at_end, found);
  EXPECT_EQ(EntrantRec.FinishTime[0][0], 5999942);  // UTGÅTT
  FindEntrant(kFindExact, "0006", ref, at_end, found);
  EXPECT_EQ(EntrantRec.FinishTime[0][0], 0);
  FindEntrant(kFindExact, "0007", ref, at_end, found);
  EXPECT_EQ(EntrantRec.FinishTime[0][0], 3600 + 1530);
  EXPECT_EQ(EntrantRec.RunTime[1][0], 1530);
  EXPECT_NE(std::find(ui.message_lines.begin(), ui.message_lines.end(), "Tiden felaktig/saknas (nr mmmss) 6 990 0"),
            ui.message_lines.end());
  EXPECT_NE(std::find(ui.message_lines.begin(), ui.message_lines.end(), "Tiden felaktig/saknas (nr mmmss) 7 25 75"),
            ui.message_lines.end());
  EXPECT_FALSE(LastImportRun().complete);
  EXPECT_EQ(CounterFaults(), "");
}

TEST_F(EntriesTest, ModifiedEntries) {
  Competition();
  Import("*Klasser\r\n" + ClassLine("H21") + "*Namn\r\nOK A,H21,ANNA A,,,,1\r\n" +
         "*ModifieraNamn\r\n1,IFK B,Anna Berg,,#XY,!EXTRA,123\r\n8,OK A,X\r\nabc,OK A,X\r\n");
  EXPECT_TRUE(Logged("NamnMod: \"0001\" H21 OK A ANNA A"));
  EXPECT_TRUE(Logged(".added odefinierad klubb \"IFK B\""));
  EXPECT_TRUE(Logged("   IFK B H21 Anna Berg (  123)"));
  EXPECT_TRUE(Logged("NamnMod: \"0008\" ej funnen i databsen."));
  std::int32_t ref = 0;
  bool at_end, found;
  FindEntrant(kFindExact, "0001", ref, at_end, found);
  EXPECT_EQ(EntrantRec.StageMark[0].get(), "XY");
  EXPECT_EQ(EntrantRec.ExtraText.get(), "EXTRA");
  std::int32_t club = EntrantRec.ClubRef;
  FindClub(kFindRecord, "", club, at_end, found);
  EXPECT_EQ(ClubRec.ClubName.get(), "IFK B");
  EXPECT_EQ(CounterFaults(), "");  // counted out of OK A and into IFK B
}

TEST_F(EntriesTest, ALogPageEndsAfter76Lines) {
  Competition();
  SetResultsLogForRun(true);
  std::string lines = "*Resultat\r\n";
  for (int i = 0; i < 80; ++i) lines += std::to_string(100 + i) + " 06000\r\n";  // unknown numbers
  Import("*Klasser\r\n" + ClassLine("H21") + lines);
  std::size_t footer = At("    DatorId: \"");
  ASSERT_LT(footer, log.size());
  // The heading (2 lines), 74 messages, the closing progress line and one empty line.
  std::size_t head = At("    Logg dag:1 ");
  EXPECT_EQ(footer - head, 1u + 74u + 1u + 1u);
  EXPECT_EQ(log[footer - 1], "");
  EXPECT_TRUE(LoggedPart("\" Sid-2- "));
}

// Entries and results under a failing file call at every point: the files stay whole, the
// counters agree with the entrants, and the log counts exactly the entrants that are stored.
TEST_F(EntriesTest, AFailingFileCallAtEveryPointOfEntriesAndResults) {
  Competition();
  Import("*Klasser\r\n" + ClassLine("H21"));
  CloseAllCompetitionFiles();
  const std::string file = Write("anm.txt", "*Namn\r\nOK A,H21,A,,,,1\r\nOK B,H21,B\r\nOK A,H21,C,,,,3\r\n"
                                            "*Resultat\r\n1 08100\r\n3 DISKVAL\r\n1 08200\r\n");
  FolderCopy copy(data.path());
  static const std::regex counts("^Adderade: +([0-9]+) Modifierade:");
  LoopResult r = ErrorLoop(
      copy, [&] { OpenArchive(); ReopenConfiguredCompetition(); },
      [&] {
        log.clear();
        ImportFiles(nullptr, {file});
        return LastImportRun().complete;
      },
      [&](bool, int n) {
        SCOPED_TRACE("failing call " + std::to_string(n));
        EXPECT_EQ(DataFaults(data.path()), "");
        EXPECT_EQ(CheckCompetitionCounters(data.str(), 1), "");
        int added = 0;
        for (const Text& l : log) {
          std::smatch m;
          if (std::regex_search(l, m, counts)) added += std::stoi(m[1]);
        }
        isam::BlockContents b;
        std::string error;
        ASSERT_TRUE(isam::ReadBlockContents(DataFileName("OL", 1), b, error)) << error;
        EXPECT_EQ(added, static_cast<int>(b.live.size()));
      },
      500);
  EXPECT_TRUE(r.ended);
  EXPECT_GT(r.failures, 20);
}

}  // namespace
}  // namespace olbrax::test

namespace olbrax::test {
namespace {

namespace fs = std::filesystem;

std::int16_t Int16At(const std::string& b, std::size_t at) {
  return static_cast<std::int16_t>(static_cast<std::uint8_t>(b[at]) | static_cast<std::uint8_t>(b[at + 1]) << 8);
}
void PutInt16(std::string& b, std::size_t at, std::int16_t v) {
  b[at] = static_cast<char>(v & 0xFF);
  b[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}

// A crash between a batch's commit and the write of the statistics block leaves the marker and
// counts behind the entrants: the next open counts them again (the club counts only: the fees,
// which no record holds, stay), writes the block and removes the marker; the check reports the
// marker until then. Without the marker nothing is counted again.
TEST_F(EntriesTest, AStaleMarkerHasTheClubStatisticsCountedAgainAtTheNextOpen) {
  Competition();
  Import("*Klasser\r\n" + ClassLine("H21") + ClassLine("H12") +
         "*Namn\r\nOK A,H21,A,,,,1\r\nOK B,H21,B,,,,2\r\nOK A,H12,C,,,,3\r\n");
  CloseAllCompetitionFiles();
  const fs::path clubs = data.path() / "CLUBS01.Dat", marker = data.path() / "CLUBS01.Stale";
  const std::string right = ReadFileBytes(clubs);
  ASSERT_EQ(right.size(), 41080u);
  ASSERT_FALSE(fs::exists(marker));
  ASSERT_EQ(Int16At(right, 2050), 2);  // ClubsWithEntrants

  // The block as a crash after the commit of the last entrant's batch leaves it: one entrant and
  // its club behind, and a fee set apart from the counts.
  std::string stale = right;
  PutInt16(stale, 2050, 7);
  for (int c = 0; c <= 3; ++c) PutInt16(stale, 2052 + 2 * static_cast<std::size_t>(c), 5);
  for (int c = 0; c <= 3; ++c)
    for (int k = 0; k < 6; ++k) PutInt16(stale, 5000 + 40 * static_cast<std::size_t>(c) + 22 + 2 * k, 9);
  stale[5000 + 40 + 8] = 0x11;  // a byte of club 1's second amount
  WriteFileBytes(clubs, stale);

  OpenArchive();
  ReopenConfiguredCompetition();
  CloseAllCompetitionFiles();
  EXPECT_NE(CheckCompetitionCounters(data.str(), 1), "") << "counted again without the marker";

  WriteFileBytes(marker, "");
  bool reported = false;
  for (const CheckLine& line : CheckDataDirectory(data.str()))
    if (line.name.find("CLUBS01.Stale") != Text::npos) reported = !line.ok;
  EXPECT_TRUE(reported);

  OpenArchive();
  ReopenConfiguredCompetition();
  EXPECT_TRUE(CompetitionOpen);
  EXPECT_FALSE(fs::exists(marker));
  CloseAllCompetitionFiles();
  EXPECT_EQ(CheckCompetitionCounters(data.str(), 1), "");
  for (const CheckLine& line : CheckDataDirectory(data.str())) EXPECT_TRUE(line.ok) << line.name << ": " << line.message;
  std::string now = ReadFileBytes(clubs);
  EXPECT_EQ(now[5000 + 40 + 8], 0x11) << "the fee is no count and stays";
  now[5000 + 40 + 8] = right[5000 + 40 + 8];
  EXPECT_EQ(now, right);
}

// Marking the block stale fails (the disk refuses the marker): the batch is rolled back, so no
// entrant is stored without its counts, and the failure is shown.
TEST_F(EntriesTest, AMarkerThatCannotBeMadeRollsTheBatchBack) {
  Competition();
  Import("*Klasser\r\n" + ClassLine("H21"));
  struct RefuseMarker : disk::FileHooks {
    disk::Verdict Before(const disk::FileEvent& e) override {
      if (e.op == disk::FileOp::Create && e.path.find(".Stale") != std::string::npos) return {ENOSPC};
      return {};
    }
  } hooks;
  disk::SetFileHooks(&hooks);
  log.clear();
  ImportFiles(nullptr, {Write("in.txt", "*Namn\r\nOK A,H21,A,,,,1\r\n")});
  disk::SetFileHooks(nullptr);
  EXPECT_FALSE(LastImportRun().complete);
  EXPECT_FALSE(Entrant("0001"));
  EXPECT_GT(ReportedStorageFailures(), 0);
  EXPECT_EQ(CounterFaults(), "");
}

}  // namespace
}  // namespace olbrax::test

// Importing exchange files into a data directory, with the import log on a recording printer.
#include <numeric>

#include "base/messages.h"
#include "competition/records/class_rec.h"
#include "competition/records/cmp_club_rec.h"
#include "competition/records/club_recs.h"
#include "competition/records/definition_recs.h"
#include "competition/records/route_recs.h"
#include "competition/records_check.h"
#include "competition/registers/definitions.h"
#include "competition/registers/register_find.h"
#include "competition/registers/shared_registers.h"
#include "exchange/import.h"
#include "printing/engine/printers.h"
#include "printing/engine/recording_canvas.h"
#include "../competition/data_fixture.h"

namespace olbrax::test {
namespace {

using print::RecordingCanvas;

// The log printer frees each page's canvas when its job ends; a canvas that forwards to one the
// test keeps would let the test read it, but reading the texts as they are drawn is enough here.
class KeepingCanvas : public RecordingCanvas {
 public:
  KeepingCanvas(std::vector<Text>& sink) : RecordingCanvas(4961, 7016, 600), sink_(sink) {}
  void DrawText(int x, int y, std::string_view text) override {
    RecordingCanvas::DrawText(x, y, text);
    sink_.emplace_back(text);
  }

 private:
  std::vector<Text>& sink_;
};

class ImportLogTest : public DataTest {
 protected:
  void SetUp() override {
    DataTest::SetUp();
    print::SetCanvasFactory([this](const print::PrinterRequest& r) -> std::unique_ptr<print::Canvas> {
      titles.push_back(r.title);
      return std::make_unique<KeepingCanvas>(log);
    });
  }
  void TearDown() override {
    print::SetCanvasFactory(nullptr);
    DataTest::TearDown();
  }
  void Import(const std::vector<std::pair<std::string, std::string>>& files) {
    std::vector<Text> paths;
    for (const auto& [name, content] : files) {
      WriteFileBytes(dir.path() / name, content);
      paths.push_back((dir.path() / name).string());
    }
    log.clear();
    ASSERT_TRUE(ImportFiles(nullptr, paths));
  }
  bool Logged(const Text& line) const { return std::find(log.begin(), log.end(), line) != log.end(); }

  TempDir dir;
  std::vector<Text> log;
  std::vector<Text> titles;
};

TEST_F(ImportLogTest, RegistersFromOneFile) {
  AddCompetition("Import", "", 3);
  Import({{"reg.txt",
           "; fr\xE5n arrang\xF6ren\r\n"
           "*Distrikt\r\n1,Stockholm,STO\r\n"
           "*Klubbar\r\nOK R\xC4VEN,123,01,,,,,ORV,100.50,20\r\nGatan 1\r\n12345 Orten\r\n-\r\n-\r\n"
           "IFK LIDING\xD6 SK,124\r\nx\r\n"  // a partial club: dropped at the next identifier
           "*Kontroller\r\n31,SNITSEL,,,,,,,,100,200\r\n32,7.5\r\n"
           "*Banor\r\nA,4500,120,31,32,99\r\n"
           "*Etapp=9\r\n"
           "*Klasser\r\nH21,,0,0,1,0,06:00,10:00,5,4500,A,60,1,1,1,1,0,0,3,strUken\r\n"
           "H20,,0,0,1,0,06:00,10:00,5,4500,A,60,1,1,1,1,0,0,3,ej\r\n"}});
  EXPECT_EQ(log[0], "LOGGLISTA IMPORT");
  EXPECT_TRUE(Logged("============================"));
  EXPECT_TRUE(Logged("; fr\xE5n arrang\xF6ren"));
  EXPECT_TRUE(Logged("importerar \"*Klubbar\""));
  EXPECT_TRUE(Logged("     Odefinierad kodsiffra (kontrollpunkt)! 99"));
  EXPECT_TRUE(Logged("     KodNr: \" 31\",\"SNITSEL\" Ruta:A ... ej funnen"));
  EXPECT_TRUE(Logged("Adderade:   7 Modifierade:   0 Rader:  20"));
  EXPECT_EQ(log.back(), "IMPORT KLAR!");
  EXPECT_EQ(titles.front(), "importlogg");
  EXPECT_EQ(InfoRec.DagStr, 1);  // stage 9 of 3

  std::int32_t ref = 0;
  bool at_end, found;
  FindClub(kFindExact, "OK R\xC4VEN", ref, at_end, found);
  ASSERT_TRUE(found);
  EXPECT_EQ(ClubRec.ClubNumber, 123);
  EXPECT_EQ(ClubRec.ClubCode.get(), "ORV");
  EXPECT_EQ(ClubRec.DistrictNumber.get(), "01");
  EXPECT_EQ(ClubRec.ClubAddress[1].line[0].get(), "12345 Orten");
  FindClub(kFindExact, "IFK LIDING\xD6 SK", ref, at_end, found);
  EXPECT_FALSE(found);
  FindClassByName(kFindExact, "H21", ref, at_end, found);
  ASSERT_TRUE(found);
  EXPECT_EQ(KlassRec.minKmTid, 360);
  EXPECT_EQ(KlassRec.FrstStTid[0], 300);
  EXPECT_EQ(KlassRec.BanSize[0][0], 4500);
  EXPECT_EQ(KlassRec.Bana[0].get(), "A");
  EXPECT_EQ(KlassRec.SMell[0], 60);
  EXPECT_EQ(KlassRec.nPris[1], 3);
  EXPECT_TRUE(KlassRec.Struken[1]);
  EXPECT_TRUE(KlassRec.Struken[0]);  // struck on every stage of the class
  FindClassByName(kFindExact, "H20", ref, at_end, found);
  ASSERT_TRUE(found);
  EXPECT_FALSE(KlassRec.Struken[1]);
  EXPECT_FALSE(KlassRec.Struken[0]);

  CloseCompetition();
  OpenDefinitions();
  FindCourse(kFindExact, "A", ref, at_end, found);
  ASSERT_TRUE(found);
  EXPECT_EQ(TrackRec.Antal, 3);
  EXPECT_EQ(TrackRec.KodNr[2].get(), " 99");
  FindControl(kFindExact, " 32", ref, at_end, found);
  ASSERT_TRUE(found);
  EXPECT_EQ(KontrRec.R[0].get(), "7.5");
  CloseAllCompetitionFiles();  // the check reads files the program does not hold
  for (const char* f : {"KLASS", "TRACK", "KONTR"})
    EXPECT_TRUE(CheckRecordKeys(DataFileName(f, CurrentCompetition)).ok) << f;
  EXPECT_TRUE(CheckRecordKeys(DataFileName("CLUBAR")).ok);
}

TEST_F(ImportLogTest, ANewCompetitionAndTheLimitsOfAFile) {
  Import({{"bas.txt",
           "*Bas\r\n"
           "Arrang\xF6r,2027-05-20,1,2,3,,10,10000,12,P\xC5,SIST\r\n"
           "V\xE5rstafetten,300,600,Stafett,3,09:30,5,1,1,1,7,8,X,2,1\r\n"
           "Ledare\r\nL\xE4ggare\r\nKontroll\r\nTK\r\n"
           "*Ok\xE4nd\r\n"
           "*Distrikt\r\n5,Ej l\xE4st,EJ\r\n"}});
  EXPECT_EQ(InfoRec.Tvl.get(), "V\xE5rstafetten");
  EXPECT_EQ(InfoRec.Avg.e, 1);
  EXPECT_EQ(InfoRec.Avg.u, 2);
  EXPECT_EQ(InfoRec.Avg.o, 3);
  EXPECT_TRUE(InfoRec.Relay);
  EXPECT_FALSE(InfoRec.Days);
  EXPECT_EQ(InfoRec.mTabell, 0);
  EXPECT_EQ(InfoRec.NollTid[0], 9 * 3600 + 30 * 60);
  EXPECT_EQ(InfoRec.vakanser, 5);
  EXPECT_TRUE(InfoRec.mankordn);
  EXPECT_TRUE(InfoRec.eftstartl);
  EXPECT_EQ(InfoRec.tvltyp, 'X');
  EXPECT_EQ(InfoRec.ClubSort, 2);
  EXPECT_EQ(InfoRec.adress[1].line[0].get(), "L\xE4ggare");
  EXPECT_EQ(ArchiveCount, 1);
  EXPECT_TRUE(CompetitionOpen);
  // The unknown identifier ends the file: the district is not read.
  EXPECT_TRUE(Logged("Ok\xE4nd identifierare! Rad:    8"));
  std::int32_t ref = 0;
  bool at_end, found;
  FindDistrict(kFindExact, "05", ref, at_end, found);
  EXPECT_FALSE(found);
  EXPECT_EQ(log.back(), "IMPORT KLAR!");
}

// The demo competition's contacts: each of its four contact lines is one person's address.
TEST_F(ImportLogTest, TheDemoCompetitionHasItsContactsInTheirPlaces) {
  Import({{"tavling.txt", ReadFileBytes(std::filesystem::path(OLBRAX_EXAMPLES_DIR) / "demo" / "tavling.txt")}});
  ASSERT_EQ(ArchiveCount, 1);
  EXPECT_EQ(InfoRec.adress[0].line[0].get(), "Anna Ledare");
  EXPECT_EQ(InfoRec.adress[0].line[1].get(), "Skogsv\xE4gen 1");
  EXPECT_EQ(InfoRec.adress[0].line[2].get(), "12345 Orten");
  EXPECT_EQ(InfoRec.adress[0].line[3].get(), "08-123456");
  EXPECT_EQ(InfoRec.adress[3].line[0].get(), "Dan Tillsyn");
}

TEST_F(ImportLogTest, AFileWithoutIdentifiersImportsNothing) {
  AddCompetition("Tom");
  Import({{"tom.txt", "bara,data\r\nmer,data\r\n"}});
  EXPECT_TRUE(Logged("Adderade:   0 Modifierade:   0 Rader:   2"));
  // Two competition files in one run are refused.
  WriteFileBytes(dir.path() / "a.txt", "*Bas\r\n");
  WriteFileBytes(dir.path() / "b.txt", "*Bas\r\n");
  EXPECT_FALSE(ImportFiles(nullptr, {(dir.path() / "a.txt").string(), (dir.path() / "b.txt").string()}));
}

// Each register limit refuses exactly the first record over it, says so on the message line, and
// keeps every record before it: 511 controls, 900 clubs, 79 classes, 35 controls in a course.
TEST_F(ImportLogTest, EachLimitRefusesExactlyTheFirstRecordOverIt) {
  AddCompetition("Gr\xE4nser");
  auto said = [&](const std::string& text) {
    return std::count(ui.message_lines.begin(), ui.message_lines.end(), text);
  };
  std::string controls = "*Kontroller\r\n", clubs = "*Klubbar\r\n", classes = "*Klasser\r\n";
  for (int i = 1; i <= 512; ++i) controls += std::to_string(i) + "\r\n";
  for (int i = 1; i <= 901; ++i) clubs += "K" + std::to_string(i) + "\r\n-\r\n-\r\n-\r\n-\r\n";
  for (int i = 1; i <= 80; ++i) classes += "H" + std::to_string(i) + "\r\n";
  std::string course = "*Banor\r\nL\xC5NG,9000,300";
  for (int i = 1; i <= 36; ++i) course += "," + std::to_string(i);
  Import({{"kontroller.txt", controls}, {"klubbar.txt", clubs}, {"klasser.txt", classes},
          {"banor.txt", course + "\r\n"}});
  EXPECT_FALSE(LastImportRun().complete);
  EXPECT_EQ(said("Max antal kontroller uppn\xE5tt kan ej addera!"), 1);
  EXPECT_EQ(said("Max antal klubbar uppn\xE5tt kan ej addera!"), 1);
  EXPECT_EQ(said("Max antal klasser uppn\xE5tt kan ej addera!"), 1);
  EXPECT_EQ(said("Max antal kontroller per bana uppn\xE5tt kan ej addera! Bana \"L\xC5NG\""), 1);
  // The refused record is the last line read: the file ends there.
  EXPECT_TRUE(Logged("Adderade: 511 Modifierade:   0 Rader: 513"));
  EXPECT_TRUE(Logged("Adderade: 900 Modifierade:   0 Rader: 4506"));
  EXPECT_TRUE(Logged("Adderade:  79 Modifierade:   0 Rader:  81"));

  std::int32_t ref = 0;
  bool at_end, found;
  FindClub(kFindExact, "K900", ref, at_end, found);
  EXPECT_TRUE(found);
  FindClub(kFindExact, "K901", ref, at_end, found);
  EXPECT_FALSE(found);
  EXPECT_EQ(UsedRecs(ClubFile), 900);
  FindClassByName(kFindExact, "H79", ref, at_end, found);
  EXPECT_TRUE(found);
  FindClassByName(kFindExact, "H80", ref, at_end, found);
  EXPECT_FALSE(found);
  CloseCompetition();
  OpenDefinitions();
  EXPECT_EQ(UsedRecs(KontrFile), 511);
  FindControl(kFindExact, "511", ref, at_end, found);
  EXPECT_TRUE(found);
  FindCourse(kFindExact, "L\xC5NG", ref, at_end, found);
  ASSERT_TRUE(found);
  EXPECT_EQ(TrackRec.Antal, 35);
  EXPECT_EQ(TrackRec.KodNr[34].get(), " 35");
}

// A new course counts each control it uses once, in the element of the control's record; an
// imported course that exists already counts nothing again. A used control cannot be deleted,
// an unused one can.
TEST_F(ImportLogTest, ANewCourseCountsTheUseOfEachOfItsControls) {
  AddCompetition("Banor");
  Import({{"def.txt", "*Kontroller\r\n31\r\n32\r\n33\r\n34\r\n35\r\n"
                      "*Banor\r\nA,4000,100,31,32,33\r\nB,5000,100,32,33,35\r\n"},
          {"igen.txt", "*Banor\r\nA,4000,100,31,32,33\r\n"}});
  CloseCompetition();
  OpenDefinitions();
  const std::pair<const char*, int> uses[] = {{" 31", 1}, {" 32", 2}, {" 33", 2}, {" 34", 0}, {" 35", 1}};
  std::int32_t ref = 0;
  bool at_end, found;
  for (auto [code, use] : uses) {
    SCOPED_TRACE(code);
    FindControl(kFindExact, code, ref, at_end, found);
    ASSERT_TRUE(found);
    EXPECT_EQ(CmpClubRec.ControlUse[ref - 1], use);
  }
  EXPECT_EQ(std::accumulate(std::begin(CmpClubRec.ControlUse), std::end(CmpClubRec.ControlUse), 0), 6);
  EXPECT_FALSE(DeleteControl(false, " 32", 0, true));
  EXPECT_EQ(MsgLine, "Kan ej radera denna kontroll d\xE5 den anv\xE4nds av n\xE5gon bana.");
  FindControl(kFindExact, " 32", ref, at_end, found);
  EXPECT_TRUE(found);
  EXPECT_TRUE(DeleteControl(false, " 34", 0, true));
  FindControl(kFindExact, " 34", ref, at_end, found);
  EXPECT_FALSE(found);
}

// A route description key keeps its ten characters; a club's fifth address lines, which the
// files do not carry, stay as they were when the club is imported again.
TEST_F(ImportLogTest, RouteKeysOfTenAndTheFifthAddressLines) {
  AddCompetition("Adresser");
  std::int32_t ref = 0;
  ClearClub();
  ClubRec.ClubName.set("OK KVAR");
  ClubRec.ClubAddress[0].line[4].set("femte raden");
  ASSERT_TRUE(PutClub(true, ref));
  GeneralSettings.RouteFormat = 0;
  std::string route = "*Rutbeskr\r\nABCDEFGHIJK,Stig,7\r\n";
  for (int i = 2; i <= 10; ++i) route += "0\r\n";
  Import({{"r.txt", route + "*Klubbar\r\nOK KVAR,5\r\nGatan 2,x,y,z,extra\r\n-\r\n-\r\n-\r\n"}});
  bool at_end, found;
  FindRoute(kFindExact, "ABCDEFGHIJ", ref, at_end, found);
  ASSERT_TRUE(found);
  EXPECT_EQ(RouteRec.RouteKey.get(), "ABCDEFGHIJ");
  FindClub(kFindExact, "OK KVAR", ref, at_end, found);
  ASSERT_TRUE(found);
  EXPECT_EQ(ClubRec.ClubNumber, 5);
  EXPECT_EQ(ClubRec.ClubAddress[0].line[0].get(), "Gatan 2");
  EXPECT_EQ(ClubRec.ClubAddress[0].line[3].get(), "z");
  EXPECT_EQ(ClubRec.ClubAddress[0].line[4].get(), "femte raden");
}

}  // namespace
}  // namespace olbrax::test

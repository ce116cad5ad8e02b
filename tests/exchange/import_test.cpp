// Importing exchange files into a data directory, with the import log on a recording printer.
#include "competition/records/class_rec.h"
#include "competition/records/club_recs.h"
#include "competition/records/definition_recs.h"
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
           "*Klasser\r\nH21,,0,0,1,0,06:00,10:00,5,4500,A,60,1,1,1,1,0,0,3,strUken\r\n"}});
  EXPECT_EQ(log[0], "LOGGLISTA IMPORT");
  EXPECT_TRUE(Logged("============================"));
  EXPECT_TRUE(Logged("; fr\xE5n arrang\xF6ren"));
  EXPECT_TRUE(Logged("importerar \"*Klubbar\""));
  EXPECT_TRUE(Logged("     Odefinierad kodsiffra (kontrollpunkt)! 99"));
  EXPECT_TRUE(Logged("     KodNr: \" 31\",\"SNITSEL\" Ruta:A ... ej funnen"));
  EXPECT_TRUE(Logged("Adderade:   6 Modifierade:   0 Rader:  19"));
  EXPECT_EQ(log.back(), "IMPORT KLAR!");
  EXPECT_EQ(titles.front(), "importlogg");
  EXPECT_EQ(InfoRec.DagStr, 1);  // stage 9 of 3

  std::int32_t ref = 0;
  bool at_end, found;
  FindClub(kFindExact, "OK R\xC4VEN", ref, at_end, found);
  ASSERT_TRUE(found);
  EXPECT_EQ(ClubRec.ClubNumber, 123);
  EXPECT_EQ(ClubRec.ClubCode.get(), "ORV");
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
           "Arrang\xF6r,2027-05-20,1,1,1,,10,10000,12,P\xC5,SIST\r\n"
           "V\xE5rstafetten,300,600,Stafett,3,09:30,5,1,1,1,7,8,X,2,1\r\n"
           "Ledare\r\nL\xE4ggare\r\nKontroll\r\nTK\r\n"
           "*Ok\xE4nd\r\n"
           "*Distrikt\r\n5,Ej l\xE4st,EJ\r\n"}});
  EXPECT_EQ(InfoRec.Tvl.get(), "V\xE5rstafetten");
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

}  // namespace
}  // namespace olbrax::test

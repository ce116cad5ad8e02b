// IOF XML 3.0: the text conversion, the name mapping, the reader's refusals, the import of the
// example messages, the exports against the schema, the CourseData round trip and bad input.
#include <QCoreApplication>
#include <QFile>

#include <cstdlib>
#include <fstream>
#include <regex>

#include "base/messages.h"
#include "competition/data_dir_check.h"
#include "competition/records/class_rec.h"
#include "competition/records/club_recs.h"
#include "competition/records/definition_recs.h"
#include "competition/records/entrant_rec.h"
#include "competition/registers/definitions.h"
#include "competition/registers/entrants.h"
#include "competition/registers/register_find.h"
#include "competition/registers/shared_registers.h"
#include "exchange/iof/iof_export.h"
#include "exchange/iof/iof_import.h"
#include "exchange/iof/iof_text.h"
#include "exchange/iof/name_mapping.h"
#include "exchange/iof/xml_reader.h"
#include "printing/engine/printers.h"
#include "printing/engine/recording_canvas.h"
#include "../competition/data_fixture.h"

namespace olbrax::test {
namespace {

using namespace olbrax::iof;

const std::string kExamples = OLBRAX_EXAMPLES_DIR "/iof/";

// --- Text and names -------------------------------------------------------------------------------

TEST(IofText, KeepsWhatTheCodePageHoldsAndReplacesTheRestByRule) {
  Converted swedish = FromXml("Åke Öberg, Émilie Müller, väg €");
  EXPECT_EQ(swedish.text, "\xC5ke \xD6" "berg, \xC9milie M\xFCller, v\xE4g \x80");
  EXPECT_FALSE(swedish.replaced);
  EXPECT_EQ(ToXml(swedish.text), "Åke Öberg, Émilie Müller, väg €");
  Converted czech = FromXml("Jiří Dvořák Łódź");
  EXPECT_TRUE(czech.replaced);
  EXPECT_EQ(czech.text, "Jir\xED Dvor\xE1k L\xF3" "dz");
  EXPECT_EQ(FromXml("東京").text, "??");
  EXPECT_TRUE(FromXml("\xFF\xFE").replaced);  // invalid UTF-8
}

TEST(IofNames, LongNamesAreCutAndClashesNumbered) {
  std::set<Text> held;
  auto taken = [&](const Text& t) { return held.count(t) > 0; };
  EXPECT_EQ(MapName("h21", kClassNameWidth, taken), "H21");
  EXPECT_EQ(MapName("Men 21 Long", kClassNameWidth, taken), "MEN 21 L");
  held.insert("MEN 21 L");
  EXPECT_EQ(MapName("Men 21 Light", kClassNameWidth, taken), "MEN 21~2");
  held.insert("MEN 21~2");
  EXPECT_EQ(MapName("Men 21 Lucky", kClassNameWidth, taken), "MEN 21~3");
  EXPECT_EQ(MapName("L\xE5ng", kCourseNameWidth, taken), "L\xC5N");
  held.insert("L\xC5N");
  EXPECT_EQ(MapName("L\xE5nga", kCourseNameWidth, taken), "L~2");
  // A name that fits is never renamed, even when held: it is that record.
  EXPECT_EQ(MapName("MEN 21 L", kClassNameWidth, taken), "MEN 21 L");
}

TEST(IofNames, ControlCodes) {
  std::set<Text> held;
  auto taken = [&](const Text& t) { return held.count(t) > 0; };
  EXPECT_EQ(MapControlCode("31", taken), " 31");
  EXPECT_EQ(MapControlCode("0031", taken), " 31");
  EXPECT_EQ(MapControlCode("s1", taken), "S1");
  EXPECT_EQ(MapControlCode("1031", taken), "103");
  held.insert("103");
  EXPECT_EQ(MapControlCode("1032", taken), "Z01");
  held.insert("Z01");
  EXPECT_EQ(MapControlCode("STA12", taken), "STA");
  EXPECT_EQ(MapControlCode("1033", taken), "Z02");
}

// --- The reader ----------------------------------------------------------------------------------

class IofReaderTest : public ::testing::Test {
 protected:
  Text Read(const std::string& content, int* records = nullptr) {
    WriteFileBytes(dir.path() / "m.xml", content);
    IofMessage m;
    Text error;
    int n = 0;
    bool ok = ReadIofMessage((dir.path() / "m.xml").string(), m, [&](const XmlElement&) { ++n; }, error);
    if (records) *records = n;
    return ok ? Text("ok") : error;
  }
  TempDir dir;
};

constexpr const char* kHead =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ClassList xmlns=\"http://www.orienteering.org/datastandard/3.0\" "
    "iofVersion=\"3.0\">";

TEST_F(IofReaderTest, RefusesWhatIsNotASoundMessage) {
  int n = 0;
  EXPECT_EQ(Read(std::string(kHead) + "<Class><Name>H21</Name></Class></ClassList>", &n), "ok");
  EXPECT_EQ(n, 1);
  EXPECT_EQ(Read(std::string(kHead) + "<Class><Name>H21</Name></Clas></ClassList>").rfind("Felaktig XML p\xE5 rad 2", 0), 0u);
  EXPECT_EQ(Read(std::string(kHead) + "<Class><Name>H21</Name></Class>").rfind("Felaktig XML", 0), 0u);  // cut short
  EXPECT_EQ(Read("<ClassList xmlns=\"http://www.orienteering.org/datastandard/2.0\" iofVersion=\"3.0\"/>").rfind("Fel namnrymd", 0), 0u);
  EXPECT_EQ(Read("<ClassList xmlns=\"http://www.orienteering.org/datastandard/3.0\" iofVersion=\"2.0.3\"/>").rfind("Fel version", 0), 0u);
  EXPECT_EQ(Read("<Klasser xmlns=\"http://www.orienteering.org/datastandard/3.0\" iofVersion=\"3.0\"/>").rfind("Ok\xE4nt rotelement", 0), 0u);
  EXPECT_EQ(Read("").rfind("Fel", 0), 0u);
}

TEST_F(IofReaderTest, ResolvesNoEntities) {
  // The billion laughs: refused at its declaration, nothing is expanded.
  std::string bomb = "<?xml version=\"1.0\"?>\n<!DOCTYPE ClassList [<!ENTITY a \"aaaaaaaaaa\">";
  for (int i = 1; i < 10; ++i)
  {
    std::string prev = "&" + std::string(1, static_cast<char>('a' + i - 1)) + ";";
    std::string ten;
    for (int k = 0; k < 10; ++k) ten += prev;
    bomb += "<!ENTITY " + std::string(1, static_cast<char>('a' + i)) + " \"" + ten + "\">";
  }
  bomb += "]>\n<ClassList xmlns=\"http://www.orienteering.org/datastandard/3.0\" iofVersion=\"3.0\"><Class><Name>&j;</Name></Class></ClassList>";
  EXPECT_NE(Read(bomb).find("dokumenttypdeklaration"), Text::npos);
  std::string external = "<?xml version=\"1.0\"?>\n<!DOCTYPE ClassList [<!ENTITY x SYSTEM \"file:///etc/passwd\">]>\n"
                         "<ClassList xmlns=\"http://www.orienteering.org/datastandard/3.0\" iofVersion=\"3.0\"><Class><Name>&x;</Name></Class></ClassList>";
  EXPECT_NE(Read(external).find("dokumenttypdeklaration"), Text::npos);
  EXPECT_NE(Read(std::string(kHead) + "<Class><Name>&x;</Name></Class></ClassList>"), "ok");
}

TEST_F(IofReaderTest, RefusesAFileTooLargeBeforeReadingIt) {
  std::filesystem::path big = dir.path() / "big.xml";
  { std::ofstream(big) << kHead; }
  std::filesystem::resize_file(big, 50LL * 1024 * 1024);
  IofMessage m;
  Text error;
  EXPECT_FALSE(ReadIofMessage(big.string(), m, [](const XmlElement&) {}, error));
  EXPECT_EQ(error, "Filen \xE4r f\xF6r stor (50 MB); h\xF6gst 32 MB l\xE4ses");
}

// --- Import and export in a data directory -----------------------------------------------------

class IofDataTest : public DataTest {
 protected:
  void SetUp() override {
    DataTest::SetUp();
    print::SetCanvasFactory([this](const print::PrinterRequest&) -> std::unique_ptr<print::Canvas> {
      return std::make_unique<Keeping>(log);
    });
  }
  void TearDown() override {
    print::SetCanvasFactory(nullptr);
    DataTest::TearDown();
  }
  struct Keeping : print::RecordingCanvas {
    explicit Keeping(std::vector<Text>& sink) : RecordingCanvas(4961, 7016, 600), sink(sink) {}
    void DrawText(int x, int y, std::string_view text) override {
      RecordingCanvas::DrawText(x, y, text);
      sink.emplace_back(text);
    }
    std::vector<Text>& sink;
  };
  void Import(const std::vector<std::string>& files) {
    std::vector<Text> paths;
    for (const std::string& f : files) paths.push_back(f.find('/') == std::string::npos ? kExamples + f : f);
    log.clear();
    ImportIofFiles(nullptr, paths);
  }
  void ImportText(const std::string& content) {
    WriteFileBytes(dir.path() / "in.xml", content);
    Import({(dir.path() / "in.xml").string()});
  }
  bool Logged(const Text& line) const { return std::find(log.begin(), log.end(), line) != log.end(); }
  std::string Export(IofExport kind) {
    std::string path = (dir.path() / (std::string(IofExportRoot(kind)) + ".xml")).string();
    int count = 0;
    EXPECT_TRUE(ExportIof(kind, path, count)) << MsgLine;
    Validate(path);
    return ReadFileBytes(path);
  }
  // The schema, when it is there: every export must pass it.
  static void Validate(const std::string& path) {
    const std::string schema = OLBRAX_IOF_SCHEMA;
    if (!std::filesystem::exists(schema)) {
      std::printf("[ SKIPPED  ] no IOF schema at %s: %s not validated\n", schema.c_str(), path.c_str());
      return;
    }
    std::string cmd = "xmllint --noout --schema '" + schema + "' '" + path + "' 2>/dev/null";
    EXPECT_EQ(std::system(cmd.c_str()), 0) << path << " does not validate against " << schema;
  }
  // The data directory as the check reads it, with everything written back.
  void ExpectSound() {
    CloseAllCompetitionFiles();
    for (const CheckLine& l : CheckDataDirectory(data.str())) EXPECT_TRUE(l.ok) << l.name << ": " << l.message;
    OpenArchive();
    SelectCompetition(true, 1);
  }
  int Count(FileBlock* fb) { return UsedRecs(fb); }

  TempDir dir;
  std::vector<Text> log;
};

TEST_F(IofDataTest, ExamplesImportWithTheirCountersAndMappings) {
  AddCompetition("IOF");
  ui.default_answer = platform::kYes;
  Import({"organisations.xml", "classes.xml", "courses.xml", "entries.xml"});
  EXPECT_TRUE(LastIofImport().complete);
  EXPECT_EQ(log.front(), "LOGGLISTA IMPORT");
  EXPECT_TRUE(Logged("importerar \"EntryList\""));
  EXPECT_TRUE(Logged("Adderade:   5 Modifierade:   0 Rader:   5"));  // the classes
  EXPECT_TRUE(Logged("     Klassnamnet \"Men 21 Light\" sparas som \"MEN 21~2\" (hela namnet beh\xE5lls f\xF6r export)"));
  EXPECT_TRUE(Logged("     Kontrollen \"1031\" sparas som \"103\" (hela namnet beh\xE5lls f\xF6r export)"));
  EXPECT_EQ(log.back(), "IMPORT KLAR!");
  EXPECT_EQ(Count(ClubFile), 5);  // four clubs and the one an entry brought
  EXPECT_EQ(Count(KlassFile), 5);
  EXPECT_EQ(Count(EntrantFile), 4);
  std::int32_t ref = 0;
  bool at_end = false, found = false;
  FindClassByName(kFindExact, "H21", ref, at_end, found);
  ASSERT_TRUE(found);
  EXPECT_EQ(KlassRec.Bana[0].get(), "L\xC5N");
  EXPECT_EQ(KlassRec.Count[0][0], 1);
  // Names as the program stores them; the card that fits goes with the entrant.
  FindEntrant(kFindRecord, "", ref = 2, at_end, found);
  ASSERT_TRUE(found);
  EXPECT_EQ(EntrantRec.StageName[0].get(), "\xC5KE \xD6" "BERG");
  EXPECT_EQ(EntrantRec.ExtraText.get(), "2034567");
  ExpectSound();
}

TEST_F(IofDataTest, ExportsValidateAndGiveBackTheIdsAndNames) {
  AddCompetition("IOF");
  ui.default_answer = platform::kYes;
  Import({"organisations.xml", "classes.xml", "courses.xml", "entries.xml"});
  std::string entries = Export(IofExport::kEntryList);
  EXPECT_NE(entries.find("iofVersion=\"3.0\""), std::string::npos);
  EXPECT_TRUE(std::regex_search(entries, std::regex("createTime=\"\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d(Z|[+-]\\d\\d:\\d\\d)\"")));
  EXPECT_NE(entries.find("creator=\"olbrax "), std::string::npos);
  for (const char* kept : {"<Family>Dvořák</Family>", "<Given>Jiří</Given>", "<Name>Men 21 Long</Name>", "<Id>9003</Id>",
                           "<Id>5003</Id>", "<ControlCard>12345678</ControlCard>", "<Name>SK Dvořák Praha</Name>"})
    EXPECT_NE(entries.find(kept), std::string::npos) << kept;
  std::string clubs = Export(IofExport::kOrganisationList);
  EXPECT_NE(clubs.find("<Name>Orienteringsklubben Skogsmårdarna i Västra Götaland</Name>"), std::string::npos);
  Export(IofExport::kClassList);
  Export(IofExport::kStartList);
  Export(IofExport::kResultList);
}

TEST_F(IofDataTest, ResultListHasStatusTimesAndPositions) {
  AddCompetition("IOF");
  ui.default_answer = platform::kYes;
  Import({"classes.xml", "entries.xml"});
  // Two results in D21 put in by hand: one time, one mispunch; and one more runner faster.
  std::int32_t ref = 1;
  bool at_end = false, found = false;
  FindEntrant(kFindRecord, "", ref, at_end, found);
  ASSERT_TRUE(found);
  EntrantRec.RunTime[1][0] = EntrantRec.RunTime[0][0] = 3000;
  ASSERT_TRUE(RewriteEntrant(ref));
  std::string results = Export(IofExport::kResultList);
  EXPECT_NE(results.find("<Time>3000</Time>"), std::string::npos);
  EXPECT_NE(results.find("<Position>1</Position>"), std::string::npos);
  EXPECT_NE(results.find("<Status>OK</Status>"), std::string::npos);
  EXPECT_NE(results.find("<Status>Inactive</Status>"), std::string::npos);
}

// Ids, controls and courses survive CourseData → export → import into a new competition → export.
TEST_F(IofDataTest, CourseDataRoundTrip) {
  AddCompetition("Ett");
  Import({"classes.xml", "courses.xml"});
  ASSERT_TRUE(LastIofImport().complete);
  std::string first = Export(IofExport::kCourseData);
  WriteFileBytes(dir.path() / "first.xml", first);
  AddCompetition("Tv\xE5");
  Import({"classes.xml", (dir.path() / "first.xml").string()});
  ASSERT_TRUE(LastIofImport().complete);
  std::string second = Export(IofExport::kCourseData);
  auto body = [](const std::string& s) { return s.substr(s.find("<RaceCourseData>")); };
  EXPECT_EQ(body(first), body(second));
  for (const char* kept : {"<Id>1031</Id>", "<Name>Lång</Name>", "<Control>S1</Control>", "<Id>11</Id>", "x=\"110\""})
    EXPECT_NE(second.find(kept), std::string::npos) << kept;
}

TEST_F(IofDataTest, BadRecordsAreRefusedOneByOneAndNothingIsHalfWritten) {
  AddCompetition("IOF");
  Import({"classes.xml"});
  ui.default_answer = platform::kNo;  // the missing class is not created
  ImportText(
      "<?xml version=\"1.0\"?><EntryList xmlns=\"http://www.orienteering.org/datastandard/3.0\" iofVersion=\"3.0\">"
      "<Event><Name>E</Name></Event>"
      "<PersonEntry><Id>1</Id><Person><Name><Family></Family><Given></Given></Name></Person><Class><Name>H21</Name></Class></PersonEntry>"
      "<PersonEntry><Id>2</Id><Person><Name><Family>Ek</Family><Given>Bo</Given></Name></Person><Class><Name>H99</Name></Class></PersonEntry>"
      "<PersonEntry><Id>3</Id><Person><Name><Family>Al</Family><Given>Eva</Given></Name></Person><Class><Name>D21</Name></Class></PersonEntry>"
      "<PersonEntry><Id>3</Id><Person><Name><Family>Al</Family><Given>Eva</Given></Name></Person><Class><Name>D21</Name></Class></PersonEntry>"
      "</EntryList>");
  EXPECT_FALSE(LastIofImport().complete);
  EXPECT_TRUE(Logged("     Anm\xE4lan utan namn (id \"1\") importeras inte"));
  EXPECT_TRUE(Logged("     Id \"3\" finns tv\xE5 g\xE5nger (Entry): den andra importeras inte"));
  EXPECT_TRUE(std::any_of(log.begin(), log.end(), [](const Text& l) { return l.rfind(".passed Felaktig Klass: H99", 0) == 0; }));
  EXPECT_TRUE(Logged("Adderade:   1 Modifierade:   0 Rader:   3"));
  EXPECT_EQ(Count(EntrantFile), 1);
  EXPECT_EQ(Count(KlassFile), 5);
  ExpectSound();
}

TEST_F(IofDataTest, AFileThatIsNotASoundMessageStoresNothing) {
  AddCompetition("IOF");
  // Well-formed up to the last record, then cut: not one class is stored.
  std::string cut = ReadFileBytes(kExamples + "classes.xml");
  cut.resize(cut.rfind("</Class>"));
  ImportText(cut);
  EXPECT_FALSE(LastIofImport().complete);
  EXPECT_TRUE(Logged("Adderade:   0 Modifierade:   0 Rader:   0"));
  EXPECT_EQ(Count(KlassFile), 0);
  ImportText("<?xml version=\"1.0\"?><StartList xmlns=\"http://www.orienteering.org/datastandard/3.0\" iofVersion=\"3.0\">"
             "<Event><Name>E</Name></Event></StartList>");
  EXPECT_TRUE(Logged("IOF XML: \"StartList\" importeras inte (bara OrganisationList, ClassList, CourseData och EntryList)"));
  ExpectSound();
}

TEST_F(IofDataTest, ReImportKeepsTheEntrantsAndTheIdFileGoesWithTheCompetition) {
  AddCompetition("IOF");
  ui.default_answer = platform::kYes;
  Import({"classes.xml", "entries.xml"});
  Import({"entries.xml"});
  EXPECT_TRUE(LastIofImport().complete);
  EXPECT_EQ(Count(EntrantFile), 4);
  EXPECT_TRUE(Logged("Adderade:   0 Modifierade:   4 Rader:   4"));
  EXPECT_TRUE(disk::Exists(data.str() + "/IOFID01.DAT"));
  CloseCompetition();
  ui.default_answer = platform::kYes;
  ASSERT_TRUE(DeleteCompetition(1));
  EXPECT_FALSE(disk::Exists(data.str() + "/IOFID01.DAT"));
}

TEST(IofDates, CompetitionDateForms) {
  int y = 0, m = 0, d = 0;
  EXPECT_TRUE(CompetitionDate("2024-05-12", y, m, d));
  EXPECT_EQ(y * 10000 + m * 100 + d, 20240512);
  EXPECT_TRUE(CompetitionDate("240512", y, m, d));
  EXPECT_EQ(y * 10000 + m * 100 + d, 20240512);
  EXPECT_FALSE(CompetitionDate("12 maj", y, m, d));
  EXPECT_FALSE(CompetitionDate("2024-02-30", y, m, d));
}

}  // namespace
}  // namespace olbrax::test

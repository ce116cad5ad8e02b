// The id file IOFIDnn in the maintenance commands: the backup copies it, the index rebuild
// carries the entrants' ids to their new numbers, and the check reads its records against its
// keys.
#include "competition/maintenance/backup_copy.h"
#include "competition/maintenance/index_rebuild.h"
#include "competition/records/entrant_rec.h"
#include "competition/records/iof_id_keys.h"
#include "competition/registers/entrants.h"
#include "competition/registers/register_find.h"
#include "iof_fixture.h"
#include "storage/efiler.h"

namespace olbrax::test {
namespace {

class IofMaintenanceTest : public IofDataTest {
 protected:
  void ImportExamples() {
    AddCompetition("IOF");
    ui.default_answer = platform::kYes;
    Import({"classes.xml", "entries.xml"});
    ASSERT_TRUE(iof::LastIofImport().complete);
  }
  // The ids an EntryList export gives the entrants.
  static bool Has(const std::string& xml, const std::string& what) { return xml.find(what) != std::string::npos; }
  std::vector<CheckLine> Findings(const Text& folder) {
    CloseAllCompetitionFiles();
    std::vector<CheckLine> bad;
    for (const CheckLine& l : CheckDataDirectory(folder))
      if (!l.ok) bad.push_back(l);
    return bad;
  }
};

TEST_F(IofMaintenanceTest, TheBackupHoldsTheIdsAndGivesThemBack) {
  ImportExamples();
  TempDir target;
  ASSERT_TRUE(BackupCopy(&ui, target.str())) << (ui.boxes.empty() ? "" : ui.boxes.back().text);
  EXPECT_TRUE(disk::Exists(target.str() + "/IOFID01.DAT"));
  EXPECT_TRUE(disk::Exists(target.str() + "/IOFID01.IX"));
  EXPECT_TRUE(Findings(target.str()).empty());
  // The copy, opened as the data directory, exports the ids that came in.
  GeneralSettings.DataDirectory.set(target.str());
  OpenArchive();
  SelectCompetition(true, 1);
  ASSERT_TRUE(CompetitionOpen);
  std::string entries = Export(iof::IofExport::kEntryList);
  for (const char* kept : {"<Id>9003</Id>", "<Id>5003</Id>", "<Given>Jiří</Given>", "<ControlCard>12345678</ControlCard>"})
    EXPECT_TRUE(Has(entries, kept)) << kept;
}

// The rebuild numbers the entrants anew: an entrant's ids, which name it by number, must follow
// it, else every export after a rebuild loses them (or gives them to another entrant).
TEST_F(IofMaintenanceTest, TheRebuildCarriesTheEntrantsIdsToTheirNewNumbers) {
  ImportExamples();
  std::int32_t ref = 3;
  bool at_end = false, found = false;
  FindEntrant(kFindRecord, "", ref, at_end, found);
  ASSERT_TRUE(found);
  const Text third = EntrantRec.StageName[0].get();
  // The first entrant goes, so that every other one moves down by one.
  FindEntrant(kFindRecord, "", ref = 1, at_end, found);
  ASSERT_TRUE(found);
  ASSERT_EQ(EntrantRec.StageName[0].get(), "ANNA-KARIN SVENSSON");
  EntrantUncounted(false);
  DeleteKey(EntrantFile, 1, ref, WinToDos(EntrantRec.StartNumber.get()));
  DeleteRec(EntrantFile, ref);
  ASSERT_TRUE(IsamOK);
  ASSERT_TRUE(IndexRebuild(&ui)) << MsgLine;

  FindEntrant(kFindRecord, "", ref = 2, at_end, found);
  ASSERT_TRUE(found);
  EXPECT_EQ(EntrantRec.StageName[0].get(), third);
  std::string entries = Export(iof::IofExport::kEntryList);
  for (const char* kept : {"<Id>9002</Id>", "<Id>5002</Id>", "<Id>9003</Id>", "<Id>5003</Id>", "<Family>Dvořák</Family>",
                           "<ControlCard>12345678</ControlCard>", "<Id>9004</Id>"})
    EXPECT_TRUE(Has(entries, kept)) << kept;
  EXPECT_FALSE(Has(entries, "<Id>9001</Id>"));  // its entrant is gone
  // Each id sits with its own entrant: Dvořák's person id in his entry, not in another one.
  std::size_t dvorak = entries.find("<Family>Dvořák</Family>");
  ASSERT_NE(dvorak, std::string::npos);
  EXPECT_LT(entries.rfind("<Id>9003</Id>", dvorak), dvorak);
  EXPECT_GT(entries.rfind("<Id>9003</Id>", dvorak), entries.rfind("<PersonEntry>", dvorak));
  EXPECT_TRUE(Findings(data.str()).empty());
}

TEST_F(IofMaintenanceTest, TheCheckReadsTheIdRecordsAgainstTheirKeys) {
  ImportExamples();
  EXPECT_TRUE(Findings(data.str()).empty());
  // An id record whose local key changed without its index entry, as a torn write would leave it.
  FileBlock* fb = nullptr;
  OpenFileBlock(fb, data.str() + "/IOFID01");
  ASSERT_TRUE(IsamOK);
  TIofIdRec r;
  GetRec(fb, 1, &r);
  ASSERT_TRUE(IsamOK);
  r.Local.set("ANNAN");
  PutRec(fb, 1, &r);
  CloseFileBlock(fb);
  ASSERT_TRUE(IsamOK);
  std::vector<CheckLine> bad = Findings(data.str());
  ASSERT_EQ(bad.size(), 1u);
  EXPECT_NE(bad[0].name.find("IOFID01"), Text::npos);
  EXPECT_NE(bad[0].message.find("index 1"), std::string::npos) << bad[0].message;
}

}  // namespace
}  // namespace olbrax::test

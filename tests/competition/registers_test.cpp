// The registers: classes and their sort keys, controls and courses with their rules, districts
// and clubs, entrants with their bookkeeping, result texts and the relay allocation.
#include "base/messages.h"
#include "competition/records/class_rec.h"
#include "competition/records/club_recs.h"
#include "competition/records/cmp_club_rec.h"
#include "competition/records/definition_recs.h"
#include "competition/records/entrant_rec.h"
#include "competition/records_check.h"
#include "competition/registers/definitions.h"
#include "competition/registers/entrants.h"
#include "competition/registers/register_find.h"
#include "competition/registers/results.h"
#include "competition/registers/shared_registers.h"
#include "data_fixture.h"

namespace olbrax::test {
namespace {

class RegisterTest : public DataTest {
 protected:
  std::int32_t AddClass(const std::string& name) {
    ClearClassRec();
    KlassRec.Bet.set(name);
    std::int32_t ref = 0;
    PutClass(true, ref);
    EXPECT_TRUE(IsamOK) << IsamError;
    return ref;
  }
  std::int32_t AddEntrant(std::int32_t class_ref, std::int32_t club_ref, const std::string& name, int number) {
    ClearEntrant();
    EntrantRec.ClassRef = class_ref;
    EntrantRec.ClubRef = club_ref;
    EntrantRec.StartNumber.set(ZeroStr(number, 4));
    for (auto& s : EntrantRec.StageName) s.set(name);
    std::int32_t ref = 0;
    PutEntrant(true, ref);
    EXPECT_TRUE(IsamOK) << IsamError;
    return ref;
  }
  Text SortKeyOf(std::int32_t ref) {
    bool at_end, found;
    FindClassByName(kFindRecord, "", ref, at_end, found);
    return KlassRec.SortOrdn.get();
  }
};

TEST_F(RegisterTest, ClassSortKeys) {
  AddCompetition("Klasser");
  EXPECT_EQ(SortKeyOf(AddClass("H21")), "100790H21");
  EXPECT_EQ(SortKeyOf(AddClass("D21E")), "01079ED21E");
  EXPECT_EQ(SortKeyOf(AddClass("H21E")), "00079EH21E");
  EXPECT_EQ(SortKeyOf(AddClass("H10")), "100900H10");
  EXPECT_EQ(SortKeyOf(AddClass("\xD6PPEN 3")), "2\xD6PPEN 3\xD6PPEN ");  // an open class, cut to 14
  EXPECT_EQ(SortKeyOf(AddClass("INSKOLN")), "9INSKOLNINSKOL");            // no digit
  EXPECT_EQ(ClassSortKey("HD12", "HD12"), "120880HD12");                  // mixed: after H and D
  // The walk by sort key: H21E before H21.
  std::vector<Text> order;
  std::int32_t ref = 0;
  bool at_end, found;
  FindClassBySortKey(kFindReset, "", ref, at_end, found);
  Text key;
  for (FindClassBySortKey(kFindNext, key, ref, at_end, found); !at_end;
       FindClassBySortKey(kFindNext, KlassRec.SortOrdn.get(), ref, at_end, found))
    order.push_back(KlassRec.Bet.get());
  ASSERT_EQ(order.size(), 6u);
  EXPECT_EQ(order[0], "H21E");
  EXPECT_EQ(order[2], "H21");

  // Sequence numbers by hand: the fourth class gets 0004 and its number.
  CloseCompetition();
  AddCompetition("Handordnad");
  InfoRec.mankordn = 1;
  AddClass("A");
  AddClass("B");
  AddClass("C");
  EXPECT_EQ(SortKeyOf(AddClass("D")), "000404");
  CloseCompetition();  // the check reads files that the program does not hold
  EXPECT_TRUE(CheckRecordKeys(DataFileName("KLASS", CurrentCompetition)).ok);
}

TEST_F(RegisterTest, ControlsAndCoursesKeepTheirRules) {
  AddCompetition("Banor");
  OpenDefinitions();
  ASSERT_TRUE(DefinitionsOpen);
  std::int32_t c31 = 0, c32 = 0;
  ClearControl();
  KontrRec.KodNr.set("31");
  PutControl(true, c31);
  ClearControl();
  KontrRec.KodNr.set("32");
  KontrRec.R[0].set("SNITSEL");
  PutControl(true, c32);

  // Editing a control: its key is removed for the edit and comes back also when cancelled.
  DeleteControl(true, "32", c32, false);
  bool at_end, found;
  std::int32_t ref = 0;
  FindControl(kFindExact, "32", ref, at_end, found);
  EXPECT_FALSE(found);
  PutControl(false, c32);
  FindControl(kFindExact, "32", ref, at_end, found);
  EXPECT_TRUE(found);
  EXPECT_EQ(KontrRec.R[0].get(), "SNITSEL");

  // A control that a course uses cannot be deleted; deleting the course frees it.
  ClearCourse();
  TrackRec.Bana.set("A");
  TrackRec.Antal = 2;
  TrackRec.KodNr[0].set("31");
  TrackRec.KodNr[1].set("32");
  std::int32_t course = 0;
  PutCourse(true, course);
  CmpClubRec.ControlUse[c31 - 1] = 1;
  CmpClubRec.ControlUse[c32 - 1] = 1;
  DeleteControl(false, "31", 0, true);
  EXPECT_EQ(MsgLine, "Kan ej radera denna kontroll d\xE5 den anv\xE4nds av n\xE5gon bana.");
  FindControl(kFindExact, "31", ref, at_end, found);
  EXPECT_TRUE(found);
  DeleteCourse(false, "A", 0, true);
  EXPECT_EQ(MsgLine, "Banan \"A\", raderad...");
  EXPECT_EQ(CmpClubRec.ControlUse[c31 - 1], 0);
  DeleteControl(false, "31", 0, true);
  EXPECT_EQ(MsgLine, "Kontroll ,kodnr. \"31\", raderad...");
  EXPECT_EQ(ControlExistsText("32"), "Kontrollen finns redan registrerad. \"32\" M\xE5ste vara unik.");
  CloseDefinitions();
  EXPECT_TRUE(CheckRecordKeys(DataFileName("KONTR", CurrentCompetition)).ok);
}

TEST_F(RegisterTest, DistrictsAndClubs) {
  std::int32_t ref = 0;
  ClearDistrict();
  DistrRec.Dnr.set("");
  DistrRec.Dname.set("Tomt");
  PutDistrict(true, ref);
  bool at_end, found;
  std::int32_t r = 0;
  FindDistrict(kFindExact, "99", r, at_end, found);
  EXPECT_TRUE(found);
  ClearDistrict();
  DistrRec.Dnr.set("05");
  DistrRec.Dname.set("Sk\xE5ne");
  PutDistrict(true, ref);
  DeleteDistrict(false, "05", 0, true);
  EXPECT_EQ(MsgLine, "Distriktet 05 \"Sk\xE5ne\", raderad....");
  ClearClub();
  ClubRec.ClubName.set("ok ravinen");
  PutClub(true, ref);
  FindClub(kFindExact, "OK RAVINEN", r, at_end, found);
  EXPECT_TRUE(found);
  EXPECT_EQ(ClubRec.ClubName.get(), "OK RAVINEN");

  InfoRec.gemen = 1;
  EXPECT_EQ(DisplayName(false, "IFK LIDING\xD6 SK"), "IFK Liding\xF6 SK");
  EXPECT_EQ(DisplayName(false, "OK LINN\xC9"), "OK Linn\xE9");
  EXPECT_EQ(DisplayName(false, "OK-GRUPPEN"), "Ok-Gruppen");
  EXPECT_EQ(DisplayName(false, "ANNA-KARIN SVENSSON"), "Anna-Karin Svensson");
  InfoRec.gemen = 0;
  EXPECT_EQ(DisplayName(false, "IFK LIDING\xD6 SK"), "IFK LIDING\xD6 SK");
}

TEST_F(RegisterTest, EntrantBookkeepingWarningsAndErasing) {
  AddCompetition("Anm\xE4lan");
  std::int32_t h21 = AddClass("H21");
  std::int32_t club = 0;
  ClearClub();
  ClubRec.ClubName.set("OK PAR");
  PutClub(true, club);

  AddEntrant(h21, club, "ANNA/BERIT", 1);  // a pair: two persons
  EXPECT_EQ(CmpClubRec.ClubEntrantCount[club], 1);
  EXPECT_EQ(CmpClubRec.ClubsWithEntrants, 1);
  EXPECT_EQ(ClubCounter(club, 2), 2);  // others, not counted in an entry counter
  EXPECT_EQ(ClubCounter(0, 2), 2);
  EXPECT_EQ(KlassRec.Count[0][0], 1);
  EXPECT_EQ(InfoRec.Count[0][25], 1);

  // The 246th and the 250th entrant of a class of 250.
  KlassRec.Count[0][0] = 245;
  RewriteClass(h21);
  AddEntrant(h21, club, "A", 2);
  EXPECT_EQ(MsgLine, "Antalet i klassen [0250] H21snart f\xF6r m\xE5nga f\xF6r programmet (dags att kompilera) ");
  KlassRec.Count[0][0] = 249;
  RewriteClass(h21);
  AddEntrant(h21, club, "B", 3);  // the 250th
  EXPECT_EQ(MsgLine, "Antalet i klassen [0250] H21f\xF6r m\xE5nga f\xF6r programmet (dags att kompilera) ");

  // With 10 vacancies the capacity is 240: the 236th entrant is warned.
  std::int32_t d21 = AddClass("D21");
  KlassRec.vakanser = 10;
  KlassRec.Count[0][0] = 235;
  RewriteClass(d21);
  MsgLine.clear();
  AddEntrant(d21, club, "C", 4);
  EXPECT_EQ(MsgLine, "Varning: Klassen snart full [0240+0010] (dags att dela klassen D21) ");

  EXPECT_EQ(ClubCategory("H21E"), 0);
  EXPECT_EQ(ClubCategory("D16"), 1);
  EXPECT_EQ(ClubCategory("HU"), 1);
  EXPECT_EQ(ClubCategory("U21"), 2);
  EXPECT_EQ(ClubCategory("H21"), 2);
  // The youth bound: 16 is youth, 17 is not; a class without a number only by a youth word.
  EXPECT_EQ(ClubCategory("H16"), 1);
  EXPECT_EQ(ClubCategory("H17"), 2);
  EXPECT_EQ(ClubCategory("D10"), 1);
  EXPECT_EQ(ClubCategory("MOTION"), 2);
  EXPECT_EQ(ClubCategory("INSKOL"), 1);
  EXPECT_EQ(ClubCategory("H16E"), 0);
  CloseCompetition();
  EXPECT_TRUE(CheckRecordKeys(DataFileName("OL", CurrentCompetition)).ok);
  OpenCompetition();

  // Erasing every entrant keeps the classes, with their entry counters closed.
  EraseAllEntrants();
  EXPECT_EQ(ui.boxes.back().text, "Alla Persondata kommer att raderas Ok!");
  EXPECT_EQ(ui.boxes.back().style, platform::kGuardedQuestionBox);  // "Nej" is the default
  EXPECT_EQ(UsedRecs(EntrantFile), 0);
  std::int32_t ref = h21;
  bool at_end, found;
  FindClassByName(kFindRecord, "", ref, at_end, found);
  ASSERT_TRUE(found);
  EXPECT_EQ(KlassRec.eftAnm[0], -1);
  EXPECT_EQ(KlassRec.eftAnm[1], -1);
  EXPECT_EQ(KlassRec.Count[0][0], 0);
  EXPECT_EQ(CmpClubRec.ClubsWithEntrants, 0);
  EXPECT_EQ(ClubCounter(0, 2), 0);
  EXPECT_EQ(InfoRec.Count[0][0], 0);
}

TEST_F(RegisterTest, ResultTexts) {
  ClearClassRec();
  EXPECT_EQ(ResultText(4, 3725, 1), "062:05  ");
  EXPECT_EQ(ResultText(4, 3720, 1), "062:00  ");
  EXPECT_EQ(ResultText(4, 5999948, 1), "EJSTART   ");
  EXPECT_EQ(ResultText(4, 5999942, 1), "UTG\xC5TT    ");
  KlassRec.Struken[2] = 1;
  EXPECT_EQ(ResultText(4, 5999942, 2), "Struken");
}

std::string Row(const LegOrder& r, int legs) {
  std::string s;
  for (int j = 0; j < legs; ++j) s += static_cast<char>('0' + r[static_cast<std::size_t>(j)]);
  return s;
}

TEST_F(RegisterTest, RelayAllocation) {
  ClearCompetitionRec();
  InfoRec.Days = 0;
  InfoRec.StrNr = 3;
  ClearClassRec();
  KlassRec.Bet.set("H21");
  AllocationTable t;
  RelayAllocation(t);
  const char* expected3[] = {"321", "231", "132", "312", "213", "123", "321"};
  for (int k = 0; k < 7; ++k) EXPECT_EQ(Row(t[static_cast<std::size_t>(k)], 3), expected3[k]) << k;

  InfoRec.StrNr = 2;
  ClearClassRec();
  KlassRec.Bet.set("H21");
  KlassRec.StrNr = 2;
  RelayAllocation(t);
  EXPECT_EQ(Row(t[0], 2), "21");
  EXPECT_EQ(Row(t[1], 2), "12");
  EXPECT_EQ(Row(t[2], 2), "21");

  // From a file: H21 alternates its two rows; D21 has no rows and gets generated orders.
  InfoRec.StrNr = 3;
  ClearClassRec();
  KlassRec.Bet.set("H21");
  TempDir dir;
  WriteFileBytes(dir / "lott.txt", "#H21\n312\n231\n#D21\n");
  CmpClubRec.DrawFilePath.set((dir / "lott.txt").string());
  RelayAllocation(t);
  EXPECT_EQ(Row(t[0], 3), "312");
  EXPECT_EQ(Row(t[1], 3), "231");
  EXPECT_EQ(Row(t[2], 3), "312");
  KlassRec.Bet.set("D21");
  RelayAllocation(t);
  EXPECT_EQ(Row(t[0], 3), "321");

  // A faulty row: 14 in a three-leg class.
  KlassRec.Bet.set("H21");
  WriteFileBytes(dir / "lott.txt", "#H21\n14\n");
  ui.boxes.clear();
  RelayAllocation(t);
  EXPECT_EQ(Row(t[0], 2), "11");
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0].text, "Fel i klassdata/banordnfil \"H21\", Banlottningen ej rimlig.");
  CmpClubRec.DrawFilePath.set("");
}

// The bounds of the club counters and of the district numbers, and the course length of the
// stage that is shown.
TEST_F(RegisterTest, LastClubLastDistrictAndTheStageOfTheClassTime) {
  AddCompetition("Gr\xE4nser");
  // The last club record the statistics hold is counted like any other.
  ClearEntrant();
  EntrantRec.ClubRef = kMaxClubRecords;
  CountClubStatistics(1, "H21");
  EXPECT_EQ(ClubCounter(kMaxClubRecords, 2), 1);
  EXPECT_EQ(ClubCounter(0, 2), 1);
  CountClubStatistics(-1, "H21");
  EXPECT_EQ(ClubCounter(kMaxClubRecords, 2), 0);

  // The dialog suggests a new district while fewer than 99 are stored.
  std::int32_t ref = 0;
  for (int i = 1; i <= 98; ++i) {
    ClearDistrict();
    DistrRec.Dnr.set(ZeroStr(i, 2));
    ASSERT_TRUE(PutDistrict(true, ref));
  }
  EXPECT_TRUE(SuggestDistrict());
  EXPECT_EQ(DistrRec.Dnr.get(), "99");
  ASSERT_TRUE(PutDistrict(true, ref));
  EXPECT_FALSE(SuggestDistrict());

  // The class time uses the course length of the stage shown (stage 2: 5 km at 6 min/km).
  ClearClassRec();
  KlassRec.minKmTid = 360;
  KlassRec.BanSize[1][0] = 5000;
  KlassRec.BanSize[2][0] = 3000;
  InfoRec.DagStr = 2;
  InfoRec.MellanTid = 0;
  EXPECT_EQ(ClassTimeA(), 5 * 360 + 1);
  InfoRec.DagStr = 1;  // no length on stage 1: the time per km
  EXPECT_EQ(ClassTimeA(), 360);
}

}  // namespace
}  // namespace olbrax::test

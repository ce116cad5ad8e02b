// The class list: group widths and layouts, the per-stage values, and the printed blocks.
#include "competition/records/competition_rec.h"
#include "printing/engine/print_engine.h"
#include "printing/reports/class_list.h"
#include "printing/reports/definition_reports.h"
#include "reports/report_fixture.h"

namespace olbrax::test {
namespace {

using namespace olbrax::print;

TEST(ClassListLayout, OneStageGivesNineteenCharactersAndTheSpareSharedOut) {
  ClassListLayout one = ClassListLayoutFor(1, 80);
  EXPECT_EQ(one.w0, 19);
  EXPECT_EQ(one.groups_per_line, 4);
  EXPECT_EQ(one.width, 20);  // 80 mod 19 = 4 spare characters, one for each group
  ClassListLayout three = ClassListLayoutFor(3, 80);
  EXPECT_EQ(three.w0, 33);
  EXPECT_EQ(three.groups_per_line, 2);
  EXPECT_EQ(three.width, 40);
  // A line narrower than one group still holds one.
  EXPECT_EQ(ClassListLayoutFor(5, 30).groups_per_line, 1);
}

class ClassListTest : public ReportTest {};

TEST_F(ClassListTest, IndividualClassesHaveSixteenGroupsAndOthersThirteen) {
  Competition(1);
  ClearClassRec();
  KlassRec.Bet.set("H21");
  KlassRec.StrNr = 1;
  ASSERT_TRUE(IndividualLayout());
  auto individual = ClassGroups();
  EXPECT_EQ(individual.size(), 16u);
  InfoRec.Days = 0;
  ASSERT_FALSE(IndividualLayout());
  auto other = ClassGroups();
  ASSERT_EQ(other.size(), 13u);
  EXPECT_EQ(other[4].substr(0, 10), "BanLottn :");
  // 4 groups to a line of 80 characters: 4 lines either way.
  EXPECT_EQ((16 + 3) / 4, 4);
  EXPECT_EQ((13 + 3) / 4, 4);
}

TEST_F(ClassListTest, AClassStruckInTheSecondOfThreeStagesShowsItThere) {
  Competition(3);
  ClearClassRec();
  KlassRec.StrNr = 3;
  KlassRec.Struken[2] = 1;
  KlassRec.BanSize[1][0] = 4200;
  KlassRec.nPris[0] = 9;
  auto groups = ClassGroups();
  auto find = [&](std::string_view label) {
    for (const Text& g : groups)
      if (g.compare(0, label.size(), label) == 0) return g;
    return Text();
  };
  EXPECT_EQ(find("Strukna  :"), "Strukna  :       Struke        ");
  EXPECT_EQ(find("BanL\xE4ngd :"), "BanL\xE4ngd :     0   4200      0 ");
  EXPECT_EQ(find("Sammanl. pris:"), "Sammanl. pris: 9");
}

TEST_F(ClassListTest, AClassWithoutStagesPrintsItsLabelsWithoutValues) {
  Competition(1);
  ClearClassRec();
  KlassRec.StrNr = 0;
  auto groups = ClassGroups();
  ASSERT_EQ(groups.size(), 16u);
  EXPECT_EQ(groups[0], "FrstStart:");
  EXPECT_EQ(groups[15], "SegrTid  :");
}

TEST_F(ClassListTest, TheListPrintsTheHeadingTheColumnTitlesAndABlockPerClass) {
  Competition(1);
  AddClass("H21", {"A"}, 7);
  AddClass("D21", {"B"}, 4);
  InfoRec.DagStr = 0;
  EXPECT_EQ(ClassListReport(nullptr, PickAll()), ReportResult::kPrinted);
  EXPECT_EQ(InfoRec.DagStr, 1);
  EXPECT_EQ(Canvas().title, "OlbraxW32:klasser");
  EXPECT_TRUE(HasText("KlassLista"));
  EXPECT_TRUE(HasText("Nr Bet..... sort 0Snr-nSnr 0Cnt Str max eftan SegrT. dataNummer min-maxKmtid vak"));
  int blocks = 0;
  for (const Call& c : Calls(Op::Text))
    if (c.text.compare(0, 10, "FrstStart:") == 0) ++blocks;
  EXPECT_EQ(blocks, 2);
  // The summary line: number and name at 1, the sort key at 13, the rest from 18.
  EXPECT_TRUE(HasText("01 H21"));
  EXPECT_NE(std::find(ui.report_lines.begin(), ui.report_lines.end(), "status2:Klass \"D21\" "), ui.report_lines.end());
}

}  // namespace
}  // namespace olbrax::test

// Course sheets side by side, running numbers, the stage question of the class descriptions,
// the control points and the code–course–class cross reference.
#include <algorithm>
#include <set>

#include "base/messages.h"
#include "competition/records/competition_rec.h"
#include "printing/engine/print_engine.h"
#include "printing/reports/course_sheets.h"
#include "printing/reports/definition_reports.h"
#include "printing/reports/description_grid.h"
#include "printing/reports/report_setup.h"
#include "reports/report_fixture.h"

namespace olbrax::test {
namespace {

using namespace olbrax::print;

std::vector<std::string> Codes(int first, int n) {
  std::vector<std::string> out;
  for (int i = 0; i < n; ++i) out.push_back(std::to_string(first + i));
  return out;
}

class SheetsTest : public ReportTest {
 protected:
  // The tops of the rows in which slot `i` (1-based) has symbols, with the height of its first.
  std::vector<std::pair<int, int>> RowsOfSlot(int i) {
    const double span = kColumn / 3.0;
    std::vector<std::pair<int, int>> rows;
    for (const Call& c : Calls(Op::Bitmap)) {
      if (c.x < (i - 1) * span || c.x >= i * span) continue;
      if (rows.empty() || rows.back().first != c.y) rows.emplace_back(c.y, c.y2 - c.y);
    }
    return rows;
  }
  Text ColumnA(int i, int row_top) {
    for (const Call& c : Calls(Op::Text))
      if (c.x == CellX(i, -1) && c.y > row_top && c.y < row_top + 173) return c.text;
    return "";
  }
};

TEST_F(SheetsTest, AShorterSheetClosesAtItsOwnEndAndStaysEmptyBesideTheLongerOne) {
  Competition();
  for (int c = 31; c < 31 + 15; ++c) AddControl(std::to_string(c));
  AddCourse("KORT", Codes(31, 12), 3100);
  AddCourse("LANG", Codes(31, 15), 4500);
  EXPECT_EQ(CourseDefinitionsReport(nullptr, PickAll()), ReportResult::kPrinted);
  EXPECT_EQ(pick_title, "V\xE4lj ban(a)(or)");
  auto kort = RowsOfSlot(1), lang = RowsOfSlot(2);
  // Title row, 12 controls, the closing row in row 13; nothing in rows 14 to 16.
  ASSERT_EQ(kort.size(), 14u);
  EXPECT_EQ(kort[13].second, 58);  // a closing row is one band: 24 × 2.4 dots
  // Title row, 15 controls and the closing row 16, a third of a row high.
  ASSERT_EQ(lang.size(), 17u);
  EXPECT_EQ(lang[13].first, kort[13].first);
  EXPECT_EQ(lang[13].second, 173);
  EXPECT_EQ(lang[16].second, 58);
  EXPECT_EQ(lang[16].first - lang[15].first, 173);
  // The titles: course name in cell 1 and the length right-aligned in 7 characters in cell 5.
  EXPECT_TRUE(HasText("KORT"));
  EXPECT_TRUE(HasText("   4500"));
  EXPECT_TRUE(HasText("Antal banor utskrivna:    2 [   2]"));
  EXPECT_TRUE(HasText("Kontrolldefinitioner. (48x72). Skala 1.2"));
}

TEST_F(SheetsTest, RunningNumbersSkipTheStartTheFinishAndTheTControlsAndMissingControlsAreMadeUp) {
  Competition();
  AddControl("T1");
  AddControl("31");
  AddControl("T2", {"SNITS"});
  AddControl("32", {"A"});
  AddControl("34");
  AddControl("M1");
  AddCourse("A", {"T1", "31", "T2", "32", "33", "34", "M1"});
  EXPECT_EQ(CourseDefinitionsReport(nullptr, PickAll()), ReportResult::kPrinted);
  auto rows = RowsOfSlot(1);
  ASSERT_EQ(rows.size(), 9u);  // title, 7 controls, closing row
  EXPECT_EQ(ColumnA(1, rows[1].first), "");       // the start
  EXPECT_EQ(ColumnA(1, rows[2].first), " 1");     // the first control after it
  EXPECT_EQ(ColumnA(1, rows[3].first), "SNITS");  // a T control keeps its own column A
  EXPECT_EQ(ColumnA(1, rows[4].first), "A");      // so does a control that has one
  EXPECT_EQ(ColumnA(1, rows[5].first), " 3");     // 33 is not in the register
  EXPECT_EQ(ColumnA(1, rows[6].first), " 4");
  EXPECT_EQ(ColumnA(1, rows[7].first), "");       // the finish
  for (const char* word : {"finns", "inte", "data"}) EXPECT_TRUE(HasText(word)) << word;
  EXPECT_TRUE(HasText(" 33"));  // column B of the made-up description
}

TEST_F(SheetsTest, ClassDescriptionsOfSeveralStagesAskForTheStageAndPrintNothingWhenDeclined) {
  Competition(3);
  AddControl("31");
  AddCourse("A", {"31"});
  AddCourse("B", {"31", "31"});
  AddClass("H21", {"A", "B", "A"}, 12);
  InfoRec.DagStr = 3;
  EXPECT_EQ(ClassDescriptionsReport(nullptr, PickAll()), ReportResult::kNothing);
  ASSERT_EQ(ui.number_prompts.size(), 1u);
  EXPECT_EQ(ui.number_prompts[0], StageQuestion(3));
  EXPECT_TRUE(kept.empty());  // no print job was started

  ui.numbers = {7};
  EXPECT_EQ(ClassDescriptionsReport(nullptr, PickAll()), ReportResult::kNothing);
  EXPECT_TRUE(kept.empty());
  EXPECT_NE(MsgLine.find("Etapp 7 finns inte"), Text::npos);

  ui.numbers = {2};
  EXPECT_EQ(ClassDescriptionsReport(nullptr, PickAll()), ReportResult::kPrinted);
  EXPECT_EQ(InfoRec.DagStr, 2);
  EXPECT_EQ(pick_title, "V\xE4lj klass(er)");
  // The class's course of stage 2, titled with its leg order and the class.
  EXPECT_TRUE(HasText("2-H21"));
  EXPECT_TRUE(HasText("2-H21 Antal 12 [ 12]"));
  EXPECT_EQ(RowsOfSlot(1).size(), 4u);  // title, the two controls of B, closing row
  EXPECT_TRUE(HasText("Antal utskrivna banor:    1 [   2]"));
}

TEST_F(SheetsTest, ClassDescriptionsOfOneStageAskNothing) {
  Competition(1);
  AddControl("31");
  AddCourse("A", {"31"});
  AddClass("D10", {"A"}, 3);
  EXPECT_EQ(ClassDescriptionsReport(nullptr, PickAll()), ReportResult::kPrinted);
  EXPECT_TRUE(ui.number_prompts.empty());
  EXPECT_EQ(InfoRec.DagStr, 1);
  EXPECT_TRUE(HasText("D10 [  3] "));  // the class line above the sheet
}

TEST_F(SheetsTest, ControlPointsNumberAllButStartFinishAndTControlsAndCloseBeforeABreak) {
  Competition();
  AddControl("31");
  AddControl("S1");
  AddControl("32");
  AddControl("M1");
  AddControl("T9");
  EXPECT_EQ(ControlPointsReport(nullptr, PickAll()), ReportResult::kPrinted);
  EXPECT_EQ(pick_title, "V\xE4lj kontroll(er)");
  std::set<Text> numbers;
  for (const Call& c : Calls(Op::Text))
    if (c.x == CellX(1, -1) || c.x == CellX(2, -1) || c.x == CellX(3, -1)) numbers.insert(c.text);
  // Key order 31, 32, M1, S1, T9: only the two plain controls are numbered, by their place.
  EXPECT_EQ(numbers, (std::set<Text>{" 1", " 2"}));
  EXPECT_TRUE(HasText("Antal utskrivna kontrollpunkter    5 [   5]"));
}

TEST_F(SheetsTest, ANothingPickedOrEmptyRegisterPrintsNothing) {
  Competition();
  EXPECT_EQ(ControlPointsReport(nullptr, PickAll()), ReportResult::kNothing);
  AddControl("31");
  EXPECT_EQ(ControlPointsReport(nullptr, PickOf({})), ReportResult::kNothing);
  EXPECT_TRUE(kept.empty());
}

TEST_F(SheetsTest, ACancelledJobStopsTheReportAndStillEndsIt) {
  Competition();
  for (int c = 31; c < 61; ++c) AddControl(std::to_string(c));
  ui.RequestCancel();
  EXPECT_EQ(ControlPointsReport(nullptr, PickAll()), ReportResult::kAborted);
  EXPECT_FALSE(PrPrinting());
  EXPECT_TRUE(Calls(Op::Bitmap).empty());
  EXPECT_EQ(Calls(Op::Abort).size(), 1u);
}

TEST_F(SheetsTest, CrossReferenceListsCoursesWithPositionsAndTheirClasses) {
  Competition(2);
  AddControl("T1");
  AddControl("31");
  AddControl("32");
  AddControl("M1");
  AddCourse("A", {"T1", "31", "32", "M1"});
  AddCourse("B", {"T1", "32", "M1"});
  AddClass("H21", {"A", "B"});
  AddClass("D21", {"B", "A"});
  std::int32_t ref32 = 0;
  bool e, f;
  FindControl(kFindExact, "32", ref32, e, f);
  std::int32_t ref_m = 0;
  FindControl(kFindExact, "M1", ref_m, e, f);
  EXPECT_EQ(CodeCourseClassReport(&ui, PickOf({ref32, ref_m})), ReportResult::kPrinted);
  // 32 is the second control of A and the first of B (the start is not counted); M1 gets "(M)".
  EXPECT_TRUE(HasText("A( 2)"));
  EXPECT_TRUE(HasText("B( 1)"));
  EXPECT_TRUE(HasText("A(M)"));
  EXPECT_TRUE(HasText("H21[1 "));
  EXPECT_TRUE(HasText("D21[2 "));
  EXPECT_TRUE(HasText("Bana(kontrnr) Klass[etapp]...."));
  EXPECT_TRUE(HasText("Kontroller:   4. Banor:   2. Klasser:   2"));
  // The description of 32 is numbered by its place in the report; M1 is not numbered.
  EXPECT_TRUE(HasText(" 1"));
  EXPECT_FALSE(HasText(" 2"));
  // The collection shows its progress in the counter window.
  EXPECT_NE(std::find(ui.counter_lines.begin(), ui.counter_lines.end(), "1:1:Antal kontroller: [  2] \"32\""),
            ui.counter_lines.end());
  EXPECT_NE(std::find(ui.counter_lines.begin(), ui.counter_lines.end(), "1:3:Antal klasser:2"), ui.counter_lines.end());
}

// Every page of a long report: no symbol and no text of the body comes down to the footer rule.
TEST_F(SheetsTest, LongReportsKeepClearOfTheFooterAndClassLinesOfTheirSheet) {
  Competition();
  for (int c = 31; c < 71; ++c) AddControl(std::to_string(c));
  for (int n = 0; n < 9; ++n) {
    const std::string course(1, static_cast<char>('A' + n));
    AddCourse(course, Codes(31 + n, 30));
    for (int k = 0; k < 12; ++k) AddClass(course + "K" + std::to_string(k), {course.c_str()}, k);
  }
  auto check = [&](const char* what) {
    const print::RecordingCanvas& c = Canvas();
    ASSERT_GT(c.pages, 2) << what;
    for (int page = 1; page <= c.pages; ++page) {
      int footer = -1;
      for (const Call& call : c.calls)
        if (call.page == page && call.op == Op::Line && call.width == 1 && call.x > call.x2) footer = call.y;
      ASSERT_GT(footer, 0) << what << " page " << page;
      for (const Call& call : c.calls) {
        if (call.page != page) continue;
        if (call.op == Op::Bitmap) {
          EXPECT_LE(call.y2, footer) << what << " page " << page;
        } else if (call.op == Op::Text && call.y < footer) {
          EXPECT_LE(call.y + call.font.pixels, footer) << what << " " << call.text;
        }
      }
    }
  };
  ASSERT_EQ(CourseDefinitionsReport(nullptr, PickAll()), ReportResult::kPrinted);
  check("courses");
  // The class lines over a sheet wrap within its description: 387 units from their start.
  int class_lines = 0;
  for (const Call& call : Calls(Op::Text))
    if (call.text.size() > 2 && call.text.compare(call.text.size() - 2, 2, "] ") == 0) {
      ++class_lines;
      EXPECT_LE(static_cast<int>(call.text.size()) * (call.font.pixels / 2), 387 * 3.6) << call.text;
    }
  EXPECT_GE(class_lines, 9 * 3);
  ASSERT_EQ(CodeCourseClassReport(nullptr, PickAll()), ReportResult::kPrinted);
  check("code-course-class");
}

}  // namespace
}  // namespace olbrax::test

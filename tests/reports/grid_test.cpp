// The description grid on the print column: how many descriptions fit across, where the cells
// are, and the scale in the headings.
#include "base/messages.h"
#include "competition/records/competition_rec.h"
#include "printing/engine/print_engine.h"
#include "printing/reports/definition_reports.h"
#include "printing/reports/description_grid.h"
#include "printing/reports/report_frame.h"
#include "printing/reports/report_setup.h"
#include "reports/report_fixture.h"

namespace olbrax::test {
namespace {

using namespace olbrax::print;

class GridTest : public ReportTest {
 protected:
  void StartJob(int scale) {
    InfoRec.banPrSkalaW = static_cast<std::uint8_t>(scale);
    ASSERT_TRUE(StartReportJob(nullptr, "t"));
    ReportInit();
    ASSERT_EQ(ColumnWidth(), kColumn);
  }
  void TearDown() override {
    if (PrPrinting()) printerexit(0, 0);
    ReportTest::TearDown();
  }
};

TEST_F(GridTest, ThreeDescriptionsAcrossAtScale12WithTheMarginOfTheSlot) {
  Competition();
  StartJob(12);
  // trunc(4760 ÷ 1486.8) = 3; each slot 1586.7 dots, margin (1586.7 − 1411.2) ÷ 2 = 87.7.
  EXPECT_EQ(AcrossCount(), 3);
  EXPECT_EQ(RowHeight(), 173);
  EXPECT_EQ(CellX(1, 1), 87);
  EXPECT_EQ(CellX(1, 2), 260);         // trunc(48 × 3.6 + 87.7)
  EXPECT_EQ(CellX(1, 3), 462);         // the gap of 8 units after the second cell
  EXPECT_EQ(CellX(1, -3), 480);        // 5 units inside cell 3
  EXPECT_EQ(CellX(2, 1), 1674);        // trunc(1586.7 + 87.7)
  EXPECT_EQ(CellX(3, 9), 4672);        // the column end: trunc(2 × 1586.7 + 392 × 3.6 + 87.7)
  EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(GridTest, AScaleTooLargeForOneDescriptionGivesTheNoticeAndOneAcross) {
  Competition();
  StartJob(40);  // 413 × 12 = 4956 dots > 4760
  EXPECT_EQ(AcrossCount(), 1);
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0].text, "Utskriften f\xE5r inte plats p\xE5 bredden. F\xF6r stor skala!");
  // The description (392 × 12 dots) still fits the column: it is centred in it.
  EXPECT_EQ(CellX(1, 1), (kColumn - 392 * 12) / 2);
}

TEST_F(GridTest, ScaleZeroPrintsAsOnePointZeroAndStaysTen) {
  Competition();
  AddControl("31");
  InfoRec.banPrSkalaW = 0;
  EXPECT_EQ(ControlPointsReport(nullptr, PickAll()), ReportResult::kPrinted);
  EXPECT_EQ(InfoRec.banPrSkalaW, 10);
  EXPECT_TRUE(HasText("Kontrollpunkter. (48x72). Skala 1.0"));
  EXPECT_EQ(ScaleText(12), "1.2");
  EXPECT_EQ(ScaleText(100), "10.0");
}

}  // namespace
}  // namespace olbrax::test

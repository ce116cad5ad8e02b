// Reports over registers that cannot be read: every report runs with the n-th file read failing,
// for n = 1, 2, ... until it runs through. A failed read must never give a report that looks
// whole: the job is thrown away and the engine's message is shown, once.
#include <cerrno>

#include "base/messages.h"

#include "printing/engine/print_engine.h"
#include "printing/reports/course_image.h"
#include "printing/reports/definition_reports.h"
#include "reports/report_fixture.h"
#include "storage/file_hooks.h"

namespace olbrax::test {
namespace {

using namespace olbrax::print;

class ReadFailureTest : public ReportTest {
 protected:
  void SetUp() override {
    ReportTest::SetUp();
    Competition(2);
    AddSymbol("_VU", 0x81);
    AddSymbol("_U", 0x18);
    AddSymbol("STN", 0xF0, 2);
    AddControl("31", {"", "", "", "STN"});
    AddControl("32");
    AddControl("33", {"", "", "STN"});
    AddCourse("A", {"31", "32", "33"}, 2500);
    AddCourse("B", {"33", "31"}, 1900);
    AddClass("H21", {"A", "B"}, 12);
    AddClass("D21", {"B", "A"}, 7);
    disk::SetFileHooks(&faults);
  }
  void TearDown() override {
    disk::SetFileHooks(nullptr);
    ReportTest::TearDown();
  }
  // Runs `report` with the n-th read failing for every n until a run sees no failure.
  void Loop(const char* name, const std::function<ReportResult()>& report) {
    SCOPED_TRACE(name);
    int n = 1;
    for (; n <= 400; ++n) {
      kept.clear();
      ui.boxes.clear();
      ui.numbers = {2};
      faults.Arm(disk::FileOp::Read, n, EIO);
      const ReportResult result = report();
      const bool fired = faults.Fired();
      faults.Disarm();
      if (!fired) {
        EXPECT_EQ(result, ReportResult::kPrinted);
        EXPECT_TRUE(ui.boxes.empty());
        break;
      }
      // Failed while printing, or before: in the walk over the entries to pick from, which then
      // offers nothing.
      if (result == ReportResult::kNothing) EXPECT_TRUE(kept.empty()) << "read " << n;
      else ASSERT_EQ(result, ReportResult::kFailed) << "read " << n;
      ASSERT_EQ(ui.boxes.size(), 1u) << "read " << n;
      EXPECT_EQ(ui.boxes[0].text, MsgLine);
      // Nothing reached the printer as a finished job.
      for (const auto& canvas : kept)
        for (const Call& c : canvas->calls) ASSERT_NE(c.op, Op::End) << "read " << n;
      EXPECT_FALSE(PrPrinting());
    }
    EXPECT_GT(n, 1);  // the loop did make reads fail
    EXPECT_LE(n, 400);
  }
  disk::FaultInjector faults;
};

TEST_F(ReadFailureTest, EveryReportThrowsAwayAJobWhoseReadsFailed) {
  Loop("kontroller", [&] { return ControlPointsReport(nullptr, PickAll()); });
  Loop("banor klass", [&] { return ClassDescriptionsReport(nullptr, PickAll()); });
  Loop("banor", [&] { return CourseDefinitionsReport(nullptr, PickAll()); });
  Loop("kodbanaklass", [&] { return CodeCourseClassReport(nullptr, PickAll()); });
  Loop("rutbeskrivningar", [&] { return RouteDescriptionReport(nullptr, PickAll(), 'p'); });
  Loop("klasslista", [&] { return ClassListReport(nullptr, PickAll()); });
}

TEST_F(ReadFailureTest, ACourseImageTellsWhatItCouldNotRead) {
  std::int32_t ref = 0;
  bool at_end = false, found = false;
  FindCourse(kFindExact, "A", ref, at_end, found);
  ASSERT_TRUE(found);
  const TTrackRec course = TrackRec;
  int n = 1;
  for (; n <= 100; ++n) {
    ui.boxes.clear();
    faults.Arm(disk::FileOp::Read, n, EIO);
    const QImage image = DrawCourseImage(course);
    const bool fired = faults.Fired();
    faults.Disarm();
    EXPECT_EQ(ShowReadFailure(), fired) << "read " << n;
    EXPECT_EQ(ui.boxes.size(), fired ? 1u : 0u) << "read " << n;
    EXPECT_FALSE(image.isNull());
    if (!fired) break;
  }
  EXPECT_GT(n, 1);
  EXPECT_LE(n, 100);
}

}  // namespace
}  // namespace olbrax::test

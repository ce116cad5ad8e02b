// The course image window: its caption and picture, and the save dialog when it closes.
#include <QScrollArea>
#include <filesystem>

#include "competition/data_fixture.h"
#include "competition/registers/definitions.h"
#include "platform/qt/qtext.h"
#include "printing/reports/course_image.h"
#include "shell/course_image_window.h"

namespace olbrax::test {
namespace {

class CourseImageWindowTest : public DataTest {
 protected:
  void SetUp() override {
    DataTest::SetUp();
    AddCompetition("Bildloppet");
    InfoRec.banPrSkalaW = 12;
    CloseCompetition();
    OpenDefinitions();
    ASSERT_TRUE(DefinitionsOpen);
    ClearControl();
    KontrRec.KodNr.set("31");
    std::int32_t ref = 0;
    PutControl(true, ref);
    ClearCourse();
    TrackRec.Bana.set("A");
    TrackRec.Antal = 1;
    TrackRec.KodNr[0].set("31");
    PutCourse(true, ref);
    ClearClassRec();
    KlassRec.Bet.set("H21");
  }
};

TEST_F(CourseImageWindowTest, ClosingOffersToSaveInTheFormatOfTheName) {
  TbanImgForm form(nullptr, TrackRec, KlassRec);
  EXPECT_EQ(form.windowTitle(), QString::fromUtf8("A H21 (48x72).   (möjlighet att spara bild på fil vid stängning)"));
  EXPECT_EQ(form.img().width(), print::MakeCourseImageGrid().ImageX(10));
  const std::string file = (home / "bana.png").string();
  ui.chosen_files = {file};
  form.reject();
  EXPECT_EQ(ReadFileBytes(file).substr(0, 4), "\x89PNG");
  // The dialog is offered once, however the window is closed.
  form.accept();
  EXPECT_TRUE(ui.chosen_files.empty());
}

TEST_F(CourseImageWindowTest, ACancelledOrFailedSaveLeavesNoFileAndSaysWhy) {
  {
    TbanImgForm form(nullptr, TrackRec, KlassRec);
    form.reject();  // no name chosen: Cancel
  }
  EXPECT_TRUE(ui.boxes.empty());
  TbanImgForm form(nullptr, TrackRec, KlassRec);
  ui.chosen_files = {(home / "saknas" / "bana.jpg").string()};
  form.reject();
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_NE(ui.boxes[0].text.find("Kan ej spara bilden"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(home / "saknas"));
}

}  // namespace
}  // namespace olbrax::test

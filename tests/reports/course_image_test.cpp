// The course image: its size from the grid, the sheet drawn into it, and saving it in the
// format its file name asks for.
#include <QImage>
#include <filesystem>
#include <fstream>

#include "competition/records/competition_rec.h"
#include "printing/engine/picture_save.h"
#include "printing/reports/course_image.h"
#include "reports/report_fixture.h"

namespace olbrax::test {
namespace {

using namespace olbrax::print;

class CourseImageTest : public ReportTest {};

TEST_F(CourseImageTest, TenControlsAtScale12Give556By719Pixels) {
  Competition();
  std::vector<std::string> codes;
  for (int c = 31; c < 41; ++c) {
    AddControl(std::to_string(c));
    codes.push_back(std::to_string(c));
  }
  AddCourse("A", codes, 2500);
  CourseImageGrid grid = MakeCourseImageGrid();
  EXPECT_EQ(grid.leftm, 28);
  EXPECT_EQ(grid.topm, 28);
  EXPECT_EQ(grid.ImageX(2) - grid.ImageX(1), 57);  // trunc(57.6)
  QImage image = DrawCourseImage(TrackRec);
  EXPECT_EQ(image.width(), 556);
  EXPECT_EQ(image.height(), 719);
}

TEST_F(CourseImageTest, ACourseWithoutControlsShowsTheTitleAndTheClosingRow) {
  Competition();
  AddSymbol("_U", 0);
  // The start/finish default: a line along the top of the cell.
  std::int32_t ref = 0;
  bool e, f;
  FindRoute(kFindExact, "_U", ref, e, f);
  ASSERT_TRUE(f);
  DeleteKey(RouteFile, 1, ref, "_U");
  for (int c = 0; c < 48; ++c) Route24Rec.RouteSymbol[0][0][c] = 0xC0;
  PutRoute(false, ref);
  AddCourse("TOM", {});
  QImage image = DrawCourseImage(TrackRec);
  CourseImageGrid grid = MakeCourseImageGrid();
  EXPECT_EQ(image.height(), grid.ImageY(3));
  // The closing row in row 2 draws the top line of its cells; nothing is drawn below it.
  const int y = grid.ImageY(2);
  EXPECT_EQ(qGray(image.pixel(grid.ImageX(3) + 5, y)), 0);
  for (int yy = y + 3; yy < image.height(); ++yy) ASSERT_EQ(qGray(image.pixel(grid.ImageX(3) + 5, yy)), 255) << yy;
  EXPECT_EQ(CourseImageCaption(TrackRec, KlassRec).substr(0, 10), "TOM  (48x7");
}

TEST(PictureFiles, TheExtensionChoosesTheFormatAndBitmapIsTheDefault) {
  TempDir dir;
  QImage image(30, 20, QImage::Format_RGB32);
  image.fill(Qt::white);
  auto head = [](const std::filesystem::path& p) {
    std::string bytes = ReadFileBytes(p);
    return bytes.substr(0, 4);
  };
  Text error;
  for (const char* name : {"a.jpg", "b.JPEG", "c.png", "d.bmp", "e", "f.gif"})
    ASSERT_TRUE(SavePicture((dir / name).string(), image, error)) << name << " " << error;
  EXPECT_EQ(head(dir / "a.jpg").substr(0, 3), "\xFF\xD8\xFF");
  EXPECT_EQ(head(dir / "b.JPEG").substr(0, 3), "\xFF\xD8\xFF");
  EXPECT_EQ(head(dir / "c.png"), "\x89PNG");
  EXPECT_EQ(head(dir / "d.bmp").substr(0, 2), "BM");
  EXPECT_EQ(head(dir / "e").substr(0, 2), "BM");
  EXPECT_EQ(head(dir / "f.gif").substr(0, 2), "BM");
  // Other programs read them back as what they are.
  QImage back;
  EXPECT_TRUE(back.load(QString::fromStdString((dir / "a.jpg").string()), "JPEG"));
  EXPECT_EQ(back.size(), image.size());
}

TEST(PictureFiles, AnUnwritablePlaceSaysSoAndLeavesNoFileAndAnOldOneUnchanged) {
  TempDir dir;
  QImage image(10, 10, QImage::Format_RGB32);
  image.fill(Qt::black);
  Text error;
  EXPECT_FALSE(SavePicture((dir / "no" / "such" / "x.png").string(), image, error));
  EXPECT_NE(error.find("Kan ej spara bilden"), Text::npos);
  EXPECT_NE(error.find("x.png"), Text::npos);
  // A name that is a folder cannot be replaced: the old content stays, no temporary is left.
  std::filesystem::create_directory(dir / "pic.bmp");
  EXPECT_FALSE(SavePicture((dir / "pic.bmp").string(), image, error));
  EXPECT_TRUE(std::filesystem::is_directory(dir / "pic.bmp"));
  int files = 0;
  for (auto& e : std::filesystem::directory_iterator(dir.path())) files += e.is_regular_file();
  EXPECT_EQ(files, 0);
}

}  // namespace
}  // namespace olbrax::test

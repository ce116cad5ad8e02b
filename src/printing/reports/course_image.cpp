#include "printing/reports/course_image.h"

#include <algorithm>
#include <cmath>

#include "base/messages.h"
#include "competition/records/competition_rec.h"
#include "printing/engine/picture_canvas.h"
#include "printing/reports/description_drawing.h"
#include "printing/reports/report_picks.h"
#include "printing/reports/report_setup.h"

namespace olbrax::print {

namespace {

// The picture as a place for descriptions: positions from the grid, one sheet.
class ImageSheetTarget : public SheetTarget {
 public:
  ImageSheetTarget(PictureCanvas& canvas, const CourseImageGrid& grid) : canvas_(canvas), grid_(grid) {
    const int s = grid.scale;
    title_ = ToCanvasFont({"Arial", Round(20.0 * s / 10), false}, 96);
    text_ = ToCanvasFont({"Arial", Round(18.0 * s / 10), false}, 96);
    cell_ = ToCanvasFont({"Courier New", Round(7.0 * s / 10), true}, 96);
  }
  Canvas* DrawCanvas() override { return &canvas_; }
  int CellX(int, int k) override { return grid_.ImageX(k); }
  int RowTop() override { return grid_.ImageY(row_); }
  double RowHeight() override { return 72.0 * 2.0 * grid_.scale / 30.0; }
  double SymbolXFactor() override { return grid_.scale / 10.0; }
  double SymbolYFactor() override { return 2.0 * grid_.scale / 30.0; }
  const CanvasFont& TitleFont() override { return title_; }
  const CanvasFont& TextFont() override { return text_; }
  const CanvasFont& CellFont() override { return cell_; }
  void ReserveRow(double) override {}
  void NextRow(double) override { ++row_; }

 private:
  static int Round(double v) { return static_cast<int>(std::lround(v)); }
  PictureCanvas& canvas_;
  CourseImageGrid grid_;
  CanvasFont title_, text_, cell_;
  int row_ = 1;
};

}  // namespace

int CourseImageGrid::ImageX(int k) const {
  int m = std::max(1, std::abs(k));
  int units = (k < 0 ? 5 : 0) + (m >= 3 ? 8 : 0) + (m - 1) * 48;
  return static_cast<int>(units * scale / 10.0) + leftm;
}

int CourseImageGrid::ImageY(int r) const { return static_cast<int>((r - 1) * 72 * 2 * scale / 30.0) + topm; }

CourseImageGrid MakeCourseImageGrid() {
  CourseImageGrid g;
  g.scale = DescriptionScale();
  g.leftm = (g.ImageX(2) - g.ImageX(1)) / 2;
  g.topm = (g.ImageY(2) - g.ImageY(1)) / 2;
  return g;
}

Text CourseImageCaption(const TTrackRec& course, const TKlassRec& klass) {
  Text caption = course.Bana.get() + " " + klass.Bet.get() + " (" + Text(kSymbolWidth) + Text(kSymbolHeight);
  return Cut(caption, 80) + "   (m\xF6jlighet att spara bild p\xE5 fil vid st\xE4ngning)";
}

QImage DrawCourseImage(const TTrackRec& course) {
  ForgetReadFailure();
  ShowText(1, "Initierar");
  Report.scale = DescriptionScale();
  MakeClassCourseTable();
  LoadSpecialSymbols();
  const CourseImageGrid grid = MakeCourseImageGrid();
  const int antal = std::clamp<int>(course.Antal, 0, kMaxCourseControls);
  PictureCanvas canvas(grid.ImageX(10), grid.ImageY(antal + 3));
  canvas.Begin("");
  ImageSheetTarget target(canvas, grid);
  DescriptionPainter painter(target);
  const int d = std::clamp<int>(InfoRec.MellanTid, 0, 25);
  const Text title = course.Bana.get(), length = IntStr(course.BanSize[d], 7);
  painter.TitleRow(1, &title, &length);
  int t_count = 0;
  for (int i = 0; i <= antal; ++i) {
    DescriptionSlot slot = CourseSlot(course, i + 1, t_count);
    painter.Row(1, i == antal, &slot);
  }
  canvas.End();
  ReportDone();
  return canvas.Image();
}

}  // namespace olbrax::print

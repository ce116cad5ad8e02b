#include "printing/reports/course_sheets.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "base/memory.h"
#include "base/messages.h"
#include "competition/records/competition_rec.h"
#include "printing/engine/print_engine.h"
#include "printing/reports/description_grid.h"
#include "printing/reports/print_sheet_target.h"
#include "printing/reports/report_setup.h"

namespace olbrax::print {

namespace {

// The memory the eight description slots take.
constexpr int kSlotBytes = 8 * 116;

int LineHeightOf(Canvas& c, const CanvasFont& font) {
  CanvasFont saved = c.Font();
  c.SetFont(font);
  FontMetrics m;
  c.Metrics(m);
  c.SetFont(saved);
  return m.height + m.external_leading;
}

int TextWidthOf(Canvas& c, const CanvasFont& font, std::string_view text) {
  CanvasFont saved = c.Font();
  c.SetFont(font);
  int w = c.TextWidth(text);
  c.SetFont(saved);
  return w;
}

void DrawAt(Canvas& c, const CanvasFont& font, int x, int y, std::string_view text) {
  if (PrAborted() || text.empty()) return;
  CanvasFont saved = c.Font();
  c.SetFont(font);
  c.DrawText(x, y, text);
  c.SetFont(saved);
}

}  // namespace

Text SheetTitle(const TTrackRec& course, const TKlassRec* klass) {
  if (!klass) return course.Bana.get();
  int stage = InfoRec.DagStr;
  Text order = InfoRec.StrNr > 1 && stage >= 1 && stage <= 5 ? klass->BanLottn[stage - 1].get() : Text();
  return order.empty() ? klass->Bet.get() : order + "-" + klass->Bet.get();
}

int SheetHeader(bool print, int n, const TTrackRec* courses, const TKlassRec* classes) {
  Canvas* canvas = PrCanvas();
  if (!canvas || n < 1) return 0;
  PrintSheetTarget target;
  const CanvasFont& text_font = target.TextFont();
  const CanvasFont& title_font = target.TitleFont();
  // A class line ends at the right edge of its description: the line starts 5 units inside the
  // first cell, so it has 387 units. (Half a slot more, as far as span ÷ 2 + 392 units, would
  // run into the class lines of the next sheet and print over them.)
  const double limit = 387 * GridUnit();

  // The class texts of each course, laid out in lines that stay within the limit.
  std::vector<std::vector<Text>> lines(static_cast<std::size_t>(n));
  std::vector<int> sums(static_cast<std::size_t>(n), 0);
  std::size_t rows = 0;
  for (int i = 0; i < n; ++i) {
    const Text name = courses[i].Bana.get();
    auto& mine = lines[static_cast<std::size_t>(i)];
    for (const ClassCourse& c : Report.classes) {
      if (std::find(c.course.begin(), c.course.end(), name) == c.course.end() || name.empty()) continue;
      Text piece = c.name + " [" + IntStr(c.count, 3) + "] ";
      sums[static_cast<std::size_t>(i)] += c.count;
      if (mine.empty() || TextWidthOf(*canvas, text_font, mine.back() + piece) > limit) mine.push_back(piece);
      else mine.back() += piece;
    }
    rows = std::max(rows, mine.size());
  }
  const int text_line = LineHeightOf(*canvas, text_font);
  const int title_line = LineHeightOf(*canvas, title_font);
  const int height = static_cast<int>(rows) * text_line + title_line;
  if (!print) return height;

  NeedSpace("", height);
  int y = CursorY;
  for (std::size_t r = 0; r < rows; ++r, y += text_line)
    for (int i = 0; i < n; ++i)
      if (r < lines[static_cast<std::size_t>(i)].size())
        DrawAt(*canvas, text_font, target.CellX(i + 1, -1), y, lines[static_cast<std::size_t>(i)][r]);
  for (int i = 0; i < n; ++i) {
    Text line = SheetTitle(courses[i], classes ? &classes[i] : nullptr) + " Antal";
    if (classes) line += " " + IntStr(classes[i].Count[0][std::clamp<int>(InfoRec.MellanTid, 0, 25)], 0);
    line += " [" + IntStr(sums[static_cast<std::size_t>(i)], 3) + "]";
    DrawAt(*canvas, title_font, target.CellX(i + 1, -1), y, line);
  }
  SetLineY(-height);
  return height;
}

void CourseSheets(int n, const TTrackRec* courses, const TKlassRec* classes) {
  if (n < 1) return;
  if (!MemAvail(kSlotBytes)) {
    ShowText(1, "Minnet f\xF6r litet f\xF6r banutskrift!");
    return;
  }
  n = std::min(n, 8);
  DescriptionSlot slots[8];
  const int d = std::clamp<int>(InfoRec.MellanTid, 0, 25);
  int max = 0;
  for (int j = 0; j < n; ++j) max = std::max<int>(max, std::clamp<int>(courses[j].Antal, 0, kMaxCourseControls));
  const int row = RowHeight();

  PushFont('N');
  FitsLinesAndSpace(true, SheetHeader(false, n, courses, classes) + (row + 1.0) * max + row / 3.0, 3);
  PopFont();
  SheetHeader(true, n, courses, classes);
  NeedSpace("", row);

  PrintSheetTarget target;
  DescriptionPainter painter(target);
  Text titles[8], lengths[8];
  for (int j = 0; j < n; ++j) {
    titles[j] = SheetTitle(courses[j], classes ? &classes[j] : nullptr);
    lengths[j] = IntStr(courses[j].BanSize[d], 7);
  }
  painter.TitleRow(n, titles, lengths);

  int t_count[8] = {};
  for (int r = 1; r <= max + 1 && !PrAborted(); ++r) {
    bool any = false;
    for (int j = 0; j < n; ++j) {
      const TTrackRec& course = courses[j];
      ShowStatusLine(2, "Bana \"" + course.Bana.get() + "\" Klass \"" + (classes ? classes[j].Bet.get() : Text()) +
                            "\" Banl:" + IntStr(course.BanSize[d], 7));
      slots[j] = CourseSlot(course, r, t_count[j]);
      if (slots[j].kind == DescriptionSlot::kNothing) continue;
      any = true;
      if (slots[j].kind == DescriptionSlot::kControl)
        ShowStatusLine(3, "Kontr \"" + slots[j].control.KodNr.get() + "\" " + IntStr(r, 2) + " [" +
                              IntStr(course.Antal, 2) + "]");
    }
    if (any && !PrAborted()) painter.Row(n, r >= max + 1, slots);
  }
}

}  // namespace olbrax::print

#include "printing/reports/description_drawing.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "competition/registers/definitions.h"
#include "competition/registers/register_find.h"
#include "printing/reports/report_picks.h"
#include "printing/reports/report_setup.h"

namespace olbrax::print {

namespace {

int Round(double v) { return static_cast<int>(std::lround(v)); }

// The marker texts of the closing and the empty slot, handed to CellSymbol as the cell text.
constexpr std::string_view kClosing = "exi", kNothing = "nul";

}  // namespace

bool CodeStartsWith(std::string_view code, std::string_view letters) {
  return !code.empty() && letters.find(static_cast<char>(UpChar(static_cast<unsigned char>(code[0])))) != std::string_view::npos;
}

void DescriptionPainter::TextAt(int x, int y, std::string_view text, const CanvasFont& font) {
  Canvas* c = t_.DrawCanvas();
  if (!c || text.empty()) return;
  CanvasFont saved = c->Font();
  c->SetFont(font);
  c->DrawText(x, y, text);
  c->SetFont(saved);
}

void DescriptionPainter::CellSymbol(int pass, int i, int k, std::string_view text, const TRoute24Rec& symbol) {
  if (text == kNothing) return;
  int bands = 3;
  if (text == kClosing) {
    bands = 1;
    text = {};
  }
  if (pass == 1) {
    const MonoBitmap& bitmap = CellBitmap(symbol, k, bands);
    double xf = t_.SymbolXFactor(), yf = t_.SymbolYFactor();
    if (Canvas* c = t_.DrawCanvas()) c->DrawMonoBitmap(pen_x_, pen_y_, bitmap, xf, yf);
    // As a bitmap drawn at the cursor, it leaves the pen one dot right of it.
    pen_x_ += Round(bitmap.width * xf) + 1;
  }
  CellText(pass, i, k, text);
}

void DescriptionPainter::CellText(int pass, int i, int k, std::string_view text_in) {
  Text text(text_in.substr(0, 6));
  if (text.empty()) return;
  const double row = t_.RowHeight();
  if (text.find('/') != Text::npos && k >= 3 && pass == 2) {
    // The stroke from the top right to the bottom left corner of the cell, pen width 5.
    if (Canvas* c = t_.DrawCanvas()) c->DrawLine(t_.CellX(i, k + 1), pen_y_, t_.CellX(i, k), pen_y_ + Round(row), 5);
    return;
  }
  if (pass == 2 && k == 2) text = PadLeft(text, ' ', 3);
  for (char& ch : text)
    if (ch == 'X') ch = 'x';
  const int len = static_cast<int>(text.size());
  const bool text_font = len <= 3 || (k == 2 && len == 4);
  const double b = row / 3.0;
  const double o = b * (text_font ? 0.5 : 0.25);
  int dy = pass == 1 ? Round(o * 0.5) : pass == 2 ? Round(b - o) : Round(2 * b - o);
  TextAt(t_.CellX(i, -k), pen_y_ + dy, text, text_font ? t_.TextFont() : t_.CellFont());
}

void DescriptionPainter::SlotPass(int pass, int i, const DescriptionSlot& slot) {
  pen_x_ = t_.CellX(i, 1);
  pen_y_ = t_.RowTop();
  if (slot.kind != DescriptionSlot::kControl) {
    bool closing = slot.kind == DescriptionSlot::kClosing;
    const TRoute24Rec& symbol = closing ? Report.start_default : Report.empty;
    for (int k = 1; k <= 8; ++k) CellSymbol(pass, i, k, closing ? kClosing : kNothing, symbol);
    return;
  }
  const TKontrRec& c = slot.control;
  const TRoute24Rec& fallback = CodeStartsWith(c.KodNr.get(), "MT") ? Report.start_default : Report.cell_default;
  for (int k = 1; k <= 8; ++k) {
    const Text t = c.R[k - 1].get();
    if (const TRoute24Rec* symbol = FindSymbol(t)) {
      CellSymbol(pass, i, k, {}, *symbol);
      continue;
    }
    std::size_t cut = t.find('_');
    if (cut == Text::npos) cut = t.find('/');
    if (cut == Text::npos) {
      CellSymbol(pass, i, k, pass == 2 ? std::string_view(t) : std::string_view(), fallback);
      continue;
    }
    Text part;
    if (pass == 1) part = PadLeft(t.substr(0, cut), ' ', 5);
    else if (pass == 3) part = PadLeft(t.substr(cut + 1), ' ', 5);
    else if (t[cut] == '/') part = "  /  ";
    CellSymbol(pass, i, k, part, fallback);
  }
  CellSymbol(pass, i, 9, {}, Report.column_end);
}

void DescriptionPainter::Row(int n, bool closing, const DescriptionSlot* slots) {
  const double h = closing ? t_.RowHeight() / 3.0 : t_.RowHeight();
  t_.ReserveRow(h);
  for (int pass : {1, 3, 2})
    for (int i = 1; i <= n; ++i) SlotPass(pass, i, slots[i - 1]);
  t_.NextRow(h);
}

void DescriptionPainter::TitleRow(int n, const Text* titles, const Text* lengths) {
  const double b = t_.RowHeight() / 3.0;
  for (int pass : {1, 3, 2})
    for (int i = 1; i <= n; ++i) {
      pen_x_ = t_.CellX(i, 1);
      pen_y_ = t_.RowTop();
      for (int k = 1; k <= 9; ++k) CellSymbol(pass, i, k, {}, Report.column_end);
      if (pass == 2) {
        // The texts of the middle band, placed as a text-font text of CellText.
        int y = pen_y_ + Round(b - b * 0.5);
        TextAt(t_.CellX(i, -1), y, titles[i - 1], t_.TitleFont());
        TextAt(t_.CellX(i, -5), y, lengths[i - 1], t_.TitleFont());
      }
    }
  t_.NextRow(t_.RowHeight());
}

DescriptionSlot CourseSlot(const TTrackRec& course, int r, int& t_count) {
  DescriptionSlot slot;
  const int antal = std::clamp<int>(course.Antal, 0, kMaxCourseControls);
  if (r > antal) {
    slot.kind = r == antal + 1 ? DescriptionSlot::kClosing : DescriptionSlot::kNothing;
    return slot;
  }
  slot.kind = DescriptionSlot::kControl;
  const Text code = course.KodNr[r - 1].get();
  std::int32_t ref = 0;
  bool at_end = false, found = false;
  FindControl(kFindExact, code, ref, at_end, found);
  NoteReadFailure();
  if (found) {
    slot.control = KontrRec;
  } else {
    std::memset(&slot.control, 0, sizeof slot.control);
    slot.control.KodNr.set(code);
    slot.control.R[1].set(code);
    slot.control.R[2].set("finns");
    slot.control.R[3].set("inte");
    slot.control.R[4].set("data");
  }
  const bool numbered = r != 1 && r != antal;
  if (numbered && slot.control.R[0].empty()) slot.control.R[0].set(IntStr(r - t_count, 2));
  if (CodeStartsWith(code, "T")) ++t_count;
  return slot;
}

}  // namespace olbrax::print

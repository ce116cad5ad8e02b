#include "printing/engine/print_engine.h"

#include <QImage>
#include <algorithm>
#include <cmath>
#include <memory>

#include "base/messages.h"
#include "base/times.h"
#include "printing/engine/pictures.h"
#include "printing/engine/printers.h"

namespace olbrax::print {

std::uint16_t PrintableWidth = 0, PrintableHeight = 0;
std::int32_t LeftMargin = 0, TopMargin = 0, ColumnGap = 0, BottomMargin = 0;
std::int32_t Columns = 1, CurrentColumn = 1;
std::int32_t CursorX = 0, CursorY = 0;
double UsedHeight = 0;
std::uint16_t PageNumber = 1, SheetCount = 1;
std::uint16_t PictureRight = 0, PictureRowHeight = 0, PictureRowBottom = 0;
std::int32_t FooterY = 0;

namespace {

constexpr int kStackSlots = 12;

struct FontSlot {
  CanvasFont saved;
  char kind = 0;
};

struct Job {
  std::unique_ptr<Canvas> canvas;
  std::unique_ptr<platform::ReportWindow> window;
  platform::Window owner = nullptr;
  bool printing = false;
  bool aborted = false;
  JobSetup setup;
  CanvasFont normal, big, small;
  FontSlot fonts[kStackSlots + 1];
  int font_depth = 0;
  int pen_x = 0, pen_y = 0;
  int pos_x[kStackSlots + 1] = {}, pos_y[kStackSlots + 1] = {};
  int pos_depth = 0;
  FontMetrics metrics;
  Text title;
};

Job& J() {
  static Job job;
  return job;
}

bool Live() { return J().canvas && !J().aborted; }

int LineHeight() { return J().metrics.height + J().metrics.external_leading; }

void ReadMetrics() {
  if (!J().canvas) return;
  FontMetrics m;
  if (J().canvas->Metrics(m)) J().metrics = m;
  else ShowText(1, "Kan ej finna textinformation om denna font!");
}

// The line height of the small font, measured by pushing and popping it.
int SmallLineHeight() {
  PushFont('S');
  int h = LineHeight();
  PopFont();
  return h;
}

int ColumnStart() {
  return ColumnWidth() * (CurrentColumn - 1) + LeftMargin + (CurrentColumn - 1) * ColumnGap;
}

void MovePen(int x, int y) {
  J().pen_x = x;
  J().pen_y = y;
  CursorX = x;
  CursorY = y;
}

// A job font from an environment font: the height (96-dpi pixels) decides the size; it is
// scaled to the canvas's dots and divided by the stored column count. A positive height is the
// cell height, of which the character (em) height is about 1/1.15 for the usual faces.
CanvasFont MakeFont(const JobFont& f, int dpi, int stored_columns) {
  CanvasFont c;
  c.face = f.face;
  c.bold = f.bold;
  c.italic = f.italic;
  c.underline = f.underline;
  c.strikeout = f.strikeout;
  c.fixed_pitch = f.fixed_pitch;
  double px96 = f.height != 0 ? std::abs(f.height) : f.size * 96.0 / 72.0;
  double dots = px96 * dpi / 96.0 / std::max(1, stored_columns);  // a damaged count of 0 counts as 1
  if (f.height > 0) dots /= 1.15;
  c.pixels = std::max(1, static_cast<int>(std::lround(dots)));
  return c;
}

// Whether a page of the job holds its footer (three lines of the small font) and two lines of its
// largest font, which is what a column or page break needs. On a smaller page every break would
// call for another break: the job would print page after page, or recurse without end.
bool PageHoldsLines() {
  Job& j = J();
  CanvasFont before = j.canvas->Font();
  auto line_height = [&](const CanvasFont& f) {
    j.canvas->SetFont(f);
    FontMetrics m;
    return j.canvas->Metrics(m) ? m.height + m.external_leading : 0;
  };
  int small = line_height(j.small);
  int largest = std::max({small, line_height(j.normal), line_height(j.big)});
  j.canvas->SetFont(before);
  return PrintableHeight - 1 > 2 * largest + 3 * small;
}

void EndDocument() {
  if (J().canvas && !J().aborted) J().canvas->End();
}

}  // namespace

bool PrAborted() { return J().aborted; }
bool PrPrinting() { return J().printing; }
Canvas* PrCanvas() { return J().canvas.get(); }
int FontDepth() { return J().font_depth; }

void PrCancel() {
  Job& j = J();
  if (!j.printing || j.aborted) return;
  j.aborted = true;
  if (j.canvas) j.canvas->Abort();
}

CanvasFont JobCanvasFont(char kind) {
  switch (kind) {
    case 'N': case 'n': case '?': return J().normal;
    case 'B': case 'b': return J().big;
    case 'S': case 's': return J().small;
    default: return CanvasFont{};
  }
}

// --- Job control ------------------------------------------------------------------------------

static void StartDocument(std::string_view title) {
  Job& j = J();
  PageNumber = 1;
  UsedHeight = 0;
  MovePen(0, 0);
  CurrentColumn = 1;
  j.title = (Text(kApplicationFolderName) + ":").append(title).substr(0, 64);
  if (j.window) j.window->SetJob(j.title);
  PushFont('N');
  GotoCharLine(0, 0);
  PushFont('S');
  FooterY = PrintableHeight + TopMargin - 3 * LineHeight();
  PictureRowBottom = static_cast<std::uint16_t>(FooterY);
  PictureRight = static_cast<std::uint16_t>(PrintableWidth / Columns + LeftMargin);
  PictureRowHeight = 0;
  PopFont();
}

bool printerinit(std::string_view title, const JobSetup& setup, platform::Window owner) {
  Job& j = J();
  j = Job{};
  Columns = std::max(1, setup.columns);
  SheetCount = 1;
  j.owner = owner;
  j.setup = setup;

  PrinterRequest request;
  request.device = setup.device;
  request.dpi = setup.devmode_valid ? setup.print_quality : 0;
  request.orientation = setup.orientation;
  request.paper_size = setup.paper_size;
  request.title = (Text(kApplicationFolderName) + ":").append(title).substr(0, 32);
  j.canvas = OpenCanvas(request);
  if (!j.canvas) {
    ShowTextAsIs(201, "Kan ej skapa vald skrivare enligt inställningar"_w);
    return false;
  }

  // Margins from the page setup: thousandths of an inch with bit value 8 of its flags, else
  // hundredths of a millimetre.
  double d = (setup.page_flags & 8) ? 1000.0 : 2540.0;
  double fx = setup.print_quality / d;
  double fy = setup.y_resolution / d;
  if (fx > 0) {
    LeftMargin = static_cast<int>(std::lround(setup.margin_left * fx));
    TopMargin = static_cast<int>(std::lround(setup.margin_top * fy));
    ColumnGap = static_cast<int>(std::lround(setup.margin_right * fx));
    BottomMargin = static_cast<int>(std::lround(setup.margin_bottom * fy));
  } else {
    LeftMargin = TopMargin = ColumnGap = BottomMargin = 0;
  }
  int page_width = j.canvas->PageWidth();
  if (Columns > 1 && ColumnGap == 0) ColumnGap = static_cast<int>(std::lround((page_width - LeftMargin) * 0.05));
  ColumnGap = static_cast<int>(std::lround(static_cast<double>(ColumnGap) / Columns));
  PrintableWidth = static_cast<std::uint16_t>(std::max(0, page_width - LeftMargin - ColumnGap));
  PrintableHeight = static_cast<std::uint16_t>(std::max(0, j.canvas->PageHeight() - TopMargin - BottomMargin));

  int dpi = j.canvas->Dpi();
  j.normal = MakeFont(setup.medium, dpi, setup.columns);
  j.big = MakeFont(setup.large, dpi, setup.columns);
  j.small = MakeFont(setup.small, dpi, setup.columns);
  if (!PageHoldsLines()) {
    j.canvas.reset();
    ShowText(201, kPageTooSmall);
    return false;
  }

  if (!j.canvas->Begin(request.title)) {
    j.canvas.reset();
    ShowTextAsIs(201, "Kan ej skapa vald skrivare enligt inställningar"_w);
    return false;
  }
  j.printing = true;
  // Two blanks at the origin, so that the canvas exists before anything is measured.
  j.canvas->DrawText(0, 0, "  ");

  platform::CurrentUi().SetWindowEnabled(owner, false);
  platform::ReportSpec spec;
  spec.owner = owner;
  spec.on_cancel = PrCancel;
  j.window = platform::CurrentUi().CreateReportWindow(spec);
  if (j.window) j.window->SetPrinter(j.canvas->DeviceText().substr(0, 160));
  // Boxes shown while the job prints are owned by the progress window: the owner is disabled.
  PushOwner(j.window ? j.window->Handle() : owner);
  StartDocument(title);
  return true;
}

void printerexit(int no_footer, int next) {
  Job& j = J();
  if (!j.printing) return;
  if (next < 0) {
    EndPage(no_footer, next, "");
    return;
  }
  EndPage(no_footer, 0, "");
  PopOwner();
  j.window.reset();
  if (j.font_depth != 0) {
    ShowText(201, IntStr(j.font_depth, 3) + " savefontc<>0 prexit");
    while (j.font_depth > 0) PopFont();
  }
  platform::CurrentUi().SetWindowEnabled(j.owner, true);
  j.canvas.reset();
  j.printing = false;
}

// --- Space checks and breaks -----------------------------------------------------------------

void NeedSpace(std::string_view title, double h) {
  int r = 3 * SmallLineHeight();
  if (!(PrintableHeight - 1 > UsedHeight + h + r)) ColumnBreak(0, 1, title);
  UsedHeight += h;
}

void NeedLines(std::string_view title, double n) { NeedSpace(title, n * LineHeight()); }

bool FitsSpace(bool brk, double h) {
  int small_line = SmallLineHeight();
  bool fits = PrintableHeight - 1 > UsedHeight + h + 3 * small_line;
  if (!fits && brk) {
    ColumnBreak(0, 1, "");
    UsedHeight = 2 * small_line + J().metrics.descent;
  }
  return fits;
}

bool FitsLines(bool brk, double n) { return FitsSpace(brk, n * LineHeight()); }

bool FitsLinesAndSpace(bool brk, double h, double n) { return FitsSpace(brk, h + n * LineHeight()); }

void ColumnBreak(int no_footer, int next, std::string_view title) {
  // Without a job (printerinit refused it) there is no page to break: a report that goes on
  // regardless must not break forever on the page sizes of the refused job.
  if (!J().printing) return;
  ++CurrentColumn;
  if (CurrentColumn > Columns) {
    CurrentColumn = 1;
    EndPage(no_footer, next, title);
    return;
  }
  GotoCharLine(0, 0);
  UsedHeight = 0;
  NeedLines("", 2);
  PrintLine("");
  PrintLine("");
}

void EndPage(int no_footer, int next, std::string_view title) {
  Job& j = J();
  PushFont('S');
  FooterY = PrintableHeight + TopMargin - 3 * LineHeight();
  if (no_footer == 0 && Live()) {
    j.canvas->DrawLine(PrintableWidth - 1 + LeftMargin, FooterY, LeftMargin + 1, FooterY, 1);
    Text line1;
    if (!title.empty()) line1 = "\"" + Text(title) + "\" ";
    if (next > 0) line1 += "forts... ";
    j.canvas->DrawText((PrintableWidth - j.canvas->TextWidth(line1)) / 2 + LeftMargin, FooterY + LineHeight(), line1);
    RefreshNow();
    Text line2 = j.setup.footer + " " + NowText.substr(NowText.size() - 19);
    j.canvas->DrawText((PrintableWidth - j.canvas->TextWidth(line2)) / 2 + LeftMargin, FooterY + 2 * LineHeight(), line2);
  }
  PopFont();
  if (next <= 0) PopFont();
  if (next == 0) return EndDocument();
  if (Live()) j.canvas->NewPage();
  if (next > 0) PushFont('S');
  UsedHeight = 0;
  ++SheetCount;
  ++PageNumber;
  if (j.window) j.window->SetSheets(IntStr(SheetCount, 3));
  if (next < 0) return EndDocument();
  if (no_footer != 0) return PopFont();
  // The header of a continued page, in the small font.
  GotoCharLine(0, 0);
  NeedLines("", 2);
  Text text = "forts.. ";
  if (!title.empty()) text += "\"" + Text(title) + "\"";
  text += " sida: " + IntStr(PageNumber, 3);
  TabToChar((CharsPerLine() - static_cast<int>(text.size())) / 2);
  PrintLine(text);
  PrintRule();
  PrintLine("");
  PopFont();
  TabToChar(1);
}

// --- Cursor and text --------------------------------------------------------------------------

int ColumnWidth() { return PrintableWidth / std::max(1, Columns); }
int ColumnLeft() { return ColumnWidth() * (CurrentColumn - 1) + LeftMargin; }

int CharsPerLine() {
  int w = J().metrics.ave_char_width;
  return w > 0 ? ColumnWidth() / w : 0;
}

void TabToChar(int n) {
  int w = J().metrics.ave_char_width;
  MovePen(n >= 0 ? ColumnStart() + n * w : CursorX - n * w, CursorY);
}

void GotoCharLine(int n, int m) {
  int w = J().metrics.ave_char_width;
  int x = n >= 0 ? ColumnStart() + n * w : CursorX - n * w;
  int y = m >= 0 ? TopMargin + m * LineHeight() : CursorY - m * LineHeight();
  MovePen(x, y);
}

void TabToDots(int x) { MovePen(x >= 0 ? ColumnStart() + x : CursorX - x, CursorY); }

void SetLineY(int y) { MovePen(CursorX, y >= 0 ? TopMargin + y : CursorY - y); }

void PrintText(std::string_view text) {
  Job& j = J();
  if (Live()) {
    j.canvas->DrawText(j.pen_x, j.pen_y, text);
    j.pen_x += j.canvas->TextWidth(text);
  }
  CursorX = j.pen_x;
  CursorY = j.pen_y;
}

void PrintLine(std::string_view text) {
  PrintText(text.substr(0, std::min<std::size_t>(text.size(), 255)));
  GotoCharLine(1, -1);
  platform::CurrentUi().ProcessEvents();
}

void PrintRule() {
  PushFont('S');
  int base = LeftMargin + (CurrentColumn - 1) * ColumnGap;
  PrMoveTo(ColumnWidth() * CurrentColumn - 1 + base, CursorY);
  PrLineTo(ColumnWidth() * (CurrentColumn - 1) + 1 + base, CursorY, 2);
  int descent = J().metrics.descent;
  MovePen(CursorX, CursorY + descent);
  TabToChar(1);
  UsedHeight += descent;
  PopFont();
  TabToChar(1);
}

void PrintHeading(std::string_view text) {
  PushFont('B');
  NeedLines("", 1);
  TabToChar((CharsPerLine() - static_cast<int>(text.size())) / 2);
  PrintLine(text);
  PopFont();
  NeedLines("", 1);
  PrintLine("");
}

int PrTextWidth(std::string_view text) { return J().canvas ? J().canvas->TextWidth(text) : 0; }
int PrPenY() { return J().pen_y; }

// --- Fonts and positions ----------------------------------------------------------------------

static void PushChosenFont(const CanvasFont& font, char kind) {
  Job& j = J();
  ++j.font_depth;
  // Pushes beyond the 12 slots only count, so that their pops balance.
  if (j.font_depth > kStackSlots) return;
  j.fonts[j.font_depth].kind = kind;
  if (!Live()) return;
  j.fonts[j.font_depth].saved = j.canvas->Font();
  j.canvas->SetFont(font);
  ReadMetrics();
}

void PushFont(char kind) {
  CanvasFont font = JobCanvasFont(kind);
  if (kind == 'b' || kind == 'n' || kind == 's') font.pixels = std::max(1, font.pixels / 2);
  PushChosenFont(font, kind);
}

void PushGivenFont(const CanvasFont& font) { PushChosenFont(font, static_cast<char>('0' + (J().font_depth + 1) % 10)); }

void PopFont() {
  Job& j = J();
  if (j.font_depth <= 0) return;
  if (j.font_depth <= kStackSlots && Live()) {
    j.canvas->SetFont(j.fonts[j.font_depth].saved);
    ReadMetrics();
  }
  --j.font_depth;
}

void PushPosition() {
  Job& j = J();
  ++j.pos_depth;
  if (j.pos_depth > kStackSlots) return;
  j.pos_x[j.pos_depth] = j.pen_x;
  j.pos_y[j.pos_depth] = j.pen_y;
}

void PopPosition() {
  Job& j = J();
  if (j.pos_depth <= 0) return;
  if (j.pos_depth <= kStackSlots) {
    j.pen_x = j.pos_x[j.pos_depth];
    j.pen_y = j.pos_y[j.pos_depth];
  }
  --j.pos_depth;
}

// --- Graphics ---------------------------------------------------------------------------------

void PrMoveTo(int x, int y) {
  J().pen_x = x;
  J().pen_y = y;
}

void PrLineTo(int x, int y, int pen_width) {
  Job& j = J();
  if (pen_width > 0 && Live()) j.canvas->DrawLine(j.pen_x, j.pen_y, x, y, pen_width);
  j.pen_x = x;
  j.pen_y = y;
}

bool DrawPictureFile(int left, int top, int right, int bottom, std::string_view path) {
  if (!Live()) return true;
  QImage image;
  if (!LoadPicture(path, image)) return false;
  J().canvas->DrawImage(left, top, right, bottom, image);
  return true;
}

void DrawBitmap(const QImage& bitmap, double y_factor, double x_factor) {
  if (!Live()) return;
  int w = static_cast<int>(std::lround(bitmap.width() * x_factor));
  int h = static_cast<int>(std::lround(bitmap.height() * y_factor));
  J().canvas->DrawImage(CursorX, CursorY, CursorX + w, CursorY + h, bitmap);
  MovePen(CursorX + w + 1, CursorY);
}

void PrintPictures() {
  Job& j = J();
  if (!j.canvas) return;
  PictureRight = static_cast<std::uint16_t>(PrintableWidth / CurrentColumn + LeftMargin);
  PictureRowHeight = 0;
  for (int i = 0; i < 5 && !j.aborted; ++i) {
    const JobPicture& pic = j.setup.pictures[static_cast<std::size_t>(i)];
    if (!pic.active) continue;
    QImage image;
    if (!pic.path.empty() && PictureFileExists(pic.path)) {
      ShowStatusLine(5, pic.path.substr(0, 128));
      // A file that cannot be decoded is left out; the report still ends normally.
      if (!LoadPicture(pic.path, image)) continue;
    } else {
      image = BuiltInPicture(i);
      ShowStatusLine(5, "PrBildres" + std::to_string(i));
    }
    int n = std::max(1, pic.divisor);
    bool fits = false;
    int left = 0, top = 0, w = 0, h = 0;
    for (int c = CurrentColumn; c <= Columns && !fits; ++c) {
      std::uint16_t saved_right = PictureRight, saved_bottom = PictureRowBottom, saved_height = PictureRowHeight;
      int a = (PrintableWidth / c - 2 * n) / n;
      w = image.width() > 0 ? image.width() * a / image.width() : 0;
      h = image.width() > 0 ? static_cast<int>(static_cast<long long>(image.height()) * a / image.width()) : 0;
      int right = PictureRight, row_height = PictureRowHeight, row_bottom = PictureRowBottom;
      if (right - w - 2 >= 0) {
        right = right - w - 2;
      } else {
        if (row_height == 0) row_height = h;
        row_bottom = row_bottom - row_height - 2;
        row_height = 0;
        right = PrintableWidth / c + LeftMargin - 2 - w;
      }
      row_height = std::max(row_height, h);
      left = (PrintableWidth / c) * (c - 1) + right;
      top = row_bottom - h - 2;
      fits = top >= CursorY && right >= 0 && row_bottom >= 0;
      if (fits) {
        PictureRight = static_cast<std::uint16_t>(right);
        PictureRowHeight = static_cast<std::uint16_t>(row_height);
        PictureRowBottom = static_cast<std::uint16_t>(row_bottom);
      } else {
        PictureRight = saved_right;
        PictureRowBottom = saved_bottom;
        PictureRowHeight = saved_height;
      }
    }
    if (fits && w > 2 && h > 2) {
      j.canvas->DrawRectangle(left, top, left + w, top + h);
      j.canvas->DrawImage(left + 1, top + 1, left + w - 1, top + h - 1, image);
    }
  }
}

// --- Progress window --------------------------------------------------------------------------

void ShowProgress(int done, int total) {
  Job& j = J();
  if (j.window) {
    j.window->SetCount(IntStr(done, 5), "[" + IntStr(total, 5) + "]");
    j.window->SetBar(total > 0 ? static_cast<int>(std::lround(100.0 * done / total)) : done);
  }
  platform::CurrentUi().ProcessEvents();
}

void ShowStatusLine(int line, std::string_view text) {
  if (J().window && (line == 1 || line == 2 || line == 3 || line == 5)) J().window->SetStatus(line, text);
}

// --- Label sheets and payment forms -----------------------------------------------------------

bool PrMetricMapping(bool on) { return J().canvas && J().canvas->SetMetricMapping(on); }

void PrNewPage() {
  if (Live()) J().canvas->NewPage();
}

void PrTextBox(CanvasRect& box, std::string_view text, unsigned flags) {
  if (Live()) J().canvas->DrawTextBox(box, text, flags);
}

}  // namespace olbrax::print

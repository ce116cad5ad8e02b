// Where the print engine draws: a page-oriented surface measured in printer dots. The engine
// and the reports draw only through this interface, so the same code prints on a CUPS printer,
// into a PDF file, into a picture, or into a recording for the tests.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/text.h"

class QImage;

namespace olbrax::print {

// A font as the engine asks for it; sizes in dots of the canvas.
struct CanvasFont {
  Text face = "Arial";
  int pixels = 0;  // em height in dots; 0 = the canvas's default size
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strikeout = false;
  bool fixed_pitch = false;
  bool operator==(const CanvasFont&) const = default;
};

// The metrics the engine reads after every font change.
struct FontMetrics {
  int height = 0;            // ascent + descent
  int external_leading = 0;  // space the font asks for between lines
  int descent = 0;
  int ave_char_width = 0;
};

// A rectangle in canvas coordinates. Under the metric mapping y points up, so a box on the page
// has its bottom below (smaller than) its top.
struct CanvasRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  bool operator==(const CanvasRect&) const = default;
};

// --- 1-bit pictures ----------------------------------------------------------------------------

// A picture of black and white pixels, row by row from the top (the description symbols).
struct MonoBitmap {
  int width = 0, height = 0;
  std::vector<std::uint8_t> black;  // width × height, 1 = a black pixel

  MonoBitmap() = default;
  MonoBitmap(int w, int h) : width(w), height(h), black(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), 0) {}
  bool At(int x, int y) const { return black[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)] != 0; }
  void Set(int x, int y, bool b) {
    black[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)] = b ? 1 : 0;
  }
  bool operator==(const MonoBitmap&) const = default;
};

// The black areas of `bitmap` drawn at (x, y) with the stretch factors, as rectangles
// [left, right) × [top, bottom): the runs of black pixels of a row, each merged with the same run
// of the rows below it.
std::vector<CanvasRect> MonoBitmapRects(int x, int y, const MonoBitmap& bitmap, double x_factor, double y_factor);

// --- Label sheets and payment forms: boxes of text ---------------------------------------------

// Flags of Canvas::DrawTextBox.
namespace textbox {
constexpr unsigned kLeft = 0x0;
constexpr unsigned kCenter = 0x1;
constexpr unsigned kRight = 0x2;
constexpr unsigned kAlignMask = 0x3;
constexpr unsigned kWordBreak = 0x10;         // long lines break between words to fit the width
constexpr unsigned kNoClip = 0x100;           // nothing is clipped (every box is drawn unclipped)
constexpr unsigned kExternalLeading = 0x200;  // lines step by height + external leading
constexpr unsigned kCalcRect = 0x400;         // measure only: the box's right and bottom move
}  // namespace textbox

class Canvas {
 public:
  virtual ~Canvas() = default;

  // Page size in dots and the resolution in dots per inch.
  virtual int PageWidth() const = 0;
  virtual int PageHeight() const = 0;
  virtual int Dpi() const = 0;
  // A text naming where the output goes, for the progress window.
  virtual Text DeviceText() const = 0;
  // True when the job goes into a file (the virtual PDF printer) rather than to a printer.
  virtual bool WritesFile() const { return false; }

  // The document: begin (false when it cannot be started), new page, end, abort.
  virtual bool Begin(std::string_view title) = 0;
  virtual void NewPage() = 0;
  virtual void End() = 0;
  virtual void Abort() = 0;

  virtual void SetFont(const CanvasFont& font) = 0;
  virtual const CanvasFont& Font() const = 0;
  virtual bool Metrics(FontMetrics& out) = 0;
  virtual int TextWidth(std::string_view text) = 0;  // Windows-1252
  virtual int TextHeight(std::string_view text) = 0;

  // Draws text whose top is at y.
  virtual void DrawText(int x, int y, std::string_view text) = 0;
  // A black line of the given pen width (at least 1).
  virtual void DrawLine(int x1, int y1, int x2, int y2, int width) = 0;
  virtual void DrawRectangle(int left, int top, int right, int bottom) = 0;
  // Draws the image stretched into the rectangle.
  virtual void DrawImage(int left, int top, int right, int bottom, const QImage& image) = 0;

  // --- 1-bit pictures, in the canvas's own unit: dots on a printer or in a PDF file, pixels
  // in a picture. The same drawing code thus makes the printed and the shown description sheet.
  //
  // Draws the black pixels of `bitmap` (white ones leave the canvas as it is) with its top left
  // at (x, y), pixel column c covering x + round(c × x_factor) .. x + round((c + 1) × x_factor)
  // and row r likewise with y_factor, so the whole picture covers round(width × x_factor) by
  // round(height × y_factor) without gaps between the pixels. The default fills every run of
  // black pixels with a line of its height; canvases that can fill rectangles do so.
  virtual void DrawMonoBitmap(int x, int y, const MonoBitmap& bitmap, double x_factor, double y_factor);

  // --- Label sheets and payment forms: the metric mapping and text in a box -----------------

  // Switches the coordinates of every later call between printer dots (x right, y down) and
  // tenths of a millimetre (x right, y up). The origin stays at the top left corner of the page,
  // so the page lies at y <= 0 under the mapping. Widths, heights and font metrics come back in
  // the unit in force; font sizes (CanvasFont::pixels) stay in dots. False when this canvas has
  // no such mapping.
  virtual bool SetMetricMapping(bool on) { return !on; }
  virtual bool MetricMapping() const { return false; }

  // Text in a box, as the platform's DrawText: CR LF (or a lone CR or LF) starts a new line;
  // with kWordBreak a line longer than the box is broken between words, and a single word wider
  // than the box stands alone on its line. With kCalcRect nothing is drawn: the box's right
  // becomes left + the widest line and its bottom moves from the top by the height of all
  // lines (down the page). Otherwise the lines are drawn from the box's top, aligned left, right
  // or centred between its left and right, and never clipped.
  virtual void DrawTextBox(CanvasRect& box, std::string_view text, unsigned flags);
};

// The lines DrawTextBox lays out: the text split at line ends and, with `width` >= 0, broken
// between words so that each line is at most `width` wide in the canvas's current font.
std::vector<Text> TextBoxLines(Canvas& canvas, std::string_view text, int width);

}  // namespace olbrax::print

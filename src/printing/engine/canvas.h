// Where the print engine draws: a page-oriented surface measured in printer dots. The engine
// and the reports draw only through this interface, so the same code prints on a CUPS printer,
// into a PDF file, into a picture, or into a recording for the tests.
#pragma once

#include <memory>
#include <string>
#include <string_view>

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
};

}  // namespace olbrax::print

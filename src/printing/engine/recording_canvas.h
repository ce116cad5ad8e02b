// A canvas that keeps every call with its coordinates and font, for tests. Its font metrics are
// simple functions of the font size, so expected positions can be worked out by hand:
// height = size, external leading = size / 10, descent = size / 5, character width = size / 2.
// Under the metric mapping these are converted from dots to tenths of a millimetre (size × 254 /
// dpi, rounded); at 254 dots per inch the two units are the same, which keeps label tests simple.
#pragma once

#include <vector>

#include "printing/engine/canvas.h"

namespace olbrax::print {

class RecordingCanvas : public Canvas {
 public:
  enum class Op { Begin, NewPage, End, Abort, Text, Line, Rectangle, Image, Bitmap,
                  // label sheets and payment forms
                  Mapping, TextBox };
  struct Call {
    Op op = Op::Begin;
    int page = 0;  // 1-based page the call landed on
    int x = 0, y = 0, x2 = 0, y2 = 0, width = 0;
    olbrax::Text text{};
    CanvasFont font{};
    // Bitmap: the picture and its factors; x2, y2 are the right and bottom edges it covers.
    MonoBitmap bitmap{};
    double x_factor = 0, y_factor = 0;
    // Label sheets and payment forms: the mapping in force; for TextBox the flags, and for a
    // measuring TextBox the right and bottom it produced (x .. y2 hold the box as given).
    bool metric = false;
    unsigned flags = 0;
    int out_right = 0, out_bottom = 0;
  };

  RecordingCanvas(int page_width, int page_height, int dpi)
      : page_width_(page_width), page_height_(page_height), dpi_(dpi) {}

  int PageWidth() const override { return page_width_; }
  int PageHeight() const override { return page_height_; }
  int Dpi() const override { return dpi_; }
  olbrax::Text DeviceText() const override { return "recording"; }
  bool WritesFile() const override { return writes_file; }
  bool Begin(std::string_view title) override;
  void NewPage() override;
  void End() override;
  void Abort() override;
  void SetFont(const CanvasFont& font) override { font_ = font; }
  const CanvasFont& Font() const override { return font_; }
  bool Metrics(FontMetrics& out) override;
  int TextWidth(std::string_view text) override;
  int TextHeight(std::string_view) override { return Size(); }
  void DrawText(int x, int y, std::string_view text) override;
  void DrawLine(int x1, int y1, int x2, int y2, int width) override;
  void DrawRectangle(int left, int top, int right, int bottom) override;
  void DrawImage(int left, int top, int right, int bottom, const QImage& image) override;
  void DrawMonoBitmap(int x, int y, const MonoBitmap& bitmap, double x_factor, double y_factor) override;

  // Label sheets and payment forms.
  bool SetMetricMapping(bool on) override;
  bool MetricMapping() const override { return metric_; }
  void DrawTextBox(CanvasRect& box, std::string_view text, unsigned flags) override;

  std::vector<Call> calls;
  olbrax::Text title;
  int pages = 0;
  bool writes_file = false;  // stands for a PDF file rather than a printer

  // The texts drawn, in order (optionally only those of one page).
  std::vector<olbrax::Text> Texts(int page = 0) const;

 private:
  int Size() const { return font_.pixels > 0 ? font_.pixels : 40; }
  // A length in dots in the unit in force.
  int Unit(int dots) const;
  void Add(Op op, int x = 0, int y = 0, int x2 = 0, int y2 = 0, int width = 0, std::string_view text = {});

  int page_width_, page_height_, dpi_;
  CanvasFont font_;
  bool metric_ = false;
};

}  // namespace olbrax::print

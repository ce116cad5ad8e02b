// The canvas on a real paint device: a CUPS printer (QPrinter) or a PDF file (QPdfWriter).
#pragma once

#include <QFont>
#include <QPainter>
#include <memory>

#include "printing/engine/canvas.h"

class QPagedPaintDevice;

namespace olbrax::print {

class PainterCanvas : public Canvas {
 public:
  // Takes the device; `device_text` names it for the progress window. For a PDF file,
  // `pdf_path` is removed again when the job is aborted.
  PainterCanvas(std::unique_ptr<QPagedPaintDevice> device, Text device_text, bool is_printer,
                QString pdf_path = {});
  ~PainterCanvas() override;

  int PageWidth() const override;
  int PageHeight() const override;
  int Dpi() const override;
  olbrax::Text DeviceText() const override { return device_text_; }
  bool WritesFile() const override { return !pdf_path_.isEmpty(); }
  bool Begin(std::string_view title) override;
  void NewPage() override;
  void End() override;
  void Abort() override;
  void SetFont(const CanvasFont& font) override;
  const CanvasFont& Font() const override { return font_; }
  bool Metrics(FontMetrics& out) override;
  int TextWidth(std::string_view text) override;
  int TextHeight(std::string_view text) override;
  void DrawText(int x, int y, std::string_view text) override;
  void DrawLine(int x1, int y1, int x2, int y2, int width) override;
  void DrawRectangle(int left, int top, int right, int bottom) override;
  void DrawImage(int left, int top, int right, int bottom, const QImage& image) override;

  // Label sheets and payment forms: tenths of a millimetre, y up.
  bool SetMetricMapping(bool on) override;
  bool MetricMapping() const override { return metric_; }

  // The QFont a canvas font becomes.
  static QFont ToQFont(const CanvasFont& font);

  // 1-bit pictures: black rectangles, so a PDF viewer shows sharp pixels at any zoom.
  void DrawMonoBitmap(int x, int y, const MonoBitmap& bitmap, double x_factor, double y_factor) override;

 private:
  std::unique_ptr<QPagedPaintDevice> device_;
  olbrax::Text device_text_;
  bool is_printer_;
  QString pdf_path_;
  QPainter painter_;
  CanvasFont font_;
  QFont qfont_;

  // The metric mapping: coordinates to device dots and device lengths back to the unit in force.
  QPoint Device(int x, int y) const;
  QRect DeviceRect(int left, int top, int right, int bottom) const;
  int Unit(int dots) const;
  bool metric_ = false;
};

}  // namespace olbrax::print

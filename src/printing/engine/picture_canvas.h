// A canvas on a picture in memory, measured in pixels at 96 per inch like the screen. The course
// image draws its description sheet here with the same drawing code that prints the sheet.
#pragma once

#include <QFont>
#include <QImage>
#include <QPainter>

#include "printing/engine/canvas.h"

namespace olbrax::print {

class PictureCanvas : public Canvas {
 public:
  // A white picture of the given size in pixels.
  PictureCanvas(int width, int height);
  ~PictureCanvas() override;

  // The picture; complete after End.
  const QImage& Image() const { return image_; }

  int PageWidth() const override { return image_.width(); }
  int PageHeight() const override { return image_.height(); }
  int Dpi() const override { return 96; }
  olbrax::Text DeviceText() const override { return "bild"; }
  bool Begin(std::string_view title) override;
  void NewPage() override {}  // a picture has one page
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
  void DrawMonoBitmap(int x, int y, const MonoBitmap& bitmap, double x_factor, double y_factor) override;

 private:
  QImage image_;
  QPainter painter_;
  CanvasFont font_;
  QFont qfont_;
};

}  // namespace olbrax::print

#include "printing/engine/picture_canvas.h"

#include <QFontMetrics>

#include "platform/qt/qtext.h"
#include "printing/engine/painter_canvas.h"

namespace olbrax::print {

using platform::ToQ;

PictureCanvas::PictureCanvas(int width, int height)
    : image_(std::max(1, width), std::max(1, height), QImage::Format_RGB32) {
  image_.fill(Qt::white);
  qfont_ = PainterCanvas::ToQFont(font_);
}

PictureCanvas::~PictureCanvas() {
  if (painter_.isActive()) painter_.end();
}

bool PictureCanvas::Begin(std::string_view) {
  if (!painter_.begin(&image_)) return false;
  painter_.setPen(QPen(Qt::black, 1, Qt::SolidLine));
  painter_.setFont(qfont_);
  return true;
}

void PictureCanvas::End() {
  if (painter_.isActive()) painter_.end();
}

void PictureCanvas::Abort() { End(); }

void PictureCanvas::SetFont(const CanvasFont& font) {
  font_ = font;
  qfont_ = PainterCanvas::ToQFont(font);
  if (painter_.isActive()) painter_.setFont(qfont_);
}

bool PictureCanvas::Metrics(FontMetrics& out) {
  QFontMetrics m(qfont_, &image_);
  out.height = m.height();
  out.external_leading = m.leading();
  out.descent = m.descent();
  out.ave_char_width = m.averageCharWidth();
  return out.height > 0;
}

int PictureCanvas::TextWidth(std::string_view text) { return QFontMetrics(qfont_, &image_).horizontalAdvance(ToQ(text)); }

int PictureCanvas::TextHeight(std::string_view text) {
  return QFontMetrics(qfont_, &image_).boundingRect(ToQ(text)).height();
}

void PictureCanvas::DrawText(int x, int y, std::string_view text) {
  if (painter_.isActive()) painter_.drawText(x, y + QFontMetrics(qfont_, &image_).ascent(), ToQ(text));
}

void PictureCanvas::DrawLine(int x1, int y1, int x2, int y2, int width) {
  if (!painter_.isActive()) return;
  QPen old = painter_.pen();
  painter_.setPen(QPen(Qt::black, width, Qt::SolidLine, Qt::FlatCap));
  painter_.drawLine(x1, y1, x2, y2);
  painter_.setPen(old);
}

void PictureCanvas::DrawRectangle(int left, int top, int right, int bottom) {
  if (painter_.isActive()) painter_.drawRect(QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)));
}

void PictureCanvas::DrawImage(int left, int top, int right, int bottom, const QImage& image) {
  if (painter_.isActive()) painter_.drawImage(QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)), image);
}

void PictureCanvas::DrawMonoBitmap(int x, int y, const MonoBitmap& bitmap, double x_factor, double y_factor) {
  if (!painter_.isActive()) return;
  for (const CanvasRect& r : MonoBitmapRects(x, y, bitmap, x_factor, y_factor))
    painter_.fillRect(QRect(r.left, r.top, r.right - r.left, r.bottom - r.top), Qt::black);
}

}  // namespace olbrax::print

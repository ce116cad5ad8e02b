#include "printing/engine/painter_canvas.h"

#include <QFile>
#include <QFontMetrics>
#include <QPagedPaintDevice>
#include <QPdfWriter>
#include <QPrinter>
#include <algorithm>
#include <cmath>

#include "platform/qt/qtext.h"

namespace olbrax::print {

using platform::ToQ;

PainterCanvas::PainterCanvas(std::unique_ptr<QPagedPaintDevice> device, olbrax::Text device_text, bool is_printer,
                             QString pdf_path)
    : device_(std::move(device)), device_text_(std::move(device_text)), is_printer_(is_printer),
      pdf_path_(std::move(pdf_path)) {
  qfont_ = ToQFont(font_);
}

PainterCanvas::~PainterCanvas() {
  if (painter_.isActive()) painter_.end();
}

int PainterCanvas::PageWidth() const { return device_->width(); }
int PainterCanvas::PageHeight() const { return device_->height(); }
int PainterCanvas::Dpi() const { return device_->logicalDpiX(); }

QFont PainterCanvas::ToQFont(const CanvasFont& f) {
  QFont q(ToQ(f.face));
  if (f.pixels > 0) q.setPixelSize(f.pixels);
  q.setBold(f.bold);
  q.setItalic(f.italic);
  q.setUnderline(f.underline);
  q.setStrikeOut(f.strikeout);
  q.setFixedPitch(f.fixed_pitch);
  if (f.fixed_pitch) q.setStyleHint(QFont::Monospace);
  // Sizes are measured in device dots; hinting for the screen would distort them.
  q.setHintingPreference(QFont::PreferNoHinting);
  return q;
}

bool PainterCanvas::Begin(std::string_view title) {
  if (is_printer_) static_cast<QPrinter*>(device_.get())->setDocName(ToQ(title));
  else static_cast<QPdfWriter*>(device_.get())->setTitle(ToQ(title));
  if (!painter_.begin(device_.get())) return false;
  painter_.setPen(QPen(Qt::black, 1, Qt::SolidLine));
  painter_.setFont(qfont_);
  return true;
}

void PainterCanvas::NewPage() {
  if (painter_.isActive()) device_->newPage();
}

void PainterCanvas::End() {
  if (painter_.isActive()) painter_.end();
}

void PainterCanvas::Abort() {
  if (is_printer_) static_cast<QPrinter*>(device_.get())->abort();
  if (painter_.isActive()) painter_.end();
  // A cancelled job leaves no half-written file behind.
  if (!pdf_path_.isEmpty()) QFile::remove(pdf_path_);
}

void PainterCanvas::SetFont(const CanvasFont& font) {
  font_ = font;
  qfont_ = ToQFont(font);
  if (painter_.isActive()) painter_.setFont(qfont_);
}

bool PainterCanvas::Metrics(FontMetrics& out) {
  QFontMetrics m(qfont_, device_.get());
  out.height = Unit(m.height());
  out.external_leading = Unit(m.leading());
  out.descent = Unit(m.descent());
  out.ave_char_width = Unit(m.averageCharWidth());
  return out.height > 0;
}

int PainterCanvas::TextWidth(std::string_view text) {
  return Unit(QFontMetrics(qfont_, device_.get()).horizontalAdvance(ToQ(text)));
}

int PainterCanvas::TextHeight(std::string_view text) {
  return Unit(QFontMetrics(qfont_, device_.get()).boundingRect(ToQ(text)).height());
}

void PainterCanvas::DrawText(int x, int y, std::string_view text) {
  if (!painter_.isActive()) return;
  QFontMetrics m(qfont_, device_.get());
  QPoint at = Device(x, y);
  painter_.drawText(at.x(), at.y() + m.ascent(), ToQ(text));
}

void PainterCanvas::DrawLine(int x1, int y1, int x2, int y2, int width) {
  if (!painter_.isActive()) return;
  QPen old = painter_.pen();
  painter_.setPen(QPen(Qt::black, width, Qt::SolidLine, Qt::FlatCap));
  painter_.drawLine(Device(x1, y1), Device(x2, y2));
  painter_.setPen(old);
}

void PainterCanvas::DrawRectangle(int left, int top, int right, int bottom) {
  if (painter_.isActive()) painter_.drawRect(DeviceRect(left, top, right, bottom));
}

void PainterCanvas::DrawImage(int left, int top, int right, int bottom, const QImage& image) {
  if (painter_.isActive()) painter_.drawImage(DeviceRect(left, top, right, bottom), image);
}

// --- Label sheets and payment forms -------------------------------------------------------------

bool PainterCanvas::SetMetricMapping(bool on) {
  metric_ = on;
  return true;
}

// Tenths of a millimetre are 1/254 inch; y is negated because the mapping's y points up.
QPoint PainterCanvas::Device(int x, int y) const {
  if (!metric_) return {x, y};
  const double f = Dpi() / 254.0;
  return {static_cast<int>(std::lround(x * f)), static_cast<int>(std::lround(-y * f))};
}

// The device rectangle of a box, whichever way its corners are given; right and bottom are
// outside the box, as for every rectangle of the canvas.
QRect PainterCanvas::DeviceRect(int left, int top, int right, int bottom) const {
  QPoint a = Device(left, top), b = Device(right, bottom);
  return QRect(QPoint(std::min(a.x(), b.x()), std::min(a.y(), b.y())),
               QPoint(std::max(a.x(), b.x()) - 1, std::max(a.y(), b.y()) - 1));
}

int PainterCanvas::Unit(int dots) const {
  if (!metric_) return dots;
  return static_cast<int>(std::lround(dots * 254.0 / Dpi()));
}

void PainterCanvas::DrawMonoBitmap(int x, int y, const MonoBitmap& bitmap, double x_factor, double y_factor) {
  if (!painter_.isActive()) return;
  for (const CanvasRect& r : MonoBitmapRects(x, y, bitmap, x_factor, y_factor))
    painter_.fillRect(QRect(r.left, r.top, r.right - r.left, r.bottom - r.top), Qt::black);
}

}  // namespace olbrax::print

#include "printing/engine/recording_canvas.h"

#include <QImage>
#include <cmath>

namespace olbrax::print {

void RecordingCanvas::Add(Op op, int x, int y, int x2, int y2, int width, std::string_view text) {
  Call c;
  c.op = op;
  c.page = pages;
  c.x = x;
  c.y = y;
  c.x2 = x2;
  c.y2 = y2;
  c.width = width;
  c.text.assign(text);
  c.font = font_;
  c.metric = metric_;
  calls.push_back(std::move(c));
}

bool RecordingCanvas::Begin(std::string_view t) {
  title.assign(t);
  pages = 1;
  Add(Op::Begin);
  return true;
}

void RecordingCanvas::NewPage() {
  ++pages;
  Add(Op::NewPage);
}

void RecordingCanvas::End() { Add(Op::End); }
void RecordingCanvas::Abort() { Add(Op::Abort); }

bool RecordingCanvas::Metrics(FontMetrics& out) {
  out.height = Unit(Size());
  out.external_leading = Unit(Size() / 10);
  out.descent = Unit(Size() / 5);
  out.ave_char_width = Unit(Size() / 2);
  return true;
}

int RecordingCanvas::TextWidth(std::string_view text) { return Unit(static_cast<int>(text.size()) * (Size() / 2)); }

void RecordingCanvas::DrawText(int x, int y, std::string_view text) {
  Add(Op::Text, x, y, 0, 0, 0, text);
}

void RecordingCanvas::DrawLine(int x1, int y1, int x2, int y2, int width) {
  Add(Op::Line, x1, y1, x2, y2, width);
}

void RecordingCanvas::DrawRectangle(int left, int top, int right, int bottom) {
  Add(Op::Rectangle, left, top, right, bottom);
}

void RecordingCanvas::DrawImage(int left, int top, int right, int bottom, const QImage& image) {
  Add(Op::Image, left, top, right, bottom, image.width());
}

void RecordingCanvas::DrawMonoBitmap(int x, int y, const MonoBitmap& bitmap, double x_factor, double y_factor) {
  Add(Op::Bitmap, x, y, x + static_cast<int>(std::lround(bitmap.width * x_factor)),
      y + static_cast<int>(std::lround(bitmap.height * y_factor)));
  calls.back().bitmap = bitmap;
  calls.back().x_factor = x_factor;
  calls.back().y_factor = y_factor;
}

int RecordingCanvas::Unit(int dots) const {
  if (!metric_) return dots;
  return static_cast<int>((static_cast<long long>(dots) * 254 * 2 + dpi_) / (2LL * dpi_));
}

bool RecordingCanvas::SetMetricMapping(bool on) {
  metric_ = on;
  Add(Op::Mapping, on ? 1 : 0);
  return true;
}

void RecordingCanvas::DrawTextBox(CanvasRect& box, std::string_view text, unsigned flags) {
  Add(Op::TextBox, box.left, box.top, box.right, box.bottom, 0, text);
  std::size_t at = calls.size() - 1;
  calls[at].flags = flags;
  Canvas::DrawTextBox(box, text, flags);
  calls[at].out_right = box.right;
  calls[at].out_bottom = box.bottom;
}

std::vector<olbrax::Text> RecordingCanvas::Texts(int page) const {
  std::vector<olbrax::Text> out;
  for (const Call& c : calls)
    if (c.op == Op::Text && (page == 0 || c.page == page)) out.push_back(c.text);
  return out;
}

}  // namespace olbrax::print

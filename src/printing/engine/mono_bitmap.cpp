#include <cmath>
#include <map>
#include <utility>

#include "printing/engine/canvas.h"

namespace olbrax::print {

namespace {

// The canvas offset of pixel edge `n`: every pixel edge is rounded once, so neighbouring pixels
// share their edge and the picture keeps its rounded total size.
int Edge(int n, double factor) { return static_cast<int>(std::lround(n * factor)); }

}  // namespace

std::vector<CanvasRect> MonoBitmapRects(int x, int y, const MonoBitmap& bitmap, double x_factor, double y_factor) {
  std::vector<CanvasRect> out;
  // Runs still open from the rows above: (first column, end column) -> first row.
  std::map<std::pair<int, int>, int> open;
  auto close = [&](const std::pair<int, int>& run, int first_row, int end_row) {
    CanvasRect r{x + Edge(run.first, x_factor), y + Edge(first_row, y_factor), x + Edge(run.second, x_factor),
                 y + Edge(end_row, y_factor)};
    if (r.right > r.left && r.bottom > r.top) out.push_back(r);
  };
  for (int row = 0; row <= bitmap.height; ++row) {
    std::map<std::pair<int, int>, int> next;
    if (row < bitmap.height) {
      for (int c = 0; c < bitmap.width;) {
        if (!bitmap.At(c, row)) {
          ++c;
          continue;
        }
        int end = c;
        while (end < bitmap.width && bitmap.At(end, row)) ++end;
        auto run = std::make_pair(c, end);
        auto it = open.find(run);
        next[run] = it != open.end() ? it->second : row;
        if (it != open.end()) open.erase(it);
        c = end;
      }
    }
    for (const auto& [run, first_row] : open) close(run, first_row, row);
    open = std::move(next);
  }
  return out;
}

void Canvas::DrawMonoBitmap(int x, int y, const MonoBitmap& bitmap, double x_factor, double y_factor) {
  // A flat-capped horizontal line as wide as the rectangle is high fills it.
  for (const CanvasRect& r : MonoBitmapRects(x, y, bitmap, x_factor, y_factor)) {
    int h = r.bottom - r.top;
    DrawLine(r.left, r.top + h / 2, r.right, r.top + h / 2, h);
  }
}

}  // namespace olbrax::print

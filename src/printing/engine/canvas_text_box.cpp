// Text in a box on any canvas, built on the canvas's own measuring and drawing calls, so that
// every canvas (printer, PDF, recording) lays out and measures a box the same way.
#include <algorithm>

#include "printing/engine/canvas.h"

namespace olbrax::print {

namespace {

// The paragraphs of a text: it is split at CR LF, and at a CR or LF standing alone.
std::vector<std::string_view> Paragraphs(std::string_view text) {
  std::vector<std::string_view> out;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    out.push_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  out.push_back(text.substr(start));
  return out;
}

}  // namespace

std::vector<Text> TextBoxLines(Canvas& canvas, std::string_view text, int width) {
  std::vector<Text> lines;
  if (text.empty()) return lines;
  for (std::string_view paragraph : Paragraphs(text)) {
    if (width < 0) {
      lines.emplace_back(paragraph);
      continue;
    }
    // Greedy: as many words as fit; the blank at a break is dropped. Runs of blanks stay
    // inside a line as empty words.
    Text line;
    bool first = true;
    std::size_t start = 0;
    while (start <= paragraph.size()) {
      std::size_t end = paragraph.find(' ', start);
      if (end == std::string_view::npos) end = paragraph.size();
      std::string_view word = paragraph.substr(start, end - start);
      Text candidate = first ? Text(word) : line + " " + Text(word);
      if (first || canvas.TextWidth(candidate) <= width) {
        line = std::move(candidate);
      } else {
        lines.push_back(std::move(line));
        line = Text(word);
      }
      first = false;
      start = end + 1;
    }
    lines.push_back(std::move(line));
  }
  return lines;
}

void Canvas::DrawTextBox(CanvasRect& box, std::string_view text, unsigned flags) {
  FontMetrics m;
  Metrics(m);
  const int line_height = m.height + ((flags & textbox::kExternalLeading) ? m.external_leading : 0);
  const int down = MetricMapping() ? -1 : 1;  // the direction of the next line on the page
  std::vector<Text> lines = TextBoxLines(*this, text, (flags & textbox::kWordBreak) ? box.right - box.left : -1);
  if (flags & textbox::kCalcRect) {
    int widest = 0;
    for (const Text& line : lines) widest = std::max(widest, TextWidth(line));
    box.right = box.left + widest;
    box.bottom = box.top + down * static_cast<int>(lines.size()) * line_height;
    return;
  }
  int y = box.top;
  for (const Text& line : lines) {
    int x = box.left;
    switch (flags & textbox::kAlignMask) {
      case textbox::kRight: x = box.right - TextWidth(line); break;
      case textbox::kCenter: x = box.left + (box.right - box.left - TextWidth(line)) / 2; break;
      default: break;
    }
    DrawText(x, y, line);
    y += down * line_height;
  }
}

}  // namespace olbrax::print

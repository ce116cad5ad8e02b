#include "printing/engine/log_printer.h"

#include <cmath>
#include <memory>

#include "base/text.h"
#include "printing/engine/printers.h"

namespace olbrax::print {

namespace {

struct Log {
  std::unique_ptr<Canvas> canvas;
  bool open = false;
  int left = 0;
  int step = 0;
  int last_y = 0;
  int next_y = 0;
  std::function<void()> on_end;
};

Log& L() {
  static Log log;
  return log;
}

}  // namespace

bool LogOpen() { return L().open; }
void SetLogEndHook(std::function<void()> hook) { L().on_end = std::move(hook); }

void LogStart(std::string_view title) {
  Log& l = L();
  PrinterRequest request;
  request.device = DefaultPrinterName();
  request.title = Text(title);
  l.canvas = OpenCanvas(request);
  if (!l.canvas) return;
  CanvasFont font;
  font.face = "Courier New";
  font.bold = true;
  font.fixed_pitch = true;
  font.pixels = static_cast<int>(std::lround(10.0 * l.canvas->Dpi() / 72.0));
  l.canvas->SetFont(font);
  if (!l.canvas->Begin(title)) {
    l.canvas.reset();
    return;
  }
  l.open = true;
  l.left = l.canvas->TextWidth("WWWWWW");
  l.step = l.canvas->TextHeight("WW") * 6 / 5;
  l.last_y = l.canvas->PageHeight() - 2 * l.step;
  l.next_y = 2 * l.step;
}

void LogLine(std::string_view text) {
  Log& l = L();
  if (!l.open) return;
  l.canvas->DrawText(l.left, l.next_y, text);
  l.next_y += l.step;
  if (l.next_y > l.last_y) LogNewPage(0);
}

void LogNewPage(int code) {
  Log& l = L();
  if (!l.open || code == -33) return;
  if (l.canvas->WritesFile()) {
    // A job per page would be a file per page: the log goes on on the next page of the file.
    l.canvas->NewPage();
    l.next_y = 2 * l.step;
    return;
  }
  LogEnd();
  LogStart(". forts...");
  l.next_y = 2 * l.step;
}

void LogEnd() {
  Log& l = L();
  if (!l.open) return;
  l.canvas->End();
  l.canvas.reset();
  l.open = false;
  if (l.on_end) l.on_end();
}

void LogEnsureOpen() {
  if (!L().open) LogStart("logglista");
}

}  // namespace olbrax::print

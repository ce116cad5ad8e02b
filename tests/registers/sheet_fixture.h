// A sheet job on a recording canvas: an A4 page at 254 dots per inch, so that a dot and a tenth
// of a millimetre are the same length and the positions of the tests can be worked out by hand.
#pragma once

#include <memory>
#include <vector>

#include "printing/config/configuration.h"
#include "printing/engine/printers.h"
#include "printing/engine/recording_canvas.h"
#include "registers/sheets/sheet_print.h"
#include "support/fixtures.h"

namespace olbrax::test {

using print::RecordingCanvas;
using Op = RecordingCanvas::Op;

// The engine owns the canvas of a job and frees it at the end; the test keeps the recording.
class ForwardCanvas : public print::Canvas {
 public:
  explicit ForwardCanvas(RecordingCanvas& target) : t_(target) {}
  int PageWidth() const override { return t_.PageWidth(); }
  int PageHeight() const override { return t_.PageHeight(); }
  int Dpi() const override { return t_.Dpi(); }
  Text DeviceText() const override { return t_.DeviceText(); }
  bool Begin(std::string_view title) override { return t_.Begin(title); }
  void NewPage() override { t_.NewPage(); }
  void End() override { t_.End(); }
  void Abort() override { t_.Abort(); }
  void SetFont(const print::CanvasFont& font) override { t_.SetFont(font); }
  const print::CanvasFont& Font() const override { return t_.Font(); }
  bool Metrics(print::FontMetrics& out) override { return t_.Metrics(out); }
  int TextWidth(std::string_view text) override { return t_.TextWidth(text); }
  int TextHeight(std::string_view text) override { return t_.TextHeight(text); }
  void DrawText(int x, int y, std::string_view text) override { t_.DrawText(x, y, text); }
  void DrawLine(int x1, int y1, int x2, int y2, int w) override { t_.DrawLine(x1, y1, x2, y2, w); }
  void DrawRectangle(int l, int t, int r, int b) override { t_.DrawRectangle(l, t, r, b); }
  void DrawImage(int l, int t, int r, int b, const QImage& i) override { t_.DrawImage(l, t, r, b, i); }
  bool SetMetricMapping(bool on) override { return t_.SetMetricMapping(on); }
  bool MetricMapping() const override { return t_.MetricMapping(); }
  void DrawTextBox(print::CanvasRect& box, std::string_view text, unsigned flags) override {
    t_.DrawTextBox(box, text, flags);
  }

 private:
  RecordingCanvas& t_;
};

class SheetTest : public UiTest {
 protected:
  static constexpr int kWidth = 2100, kHeight = 2970;  // A4 in tenths of a millimetre

  void SetUp() override {
    UiTest::SetUp();
    general_ = std::make_unique<TGeneralSettings>();
    DefaultLabelEnvironment(1, CurrentLabelEnvironment, *general_);  // "Laser 3x8"
    print::SetCanvasFactory([this](const print::PrinterRequest&) -> std::unique_ptr<print::Canvas> {
      canvas = std::make_unique<RecordingCanvas>(kWidth, kHeight, 254);
      return std::make_unique<ForwardCanvas>(*canvas);
    });
  }
  void TearDown() override {
    EndSheetPrint();
    print::SetCanvasFactory(nullptr);
    UiTest::TearDown();
  }

  // The calls of one kind, optionally only those of one page.
  std::vector<RecordingCanvas::Call> Calls(Op op, int page = 0) const {
    std::vector<RecordingCanvas::Call> out;
    for (const auto& c : canvas->calls)
      if (c.op == op && (page == 0 || c.page == page)) out.push_back(c);
    return out;
  }
  bool Reported(const std::string& line) const {
    return std::find(ui.report_lines.begin(), ui.report_lines.end(), line) != ui.report_lines.end();
  }

  std::unique_ptr<RecordingCanvas> canvas;
  std::unique_ptr<TGeneralSettings> general_;
};

}  // namespace olbrax::test

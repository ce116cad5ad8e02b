// A competition with controls, courses, classes and route-description symbols, and a print job
// that goes to a recording canvas 4 760 dots wide (no margins, 600 dots per inch), so that the
// reports can be checked call by call.
#pragma once

#include <QImage>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "competition/archive.h"
#include "competition/data_fixture.h"
#include "competition/records/class_rec.h"
#include "competition/records/definition_recs.h"
#include "competition/records/route_recs.h"
#include "competition/registers/definitions.h"
#include "competition/registers/register_find.h"
#include "competition/registers/shared_registers.h"
#include "printing/engine/printers.h"
#include "printing/engine/recording_canvas.h"
#include "printing/reports/report_picks.h"

namespace olbrax::test {

// The engine owns its canvas and frees it with the job; the test keeps the recording.
class ForwardCanvas : public print::Canvas {
 public:
  explicit ForwardCanvas(print::RecordingCanvas& target) : t_(target) {}
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
  void DrawMonoBitmap(int x, int y, const print::MonoBitmap& b, double xf, double yf) override {
    t_.DrawMonoBitmap(x, y, b, xf, yf);
  }

 private:
  print::RecordingCanvas& t_;
};

class ReportTest : public DataTest {
 protected:
  static constexpr int kColumn = 4760, kPageHeight = 7016;
  using Op = print::RecordingCanvas::Op;
  using Call = print::RecordingCanvas::Call;

  void SetUp() override {
    DataTest::SetUp();
    // A column of exactly 4 760 dots and no end-of-report pictures.
    for (int i = 0; i < 4; ++i) CurrentPrintEnvironment.setup.SetMargin(i, 0);
    for (auto& p : CurrentPrintEnvironment.pictures) p.active = 0;
    print::SetCanvasFactory([this](const print::PrinterRequest&) -> std::unique_ptr<print::Canvas> {
      kept.push_back(std::make_unique<print::RecordingCanvas>(kColumn, kPageHeight, 600));
      return std::make_unique<ForwardCanvas>(*kept.back());
    });
  }
  void TearDown() override {
    print::SetCanvasFactory(nullptr);
    DataTest::TearDown();
  }

  // A competition with its definition set open, at scale 12.
  void Competition(int stages = 1, const std::string& type = "") {
    AddCompetition("Testloppet", type, stages);
    InfoRec.banPrSkalaW = 12;
    CloseCompetition();
    OpenDefinitions();
    ASSERT_TRUE(DefinitionsOpen);
  }

  // A route-description entry whose picture has `byte` in every byte (0: empty).
  void AddSymbol(const std::string& key, std::uint8_t byte, int number = 1) {
    ClearRoute24();
    Route24Rec.RouteKey.set(key);
    Route24Rec.RouteText.set("text " + key);
    Route24Rec.RouteNumber = static_cast<std::int16_t>(number);
    std::memset(Route24Rec.RouteSymbol, byte, sizeof Route24Rec.RouteSymbol);
    std::int32_t ref = 0;
    PutRoute(true, ref);
    ASSERT_TRUE(IsamOK);
  }
  std::int32_t AddControl(const std::string& code, std::initializer_list<const char*> columns = {}) {
    ClearControl();
    KontrRec.KodNr.set(code);
    int k = 0;
    for (const char* c : columns) KontrRec.R[k++].set(c);
    std::int32_t ref = 0;
    PutControl(true, ref);
    EXPECT_TRUE(IsamOK);
    return ref;
  }
  std::int32_t AddCourse(const std::string& name, const std::vector<std::string>& codes, int length = 0) {
    ClearCourse();
    TrackRec.Bana.set(name);
    TrackRec.BanSize[0] = length;
    TrackRec.Antal = static_cast<std::int16_t>(codes.size());
    for (std::size_t i = 0; i < codes.size(); ++i) TrackRec.KodNr[i].set(codes[i]);
    std::int32_t ref = 0;
    PutCourse(true, ref);
    EXPECT_TRUE(IsamOK);
    return ref;
  }
  std::int32_t AddClass(const std::string& name, std::initializer_list<const char*> courses, int entrants = 0) {
    ClearClassRec();
    KlassRec.Bet.set(name);
    int s = 0;
    for (const char* c : courses) KlassRec.Bana[s++].set(c);
    KlassRec.Count[0][0] = static_cast<std::int16_t>(entrants);
    std::int32_t ref = 0;
    PutClass(true, ref);
    EXPECT_TRUE(IsamOK);
    return ref;
  }
  // A picker that answers with the given record numbers and remembers the question.
  print::Picker PickOf(std::vector<std::int32_t> refs) {
    return [this, refs](platform::Window, print::PickKind kind, std::string_view title, bool multi) {
      picked_kind = kind;
      pick_title = Text(title);
      pick_multi = multi;
      return refs;
    };
  }
  print::Picker PickAll() {
    return [this](platform::Window, print::PickKind kind, std::string_view title, bool) {
      picked_kind = kind;
      pick_title = Text(title);
      return print::AllEntries(kind);
    };
  }

  print::RecordingCanvas& Canvas() { return *kept.back(); }
  std::vector<Call> Calls(Op op) {
    std::vector<Call> out;
    for (const Call& c : Canvas().calls)
      if (c.op == op) out.push_back(c);
    return out;
  }
  std::vector<Call> TextsAt(int x) {
    std::vector<Call> out;
    for (const Call& c : Calls(Op::Text))
      if (c.x == x) out.push_back(c);
    return out;
  }
  bool HasText(std::string_view t) {
    for (const Call& c : Calls(Op::Text))
      if (c.text == t) return true;
    return false;
  }

  std::vector<std::unique_ptr<print::RecordingCanvas>> kept;
  print::PickKind picked_kind{};
  Text pick_title;
  bool pick_multi = false;
};

}  // namespace olbrax::test

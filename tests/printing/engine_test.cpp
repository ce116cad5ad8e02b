// The print engine on the recording canvas: margins, columns, breaks with footers and continued
// headers, tabs, pictures, cancelling, and the log printer.
#include <QApplication>
#include <QImage>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <filesystem>

#include "base/messages.h"
#include "base/text.h"
#include "platform/qt/qt_ui.h"
#include "platform/qt/report_dialog.h"
#include "printing/engine/print_engine.h"
#include "printing/engine/log_printer.h"
#include "printing/engine/printers.h"
#include "printing/engine/recording_canvas.h"
#include "support/fixtures.h"

namespace olbrax::test {
namespace {

using namespace olbrax::print;
using Op = RecordingCanvas::Op;

constexpr int kA4Width = 4961, kA4Height = 7016;  // at 600 dots per inch

// The engine owns its canvas and frees it with the job; the test keeps the recording.
class Forward : public print::Canvas {
 public:
  explicit Forward(RecordingCanvas& target) : t_(target) {}
  int PageWidth() const override { return t_.PageWidth(); }
  int PageHeight() const override { return t_.PageHeight(); }
  int Dpi() const override { return t_.Dpi(); }
  Text DeviceText() const override { return t_.DeviceText(); }
  bool Begin(std::string_view title) override { return t_.Begin(title); }
  void NewPage() override { t_.NewPage(); }
  void End() override { t_.End(); }
  void Abort() override { t_.Abort(); }
  void SetFont(const CanvasFont& font) override { t_.SetFont(font); }
  const CanvasFont& Font() const override { return t_.Font(); }
  bool Metrics(FontMetrics& out) override { return t_.Metrics(out); }
  int TextWidth(std::string_view text) override { return t_.TextWidth(text); }
  int TextHeight(std::string_view text) override { return t_.TextHeight(text); }
  void DrawText(int x, int y, std::string_view text) override { t_.DrawText(x, y, text); }
  void DrawLine(int x1, int y1, int x2, int y2, int w) override { t_.DrawLine(x1, y1, x2, y2, w); }
  void DrawRectangle(int l, int t, int r, int b) override { t_.DrawRectangle(l, t, r, b); }
  void DrawImage(int l, int t, int r, int b, const QImage& i) override { t_.DrawImage(l, t, r, b, i); }
  void DrawMonoBitmap(int x, int y, const MonoBitmap& b, double xf, double yf) override { t_.DrawMonoBitmap(x, y, b, xf, yf); }
  bool WritesFile() const override { return t_.WritesFile(); }

 private:
  RecordingCanvas& t_;
};

class EngineTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    SetCanvasFactory([this](const PrinterRequest& r) -> std::unique_ptr<print::Canvas> {
      kept.push_back(std::make_unique<RecordingCanvas>(kA4Width, kA4Height, 600));
      canvases.push_back(kept.back().get());
      requests.push_back(r);
      return std::make_unique<Forward>(*kept.back());
    });
  }
  void TearDown() override {
    SetCanvasFactory(nullptr);
    UiTest::TearDown();
  }
  RecordingCanvas& Canvas() { return *canvases.back(); }
  // The texts drawn with their positions.
  std::vector<RecordingCanvas::Call> TextCalls(RecordingCanvas& c, int page = 0) {
    std::vector<RecordingCanvas::Call> out;
    for (const auto& call : c.calls)
      if (call.op == Op::Text && (page == 0 || call.page == page)) out.push_back(call);
    return out;
  }

  std::vector<std::unique_ptr<RecordingCanvas>> kept;
  std::vector<RecordingCanvas*> canvases;
  std::vector<PrinterRequest> requests;
};

TEST_F(EngineTest, MarginsFollowTheUnitFlag) {
  JobSetup setup;  // margins 500, 500, 100, 0 with bit 8: thousandths of an inch
  ASSERT_TRUE(printerinit("m", setup, nullptr));
  EXPECT_EQ(LeftMargin, 300);
  EXPECT_EQ(TopMargin, 300);
  EXPECT_EQ(ColumnGap, 60);
  EXPECT_EQ(BottomMargin, 0);
  EXPECT_EQ(PrintableWidth, kA4Width - 300 - 60);
  EXPECT_EQ(PrintableHeight, kA4Height - 300);
  printerexit(0, 0);

  setup.page_flags = 0;  // hundredths of a millimetre: 5 mm, 5 mm, 1 mm
  ASSERT_TRUE(printerinit("m", setup, nullptr));
  EXPECT_EQ(LeftMargin, 118);
  EXPECT_EQ(TopMargin, 118);
  EXPECT_EQ(ColumnGap, 24);
  printerexit(0, 0);

  // Two columns without a right margin: the gap is 5 % of the width after the left margin,
  // shared between the columns.
  setup.page_flags = 8;
  setup.margin_right = 0;
  setup.columns = 2;
  ASSERT_TRUE(printerinit("m", setup, nullptr));
  EXPECT_EQ(ColumnGap, static_cast<int>(std::lround(std::lround((kA4Width - 300) * 0.05) / 2.0)));
  EXPECT_EQ(PrintableWidth, kA4Width - 300 - ColumnGap);
  printerexit(0, 0);
  EXPECT_EQ(requests.back().title, "OlbraxW32:m");
}

// A page that cannot hold its footer and two lines of the largest font would break again on
// every break: a top margin of 30 000, or a small font taller than the page, made a print job
// recurse until the stack overflowed. Such a job is refused before anything is printed.
TEST_F(EngineTest, APageThatCannotHoldALineIsRefusedBeforePrinting) {
  JobSetup margins;
  margins.margin_top = 30000;
  JobSetup font;
  font.small.height = 2000;  // pixels at 96 per inch: taller than the A4 page at 600 dpi
  for (const JobSetup& setup : {margins, font}) {
    ui.boxes.clear();
    EXPECT_FALSE(printerinit("ingen plats", setup, nullptr));
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, kPageTooSmall);
    EXPECT_EQ(Canvas().pages, 0);
    EXPECT_TRUE(Canvas().calls.empty());
    EXPECT_FALSE(PrPrinting());
    // What the report would do next runs without a job.
    NeedLines("", 1);
    PrintLine("x");
    printerexit(0, 0);
  }
}

TEST_F(EngineTest, PageBreakPrintsFooterAndContinuedHeader) {
  JobSetup setup;
  setup.footer = "fot";
  ASSERT_TRUE(printerinit("lista", setup, nullptr));
  RecordingCanvas& c = Canvas();
  int lines = 0;
  while (PageNumber == 1) {
    NeedLines("Klasser", 1);
    PrintLine("rad " + std::to_string(++lines));
  }
  PrintLine("sista");
  printerexit(0, 0);

  auto page1 = TextCalls(c, 1);
  auto page2 = TextCalls(c, 2);
  ASSERT_GE(page1.size(), 3u);
  // Footer of page 1: the quoted title and "forts... ", then the footer text with date and time.
  const auto& f1 = page1[page1.size() - 2];
  const auto& f2 = page1[page1.size() - 1];
  EXPECT_EQ(f1.text, "\"Klasser\" forts... ");
  EXPECT_EQ(f2.text.substr(0, 4), "fot ");
  EXPECT_EQ(f2.text.size(), 4u + 19u);  // "YYYY-MM-DD hh:mm:ss"
  int small_line = 43 + 4;
  EXPECT_EQ(f1.y, PrintableHeight + TopMargin - 3 * small_line + small_line);
  EXPECT_EQ(f1.x, (PrintableWidth - static_cast<int>(f1.text.size()) * 21) / 2 + LeftMargin);
  // Header of page 2, then the line that did not fit.
  ASSERT_GE(page2.size(), 2u);
  EXPECT_EQ(page2[0].text, "forts.. \"Klasser\" sida:   2");
  EXPECT_EQ(page2[1].text, "");
  EXPECT_EQ(page2[2].text, "rad " + std::to_string(lines));
  // The last page's footer: line 1 empty, line 2 the footer text.
  auto last = TextCalls(c, 2);
  EXPECT_EQ(last[last.size() - 2].text, "");
  EXPECT_EQ(last.back().text.substr(0, 4), "fot ");
  EXPECT_EQ(c.calls.back().op, Op::End);
  EXPECT_EQ(FontDepth(), 0);
  // The rule under the header: pen width 2 across the column.
  bool rule = std::any_of(c.calls.begin(), c.calls.end(), [](const auto& call) {
    return call.op == Op::Line && call.page == 2 && call.width == 2;
  });
  EXPECT_TRUE(rule);
}

// The space check at the bottom of the page, to the dot: the footer keeps three small lines and
// one dot; what fits in the rest stays on the page, one dot more breaks it.
TEST_F(EngineTest, TheSpaceCheckBreaksOneDotPastTheRoomLeft) {
  JobSetup setup;
  ASSERT_TRUE(printerinit("plats", setup, nullptr));
  const int footer = 3 * (43 + 4);  // three small lines of the recording canvas
  const double used = 1000;
  const double room = PrintableHeight - 1 - used - footer - 1;  // the most that still fits
  UsedHeight = used;
  EXPECT_TRUE(FitsSpace(false, room));
  EXPECT_FALSE(FitsSpace(false, room + 1));
  NeedSpace("Plats", room);
  EXPECT_EQ(PageNumber, 1);
  EXPECT_EQ(UsedHeight, used + room);
  UsedHeight = used;
  NeedSpace("Plats", room + 1);
  EXPECT_EQ(PageNumber, 2);
  printerexit(0, 0);
}

// Lines drawn one after another continue from where the last one ended.
TEST_F(EngineTest, LinesContinueFromThePenPosition) {
  ASSERT_TRUE(printerinit("linjer", JobSetup{}, nullptr));
  RecordingCanvas& c = Canvas();
  PrMoveTo(100, 200);
  PrLineTo(300, 400, 1);
  PrLineTo(500, 600, 2);
  PrLineTo(700, 800, 0);  // a pen of width 0 moves without drawing
  PrLineTo(900, 1000, 1);
  std::vector<RecordingCanvas::Call> lines;
  for (const auto& call : c.calls)
    if (call.op == Op::Line) lines.push_back(call);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(std::make_pair(lines[1].x, lines[1].y), std::make_pair(300, 400));
  EXPECT_EQ(std::make_pair(lines[1].x2, lines[1].y2), std::make_pair(500, 600));
  EXPECT_EQ(std::make_pair(lines[2].x, lines[2].y), std::make_pair(700, 800));
  printerexit(0, 0);
}

// The print progress window shows status lines 1, 2, 3 and 5; line 4 is not one of its fields.
TEST_F(EngineTest, StatusLinesReachTheProgressWindow) {
  ASSERT_TRUE(printerinit("status", JobSetup{}, &ui));
  ui.report_lines.clear();
  for (int line = 1; line <= 5; ++line) ShowStatusLine(line, "s" + std::to_string(line));
  printerexit(0, 0);
  std::vector<std::string> shown;
  for (const auto& l : ui.report_lines)
    if (l.size() > 2 && l[l.size() - 2] == 's') shown.push_back(l);
  EXPECT_EQ(shown, (std::vector<std::string>{"status1:s1", "status2:s2", "status3:s3", "status5:s5"}));
}

// A picture whose width divisor is 0 (a configuration that says nothing) is printed as if it
// were 1: across the whole width, never divided by zero.
TEST_F(EngineTest, APictureDivisorOf0CountsAs1) {
  JobSetup setup;
  setup.pictures[0] = {true, "", 0};
  ASSERT_TRUE(printerinit("p0", setup, nullptr));
  PrintPictures();
  std::vector<RecordingCanvas::Call> rects;
  for (const auto& call : Canvas().calls)
    if (call.op == Op::Rectangle) rects.push_back(call);
  ASSERT_EQ(rects.size(), 1u);
  EXPECT_EQ(rects[0].x2 - rects[0].x, PrintableWidth - 2);
  printerexit(0, 0);
}

TEST_F(EngineTest, ColumnsAndRelativeTabs) {
  JobSetup setup;
  setup.columns = 2;
  ASSERT_TRUE(printerinit("k", setup, nullptr));
  ColumnBreak(0, 1, "");
  EXPECT_EQ(CurrentColumn, 2);
  int start = ColumnWidth() + LeftMargin + ColumnGap;
  TabToChar(0);
  EXPECT_EQ(CursorX, start);
  int before = CursorX;
  TabToChar(-7);
  // The normal font is 11 pixels at 96 per inch, halved for two columns: 30 dots, so a
  // character is 15 dots wide on the recording canvas.
  EXPECT_EQ(CursorX - before, 7 * 15);
  TabToDots(-5);
  EXPECT_EQ(CursorX - before, 7 * 15 + 5);
  printerexit(0, 0);
}

TEST_F(EngineTest, PicturesFillFromTheRightAboveTheFooter) {
  JobSetup setup;
  setup.pictures[0] = {true, "", 4};
  setup.pictures[1] = {true, "", 4};
  setup.pictures[2] = {true, "", 1};  // a whole-width picture cannot fit below the text
  ASSERT_TRUE(printerinit("p", setup, nullptr));
  RecordingCanvas& c = Canvas();
  for (int i = 0; i < 40; ++i) {
    NeedLines("", 1);
    PrintLine("text");
  }
  int text_bottom = CursorY;
  PrintPictures();
  std::vector<RecordingCanvas::Call> rects;
  for (const auto& call : c.calls)
    if (call.op == Op::Rectangle) rects.push_back(call);
  ASSERT_EQ(rects.size(), 2u);
  int w = (PrintableWidth - 8) / 4;
  EXPECT_EQ(rects[0].x2 - rects[0].x, w);
  EXPECT_EQ(rects[0].x2, PrintableWidth + LeftMargin - 2);
  EXPECT_EQ(rects[1].x2, rects[0].x - 2);  // the second one to its left, 2 dots apart
  EXPECT_EQ(rects[0].y2, PrintableHeight + TopMargin - 3 * 47 - 2);
  EXPECT_GE(rects[0].y, text_bottom);
  printerexit(0, 0);
}

TEST_F(EngineTest, CancelStopsOutputAndStillEndsTheJob) {
  JobSetup setup;
  ASSERT_TRUE(printerinit("avbryt", setup, reinterpret_cast<platform::Window>(0x1)));
  RecordingCanvas& c = Canvas();
  ASSERT_EQ(ui.enable_calls.back(), std::make_pair(reinterpret_cast<platform::Window>(0x1), false));
  PrintLine("före");
  ui.RequestCancel();
  PrintLine("under");  // PrintLine lets the cancel button through
  EXPECT_TRUE(PrAborted());
  std::size_t calls = c.calls.size();
  PrintLine("efter");
  NeedLines("", 500);
  PrintPictures();
  EXPECT_EQ(c.calls.size(), calls);
  EXPECT_EQ(c.calls.back().op, Op::Abort);
  printerexit(0, 0);
  EXPECT_FALSE(PrPrinting());
  EXPECT_EQ(ui.enable_calls.back(), std::make_pair(reinterpret_cast<platform::Window>(0x1), true));
}

TEST_F(EngineTest, UnbalancedFontsAreReportedAndUnwound) {
  JobSetup setup;
  ASSERT_TRUE(printerinit("f", setup, nullptr));
  PushFont('B');
  PushFont('s');
  EXPECT_EQ(Canvas().Font().pixels, 43 / 2);
  printerexit(0, 0);
  ASSERT_FALSE(ui.boxes.empty());
  EXPECT_EQ(ui.boxes.back().text, "  2 savefontc<>0 prexit");
  EXPECT_EQ(FontDepth(), 0);
}

TEST_F(EngineTest, LogPrinterStartsAJobPerPage) {
  LogEnsureOpen();
  ASSERT_EQ(canvases.size(), 1u);
  EXPECT_EQ(canvases[0]->title, "logglista");
  int ended = 0;
  SetLogEndHook([&] { ++ended; });
  for (int i = 0; i < 200; ++i) LogLine("rad " + std::to_string(i));
  LogNewPage(-33);  // does nothing
  LogEnd();
  SetLogEndHook(nullptr);
  ASSERT_GE(canvases.size(), 2u);
  EXPECT_EQ(canvases[1]->title, ". forts...");
  EXPECT_EQ(ended, static_cast<int>(canvases.size()));
  EXPECT_FALSE(LogOpen());
}

TEST_F(EngineTest, PdfPrinterWritesOneFilePerJob) {
  TempDir dir;
  SetCanvasFactory(nullptr);
  setenv("OLBRAX_PDF_DIR", dir.str().c_str(), 1);
  JobSetup setup;
  ASSERT_TRUE(printerinit("pdf prov", setup, nullptr));
  for (int i = 0; i < 200; ++i) {
    NeedLines("", 1);
    PrintLine("rad " + std::to_string(i));
  }
  const std::size_t expected_pages = PageNumber;
  ASSERT_GE(expected_pages, 2u);
  printerexit(0, 0);
  unsetenv("OLBRAX_PDF_DIR");
  std::vector<std::filesystem::path> files;
  for (const auto& e : std::filesystem::directory_iterator(dir.path())) files.push_back(e.path());
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(files[0].filename().string().rfind("OlbraxW32_pdf_prov_", 0), 0u) << files[0];
  std::string bytes = ReadFileBytes(files[0]);
  EXPECT_EQ(bytes.substr(0, 5), "%PDF-");
  std::size_t pages = 0;
  for (std::size_t at = bytes.find("/Type /Page"); at != std::string::npos; at = bytes.find("/Type /Page", at + 1))
    if (bytes.compare(at, 12, "/Type /Pages") != 0) ++pages;
  EXPECT_EQ(pages, expected_pages);
}

// The pages of one log PDF file, counted by their page objects.
std::size_t PdfPages(const std::string& bytes) {
  std::size_t pages = 0;
  for (std::size_t at = bytes.find("/Type /Page"); at != std::string::npos; at = bytes.find("/Type /Page", at + 1))
    if (bytes.compare(at, 12, "/Type /Pages") != 0) ++pages;
  return pages;
}

TEST_F(EngineTest, OnThePdfPrinterALogRunIsOneFile) {
  TempDir dir;
  int opened = 0;
  SetCanvasFactory([&](const PrinterRequest& r) {
    return OpenPdfFile((dir.path() / ("logg" + std::to_string(++opened) + ".pdf")).string(), r);
  });
  LogStart("importlogg");
  for (int i = 0; i < 200; ++i) LogLine("rad " + std::to_string(i));
  LogEnd();
  ASSERT_EQ(opened, 1);
  const std::string bytes = ReadFileBytes(dir / "logg1.pdf");
  EXPECT_EQ(bytes.substr(0, 5), "%PDF-");
  EXPECT_GE(PdfPages(bytes), 2u);
  // The next run is a file of its own.
  LogEnsureOpen();
  LogLine("IMPORT KLAR!");
  LogEnd();
  EXPECT_EQ(opened, 2);
}

TEST_F(EngineTest, TheProgressWindowOwnsTheBoxesWhileAJobPrints) {
  PushOwner(&ui);  // the main window, as at start-up
  ASSERT_TRUE(printerinit("o", JobSetup{}, &ui));
  void* progress = TopOwner();
  EXPECT_NE(progress, nullptr);
  EXPECT_NE(progress, &ui);
  printerexit(0, 0);
  EXPECT_EQ(TopOwner(), &ui);
  PopOwner();
}

// With the Qt windows: the owner is disabled while the job prints, the progress window is not,
// and a box shown meanwhile belongs to it and can be answered.
TEST_F(EngineTest, TheProgressWindowStaysUsableWhileItsOwnerIsDisabled) {
  platform::QtUi qt;
  platform::SetUi(&qt);
  QWidget owner;
  owner.show();
  PushOwner(&owner);
  ASSERT_TRUE(printerinit("o", JobSetup{}, &owner));
  auto* progress = owner.findChild<platform::ReportDialog*>("TrapportDlg");
  ASSERT_NE(progress, nullptr);
  EXPECT_FALSE(owner.isEnabled());
  EXPECT_TRUE(progress->isEnabled());
  EXPECT_EQ(TopOwner(), static_cast<QWidget*>(progress));
  QWidget* box_owner = nullptr;
  bool box_enabled = false;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    box_owner = box->parentWidget();
    box_enabled = box->isEnabled();
    box->button(QMessageBox::Ok)->click();
  });
  ShowText(201, "Papperet slut");
  EXPECT_EQ(box_owner, progress);
  EXPECT_TRUE(box_enabled);
  printerexit(0, 0);
  EXPECT_TRUE(owner.isEnabled());
  EXPECT_EQ(TopOwner(), static_cast<void*>(&owner));
  PopOwner();
  platform::SetUi(&ui);
}

}  // namespace
}  // namespace olbrax::test
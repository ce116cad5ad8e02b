// Text in a box on a canvas: line ends, breaking between words, measuring, alignment, and the
// metric mapping (tenths of a millimetre, y up) on the recording and the PDF canvas.
#include <filesystem>

#include "printing/engine/printers.h"
#include "printing/engine/recording_canvas.h"
#include "support/fixtures.h"

namespace olbrax::test {
namespace {

using namespace olbrax::print;
using Op = RecordingCanvas::Op;

// A recording canvas with a 20-dot font: characters 10 wide, lines 20 high (+2 leading).
RecordingCanvas Canvas20(int dpi = 254) {
  RecordingCanvas c(2100, 2970, dpi);
  CanvasFont f;
  f.pixels = 20;
  c.SetFont(f);
  return c;
}

TEST(TextBox, LinesEndAtLineBreaksAndBreakBetweenWords) {
  RecordingCanvas c = Canvas20();
  EXPECT_EQ(TextBoxLines(c, "ab\r\ncd\nef\rg", -1).size(), 4u);
  EXPECT_EQ(TextBoxLines(c, "", 100).size(), 0u);
  // 10 characters fit in 100 dots.
  EXPECT_EQ(TextBoxLines(c, "aaaa bbbb cccc dd", 100), (std::vector<Text>{"aaaa bbbb", "cccc dd"}));
  // A word wider than the box stands alone; runs of blanks stay inside a line.
  EXPECT_EQ(TextBoxLines(c, "a verylongwordhere b", 100), (std::vector<Text>{"a", "verylongwordhere", "b"}));
  EXPECT_EQ(TextBoxLines(c, "a  b", 100), (std::vector<Text>{"a  b"}));
  EXPECT_EQ(TextBoxLines(c, "ab\r\n\r\ncd", 100), (std::vector<Text>{"ab", "", "cd"}));
}

TEST(TextBox, MeasuringMovesRightAndBottomOnly) {
  RecordingCanvas c = Canvas20();
  CanvasRect box{10, 100, 110, 400};
  c.DrawTextBox(box, "aaaa bbbb cccc", textbox::kCalcRect | textbox::kWordBreak | textbox::kExternalLeading);
  EXPECT_EQ(box, (CanvasRect{10, 100, 100, 144}));  // widest line 90, two lines of 22
  box = {10, 100, 20, 400};  // narrower than a word: the box grows to the word
  c.DrawTextBox(box, "aaaa", textbox::kCalcRect | textbox::kWordBreak);
  EXPECT_EQ(box, (CanvasRect{10, 100, 50, 120}));
  EXPECT_TRUE(c.Texts().empty());

  // Under the metric mapping the lines go down the page, to smaller y.
  c.SetMetricMapping(true);
  box = {10, -100, 110, -400};
  c.DrawTextBox(box, "aaaa bbbb cccc", textbox::kCalcRect | textbox::kWordBreak);
  EXPECT_EQ(box, (CanvasRect{10, -100, 100, -140}));
}

TEST(TextBox, DrawingAlignsEachLine) {
  RecordingCanvas c = Canvas20();
  c.SetMetricMapping(true);
  CanvasRect box{0, -10, 100, -200};
  c.DrawTextBox(box, "ab\r\nabcd", textbox::kRight);
  CanvasRect centred{0, -10, 100, -200};
  c.DrawTextBox(centred, "ab", textbox::kCenter);
  std::vector<std::tuple<Text, int, int>> drawn;
  for (const auto& call : c.calls)
    if (call.op == Op::Text) drawn.emplace_back(call.text, call.x, call.y);
  EXPECT_EQ(drawn, (std::vector<std::tuple<Text, int, int>>{{"ab", 80, -10}, {"abcd", 60, -30}, {"ab", 40, -10}}));
}

TEST(TextBox, TheRecordingCanvasMeasuresInTenthsOfAMillimetreUnderTheMapping) {
  RecordingCanvas c = Canvas20(600);
  EXPECT_EQ(c.TextWidth("abcd"), 40);
  c.SetMetricMapping(true);
  EXPECT_EQ(c.TextWidth("abcd"), 17);  // 40 dots at 600 per inch
  FontMetrics m;
  c.Metrics(m);
  EXPECT_EQ(m.height, 8);
}

class PdfTextBox : public UiTest {};

TEST_F(PdfTextBox, ThePdfCanvasMeasuresInTenthsOfAMillimetreUnderTheMapping) {
  TempDir dir;
  PrinterRequest r;
  r.dpi = 600;
  std::unique_ptr<print::Canvas> pdf = OpenPdfFile((dir / "t.pdf").string(), r);
  ASSERT_TRUE(pdf->Begin("t"));
  CanvasFont f;
  f.face = "Courier New";
  f.pixels = 100;
  pdf->SetFont(f);
  int dots = pdf->TextWidth("Anna Andersson");
  ASSERT_GT(dots, 0);
  ASSERT_TRUE(pdf->SetMetricMapping(true));
  EXPECT_NEAR(pdf->TextWidth("Anna Andersson"), dots * 254.0 / 600.0, 1.0);
  CanvasRect box{100, -100, 2000, -2000};
  pdf->DrawTextBox(box, "Anna Andersson\r\nStorgatan 1", textbox::kCalcRect);
  EXPECT_EQ(box.left, 100);
  EXPECT_LT(box.bottom, -100);  // two lines down the page
  pdf->DrawTextBox(box, "Anna Andersson\r\nStorgatan 1", 0);
  pdf->End();
  EXPECT_GT(std::filesystem::file_size(dir / "t.pdf"), 0u);
}

}  // namespace
}  // namespace olbrax::test

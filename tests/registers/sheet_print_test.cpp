// Printing on label sheets on the recording canvas: where the cells of a job fall, sheets,
// copies, the environment's limits, labels fitted into their cells, picture labels, and the
// jobs that must not start.
#include <QImage>
#include <algorithm>

#include "base/messages.h"
#include "printing/engine/print_engine.h"
#include "sheet_fixture.h"

namespace olbrax::test {
namespace {

struct Placed {
  std::string text;
  CanvasRect cell;
  int page;
};
std::vector<Placed> g_placed;
RecordingCanvas* g_canvas = nullptr;

// A drawing routine that only notes where each item went.
void Note(std::string_view text, const CanvasRect& cell) { g_placed.push_back({std::string(text), cell, g_canvas->pages}); }

class SheetPrint : public SheetTest {
 protected:
  void SetUp() override {
    SheetTest::SetUp();
    g_placed.clear();
  }
  bool Begin() {
    bool ok = BeginSheetPrint("etiketter", nullptr);
    g_canvas = canvas.get();
    return ok;
  }
  TLabelEnvironment& env = CurrentLabelEnvironment;
};

TEST_F(SheetPrint, CellsAreCentredInTheirPitchWithHalvesRoundedToEven) {
  // "Laser 3x8": left margin -50, column pitch 703, label width 600: 51.5 either side.
  EXPECT_EQ(SheetCell(env, 1, 1), (CanvasRect{2, 0, 602, -320}));
  EXPECT_EQ(SheetCell(env, 1, 2), (CanvasRect{704, 0, 1304, -320}));
  EXPECT_EQ(SheetCell(env, 2, 1), (CanvasRect{2, -360, 602, -680}));

  env.width = 600;
  env.column_pitch = 700;
  env.left = 50;
  EXPECT_EQ(SheetCell(env, 1, 1).left, 100);
  EXPECT_EQ(SheetCell(env, 1, 1).right, 700);
  EXPECT_EQ(SheetCell(env, 1, 2).left, 800);
  EXPECT_EQ(SheetCell(env, 1, 2).right, 1400);

  // Labels as wide and high as their pitch touch.
  env.width = env.column_pitch;
  env.height = env.row_pitch;
  EXPECT_EQ(SheetCell(env, 1, 1).right, SheetCell(env, 1, 2).left);
  EXPECT_EQ(SheetCell(env, 1, 1).bottom, SheetCell(env, 2, 1).top);
}

TEST_F(SheetPrint, ThirteenLabelsTwiceOnThreeByEightSheets) {
  env.copies = 2;
  ASSERT_TRUE(Begin());
  for (int i = 1; i <= 13; ++i) PrintOnSheet(Note, "L" + std::to_string(i));
  EndSheetPrint();

  ASSERT_EQ(g_placed.size(), 26u);
  for (std::size_t k = 0; k < 26; ++k) {
    SCOPED_TRACE(k);
    EXPECT_EQ(g_placed[k].text, "L" + std::to_string(k / 2 + 1));
    int n = static_cast<int>(k % 24);
    EXPECT_EQ(g_placed[k].page, k < 24 ? 1 : 2);
    EXPECT_EQ(g_placed[k].cell, SheetCell(env, n / 3 + 1, n % 3 + 1));
  }
  EXPECT_EQ(SheetState.sheet, 2);
  EXPECT_TRUE(Reported("status2:Ark nr:  2"));
  EXPECT_EQ(Calls(Op::NewPage).size(), 1u);
  EXPECT_EQ(Calls(Op::End).size(), 1u);
  EXPECT_TRUE(canvas->calls[1].op == Op::Text || canvas->calls[1].op == Op::Mapping);
  EXPECT_EQ(Calls(Op::Mapping).size(), 1u);
}

TEST_F(SheetPrint, AtMostEightColumnsAndTheEnvironmentKeepsItsOwnNumber) {
  env.per_row = 10;
  env.column_pitch = 250;
  env.width = 240;
  env.copies = 1;
  ASSERT_TRUE(Begin());
  for (int i = 1; i <= 9; ++i) PrintOnSheet(Note, "x");
  EXPECT_EQ(env.per_row, 8);
  EndSheetPrint();
  EXPECT_EQ(g_placed[7].cell, SheetCell(env, 1, 8));
  EXPECT_EQ(g_placed[8].cell, SheetCell(env, 2, 1));
  EXPECT_EQ(CurrentLabelEnvironment.per_row, 10);
}

TEST_F(SheetPrint, CopiesZeroAreAskedOnceAndBecomeOne) {
  env.copies = 0;
  ui.numbers = {3, 7};
  ASSERT_TRUE(Begin());
  PrintOnSheet(Note, "a");
  PrintOnSheet(Note, "b");
  EndSheetPrint();
  EXPECT_EQ(ui.numbers.size(), 1u);  // one question for the whole job
  EXPECT_EQ(g_placed.size(), 6u);
  EXPECT_EQ(CurrentLabelEnvironment.copies, 1);

  // Cancelled, the question gives the 1 it proposed.
  ui.numbers.clear();
  CurrentLabelEnvironment.copies = -2;
  g_placed.clear();
  ASSERT_TRUE(Begin());
  PrintOnSheet(Note, "c");
  EndSheetPrint();
  EXPECT_EQ(g_placed.size(), 1u);
  EXPECT_EQ(CurrentLabelEnvironment.copies, 1);
}

TEST_F(SheetPrint, ARowBelowThePageGoesToTheNextSheet) {
  env.per_row = 1;
  env.rows = 12;  // rows 10 to 12 lie below an A4 sheet
  env.copies = 1;
  ASSERT_TRUE(Begin());
  for (int i = 1; i <= 10; ++i) PrintOnSheet(Note, "x");
  EndSheetPrint();
  EXPECT_EQ(g_placed[8].cell, SheetCell(env, 9, 1));
  EXPECT_EQ(g_placed[8].page, 1);
  EXPECT_EQ(g_placed[9].cell, SheetCell(env, 1, 1));
  EXPECT_EQ(g_placed[9].page, 2);
}

TEST_F(SheetPrint, AFirstCellOffTheSheetIsRefusedAndNothingPrints) {
  for (auto [left, top] : {std::pair{-50, 5000}, std::pair{3000, -20}}) {
    SCOPED_TRACE(left);
    ui.boxes.clear();
    env.left = left;
    env.top = top;
    EXPECT_FALSE(Begin());
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "F\xF6rsta etiketten hamnar utanf\xF6r arket: v\xE4nstermarg " + std::to_string(left) +
                                    ", topmarginal " + std::to_string(top) +
                                    ", kolumndeln 703, raddelning 360 (0,1 mm). Inget skrivs ut.");
    EXPECT_EQ(Calls(Op::Abort).size(), 1u);
    EXPECT_TRUE(Calls(Op::End).empty());
    EXPECT_TRUE(Calls(Op::TextBox).empty());
    EXPECT_FALSE(print::PrPrinting());
    EndSheetPrint();
    EXPECT_EQ(CurrentLabelEnvironment.top, top);
  }
}

TEST_F(SheetPrint, CancelStopsThePlacementsAndTheJobStillEnds) {
  env.copies = 5;
  ASSERT_TRUE(Begin());
  PrintOnSheet(Note, "a");
  print::PrCancel();
  PrintOnSheet(Note, "b");
  EndSheetPrint();
  EXPECT_EQ(g_placed.size(), 5u);
  EXPECT_EQ(Calls(Op::Abort).size(), 1u);
  EXPECT_EQ(print::FontDepth(), 0);
  EXPECT_FALSE(print::PrPrinting());
}

// --- Labels in their cells ----------------------------------------------------------------------

// The font sizes of "Laser 3x8" at 254 dots per inch: big 37, normal 28, small 23 dots, and half
// of each. The recording canvas's character is half the size wide, a line size + size / 10 high.
class LabelDrawing : public SheetPrint {
 protected:
  void Draw(const std::string& text) {
    ASSERT_TRUE(Begin());
    DrawLabel(text, SheetCell(env, 1, 1));
    EndSheetPrint();
  }
  std::vector<int> MeasuredFonts() const {
    std::vector<int> out;
    for (const auto& c : Calls(Op::TextBox))
      if (c.flags & print::textbox::kCalcRect) out.push_back(c.font.pixels);
    return out;
  }
};

TEST_F(LabelDrawing, TwoShortLinesInTheBigFontCentred) {
  Draw("Anna\r\nBo");
  auto texts = Calls(Op::Text);
  ASSERT_EQ(texts.size(), 3u);  // the two blanks that make the canvas, then the lines
  EXPECT_EQ(texts[1].text, "Anna");
  EXPECT_EQ(texts[1].font.pixels, 37);
  // Block 72 wide and 80 high in a cell from (2, 0) to (602, -320).
  EXPECT_EQ(texts[1].x, 266);
  EXPECT_EQ(texts[1].y, -120);
  EXPECT_EQ(texts[2].text, "Bo");
  EXPECT_EQ(texts[2].x, 266);
  EXPECT_EQ(texts[2].y, -160);
  EXPECT_EQ(SheetState.labels_printed, 1);
  EXPECT_TRUE(Reported("status1:Anna"));
  EXPECT_TRUE(Reported("status3:Antal :  1"));
}

TEST_F(LabelDrawing, FontsAreTriedInOrderWithTheMeasureCarriedOver) {
  std::string text = "r1";
  for (int i = 2; i <= 9; ++i) text += "\r\nr" + std::to_string(i);  // 9 lines: too high for the big font
  Draw(text);
  EXPECT_EQ(MeasuredFonts(), (std::vector<int>{37, 28}));
  auto boxes = Calls(Op::TextBox);
  ASSERT_EQ(boxes.size(), 3u);
  EXPECT_EQ(boxes[0].x2, 602);
  EXPECT_EQ(boxes[0].out_right, 38);
  EXPECT_EQ(boxes[1].x2, 38);  // the second try starts from the rectangle of the first
  EXPECT_EQ(boxes[1].out_right, 30);
  EXPECT_EQ(boxes[1].out_bottom, -270);
  EXPECT_EQ(boxes[2].font.pixels, 28);
  EXPECT_EQ(boxes[2].x, 288);
  EXPECT_EQ(boxes[2].y, -25);
}

TEST_F(LabelDrawing, ATextTooLongForEveryFontStartsAtTheTopLeftInTheLast) {
  std::string text = "rad";
  for (int i = 2; i <= 40; ++i) text += "\r\nrad";
  Draw(text);
  EXPECT_EQ(MeasuredFonts(), (std::vector<int>{37, 28, 23, 18, 14, 11}));
  auto boxes = Calls(Op::TextBox);
  ASSERT_EQ(boxes.size(), 7u);
  EXPECT_EQ(boxes[6].x, 2);
  EXPECT_EQ(boxes[6].y, 0);
  EXPECT_EQ(boxes[6].font.pixels, 11);
  EXPECT_EQ(print::FontDepth(), 0);
}

TEST_F(LabelDrawing, LongLinesBreakBetweenWords) {
  Draw("Orienteringsklubben Ravinen Skogsv\xE4gen");  // 37 characters: 666 wide in the big font
  auto texts = Calls(Op::Text);
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(texts[1].text, "Orienteringsklubben Ravinen");
  EXPECT_EQ(texts[2].text, "Skogsv\xE4gen");
  EXPECT_EQ(texts[1].font.pixels, 37);
}

TEST_F(LabelDrawing, APictureFillsItsCellAndAMissingOneLeavesItEmpty) {
  TempDir dir;
  QImage image(8, 4, QImage::Format_RGB32);
  image.fill(Qt::red);
  ASSERT_TRUE(image.save(QString::fromStdString((dir / "logga.png").string())));
  env.copies = 1;
  ASSERT_TRUE(Begin());
  PrintOnSheet(DrawLabel, "bitmap" + (dir / "logga.png").string());
  PrintOnSheet(DrawLabel, "BITMAP/finns/inte.png");
  PrintOnSheet(DrawLabel, "Anna");
  EndSheetPrint();

  auto images = Calls(Op::Image);
  ASSERT_EQ(images.size(), 1u);
  EXPECT_EQ(images[0].x, 2);
  EXPECT_EQ(images[0].y, 0);
  EXPECT_EQ(images[0].x2, 602);
  EXPECT_EQ(images[0].y2, -320);
  EXPECT_EQ(MsgLine, "kan ej ladda filen \"/finns/inte.png\"");
  // The next label goes on in the third cell, and the job ends normally.
  auto texts = Calls(Op::Text);
  ASSERT_EQ(texts.back().text, "Anna");
  EXPECT_GT(texts.back().x, SheetCell(env, 1, 3).left);
  EXPECT_EQ(SheetState.labels_printed, 2);
  EXPECT_EQ(SheetState.pictures_missing, 1);
  EXPECT_EQ(Calls(Op::End).size(), 1u);
  EXPECT_FALSE(print::PrPrinting());
}

}  // namespace
}  // namespace olbrax::test

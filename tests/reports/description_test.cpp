// One description row: the symbols of the cells, the texts in their bands and fonts, the
// splits at "_" and "/", and the special symbols.
#include <algorithm>
#include <cmath>
#include <random>

#include "competition/records/competition_rec.h"
#include "printing/engine/print_engine.h"
#include "printing/reports/description_grid.h"
#include "printing/reports/print_sheet_target.h"
#include "printing/reports/report_frame.h"
#include "printing/reports/report_setup.h"
#include "printing/reports/symbol_bitmap.h"
#include "reports/report_fixture.h"

namespace olbrax::test {
namespace {

using namespace olbrax::print;

class DescriptionTest : public ReportTest {
 protected:
  // Prints one row of the control `code` and returns the row's top.
  int PrintRow(const std::string& code) {
    EXPECT_TRUE(StartReportJob(nullptr, "t"));
    ReportInit();
    std::int32_t ref = 0;
    bool at_end, found;
    FindControl(kFindExact, code, ref, at_end, found);
    EXPECT_TRUE(found);
    DescriptionSlot slot;
    slot.kind = DescriptionSlot::kControl;
    slot.control = KontrRec;
    int top = CursorY;
    DescriptionRow(1, false, &slot);
    row_advance = CursorY - top;
    printerexit(0, 0);
    return top;
  }
  int row_advance = 0;
};

TEST_F(DescriptionTest, SplitTextsGoToTheTopAndBottomBandsAndASlashAddsAStrokeOrAMiddleText) {
  Competition();
  AddControl("31", {"", "8/3", "", "", "8_3", "8/3", "2X3", "ABCD"});
  const int top = PrintRow("31");
  const int x0 = 0;  // no margins: the column starts at 0
  const CanvasFont cell = ToCanvasFont(Report.cell, 600), text = ToCanvasFont(Report.text, 600);
  // b = 173 ÷ 3; the cell font's offset o = b ÷ 4: top band at round(o ÷ 2), bottom band at
  // round(2b − o), middle band at round(b − o).
  auto at = [&](int k) { return TextsAt(x0 + CellX(1, -k)); };
  auto e = at(5);
  ASSERT_EQ(e.size(), 2u);
  EXPECT_EQ(e[0].text, "    8");
  EXPECT_EQ(e[0].y, top + 7);
  EXPECT_EQ(e[1].text, "    3");
  EXPECT_EQ(e[1].y, top + 101);
  EXPECT_EQ(e[0].font, cell);
  // Column B: the same digits and "  /  " in the middle band.
  auto b = at(2);
  ASSERT_EQ(b.size(), 3u);
  EXPECT_EQ(b[2].text, "  /  ");
  EXPECT_EQ(b[2].y, top + 43);
  // Column F: the digits and a stroke of pen width 5 from the top right to the bottom left.
  auto lines = Calls(Op::Line);
  auto stroke = std::find_if(lines.begin(), lines.end(), [](const Call& c) { return c.width == 5; });
  ASSERT_NE(stroke, lines.end());
  EXPECT_EQ(stroke->x, x0 + CellX(1, 7));
  EXPECT_EQ(stroke->y, top);
  EXPECT_EQ(stroke->x2, x0 + CellX(1, 6));
  EXPECT_EQ(stroke->y2, top + 173);
  EXPECT_EQ(at(6).size(), 2u);
  // "X" is written "x"; three characters take the text font, placed by b ÷ 2.
  ASSERT_EQ(at(7).size(), 1u);
  EXPECT_EQ(at(7)[0].text, "2x3");
  EXPECT_EQ(at(7)[0].font, text);
  EXPECT_EQ(at(7)[0].y, top + 29);
  EXPECT_EQ(at(8)[0].font, cell);  // four characters outside cell 2
  EXPECT_EQ(row_advance, 173);
}

TEST_F(DescriptionTest, TheThreePassesRunTopBottomMiddleAndTheSymbolsComeWithTheTopPass) {
  Competition();
  AddSymbol("_VU", 0x0F);
  AddSymbol("STEN", 0xF0);
  AddControl("31", {"", "31", "", "STEN", "1_2"});
  const int top = PrintRow("31");
  std::vector<std::string> order;
  for (const Call& c : Canvas().calls)
    if (c.op == Op::Text && c.y > top && c.y < top + 173) order.push_back(c.text);
    else if (c.op == Op::Bitmap) order.push_back("#");
  // Pass 1: 8 cells and the column end, with the top text of column E; pass 3: the bottom text;
  // pass 2: the middle texts (column B padded to 3 characters).
  std::vector<std::string> expected = {"#", "#", "#", "#", "#", "    1", "#", "#", "#", "#", "    2", " 31"};
  EXPECT_EQ(order, expected);
  // Column D is drawn with the symbol of its key word, the others with the cell default.
  auto bitmaps = Calls(Op::Bitmap);
  EXPECT_EQ(bitmaps[3].bitmap, SymbolBitmap(*FindSymbol("STEN"), 4, 3));
  EXPECT_EQ(bitmaps[2].bitmap, SymbolBitmap(Report.cell_default, 3, 3));
  // A symbol is 48 × 3.6 by 72 × 2.4 dots: a 48-unit square; cell 2 is 56 pixels wide.
  EXPECT_EQ(bitmaps[0].x2 - bitmaps[0].x, 173);
  EXPECT_EQ(bitmaps[0].y2 - bitmaps[0].y, 173);
  EXPECT_EQ(bitmaps[1].bitmap.width, 56);
  // Each symbol starts one dot right of the one before it.
  EXPECT_EQ(bitmaps[1].x, bitmaps[0].x2 + 1);
}

TEST_F(DescriptionTest, StartAndFinishCodesUseTheStartFinishDefault) {
  Competition();
  AddSymbol("_VU", 0x0F);
  AddSymbol("_U", 0xF0);
  AddControl("M1", {"", "", "", "", "", "", "", ""});
  PrintRow("M1");
  auto bitmaps = Calls(Op::Bitmap);
  ASSERT_EQ(bitmaps.size(), 9u);
  EXPECT_EQ(bitmaps[0].bitmap, SymbolBitmap(Report.start_default, 1, 3));
}

TEST_F(DescriptionTest, SpecialSymbolsFallBackToTheirXFormAndAMissingOneStaysEmpty) {
  Competition();
  AddSymbol("XVU", 0x11);
  AddSymbol("_V", 0x22);
  AddSymbol("XV", 0x33);
  ReportInit();
  EXPECT_EQ(Report.cell_default.RouteSymbol[1][2][40], 0x11);
  EXPECT_EQ(Report.column_end.RouteSymbol[0][0][0], 0x22);  // "_V" before "XV"
  EXPECT_EQ(Report.start_default.RouteSymbol[2][2][47], 0);  // neither "_U" nor "XU"
  EXPECT_EQ(Report.empty.RouteSymbol[0][0][0], 0);
  ReportDone();
}

TEST(SymbolBitmap, BitValue128IsTheTopPixelOfEachByte) {
  TRoute24Rec sym{};
  sym.RouteSymbol[0][0][0] = 0x80;   // band 1, byte row 1, column 1: pixel (0, 0)
  sym.RouteSymbol[1][2][47] = 0x01;  // band 2, byte row 3, column 48: pixel (47, 24 + 16 + 7)
  sym.RouteSymbol[2][1][10] = 0x40;  // band 3, byte row 2, column 11: pixel (10, 48 + 8 + 1)
  MonoBitmap b = SymbolBitmap(sym, 3, 3);
  ASSERT_EQ(b.width, 48);
  ASSERT_EQ(b.height, 72);
  EXPECT_EQ(std::count(b.black.begin(), b.black.end(), 1), 3);
  EXPECT_TRUE(b.At(0, 0));
  EXPECT_TRUE(b.At(47, 47));
  EXPECT_TRUE(b.At(10, 57));
  // One band for a closing row.
  EXPECT_EQ(SymbolBitmap(sym, 3, 1).height, 24);
}

TEST(SymbolBitmap, CellTwoRepeatsItsLastColumnAndCellsOneFourSevenDoubleAFullLeftLine) {
  TRoute24Rec sym{};
  for (int g = 0; g < 3; ++g)
    for (int r = 0; r < 3; ++r) sym.RouteSymbol[g][r][0] = 255;  // a left line, full height
  sym.RouteSymbol[0][0][47] = 0x80;
  MonoBitmap two = SymbolBitmap(sym, 2, 3);
  ASSERT_EQ(two.width, 56);
  for (int c = 47; c < 56; ++c) EXPECT_TRUE(two.At(c, 0)) << c;
  EXPECT_FALSE(two.At(1, 10));
  for (int cell : {1, 4, 7}) EXPECT_TRUE(SymbolBitmap(sym, cell, 3).At(1, 71)) << cell;
  for (int cell : {3, 5, 8, 9}) EXPECT_FALSE(SymbolBitmap(sym, cell, 3).At(1, 71)) << cell;
  // A column-1 byte that is not 255 leaves column 2 alone.
  sym.RouteSymbol[0][0][0] = 254;
  EXPECT_FALSE(SymbolBitmap(sym, 1, 3).At(1, 0));
}

TEST(MonoBitmapRects, TheRectanglesCoverExactlyTheStretchedBlackPixels) {
  std::mt19937 rng(7);
  MonoBitmap b(48, 72);
  for (int y = 0; y < 72; ++y)
    for (int x = 0; x < 48; ++x) b.Set(x, y, (rng() % 3 == 0) || (x > 10 && x < 20));
  const double xf = 3.6, yf = 2.4;
  const int w = static_cast<int>(std::lround(48 * xf)), h = static_cast<int>(std::lround(72 * yf));
  std::vector<int> covered(static_cast<std::size_t>(w * h), 0);
  auto rects = MonoBitmapRects(5, 9, b, xf, yf);
  for (const CanvasRect& r : rects)
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) ++covered[static_cast<std::size_t>((y - 9) * w + (x - 5))];
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      // The pixel a dot belongs to: the one whose rounded edges enclose it.
      int px = 0, py = 0;
      while (std::lround((px + 1) * xf) <= x) ++px;
      while (std::lround((py + 1) * yf) <= y) ++py;
      ASSERT_EQ(covered[static_cast<std::size_t>(y * w + x)], b.At(px, py) ? 1 : 0) << x << "," << y;
    }
  // The full columns 11..19 are one rectangle over all rows, not 72.
  EXPECT_LT(rects.size(), 72u * 12u);
}

}  // namespace
}  // namespace olbrax::test

// The payment-form layouts: character and amount boxes with their steps and rounding, and whole
// forms printed on the recording canvas with the "Giro/Startkort" label environment.
#include <algorithm>

#include "registers/data/giro_fields.h"
#include "registers/data/giro_register.h"
#include "registers/sheets/giro_layout.h"
#include "registers/sheets/giro_print.h"
#include "sheet_fixture.h"

namespace olbrax::test {
namespace {

const GiroFieldPlace& Place(int kind, GiroField field) {
  auto layout = GiroLayout(kind);
  return *std::find_if(layout.begin(), layout.end(), [&](const GiroFieldPlace& p) { return p.field == field; });
}

// Characters and left edges of the boxes, from the last character to the first.
std::vector<std::pair<char, int>> Boxes(int kind, GiroField field, const std::string& text) {
  const GiroFieldPlace& p = Place(kind, field);
  CanvasRect last = PlaceInCell(CanvasRect{}, p.x, p.y, p.width, p.height);
  std::vector<std::pair<char, int>> out;
  for (const CharInBox& c : CharBoxesFor(text, last, p)) out.emplace_back(c.c, c.box.left);
  return out;
}

TEST(GiroLayout, PostgiroAmountBoxes) {
  // From the right: 0, 0, a step of 34 for the point, 4, 3, 2, and after the 5th digit 7 more.
  EXPECT_EQ(AmountBoxText("1234"), "1234.00");
  EXPECT_EQ(Boxes(kPostgiro, GiroField::Amount, AmountBoxText("1234")),
            (std::vector<std::pair<char, int>>{{'0', 1855}, {'0', 1792}, {'4', 1694}, {'3', 1630}, {'2', 1566},
                                               {'1', 1495}}));
}

TEST(GiroLayout, PlusgiroAmountBoxes) {
  // Every character has its box, the point too; after the 5th character 4 more.
  EXPECT_EQ(Boxes(kPlusgiro, GiroField::Amount, AmountBoxText("1234")),
            (std::vector<std::pair<char, int>>{
                {'0', 1135}, {'0', 1099}, {'.', 1063}, {'4', 1027}, {'3', 991}, {'2', 951}, {'1', 915}}));
}

TEST(GiroLayout, CharacterBoxesStepByTheRoundedPitch) {
  // 63.5 to the left, halves rounded to the even neighbour: 63 and 64 in turn.
  EXPECT_EQ(Boxes(kPostgiro, GiroField::Giro, "12-3"),
            (std::vector<std::pair<char, int>>{{'3', 1785}, {'-', 1722}, {'2', 1658}, {'1', 1594}}));
  EXPECT_EQ(AmountBoxText("12.5"), "12.5");
  EXPECT_EQ(AmountBoxText(""), ".00");
}

class GiroForms : public SheetTest {
 protected:
  void SetUp() override {
    SheetTest::SetUp();
    DefaultLabelEnvironment(10, CurrentLabelEnvironment, *general_);  // "Giro/Startkort"
  }
  void Print(int kind, const GiroFields& f) {
    ClearGiro();
    StoreGiroFields(f, kind);
    ASSERT_TRUE(BeginSheetPrint("giroblanketter", nullptr));
    PrintGiroForm(kind);
    EndSheetPrint();
  }
  // The texts drawn, with x and y.
  std::vector<std::tuple<std::string, int, int>> Drawn() const {
    std::vector<std::tuple<std::string, int, int>> out;
    for (const auto& c : Calls(Op::Text))
      if (c.text != "  ") out.emplace_back(c.text, c.x, c.y);
    return out;
  }
};

TEST_F(GiroForms, PostgiroFormWithItsAmountInBoxes) {
  GiroFields f;
  f.payee = "OK Ravinen";
  f.amount = 1234;
  Print(kPostgiro, f);
  // The cell of "Giro/Startkort" starts at x -60, y 40; the amount's last box at (1795, -630),
  // 55 x 80: a character 18 wide and 37 high in the big font (no external leading here) sits
  // 18.5 in and 21.5 down, each rounded to the even neighbour.
  std::vector<std::tuple<std::string, int, int>> amount;
  for (const auto& t : Drawn())
    if (std::get<2>(t) == -652) amount.push_back(t);
  EXPECT_EQ(amount, (std::vector<std::tuple<std::string, int, int>>{{"0", 1813, -652},
                                                                    {"0", 1750, -652},
                                                                    {"4", 1652, -652},
                                                                    {"3", 1588, -652},
                                                                    {"2", 1524, -652},
                                                                    {"1", 1453, -652}}));
  auto drawn = Drawn();
  EXPECT_NE(std::find_if(drawn.begin(), drawn.end(), [](const auto& t) { return std::get<0>(t) == "OK Ravinen"; }),
            drawn.end());
}

TEST_F(GiroForms, AmountZero) {
  GiroFields f;
  f.payee = "Klubben";
  Print(kBankgiro, f);  // stored as "0", printed as it is, right-aligned in its box
  auto drawn = Drawn();
  EXPECT_NE(std::find(drawn.begin(), drawn.end(), std::tuple<std::string, int, int>{"0", 1022, -639}), drawn.end());

  canvas.reset();
  Print(kPostgiro, f);  // no amount: ".00", whose point is not drawn
  int zeros = 0;
  for (const auto& t : Drawn()) {
    EXPECT_NE(std::get<0>(t), ".");
    zeros += std::get<0>(t) == "0";
  }
  EXPECT_EQ(zeros, 2);
}

TEST_F(GiroForms, TheLetterCodeIsNeverPrintedAndTheReferenceOnlyOnPostgiro) {
  GiroFields f;
  f.payee = "P";
  f.letter = "QZ";
  f.reference = "R";
  Print(kPostgiro, f);
  auto texts = Drawn();
  auto has = [&](const std::string& s) {
    return std::find_if(texts.begin(), texts.end(), [&](const auto& t) { return std::get<0>(t) == s; }) != texts.end();
  };
  EXPECT_TRUE(has("R"));
  EXPECT_FALSE(has("QZ"));
  EXPECT_FALSE(has("Q"));
  GiroRec.Referens.set("R");
  ASSERT_TRUE(BeginSheetPrint("giroblanketter", nullptr));
  PrintGiroForm(kPlusgiro);
  EndSheetPrint();
  texts = Drawn();
  EXPECT_FALSE(has("R"));
}

}  // namespace
}  // namespace olbrax::test

#include <gtest/gtest.h>

#include "base/message_table.h"
#include "base/messages.h"
#include "support/fixtures.h"

namespace olbrax {
namespace {

using platform::kAbort;
using platform::kCancel;
using platform::kIgnore;
using platform::kNo;
using platform::kNoBox;
using platform::kOk;
using platform::kRetry;
using platform::kYes;

TEST(MsgText, NumbersWithoutTextGiveTheUnknownNumberText) {
  EXPECT_EQ(MsgText(7), "Okänt nummer i msgtextanrop=      7"_w);
  EXPECT_EQ(MsgText(-16), "Okänt nummer i msgtextanrop=    -16"_w);
  EXPECT_EQ(MsgText(600), "Okänt nummer i msgtextanrop=    600"_w);
  EXPECT_EQ(MsgText(14), "Okänt nummer i msgtextanrop=     14"_w);
  EXPECT_EQ(MsgText(1234567), "Okänt nummer i msgtextanrop= 1234567"_w);
}

TEST(MsgText, StorageEngineCodesGetTheBtreePrefix) {
  EXPECT_EQ(MsgText(10230), "Btree: AddKey: Existerar redan som unik");
  EXPECT_EQ(MsgText(10151), "Btree: errornr= 10151");
  EXPECT_EQ(MsgText(9500), "Btree: IOresult=  0");
  EXPECT_EQ(MsgText(9999), "Btree: errornr=  9999");
  EXPECT_EQ(MsgText(10150), "Btree: Ogiltigt \"opening mode\"");
  EXPECT_EQ(MsgText(10499), "Btree: errornr= 10499");
  EXPECT_EQ(MsgText(10500), "Okänt nummer i msgtextanrop=  10500"_w);
}

TEST(MsgText, KnownTextsAreExactWithTheirBlanks) {
  EXPECT_EQ(MsgText(502), "Raderad!              ");
  EXPECT_EQ(MsgText(502).size(), 8u + 14u);
  EXPECT_EQ(MsgText(303), " existerar redan. Kopiera ");
  EXPECT_EQ(MsgText(518), "Kan ej \"Rename\" fil ");
  EXPECT_EQ(MsgText(-15), "Ogiltigt drivrutinnummer");
  EXPECT_EQ(MsgText(0), "Inget fel!");
  EXPECT_EQ(MsgText(324), "Datafiler saknas/ ej i aktuellt bibliotek");
  EXPECT_EQ(MsgText(10265), "Btree: PrevKey: Sekevensiellt anrop ej tillåten"_w);
}

TEST(MsgText, TheTableIsSortedUniqueAndWithinTheTextLimit) {
  auto table = detail::MessageTable();
  EXPECT_EQ(table.size(), 286u);
  for (std::size_t i = 1; i < table.size(); ++i) EXPECT_LT(table[i - 1].number, table[i].number);
  for (const auto& e : table) {
    EXPECT_LE(MsgText(e.number).size(), kMsgTextMax) << e.number;
    if (!e.text.empty() && (e.number < 9500 || e.number > 10499)) {
      EXPECT_EQ(MsgText(e.number), e.text) << e.number;
    }
  }
}

class ShowTest : public test::UiTest {};

TEST_F(ShowTest, SubCodesReplaceTheMessageLineWithoutABox) {
  MsgLine = "something";
  EXPECT_TRUE(ShowMsg(7));
  EXPECT_EQ(MsgLine, "Datafiler saknas/ ej i aktuellt bibliotek");
  MsgLine = "kept";
  EXPECT_TRUE(ShowMsg(1));
  EXPECT_EQ(MsgLine, "kept");
  EXPECT_TRUE(ShowMsg(31));
  EXPECT_EQ(MsgLine, "Filerna öppna...."_w);
  EXPECT_TRUE(ShowMsg(33));
  EXPECT_EQ(MsgLine, "Filerna stängda.."_w);
  EXPECT_TRUE(ShowMsg(36));
  EXPECT_EQ(MsgLine, "Printerutskriften klar..!");
  EXPECT_TRUE(ShowMsg(39));
  EXPECT_EQ(MsgLine, "Databas ej vald/ datafiler saknas!");
  EXPECT_TRUE(ShowMsg(34));
  EXPECT_EQ(MsgLine, "");
  MsgLine = "x";
  EXPECT_TRUE(ShowMsg(0));
  EXPECT_EQ(MsgLine, "");
  EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(ShowTest, QuestionIsTrueOnlyForYes) {
  MsgLine = "Radera?";
  ui.answers = {kYes, kNo};
  EXPECT_TRUE(ShowMsg(101));
  EXPECT_FALSE(ShowMsg(101));
  ASSERT_EQ(ui.boxes.size(), 2u);
  EXPECT_EQ(ui.boxes[0].style, 1);
  EXPECT_EQ(ui.boxes[0].caption, "??");
  EXPECT_EQ(ui.boxes[0].text, "Radera?");
}

TEST_F(ShowTest, NoticeAndErrorBoxesHaveTheirCaptions) {
  MsgLine = "n";
  EXPECT_TRUE(ShowMsg(201));
  ui.answers = {kAbort, kRetry, kIgnore, kCancel};
  EXPECT_FALSE(ShowMsg(301));
  EXPECT_TRUE(ShowMsg(301));
  EXPECT_TRUE(ShowMsg(301));
  EXPECT_FALSE(ShowMsg(401));
  ASSERT_EQ(ui.boxes.size(), 5u);
  EXPECT_EQ(ui.boxes[0].caption, "info");
  EXPECT_EQ(ui.boxes[1].caption, "error");
  EXPECT_EQ(ui.boxes[4].caption, "error");
}

TEST_F(ShowTest, NoBoxCountsAsAgreement) {
  ui.answers = {kNoBox};
  MsgLine = "x";
  EXPECT_TRUE(ShowMsg(101));
}

TEST_F(ShowTest, ShowTextConvertsDosLettersButShowTextAsIsDoesNot) {
  EXPECT_EQ(ShowText(201, "p\x86"), kOk);
  EXPECT_EQ(ShowTextAsIs(201, "p\x86"), kOk);
  ASSERT_EQ(ui.boxes.size(), 2u);
  EXPECT_EQ(ui.boxes[0].text, "p\xE5");
  EXPECT_EQ(ui.boxes[1].text, "p\x86");
  // É (0x90) alone is not one of the six Swedish letters that trigger the conversion.
  EXPECT_EQ(ShowText(1, "\x90"), kOk);
  EXPECT_EQ(MsgLine, "\x90");
}

TEST_F(ShowTest, LongTextsAreCutTo160) {
  std::string t(200, 'x');
  EXPECT_EQ(ShowText(1, t), kOk);
  EXPECT_EQ(MsgLine.size(), 160u);
  ShowText(201, t);
  EXPECT_EQ(ui.boxes.back().text.size(), 160u);
}

TEST_F(ShowTest, CodesOutsideTheRangeShowNothing) {
  EXPECT_EQ(ShowText(-101, "x"), kNoBox);
  EXPECT_EQ(ShowText(25600, "x"), kNoBox);
  EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(ShowTest, AskNumberReturnsTheValueOnEscapeAndTheNumberOnEnter) {
  EXPECT_EQ(AskNumber(nullptr, 42, ""), 42);
  ui.numbers = {12345};
  EXPECT_EQ(AskNumber(nullptr, 42, "antal"), 12345);
}

TEST(NumberField, ReadsASignedNumberOfAtMostFiveCharacters) {
  EXPECT_EQ(ParseNumberField("12345", 0), 12345);
  EXPECT_EQ(ParseNumberField("-1234", 0), -1234);
  EXPECT_EQ(ParseNumberField("123456", 0), 12345);
  EXPECT_EQ(ParseNumberField("abc", 7), 7);
  EXPECT_EQ(ParseNumberField("", 7), 7);
  EXPECT_EQ(ParseNumberField(" 12 ", 7), 12);
}

TEST_F(ShowTest, OwnerStackKeeps33AndCountsBeyond) {
  int windows[40];
  EXPECT_EQ(TopOwner(), nullptr);
  for (int i = 0; i < 35; ++i) PushOwner(&windows[i]);
  EXPECT_EQ(TopOwner(), nullptr);  // depth 35 is outside 1..33
  PopOwner();
  PopOwner();
  EXPECT_EQ(TopOwner(), &windows[32]);
  for (int i = 0; i < 33; ++i) PopOwner();
  EXPECT_EQ(TopOwner(), nullptr);
}

TEST_F(ShowTest, CursorStackRestoresWhatWasSaved) {
  ui.cursor = platform::Cursor::Program;
  PushCursor();
  ui.SetCursor(platform::Cursor::Wait);
  PushCursor();
  ui.SetCursor(platform::Cursor::Arrow);
  PopCursor();
  EXPECT_EQ(ui.cursor, platform::Cursor::Wait);
  PopCursor();
  EXPECT_EQ(ui.cursor, platform::Cursor::Program);
  PopCursor();  // below the bottom: nothing to restore
  EXPECT_EQ(ui.cursor, platform::Cursor::Program);
}

TEST_F(ShowTest, BeepIsPassedToThePlatform) {
  BeepSignal();
  EXPECT_EQ(ui.beeps, 1);
}

}  // namespace
}  // namespace olbrax

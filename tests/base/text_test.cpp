#include <gtest/gtest.h>
#include <iconv.h>

#include "base/text.h"

namespace olbrax {
namespace {

// The system's iconv is an independent oracle for the code page tables.
std::string Iconv(const char* to, const char* from, const std::string& in) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return "<no iconv>";
  std::string src = in;
  std::string out(in.size() * 4 + 4, '\0');
  char* ip = src.data();
  char* op = out.data();
  size_t il = src.size(), ol = out.size();
  size_t r = iconv(cd, &ip, &il, &op, &ol);
  iconv_close(cd);
  if (r == static_cast<size_t>(-1)) return "<unmappable>";
  out.resize(out.size() - ol);
  return out;
}

TEST(CodePages, EveryWindowsByteRoundTripsThroughUtf8AndMatchesIconv) {
  for (int b = 0; b < 256; ++b) {
    std::string one(1, static_cast<char>(b));
    std::string utf8 = Utf8FromWin(one);
    EXPECT_EQ(WinFromUtf8(utf8), one) << "byte " << b;
    if (b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D) continue;  // unassigned
    EXPECT_EQ(utf8, Iconv("UTF-8", "CP1252", one)) << "byte " << b;
  }
}

TEST(CodePages, DosBytesConvertLikeIconvWhereWindowsHasTheLetter) {
  for (int b = 0x80; b < 256; ++b) {
    // A DOS letter (å) makes DosToWin convert the whole text.
    std::string text = std::string("\x86") + static_cast<char>(b);
    std::string expected_utf8 = Iconv("UTF-8", "CP850", text);
    std::string oracle = Iconv("CP1252", "UTF-8", expected_utf8);
    if (oracle == "<unmappable>") continue;  // box drawing: best fit, checked below
    EXPECT_EQ(DosToWin(text), oracle) << "byte " << b;
  }
  EXPECT_EQ(DosToWin("\x86\xC4\xB3\xDA"), "\xE5-\xA6+");  // å ─ │ ┌
}

TEST(CodePages, WinFromUtf8ReplacesWhatWindows1252Lacks) {
  EXPECT_EQ(WinFromUtf8("a\xE2\x94\x80" "b"), "a?b");  // U+2500
  EXPECT_EQ(WinFromUtf8("\xC3"), "?");                  // cut sequence
  EXPECT_EQ(WinFromUtf8("\x80z"), "?z");                // stray continuation byte
  EXPECT_EQ(WinFromUtf8("\xE2\x82\xAC"), "\x80");       // €
}

TEST(CodePages, LiteralSuffixConvertsAtCompileTime) {
  static_assert("åäö"_w == "\xE5\xE4\xF6");
  static_assert("Söndag  "_w.size() == 8);
  EXPECT_EQ(Text("körs"_w), "k\xF6rs");
}

TEST(DosToWin, ConvertsOnlyTextsHoldingADosLetter) {
  EXPECT_EQ(DosToWin("p\x86"), "p\xE5");  // p and the DOS å
  // Other DOS codes alone leave the text untouched (0xA4 is ñ in DOS, ¤ in Windows).
  EXPECT_EQ(DosToWin("a\xA4"), "a\xA4");
  // A typographic quote (0x92) is the DOS Æ: the whole text is taken as DOS and converted,
  // its Windows letters included (0xE5 is DOS Õ).
  EXPECT_EQ(DosToWin("\x92\xE5"), "\xC6\xD5");
  EXPECT_EQ(DosToWin(""), "");
}

TEST(DosToWin, WinToDosLeavesTextsAloneWhileTheSwitchIsOff) {
  EXPECT_FALSE(DosOutput);
  EXPECT_EQ(WinToDos("\xE5\xE4\xF6"), "\xE5\xE4\xF6");
}

TEST(LetterCase, UpStrFollowsTheSwedishTable) {
  EXPECT_EQ(UpStr("åäö éü ñ"_w), "ÅÄÖ ÉÜ Ñ"_w);
  EXPECT_EQ(UpStr("àèìòù"_w), "AEIOU");
  EXPECT_EQ(UpStr("øãõýðþ"_w), "øãõýðþ"_w);
  EXPECT_EQ(UpStr("æçÿ"_w), "ÆÇY"_w);
}

TEST(LetterCase, LowStrLowersOnlyTheListedCapitals) {
  EXPECT_EQ(LowStr("ÅÄÖ ÉÜ"_w), "åäö éü"_w);
  EXPECT_EQ(LowStr("ÀØ"_w), "ÀØ"_w);
  EXPECT_EQ(LowStr("ABCÆÇÑ"_w), "abcæçñ"_w);
}

TEST(LetterCase, EveryByteOfUpCharIsStableUnderASecondUpChar) {
  for (int b = 0; b < 256; ++b) {
    unsigned char u = UpChar(static_cast<unsigned char>(b));
    EXPECT_EQ(UpChar(u), u) << b;
  }
}

TEST(LetterCase, ProperStrCapitalisesEveryWord) {
  EXPECT_EQ(ProperStr("ANNA-KARIN ÖST"_w), "Anna-Karin Öst"_w);
  EXPECT_EQ(ProperStr("per.olof/svensson"), "Per.Olof/Svensson");
  EXPECT_EQ(ProperStr("ok  linné, sk"_w), "Ok  Linné, Sk"_w);
  EXPECT_EQ(ProperStr(""), "");
  EXPECT_EQ(ProperStr("a"), "A");
}

TEST(Padding, FillAndPad) {
  EXPECT_EQ(FillStr('=', 3), "===");
  EXPECT_EQ(FillStr('=', 0), "");
  EXPECT_EQ(FillStr('=', -2), "");
  EXPECT_EQ(PadRight("ab", '.', 5), "ab...");
  EXPECT_EQ(PadBlank("abcdef", 3), "abcdef");
  EXPECT_EQ(PadLeft("7", '0', 3), "007");
  EXPECT_EQ(PadLeft("1234", '0', 3), "1234");
}

TEST(Padding, TrimRightKeepsALeadingBlank) {
  EXPECT_EQ(TrimRight("ab  "), "ab");
  EXPECT_EQ(TrimRight(" "), " ");
  EXPECT_EQ(TrimRight("   "), " ");
  EXPECT_EQ(TrimRight(""), "");
  EXPECT_EQ(TrimRight(" a "), " a");
}

struct NumberCase {
  long long value;
  int width;
  const char* int_str;
  const char* zero_str;
};

class IntegerFields : public ::testing::TestWithParam<NumberCase> {};

TEST_P(IntegerFields, SignGoesIntoThePadding) {
  const auto& c = GetParam();
  EXPECT_EQ(IntStr(c.value, c.width), c.int_str);
  EXPECT_EQ(ZeroStr(c.value, c.width), c.zero_str);
}

INSTANTIATE_TEST_SUITE_P(Cases, IntegerFields,
                         ::testing::Values(NumberCase{-5, 4, "-  5", "-005"},
                                           NumberCase{5, 3, "  5", "005"},
                                           NumberCase{-5, 3, "- 5", "-05"},
                                           NumberCase{7, 2, " 7", "07"},
                                           NumberCase{123456, 3, "123456", "123456"},
                                           NumberCase{-123, 3, "-123", "-123"},
                                           NumberCase{0, 0, "0", "0"},
                                           NumberCase{-2147483648LL, 4, "-2147483648", "-2147483648"}));

TEST(RealFields, TwoDecimalsWithTheSameSignRule) {
  EXPECT_EQ(RealStr(-1.5, 7), "-  1.50");
  EXPECT_EQ(RealZeroStr(-1.5, 7), "-001.50");
  EXPECT_EQ(RealStr(100.25, 4), "100.25");
  EXPECT_EQ(RealStr(0, 5), " 0.00");
  EXPECT_EQ(RealZeroStr(1.5, 4), "1.50");
  EXPECT_EQ(RealZeroStr(1.5, 5), "01.50");
}

TEST(CheckDigit, Modulus10) {
  EXPECT_TRUE(CheckDigitOK("18"));
  EXPECT_FALSE(CheckDigitOK("19"));
  EXPECT_TRUE(CheckDigitOK(""));
  EXPECT_TRUE(CheckDigitOK("ab -"));
  EXPECT_EQ(CheckDigitOK("12 34-5"), CheckDigitOK("12345"));
  EXPECT_TRUE(CheckDigitOK("4992 7395"));  // a valid plusgiro-style number
  EXPECT_FALSE(CheckDigitOK("4992 7396"));
}

TEST(DirExists, TellsFoldersFromFiles) {
  EXPECT_TRUE(DirExists("/tmp"));
  EXPECT_FALSE(DirExists("/tmp/olbrax-no-such-folder-x"));
  EXPECT_FALSE(DirExists("/proc/meminfo"));
}

}  // namespace
}  // namespace olbrax

// The exchange format: fields, cleaning, identifiers, order codes, and reading lines.
#include "base/messages.h"
#include "exchange/exchange_file.h"
#include "exchange/exchange_format.h"
#include "exchange/file_action.h"
#include "support/fixtures.h"

namespace olbrax::test {
namespace {

TEST(ExchangeFormat, FieldsAndCleaning) {
  const Text line = "OK Ravinen,H21,,,";
  EXPECT_EQ(ExchangeField(line, ',', 1), "OK Ravinen");
  EXPECT_EQ(ExchangeField(line, ',', 2), "H21");
  EXPECT_EQ(ExchangeField(line, ',', 3), "");
  EXPECT_EQ(ExchangeField(line, ',', 5), "");
  EXPECT_EQ(ExchangeField(line, ',', 9), "");
  EXPECT_EQ(ExchangeField("a,   ,b", ',', 2), " ");
  EXPECT_EQ(ExchangeField("a,x\ty  ,b", ',', 2), "x y");
  EXPECT_EQ(ExchangeField("a,  lead", ',', 2), "  lead");
  EXPECT_EQ(IntField(" 42 "), 42);
  EXPECT_EQ(IntField("4x", -1), -1);
  EXPECT_EQ(NormaliseControlCode("31"), " 31");
  EXPECT_EQ(NormaliseControlCode("s1x9"), "S1X");
}

// Every byte value through the cleaning: control characters and byte 255 become blanks, every
// other byte (letters of the code page included) stays.
TEST(ExchangeFormat, CleaningKeepsEveryByteButControlsAnd255) {
  for (int b = 0; b < 256; ++b) {
    SCOPED_TRACE(b);
    const char c = static_cast<char>(b);
    const bool blanked = b < 32 || b == 255;
    EXPECT_EQ(CleanField(Text("a") + c + "b"), blanked ? Text("a b") : Text("a") + c + "b");
  }
}

TEST(ExchangeFormat, IdentifiersAndOrderCodes) {
  EXPECT_EQ(RecogniseSection("*Namn;kommentar"), kSecNamn);
  EXPECT_EQ(RecogniseSection("*ModifieraNamn"), kSecModifieraNamn);
  EXPECT_EQ(RecogniseSection("*DirektNamn"), kSecNone);
  EXPECT_EQ(RecogniseSection("*klubbar"), kSecKlubbar);
  EXPECT_EQ(RecogniseSection("*Etapp=2"), kSecEtapp);
  EXPECT_EQ(IdentifierValue("*Maxdag=3"), "3");
  EXPECT_EQ(OrderCodeOfIdentifier("*Bas"), "05");
  EXPECT_EQ(OrderCodeOfIdentifier("*JaktLottad"), "ad");
  EXPECT_EQ(OrderCodeOfIdentifier("*Okänd"), "99");
  TempDir dir;
  WriteFileBytes(dir / "k.txt", "; rubrik\r\n*Kontroller\r\n31\r\n");
  EXPECT_EQ(ActionEntryText((dir / "k.txt").string(), kImportOrder), "07 *Kontroller. k.txt");
  WriteFileBytes(dir / "e.txt", "*Etapp=2\n");
  EXPECT_EQ(ActionEntryText((dir / "e.txt").string(), kImportOrder), "16 *Etapp...... e.txt");
  WriteFileBytes(dir / "t.txt", "bara data\n");
  EXPECT_EQ(ActionEntryText((dir / "t.txt").string(), kImportOrder).substr(0, 3), "99 ");
}

TEST_F(UiTest, ExchangeLinesAreCutConvertedAndCounted) {
  TempDir dir;
  std::string long_line(300, 'x');
  // A DOS-coded line (0x94 is ö in code page 850), an LF-only line, and a long line.
  WriteFileBytes(dir / "f.txt", "V\x84xj\x94\r\nandra\n" + long_line + "\r\n");
  ASSERT_TRUE(OpenExchangeFileForReading(nullptr, ';', (dir / "f.txt").string(), 0));
  Text line;
  ASSERT_TRUE(ReadExchangeLine(line));
  EXPECT_EQ(line, "V\xE4xj\xF6");
  ASSERT_TRUE(ReadExchangeLine(line));
  EXPECT_EQ(line, "andra");
  ASSERT_TRUE(ReadExchangeLine(line));
  EXPECT_EQ(line.size(), 255u);
  EXPECT_FALSE(ReadExchangeLine(line));
  ExchangeCounts c = CloseExchangeFile();
  EXPECT_EQ(c.lines, 3);
  EXPECT_EQ(MsgLine.substr(0, 27), "Import/export av    3 rader");

  // A created file starts with the comment character and the caption.
  ASSERT_TRUE(OpenExchangeFileNamed(nullptr, ';', 'C', 0, (dir / "ut.ol").string()));
  WriteExchangeLine("*Klubbar");
  CloseExchangeFile();
  std::string bytes = ReadFileBytes(dir / "ut.ol");
  EXPECT_EQ(bytes.substr(0, 2), "; ");
  EXPECT_NE(bytes.find("\r\n*Klubbar\r\n"), std::string::npos);
  ASSERT_TRUE(OpenExchangeFileNamed(nullptr, ';', 'C', 0, (dir / "ut.htm").string()));
  CloseExchangeFile();
  EXPECT_EQ(ReadFileBytes(dir / "ut.htm"), "");
  EXPECT_FALSE(OpenExchangeFileForReading(nullptr, ';', (dir / "saknas.txt").string(), 0));
  EXPECT_EQ(MsgLine.substr(0, 26), "Kan ej \xF6ppna IxportFile: \"");
}

}  // namespace
}  // namespace olbrax::test

namespace olbrax::test {
namespace {

TEST_F(UiTest, TheFileDialogsChooseAndRememberTheFolder) {
  TempDir dir;
  Text folder = dir.str();
  Text path;
  ui.chosen_files = {dir.str() + "/export.ol"};
  ASSERT_TRUE(OpenExchangeFile(nullptr, ';', 'C', path, folder, "ol", "", 0));
  EXPECT_EQ(path, dir.str() + "/export.ol");
  EXPECT_EQ(folder, dir.str());
  CloseExchangeFile();
  EXPECT_EQ(ReadFileBytes(dir / "export.ol").substr(0, 2), "; ");
  ui.chosen_files = {dir.str() + "/lista.htm"};
  ASSERT_TRUE(OpenExchangeFile(nullptr, ';', 'C', path, folder, "htm", "", 0));
  CloseExchangeFile();
  EXPECT_EQ(ReadFileBytes(dir / "lista.htm"), "");
  // Cancel: nothing opens, nothing is said.
  EXPECT_FALSE(OpenExchangeFile(nullptr, ';', 'O', path, folder, "ol", "", 0));
}

}  // namespace
}  // namespace olbrax::test

// The storing rules of the print and label environments that the configuration dialog and
// olbrax-cli config set share: what reaches which bytes of the file, the lengths, the ranges (a
// negative 16-bit length is refused and the stored value kept), and a file that cannot be opened.
#include <cstring>
#include <filesystem>

#include "printing/config/configuration.h"
#include "printing/config/environment_fields.h"
#include "support/fixtures.h"

namespace olbrax::test {
namespace {

class EnvironmentFieldsTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    setenv("HOME", home.str().c_str(), 1);
    unsetenv("XDG_CONFIG_HOME");
    unsetenv("XDG_DOCUMENTS_DIR");
    old_cwd = std::filesystem::temp_directory_path();
    ResetConfigState();
    ConfigLoad(AppSlot, true, "OLBRAX");
  }
  void TearDown() override {
    std::filesystem::current_path(old_cwd);
    ResetConfigState();
    UiTest::TearDown();
  }
  std::filesystem::path File() const { return home.path() / ".config/OlbraxW32/OlbraxW32.P32"; }
  std::string Bytes() const { return ReadFileBytes(File()); }
  static std::string LText(const std::string& s) { return std::string(1, static_cast<char>(s.size())) + s; }
  static int U16(const std::string& b, std::size_t at) {
    return static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1]) << 8;
  }

  TempDir home;
  std::filesystem::path old_cwd;
};

TEST_F(EnvironmentFieldsTest, APrintEnvironmentReachesItsSlotAndItsName) {
  ASSERT_TRUE(LoadPrintEnvironment(3));
  PrintFields f = PrintFieldsOf(3);
  EXPECT_EQ(f.name, "Courier.st\xE5" "ende");
  f.name = std::string(45, 'N');
  f.footer = std::string(70, 'F');
  f.columns = 2;
  f.active[1] = true;
  f.divisor[1] = 3;
  ASSERT_TRUE(StorePrintEnvironment(3, f));
  EXPECT_EQ(GeneralSettings.print_env, 3);
  std::string b = Bytes();
  EXPECT_EQ(b.substr(59810 + 2 * 41, 41), LText(std::string(40, 'N')));  // cut to 40
  const std::size_t slot = 157552 + 2 * 15956;
  EXPECT_EQ(b.substr(slot + 1026, 65), LText(std::string(64, 'F')));  // cut to 64
  EXPECT_EQ(b[slot + 1092 + 9540], 2);                                  // columns
  EXPECT_EQ(b[slot + 10664 + 2 * 1032 + 1025], 1);                      // picture 2 active
  EXPECT_EQ(b[slot + 10664 + 2 * 1032 + 1028], 3);                      // its divisor
  // Another environment read back and then this one again.
  ASSERT_TRUE(LoadPrintEnvironment(4));
  EXPECT_EQ(PrintFieldsOf(4).columns, 1);
  ASSERT_TRUE(LoadPrintEnvironment(3));
  EXPECT_EQ(PrintFieldsOf(3).footer, std::string(64, 'F'));
  EXPECT_FALSE(StorePrintEnvironment(11, f));
  EXPECT_FALSE(LoadPrintEnvironment(0));
}

TEST_F(EnvironmentFieldsTest, ANegativeLengthIsRefusedAndTheStoredValueKept) {
  ASSERT_TRUE(LoadLabelEnvironment(1));
  LabelFields f = LabelFieldsOf(1);
  ASSERT_EQ(f.height, 320);
  EXPECT_EQ(f.left, -50);  // margins may be negative
  EXPECT_EQ(CheckLabelFields(f), "");
  f.height = -5;
  f.width = 650;
  EXPECT_EQ(CheckLabelFields(f), "etiketth\xF6jd -5 utanf\xF6r 0..9999");
  ASSERT_TRUE(StoreLabelEnvironment(1, f));
  std::string b = Bytes();
  const std::size_t slot = 60352;
  EXPECT_EQ(U16(b, slot + 4), 320);   // height: not 65531
  EXPECT_EQ(U16(b, slot + 10), 650);  // width stored
  EXPECT_EQ(CurrentLabelEnvironment.height, 320);
  for (int bad : {-1, 10000}) {
    LabelFields g = LabelFieldsOf(1);
    g.row_pitch = bad;
    EXPECT_NE(CheckLabelFields(g), "") << bad;
    g = LabelFieldsOf(1);
    g.copies = bad;
    EXPECT_NE(CheckLabelFields(g), "") << bad;
  }
  PrintFields p = PrintFieldsOf(1);
  p.columns = 0;
  EXPECT_EQ(CheckPrintFields(p), "kolumner 0 utanf\xF6r 1..9");
}

TEST_F(EnvironmentFieldsTest, WithoutTheFileTheRecordInMemoryIsKeptAndNothingIsRead) {
  ASSERT_TRUE(LoadLabelEnvironment(2));
  // A folder where the file should be: it cannot be opened, whatever rights the test runs with.
  std::filesystem::rename(File(), File().string() + ".away");
  std::filesystem::create_directory(File());
  LabelFields f = LabelFieldsOf(2);
  f.name = "Nytt ark";
  f.rows = 9;
  EXPECT_FALSE(StoreLabelEnvironment(2, f));
  EXPECT_EQ(CurrentLabelEnvironment.rows, 9);
  EXPECT_EQ(GeneralSettings.label_names[1].get(), "Nytt ark");
  EXPECT_FALSE(LoadLabelEnvironment(5));
  EXPECT_EQ(GeneralSettings.label_env, 2);  // still the record shown
  EXPECT_EQ(CurrentLabelEnvironment.rows, 9);
}

}  // namespace
}  // namespace olbrax::test

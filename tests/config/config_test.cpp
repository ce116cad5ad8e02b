// The configuration file: a fresh file byte for byte, the names after a reset and after a save,
// the version conflict, a printer that is not on this machine, and the remembered directory.
#include <unistd.h>

#include <cstring>
#include <filesystem>

#include "base/messages.h"
#include "platform/printers.h"
#include "printing/config/configuration.h"
#include "support/fixtures.h"

namespace olbrax::test {
namespace {

class ConfigTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    setenv("HOME", home.str().c_str(), 1);
    unsetenv("XDG_CONFIG_HOME");
    unsetenv("XDG_DOCUMENTS_DIR");
    ResetConfigState();
    old_cwd = std::filesystem::temp_directory_path();
  }
  void TearDown() override {
    std::filesystem::current_path(old_cwd);
    ResetConfigState();
    UiTest::TearDown();
  }
  std::filesystem::path File() const { return home.path() / ".config/OlbraxW32/OlbraxW32.P32"; }
  std::string Bytes() { return ReadFileBytes(File()); }
  static std::string LText(const std::string& s) { return std::string(1, static_cast<char>(s.size())) + s; }
  static std::int32_t I32(const std::string& b, std::size_t at) {
    std::int32_t v;
    std::memcpy(&v, b.data() + at, 4);
    return v;
  }

  TempDir home;
  std::filesystem::path old_cwd;
};

TEST_F(ConfigTest, FreshFileHoldsTheDefaults) {
  ConfigLoad(AppSlot, true, "OLBRAX");
  std::string b = Bytes();
  ASSERT_EQ(b.size(), 317112u);
  EXPECT_TRUE(std::filesystem::is_directory(home.path() / "Documents/OlbraxW32/data"));
  EXPECT_TRUE(std::filesystem::is_directory(home.path() / "Documents/OlbraxW32/text"));
  // General settings.
  EXPECT_EQ(b[8], 1);
  EXPECT_EQ(b[9], 1);
  EXPECT_EQ(b.substr(10, 27), std::string("c:\\windows\\command\\system32"));
  EXPECT_EQ(b.substr(2060, 4), std::string("*.*\0", 4));
  EXPECT_EQ(b.substr(3085, 25), LText("huvuddator.DatorID.ejdef"));
  std::string data = (home.path() / "Documents/OlbraxW32/data").string();
  EXPECT_EQ(b.substr(5167, data.size() + 1), data + '\0');
  EXPECT_EQ(b[7217], 1);  // RouteFormat: long form
  EXPECT_EQ(b.substr(7344 + 7 * 1025, data.size()), data);
  // The provisional names of a reset, until the next save.
  EXPECT_EQ(b.substr(59359, 34), LText("Kommunikationsinst\xE4llning default"));
  EXPECT_EQ(b.substr(59400, 29), LText("Etikettinst\xE4llning" "01 default"));
  EXPECT_EQ(b.substr(59400 + 9 * 41, 29), LText("Etikettinst\xE4llning" "10 default"));
  EXPECT_EQ(b.substr(59810, 31), LText("Utskriftsinst\xE4llning" "01 default"));
  EXPECT_EQ(I32(b, 60220), 1);
  EXPECT_EQ(b[60224], 1);

  // Label environment 4: continuous paper, 2 per row, 11 rows, its own fonts.
  std::size_t l4 = 60352 + 3 * 9720;
  EXPECT_EQ(I32(b, l4), -50);
  EXPECT_EQ(b[l4 + 18], 2);
  EXPECT_EQ(b[l4 + 20], 11);
  EXPECT_EQ(I32(b, l4 + 24), 10);
  EXPECT_EQ(b.substr(l4 + 36 + 244 + 16, 13), LText("Courier 5cpi"));
  EXPECT_EQ(b[l4 + 36 + 548 + 78], 40);  // paper size: German fan-fold
  EXPECT_EQ(I32(b, l4 + 9584), 1);       // copies

  // Print environment 2: margins 500/500/100/0 in thousandths of an inch, landscape, pictures.
  std::size_t p2 = 157552 + 15956;
  std::size_t setup = p2 + 1092;
  EXPECT_EQ(I32(b, setup + 9008), 500);
  EXPECT_EQ(I32(b, setup + 9012), 500);
  EXPECT_EQ(I32(b, setup + 9016), 100);
  EXPECT_EQ(I32(b, setup + 9020), 0);
  EXPECT_TRUE(I32(b, setup + 8980) & 8);
  EXPECT_EQ(b[setup + 624], 2);
  EXPECT_EQ(I32(b, setup + 9540), 1);
  EXPECT_EQ(b.substr(setup + 344 + 16, 6), LText("Arial"));
  EXPECT_EQ(I32(b, setup + 344 + 8), 11);
  EXPECT_EQ(b.substr(setup + 81, 4), std::string("PDF\0", 4));  // the device name
  EXPECT_EQ(b[p2 + 10641], 1);                                    // reserved flag 2
  EXPECT_EQ(b[p2 + 10664 + 1025], 1);                             // picture 0 active
  EXPECT_EQ(I32(b, p2 + 10664 + 1028), 6);
  EXPECT_EQ(b[p2 + 10664 + 1032 + 1025], 0);
  EXPECT_EQ(I32(b, p2 + 10664 + 1032 + 1028), 4);
  EXPECT_EQ(I32(b, p2 + 10664 + 2 * 1032 + 1028), 5);

  // A save writes the layout names and the communication text.
  ConfigSave();
  b = Bytes();
  EXPECT_EQ(b.substr(59359, 14), LText("Com3:96,n,8,1"));
  EXPECT_EQ(b.substr(59400, 10), LText("Laser 3x8"));
  EXPECT_EQ(b.substr(59400 + 3 * 41, 15), LText("L\xF6pande 2x12 I"));
  EXPECT_EQ(b.substr(59810, 14), LText("arial.st\xE5" "ende"));
}

TEST_F(ConfigTest, AFileOfAnotherSizeIsReplaced) {
  ConfigLoad(AppSlot, true, "OLBRAX");
  for (std::size_t size : {317111u, 317113u}) {
    std::string b = Bytes();
    b.resize(size, 'x');
    WriteFileBytes(File(), b);
    ui.boxes.clear();
    ConfigLoad(AppSlot, true, "OLBRAX");
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Versionskonflikt av konfigurationsfilen \"" + File().string() + "\" Nollst\xE4ller. ");
    EXPECT_EQ(Bytes().size(), 317112u);
  }
}

TEST_F(ConfigTest, AMissingPrinterKeepsTheFile) {
  ConfigLoad(AppSlot, true, "OLBRAX");
  CurrentPrintEnvironment.setup.device.set("Kontorets laser");
  CurrentPrintEnvironment.footer.set("Klubbens egen fottext");
  GeneralSettings.print_names[0].set("min");
  ConfigSave();
  ConfigLoad(AppSlot, true, "OLBRAX");
  EXPECT_EQ(CurrentPrintEnvironment.footer.get(), "Klubbens egen fottext");
  EXPECT_EQ(GeneralSettings.print_names[0].get(), "min");
  EXPECT_EQ(MsgLine, "Skrivaren \"Kontorets laser\" finns inte, standardskrivaren anv\xE4nds.");
  EXPECT_EQ(platform::CurrentPrinters().Selected().name, "PDF");
  // Nothing was reset: the file still holds the club's settings.
  std::string b = Bytes();
  EXPECT_NE(b.find("Klubbens egen fottext"), std::string::npos);
}

TEST_F(ConfigTest, RememberedDirectoryIsEnteredAndStoredWithoutATrailingSlash) {
  ConfigLoad(AppSlot, true, "OLBRAX");
  TempDir elsewhere;
  GeneralSettings.remembered_directory[AppSlot].set(elsewhere.str() + "/");
  ConfigSave();
  ConfigLoad(AppSlot, true, "OLBRAX");
  EXPECT_EQ(GeneralSettings.DataDirectory.get(), std::filesystem::canonical(elsewhere.path()).string());
  EXPECT_EQ(std::filesystem::current_path(), std::filesystem::canonical(elsewhere.path()));

  // A directory that is gone: the message line says so and the directory stays as it was.
  GeneralSettings.remembered_directory[AppSlot].set("/nonexistent/olbrax");
  ConfigSave();
  ConfigLoad(AppSlot, true, "OLBRAX");
  EXPECT_EQ(MsgLine, "Kan ej byta till biblioteket \"/nonexistent/olbrax\" 003");
}

}  // namespace
}  // namespace olbrax::test

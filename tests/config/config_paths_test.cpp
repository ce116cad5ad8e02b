// A home folder whose name Windows-1252 cannot hold: the configuration lives in it as it is, and
// no folder is made under a changed name.
#include <cstdlib>
#include <filesystem>

#include "base/messages.h"
#include "printing/config/configuration.h"
#include "support/fixtures.h"

namespace olbrax::test {
namespace {

class ConfigPathsTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    home = parent.path() / "Γιάννης";
    std::filesystem::create_directories(home);
    setenv("HOME", home.c_str(), 1);
    unsetenv("XDG_CONFIG_HOME");
    unsetenv("XDG_DOCUMENTS_DIR");
    ResetConfigState();
    old_cwd = std::filesystem::current_path();
    std::filesystem::current_path(home);  // the folder entered when no directory is remembered
  }
  void TearDown() override {
    std::filesystem::current_path(old_cwd);
    ResetConfigState();
    UiTest::TearDown();
  }
  TempDir parent;
  std::filesystem::path home;
  std::filesystem::path old_cwd;
};

TEST_F(ConfigPathsTest, AHomeFolderOutsideTheCodePage) {
  ConfigLoad(AppSlot, true, "OLBRAX");
  // The configuration file is in the real home folder.
  EXPECT_EQ(std::filesystem::file_size(home / ".config/OlbraxW32/OlbraxW32.P32"), 317112u);
  // No default data directory under a changed name: nothing but the home folder was made, and
  // the message line names the documents folder.
  for (const auto& e : std::filesystem::directory_iterator(parent.path()))
    EXPECT_EQ(e.path(), home) << "made under a changed name: " << e.path();
  EXPECT_FALSE(std::filesystem::exists(home / "Documents"));
  EXPECT_EQ(DefaultDataDirectory(), "");
  // Nor is the folder entered taken as the data directory under a changed name.
  EXPECT_EQ(GeneralSettings.DataDirectory.get(), "");
  EXPECT_NE(MsgLine.find("Windows-1252"), Text::npos) << MsgLine;
  ConfigSave();
  EXPECT_EQ(std::filesystem::file_size(home / ".config/OlbraxW32/OlbraxW32.P32"), 317112u);
}

}  // namespace
}  // namespace olbrax::test

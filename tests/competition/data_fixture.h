// A data directory with a new archive (and, when asked, competitions) for the data-layer tests.
#pragma once

#include <filesystem>
#include <string>

#include "competition/archive.h"
#include "competition/records/competition_rec.h"
#include "printing/config/configuration.h"
#include "storage/disk_file.h"
#include "storage/isam.h"
#include "support/fixtures.h"

namespace olbrax::test {

class DataTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    setenv("HOME", home.str().c_str(), 1);
    unsetenv("XDG_CONFIG_HOME");
    unsetenv("XDG_DOCUMENTS_DIR");
    // ConfigLoad enters the remembered data directory, a temporary folder of some test: start
    // and end in a folder that stays.
    old_cwd = std::filesystem::temp_directory_path();
    std::filesystem::current_path(old_cwd);
    ResetArchiveState();
    ConfigLoad(AppSlot, true, "OLBRAX");
    GeneralSettings.DataDirectory.set(data.str());
    if (isam::IsamStarted()) isam::ExitIsam();
    isam::InitIsam(0, 200);
    disk::SetFlushEnabled(false);  // the tests are about the data, not the disk
    InitCompetitionKeys();
    ui.default_answer = platform::kYes;
    CreateArchiveFiles();
    ASSERT_TRUE(ArchiveOpen);
  }
  void TearDown() override {
    CloseAllCompetitionFiles();
    isam::ExitIsam();
    disk::SetFlushEnabled(true);
    ResetConfigState();
    std::filesystem::current_path(old_cwd);
    UiTest::TearDown();
  }
  std::int32_t AddCompetition(const std::string& name, const std::string& type = "", int stages = 1) {
    EXPECT_TRUE(BeginInputInfo(true));
    InfoRec.Tvl.set(name);
    InfoRec.Arr.set("OK Kompassen");
    InfoRec.Typ.set(type);
    InfoRec.StrNr = static_cast<std::int16_t>(stages);
    Text up = UpStr(type);
    bool relay = up.find("STAFETT") != Text::npos;
    InfoRec.Relay = relay;
    InfoRec.Days = !relay;
    if (up.find("MOTION") != Text::npos) MotionCompetition = true;
    AcceptInputInfo(true);
    EXPECT_TRUE(CompetitionOpen);
    return CurrentCompetition;
  }

  TempDir home;
  TempDir data;
  std::filesystem::path old_cwd;
};

}  // namespace olbrax::test

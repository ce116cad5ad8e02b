// Checks a data directory filled to the limits of one competition (900 clubs, 80 classes, 3200
// entrants) the way `olbrax-cli check DIR` does: every block, every record against its keys,
// and the counters against the entrants. Reports the time of the check and of the counters.
//
//   check_bench
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "competition/archive.h"
#include "competition/data_dir_check.h"
#include "competition/lifecycle.h"
#include "competition/records/class_rec.h"
#include "competition/records/club_recs.h"
#include "competition/records/competition_rec.h"
#include "competition/records/entrant_rec.h"
#include "competition/registers/definitions.h"
#include "competition/registers/entrants.h"
#include "competition/registers/shared_registers.h"
#include "platform/headless_ui.h"
#include "printing/config/configuration.h"
#include "storage/disk_file.h"

int main() {
  using namespace olbrax;
  auto base = std::filesystem::temp_directory_path() / "olbrax-check-bench";
  std::filesystem::remove_all(base);
  std::filesystem::create_directories(base / "data");
  setenv("HOME", base.c_str(), 1);
  platform::HeadlessUi ui;
  ui.default_answer = platform::kYes;
  platform::SetUi(&ui);
  ConfigLoad(AppSlot, true, "OLBRAX");
  GeneralSettings.DataDirectory.set((base / "data").string());
  GeneralSettings.remembered_directory[5].set((base / "data").string());
  std::vector<Text> args;
  InitCompetitionData(args);
  disk::SetFlushEnabled(false);  // filling the directory is not what is measured
  CreateArchiveFiles();
  BeginInputInfo(true);
  InfoRec.Tvl.set("Bench");
  InfoRec.Arr.set("Bench");
  InfoRec.StrNr = 3;
  AcceptInputInfo(true);

  std::int32_t ref = 0;
  for (int i = 0; i < 900; ++i) {
    ClearClub();
    ClubRec.ClubName.set("KLUBB " + std::to_string(i));
    PutClub(true, ref);
  }
  std::vector<std::int32_t> classes;
  for (int i = 0; i < 80; ++i) {
    ClearClassRec();
    KlassRec.Bet.set("K" + std::to_string(i));
    KlassRec.StrNr = 3;
    PutClass(true, ref);
    classes.push_back(ref);
  }
  for (int i = 0; i < 3200; ++i) {
    ClearEntrant();
    EntrantRec.ClassRef = classes[static_cast<std::size_t>(i % 80)];
    EntrantRec.ClubRef = 1 + i % 900;
    EntrantRec.StartNumber.set(ZeroStr(i + 1, 4));
    EntrantRec.RunTime[1][0] = i % 3 ? 3000 + i : 5999948;
    for (auto& s : EntrantRec.StageName) s.set("L\xD6PARE " + std::to_string(i));
    PutEntrant(true, ref);
  }
  CloseAllCompetitionFiles();
  ExitCompetitionData();

  std::string dir = (base / "data").string();
  auto t0 = std::chrono::steady_clock::now();
  std::vector<CheckLine> lines = CheckDataDirectory(dir);
  double all = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  t0 = std::chrono::steady_clock::now();
  std::string counters = CheckCompetitionCounters(dir, 1);
  double counted = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  int faults = 0;
  for (const CheckLine& l : lines) faults += l.ok ? 0 : 1;
  std::printf("check of a data directory with 900 clubs, 80 classes, 3200 entrants: %zu lines, %d faults\n",
              lines.size(), faults);
  std::printf("whole check %.3f s, of which the counters %.3f s\n", all, counted);
  platform::SetUi(nullptr);
  std::filesystem::remove_all(base);
  return faults == 0 && counters.empty() ? 0 : 1;
}

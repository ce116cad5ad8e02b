// The two long commands of "filvård" on a data directory: the backup copy ("säkerhetskopiera")
// and the index rebuild ("indexbygg"), each run several times on a fresh copy of the directory,
// with the time, the flushes and the bytes or records handled.
//
//   maintenance_bench [--memory] [--runs N] [DATADIR]
//
// DATADIR is a data directory with competition 1 (bench/maintenance/run-demo makes one from the
// demo competition with olbrax-cli); it is copied for every run and never changed. Without it a
// large directory is generated: 900 clubs (every tenth deleted again, so that the rest are
// renumbered), 99 districts, 500 route descriptions, competition 1 with 80 classes, 3 000
// entrants, 500 controls and 200 courses, and competitions 2 and 3 with 1 000 entrants each.
// --memory switches flushes off (the CPU cost).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "base/messages.h"
#include "competition/archive.h"
#include "competition/lifecycle.h"
#include "competition/maintenance/backup_copy.h"
#include "competition/maintenance/index_rebuild.h"
#include "competition/records/class_rec.h"
#include "competition/records/club_recs.h"
#include "competition/records/cmp_club_rec.h"
#include "competition/records/competition_rec.h"
#include "competition/records/definition_recs.h"
#include "competition/records/entrant_rec.h"
#include "competition/records/route_recs.h"
#include "competition/registers/definitions.h"
#include "competition/registers/entrants.h"
#include "competition/registers/shared_registers.h"
#include "platform/headless_ui.h"
#include "printing/config/configuration.h"
#include "storage/disk_file.h"

namespace fs = std::filesystem;
using namespace olbrax;

namespace {

void Generate() {
  std::vector<std::int32_t> clubs;
  for (int i = 1; i <= 99; ++i) {
    ClearDistrict();
    DistrRec.Dnr.set(ZeroStr(i, 2));
    DistrRec.Dname.set("Distrikt " + std::to_string(i));
    std::int32_t ref = 0;
    PutDistrict(true, ref);
  }
  for (int i = 1; i <= 900; ++i) {
    ClearClub();
    ClubRec.ClubName.set("KLUBB " + std::to_string(i));
    ClubRec.DistrictNumber.set(ZeroStr(1 + i % 99, 2));
    std::int32_t ref = 0;
    PutClub(true, ref);
    clubs.push_back(ref);
  }
  for (int i = 1; i <= 500; ++i) {
    ClearRoute24();
    Route24Rec.RouteKey.set("R" + std::to_string(i));
    Route24Rec.RouteText.set("till kontroll " + std::to_string(i));
    std::int32_t ref = 0;
    PutRoute(true, ref);
  }
  for (int comp = 1; comp <= 3; ++comp) {
    BeginInputInfo(true);
    InfoRec.Tvl.set("Bench " + std::to_string(comp));
    InfoRec.Arr.set("OK Bench");
    InfoRec.StrNr = 1;
    AcceptInputInfo(true);
    std::vector<std::int32_t> classes;
    for (int k = 0; k < 80; ++k) {
      ClearClassRec();
      KlassRec.Bet.set((k % 2 ? "D" : "H") + std::to_string(10 + k));
      KlassRec.StrNr = 1;
      std::int32_t ref = 0;
      PutClass(true, ref);
      classes.push_back(ref);
    }
    int entrants = comp == 1 ? 3000 : 1000;
    for (int i = 1; i <= entrants; ++i) {
      ClearEntrant();
      EntrantRec.ClassRef = classes[static_cast<std::size_t>(i % 80)];
      EntrantRec.ClubRef = clubs[static_cast<std::size_t>((i * 7) % 900) / 10 * 10 + 1 + i % 9];
      EntrantRec.EntryNumber = static_cast<std::int16_t>(i);
      EntrantRec.StartNumber.set(ZeroStr(i, 4));
      for (auto& s : EntrantRec.StageName) s.set("L\xF6pare " + std::to_string(i));
      std::int32_t ref = 0;
      PutEntrant(true, ref);
    }
    if (comp == 1) {
      CloseCompetition();
      OpenDefinitions();
      for (int i = 0; i < 500; ++i) {
        ClearControl();
        KontrRec.KodNr.set(std::to_string(100 + i));
        std::int32_t ref = 0;
        PutControl(true, ref);
      }
      for (int c = 0; c < 200; ++c) {
        ClearCourse();
        TrackRec.Bana.set("BANA" + std::to_string(c));
        TrackRec.Antal = 35;
        for (int k = 0; k < 35; ++k) {
          int code = (c * 7 + k * 13) % 500;
          TrackRec.KodNr[k].set(std::to_string(100 + code));
          ++CmpClubRec.ControlUse[code];
        }
        std::int32_t ref = 0;
        PutCourse(true, ref);
      }
      CloseDefinitions();
      OpenCompetition();
    }
  }
  // Every tenth club goes (no entrant uses those), so the rebuild renumbers the others.
  for (std::size_t i = 0; i < clubs.size(); i += 10) {
    TClubRec rec;
    GetRec(ClubFile, clubs[i], &rec);
    DeleteKey(ClubFile, 1, clubs[i], rec.ClubName.get());
    DeleteRec(ClubFile, clubs[i]);
  }
  CloseAllCompetitionFiles();
}

std::uintmax_t FolderBytes(const fs::path& dir) {
  std::uintmax_t n = 0;
  for (const auto& e : fs::directory_iterator(dir))
    if (e.is_regular_file()) n += e.file_size();
  return n;
}

void Report(const char* what, std::vector<double>& seconds, const std::vector<std::uint64_t>& flushes) {
  std::sort(seconds.begin(), seconds.end());
  std::printf("%-8s min %.3f s  median %.3f s  max %.3f s  flushes %llu\n", what, seconds.front(),
              seconds[seconds.size() / 2], seconds.back(), static_cast<unsigned long long>(flushes.front()));
}

}  // namespace

int main(int argc, char** argv) {
  bool durable = true;
  int runs = 5;
  std::string source;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--memory") durable = false;
    else if (a == "--runs" && i + 1 < argc) runs = std::max(1, std::atoi(argv[++i]));
    else source = fs::absolute(a).string();
  }
  fs::path base = fs::temp_directory_path() / "olbrax-maintenance-bench";
  fs::remove_all(base);
  fs::create_directories(base / "data");
  setenv("HOME", base.c_str(), 1);
  platform::HeadlessUi ui;
  ui.default_answer = platform::kYes;
  platform::SetUi(&ui);
  ConfigLoad(AppSlot, true, "OLBRAX");
  std::vector<Text> args;
  InitCompetitionData(args);
  fs::path original = base / "original";
  if (source.empty()) {
    fs::create_directories(original);
    GeneralSettings.DataDirectory.set(original.string());
    disk::SetFlushEnabled(false);
    CreateArchiveFiles();
    Generate();
  } else {
    fs::copy(source, original, fs::copy_options::recursive);
  }
  disk::SetFlushEnabled(durable);
  std::printf("%s, %s: %ju bytes in %s\n", source.empty() ? "generated archive" : source.c_str(),
              durable ? "durable" : "no flushes", FolderBytes(original), original.c_str());

  std::vector<double> backup_s, rebuild_s;
  std::vector<std::uint64_t> backup_f, rebuild_f;
  fs::path data = base / "data";
  GeneralSettings.DataDirectory.set(data.string());
  for (int run = 0; run < runs; ++run) {
    fs::remove_all(data);
    fs::copy(original, data, fs::copy_options::recursive);
    fs::remove_all(base / "kopia");
    OpenArchive();
    SelectFromMenu(1);
    if (!CompetitionOpen) {
      std::fprintf(stderr, "maintenance_bench: competition 1 cannot be opened\n");
      return 1;
    }
    auto f0 = disk::IoCounters().flushes;
    auto t0 = std::chrono::steady_clock::now();
    if (!BackupCopy(&ui, (base / "kopia").string())) {
      std::fprintf(stderr, "maintenance_bench: backup failed: %s\n", ui.boxes.empty() ? "" : ui.boxes.back().text.c_str());
      return 1;
    }
    backup_s.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
    backup_f.push_back(disk::IoCounters().flushes - f0);

    f0 = disk::IoCounters().flushes;
    t0 = std::chrono::steady_clock::now();
    if (!IndexRebuild(&ui)) {
      std::fprintf(stderr, "maintenance_bench: rebuild failed: %s\n", MsgLine.c_str());
      return 1;
    }
    rebuild_s.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
    rebuild_f.push_back(disk::IoCounters().flushes - f0);
    CloseAllCompetitionFiles();
  }
  std::printf("backup copied %ju bytes\n", FolderBytes(base / "kopia"));
  Report("backup", backup_s, backup_f);
  Report("rebuild", rebuild_s, rebuild_f);
  ExitCompetitionData();
  platform::SetUi(nullptr);
  fs::remove_all(base);
  return 0;
}

// Imports one exchange file with the register limits (900 clubs, 510 controls, 78 classes, 200
// courses of 35 controls) into a fresh data directory with the durable journal, and reports the
// time, the flushes and the time per flush.
//
//   import_bench [--memory]     (--memory: flushes switched off, the CPU cost)
#include <QGuiApplication>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "competition/archive.h"
#include "competition/lifecycle.h"
#include "competition/records/competition_rec.h"
#include "exchange/import.h"
#include "platform/headless_ui.h"
#include "printing/config/configuration.h"
#include "printing/engine/printers.h"
#include "printing/engine/recording_canvas.h"
#include "storage/disk_file.h"

int main(int argc, char** argv) {
  using namespace olbrax;
  bool durable = !(argc > 1 && std::string(argv[1]) == "--memory");
  auto base = std::filesystem::temp_directory_path() / "olbrax-import-bench";
  std::filesystem::remove_all(base);
  std::filesystem::create_directories(base / "data");
  setenv("HOME", base.c_str(), 1);
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QGuiApplication app(argc, argv);
  platform::HeadlessUi ui;
  ui.default_answer = platform::kYes;
  platform::SetUi(&ui);
  print::SetCanvasFactory([](const print::PrinterRequest&) -> std::unique_ptr<print::Canvas> {
    return std::make_unique<print::RecordingCanvas>(4961, 7016, 600);
  });

  ConfigLoad(AppSlot, true, "OLBRAX");
  GeneralSettings.DataDirectory.set((base / "data").string());
  GeneralSettings.remembered_directory[5].set((base / "data").string());
  std::vector<Text> args;
  InitCompetitionData(args);
  disk::SetFlushEnabled(durable);
  CreateArchiveFiles();
  BeginInputInfo(true);
  InfoRec.Tvl.set("Bench");
  InfoRec.Arr.set("Bench");
  AcceptInputInfo(true);

  std::string file = (base / "limits.txt").string();
  {
    std::ofstream out(file, std::ios::binary);
    out << "*Klubbar\r\n";
    for (int i = 0; i < 900; ++i) out << "KLUBB " << i << "," << i << ",01\r\n-\r\n-\r\n-\r\n-\r\n";
    out << "*Kontroller\r\n";
    for (int i = 0; i < 510; ++i) out << (100 + i) << ",STEN,,,,,,,,1,2\r\n";
    out << "*Banor\r\n";
    for (int c = 0; c < 200; ++c) {
      out << "BANA" << c << ",5000,100";
      for (int k = 0; k < 35; ++k) out << "," << (100 + (c * 7 + k * 13) % 510);
      out << "\r\n";
    }
    out << "*Klasser\r\n";
    for (int i = 0; i < 78; ++i) out << "K" << i << ",,0,0,1,0,05:00,09:00,0,4500,BANA" << i << ",60,1,1,1,1,0,0,3,\r\n";
  }
  auto flushes = disk::IoCounters().flushes;
  auto t0 = std::chrono::steady_clock::now();
  ImportFiles(&ui, {file});
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  auto n = disk::IoCounters().flushes - flushes;
  std::printf("%s import of 900 clubs, 510 controls, 200 courses of 35 controls, 78 classes\n",
              durable ? "durable" : "in memory (no flushes)");
  std::printf("time %.2f s, flushes %llu, time per flush %.1f us\n", seconds, static_cast<unsigned long long>(n),
              n ? seconds * 1e6 / static_cast<double>(n) : 0.0);
  CloseAllCompetitionFiles();
  ExitCompetitionData();
  print::SetCanvasFactory(nullptr);
  platform::SetUi(nullptr);
  return 0;
}

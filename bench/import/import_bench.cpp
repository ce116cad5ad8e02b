// Imports one exchange file with the register limits (900 clubs, 510 controls, 78 classes, 200
// courses of 35 controls) into a fresh data directory with the durable journal, twice in the same
// run: with the import's batches (one transaction per batch of records) and with the per-call
// protocol (every engine call a transaction of its own, as before batches). Reports for each the
// time, the flushes, the flushes per imported record and the time per flush.
//
//   import_bench [--memory]     (--memory: flushes switched off, the CPU cost)
#include <QGuiApplication>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "base/messages.h"
#include "competition/archive.h"
#include "competition/lifecycle.h"
#include "competition/records/competition_rec.h"
#include "competition/registers/register_change.h"
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
  struct LogCanvas : print::RecordingCanvas {
    LogCanvas() : RecordingCanvas(4961, 7016, 600) {}
    void DrawText(int x, int y, std::string_view text) override {
      RecordingCanvas::DrawText(x, y, text);
      if (getenv("IMPORT_BENCH_LOG")) std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data());
    }
  };
  print::SetCanvasFactory([](const print::PrinterRequest&) -> std::unique_ptr<print::Canvas> {
    return std::make_unique<LogCanvas>();
  });

  ConfigLoad(AppSlot, true, "OLBRAX");
  std::vector<Text> args;
  InitCompetitionData(args);
  disk::SetFlushEnabled(durable);

  std::string file = (base / "limits.txt").string();
  int records = 0;
  {
    std::ofstream out(file, std::ios::binary);
    out << "*Klubbar\r\n";
    for (int i = 0; i < 900; ++i, ++records) out << "KLUBB " << i << "," << i << ",01\r\n-\r\n-\r\n-\r\n-\r\n";
    out << "*Kontroller\r\n";
    for (int i = 0; i < 510; ++i, ++records) out << (100 + i) << ",STEN,,,,,,,,1,2\r\n";
    out << "*Banor\r\n";
    for (int c = 0; c < 200; ++c, ++records) {
      out << "BANA" << c << ",5000,100";
      for (int k = 0; k < 35; ++k) out << "," << (100 + (c * 7 + k * 13) % 510);
      out << "\r\n";
    }
    out << "*Klasser\r\n";
    for (int i = 0; i < 78; ++i, ++records)
      out << "K" << i << ",,0,0,1,0,05:00,09:00,0,4500,BANA" << i << ",60,1,1,1,1,0,0,3,\r\n";
  }
  std::printf("%s import of 900 clubs, 510 controls, 200 courses of 35 controls, 78 classes (%d records)\n",
              durable ? "durable" : "in memory (no flushes)", records);

  // The clubs alone, the section both protocols import to its end (the per-call protocol is a
  // measuring aid here: with it, the import stops at the section after the clubs).
  std::string clubs = (base / "clubs.txt").string();
  {
    std::ofstream out(clubs, std::ios::binary);
    out << "*Klubbar\r\n";
    for (int i = 0; i < 900; ++i) out << "KLUBB " << i << "," << i << ",01\r\n-\r\n-\r\n-\r\n-\r\n";
  }
  double batched_seconds = 0;
  struct Run {
    const char* name;
    std::string file;
    int records;
    bool per_call;
  };
  for (const Run& run : {Run{"all, batched", file, records, false}, Run{"clubs, batched", clubs, 900, false},
                         Run{"clubs, per call", clubs, 900, true}}) {
    bool per_call = run.per_call;
    auto dir = base / run.name;
    std::filesystem::create_directories(dir);
    GeneralSettings.DataDirectory.set(dir.string());
    CreateArchiveFiles();
    if (!ArchiveOpen) OpenArchive();
    BeginInputInfo(true);
    InfoRec.Tvl.set("Bench");
    InfoRec.Arr.set("Bench");
    AcceptInputInfo(true);
    SetPerCallProtocolForBenchmark(per_call);
    auto flushes = disk::IoCounters().flushes;
    auto t0 = std::chrono::steady_clock::now();
    ImportFiles(&ui, {Text(run.file)});
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    auto n = disk::IoCounters().flushes - flushes;
    SetPerCallProtocolForBenchmark(false);
    CloseAllCompetitionFiles();
    std::printf("%-16s time %6.2f s, flushes %6llu (%.3f per record, one per %.1f records), time per flush %.1f us%s\n",
                run.name, seconds, static_cast<unsigned long long>(n),
                static_cast<double>(n) / run.records, n ? static_cast<double>(run.records) / static_cast<double>(n) : 0.0,
                n ? seconds * 1e6 / static_cast<double>(n) : 0.0, LastImportRun().complete ? "" : (" (INCOMPLETE: " + MsgLine + ")").c_str());
    if (!per_call) batched_seconds = seconds;
    else if (batched_seconds > 0) std::printf("clubs: batched is %.1f times as fast\n", seconds / batched_seconds);
  }
  ExitCompetitionData();
  print::SetCanvasFactory(nullptr);
  platform::SetUi(nullptr);
  return 0;
}

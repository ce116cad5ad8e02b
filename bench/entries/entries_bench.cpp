// Imports 3 200 entrants in 80 classes (900 clubs) into a fresh competition, then a result for
// every entrant, then exports the entrants and the clubs, with the durable journal; reports the
// time, the flushes and the time per flush of each step.
//
//   entries_bench [--memory]     (--memory: flushes switched off, the CPU cost)
#include <QGuiApplication>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "competition/archive.h"
#include "competition/lifecycle.h"
#include "competition/records/competition_rec.h"
#include "exchange/export.h"
#include "exchange/import.h"
#include "platform/headless_ui.h"
#include "printing/config/configuration.h"
#include "printing/engine/printers.h"
#include "printing/engine/recording_canvas.h"
#include "storage/disk_file.h"
#include "../common/bench_competition.h"

namespace {

void Step(const char* what, const std::function<void()>& run) {
  auto flushes = olbrax::disk::IoCounters().flushes;
  auto t0 = std::chrono::steady_clock::now();
  run();
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  auto n = olbrax::disk::IoCounters().flushes - flushes;
  std::printf("%-44s time %7.2f s, flushes %6llu, time per flush %7.1f us\n", what, seconds,
              static_cast<unsigned long long>(n), n ? seconds * 1e6 / static_cast<double>(n) : 0.0);
}

}  // namespace

int main(int argc, char** argv) {
  using namespace olbrax;
  bool durable = !(argc > 1 && std::string(argv[1]) == "--memory");
  auto base = bench::PrepareFolder("olbrax-entries-bench");
  QGuiApplication app(argc, argv);
  platform::HeadlessUi ui;
  bench::CreateCompetition(ui, base, durable);

  auto write = [&](const char* name, const std::function<void(std::ofstream&)>& body) {
    std::string path = (base / name).string();
    std::ofstream out(path, std::ios::binary);
    body(out);
    return path;
  };
  std::string setup = write("setup.txt", [](std::ofstream& out) {
    out << "*Klubbar\r\n";
    for (int i = 0; i < 900; ++i) out << "KLUBB " << i << "," << i << ",01\r\n-\r\n-\r\n-\r\n-\r\n";
    out << "*Klasser\r\n";
    for (int i = 0; i < 80; ++i) out << "K" << i << ",,0,0,1,0,05:00,09:00,0,4500,A,60,1,1,1,1,0,0,3,\r\n";
  });
  std::string entries = write("namn.txt", [](std::ofstream& out) {
    out << "*Namn\r\n";
    for (int n = 1; n <= 3200; ++n)
      out << "KLUBB " << (n * 7) % 900 << ",K" << n % 80 << ",L\xC4PARE NUMMER " << n << ",,,," << n << "\r\n";
  });
  std::string results = write("resultat.txt", [](std::ofstream& out) {
    out << "*Resultat\r\n";
    // Finish clocks of 20 to 34 minutes after a first start at 0: inside the classes' time window.
    for (int n = 1; n <= 3200; ++n) {
      char clock[8];
      std::snprintf(clock, sizeof clock, "%03d%02d", 20 + n % 15, (n * 7) % 60);
      out << n << " " << clock << "\r\n";
    }
  });
  std::printf("%s, 900 clubs, 80 classes\n", durable ? "durable" : "in memory (no flushes)");
  Step("setup: 900 clubs and 80 classes", [&] { ImportFiles(&ui, {setup}); });
  Step("import of 3200 entrants", [&] { ImportFiles(&ui, {entries}); });
  Step("import of 3200 results", [&] { ImportFiles(&ui, {results}); });
  Step("export of 3200 entrants", [&] { ExportEntrantsTo(&ui, (base / "ut-namn.ol").string(), false, 0); });
  Step("export of 900 clubs", [&] { ExportClubsTo(&ui, (base / "ut-klubbar.ol").string(), false); });
  if (!LastImportRun().complete) std::printf("note: the last import was only partly done\n");
  CloseAllCompetitionFiles();
  ExitCompetitionData();
  print::SetCanvasFactory(nullptr);
  platform::SetUi(nullptr);
  return 0;
}

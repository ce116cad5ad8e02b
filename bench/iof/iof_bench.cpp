// Imports an IOF XML 3.0 EntryList of 3 200 persons in 80 classes (clubs and classes made by the
// import, every missing class answered Yes) into a fresh competition with the durable journal,
// then exports its ResultList, and reports the times and flushes.
//
//   iof_bench [--memory] [--classes-first]
//     --memory: flushes switched off, the cost without the disk's waits
//     --classes-first: a ClassList of the 80 classes is imported before the EntryList, as an
//       organiser does; the EntryList then asks no questions (each question ends a batch)
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
#include "exchange/iof/iof_export.h"
#include "exchange/iof/iof_import.h"
#include "platform/headless_ui.h"
#include "printing/config/configuration.h"
#include "printing/engine/printers.h"
#include "printing/engine/recording_canvas.h"
#include "storage/disk_file.h"
#include "../common/bench_competition.h"

int main(int argc, char** argv) {
  using namespace olbrax;
  bool durable = true, classes_first = false;
  for (int i = 1; i < argc; ++i) {
    if (std::string(argv[i]) == "--memory") durable = false;
    if (std::string(argv[i]) == "--classes-first") classes_first = true;
  }
  auto base = bench::PrepareFolder("olbrax-iof-bench");
  QGuiApplication app(argc, argv);
  platform::HeadlessUi ui;
  bench::CreateCompetition(ui, base, durable);

  std::string file = (base / "entries.xml").string();
  {
    std::ofstream out(file, std::ios::binary);
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<EntryList xmlns=\"http://www.orienteering.org/datastandard/3.0\" "
           "iofVersion=\"3.0\">\n<Event><Name>Bench</Name></Event>\n";
    for (int i = 0; i < 3200; ++i) {
      int cls = i % 80, club = i % 300;
      out << "<PersonEntry><Id>" << 100000 + i << "</Id><Person><Id>" << 500000 + i << "</Id><Name><Family>Svensson"
          << i << "</Family><Given>Åsa</Given></Name></Person><Organisation><Id>" << 1000 + club
          << "</Id><Name>Klubb " << club << "</Name></Organisation><ControlCard>" << 2000000 + i
          << "</ControlCard><Class><Id>" << cls + 1 << "</Id><Name>Klass " << cls + 1 << "</Name></Class></PersonEntry>\n";
    }
    out << "</EntryList>\n";
  }
  std::vector<Text> files = {file};
  if (classes_first) {
    std::string classes = (base / "classes.xml").string();
    std::ofstream out(classes, std::ios::binary);
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ClassList xmlns=\"http://www.orienteering.org/datastandard/3.0\" "
           "iofVersion=\"3.0\">\n";
    for (int c = 1; c <= 80; ++c) out << "<Class><Id>" << c << "</Id><Name>Klass " << c << "</Name></Class>\n";
    out << "</ClassList>\n";
    files.insert(files.begin(), classes);
  }
  auto flushes = disk::IoCounters().flushes;
  auto t0 = std::chrono::steady_clock::now();
  iof::ImportIofFiles(&ui, files);
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  auto n = disk::IoCounters().flushes - flushes;
  std::printf("%s import of %san EntryList of 3200 persons in 80 classes (%s)\n", durable ? "durable" : "in memory (no flushes)",
              classes_first ? "a ClassList and " : "",
              iof::LastIofImport().complete ? "complete" : "partly");
  std::printf("import: time %.2f s, flushes %llu, %.2f ms per entrant\n", seconds, static_cast<unsigned long long>(n),
              seconds * 1000.0 / 3200.0);
  t0 = std::chrono::steady_clock::now();
  int count = 0;
  bool ok = iof::ExportIof(iof::IofExport::kResultList, (base / "results.xml").string(), count);
  seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  std::printf("ResultList export: %s, %d entrants, time %.2f s, %lld bytes\n", ok ? "written" : "FAILED", count, seconds,
              static_cast<long long>(std::filesystem::file_size(base / "results.xml")));
  CloseAllCompetitionFiles();
  ExitCompetitionData();
  print::SetCanvasFactory(nullptr);
  platform::SetUi(nullptr);
  std::filesystem::remove_all(base);
  return ok ? 0 : 1;
}

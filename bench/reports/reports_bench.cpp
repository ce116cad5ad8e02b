// All reports of a competition at the register limits: 510 controls with descriptions in the
// demo's symbols, 200 courses of 35 controls, 78 classes of 5 stages, 72 route descriptions.
// Each report prints every entry, once into a PDF file (the whole cost a user waits for) and
// once onto the recording canvas (the reports' own work without the PDF writer).
//
//   reports_bench [DIR]     (DIR: where the PDF files stay; default a temporary folder)
#include <QGuiApplication>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "competition/archive.h"
#include "competition/definition_set.h"
#include "competition/lifecycle.h"
#include "competition/records/competition_rec.h"
#include "exchange/import.h"
#include "platform/headless_ui.h"
#include "printing/config/configuration.h"
#include "printing/engine/printers.h"
#include "printing/engine/recording_canvas.h"
#include "printing/reports/definition_reports.h"
#include "storage/disk_file.h"

namespace {

using namespace olbrax;

const char* const kFeatures[] = {"BRANT", "H\xD6JD", "S\xC4NKA", "GROP", "STEN", "STENAR", "MYR", "B\xC4""CK",
                                 "STIG", "V\xC4G", "HUS", "TORN", "GL\xC4NTA", "TR\xC4""D", "STUP", "RAVIN"};
const char* const kWhere[] = {"", "FOT", "TOPP", "KANT", "N", "S", "\xD6", "V", "H\xD6RN"};

std::string CourseName(int c) { return std::string(1, static_cast<char>('A' + c / 100)) + std::to_string(c % 100 + 100).substr(1); }

void WriteLimits(const std::string& file) {
  std::ofstream out(file, std::ios::binary);
  out << "*Kontroller\r\n";
  out << "T1,START,,,,,,,,1,1\r\nM1,SNITSV,SNITS,SNITS,150 m,SNITS,SNITS,SNITS,M\xC5L,2,2\r\n";
  for (int i = 0; i < 508; ++i)
    out << (100 + i) << ",," << (100 + i) << ",," << kFeatures[i % 16] << ",," << (i % 3 ? "" : "2.5") << ","
        << kWhere[i % 9] << ",," << i << "," << i << "\r\n";
  out << "*Banor\r\n";
  for (int c = 0; c < 200; ++c) {
    out << CourseName(c) << "," << (3000 + 10 * c) << ",100,T1";
    for (int k = 0; k < 33; ++k) out << "," << (100 + (c * 7 + k * 13) % 508);
    out << ",M1\r\n";
  }
  out << "*Klasser\r\n";
  for (int i = 0; i < 78; ++i) {
    out << "K" << i << ",,0,0,5,0,05:00,09:00";
    for (int s = 0; s < 5; ++s) out << "," << s * 10;                          // first starts
    for (int s = 0; s < 5; ++s) out << "," << 4000 + 100 * s;                   // lengths
    for (int s = 0; s < 5; ++s) out << "," << CourseName((i * 5 + s) % 200);   // courses
    out << ",60,60,60,60,60,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,0,0,0,0,0,3,3,3,3,3,3,,,,,\r\n";
  }
}

struct Run {
  const char* name;
  bool definitions;
  print::ReportResult (*report)(platform::Window, const print::Picker&);
};

print::ReportResult Routes(platform::Window w, const print::Picker& p) { return print::RouteDescriptionReport(w, p, 'p'); }
print::ReportResult RoutesData(platform::Window w, const print::Picker& p) {
  return print::RouteDescriptionReport(w, p, 'd');
}

}  // namespace

int main(int argc, char** argv) {
  auto base = std::filesystem::temp_directory_path() / "olbrax-reports-bench";
  std::filesystem::remove_all(base);
  std::filesystem::create_directories(base / "data");
  std::filesystem::path pdfs = argc > 1 ? std::filesystem::absolute(argv[1]) : base / "pdf";
  std::filesystem::create_directories(pdfs);
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
  std::vector<Text> args;
  InitCompetitionData(args);
  disk::SetFlushEnabled(false);
  CreateArchiveFiles();
  BeginInputInfo(true);
  InfoRec.Tvl.set("Gr\xE4nsloppet");
  InfoRec.Arr.set("Bench");
  InfoRec.StrNr = 5;
  AcceptInputInfo(true);
  const std::string limits = (base / "limits.txt").string();
  WriteLimits(limits);
  ImportFiles(&ui, {std::string(OLBRAX_DEMO_DIR) + "/rutb24.txt", limits});
  print::SetCanvasFactory(nullptr);

  const Run runs[] = {
      {"controls", true, print::ControlPointsReport},
      {"class-descriptions", true, print::ClassDescriptionsReport},
      {"courses", true, print::CourseDefinitionsReport},
      {"code-course-class", true, print::CodeCourseClassReport},
      {"routes-summary", false, Routes},
      {"routes-data", false, RoutesData},
      {"class-list", false, print::ClassListReport},
  };
  auto all = [](platform::Window, print::PickKind kind, std::string_view, bool) { return print::AllEntries(kind); };
  // Wall time and processor time: the machine may be shared, the processor time is the report's.
  std::printf("%-20s %8s %8s %6s %10s %10s %10s\n", "report", "pdf s", "pdf cpu", "pages", "pdf bytes", "rec s",
              "rec cpu");
  for (const Run& run : runs) {
    double seconds[2] = {0, 0}, cpu[2] = {0, 0};
    int pages = 0;
    const std::string file = (pdfs / (std::string(run.name) + ".pdf")).string();
    for (int pass = 0; pass < 2; ++pass) {
      if (pass == 0) {
        print::SetCanvasFactory([&](const print::PrinterRequest& r) { return print::OpenPdfFile(file, r); });
      } else {
        print::SetCanvasFactory([](const print::PrinterRequest&) -> std::unique_ptr<print::Canvas> {
          return std::make_unique<print::RecordingCanvas>(4961, 7016, 600);
        });
      }
      ui.numbers = {1};  // the stage of the class descriptions
      auto t0 = std::chrono::steady_clock::now();
      std::clock_t c0 = std::clock();
      if (run.definitions) WithDefinitionSet([&] { run.report(&ui, all); });
      else run.report(&ui, all);
      seconds[pass] = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
      cpu[pass] = static_cast<double>(std::clock() - c0) / CLOCKS_PER_SEC;
      // The sheet count of the progress window after the last page break.
      pages = 1;
      for (const std::string& line : ui.report_lines)
        if (line.rfind("sheets:", 0) == 0) pages = std::atoi(line.c_str() + 7);
      ui.report_lines.clear();
    }
    std::printf("%-20s %8.2f %8.2f %6d %10lld %10.2f %10.2f\n", run.name, seconds[0], cpu[0], pages,
                static_cast<long long>(std::filesystem::file_size(file)), seconds[1], cpu[1]);
  }
  print::SetCanvasFactory(nullptr);
  CloseAllCompetitionFiles();
  ExitCompetitionData();
  platform::SetUi(nullptr);
  return 0;
}

// olbrax-cli testpage [--env N] [--columns N] [--out FILE.pdf]: a printer test page made through the
// print engine: a heading, the three fonts, a table in columns, a page break with its footer and
// the continued header, and the end-of-report pictures. Without --out it goes to the printer of
// the print environment.
#include <QGuiApplication>
#include <cstdio>
#include <filesystem>
#include <cstdlib>
#include <memory>

#include "base/text.h"
#include "cli/cli.h"
#include "cli/gui_app.h"
#include "printing/config/configuration.h"
#include "printing/engine/print_engine.h"
#include "printing/engine/job_from_config.h"
#include "printing/engine/printers.h"

namespace olbrax::cli {
namespace {

using namespace olbrax::print;

void PrintTestPage() {
  PrintHeading("Testsida f\xF6r utskrifter");
  for (char kind : {'B', 'N', 'S'}) {
    PushFont(kind);
    NeedLines("testsida", 1);
    Text name = kind == 'B' ? "stor" : kind == 'N' ? "mellan" : "liten";
    PrintLine("Teckensnitt " + name + ": \xC5\xC4\xD6 \xE5\xE4\xF6 0123456789 abcdefghijklmnopqrstuvwxyz");
    PopFont();
  }
  NeedLines("testsida", 1);
  PrintLine("");
  PrintRule();
  // A table that fills every column of the first page and goes on for a while on the second.
  int rows_on_page2 = 0;
  for (int row = 1; rows_on_page2 < 25 && row < 5000 && !PrAborted(); ++row) {
    if (PageNumber > 1) ++rows_on_page2;
    NeedLines("testsida", 1);
    PrintText(PadLeft(std::to_string(row), ' ', 4));
    TabToChar(6);
    PrintText("Klass H" + std::to_string(10 + row % 12 * 5));
    TabToChar(20);
    PrintLine(PadLeft(std::to_string(row * 37 % 1000), ' ', 5) + " m");
    ShowProgress(row, 0);
  }
}

int RunTestPage(Context& ctx) {
  std::optional<std::string> out = TakeOption(ctx.args, "--out");
  std::optional<std::string> columns = TakeOption(ctx.args, "--columns");
  std::optional<std::string> env = TakeOption(ctx.args, "--env");
  if (!ctx.args.empty()) return Usage("testpage");
  // Taken before the configuration is loaded, which enters the remembered data directory.
  const std::string path = out ? std::filesystem::absolute(*out).string() : std::string();
  // The print environment: the current one, or number N of the configuration file.
  ConfigLoad(AppSlot, true, "OLBRAX");
  if (env) {
    int n = std::atoi(env->c_str());
    if (n < 1 || n > 10) {
      std::fprintf(stderr, "olbrax-cli testpage: --env must be 1..10\n");
      return 2;
    }
    if (OpenConfigFile()) {
      ReadPrintEnvironment(n);
      CloseConfigFile();
    }
  }
  JobSetup setup = JobFromEnvironment(CurrentPrintEnvironment);
  if (columns) {
    setup.columns = std::atoi(columns->c_str());
    if (setup.columns < 1 || setup.columns > 9) {
      std::fprintf(stderr, "olbrax-cli testpage: columns must be 1..9\n");
      return 2;
    }
  }
  // Three end pictures, so that their placement shows.
  for (int i = 0; i < 3; ++i)
    if (!setup.pictures[static_cast<std::size_t>(i)].active) setup.pictures[static_cast<std::size_t>(i)] = {true, "", 6};

  auto app = EnsureGuiApplication();

  if (out) SetCanvasFactory([path](const PrinterRequest& r) { return OpenPdfFile(path, r); });
  bool ok = printerinit("testsida", setup, nullptr);
  if (ok) {
    PrintTestPage();
    PrintPictures();
    printerexit(0, 0);
  }
  SetCanvasFactory(nullptr);
  ConfigSave();
  if (!ok) return 1;
  if (out) std::printf("%s\n", path.c_str());
  else Out("utskrivet p\xE5 " + (setup.device.empty() ? DefaultPrinterName() : setup.device));
  return 0;
}

Registrar reg({"testpage", "[--env N] [--columns N] [--out FILE.pdf]",
               "print a test page of the print engine (without --out on the environment's printer)",
               RunTestPage});

}  // namespace
}  // namespace olbrax::cli

// olbrax-cli import FILE...: imports exchange files into the data directory, in the order of
// their sections as the file dialog orders them; the import log goes to the default printer
// (the "PDF" printer writes it to the text folder, or $OLBRAX_PDF_DIR).
#include <QGuiApplication>
#include <climits>
#include <cstdlib>

#include "base/messages.h"
#include "cli/cli.h"
#include "cli/data_session.h"
#include "cli/gui_app.h"
#include "competition/archive.h"
#include "exchange/exchange_file.h"
#include "exchange/import.h"

namespace olbrax::cli {
namespace {

int RunImport(Context& ctx) {
  if (ctx.args.empty()) return Usage("import");
  auto app = EnsureGuiApplication();
  std::vector<Text> paths;
  for (const std::string& a : ctx.args) {
    char real[PATH_MAX];
    if (!::realpath(a.c_str(), real)) {
      Err("olbrax-cli import: no such file: " + WinFromUtf8(a));
      return 2;
    }
    paths.push_back(WinFromUtf8(real));
  }
  DataSession data(ctx);
  if (!data.ok()) return 1;
  if (!ImportFiles(nullptr, paths)) {
    ReportMsgLine();
    return 1;
  }
  ReportMsgLine();
  return ArchiveOpen ? 0 : 1;
}

Registrar reg({"import", "FILE...", "import exchange files into the data directory", RunImport});

}  // namespace
}  // namespace olbrax::cli

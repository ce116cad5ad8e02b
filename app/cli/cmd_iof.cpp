// olbrax-cli import-iof FILE...: imports IOF XML 3.0 messages (OrganisationList, ClassList,
// CourseData, EntryList) into the current competition; the import log goes to stdout.
// olbrax-cli export-iof startlist|results|entries|courses|classes|clubs --out FILE.xml: writes
// the current competition as an IOF XML 3.0 message.
#include <QGuiApplication>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "base/messages.h"
#include "cli/cli.h"
#include "cli/data_session.h"
#include "cli/gui_app.h"
#include "competition/archive.h"
#include "exchange/iof/iof_export.h"
#include "exchange/iof/iof_import.h"
#include "printing/engine/log_printer.h"
#include "printing/engine/printers.h"
#include "printing/engine/recording_canvas.h"

namespace olbrax::cli {
namespace {

// The import log on stdout, one line per line the log printer draws.
class StdoutLog : public print::RecordingCanvas {
 public:
  StdoutLog() : RecordingCanvas(4961, 7016, 600) {}
  void DrawText(int x, int y, std::string_view text) override {
    RecordingCanvas::DrawText(x, y, text);
    std::printf("%s\n", Utf8FromWin(text).c_str());
  }
};

int RunImportIof(Context& ctx) {
  if (ctx.args.empty()) return Usage("import-iof");
  std::vector<Text> paths;
  for (const std::string& a : ctx.args) {
    if (a.rfind("--", 0) == 0) return Usage("import-iof");
    char real[PATH_MAX];
    if (!::realpath(a.c_str(), real)) {
      Err("olbrax-cli import-iof: no such file: " + WinFromUtf8(a));
      return 2;
    }
    std::optional<Text> checked = WinPathFromUtf8(real);
    if (!checked) {
      std::fprintf(stderr, "olbrax-cli import-iof: %s\n", UnusablePathMessage(real).c_str());
      return 1;
    }
    paths.push_back(*checked);
  }
  auto app = EnsureGuiApplication();
  print::SetCanvasFactory([](const print::PrinterRequest&) -> std::unique_ptr<print::Canvas> {
    return std::make_unique<StdoutLog>();
  });
  DataSession data(ctx);
  if (!data.ok()) {
    print::SetCanvasFactory(nullptr);
    return 1;
  }
  iof::ImportIofFiles(static_cast<platform::Window>(ctx.ui), paths);
  ReportMsgLine();
  if (print::LogOpen()) print::LogEnd();
  print::SetCanvasFactory(nullptr);
  const iof::IofImportStatus& status = iof::LastIofImport();
  if (status.no_competition)
    Err("olbrax-cli import-iof: ingen t\xE4vling vald - v\xE4lj en med 'olbrax-cli select N' eller f\xF6r en k\xF6rning med "
        "'--competition N'");
  if (!status.complete) Err("olbrax-cli import-iof: importen gjordes bara delvis (se loggen)");
  return ArchiveOpen && status.complete ? 0 : 1;
}

int RunExportIof(Context& ctx) {
  std::optional<std::string> out = TakeOption(ctx.args, "--out");
  if (ctx.args.size() != 1 || !out) return Usage("export-iof");
  std::optional<iof::IofExport> kind = iof::IofExportKind(ctx.args[0]);
  if (!kind) return Usage("export-iof");
  std::string absolute = std::filesystem::absolute(*out).string();
  std::optional<Text> path = WinPathFromUtf8(absolute);
  if (!path) {
    std::fprintf(stderr, "olbrax-cli export-iof: %s\n", UnusablePathMessage(absolute).c_str());
    return 1;
  }
  auto app = EnsureGuiApplication();
  DataSession data(ctx);
  if (!data.ok()) return 1;
  if (*kind != iof::IofExport::kOrganisationList && !RequireCompetition("export-iof")) return 1;
  int count = 0;
  bool ok = iof::ExportIof(*kind, *path, count);
  if (!ok) {
    Err("olbrax-cli export-iof: " + MsgLine);
    MsgLine.clear();
    return 1;
  }
  Out(Text(iof::IofExportRoot(*kind)) + ": " + std::to_string(count) + " poster till " + *path);
  return 0;
}

Registrar import_reg({"import-iof", "FILE...", "import IOF XML 3.0 messages; the import log goes to stdout", RunImportIof});
Registrar export_reg({"export-iof", "startlist|results|entries|courses|classes|clubs --out FILE.xml",
                      "export the current competition as an IOF XML 3.0 message", RunExportIof});

}  // namespace
}  // namespace olbrax::cli

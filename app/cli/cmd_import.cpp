// olbrax-cli import FILE...: imports exchange files into the data directory, in the order of
// their sections as the file dialog orders them; the import log goes to the default printer
// (the "PDF" printer writes it to the text folder, or $OLBRAX_PDF_DIR). With --results-log the
// results log is kept while result sections are read, whatever the competition asks for (its
// stored setting is left as it is), in one PDF file.
#include <QGuiApplication>
#include <climits>
#include <cstdio>
#include <filesystem>
#include <cstdlib>
#include <optional>

#include "base/messages.h"
#include "cli/cli.h"
#include "cli/data_session.h"
#include "cli/gui_app.h"
#include "competition/archive.h"
#include "exchange/exchange_file.h"
#include "exchange/import.h"
#include "printing/engine/log_printer.h"
#include "printing/engine/printers.h"
#include "printing/engine/recording_canvas.h"
#include "printing/results_log.h"

namespace olbrax::cli {
namespace {

// The import log on stdout: every line the log printer draws is printed in UTF-8; with a PDF
// canvas behind it the pages are also drawn there.
class StdoutLogCanvas : public print::RecordingCanvas {
 public:
  // `one_file`: every page of the job goes into the one PDF file, as the PDF printer does.
  explicit StdoutLogCanvas(std::unique_ptr<print::Canvas> pdf, bool one_file = false)
      : RecordingCanvas(4961, 7016, 600), pdf_(std::move(pdf)), one_file_(one_file && pdf_) {}
  bool WritesFile() const override { return one_file_; }
  void NewPage() override {
    RecordingCanvas::NewPage();
    if (pdf_) pdf_->NewPage();
  }
  bool Begin(std::string_view title) override { return RecordingCanvas::Begin(title) && (!pdf_ || pdf_->Begin(title)); }
  void End() override {
    if (pdf_) pdf_->End();
  }
  void SetFont(const print::CanvasFont& font) override {
    RecordingCanvas::SetFont(font);
    if (pdf_) pdf_->SetFont(font);
  }
  int PageHeight() const override { return pdf_ ? pdf_->PageHeight() : RecordingCanvas::PageHeight(); }
  int TextWidth(std::string_view t) override { return pdf_ ? pdf_->TextWidth(t) : RecordingCanvas::TextWidth(t); }
  int TextHeight(std::string_view t) override { return pdf_ ? pdf_->TextHeight(t) : RecordingCanvas::TextHeight(t); }
  void DrawText(int x, int y, std::string_view text) override {
    std::printf("%s\n", Utf8FromWin(text).c_str());
    if (pdf_) pdf_->DrawText(x, y, text);
  }

 private:
  std::unique_ptr<print::Canvas> pdf_;
  bool one_file_ = false;
};

int RunImport(Context& ctx) {
  std::optional<std::string> log = TakeOption(ctx.args, "--log");
  std::optional<std::string> results_log = TakeOption(ctx.args, "--results-log");
  if (ctx.args.empty()) return Usage("import");
  // Paths are taken before the configuration is loaded, which enters the remembered directory.
  if (log) log = std::filesystem::absolute(*log).string();
  if (results_log) results_log = std::filesystem::absolute(*results_log).string();
  auto app = EnsureGuiApplication();
  // Every page of the log is a job of its own: page 1 goes to FILE.pdf, page n to FILE-n.pdf.
  int jobs = 0;
  print::SetCanvasFactory([&](const print::PrinterRequest& r) -> std::unique_ptr<print::Canvas> {
    if (results_log && r.title == "OlBraxW:resultatlogg")
      return std::make_unique<StdoutLogCanvas>(print::OpenPdfFile(*results_log, r), true);
    std::unique_ptr<print::Canvas> pdf;
    if (log) {
      std::string path = *log;
      if (++jobs > 1) {
        auto dot = path.rfind('.');
        path = (dot == std::string::npos ? path : path.substr(0, dot)) + "-" + std::to_string(jobs) +
               (dot == std::string::npos ? "" : path.substr(dot));
      }
      pdf = print::OpenPdfFile(path, r);
    }
    return std::make_unique<StdoutLogCanvas>(std::move(pdf));
  });
  std::vector<Text> paths;
  for (const std::string& a : ctx.args) {
    char real[PATH_MAX];
    if (!::realpath(a.c_str(), real)) {
      Err("olbrax-cli import: no such file: " + WinFromUtf8(a));
      return 2;
    }
    std::optional<Text> checked = WinPathFromUtf8(real);
    if (!checked) {
      std::fprintf(stderr, "olbrax-cli import: %s\n", UnusablePathMessage(real).c_str());
      return 1;
    }
    paths.push_back(*checked);
  }
  DataSession data(ctx);
  if (!data.ok()) return 1;
  // The progress window needs an owner; without a window the headless interface stands for it,
  // so that progress lines are printed and Ctrl-C cancels.
  SetResultsLogForRun(results_log.has_value());
  bool ok = ImportFiles(static_cast<platform::Window>(ctx.ui), paths);
  SetResultsLogForRun(false);
  ReportMsgLine();
  // The log job ends with the run; should anything have left it open, it is ended here, while the
  // application that draws its pages still exists.
  if (print::LogOpen()) print::LogEnd();
  print::SetCanvasFactory(nullptr);
  if (LastImportRun().no_competition)
    Err("olbrax-cli import: ingen t\xE4vling vald - v\xE4lj en med 'olbrax-cli select N' eller f\xF6r en k\xF6rning med "
        "'--competition N'");
  if (ok && !LastImportRun().complete) Err("olbrax-cli import: importen gjordes bara delvis (se loggen)");
  return ok && ArchiveOpen && LastImportRun().complete ? 0 : 1;
}

Registrar reg({"import", "FILE... [--log FILE.pdf] [--results-log FILE.pdf]",
               "import exchange files; the import log (and the results log) go to stdout", RunImport});

}  // namespace
}  // namespace olbrax::cli

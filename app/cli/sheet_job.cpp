#include "cli/sheet_job.h"

#include <QGuiApplication>
#include <charconv>
#include <cstdio>
#include <filesystem>

#include "cli/gui_app.h"
#include "printing/config/configuration.h"
#include "printing/engine/printers.h"

namespace olbrax::cli {

bool SheetJobOptions::Take(Context& ctx, const char* command) {
  out = TakeOption(ctx.args, "--out");
  if (out) out = std::filesystem::absolute(*out).string();
  if (std::optional<std::string> e = TakeOption(ctx.args, "--env")) {
    auto [end, ec] = std::from_chars(e->data(), e->data() + e->size(), env);
    if (ec != std::errc() || end != e->data() + e->size() || env < 1 || env > 10) {
      std::fprintf(stderr, "olbrax-cli %s: --env must be 1..10\n", command);
      return false;
    }
  }
  return true;
}

SheetJobRun::SheetJobRun(const SheetJobOptions& options) {
  app_ = EnsureGuiApplication();
  if (options.env != 0 && options.env != GeneralSettings.label_env) {
    own_ = std::make_unique<TLabelEnvironment>(CurrentLabelEnvironment);
    if (!OpenConfigFile()) {
      Err("Kan ej l\xE4sa etikettinst\xE4llning " + std::to_string(options.env) + " ur " + ConfigFilePath());
      return;
    }
    ReadLabelEnvironment(options.env);
    CloseConfigFile();
  }
  if (options.out) {
    std::string path = *options.out;
    print::SetCanvasFactory([path](const print::PrinterRequest& r) { return print::OpenPdfFile(path, r); });
    pdf_ = true;
  }
  ok_ = true;
}

SheetJobRun::~SheetJobRun() {
  if (pdf_) print::SetCanvasFactory(nullptr);
  if (own_) CurrentLabelEnvironment = *own_;
}

std::vector<Text> SplitKeys(const std::string& list) {
  std::vector<Text> keys;
  std::size_t start = 0;
  while (start <= list.size()) {
    std::size_t end = list.find(',', start);
    if (end == std::string::npos) end = list.size();
    keys.push_back(WinFromUtf8(list.substr(start, end - start)));
    start = end + 1;
  }
  return keys;
}

}  // namespace olbrax::cli

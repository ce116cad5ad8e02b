// olbrax-cli report KIND [--only NAME,...] [--stage N] [--out FILE.pdf]: the reports of the menu
// "rapporter" without windows. Every entry of the register is printed unless --only names some;
// --stage answers the stage question of the class descriptions. Without --out the report goes to
// the printer of the current print environment, as from the menus.
#include <QGuiApplication>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "base/messages.h"
#include "cli/cli.h"
#include "cli/data_session.h"
#include "cli/gui_app.h"
#include "competition/archive.h"
#include "competition/archive_state.h"
#include "competition/definition_set.h"
#include "competition/records/competition_rec.h"
#include "printing/config/configuration.h"
#include "printing/engine/printers.h"
#include "printing/reports/definition_reports.h"

namespace olbrax::cli {
namespace {

using namespace olbrax::print;

struct Kind {
  const char* name;
  bool definitions;  // runs with the definition set open
  ReportResult (*run)(platform::Window, const Picker&);
};

ReportResult RoutesData(platform::Window w, const Picker& p) { return RouteDescriptionReport(w, p, 'd'); }
ReportResult RoutesSummary(platform::Window w, const Picker& p) { return RouteDescriptionReport(w, p, 'p'); }
ReportResult RoutesForm(platform::Window w, const Picker& p) { return RouteDescriptionReport(w, p, 'b'); }

const Kind kKinds[] = {
    {"controls", true, ControlPointsReport},
    {"class-descriptions", true, ClassDescriptionsReport},
    {"courses", true, CourseDefinitionsReport},
    {"code-course-class", true, CodeCourseClassReport},
    {"routes-data", false, RoutesData},
    {"routes-summary", false, RoutesSummary},
    {"routes-form", false, RoutesForm},
    {"class-list", false, ClassListReport},
};

std::vector<Text> SplitNames(const std::string& list) {
  std::vector<Text> names;
  std::size_t start = 0;
  while (start <= list.size()) {
    std::size_t comma = list.find(',', start);
    if (comma == std::string::npos) comma = list.size();
    if (comma > start) names.push_back(WinFromUtf8(list.substr(start, comma - start)));
    start = comma + 1;
  }
  return names;
}

int RunReport(Context& ctx) {
  std::optional<std::string> out = TakeOption(ctx.args, "--out");
  std::optional<std::string> only = TakeOption(ctx.args, "--only");
  std::optional<std::string> stage = TakeOption(ctx.args, "--stage");
  if (ctx.args.size() != 1) return Usage("report");
  const Kind* kind = nullptr;
  for (const Kind& k : kKinds)
    if (ctx.args[0] == k.name) kind = &k;
  if (!kind) {
    std::string names;
    for (const Kind& k : kKinds) names += std::string(names.empty() ? "" : ", ") + k.name;
    std::fprintf(stderr, "olbrax-cli report: unknown report '%s' (one of %s)\n", ctx.args[0].c_str(), names.c_str());
    return 2;
  }
  if (stage) {
    char* end = nullptr;
    long n = std::strtol(stage->c_str(), &end, 10);
    if (stage->empty() || *end != '\0' || n < 1 || n > 5) {
      std::fprintf(stderr, "olbrax-cli report: --stage must be 1..5\n");
      return 2;
    }
    ctx.ui->numbers.push_back(static_cast<int>(n));
  }
  std::vector<Text> names;
  if (only) {
    names = SplitNames(*only);
    if (names.empty()) return Usage("report");
  }
  // Taken before the configuration is loaded, which enters the remembered data directory.
  const std::string path = out ? std::filesystem::absolute(*out).string() : std::string();

  DataSession data(ctx);
  if (!data.ok()) return 1;
  if (!ArchiveOpen || CurrentCompetition == 0 || !CompetitionOpen) {
    ReportMsgLine();
    Err("olbrax-cli report: ingen t\xE4vling vald (olbrax-cli select N)");
    return 1;
  }
  auto app = EnsureGuiApplication();
  if (out) SetCanvasFactory([path](const PrinterRequest& r) { return OpenPdfFile(path, r); });

  std::vector<Text> missing;
  Picker pick = [&](platform::Window, PickKind what, std::string_view, bool) {
    std::vector<std::int32_t> refs = only ? NamedEntries(what, names, missing) : AllEntries(what);
    // A name that is not there stops the report before anything is printed.
    if (!missing.empty()) refs.clear();
    return refs;
  };
  const platform::Window owner = static_cast<platform::Window>(ctx.ui);
  ReportResult result = ReportResult::kNothing;
  if (kind->definitions) WithDefinitionSet([&] { result = kind->run(owner, pick); });
  else result = kind->run(owner, pick);
  SetCanvasFactory(nullptr);

  const Text device = CurrentPrintEnvironment.setup.device.get();
  switch (result) {
    case ReportResult::kPrinted:
      if (out) std::printf("%s\n", path.c_str());
      else Out("utskrivet p\xE5 " + (device.empty() ? DefaultPrinterName() : device));
      return 0;
    case ReportResult::kAborted:
      Err("olbrax-cli report: utskriften avbruten");
      return 1;
    case ReportResult::kFailed:
      // The failure itself was shown as the program shows it.
      Err("olbrax-cli report: inget skrevs ut");
      return 1;
    case ReportResult::kNoPrinter:
      Err("olbrax-cli report: kan ej skriva ut p\xE5 " + (out ? WinFromUtf8(path) : device));
      return 1;
    case ReportResult::kNothing: break;
  }
  for (const Text& name : missing) Err("olbrax-cli report: finns inte: " + name);
  if (!missing.empty()) return 1;
  if (!ctx.ui->number_prompts.empty() && !stage) {
    Err("olbrax-cli report: t\xE4vlingen har " + IntStr(InfoRec.StrNr, 0) + " etapper; ange --stage 1.." +
        IntStr(InfoRec.StrNr, 0));
    return 1;
  }
  // The message line says why (files not open, a stage that does not exist, the short form of
  // the route descriptions); otherwise the register was empty.
  ReportMsgLine();
  Err("olbrax-cli report: inget skrevs ut");
  return 1;
}

Registrar reg({"report", "KIND [--only NAME,...] [--stage N] [--out FILE.pdf]",
               "print a report, all entries or those named; without --out on the environment's printer. KIND: "
               "controls, class-descriptions, courses, code-course-class, routes-data, routes-summary, "
               "routes-form, class-list",
               RunReport});

}  // namespace
}  // namespace olbrax::cli

#include "shell/report_commands.h"

#include <memory>

#include "competition/definition_set.h"
#include "shell/course_image_window.h"
#include "shell/reglist/pick_lists.h"

namespace olbrax {

using print::PickKind;
using print::ReportResult;

print::Picker PickListPicker() {
  return [](platform::Window owner, PickKind kind, std::string_view title, bool multi) {
    std::unique_ptr<TEPick> pick;
    switch (kind) {
      case PickKind::kClasses: pick = std::make_unique<TKlassPick>(owner, title, multi, TKlassPick::kAll); break;
      case PickKind::kCourses: pick = std::make_unique<TBanPick>(owner, title, multi); break;
      case PickKind::kControls: pick = std::make_unique<TKontrPick>(owner, title, multi); break;
      case PickKind::kRoutes: pick = std::make_unique<TRutbPick>(owner, title, multi); break;
    }
    std::vector<std::int32_t> refs;
    if (pick && pick->OkExec())
      for (const TEPick::Item& item : pick->items()) refs.push_back(item.rec);
    return refs;
  };
}

const std::vector<ReportCommand>& ReportCommands() {
  using print::RouteDescriptionReport;
  static const std::vector<ReportCommand> commands = {
      {"def_kontroller", true, print::ControlPointsReport},
      {"def_banor_klass", true, print::ClassDescriptionsReport},
      {"def_kodbanaklass", true, print::CodeCourseClassReport},
      {"def_banor", true, print::CourseDefinitionsReport},
      // The route descriptions are a register of the data directory, not of the competition.
      {"rutb_sammanstallning", false,
       [](platform::Window w, const print::Picker& p) { return RouteDescriptionReport(w, p, 'p'); }},
      {"rutb_data_sokord", false,
       [](platform::Window w, const print::Picker& p) { return RouteDescriptionReport(w, p, 'd'); }},
      {"rutb_blankett", false,
       [](platform::Window w, const print::Picker& p) { return RouteDescriptionReport(w, p, 'b'); }},
      {"arranger_klasslista", false, print::ClassListReport},
  };
  return commands;
}

ReportResult RunReportCommand(platform::Window owner, const ReportCommand& command) {
  const print::Picker pick = PickListPicker();
  ReportResult result = ReportResult::kNothing;
  if (command.definitions) WithDefinitionSet([&] { result = command.run(owner, pick); });
  else result = command.run(owner, pick);
  return result;
}

void CourseImageCommand(QWidget* owner) {
  WithDefinitionSet([owner] { ShowCourseImages(owner, PickListPicker()); });
}

}  // namespace olbrax

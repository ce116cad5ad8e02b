// The commands of the menu "rapporter" (the definition reports, the route-description reports and
// the class list) and of "visningar" › "definitioner" › "banor" (the course image), run with the
// program's pick lists.
#pragma once

#include <functional>
#include <vector>

#include "platform/ui.h"
#include "printing/reports/definition_reports.h"

class QWidget;

namespace olbrax {

// A Picker answered by the pick lists: TKlassPick (every class, in class order), TBanPick,
// TKontrPick and TRutbPick, titled as the report asks. Nothing when the list is cancelled or
// its register is empty.
print::Picker PickListPicker();

// A report of the menus, by the component name of its menu item.
struct ReportCommand {
  const char* action;
  bool definitions;  // runs with the definition set of the competition open
  std::function<print::ReportResult(platform::Window, const print::Picker&)> run;
};
// "kontroller", "banor klass", "banor ", "kodbanaklass", the three route-description reports
// ("sammanställning", "data och sökord", "blankett") and "klasslista".
const std::vector<ReportCommand>& ReportCommands();

// Runs a report as its menu item does: a definition report with the definition set open (when it
// cannot be opened, "Filerna inte öppna" goes to the message line and nothing is printed) and the
// entry set open again afterwards. The pick list, the stage question, the print progress window
// with its cancel button and the boxes of a printer or read failure come from the report itself.
print::ReportResult RunReportCommand(platform::Window owner, const ReportCommand& command);

// "visningar" › "definitioner" › "banor": with the definition set open, the course pick list
// "Välj bana" for one course and the sheet of that course in the course image window.
void CourseImageCommand(QWidget* owner);

}  // namespace olbrax

// The definition reports of the menu "rapporter" › "definitioner", the class list and their
// common parts. Each report asks its Picker for the entries to print (a pick list in the
// program), prints them through the print engine with the current print environment, and prints
// nothing when the register is empty or nothing is picked. The control and course reports need
// the definition set of the competition open (the menu handlers switch to it).
#pragma once

#include "platform/ui.h"
#include "printing/reports/report_frame.h"
#include "printing/reports/report_picks.h"

namespace olbrax::print {

// "kontroller": the picked controls, AcrossCount descriptions side by side.
ReportResult ControlPointsReport(platform::Window owner, const Picker& pick);
// "banor klass": the course sheets of the picked classes for one stage. A competition of several
// stages first asks which stage (1..StrNr, proposing the current one); declining prints nothing.
ReportResult ClassDescriptionsReport(platform::Window owner, const Picker& pick);
// "banor ": the course sheets of the picked courses.
ReportResult CourseDefinitionsReport(platform::Window owner, const Picker& pick);
// "kodbanaklass": for every picked control its description and the courses and classes that pass it.
ReportResult CodeCourseClassReport(platform::Window owner, const Picker& pick);
// "rutbeskrivningar": 'd' data and key words, 'p' the summary of the symbols, 'b' the drawing form.
ReportResult RouteDescriptionReport(platform::Window owner, const Picker& pick, char mode);
// "klasslista": one block of figures per picked class.
ReportResult ClassListReport(platform::Window owner, const Picker& pick);

// The prompt of the stage question of the class descriptions.
Text StageQuestion(int stages);

}  // namespace olbrax::print

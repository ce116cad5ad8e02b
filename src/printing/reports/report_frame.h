// The frame every report shares: the print job with the current print environment, the heading,
// the competition block under it, and the end with the summary line and the pictures.
#pragma once

#include <string_view>

#include "base/text.h"
#include "platform/ui.h"

namespace olbrax::print {

// What a report did, for the callers that must say so (olbrax-cli's exit code).
enum class ReportResult {
  kPrinted,
  kNothing,    // nothing picked, an empty register, or the stage question declined
  kNoPrinter,  // the print job could not be started
  kAborted,    // the job was cancelled while printing
  kFailed,     // a read of the registers failed: the job was cancelled and the failure shown
};

// printerinit with the job title and the printer setup of CurrentPrintEnvironment; a read failure
// kept from an earlier report is forgotten.
bool StartReportJob(platform::Window owner, std::string_view job);
// The heading of a definition report: the name, "48", "x72).", " Skala " and the scale.
Text DefinitionHeading(std::string_view name);
// The competition block under a report heading: number, name, date, type and stages on the
// first line, organiser, entrants, kilometre times and the first class on the second.
void CompetitionHeader();
// The summary line in the normal font, the pictures of the environment, ReportDone, EndReportJob.
ReportResult FinishReport(std::string_view summary, bool report_done = true);
// printerexit; then a read failure that cancelled the job is shown, once the windows are usable
// again.
ReportResult EndReportJob();

}  // namespace olbrax::print

// The log-list printer: a plain line printer for the import log and the results log, in bold
// Courier New 10 on the default printer. On a printer every page is a print job of its own; on
// the virtual PDF printer the pages of one log run (LogStart to LogEnd) go into one file.
#pragma once

#include <functional>
#include <string_view>

namespace olbrax::print {

void LogStart(std::string_view title);
void LogLine(std::string_view text);
// Ends the current log job and starts one titled ". forts..." (in a PDF file: starts a new page);
// nothing when no log job is open or for code -33.
void LogNewPage(int code);
void LogEnd();
// Starts a log job titled "logglista" when none is open.
void LogEnsureOpen();
bool LogOpen();

// Called by LogEnd: the import resets the line counters it keeps for its summaries.
void SetLogEndHook(std::function<void()> hook);

}  // namespace olbrax::print

// The results log: while result lines are imported, a printed running log of the registration on
// the log-list printer. One line per registered result (and the line an entrant had before a
// replaced result), the import's messages, the notices of a completed class with its
// preliminary winner and of a completed competition, and every 25 results a progress line with
// the number of results still missing. Pages of 76 counted lines, with a heading and a footer.
//
// It prints while the competition record asks for it (InfoRec.PrLogg), or while a caller has
// turned it on for the run (the command-line tool's --results-log), which leaves the stored flag
// alone.
#pragma once

namespace olbrax {

// Codes of ResultsLog.
inline constexpr int kLogBegin = 0;       // begin the log, or head a new page
inline constexpr int kLogEntrant = 1;     // the line of the entrant in EntrantRec
inline constexpr int kLogMessage = -27;   // the text of MsgLine
inline constexpr int kLogEndPage = -1;    // end the page (within the operation)
inline constexpr int kLogEnd = -33;       // end the log

// 0: no log begun in this results section; otherwise the number of the next page to head.
extern int ResultsLogPage;
// Lines counted on the current page.
extern int ResultsLogLine;

// `replaced`: the entrant's earlier result has just been replaced; `superseded`: the line shows
// the entrant's values before they are replaced.
void ResultsLog(int code, bool replaced = false, bool superseded = false);

// Whether the log prints: InfoRec.PrLogg, or turned on for this run.
bool ResultsLogActive();
void SetResultsLogForRun(bool on);

}  // namespace olbrax

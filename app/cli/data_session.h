// The start and end of a command that works on the competition data, as the program does them:
// the configuration, the storage engine, the archive and the competition last selected. A
// --datadir given on the command line replaces the data directory for this run only, and
// --competition the competition; neither is remembered.
#pragma once

#include <cstdint>

#include "cli/cli.h"

namespace olbrax::cli {

class DataSession {
 public:
  // `open_archive` false: only the configuration and the engine (for "new-archive").
  explicit DataSession(Context& ctx, bool open_archive = true);
  ~DataSession();
  DataSession(const DataSession&) = delete;
  DataSession& operator=(const DataSession&) = delete;

  bool ok() const { return ok_; }

 private:
  bool ok_ = false;
  bool engine_ = false;
  std::string saved_dir_;
  std::int32_t saved_competition_ = 0;
  bool overridden_ = false;
  bool competition_overridden_ = false;
  std::int32_t remembered_competition_ = 0;
};

// Prints the message line (the program's status texts) to stderr when it holds something that
// was not printed yet: every line and box of the run is printed as it is shown.
void ReportMsgLine();
// For a command that works on the current competition: true when its files are open; otherwise
// says why not (none chosen, and how to choose one; or it cannot be opened) and false.
bool RequireCompetition(const char* command);

}  // namespace olbrax::cli

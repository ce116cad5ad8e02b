#include "cli/data_session.h"

#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "base/messages.h"
#include "competition/archive.h"
#include "competition/lifecycle.h"
#include "printing/config/configuration.h"
#include "storage/efiler.h"

namespace olbrax::cli {

DataSession::DataSession(Context& ctx, bool open_archive) {
  // The same steps as the program's start: the configuration, the entries of this program, then
  // the data layer, which takes the data directory and competition of its own entry.
  ConfigLoad(AppSlot, true, "OLBRAX");
  GeneralSettings.CurrentCompetition = GeneralSettings.remembered_competition[AppSlot];
  if (Text dir = GeneralSettings.remembered_directory[AppSlot].get(); !dir.empty())
    GeneralSettings.DataDirectory.set(dir);
  std::vector<Text> args;
  InitCompetitionData(args);
  engine_ = true;
  if (!EngineStarted) {
    Err(MsgText(IsamError));
    return;
  }
  if (ctx.datadir) {
    char real[PATH_MAX];
    if (!::realpath(ctx.datadir->c_str(), real)) {
      std::fprintf(stderr, "olbrax-cli: no such data directory: %s\n", ctx.datadir->c_str());
      return;
    }
    std::optional<Text> dir = WinPathFromUtf8(real);
    if (!dir) {
      std::fprintf(stderr, "olbrax-cli: %s\n", UnusablePathMessage(real).c_str());
      return;
    }
    // Another directory for this run only: its competition number is not remembered either.
    saved_dir_ = GeneralSettings.DataDirectory.get();
    saved_competition_ = GeneralSettings.CurrentCompetition;
    overridden_ = true;
    GeneralSettings.DataDirectory.set(*dir);
    GeneralSettings.CurrentCompetition = 0;
  }
  if (open_archive) {
    OpenArchive();
    ReopenConfiguredCompetition();
  }
  ok_ = true;
}

DataSession::~DataSession() {
  CloseAllCompetitionFiles();
  if (overridden_) {
    GeneralSettings.DataDirectory.set(saved_dir_);
    GeneralSettings.CurrentCompetition = saved_competition_;
  }
  if (engine_) ExitCompetitionData();
  GeneralSettings.remembered_directory[AppSlot].set(GeneralSettings.DataDirectory.get());
  GeneralSettings.remembered_competition[AppSlot] = GeneralSettings.CurrentCompetition;
  ConfigSave();
}

void ReportMsgLine() {
  if (!MsgLine.empty()) Err(MsgLine);
}

}  // namespace olbrax::cli

#include "cli/data_session.h"

#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>

#include "base/messages.h"
#include "competition/archive.h"
#include "printing/config/glodefs.h"
#include "storage/efiler.h"

namespace olbrax::cli {

DataSession::DataSession(Context& ctx, bool open_archive) {
  ConfigLoad(AppSlot, true, "OLBRAX");
  if (ctx.datadir) {
    char real[PATH_MAX];
    if (!::realpath(ctx.datadir->c_str(), real)) {
      std::fprintf(stderr, "olbrax-cli: no such data directory: %s\n", ctx.datadir->c_str());
      return;
    }
    saved_dir_ = GeneralSettings.DataDirectory.get();
    overridden_ = true;
    GeneralSettings.DataDirectory.set(WinFromUtf8(real));
  }
  std::vector<Text> args;
  if (!StartIsam(args)) return;
  engine_ = true;
  InitCompetitionKeys();
  if (open_archive) {
    OpenArchive();
    ReopenConfiguredCompetition();
  }
  ok_ = true;
}

DataSession::~DataSession() {
  CloseAllCompetitionFiles();
  if (engine_) ExitIsam();
  if (overridden_) GeneralSettings.DataDirectory.set(saved_dir_);
  ConfigSave();
}

void ReportMsgLine() {
  if (!MsgLine.empty()) Err(MsgLine);
}

}  // namespace olbrax::cli

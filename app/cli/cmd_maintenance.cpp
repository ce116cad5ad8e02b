// The file-care commands of the "filvård" menu: olbrax-cli backup DIR and olbrax-cli rebuild.
#include <filesystem>

#include "base/messages.h"
#include "cli/cli.h"
#include "cli/data_session.h"
#include "competition/archive.h"
#include "competition/maintenance/backup_copy.h"
#include "competition/maintenance/index_rebuild.h"

namespace olbrax::cli {
namespace {

int RunBackup(Context& ctx) {
  if (ctx.args.size() != 1) return Usage("backup");
  // Relative to where the tool was started: the configuration enters another folder.
  std::string target = std::filesystem::absolute(ctx.args[0]).lexically_normal().string();
  DataSession data(ctx);
  if (!data.ok()) return 1;
  if (!ArchiveOpen) {
    ReportMsgLine();
    return 1;
  }
  if (!BackupMemoryAvailable()) {
    ReportMsgLine();
    return 1;
  }
  // The headless interface stands for the owner, so that progress lines are printed.
  bool ok = BackupCopy(static_cast<platform::Window>(ctx.ui), WinFromUtf8(target));
  return ok ? 0 : 1;
}

int RunRebuild(Context& ctx) {
  if (!ctx.args.empty()) return Usage("rebuild");
  DataSession data(ctx);
  if (!data.ok()) return 1;
  bool ok = IndexRebuild(static_cast<platform::Window>(ctx.ui));
  ReportMsgLine();
  return ok ? 0 : 1;
}

Registrar backup({"backup", "DIR", "copy the data files of the archive and the current competition to DIR (\"säkerhetskopiera\")",
                  RunBackup});
Registrar rebuild({"rebuild", "", "rebuild every file block of the archive and the current competition (\"indexbygg\")",
                   RunRebuild});

}  // namespace
}  // namespace olbrax::cli

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
    if (ctx.competition) {
      remembered_competition_ = GeneralSettings.CurrentCompetition;
      competition_overridden_ = true;
      GeneralSettings.CurrentCompetition = *ctx.competition;
    }
    ReopenConfiguredCompetition();
    if (ctx.competition && !CompetitionOpen) {
      ReportMsgLine();
      Err("olbrax-cli: t\xE4vling " + ZeroStr(*ctx.competition, 2) + " kan inte \xF6ppnas" +
          (ArchiveOpen ? Text(" (vakant, raderad eller utan sina filer)") : Text()));
      return;
    }
  }
  ok_ = true;
}

DataSession::~DataSession() {
  CloseAllCompetitionFiles();
  if (competition_overridden_) GeneralSettings.CurrentCompetition = remembered_competition_;
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
  if (MsgLine.empty()) return;
  const auto* ui = dynamic_cast<const platform::HeadlessUi*>(&platform::CurrentUi());
  if (ui && !ui->message_lines.empty() && ui->message_lines.back() == MsgLine) return;
  if (ui && !ui->boxes.empty() && ui->boxes.back().text == MsgLine) return;
  Err(MsgLine);
}

bool RequireCompetition(const char* command) {
  if (CompetitionOpen) return true;
  if (CurrentCompetition == 0)
    Err(Text("olbrax-cli ") + command +
        ": ingen t\xE4vling vald - v\xE4lj en med 'olbrax-cli select N' eller f\xF6r en k\xF6rning med '--competition N'");
  else
    Err(Text("olbrax-cli ") + command + ": t\xE4vling " + ZeroStr(CurrentCompetition, 2) + " kan inte \xF6ppnas");
  return false;
}

}  // namespace olbrax::cli

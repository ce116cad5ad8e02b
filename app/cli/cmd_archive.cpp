// The archive of competitions: olbrax-cli new-archive, list, new-competition, select,
// delete-competition.
#include <cstdio>
#include <cstdlib>

#include "base/messages.h"
#include "cli/cli.h"
#include "cli/data_session.h"
#include "competition/archive.h"
#include "competition/records/competition_rec.h"
#include "printing/config/configuration.h"

namespace olbrax::cli {
namespace {

int RunNewArchive(Context& ctx) {
  if (!ctx.args.empty()) return Usage("new-archive");
  DataSession data(ctx);
  if (!data.ok()) return 1;
  if (!CreateArchiveFiles()) {
    ReportMsgLine();
    Err("Inget nytt arkiv i " + GeneralSettings.DataDirectory.get() + (ctx.yes ? "" : " (utan --yes svaras Nej)"));
    return 1;
  }
  ReportMsgLine();
  Out("Nytt arkiv i " + GeneralSettings.DataDirectory.get());
  return 0;
}

int RunList(Context& ctx) {
  if (!ctx.args.empty()) return Usage("list");
  DataSession data(ctx);
  if (!data.ok()) return 1;
  if (!ArchiveOpen) {
    ReportMsgLine();
    return 1;
  }
  auto items = ShowArchiveMenus();
  for (int i = 1; i <= kMaxCompetitions; ++i) {
    const ArchiveMenuItem& item = items[static_cast<std::size_t>(i - 1)];
    Text line = ZeroStr(i, 2) + (item.checked ? " * " : "   ");
    if (!item.enabled) {
      Out(line + item.caption);
      continue;
    }
    // The entry's organiser and date come from the archive record itself.
    std::int32_t n = i;
    bool at_end, found;
    std::int32_t current = CurrentCompetition;
    TInfoRec saved = InfoRec;
    ReadCompetitionRec(5, "", n, at_end, found);
    Out(line + item.caption + " | " + InfoRec.Arr.get() + " | " + InfoRec.Date.get());
    InfoRec = saved;
    CurrentCompetition = current;
  }
  return 0;
}

int RunNewCompetition(Context& ctx) {
  auto name = TakeOption(ctx.args, "--name");
  auto organiser = TakeOption(ctx.args, "--organiser");
  auto date = TakeOption(ctx.args, "--date");
  auto type = TakeOption(ctx.args, "--type");
  auto stages = TakeOption(ctx.args, "--stages");
  if (!ctx.args.empty() || !name || !organiser) return Usage("new-competition");
  int n_stages = stages ? std::atoi(stages->c_str()) : 1;
  if (n_stages < 1 || n_stages > 5) {
    Err("olbrax-cli new-competition: --stages must be 1..5");
    return 2;
  }
  DataSession data(ctx);
  if (!data.ok()) return 1;
  if (!BeginInputInfo(true)) {
    ReportMsgLine();
    return 1;
  }
  InfoRec.Tvl.set(WinFromUtf8(*name));
  InfoRec.Arr.set(WinFromUtf8(*organiser));
  if (date) InfoRec.Date.set(WinFromUtf8(*date));
  if (type) InfoRec.Typ.set(WinFromUtf8(*type));
  InfoRec.StrNr = static_cast<std::int16_t>(n_stages);
  Text typ = UpStr(InfoRec.Typ.get());
  bool relay = typ.find("STAFETT") != Text::npos || typ.find("BUDKAVLE") != Text::npos ||
               typ.find("TRIATHLON") != Text::npos;
  InfoRec.Relay = relay;
  InfoRec.Days = !relay;
  MotionCompetition = typ.find("MOTION") != Text::npos;
  if (!AcceptInputInfo(true)) {
    ReportMsgLine();
    return 1;
  }
  Out("T\xE4vling " + ZeroStr(CurrentCompetition, 2) + " skapad: " + InfoRec.Tvl.get());
  return 0;
}

int ParseEntry(Context& ctx, const char* command) {
  if (ctx.args.size() != 1) return Usage(command), -1;
  int n = std::atoi(ctx.args[0].c_str());
  if (n < 1 || n > kMaxCompetitions) {
    Err(std::string("olbrax-cli ") + command + ": the competition number must be 1..8");
    return -1;
  }
  return n;
}

int RunSelect(Context& ctx) {
  int n = ParseEntry(ctx, "select");
  if (n < 0) return 2;
  DataSession data(ctx);
  if (!data.ok()) return 1;
  SelectFromMenu(n);
  if (!CompetitionOpen) {
    ReportMsgLine();
    Err("T\xE4vling " + ZeroStr(n, 2) + " kan inte \xF6ppnas");
    return 1;
  }
  Out("Vald t\xE4vling " + ZeroStr(CurrentCompetition, 2) + ": " + InfoRec.Tvl.get());
  return 0;
}

int RunDeleteCompetition(Context& ctx) {
  int n = ParseEntry(ctx, "delete-competition");
  if (n < 0) return 2;
  DataSession data(ctx);
  if (!data.ok()) return 1;
  bool deleted = DeleteFromMenu(n);
  ReportMsgLine();
  return deleted ? 0 : 1;
}

Registrar a({"new-archive", "[--yes]", "create a new, empty archive of competitions (\"skapa nya\")", RunNewArchive});
Registrar b({"list", "", "list the competitions of the archive", RunList});
Registrar c({"new-competition", "--name NAME --organiser NAME [--date D] [--type T] [--stages N]",
             "add a competition to the archive and create its files", RunNewCompetition});
Registrar d({"select", "N", "make competition N the current one", RunSelect});
Registrar e({"delete-competition", "N --yes", "delete competition N and its files", RunDeleteCompetition});

}  // namespace
}  // namespace olbrax::cli

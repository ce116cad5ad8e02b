// olbrax-cli export entrants|open-entrants|clubs --out FILE [--stage N] [--only-entered]: writes
// the exchange files of "arkiv" → "exportera" without windows, in Windows-1252 with CR LF.
#include <cstdio>
#include <filesystem>
#include <optional>

#include "base/messages.h"
#include "cli/cli.h"
#include "cli/data_session.h"
#include "competition/archive.h"
#include "competition/records/competition_rec.h"
#include "exchange/export.h"
#include "exchange/exchange_file.h"
#include "exchange/exchange_format.h"

namespace olbrax::cli {
namespace {

int RunExport(Context& ctx) {
  std::optional<std::string> out = TakeOption(ctx.args, "--out");
  std::optional<std::string> stage_arg = TakeOption(ctx.args, "--stage");
  bool only_entered = TakeFlag(ctx.args, "--only-entered");
  if (ctx.args.size() != 1 || !out) return Usage("export");
  const std::string what = ctx.args[0];
  if (what != "entrants" && what != "open-entrants" && what != "clubs") return Usage("export");
  if ((stage_arg && what != "open-entrants") || (only_entered && what != "clubs")) return Usage("export");
  int stage = 0;
  if (stage_arg) {
    stage = IntField(*stage_arg, -1);
    if (stage < 1 || stage > 5) {
      std::fprintf(stderr, "olbrax-cli export: --stage must be 1..5\n");
      return 2;
    }
  }
  // The path is taken before the configuration is loaded, which enters the remembered directory.
  std::string path = std::filesystem::absolute(*out).string();
  std::optional<Text> target = WinPathFromUtf8(path);
  if (!target) {
    std::fprintf(stderr, "olbrax-cli export: %s\n", UnusablePathMessage(path).c_str());
    return 1;
  }
  DataSession data(ctx);
  if (!data.ok()) return 1;
  if (!ArchiveOpen) {
    ReportMsgLine();
    return 1;
  }
  bool ok;
  if (what == "clubs") {
    ok = ExportClubsTo(static_cast<platform::Window>(ctx.ui), *target, only_entered);
  } else {
    if (!RequireCompetition("export")) return 1;
    bool direct = what == "open-entrants";
    if (direct && InfoRec.StrNr > 1 && (stage < 1 || stage > InfoRec.StrNr)) {
      Err("olbrax-cli export: t\xE4vlingen har " + IntStr(InfoRec.StrNr, 0) + " etapper - ange --stage 1.." +
          IntStr(InfoRec.StrNr, 0));
      return 2;
    }
    ok = ExportEntrantsTo(static_cast<platform::Window>(ctx.ui), *target, direct, stage);
  }
  ReportMsgLine();
  if (!ok) {
    Err("olbrax-cli export: filen skrevs inte f\xE4rdigt");
    return 1;
  }
  Out("Exporterade: " + IntStr(LastExchangeCounts().added, 0) + " till " + *target);
  return 0;
}

Registrar reg({"export", "entrants|open-entrants|clubs --out FILE [--stage N] [--only-entered]",
               "write entrants, open-class entrants (of stage N) or clubs as an exchange file", RunExport});

}  // namespace
}  // namespace olbrax::cli

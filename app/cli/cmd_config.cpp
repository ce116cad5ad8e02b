// olbrax-cli config: where the configuration file is, the data directory, and the current print
// and label environments.
#include "cli/cli.h"
#include "printing/config/configuration.h"

namespace olbrax::cli {
namespace {

int RunConfig(Context& ctx) {
  if (!ctx.args.empty()) return Usage("config");
  ConfigLoad(AppSlot, true, "OLBRAX");
  int print = GeneralSettings.print_env, label = GeneralSettings.label_env;
  Out("konfigurationsfil: " + ConfigFilePath());
  Out("databibliotek: " + (ctx.datadir ? WinFromUtf8(*ctx.datadir) : GeneralSettings.DataDirectory.get()));
  Out("utskriftsinst\xE4llning " + IntStr(print, 0) + ": " + GeneralSettings.print_names[print - 1].get() +
      " (skrivare " + CurrentPrintEnvironment.setup.device.get() + ")");
  Out("etikettinst\xE4llning " + IntStr(label, 0) + ": " + GeneralSettings.label_names[label - 1].get() +
      " (skrivare " + CurrentLabelEnvironment.setup.device.get() + ")");
  ConfigSave();
  return 0;
}

Registrar reg({"config", "", "show the configuration file, the data directory and the current environments", RunConfig});

}  // namespace
}  // namespace olbrax::cli

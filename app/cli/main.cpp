// olbrax-cli: the menu commands of the program without windows, for scripts, support and tests.
#include <algorithm>
#include <charconv>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "base/version.h"
#include "cli/cli.h"
#include "competition/registers/register_change.h"
#include "platform/headless_ui.h"

namespace {

olbrax::platform::HeadlessUi g_ui;

void OnInterrupt(int) { g_ui.RequestCancel(); }

void PrintHelp() {
  std::printf(
      "olbrax-cli - the orienteering competition program without windows\n\n"
      "usage: olbrax-cli [--datadir DIR] [--competition N] [--yes] COMMAND [ARGS...]\n\n"
      "  --datadir DIR    use DIR as the data directory for this run\n"
      "  --competition N  use competition N (1..8) for this run, without remembering it\n"
      "  --yes            answer Yes to every question the command asks\n"
      "  --help           this text\n"
      "  --version        the program version\n\n"
      "commands:\n");
  auto commands = olbrax::cli::Commands();
  std::sort(commands.begin(), commands.end(),
            [](const auto& a, const auto& b) { return std::strcmp(a.name, b.name) < 0; });
  for (const auto& c : commands) {
    std::string head = std::string(c.name) + " " + c.usage;
    std::printf("  %-34s %s\n", head.c_str(), c.summary);
  }
  std::printf(
      "\nEvery message of the run and every box goes to stderr, in the program's own texts (UTF-8).\n"
      "Exit codes: 0 done, 1 failed or only partly done, 2 wrong usage.\n");
}

}  // namespace

int main(int argc, char** argv) {
  olbrax::cli::Context ctx;
  std::vector<std::string> args(argv + 1, argv + argc);
  ctx.yes = olbrax::cli::TakeFlag(args, "--yes");
  ctx.datadir = olbrax::cli::TakeOption(args, "--datadir");
  // Relative to where the tool was started: loading the configuration enters another folder.
  if (ctx.datadir) ctx.datadir = std::filesystem::absolute(*ctx.datadir).string();
  if (auto n = olbrax::cli::TakeOption(args, "--competition")) {
    int v = 0;
    auto [end, ec] = std::from_chars(n->data(), n->data() + n->size(), v);
    if (ec != std::errc() || end != n->data() + n->size() || v < 1 || v > 8) {
      std::fprintf(stderr, "olbrax-cli: --competition must be 1..8\n");
      return 2;
    }
    ctx.competition = v;
  }
  if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
    PrintHelp();
    return args.empty() ? 2 : 0;
  }
  if (args[0] == "--version") {
    std::printf("%s%s\n", olbrax::kProgramVersion, olbrax::kPortTag);
    return 0;
  }

  g_ui.echo = true;
  g_ui.default_answer = ctx.yes ? olbrax::platform::kYes : olbrax::platform::kNo;
  olbrax::platform::SetUi(&g_ui);
  ctx.ui = &g_ui;
  std::signal(SIGINT, OnInterrupt);

  for (const auto& c : olbrax::cli::Commands()) {
    if (args[0] == c.name) {
      ctx.args.assign(args.begin() + 1, args.end());
      int failures = olbrax::ReportedStorageFailures();
      int rc = c.run(ctx);
      // Something the command meant to store was not stored (the user has read why): the
      // command did only part of its work, whatever it thought of itself.
      if (rc == 0 && olbrax::ReportedStorageFailures() > failures) rc = 1;
      return rc;
    }
  }
  std::fprintf(stderr, "olbrax-cli: unknown command '%s' (see olbrax-cli --help)\n", args[0].c_str());
  return 2;
}

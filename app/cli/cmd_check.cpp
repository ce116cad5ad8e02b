// olbrax-cli check PATH...: verifies file blocks (or every block of a data directory) without
// changing them, one line per block; exit code 1 when any fault is found.
#include <cctype>
#include <cstdio>

#include "base/text.h"
#include "cli/cli.h"
#include "competition/maintenance/index_rebuild.h"
#include "competition/records_check.h"
#include "storage/block_check.h"
#include "storage/file_set_switch.h"

namespace olbrax::cli {
namespace {

int RunCheck(Context& ctx) {
  if (ctx.args.empty()) return Usage("check");
  bool faults = false;
  for (const std::string& arg : ctx.args) {
    Text path = WinFromUtf8(arg);
    std::vector<Text> blocks;
    if (DirExists(path)) {
      blocks = isam::BlocksInFolder(path);
      // The club statistics of each competition (CLUBSnn.Dat) is a plain block, not a file block.
      std::erase_if(blocks, [](const Text& b) {
        Text leaf = UpStr(b.substr(b.find_last_of('/') + 1));
        return leaf.size() == 7 && leaf.compare(0, 5, "CLUBS") == 0 && std::isdigit(static_cast<unsigned char>(leaf[5])) &&
               std::isdigit(static_cast<unsigned char>(leaf[6]));
      });
      if (blocks.empty()) std::printf("%s: no file blocks\n", arg.c_str());
      // The files of an interrupted rebuild are a mix of old and new until it is finished.
      if (isam::FileSetPending(path, kRebuildStaging)) {
        std::printf("%s: an index rebuild was interrupted; any command that opens the data finishes it\n", arg.c_str());
        faults = true;
      }
    } else {
      blocks.push_back(path);
    }
    for (const Text& b : blocks) {
      isam::CheckResult r = isam::CheckBlock(b);
      // The competition files are also checked record against index.
      if (r.ok && KnowsRecordKeys(b)) r = CheckRecordKeys(b);
      std::printf("%s: %s\n", Utf8FromWin(b).c_str(), r.message.c_str());
      faults = faults || !r.ok;
    }
  }
  return faults ? 1 : 0;
}

int RunDump(Context& ctx) {
  std::optional<std::string> index = TakeOption(ctx.args, "--index");
  if (ctx.args.size() != 1) return Usage("dump");
  int k = 0;
  if (index) {
    try {
      k = std::stoi(*index);
    } catch (...) {
      k = -1;
    }
    if (k < 1) {
      std::fprintf(stderr, "olbrax-cli dump: not an index number: %s\n", index->c_str());
      return 2;
    }
  }
  std::string out, error;
  bool ok = isam::DumpBlock(WinFromUtf8(ctx.args[0]), k, out, error);
  std::fputs(out.c_str(), stdout);
  if (!ok) {
    std::fprintf(stderr, "olbrax-cli dump: %s: %s\n", ctx.args[0].c_str(), error.c_str());
    return 1;
  }
  return 0;
}

Registrar check({"check", "PATH...", "verify file blocks (a block name or a data directory)", RunCheck});
Registrar dump({"dump", "NAME [--index K]", "list a block's headers, free chains and the keys of index K",
                RunDump});

}  // namespace
}  // namespace olbrax::cli

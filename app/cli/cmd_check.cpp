// olbrax-cli check PATH...: verifies file blocks, or a data directory by what the program needs
// from it, without changing anything: one line per file (and per competition's counters); exit
// code 1 when any fault is found.
#include <cstdio>
#include <optional>

#include "base/text.h"
#include "cli/cli.h"
#include "competition/data_dir_check.h"
#include "competition/maintenance/index_rebuild.h"
#include "competition/records_check.h"
#include "registers/data/register_check.h"
#include "storage/block_check.h"
#include "storage/file_set_switch.h"

namespace olbrax::cli {
namespace {

// After a sound block check, the records of the program's files against their indexes: the
// competition's files and shared registers, and the label and payment-form registers.
isam::CheckResult CheckKeys(const Text& block, isam::CheckResult r) {
  if (!r.ok) return r;
  if (KnowsRecordKeys(block)) return CheckRecordKeys(block);
  if (IsSideRegisterBlock(block)) return CheckSideRegisterKeys(block);
  return r;
}

int RunCheck(Context& ctx) {
  if (ctx.args.empty()) return Usage("check");
  bool faults = false;
  auto report = [&](const Text& name, bool ok, const std::string& message) {
    std::printf("%s: %s\n", Utf8FromWin(name).c_str(), message.c_str());
    faults = faults || !ok;
  };
  for (const std::string& arg : ctx.args) {
    std::optional<Text> checked = WinPathFromUtf8(arg);
    if (!checked) {
      std::printf("%s\n", UnusablePathMessage(arg).c_str());
      faults = true;
      continue;
    }
    const Text& path = *checked;
    if (DirExists(path) && IsDataDirectory(path)) {
      // The files of an interrupted rebuild are a mix of old and new until it is finished.
      if (isam::FileSetPending(path, kRebuildStaging))
        report(path, false, "an index rebuild was interrupted; any command that opens the data finishes it");
      // What the program needs, by name: a missing file is a fault, not a file less to check.
      // The data-directory check gives the label and payment-form files ("Etikett", "giroP",
      // "giroB") their block check only: their records and keys are checked here.
      for (const CheckLine& line : CheckDataDirectory(path)) {
        if (line.ok && IsSideRegisterBlock(line.name)) {
          isam::CheckResult r = CheckSideRegisterKeys(line.name);
          report(line.name, r.ok, r.message);
        } else {
          report(line.name, line.ok, line.message);
        }
      }
    } else if (DirExists(path)) {
      std::vector<Text> blocks = isam::BlocksInFolder(path);
      if (blocks.empty()) std::printf("%s: no file blocks\n", arg.c_str());
      for (const Text& b : blocks) {
        isam::CheckResult r = CheckKeys(b, isam::CheckBlock(b));
        report(b, r.ok, r.message);
      }
    } else {
      isam::CheckResult r = CheckKeys(path, isam::CheckBlock(path));
      report(path, r.ok, r.message);
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
  std::optional<Text> name = WinPathFromUtf8(ctx.args[0]);
  if (!name) {
    std::fprintf(stderr, "olbrax-cli dump: %s\n", UnusablePathMessage(ctx.args[0]).c_str());
    return 1;
  }
  std::string out, error;
  bool ok = isam::DumpBlock(*name, k, out, error);
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

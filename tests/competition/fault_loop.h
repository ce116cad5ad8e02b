// Error loops over the data layer: run an operation with the n-th file call failing, for n = 1,
// 2, ... until it succeeds, each time from the same files, and look at what every failure left.
#pragma once

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <string>

#include <cerrno>

#include "base/text.h"
#include "competition/archive.h"
#include "competition/records_check.h"
#include "competition/registers/register_change.h"
#include "storage/block_check.h"
#include "storage/disk_file.h"
#include "storage/file_hooks.h"
#include "support/fixtures.h"

namespace olbrax::test {

// Fails the n-th file call that opens, creates, reads, writes, truncates or flushes, counted over
// all of them: writes fail as a full disk does, the others with an I/O error.
class NthCallFault : public disk::FileHooks {
 public:
  void Arm(int nth) {
    nth_ = nth;
    seen_ = 0;
    fired_ = false;
  }
  void Disarm() { nth_ = 0; }
  bool Fired() const { return fired_; }
  disk::Verdict Before(const disk::FileEvent& e) override {
    using disk::FileOp;
    if (nth_ == 0 || e.op == FileOp::Close || e.op == FileOp::Delete || e.op == FileOp::Rename) return {};
    if (++seen_ != nth_) return {};
    fired_ = true;
    bool writing = e.op == FileOp::Write || e.op == FileOp::Create || e.op == FileOp::Truncate;
    return {writing ? ENOSPC : EIO, false};
  }

 private:
  int nth_ = 0, seen_ = 0;
  bool fired_ = false;
};

// The files of a folder, to put back before each run of an error loop.
class FolderCopy {
 public:
  explicit FolderCopy(const std::filesystem::path& dir) : dir_(dir) {
    for (const auto& e : std::filesystem::directory_iterator(dir))
      if (e.is_regular_file()) files_[e.path().filename().string()] = ReadFileBytes(e.path());
  }
  void Restore() const {
    for (const auto& e : std::filesystem::directory_iterator(dir_))
      if (!files_.count(e.path().filename().string())) std::filesystem::remove(e.path());
    for (const auto& [name, bytes] : files_) WriteFileBytes(dir_ / name, bytes);
  }

 private:
  std::filesystem::path dir_;
  std::map<std::string, std::string> files_;
};

// A short fingerprint of some bytes (FNV-1a), so that differences print as one line per file.
inline std::string Fingerprint(std::string_view bytes) {
  std::uint64_t h = 1469598103934665603ULL;
  for (char c : bytes) h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
  char out[17];
  std::snprintf(out, sizeof out, "%016llx", static_cast<unsigned long long>(h));
  return out;
}

// What the files of a data directory hold, as the program sees it: per file block the live
// records (a fingerprint of their bytes) and every index's entries; the statistics blocks.
inline std::string DataContents(const std::filesystem::path& dir) {
  std::string out;
  for (const Text& block : isam::BlocksInFolder(dir.string())) {
    Text leaf = UpStr(block.substr(block.find_last_of('/') + 1));
    if (leaf.compare(0, 5, "CLUBS") == 0) {
      out += leaf + ": " + Fingerprint(ReadFileBytes(disk::Resolve(block + ".Dat"))) + "\n";
      continue;
    }
    isam::BlockContents b;
    std::string error;
    if (!isam::ReadBlockContents(block, b, error)) {
      out += leaf + ": " + error + "\n";
      continue;
    }
    out += leaf + ":";
    for (std::int32_t rec : b.live)
      out += " " + std::to_string(rec) + "=" +
             Fingerprint(std::string_view(b.data).substr(static_cast<std::size_t>(rec) * static_cast<std::size_t>(b.rec_len),
                                                         static_cast<std::size_t>(b.rec_len)));
    for (const auto& index : b.keys)
      for (const auto& [key, rec] : index) out += " [" + key + "," + std::to_string(rec) + "]";
    out += "\n";
  }
  return out;
}

// Every file block of the directory passes the integrity check, and every record has its keys
// and every key its record. Empty when so, else the faults found.
inline std::string DataFaults(const std::filesystem::path& dir) {
  std::string faults;
  for (const Text& block : isam::BlocksInFolder(dir.string())) {
    Text leaf = UpStr(block.substr(block.find_last_of('/') + 1));
    if (leaf.compare(0, 5, "CLUBS") == 0) continue;
    isam::CheckResult r = isam::CheckBlock(block);
    if (r.ok && KnowsRecordKeys(block)) r = CheckRecordKeys(block);
    if (!r.ok) faults += leaf + ": " + r.message + "\n";
  }
  return faults;
}

// The outcome of one error loop.
struct LoopResult {
  int failures = 0;   // runs in which the injected failure happened
  bool ended = false;  // a run without a failure, in which the operation succeeded
};

// Runs `op` with the n-th file call failing, n = 1, 2, ..., until a run passes without the
// failure happening (bounded by `max_runs` and 60 s). Before each run the data directory is put
// back as `copy` holds it and `open` opens it; after each failed run the files are closed (the
// checks read them directly) and `check` looks at what was left, given the operation's result.
inline LoopResult ErrorLoop(const FolderCopy& copy, const std::function<void()>& open, const std::function<bool()>& op,
                            const std::function<void(bool ok, int n)>& check, int max_runs = 400) {
  NthCallFault fault;
  LoopResult result;
  auto start = std::chrono::steady_clock::now();
  for (int n = 1; n <= max_runs && std::chrono::steady_clock::now() - start < std::chrono::seconds(60); ++n) {
    copy.Restore();
    open();
    disk::SetFileHooks(&fault);
    fault.Arm(n);
    bool ok = op();
    fault.Disarm();
    disk::SetFileHooks(nullptr);
    if (!fault.Fired()) {
      result.ended = ok;
      CloseAllCompetitionFiles();
      break;
    }
    ++result.failures;
    CloseAllCompetitionFiles();
    check(ok, n);
  }
  return result;
}

}  // namespace olbrax::test

// The file layer as a disk that loses power: every write since the last flush of its file is
// pending, and at the crash the disk holds the flushed state plus some of the pending writes,
// whole, torn at 512-byte sectors, or as zeros where the file had grown. Files created or
// deleted are so at once (the file layer syncs the folder).
#pragma once

#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "storage/file_hooks.h"
#include "support/fixtures.h"

namespace olbrax::test {

class PowerLoss : public disk::FileHooks {
 public:
  struct Pending {
    bool truncate;
    std::int64_t offset;
    std::string data;
  };
  struct State {
    std::string durable;
    std::vector<Pending> pending;
    bool exists = true;
  };

  std::map<std::string, State> files;  // by system path; only these are followed
  int events = 0;
  int crash_at = 0;  // 0: never
  bool crashed = false;

  // Follows the files that exist in `folder` now, as durable.
  void Watch(const std::filesystem::path& folder) {
    for (const auto& e : std::filesystem::directory_iterator(folder))
      if (e.is_regular_file()) files[e.path().string()].durable = ReadFileBytes(e.path());
  }

  disk::Verdict Before(const disk::FileEvent& e) override {
    if (crashed) return {EIO, false};
    switch (e.op) {
      case disk::FileOp::Write:
      case disk::FileOp::Truncate:
      case disk::FileOp::Flush:
      case disk::FileOp::Create:
      case disk::FileOp::Delete:
        if (++events == crash_at) {
          crashed = true;
          return {EIO, false};
        }
        break;
      default:
        break;
    }
    return {};
  }
  void After(const disk::FileEvent& e) override {
    if (e.op == disk::FileOp::Create) {
      files[e.path] = State{};
      return;
    }
    auto it = files.find(e.path);
    if (it == files.end()) return;
    State& s = it->second;
    if (e.op == disk::FileOp::Write)
      s.pending.push_back({false, e.offset, std::string(static_cast<const char*>(e.data), e.len)});
    else if (e.op == disk::FileOp::Truncate)
      s.pending.push_back({true, e.offset, {}});
    else if (e.op == disk::FileOp::Flush) {
      s.durable = Apply(s.durable, s.pending, nullptr);
      s.pending.clear();
    } else if (e.op == disk::FileOp::Delete) {
      s = State{};
      s.exists = false;
    }
  }

  // Puts the files as the disk holds them after the crash.
  void Materialize(std::mt19937& rng) {
    for (auto& [path, state] : files) {
      if (!state.exists) std::filesystem::remove(path);
      else WriteIfChanged(path, Apply(state.durable, state.pending, &rng));
    }
  }

  // Writes a file unless it already holds the bytes (the crash loops rewrite many files, and
  // a file system that discards freed blocks makes every rewrite slow).
  static void WriteIfChanged(const std::filesystem::path& path, const std::string& bytes) {
    if (!std::filesystem::exists(path) || ReadFileBytes(path) != bytes) WriteFileBytes(path, bytes);
  }

  // A file as the disk holds it after the crash (every pending write whole without `rng`).
  static std::string Apply(std::string image, const std::vector<Pending>& pending, std::mt19937* rng) {
    for (const Pending& p : pending) {
      int mode = rng ? static_cast<int>((*rng)() % 3) : 1;  // 0 lost, 1 whole, 2 torn
      std::size_t off = static_cast<std::size_t>(p.offset);
      if (p.truncate) {
        if (mode != 0) image.resize(off, '\0');
        continue;
      }
      std::size_t end = off + p.data.size();
      // The file's new length may reach the disk without the data: zeros.
      if (end > image.size() && (mode != 0 || (*rng)() % 2)) image.resize(end, '\0');
      if (mode == 0) continue;
      for (std::size_t at = off; at < end;) {
        std::size_t sector_end = std::min(end, (at / 512 + 1) * 512);
        if (mode == 1 || (*rng)() % 2) image.replace(at, sector_end - at, p.data, at - off, sector_end - at);
        at = sector_end;
      }
    }
    return image;
  }
};

}  // namespace olbrax::test

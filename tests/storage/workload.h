// A deterministic mix of journaled engine operations for the crash tests: records with a unique
// and a duplicate index, added and removed one engine call at a time, and a snapshot of a
// block's whole logical state to compare runs by.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "base/text.h"

namespace olbrax {
struct FileBlock;
}

namespace olbrax::test {

class Workload {
 public:
  static constexpr int kRecLen = 40;
  explicit Workload(std::uint32_t seed) : rng_(seed), counter_(seed * 100000u) {}

  // Creates the block the workload runs on.
  static void Create(const std::string& name);
  // Runs the next engine call; false when it failed.
  bool Step(FileBlock* fb);

 private:
  void Plan();

  std::mt19937 rng_;
  std::uint32_t counter_ = 0;
  std::map<std::int32_t, std::pair<Text, Text>> live_;  // record -> its two keys
  // The calls planned and not yet made; they reach the workload through their argument, so that
  // a copy of a workload goes on exactly as the original would.
  std::deque<std::function<bool(Workload&, FileBlock*)>> queue_;
  std::int32_t added_ = 0;
};

// Transactions over four blocks: a few workload steps spread over three blocks of the
// workload's layout, and mostly a rewrite of the one record of a fourth block that counts them,
// so that a transaction spans blocks and rewrites a record that existed before it.
class TxnWorkload {
 public:
  static constexpr int kParts = 3;
  explicit TxnWorkload(std::uint32_t seed);

  // Creates the blocks: names[0..2] in the workload's layout, names[3] the counter.
  static void Create(const std::vector<std::string>& names);
  // Runs the next transaction over the open blocks; false when a call or the commit failed.
  bool Transaction(const std::vector<FileBlock*>& fbs);
  // The logical state of all four closed blocks.
  static std::string Snapshot(const std::vector<std::string>& names);

 private:
  std::mt19937 rng_;
  std::vector<Workload> parts_;
  std::int32_t count_ = 0;
};

// The logical state of a closed block: headers, free chains, the keys of both indexes and the
// bytes of every live record after its first 4 (which a record that a repaired DeleteRec put
// back keeps overwritten: the journal holds no image of them).
std::string Snapshot(const std::string& name);

}  // namespace olbrax::test

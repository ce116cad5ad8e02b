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
  std::deque<std::function<bool(FileBlock*)>> queue_;
  std::int32_t added_ = 0;
};

// The logical state of a closed block: headers, free chains, the keys of both indexes and the
// bytes of every live record after its first 4 (which a record that a repaired DeleteRec put
// back keeps overwritten: the journal holds no image of them).
std::string Snapshot(const std::string& name);

}  // namespace olbrax::test

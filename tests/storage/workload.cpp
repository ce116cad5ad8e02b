#include "workload.h"

#include <set>
#include <sstream>

#include "storage/block_check.h"
#include "storage/isam.h"
#include "support/fixtures.h"

namespace olbrax::test {

using namespace olbrax::isam;

void Workload::Create(const std::string& name) {
  KeyDescs d{};
  d[0] = {8, 0};
  d[1] = {2, 1};
  CreateFileBlock(name, kRecLen, 2, d);
}

void Workload::Plan() {
  if (live_.size() < 60 || (live_.size() < 150 && rng_() % 2)) {
    ++counter_;
    char key[9];
    std::snprintf(key, sizeof key, "%08X", counter_ * 2654435761u);
    Text k1 = key;
    Text k2 = Text(key).substr(0, 1);
    std::string rec(kRecLen, '\0');
    std::snprintf(rec.data(), rec.size(), "DATA%08X-%u", counter_ * 2654435761u, counter_);
    queue_.push_back([this, rec](FileBlock* fb) {
      AddRec(fb, added_, rec.data());
      return IsamOK;
    });
    queue_.push_back([this, k1](FileBlock* fb) {
      AddKey(fb, 1, added_, k1);
      return IsamOK;
    });
    queue_.push_back([this, k1, k2](FileBlock* fb) {
      AddKey(fb, 2, added_, k2);
      live_[added_] = {k1, k2};
      return IsamOK;
    });
  } else {
    auto it = live_.begin();
    std::advance(it, static_cast<long>(rng_() % live_.size()));
    std::int32_t r = it->first;
    auto [k1, k2] = it->second;
    live_.erase(it);
    queue_.push_back([r, k2](FileBlock* fb) {
      DeleteKey(fb, 2, r, k2);
      return IsamOK;
    });
    queue_.push_back([r, k1](FileBlock* fb) {
      DeleteKey(fb, 1, r, k1);
      return IsamOK;
    });
    queue_.push_back([r](FileBlock* fb) {
      DeleteRec(fb, r);
      return IsamOK;
    });
  }
}

bool Workload::Step(FileBlock* fb) {
  if (queue_.empty()) Plan();
  auto op = std::move(queue_.front());
  queue_.pop_front();
  return op(fb);
}

std::string Snapshot(const std::string& name) {
  std::string out, error;
  for (int k : {1, 2}) {
    if (!DumpBlock(name, k, out, error)) return "unreadable: " + error;
  }
  CheckResult check = CheckBlock(name);
  if (!check.ok) return "check: " + check.message;
  // Live records: every number up to the highest not on the free chain.
  std::istringstream lines(out);
  std::string line;
  std::int32_t highest = 0;
  std::set<std::int32_t> free;
  while (std::getline(lines, line)) {
    if (line.rfind("data ", 0) == 0) {
      auto at = line.find("records ");
      highest = std::stoi(line.substr(at + 8));
    } else if (line.rfind("  free records:", 0) == 0) {
      std::istringstream nums(line.substr(15));
      std::int32_t n;
      while (nums >> n) free.insert(n);
    }
  }
  std::string data = ReadFileBytes(name + ".DAT");
  for (std::int32_t r = 1; r <= highest; ++r) {
    if (free.count(r)) continue;
    std::size_t at = static_cast<std::size_t>(r) * Workload::kRecLen;
    if (at + Workload::kRecLen > data.size()) return "record " + std::to_string(r) + " missing";
    out += std::to_string(r) + ":" + data.substr(at + 4, Workload::kRecLen - 4) + "\n";
  }
  return out;
}

}  // namespace olbrax::test

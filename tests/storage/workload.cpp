#include "workload.h"

#include <set>
#include <sstream>

#include "storage/block_check.h"
#include "storage/isam.h"
#include "storage/transaction.h"
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
    queue_.push_back([rec](Workload& w, FileBlock* fb) {
      AddRec(fb, w.added_, rec.data());
      return IsamOK;
    });
    queue_.push_back([k1](Workload& w, FileBlock* fb) {
      AddKey(fb, 1, w.added_, k1);
      return IsamOK;
    });
    queue_.push_back([k1, k2](Workload& w, FileBlock* fb) {
      AddKey(fb, 2, w.added_, k2);
      w.live_[w.added_] = {k1, k2};
      return IsamOK;
    });
  } else {
    auto it = live_.begin();
    std::advance(it, static_cast<long>(rng_() % live_.size()));
    std::int32_t r = it->first;
    auto [k1, k2] = it->second;
    live_.erase(it);
    queue_.push_back([r, k2](Workload&, FileBlock* fb) {
      DeleteKey(fb, 2, r, k2);
      return IsamOK;
    });
    queue_.push_back([r, k1](Workload&, FileBlock* fb) {
      DeleteKey(fb, 1, r, k1);
      return IsamOK;
    });
    queue_.push_back([r](Workload&, FileBlock* fb) {
      DeleteRec(fb, r);
      return IsamOK;
    });
  }
}

bool Workload::Step(FileBlock* fb) {
  if (queue_.empty()) Plan();
  auto op = std::move(queue_.front());
  queue_.pop_front();
  return op(*this, fb);
}

TxnWorkload::TxnWorkload(std::uint32_t seed) : rng_(seed) {
  for (int i = 0; i < kParts; ++i) parts_.emplace_back(seed * 7 + static_cast<std::uint32_t>(i));
}

void TxnWorkload::Create(const std::vector<std::string>& names) {
  for (int i = 0; i < kParts; ++i) Workload::Create(names[static_cast<std::size_t>(i)]);
  CreateFileBlock(names[3], Workload::kRecLen, 0, KeyDescs{});
  FileBlock* fb = nullptr;
  OpenFileBlock(fb, names[3], false, false, true, false);
  std::int32_t r;
  AddRec(fb, r, std::string(Workload::kRecLen, '0').data());
  CloseFileBlock(fb);
}

bool TxnWorkload::Transaction(const std::vector<FileBlock*>& fbs) {
  BeginTransaction();
  int steps = 1 + static_cast<int>(rng_() % 12);
  bool ok = true;
  for (int i = 0; i < steps && ok; ++i) {
    auto part = static_cast<std::size_t>(rng_() % kParts);
    ok = parts_[part].Step(fbs[part]);
  }
  if (ok && rng_() % 4 != 0) {
    std::string rec(Workload::kRecLen, '\0');
    std::snprintf(rec.data(), rec.size(), "COUNT %d", ++count_);
    PutRec(fbs[3], 1, rec.data(), 0);
    ok = IsamOK;
  }
  if (!ok) return RollbackTransaction(), false;
  CommitTransaction();
  return IsamOK;
}

std::string TxnWorkload::Snapshot(const std::vector<std::string>& names) {
  std::string out;
  for (int i = 0; i < kParts; ++i) out += test::Snapshot(names[static_cast<std::size_t>(i)]) + "--\n";
  CheckResult check = CheckBlock(names[3]);
  if (!check.ok) return out + "check: " + check.message;
  return out + ReadFileBytes(names[3] + ".DAT");
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

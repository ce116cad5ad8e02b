// Transactions over one or several blocks: the same bytes as one call at a time, what is seen
// inside, rollback, failures of every file call of a commit, power loss and kills in a commit.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <random>
#include <set>
#include <thread>

#include "power_loss.h"
#include "storage/block_check.h"
#include "storage/transaction.h"
#include "storage_fixture.h"
#include "workload.h"

namespace olbrax::test {
namespace {

using namespace olbrax::isam;
namespace fs = std::filesystem;

class TransactionTest : public StorageTest {
 protected:
  // Every file of the test folder, by name.
  std::map<std::string, std::string> Files(const fs::path& folder) const {
    std::map<std::string, std::string> out;
    for (const auto& e : fs::directory_iterator(folder))
      if (e.is_regular_file()) out[e.path().filename().string()] = ReadFileBytes(e.path());
    return out;
  }
  std::map<std::string, std::string> Files() const { return Files(dir.path()); }
  void Put(const std::map<std::string, std::string>& files) const {
    for (const auto& e : fs::directory_iterator(dir.path()))
      if (!files.count(e.path().filename().string())) fs::remove(e.path());
    for (const auto& [leaf, bytes] : files) PowerLoss::WriteIfChanged(dir / leaf, bytes);
  }
  std::vector<std::string> Names() const { return {Name("A"), Name("B"), Name("C"), Name("N")}; }
  std::vector<FileBlock*> OpenAll() {
    std::vector<FileBlock*> fbs;
    for (const char* leaf : {"A", "B", "C", "N"}) fbs.push_back(Open(leaf));
    return fbs;
  }
  static void CloseAll(std::vector<FileBlock*>& fbs) {
    for (FileBlock*& fb : fbs) CloseFileBlock(fb);
  }
  // Nothing left of a transaction: no transaction file, every journal empty.
  std::string Leftovers() const {
    for (const auto& [leaf, bytes] : Files()) {
      if (leaf.ends_with(".TXN")) return leaf;
      if (leaf.ends_with(".DIA") && bytes.size() != 1) return leaf + " has " + std::to_string(bytes.size()) + " bytes";
    }
    return "";
  }
};

std::string Difference(const std::map<std::string, std::string>& got, const std::map<std::string, std::string>& want) {
  for (const auto& [leaf, bytes] : want) {
    auto it = got.find(leaf);
    if (it == got.end()) return leaf + " missing";
    if (it->second.size() != bytes.size())
      return leaf + " has " + std::to_string(it->second.size()) + " bytes, not " + std::to_string(bytes.size());
    auto [x, y] = std::mismatch(it->second.begin(), it->second.end(), bytes.begin());
    if (x != it->second.end()) return leaf + " differs at byte " + std::to_string(x - it->second.begin());
  }
  for (const auto& [leaf, bytes] : got)
    if (!want.count(leaf)) return leaf + " appeared";
  return "";
}

// Engine calls on two blocks with a unique and a duplicate index, one call per Step: records
// added with their keys, removed, and rewritten in place. Deterministic for a seed, so that two
// runs that group the calls differently make the same calls.
class Script {
 public:
  Script(std::uint32_t seed, int rec_len) : rng_(seed), counter_(seed * 1000u), rec_len_(rec_len) {}

  static void Create(const std::string& name, int rec_len) {
    isam::CreateFileBlock(name, rec_len, 2, Keys({{8, 0}, {2, 1}}));
  }
  bool Step(const std::vector<FileBlock*>& fbs) {
    if (queue_.empty()) Plan();
    auto call = std::move(queue_.front());
    queue_.pop_front();
    call(fbs);
    return IsamOK;
  }

 private:
  using Call = std::function<void(const std::vector<FileBlock*>&)>;
  std::string Record(char fill) {
    std::string rec(static_cast<std::size_t>(rec_len_), fill);
    rec.replace(0, 4, 4, '\0');
    rec.replace(4, 8, Key());
    return rec;
  }
  std::string Key() const {
    char k[12];
    std::snprintf(k, sizeof k, "%08X", counter_ * 2654435761u);
    return k;
  }
  void Plan() {
    auto b = static_cast<std::size_t>(rng_() % 2);
    auto& live = live_[b];
    int what = static_cast<int>(rng_() % 10);
    if (live.size() < 60 || what < 5) {
      ++counter_;
      std::string key = Key();
      std::string rec = Record(static_cast<char>('a' + counter_ % 26));
      queue_.push_back([this, b, rec](const std::vector<FileBlock*>& fbs) { AddRec(fbs[b], added_, rec.data()); });
      queue_.push_back([this, b, key](const std::vector<FileBlock*>& fbs) { AddKey(fbs[b], 1, added_, key); });
      queue_.push_back([this, b, key](const std::vector<FileBlock*>& fbs) {
        AddKey(fbs[b], 2, added_, key.substr(0, 2));
        live_[b][added_] = key;
      });
      return;
    }
    auto it = live.begin();
    std::advance(it, static_cast<long>(rng_() % live.size()));
    std::int32_t r = it->first;
    std::string key = it->second;
    if (what < 8) {
      live.erase(it);
      queue_.push_back([b, r, key](const std::vector<FileBlock*>& fbs) { DeleteKey(fbs[b], 2, r, key.substr(0, 2)); });
      queue_.push_back([b, r, key](const std::vector<FileBlock*>& fbs) { DeleteKey(fbs[b], 1, r, key); });
      queue_.push_back([b, r](const std::vector<FileBlock*>& fbs) { DeleteRec(fbs[b], r); });
    } else {
      std::string rec = Record(static_cast<char>('A' + rng_() % 26));
      rec.replace(4, 8, key);
      queue_.push_back([b, r, rec](const std::vector<FileBlock*>& fbs) { PutRec(fbs[b], r, rec.data(), 0); });
    }
  }

  std::mt19937 rng_;
  std::uint32_t counter_;
  int rec_len_;
  std::map<std::int32_t, std::string> live_[2];
  std::deque<Call> queue_;
  std::int32_t added_ = 0;
};

// Runs `calls` calls of a script on blocks P1, P2 one call at a time and on T1, T2 in
// transactions of the given sizes (cycled), and compares every file. Returns the file writes
// made inside transactions before their commit.
std::uint64_t CompareWithOneCallAtATime(StorageTest& t, const std::string& tag, std::uint32_t seed, int rec_len, int calls,
                               std::vector<int> sizes, std::function<FileBlock*(const std::string&)> open,
                               std::function<std::string(const std::string&)> name) {
  for (const char* b : {"P1", "P2", "T1", "T2"}) Script::Create(name(tag + b), rec_len);
  std::vector<FileBlock*> per_call{open(tag + "P1"), open(tag + "P2")};
  std::vector<FileBlock*> grouped{open(tag + "T1"), open(tag + "T2")};
  Script a(seed, rec_len), b(seed, rec_len);
  for (int i = 0; i < calls; ++i) EXPECT_TRUE(a.Step(per_call)) << i << ": " << IsamError;
  std::size_t g = 0;
  std::uint64_t early = 0;
  for (int done = 0; done < calls; ++g) {
    int n = std::min(sizes[g % sizes.size()], calls - done);
    BeginTransaction();
    std::uint64_t writes = disk::IoCounters().writes;
    for (int i = 0; i < n; ++i) EXPECT_TRUE(b.Step(grouped)) << done + i << ": " << IsamError;
    early += disk::IoCounters().writes - writes;
    CommitTransaction();
    EXPECT_TRUE(IsamOK) << IsamError;
    done += n;
  }
  for (FileBlock*& fb : per_call) CloseFileBlock(fb);
  for (FileBlock*& fb : grouped) CloseFileBlock(fb);
  for (const char* n : {"1", "2"})
    for (const char* ext : {".DAT", ".IX", ".DIA"}) {
      std::string p = ReadFileBytes(name(tag + "P" + n) + ext);
      std::string q = ReadFileBytes(name(tag + "T" + n) + ext);
      EXPECT_EQ(p.size(), q.size()) << tag << n << ext;
      EXPECT_TRUE(p == q) << tag << n << ext << " differs at byte " << (std::mismatch(p.begin(), p.end(), q.begin()).first - p.begin());
    }
  return early;
}

TEST_F(TransactionTest, FilesAreThoseOfOneCallAtATime) {
  auto open = [this](const std::string& leaf) { return Open(leaf); };
  auto name = [this](const std::string& leaf) { return Name(leaf); };
  // Transactions of every size, one over everything; with the pool the program uses and with
  // the smallest, where pages changed in a call are packed when their buffer is taken.
  EXPECT_EQ(CompareWithOneCallAtATime(*this, "S", 1, 40, 4000, {1, 2, 7, 60, 250, 1, 13}, open, name), 0u);
  EXPECT_EQ(CompareWithOneCallAtATime(*this, "L", 2, 40, 3000, {3000}, open, name), 0u);
  ExitIsam();
  ASSERT_GE(InitIsam(0, 8), 8);
  EXPECT_EQ(CompareWithOneCallAtATime(*this, "E", 3, 40, 3000, {5, 100, 1000}, open, name), 0u);
  // Records big enough that a transaction writes its images out before the commit.
  EXPECT_GT(CompareWithOneCallAtATime(*this, "W", 4, 16000, 5000, {5000}, open, name), 0u);
}

std::int32_t Found(FileBlock* fb, int k, const std::string& key) {
  std::int32_t r = 0;
  FindKey(fb, k, r, key);
  return IsamOK ? r : 0;
}

std::string Rec(const std::string& text) {
  std::string rec(Workload::kRecLen, '\0');
  rec.replace(4, text.size(), text);
  return rec;
}

std::string Got(FileBlock* fb, std::int32_t r) {
  std::string rec(static_cast<std::size_t>(RecordLength(fb)), '\0');
  GetRec(fb, r, rec.data(), 0);
  return rec;
}

// Blocks A and N with a few records: A with keys "K1".."K5" on records 1..5, N with one record.
void Fill(std::vector<FileBlock*>& fbs) {
  for (int i = 1; i <= 5; ++i) {
    std::int32_t r;
    AddRec(fbs[0], r, Rec("rec " + std::to_string(i)).data());
    AddKey(fbs[0], 1, r, "K" + std::to_string(i));
    AddKey(fbs[0], 2, r, "K");
  }
}

// A change over blocks A, B and N: a record added with its keys, one freed with its keys, the
// counter rewritten.
void Change(std::vector<FileBlock*>& fbs) {
  std::int32_t r = 0;
  AddRec(fbs[0], r, Rec("new").data());
  AddKey(fbs[0], 1, r, "NEW");
  AddKey(fbs[0], 2, r, "N");
  DeleteKey(fbs[0], 2, 3, "K");
  DeleteKey(fbs[0], 1, 3, "K3");
  DeleteRec(fbs[0], 3);
  std::int32_t b = 0;
  AddRec(fbs[1], b, Rec("in B").data());
  AddKey(fbs[1], 1, b, "B1");
  PutRec(fbs[3], 1, Rec("counted").data(), 0);
}

TEST_F(TransactionTest, ChangesAreSeenInsideAndGoneAfterARollback) {
  TxnWorkload::Create(Names());
  auto fbs = OpenAll();
  Fill(fbs);
  CloseAll(fbs);
  const auto before = Files();
  fbs = OpenAll();

  BeginTransaction();
  Change(fbs);
  ASSERT_TRUE(IsamOK) << IsamError;
  // Inside, every call sees the transaction's changes; the files do not have them yet.
  std::int32_t added = Found(fbs[0], 1, "NEW");
  EXPECT_EQ(added, 6);
  EXPECT_EQ(Got(fbs[0], added), Rec("new"));
  EXPECT_EQ(Found(fbs[0], 1, "K3"), 0);
  EXPECT_EQ(UsedRecs(fbs[0]), 5);
  EXPECT_EQ(Got(fbs[3], 1), Rec("counted"));
  EXPECT_EQ(Found(fbs[1], 1, "B1"), 1);
  EXPECT_EQ(Difference(Files(), before), "");
  RollbackTransaction();
  ASSERT_TRUE(IsamOK) << IsamError;

  // Gone from memory and never on the disk.
  EXPECT_EQ(Found(fbs[0], 1, "NEW"), 0);
  EXPECT_EQ(Found(fbs[0], 1, "K3"), 3);
  EXPECT_EQ(UsedRecs(fbs[0]), 5);
  EXPECT_EQ(FileLen(fbs[1]), 1);
  EXPECT_NE(Got(fbs[3], 1), Rec("counted"));
  EXPECT_EQ(Difference(Files(), before), "");

  // The same change committed is there after the blocks are opened again, and nothing of the
  // transaction is left beside it.
  BeginTransaction();
  Change(fbs);
  CommitTransaction();
  ASSERT_TRUE(IsamOK) << IsamError;
  EXPECT_EQ(Leftovers(), "");
  CloseAll(fbs);
  fbs = OpenAll();
  EXPECT_EQ(Found(fbs[0], 1, "NEW"), 6);
  EXPECT_EQ(Found(fbs[0], 1, "K3"), 0);
  EXPECT_EQ(Found(fbs[1], 1, "B1"), 1);
  EXPECT_EQ(Got(fbs[3], 1), Rec("counted"));
  CloseAll(fbs);
  for (const std::string& n : Names()) EXPECT_TRUE(CheckBlock(n).ok) << n << ": " << CheckBlock(n).message;
}

TEST_F(TransactionTest, NestingFailuresAndMisuse) {
  TxnWorkload::Create(Names());
  auto fbs = OpenAll();
  Fill(fbs);
  CloseAll(fbs);
  const auto before = Files();
  fbs = OpenAll();

  // Without an open transaction, commit and rollback do nothing.
  CommitTransaction();
  EXPECT_TRUE(IsamOK);
  RollbackTransaction();
  EXPECT_TRUE(IsamOK);

  // A nested pair joins the outer transaction: nothing is written at its commit.
  BeginTransaction();
  BeginTransaction();
  Change(fbs);
  std::uint64_t writes = disk::IoCounters().writes;
  CommitTransaction();
  EXPECT_TRUE(IsamOK);
  EXPECT_EQ(disk::IoCounters().writes, writes);
  EXPECT_TRUE(InTransaction());
  // An inner rollback undoes everything, and the outer commit fails with the status that made
  // the inner one give up.
  BeginTransaction();
  AddKey(fbs[0], 1, 1, "K1");
  ASSERT_EQ(IsamError, 10230);
  RollbackTransaction();
  EXPECT_TRUE(IsamOK);
  std::int32_t r;
  AddRec(fbs[0], r, Rec("x").data());
  EXPECT_EQ(IsamError, 10230);  // refused: the transaction is over but for its end
  CommitTransaction();
  EXPECT_EQ(IsamError, 10230);
  EXPECT_FALSE(InTransaction());
  EXPECT_EQ(Difference(Files(), before), "");

  // A call that fails with an I/O error rolls the whole transaction back at once and refuses
  // further changes with its repair code; the commit then fails with it too.
  CloseAll(fbs);
  fbs = OpenAll();  // no page in the pool: AddKey must read
  BeginTransaction();
  AddRec(fbs[1], r, Rec("first").data());
  disk::FaultInjector faults;
  disk::SetFileHooks(&faults);
  faults.Arm(disk::FileOp::Read, 1, EIO);
  AddKey(fbs[0], 1, 9, "K9");
  disk::SetFileHooks(nullptr);
  EXPECT_EQ(IsamError, 10003);
  EXPECT_EQ(IsamErrorClass(), 3);
  EXPECT_EQ(FileLen(fbs[1]), 1);
  PutRec(fbs[3], 1, Rec("no").data(), 0);
  EXPECT_EQ(IsamError, 10003);
  CommitTransaction();
  EXPECT_EQ(IsamError, 10003);
  EXPECT_EQ(Difference(Files(), before), "");
  // ... and RollbackTransaction ends a failed one quietly.
  CloseAll(fbs);
  fbs = OpenAll();
  BeginTransaction();
  disk::SetFileHooks(&faults);
  faults.Arm(disk::FileOp::Read, 1, EIO);
  DeleteKey(fbs[0], 1, 1, "K1");
  disk::SetFileHooks(nullptr);
  EXPECT_EQ(IsamError, 10004);
  RollbackTransaction();
  EXPECT_TRUE(IsamOK);
  EXPECT_FALSE(InTransaction());
  EXPECT_EQ(Found(fbs[0], 1, "K1"), 1);

  // Closing a block that took part rolls the transaction back (10160), the other blocks' part
  // with it.
  BeginTransaction();
  Change(fbs);
  CloseFileBlock(fbs[1]);
  EXPECT_EQ(IsamError, 10160);
  EXPECT_EQ(fbs[1], nullptr);
  EXPECT_EQ(Found(fbs[0], 1, "NEW"), 0);
  CommitTransaction();
  EXPECT_EQ(IsamError, 10160);
  EXPECT_EQ(Difference(Files(), before), "");
  fbs[1] = Open("B");

  // The blocks of one transaction share a folder (where the transaction file goes).
  TempDir other;
  Workload::Create((other / "X").string());
  FileBlock* x = nullptr;
  OpenFileBlock(x, (other / "X").string(), false, false, true, false);
  BeginTransaction();
  AddRec(fbs[0], r, Rec("here").data());
  EXPECT_TRUE(IsamOK);
  AddRec(x, r, Rec("there").data());
  EXPECT_EQ(IsamError, 10140);
  RollbackTransaction();
  CloseFileBlock(x);

  // Stopping the engine rolls back an open transaction.
  BeginTransaction();
  Change(fbs);
  ExitIsam();
  EXPECT_TRUE(IsamOK);
  EXPECT_FALSE(InTransaction());
  EXPECT_EQ(Difference(Files(), before), "");
}

TEST_F(TransactionTest, EveryFailedFileCallOfACommitRollsBackExactly) {
  TxnWorkload::Create(Names());
  auto fbs = OpenAll();
  Fill(fbs);
  CloseAll(fbs);
  const auto before = Files();
  const std::string before_state = TxnWorkload::Snapshot(Names());
  auto commit = [&] {
    BeginTransaction();
    Change(fbs);
    CommitTransaction();
  };
  fbs = OpenAll();
  disk::FaultInjector faults;
  disk::SetFileHooks(&faults);
  faults.Arm(disk::FileOp::Write, 0, 0);
  commit();
  ASSERT_TRUE(IsamOK) << IsamError;
  disk::SetFileHooks(nullptr);
  const disk::FileOp ops[] = {disk::FileOp::Write, disk::FileOp::Flush, disk::FileOp::Truncate,
                              disk::FileOp::Create, disk::FileOp::Delete, disk::FileOp::Read};
  std::vector<int> counts;
  for (disk::FileOp op : ops) counts.push_back(faults.Seen(op));
  CloseAll(fbs);
  const auto after = Files();
  const std::string after_state = TxnWorkload::Snapshot(Names());
  // The transaction file is made (block list, commit chunk) and deleted.
  ASSERT_EQ(counts[3], 1);
  ASSERT_EQ(counts[4], 1);

  int failures = 0;
  for (std::size_t o = 0; o < std::size(ops); ++o) {
    for (int nth = 1; nth <= counts[o]; ++nth) {
      for (bool sticky : {false, true}) {
        SCOPED_TRACE("call " + std::to_string(o) + "/" + std::to_string(nth) + (sticky ? " sticky" : ""));
        Put(before);
        fbs = OpenAll();
        disk::SetFileHooks(&faults);
        faults.Arm(ops[o], nth, EIO, false, sticky);
        commit();
        disk::SetFileHooks(nullptr);
        ASSERT_TRUE(faults.Fired());
        ++failures;
        if (sticky || IsamOK) {
          // The repair failed too (10180), or had nothing to do, or the failure came after the
          // commit was complete (the transaction file could not be deleted): the next open
          // settles what is left.
          EXPECT_TRUE(IsamOK || IsamError == 10180 || IsamErrorClass() == 3) << IsamError;
          bool done = IsamOK;
          CloseAll(fbs);
          fbs = OpenAll();
          EXPECT_EQ(Leftovers(), "");
          CloseAll(fbs);
          std::string now = TxnWorkload::Snapshot(Names());
          EXPECT_TRUE(now == after_state || (!done && now == before_state)) << now;
          continue;
        }
        // The repair code of the first changing call (AddRec), or of the call whose read failed.
        if (ops[o] != disk::FileOp::Read) {
          EXPECT_EQ(IsamError, 10001);
        }
        EXPECT_EQ(IsamErrorClass(), 3);
        EXPECT_FALSE(InTransaction());
        EXPECT_EQ(Difference(Files(), before), "");
        // The blocks go on working.
        commit();
        EXPECT_TRUE(IsamOK) << IsamError;
        CloseAll(fbs);
        EXPECT_EQ(Difference(Files(), after), "");
      }
    }
  }
  EXPECT_GT(failures, 60);
}

// Transactions of the workload over four blocks, with the states after each.
class TxnRecoveryTest : public TransactionTest {
 protected:
  std::vector<std::string> Reference(const std::map<std::string, std::string>& base, std::uint32_t seed, int n) {
    Put(base);
    std::vector<std::string> states{TxnWorkload::Snapshot(Names())};
    TxnWorkload w(seed);
    for (int i = 0; i < n; ++i) {
      auto fbs = OpenAll();
      EXPECT_TRUE(w.Transaction(fbs)) << IsamError;
      CloseAll(fbs);
      states.push_back(TxnWorkload::Snapshot(Names()));
    }
    return states;
  }
  std::map<std::string, std::string> Base() {
    TxnWorkload::Create(Names());
    auto fbs = OpenAll();
    TxnWorkload warm(99);
    for (int i = 0; i < 150; ++i) EXPECT_TRUE(warm.Transaction(fbs));
    CloseAll(fbs);
    return Files();
  }
};

TEST_F(TxnRecoveryTest, PowerLossInACommitGivesTheStateBeforeOrAfter) {
  constexpr int kTxns = 40;
  constexpr std::uint32_t kSeed = 21;
  const auto base = Base();
  const std::vector<std::string> states = Reference(base, kSeed, kTxns);

  // Before each transaction: the files and the workload. Then how many writes, truncates,
  // flushes, creations and deletions the transaction makes, and whether it spans blocks
  // (writes more than one journal).
  struct Counter : PowerLoss {
    std::set<std::string> journals;
    void After(const disk::FileEvent& e) override {
      PowerLoss::After(e);
      if (e.op == disk::FileOp::Write && e.path.ends_with(".DIA")) journals.insert(e.path);
    }
  };
  std::vector<std::map<std::string, std::string>> files;
  std::vector<TxnWorkload> workloads;
  std::vector<int> events;
  std::vector<bool> spans;
  {
    Put(base);
    TxnWorkload w(kSeed);
    for (int i = 0; i < kTxns; ++i) {
      files.push_back(Files());
      workloads.push_back(w);
      Counter counter;
      auto fbs = OpenAll();
      disk::SetFileHooks(&counter);
      w.Transaction(fbs);
      disk::SetFileHooks(nullptr);
      CloseAll(fbs);
      events.push_back(counter.events);
      spans.push_back(counter.journals.size() > 1);
    }
  }

  std::mt19937 rng(5);
  int crashes = 0, only_repair = 0;
  for (int trial = 0; trial < 360; ++trial) {
    auto t = static_cast<std::size_t>(rng() % kTxns);
    int at = 1 + static_cast<int>(rng() % static_cast<unsigned>(events[t]));
    SCOPED_TRACE("transaction " + std::to_string(t) + " event " + std::to_string(at));
    Put(files[t]);
    auto fbs = OpenAll();
    TxnWorkload w = workloads[t];
    PowerLoss disk_;
    disk_.Watch(dir.path());
    disk_.crash_at = at;
    disk::SetFileHooks(&disk_);
    w.Transaction(fbs);
    ASSERT_TRUE(disk_.crashed);
    CloseAll(fbs);
    disk::SetFileHooks(nullptr);
    ++crashes;
    disk_.Materialize(rng);

    if (trial % 6 == 5) {
      // A program that knows only the journal repair: every block passes the check by itself.
      for (const auto& e : fs::directory_iterator(dir.path()))
        if (e.path().extension() == ".TXN") fs::remove(e.path());
      for (FileBlock*& fb : fbs = OpenAll()) ASSERT_NE(fb, nullptr) << IsamError;
      CloseAll(fbs);
      for (const std::string& n : Names()) ASSERT_TRUE(CheckBlock(n).ok) << n << ": " << CheckBlock(n).message;
      ++only_repair;
      continue;
    }
    // The first block opened, whichever it is, settles a transaction over several blocks for
    // all of them (one of a single block is its journal, repaired at that block's open).
    const char* leaves[] = {"A", "B", "C", "N"};
    FileBlock* first = Open(leaves[rng() % 4]);
    ASSERT_NE(first, nullptr) << IsamError;
    if (spans[t]) {
      EXPECT_EQ(Leftovers(), "");
    }
    CloseFileBlock(first);
    CloseAll(fbs = OpenAll());
    EXPECT_EQ(Leftovers(), "");
    std::string now = TxnWorkload::Snapshot(Names());
    ASSERT_TRUE(now == states[t] || now == states[t + 1]) << now.substr(0, 300);
  }
  EXPECT_EQ(crashes - only_repair, 300);
}

TEST_F(TxnRecoveryTest, KilledProcessLosesNoCommittedTransaction) {
  constexpr int kTxns = 600;
  constexpr std::uint32_t kSeed = 8;
  const auto base = Base();
  const std::vector<std::string> states = Reference(base, kSeed, kTxns);

  std::mt19937 rng(17);
  int kills = 0;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  for (int trial = 0; kills < 100 && trial < 400 && std::chrono::steady_clock::now() < deadline; ++trial) {
    Put(base);
    int pipefd[2];
    ASSERT_EQ(pipe(pipefd), 0);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      close(pipefd[0]);
      auto fbs = OpenAll();
      TxnWorkload w(kSeed);
      for (std::int32_t i = 1; i <= kTxns; ++i) {
        if (!w.Transaction(fbs)) _exit(3);
        if (write(pipefd[1], &i, sizeof i) != sizeof i) _exit(4);
      }
      CloseAll(fbs);
      _exit(0);
    }
    close(pipefd[1]);
    std::this_thread::sleep_for(std::chrono::microseconds(500 + rng() % 40000));
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    std::int32_t done = 0, n;
    while (read(pipefd[0], &n, sizeof n) == sizeof n) done = n;
    close(pipefd[0]);
    if (!WIFSIGNALED(status)) {
      ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
      continue;  // finished before the kill
    }
    if (done == kTxns) continue;
    ++kills;
    SCOPED_TRACE("killed after transaction " + std::to_string(done));
    auto fbs = OpenAll();
    for (FileBlock* fb : fbs) ASSERT_NE(fb, nullptr) << IsamError;
    CloseAll(fbs);
    EXPECT_EQ(Leftovers(), "");
    std::string now = TxnWorkload::Snapshot(Names());
    ASSERT_TRUE(now == states[static_cast<std::size_t>(done)] || now == states[static_cast<std::size_t>(done) + 1])
        << now.substr(0, 300);
  }
  EXPECT_GE(kills, 100);
}

}  // namespace
}  // namespace olbrax::test

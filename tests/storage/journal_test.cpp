// The journal: hand-made journals, I/O failures in every write, flush and truncate of the
// changing operations, and the order of writes and flushes.
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <random>
#include <set>

#include "storage/block_check.h"
#include "storage/disk_file.h"
#include "storage/file_hooks.h"
#include "storage/layout.h"
#include "storage_fixture.h"

namespace olbrax::test {
namespace {

using namespace olbrax::isam;

class JournalTest : public StorageTest {
 protected:
  std::map<std::string, std::string> Files() {
    std::map<std::string, std::string> out;
    for (const char* ext : {".DAT", ".IX", ".DIA"}) {
      std::filesystem::path p = dir / ("BLOCK" + std::string(ext));
      if (std::filesystem::exists(p)) out[ext] = ReadFileBytes(p);
    }
    return out;
  }
  void Restore(const std::map<std::string, std::string>& files) {
    for (const auto& [ext, bytes] : files) WriteFileBytes(dir / ("BLOCK" + ext), bytes);
  }
  std::int32_t Key(FileBlock* fb, int k, const std::string& key) {
    std::int32_t r = 0;
    FindKey(fb, k, r, key);
    return IsamOK ? r : 0;
  }
};

// Where two sets of files differ, in a line; empty when they are the same.
std::string Difference(const std::map<std::string, std::string>& a, const std::map<std::string, std::string>& b) {
  for (const auto& [ext, bytes] : b) {
    auto it = a.find(ext);
    if (it == a.end()) return ext + " missing";
    const std::string& got = it->second;
    if (got.size() != bytes.size())
      return ext + " has " + std::to_string(got.size()) + " bytes, not " + std::to_string(bytes.size());
    auto [x, y] = std::mismatch(got.begin(), got.end(), bytes.begin());
    if (x != got.end()) return ext + " differs at byte " + std::to_string(x - got.begin());
  }
  return a.size() == b.size() ? "" : "another file appeared";
}

std::string Le16(int v) { return std::string{static_cast<char>(v & 255), static_cast<char>(v >> 8 & 255)}; }
std::string Le32(std::int32_t v) {
  std::string s(4, '\0');
  std::memcpy(s.data(), &v, 4);
  return s;
}

TEST_F(JournalTest, HandMadeJournals) {
  FileBlock* fb = Make(24, {{4, 0}});
  std::int32_t n;
  AddRec(fb, n, std::string(24, 'a').data());
  AddKey(fb, 1, n, "AAAA");
  CloseFileBlock(fb);
  std::map<std::string, std::string> clean = Files();
  ASSERT_EQ(clean[".DIA"], std::string(1, '\0'));

  // A header entry that says the data file had no records, then the end tag, then rubbish:
  // the replay stops at the end tag.
  std::string data_header = Le32(-1) + Le32(0) + Le32(0) + Le32(24) + Le32(1) + std::string(8, '\0');
  std::string entry = Le16(1000) + Le16(0) + data_header + Le32(-2);
  ASSERT_EQ(entry.size(), 36u);
  WriteFileBytes(dir / "BLOCK.DIA", std::string(1, '\0') + entry + Le16(2000) + "rubbish");
  fb = Open();
  ASSERT_NE(fb, nullptr);
  EXPECT_EQ(FileLen(fb), 1);
  EXPECT_EQ(ReadFileBytes(dir / "BLOCK.DIA").size(), 1u);
  CloseFileBlock(fb);
  EXPECT_TRUE(CheckBlock(Name()).ok);

  // A page entry puts a page back at its place: one item "ZZ" for record 7 on page 1.
  Restore(clean);
  std::string item = Le32(7) + Le32(0) + std::string(1, 2) + std::string("ZZ\0\0", 4);
  std::string page_entry = Le16(1) + Le16(1) + Le16(0) + item + Le32(1) + Le32(0);
  WriteFileBytes(dir / "BLOCK.DIA", std::string(1, '\0') + page_entry);
  fb = Open();
  ASSERT_NE(fb, nullptr);
  EXPECT_EQ(Key(fb, 1, "ZZ"), 7);
  EXPECT_EQ(Key(fb, 1, "AAAA"), 0);
  CloseFileBlock(fb);

  // An unknown tag: the repair fails and the block stays closed, its journal kept.
  Restore(clean);
  WriteFileBytes(dir / "BLOCK.DIA", std::string(1, '\0') + Le16(999) + std::string(40, 'x'));
  OpenFileBlock(fb, Name(), false, false, true, false);
  EXPECT_EQ(IsamError, 10180);
  EXPECT_EQ(fb, nullptr);
  EXPECT_EQ(ReadFileBytes(dir / "BLOCK.DIA").size(), 43u);

  // Read-only, a journal with entries cannot be replayed.
  WriteFileBytes(dir / "BLOCK.DIA", std::string(1, '\0') + entry);
  OpenFileBlock(fb, Name(), true, false, false, false);
  EXPECT_EQ(IsamError, 10440);
  // Byte 0 and the end tag count as an empty journal.
  WriteFileBytes(dir / "BLOCK.DIA", std::string(1, '\0') + Le16(2000));
  fb = Open();
  ASSERT_NE(fb, nullptr);
  EXPECT_EQ(Key(fb, 1, "AAAA"), 1);
  CloseFileBlock(fb);
}

// A changing operation on a block prepared by `prepare`, with the status it reports when an
// I/O failure is repaired.
struct Scenario {
  const char* name;
  std::function<void(FileBlock*)> prepare;
  std::function<void(FileBlock*)> op;
  int repaired;
};

std::string Num(int i) {
  char k[8];
  std::snprintf(k, sizeof k, "%05d", i);
  return k;
}

std::vector<Scenario> Scenarios() {
  auto records = [](int n) {
    return [n](FileBlock* fb) {
      for (int i = 0; i < n; ++i) {
        std::int32_t r;
        AddRec(fb, r, std::string(40, static_cast<char>('a' + i % 26)).data());
      }
    };
  };
  auto keys = [](int from, int to) {
    return [from, to](FileBlock* fb) {
      for (int i = from; i <= to; ++i) AddKey(fb, 1, i, Num(i));
    };
  };
  auto add_rec = [](FileBlock* fb) {
    std::int32_t r;
    AddRec(fb, r, std::string(40, 'N').data());
  };
  return {
      {"AddRec at the end", records(3), add_rec, 10001},
      {"AddRec from the free chain",
       [=](FileBlock* fb) {
         records(5)(fb);
         DeleteRec(fb, 2);
         DeleteRec(fb, 4);
       },
       add_rec, 10001},
      {"DeleteRec", records(4), [](FileBlock* fb) { DeleteRec(fb, 3); }, 10002},
      {"AddKey into a leaf", keys(1, 10), [](FileBlock* fb) { AddKey(fb, 1, 99, "00005x"); }, 10003},
      {"AddKey splitting the root", keys(1, 62), [](FileBlock* fb) { AddKey(fb, 1, 63, Num(63)); }, 10003},
      {"AddKey redistributing",
       keys(1, 80), [](FileBlock* fb) { AddKey(fb, 1, 500, Num(10) + "a"); }, 10003},
      {"AddKey splitting with pages from the free chain",
       [=](FileBlock* fb) {
         keys(1, 63)(fb);
         for (int i = 1; i <= 63; ++i) DeleteKey(fb, 1, i, Num(i));
         keys(1, 62)(fb);
       },
       [](FileBlock* fb) { AddKey(fb, 1, 63, Num(63)); }, 10003},
      {"DeleteKey from a leaf", keys(1, 10), [](FileBlock* fb) { DeleteKey(fb, 1, 4, Num(4)); }, 10004},
      {"DeleteKey merging into the root", keys(1, 63), [](FileBlock* fb) { DeleteKey(fb, 1, 1, Num(1)); }, 10004},
      {"DeleteKey borrowing", keys(1, 70), [](FileBlock* fb) { DeleteKey(fb, 1, 2, Num(2)); }, 10004},
      {"DeleteKey of an inner item", keys(1, 100), [](FileBlock* fb) { DeleteKey(fb, 1, 32, Num(32)); }, 10004},
  };
}

TEST_F(JournalTest, EveryFailedWriteFlushOrTruncateIsRepairedExactly) {
  disk::FaultInjector faults;
  int failures = 0;
  for (const Scenario& s : Scenarios()) {
    SCOPED_TRACE(s.name);
    FileBlock* fb = Make(40, {{6, 0}});
    s.prepare(fb);
    ASSERT_TRUE(IsamOK) << IsamError;
    CloseFileBlock(fb);
    const auto before = Files();

    // Count the calls of the operation, then fail each in turn.
    fb = Open();
    disk::SetFileHooks(&faults);
    faults.Arm(disk::FileOp::Write, 0, 0);
    s.op(fb);
    ASSERT_TRUE(IsamOK) << IsamError;
    disk::SetFileHooks(nullptr);
    const int counts[] = {faults.Seen(disk::FileOp::Write), faults.Seen(disk::FileOp::Flush),
                          faults.Seen(disk::FileOp::Truncate)};
    CloseFileBlock(fb);
    ASSERT_GE(counts[1], 3);  // journal, data or index, empty journal

    const disk::FileOp ops[] = {disk::FileOp::Write, disk::FileOp::Flush, disk::FileOp::Truncate};
    for (int o = 0; o < 3; ++o) {
      for (int nth = 1; nth <= counts[o]; ++nth) {
        for (bool sticky : {false, true}) {
          SCOPED_TRACE("call " + std::to_string(o) + "/" + std::to_string(nth) + (sticky ? " sticky" : ""));
          Restore(before);
          fb = Open();
          disk::SetFileHooks(&faults);
          faults.Arm(ops[o], nth, EIO, false, sticky);
          s.op(fb);
          disk::SetFileHooks(nullptr);
          ASSERT_TRUE(faults.Fired());
          ++failures;
          if (sticky) {
            EXPECT_EQ(IsamError, 10180);
            // The next open repairs what the failed repair left.
            CloseFileBlock(fb);
            fb = Open();
            ASSERT_NE(fb, nullptr);
            CloseFileBlock(fb);
            EXPECT_TRUE(CheckBlock(Name()).ok) << CheckBlock(Name()).message;
            continue;
          }
          EXPECT_EQ(IsamError, s.repaired);
          EXPECT_EQ(IsamErrorClass(), 3);
          EXPECT_EQ(Difference(Files(), before), "");
          // The block goes on working after the repair.
          s.op(fb);
          EXPECT_TRUE(IsamOK) << IsamError;
          CloseFileBlock(fb);
          EXPECT_TRUE(CheckBlock(Name()).ok) << CheckBlock(Name()).message;
        }
      }
    }
  }
  EXPECT_GT(failures, 100);
}

// A repair that failed leaves the journal full; a block that stays open and goes on must not
// write its next entries over the old ones (a crash would then replay both, the old before-images
// over newer pages): the old journal is replayed first.
TEST_F(JournalTest, AJournalLeftByAFailedRepairIsReplayedBeforeTheNextChange) {
  FileBlock* fb = Make(40, {{6, 0}});
  for (int i = 1; i <= 80; ++i) {
    std::int32_t r;
    AddRec(fb, r, std::string(40, 'r').data());
    AddKey(fb, 1, r, Num(i));
  }
  disk::FaultInjector faults;
  disk::SetFileHooks(&faults);
  faults.Arm(disk::FileOp::Flush, 2, EIO, false, true);  // the data flush, then everything
  std::int32_t r = 0;
  AddRec(fb, r, std::string(40, 'x').data());
  disk::SetFileHooks(nullptr);
  ASSERT_EQ(IsamError, 10180);
  ASSERT_GT(ReadFileBytes(dir / "BLOCK.DIA").size(), 1u);

  DeleteKey(fb, 1, 5, Num(5));
  ASSERT_TRUE(IsamOK) << IsamError;
  EXPECT_EQ(ReadFileBytes(dir / "BLOCK.DIA").size(), 1u);
  EXPECT_EQ(UsedRecs(fb), 80);
  EXPECT_EQ(Key(fb, 1, Num(5)), 0);
  EXPECT_EQ(Key(fb, 1, Num(6)), 6);
  CloseFileBlock(fb);
  EXPECT_TRUE(CheckBlock(Name()).ok) << CheckBlock(Name()).message;
  // The record of the failed AddRec is not there: the replay put the header back.
  fb = Open();
  EXPECT_EQ(UsedRecs(fb), 80);
  EXPECT_EQ(FileLen(fb), 81);
  CloseFileBlock(fb);
}

// Watches the order of writes and flushes of one block's files.
class OrderChecker : public disk::FileHooks {
 public:
  void After(const disk::FileEvent& e) override {
    bool journal = e.path.ends_with(".DIA");
    switch (e.op) {
      case disk::FileOp::Write:
        if (journal) {
          journal_unflushed_ = true;
          journal_size_ = std::max<std::int64_t>(journal_size_, e.offset + static_cast<std::int64_t>(e.len));
        } else {
          if (journal_unflushed_ || journal_size_ <= 1) ++uncovered;
          unflushed_.insert(e.path);
        }
        break;
      case disk::FileOp::Truncate:
        if (journal) {
          if (e.offset <= 1 && !unflushed_.empty()) ++early_empties;
          journal_size_ = e.offset;
        } else {
          unflushed_.insert(e.path);
        }
        break;
      case disk::FileOp::Flush:
        if (journal) journal_unflushed_ = false;
        else unflushed_.erase(e.path);
        break;
      default:
        break;
    }
  }
  int uncovered = 0;
  int early_empties = 0;

 private:
  bool journal_unflushed_ = false;
  std::int64_t journal_size_ = 1;
  std::set<std::string> unflushed_;
};

TEST_F(JournalTest, WritesFollowTheJournalFlushAndPrecedeItsEmptying) {
  FileBlock* fb = Make(40, {{6, 0}, {3, 1}});
  OrderChecker order;
  disk::SetFileHooks(&order);
  std::mt19937 rng(7);
  std::vector<std::int32_t> live;
  for (int i = 0; i < 3000; ++i) {
    if (live.size() < 200 || rng() % 2) {
      std::int32_t r;
      AddRec(fb, r, std::string(40, 'r').data());
      AddKey(fb, 1, r, Num(static_cast<int>(rng() % 100000)));
      if (IsamError == 10230) continue;
      AddKey(fb, 2, r, Num(static_cast<int>(rng() % 100)).substr(2));
      live.push_back(r);
    } else {
      std::size_t at = rng() % live.size();
      DeleteRec(fb, live[at]);
      live.erase(live.begin() + static_cast<long>(at));
    }
    ASSERT_TRUE(IsamOK || IsamError == 10230) << IsamError;
  }
  disk::SetFileHooks(nullptr);
  CloseFileBlock(fb);
  EXPECT_EQ(order.uncovered, 0);
  EXPECT_EQ(order.early_empties, 0);
}

}  // namespace
}  // namespace olbrax::test

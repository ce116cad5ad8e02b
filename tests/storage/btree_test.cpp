// Key order, the key operations, and a long seeded run against an ordered model.
#include <map>
#include <optional>
#include <random>
#include <set>

#include "storage/block_check.h"
#include "storage/disk_file.h"
#include "storage/layout.h"
#include "storage_fixture.h"

namespace olbrax::test {
namespace {

using namespace olbrax::isam;

class KeyTest : public StorageTest {
 protected:
  std::vector<std::pair<Text, std::int32_t>> All(FileBlock* fb, int k) {
    std::vector<std::pair<Text, std::int32_t>> out;
    ClearKey(fb, k);
    std::int32_t r = 0;
    Text key;
    for (;;) {
      NextKey(fb, k, r, key);
      if (!IsamOK) break;
      out.emplace_back(key, r);
    }
    EXPECT_EQ(IsamError, 10250);
    return out;
  }
};

TEST(KeyOrder, BytesThenLength) {
  EXPECT_LT(CompareKeys("AB", "ABC"), 0);
  EXPECT_GT(CompareKeys("B", "ABC"), 0);
  EXPECT_GT(CompareKeys("a", "Z"), 0);
  EXPECT_GT(CompareKeys("\xC5", "Z"), 0);  // unsigned bytes: Å after Z
  EXPECT_EQ(CompareKeys("", ""), 0);
}

TEST_F(KeyTest, UniqueAndDuplicateIndexes) {
  FileBlock* fb = Make(21, {{5, 0}, {5, 1}});
  AddKey(fb, 1, 1, "ABC");
  EXPECT_TRUE(IsamOK);
  AddKey(fb, 1, 2, "ABC");
  EXPECT_EQ(IsamError, 10230);
  AddKey(fb, 1, 2, "ABCDEF");
  EXPECT_EQ(IsamError, 10125);
  AddKey(fb, 2, 5, "ABC");
  AddKey(fb, 2, 3, "ABC");
  EXPECT_TRUE(IsamOK);
  AddKey(fb, 2, 3, "ABC");
  EXPECT_EQ(IsamError, 10230);
  auto dups = All(fb, 2);
  ASSERT_EQ(dups.size(), 2u);
  EXPECT_EQ(dups[0].second, 3);
  EXPECT_EQ(dups[1].second, 5);

  std::int32_t r = 0;
  FindKey(fb, 2, r, "ABC");
  EXPECT_EQ(r, 3);  // the smallest record number
  FindKey(fb, 1, r, "AB");
  EXPECT_EQ(IsamError, 10200);
  FindKey(fb, 2, r, "AB");
  EXPECT_EQ(IsamError, 10200);
  Text key = "AB";
  SearchKey(fb, 1, r, key);
  EXPECT_TRUE(IsamOK);
  EXPECT_EQ(key, "ABC");
  key = "B";
  SearchKey(fb, 1, r, key);
  EXPECT_EQ(IsamError, 10210);

  // In a unique index the record number is not compared when deleting.
  DeleteKey(fb, 1, 99, "ABC");
  EXPECT_TRUE(IsamOK);
  DeleteKey(fb, 1, 1, "ABC");
  EXPECT_EQ(IsamError, 10220);
  DeleteKey(fb, 2, 4, "ABC");
  EXPECT_EQ(IsamError, 10220);
  AddKey(fb, 0, 1, "X");
  EXPECT_EQ(IsamError, 10164);
  AddKey(fb, 3, 1, "X");
  EXPECT_EQ(IsamError, 10164);
  CloseFileBlock(fb);
  EXPECT_TRUE(CheckBlock(Name()).ok);
}

TEST_F(KeyTest, WalkWrapsAndFollowsChanges) {
  FileBlock* fb = Make(21, {{4, 0}});
  for (int i = 1; i <= 5; ++i) AddKey(fb, 1, i, Text(1, static_cast<char>('A' + i - 1)));
  ClearKey(fb, 1);
  std::int32_t r;
  Text key;
  for (int i = 0; i < 5; ++i) NextKey(fb, 1, r, key);
  EXPECT_EQ(key, "E");
  NextKey(fb, 1, r, key);
  EXPECT_EQ(IsamError, 10250);
  NextKey(fb, 1, r, key);
  EXPECT_EQ(key, "A");  // past the end, the walk starts again

  // Deleting the current entry: the walk goes on with the one that followed it.
  NextKey(fb, 1, r, key);
  EXPECT_EQ(key, "B");
  DeleteKey(fb, 1, 2, "B");
  NextKey(fb, 1, r, key);
  EXPECT_TRUE(IsamOK);
  EXPECT_EQ(key, "C");
  // A key added before the position is not visited; one after it is.
  AddKey(fb, 1, 9, "AA");
  AddKey(fb, 1, 10, "CC");
  NextKey(fb, 1, r, key);
  EXPECT_EQ(key, "CC");
  CloseFileBlock(fb);
}

TEST_F(KeyTest, RootSplitShapeAndEmptying) {
  FileBlock* fb = Make(21, {{3, 0}});
  for (int i = 1; i <= 63; ++i) {
    char k[4];
    std::snprintf(k, sizeof k, "%03d", i);
    AddKey(fb, 1, i, k);
    ASSERT_TRUE(IsamOK);
  }
  CloseFileBlock(fb);
  std::string dump, error;
  ASSERT_TRUE(DumpBlock(Name(), 1, dump, error));
  EXPECT_NE(dump.find("pages 3, root 3, keys 63"), std::string::npos) << dump;
  std::string ix = ReadFileBytes(File("BLOCK.IX"));
  const std::size_t row = static_cast<std::size_t>(PageSizeFor(3));
  EXPECT_EQ(static_cast<unsigned char>(ix[3 * row]), 1);  // the new root: one item, "032"
  EXPECT_EQ(ix.substr(3 * row + 6 + 9, 3), "032");
  EXPECT_EQ(static_cast<unsigned char>(ix[1 * row]), 31);
  EXPECT_EQ(static_cast<unsigned char>(ix[2 * row]), 31);
  EXPECT_TRUE(CheckBlock(Name()).ok);

  fb = Open();
  for (int i = 1; i <= 63; ++i) {
    char k[4];
    std::snprintf(k, sizeof k, "%03d", i);
    DeleteKey(fb, 1, i, k);
    ASSERT_TRUE(IsamOK) << i;
  }
  CloseFileBlock(fb);
  dump.clear();
  ASSERT_TRUE(DumpBlock(Name(), 0, dump, error));
  EXPECT_NE(dump.find("pages 3, root 0, keys 0"), std::string::npos) << dump;
  EXPECT_NE(dump.find("free 3"), std::string::npos) << dump;
  EXPECT_TRUE(CheckBlock(Name()).ok);
  // Freed pages are used again before the file grows.
  fb = Open();
  for (int i = 1; i <= 100; ++i) AddKey(fb, 1, i, std::to_string(1000 - i).substr(0, 3));
  CloseFileBlock(fb);
  dump.clear();
  ASSERT_TRUE(DumpBlock(Name(), 0, dump, error));
  EXPECT_NE(dump.find("pages 3,"), std::string::npos) << dump;
  EXPECT_TRUE(CheckBlock(Name()).ok);
}

TEST_F(KeyTest, CheckFindsAlteredPages) {
  FileBlock* fb = Make(21, {{6, 0}});
  for (int i = 1; i <= 200; ++i) AddKey(fb, 1, i, "K" + std::to_string(i * 7919 % 100000));
  CloseFileBlock(fb);
  ASSERT_TRUE(CheckBlock(Name()).ok);
  std::string ix = ReadFileBytes(File("BLOCK.IX"));
  std::string bad = ix;
  std::size_t page1 = static_cast<std::size_t>(PageSizeFor(6));
  std::swap_ranges(bad.begin() + static_cast<long>(page1 + 6), bad.begin() + static_cast<long>(page1 + 6 + 15),
                   bad.begin() + static_cast<long>(page1 + 6 + 2 * 15));  // items 1 and 3 change places
  WriteFileBytes(File("BLOCK.IX"), bad);
  CheckResult r = CheckBlock(Name());
  EXPECT_FALSE(r.ok);
  bad = ix;
  bad[page1] = 70;  // an item count a page cannot hold
  WriteFileBytes(File("BLOCK.IX"), bad);
  r = CheckBlock(Name());
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.message.find("page 1"), std::string::npos) << r.message;
}

// A long seeded run of random operations checked step by step against an ordered model.
struct Model {
  bool dups;
  std::set<std::pair<std::string, std::int32_t>> entries;
  // NextKey returns the first entry after `pos` (the whole entry in a duplicate index, the key
  // alone in a unique one); none = before the first entry.
  std::optional<std::pair<std::string, std::int32_t>> pos;

  auto After(const std::pair<std::string, std::int32_t>& p) const {
    return dups ? entries.upper_bound(p)
                : entries.lower_bound({p.first, std::numeric_limits<std::int32_t>::max()});
  }
  auto FindUnique(const std::string& key) const {
    auto it = entries.lower_bound({key, std::numeric_limits<std::int32_t>::min()});
    return it != entries.end() && it->first == key ? it : entries.end();
  }
};

void RunModel(FileBlock* fb, int key_len, bool dups, std::uint32_t seed, int steps, int universe) {
  std::mt19937 rng(seed);
  Model m{dups, {}, std::nullopt};
  ClearKey(fb, 1);
  auto random_key = [&] {
    int len = static_cast<int>(rng() % static_cast<unsigned>(key_len + 1));
    std::string s;
    unsigned v = rng() % static_cast<unsigned>(universe);
    for (int i = 0; i < len; ++i) {
      s += static_cast<char>("ABCDEFGHIJKLMNOPQRSTUVWXYZ\xC5\xC4\xD6"[v % 29]);
      v = v / 29 + 7 * static_cast<unsigned>(i);
    }
    return s;
  };
  auto random_rec = [&] { return static_cast<std::int32_t>(1 + rng() % 40); };
  std::int32_t rec = 0;
  Text key;
  for (int step = 0; step < steps; ++step) {
    SCOPED_TRACE("seed " + std::to_string(seed) + " step " + std::to_string(step));
    unsigned op = rng() % 100;
    // Insert more than delete while small, less while large, so the tree grows and shrinks.
    unsigned add_share = m.entries.size() < static_cast<std::size_t>(universe) / 2 ? 45 : 25;
    if (op < add_share) {
      std::string k = random_key();
      std::int32_t r = random_rec();
      bool exists = dups ? m.entries.count({k, r}) > 0 : m.FindUnique(k) != m.entries.end();
      AddKey(fb, 1, r, k);
      if (exists) {
        ASSERT_EQ(IsamError, 10230);
      } else {
        ASSERT_TRUE(IsamOK) << IsamError;
        m.entries.insert({k, r});
      }
    } else if (op < 55) {
      // Delete an existing entry most of the time.
      std::pair<std::string, std::int32_t> e{random_key(), random_rec()};
      if (!m.entries.empty() && rng() % 4 != 0) {
        auto it = m.entries.lower_bound(e);
        if (it == m.entries.end()) it = m.entries.begin();
        e = *it;
      }
      auto found = dups ? m.entries.find(e) : m.FindUnique(e.first);
      DeleteKey(fb, 1, e.second, e.first);
      if (found == m.entries.end()) {
        ASSERT_EQ(IsamError, 10220);
      } else {
        ASSERT_TRUE(IsamOK) << IsamError;
        m.entries.erase(found);
      }
    } else if (op < 65) {
      std::string k = random_key();
      std::int32_t r = -7;
      FindKey(fb, 1, r, k);
      auto it = m.entries.lower_bound({k, std::numeric_limits<std::int32_t>::min()});
      if (it != m.entries.end() && it->first == k) {
        ASSERT_TRUE(IsamOK);
        ASSERT_EQ(r, it->second);
        m.pos = *it;
      } else {
        ASSERT_EQ(IsamError, 10200);
        m.pos = std::make_pair(k, 0);
      }
      key = m.pos->first;
      rec = m.pos->second;
    } else if (op < 75) {
      key = random_key();
      SearchKey(fb, 1, rec, key);
      auto it = m.entries.lower_bound({std::string(key), std::numeric_limits<std::int32_t>::min()});
      if (it == m.entries.end()) {
        ASSERT_EQ(IsamError, 10210);
        m.pos.reset();
      } else {
        ASSERT_TRUE(IsamOK);
        ASSERT_EQ(std::make_pair(std::string(key), rec), *it);
        m.pos = *it;
      }
    } else if (op < 97) {
      NextKey(fb, 1, rec, key);
      auto it = m.pos ? m.After(*m.pos) : m.entries.begin();
      if (it == m.entries.end()) {
        ASSERT_EQ(IsamError, 10250);
        m.pos.reset();
      } else {
        ASSERT_TRUE(IsamOK) << IsamError;
        ASSERT_EQ(std::make_pair(std::string(key), rec), *it);
        m.pos = *it;
      }
    } else {
      ClearKey(fb, 1);
      m.pos.reset();
    }
  }
}

TEST_F(KeyTest, RandomOperationsAgreeWithModel) {
  struct Case {
    int key_len;
    bool dups;
    int universe;
  };
  // Small universes keep the trees a few levels deep and make them shrink back often, so that
  // splits, redistribution, borrowing, merging and root changes all happen many times.
  const Case cases[] = {{1, false, 29}, {2, true, 400}, {4, false, 3000},
                        {12, true, 2500}, {30, false, 4000}, {30, true, 1500}};
  std::uint32_t seed = 20261209;
  for (const Case& c : cases) {
    std::string leaf = "M" + std::to_string(c.key_len) + (c.dups ? "D" : "U");
    FileBlock* fb = Make(21, {{static_cast<std::uint8_t>(c.key_len), static_cast<std::uint8_t>(c.dups)}}, leaf);
    RunModel(fb, c.key_len, c.dups, seed++, 12000, c.universe);
    CloseFileBlock(fb);
    CheckResult r = CheckBlock(Name(leaf));
    EXPECT_TRUE(r.ok) << leaf << ": " << r.message;
    if (HasFatalFailure()) return;
  }
}

}  // namespace
}  // namespace olbrax::test

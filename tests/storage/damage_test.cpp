// Damaged headers and journals, made by hand: the engine reports them instead of following the
// numbers in them, never makes a file longer, and the check says what the repair will do.
#include <cstring>
#include <functional>
#include <filesystem>
#include <map>

#include "storage/block_check.h"
#include "storage/layout.h"
#include "storage_fixture.h"

namespace olbrax::test {
namespace {

using namespace olbrax::isam;

constexpr std::int32_t kHuge = 2147483647;
constexpr int kRecLen = 40;
constexpr int kKeyLen = 6;
constexpr std::int64_t kRow = PageSizeFor(kKeyLen);  // one index: a row is one page slot

std::string Le16(int v) { return std::string{static_cast<char>(v & 255), static_cast<char>(v >> 8 & 255)}; }
std::string Le32(std::int32_t v) {
  std::string s(4, '\0');
  std::memcpy(s.data(), &v, 4);
  return s;
}

std::string DataImage(std::int32_t first_free, std::int32_t free_count, std::int32_t num_recs) {
  return Le32(first_free) + Le32(free_count) + Le32(num_recs) + Le32(kRecLen) + Le32(1) + std::string(8, '\0');
}
std::string HeaderEntry(int part, const std::string& image, std::int32_t link) {
  return Le16(1000) + Le16(part) + image + Le32(link);
}
// A page entry of index 1 holding one item "A" for record 1.
std::string PageEntry(std::int32_t page) {
  std::string item = Le32(1) + Le32(0) + std::string(1, 1) + std::string("A") + std::string(kKeyLen - 1, '\0');
  return Le16(1) + Le16(1) + Le16(0) + item + Le32(page) + Le32(0);
}

class DamageTest : public StorageTest {
 protected:
  // A block of 200 records and keys (several index pages), with records 5 and 9 freed.
  void SetUp() override {
    StorageTest::SetUp();
    FileBlock* fb = Make(kRecLen, {{kKeyLen, 0}});
    for (int i = 1; i <= 200; ++i) {
      std::int32_t r;
      AddRec(fb, r, std::string(kRecLen, 'r').data());
      AddKey(fb, 1, r, "K" + std::to_string(i));
    }
    DeleteRec(fb, 5);
    DeleteRec(fb, 9);
    CloseFileBlock(fb);
    ASSERT_TRUE(CheckBlock(Name()).ok);
    clean_ = Files();
  }
  std::map<std::string, std::string> Files() const {
    std::map<std::string, std::string> out;
    for (const char* ext : {".DAT", ".IX", ".DIA"}) out[ext] = ReadFileBytes(File(std::string("BLOCK") + ext));
    return out;
  }
  void Restore() const {
    for (const auto& [ext, bytes] : clean_) WriteFileBytes(File("BLOCK" + ext), bytes);
  }
  void Patch(const std::string& ext, std::size_t at, const std::string& bytes) const {
    std::string f = ReadFileBytes(File("BLOCK" + ext));
    f.replace(at, bytes.size(), bytes);
    WriteFileBytes(File("BLOCK" + ext), f);
  }
  void Journal(const std::string& entries) const { WriteFileBytes(File("BLOCK.DIA"), std::string(1, '\0') + entries); }
  std::int32_t PageCount() const {
    std::int32_t v;
    std::memcpy(&v, clean_.at(".IX").data() + 8, 4);
    return v;
  }
  // Opens the block: the status, and (when it opened) the block closed again.
  int OpenStatus() {
    FileBlock* fb = nullptr;
    OpenFileBlock(fb, Name(), false, false, true, false);
    int status = IsamError;
    if (fb) CloseFileBlock(fb);
    return status;
  }
  std::uintmax_t Size(const std::string& ext) const { return std::filesystem::file_size(File("BLOCK" + ext)); }

  std::map<std::string, std::string> clean_;
};

// Each damaged file is refused with a status and its message, every file keeps its size, and
// the check reports a failure line (no crash, no huge allocation) that tells what opening it
// will do.
TEST_F(DamageTest, DamagedHeadersAndJournalsAreReportedNotFollowed) {
  const std::int32_t pages = PageCount();
  ASSERT_GE(pages, 5);
  struct Case {
    const char* name;
    std::function<void()> damage;
    int status;
    const char* check;  // a piece of the check's line
  };
  const Case cases[] = {
      {"journal entry for page 2 147 483 647", [&] { Journal(PageEntry(kHuge)); }, 10180, "the repair refuses it"},
      {"journal puts back free record 2 147 483 647", [&] { Journal(HeaderEntry(0, DataImage(kHuge, 3, 200), -1)); },
       10180, "the repair refuses it"},
      {"journal header image with 2 147 483 647 records",
       [&] { Journal(HeaderEntry(0, DataImage(-1, 0, kHuge), kNoLink)); }, 10180, "the repair refuses it"},
      {"journal entry of index 2 in a block of one", [&] { Journal(Le16(1) + Le16(2) + PageEntry(1).substr(4)); },
       10180, "the repair refuses it"},
      {"free-chain head 2 147 483 647 in the data header", [&] { Patch(".DAT", 0, Le32(kHuge)); }, 10060,
       "first free record 2147483647"},
      {"record count 2 147 483 647", [&] { Patch(".DAT", 8, Le32(kHuge)); }, 10060, "record count 2147483647"},
      {"index page count 1 000 000", [&] { Patch(".IX", 8, Le32(1000000)); }, 10060, "page count 1000000"},
      {"index root beyond its pages", [&] { Patch(".IX", 16, Le32(pages + 1)); }, 10060, "root page"},
      {"index free-page head beyond its pages", [&] { Patch(".IX", 0, Le32(kHuge)); }, 10060, "first free page"},
      {"more keys than pages can hold", [&] { Patch(".IX", 22, Le32(62 * pages + 1)); }, 10060, "key count"},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const Case& c = cases[i];
    SCOPED_TRACE(c.name);
    Restore();
    c.damage();
    const auto before = Files();
    CheckResult r = CheckBlock(Name());
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.message.find(c.check), std::string::npos) << r.message;
    EXPECT_EQ(r.message.find("repaired at the next open"), std::string::npos) << r.message;
    BlockContents contents;
    std::string error;
    if (c.status == 10060) {
      EXPECT_FALSE(ReadBlockContents(Name(), contents, error));
    }
    std::string dump;
    DumpBlock(Name(), 1, dump, error);
    EXPECT_LT(dump.size(), 100000u);

    EXPECT_EQ(OpenStatus(), c.status);
    EXPECT_EQ(IsamOK, false);
    // Nothing was written: every file as it was, the journal kept for a later look.
    EXPECT_EQ(Files(), before);
  }
}

// A before-image of an element the file does not hold (a change that had made it was cut off
// before its file grew) is skipped: the repair puts back what was there and adds nothing.
TEST_F(DamageTest, TheRepairNeverMakesAFileLonger) {
  const std::int32_t pages = PageCount();
  std::string clean_ix = clean_.at(".IX");
  // The header on disk counts one page more than the file holds; the journal holds the header
  // before the change and a before-image of that page.
  Patch(".IX", 8, Le32(pages + 1));
  Journal(HeaderEntry(1, clean_ix.substr(0, 28), kNoLink) + PageEntry(pages + 1));
  const auto index_size = Size(".IX");
  CheckResult r = CheckBlock(Name());
  EXPECT_NE(r.message.find("repaired at the next open"), std::string::npos) << r.message;
  EXPECT_EQ(OpenStatus(), 0);
  EXPECT_EQ(Size(".IX"), index_size);
  EXPECT_EQ(ReadFileBytes(File("BLOCK.IX")), clean_ix);
  EXPECT_EQ(Size(".DIA"), 1u);
  EXPECT_TRUE(CheckBlock(Name()).ok) << CheckBlock(Name()).message;

  // The same for a record put back on the free chain past the end of the data file.
  Restore();
  std::string clean_dat = clean_.at(".DAT");
  Patch(".DAT", 8, Le32(201));
  Journal(HeaderEntry(0, DataImage(201, 3, 201), 9) + HeaderEntry(0, clean_dat.substr(0, 21) + std::string(7, '\0'), kNoLink));
  const auto data_size = Size(".DAT");
  EXPECT_EQ(OpenStatus(), 0);
  EXPECT_EQ(Size(".DAT"), data_size);
  EXPECT_EQ(ReadFileBytes(File("BLOCK.DAT")), clean_dat);
  EXPECT_TRUE(CheckBlock(Name()).ok) << CheckBlock(Name()).message;
}

// A free chain whose link points past the end of its file is refused with 10170 when the engine
// would take from it, before anything is written: the link is never followed.
TEST_F(DamageTest, AFreeChainLinkBeyondTheFileIsRefused) {
  auto i32 = [](const std::string& bytes, std::size_t at) {
    std::int32_t v;
    std::memcpy(&v, bytes.data() + at, 4);
    return v;
  };
  // Records: the chain is 9 -> 5; record 9's link now names record 201 of 200.
  Patch(".DAT", 9 * kRecLen, Le32(201));
  auto before = Files();
  FileBlock* fb = Open();
  std::int32_t n = 0;
  AddRec(fb, n, std::string(kRecLen, 'n').data());
  EXPECT_EQ(IsamError, 10170);
  CloseFileBlock(fb);
  EXPECT_TRUE(Files() == before) << "a file changed";
  // The last record is a link the chain may hold.
  Restore();
  fb = Open();
  DeleteRec(fb, 200);
  DeleteRec(fb, 9);
  AddRec(fb, n, std::string(kRecLen, 'n').data());
  EXPECT_EQ(n, 9);
  AddRec(fb, n, std::string(kRecLen, 'n').data());
  EXPECT_EQ(n, 200);
  CloseFileBlock(fb);

  // Index pages: removing keys frees pages; the first free page's link then names the
  // page after the last one.
  Restore();
  fb = Open();
  for (int i = 1; i <= 120; ++i) DeleteKey(fb, 1, i, "K" + std::to_string(i));
  CloseFileBlock(fb);
  std::string ix = ReadFileBytes(File("BLOCK.IX"));
  const std::int32_t first_free = i32(ix, 0), pages = i32(ix, 8);
  ASSERT_GE(first_free, 1);
  ASSERT_GE(i32(ix, 4), 2);  // at least two free pages: the link matters
  Patch(".IX", static_cast<std::size_t>(first_free * kRow), Le32(pages + 1));
  fb = Open();
  // Keys go into the pages there are until one needs a new page: that call fails.
  for (int i = 1; i <= 120; ++i) {
    before = Files();
    AddKey(fb, 1, i, "K" + std::to_string(i));
    if (!IsamOK) break;
  }
  EXPECT_EQ(IsamError, 10170);
  CloseFileBlock(fb);
  EXPECT_TRUE(Files() == before) << "a file changed";
  // It was the first page taken from the chain: its head and count are as they were.
  EXPECT_EQ(ReadFileBytes(File("BLOCK.IX")).substr(0, 12), ix.substr(0, 12));
}

}  // namespace
}  // namespace olbrax::test

// Records, file block life and the engine status.
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "storage/block_check.h"
#include "storage/file_names.h"
#include "storage/layout.h"
#include "storage_fixture.h"

namespace olbrax::test {
namespace {

using namespace olbrax::isam;

std::string Rec(char fill, int len = 32) { return std::string(static_cast<std::size_t>(len), fill); }

std::int32_t Add(FileBlock* fb, const std::string& bytes) {
  std::int32_t n = 0;
  AddRec(fb, n, bytes.data());
  EXPECT_TRUE(IsamOK) << IsamError;
  return n;
}

TEST(BlockNames, ExtensionsAndSplitting) {
  BlockNames n = SplitBlockName("dir/TAV;TAVIX;ignored");
  EXPECT_EQ(n.data, "dir/TAV.DAT");
  EXPECT_EQ(n.index, "dir/TAVIX.IX");
  EXPECT_EQ(n.journal, "dir/TAV.DIA");
  // A ";" in a folder belongs to the folder: the files stay in it, whatever follows.
  BlockNames in_folder = SplitBlockName("/home/anna/x;y/OLBRAX");
  EXPECT_EQ(in_folder.data, "/home/anna/x;y/OLBRAX.DAT");
  EXPECT_EQ(in_folder.index, "/home/anna/x;y/OLBRAX.IX");
  EXPECT_EQ(in_folder.journal, "/home/anna/x;y/OLBRAX.DIA");
  EXPECT_EQ(SplitBlockName("a;b\\c;d/E;F").data, "a;b\\c;d/E.DAT");
  EXPECT_EQ(SplitBlockName("a;b\\c;d/E;F").index, "a;b\\c;d/F.IX");
  BlockNames same = SplitBlockName("d.x/CLUB.OLD");
  EXPECT_EQ(same.data, "d.x/CLUB.DAT");
  EXPECT_EQ(same.index, "d.x/CLUB.IX");
  EXPECT_EQ(SplitBlockName("d.x/CLUB").data, "d.x/CLUB.DAT");  // a dot in a folder is no extension
}

class RecordTest : public StorageTest {};

TEST_F(RecordTest, AFolderListsOnlyNamesTheCodePageHolds) {
  FileBlock* fb = Make(21, {}, "T\xC4VLING");  // block names are Windows-1252
  CloseFileBlock(fb);
  ASSERT_TRUE(std::filesystem::exists(dir / "TÄVLING.DAT"));
  WriteFileBytes(dir / "田中.DAT", std::string(21, '\0'));
  WriteFileBytes(dir / "Ωμ.DAT", std::string(21, '\0'));
  std::vector<Text> blocks = BlocksInFolder(dir.str());
  ASSERT_EQ(blocks.size(), 1u);
  EXPECT_EQ(blocks[0], dir.str() + "/T\xC4VLING");
}

TEST_F(RecordTest, NumbersAreHandedOutAndReused) {
  FileBlock* fb = Make(32, {});
  EXPECT_EQ(FileLen(fb), 1);
  EXPECT_EQ(UsedRecs(fb), 0);
  EXPECT_EQ(Add(fb, Rec('a')), 1);
  EXPECT_EQ(Add(fb, Rec('b')), 2);
  EXPECT_EQ(Add(fb, Rec('c')), 3);
  EXPECT_EQ(FileLen(fb), 4);

  DeleteRec(fb, 2);
  ASSERT_TRUE(IsamOK);
  EXPECT_EQ(UsedRecs(fb), 2);
  EXPECT_EQ(Add(fb, Rec('d')), 2);
  EXPECT_EQ(UsedRecs(fb), 3);
  EXPECT_EQ(FileLen(fb), 4);

  // The most recently freed record comes back first.
  DeleteRec(fb, 2);
  DeleteRec(fb, 3);
  std::string got(32, '\0');
  GetRec(fb, 3, got.data(), 0);
  std::int32_t link;
  std::memcpy(&link, got.data(), 4);
  EXPECT_EQ(link, 2);                          // the next free record
  EXPECT_EQ(got.substr(4), Rec('c').substr(4));  // the old contents after the link
  GetRec(fb, 2, got.data(), 0);
  std::memcpy(&link, got.data(), 4);
  EXPECT_EQ(link, -1);
  EXPECT_EQ(Add(fb, Rec('e')), 3);
  EXPECT_EQ(Add(fb, Rec('f')), 2);
  CloseFileBlock(fb);
  EXPECT_TRUE(CheckBlock(Name()).ok);
}

TEST_F(RecordTest, RangeRulesAndStatus) {
  FileBlock* fb = Make(21, {});
  Add(fb, Rec('x', 21));
  DeleteRec(fb, 0);
  EXPECT_EQ(IsamError, 10135);
  DeleteRec(fb, FileLen(fb));
  EXPECT_EQ(IsamError, 10135);
  PutRec(fb, 0, Rec('y', 21).data(), 0);
  EXPECT_EQ(IsamError, 10130);
  std::string got(21, '\0');
  GetRec(fb, 0, got.data(), 0);  // the header slot
  EXPECT_TRUE(IsamOK);
  EXPECT_EQ(got[8], 1);  // NumRecs
  GetRec(fb, 5, got.data(), 0);
  EXPECT_EQ(IsamError, 10070);
  EXPECT_EQ(IsamErrorClass(), 4);
  // PutRec past the end extends the file without handing out the number.
  PutRec(fb, 3, Rec('z', 21).data(), 0);
  EXPECT_TRUE(IsamOK);
  EXPECT_EQ(FileLen(fb), 2);
  CloseFileBlock(fb);
}

TEST_F(RecordTest, CreationArgumentsAndFiles) {
  CreateFileBlock(Name(), 20, 0, Keys({}));
  EXPECT_EQ(IsamError, 10020);
  EXPECT_FALSE(std::filesystem::exists(File("BLOCK.DAT")));
  CreateFileBlock(Name(), 21, 101, Keys({}));
  EXPECT_EQ(IsamError, 10050);
  CreateFileBlock(Name(), 21, 1, Keys({{31, 0}}));
  EXPECT_EQ(IsamError, 10055);

  // No indexes: only the data file, whose header is written byte for byte.
  CreateFileBlock(Name(), 24, 0, Keys({}));
  ASSERT_TRUE(IsamOK);
  EXPECT_FALSE(std::filesystem::exists(File("BLOCK.IX")));
  std::string expected(24, '\0');
  const unsigned char head[] = {0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0, 24, 0, 0, 0, 0, 0, 0, 0, 0};
  std::memcpy(expected.data(), head, sizeof head);
  EXPECT_EQ(ReadFileBytes(File("BLOCK.DAT")), expected);
  FileBlock* fb = Open();
  ASSERT_NE(fb, nullptr);
  CloseFileBlock(fb);

  // Indexes of key length 10 and 30: rows of 1184 + 2424 bytes, headers at 0 and 1184.
  CreateFileBlock(Name(), 40, 2, Keys({{10, 1}, {30, 0}}));
  std::string ix = ReadFileBytes(File("BLOCK.IX"));
  ASSERT_EQ(ix.size(), 3608u);
  auto i32 = [&](std::size_t at) {
    std::int32_t v;
    std::memcpy(&v, ix.data() + at, 4);
    return v;
  };
  EXPECT_EQ(i32(0), -1);
  EXPECT_EQ(i32(12), 1184);
  EXPECT_EQ(ix[20], 1);
  EXPECT_EQ(static_cast<unsigned char>(ix[26]), 62);
  EXPECT_EQ(i32(1184 + 12), 2424);
  EXPECT_EQ(ix[1184 + 20], 0);
}

TEST_F(RecordTest, CreateReplacesOldFiles) {
  FileBlock* fb = Make(30, {{5, 0}});
  Add(fb, Rec('q', 30));
  AddKey(fb, 1, 1, "Q");
  CloseFileBlock(fb);
  WriteFileBytes(File("BLOCK.DIA"), std::string("\0\xD0\x07", 3));
  CreateFileBlock(Name(), 30, 1, Keys({{5, 0}}));
  ASSERT_TRUE(IsamOK);
  EXPECT_FALSE(std::filesystem::exists(File("BLOCK.DIA")));
  fb = Open();
  EXPECT_EQ(FileLen(fb), 1);
  std::int32_t n;
  FindKey(fb, 1, n, "Q");
  EXPECT_EQ(IsamError, 10200);
  EXPECT_EQ(IsamErrorClass(), 1);
  CloseFileBlock(fb);
}

TEST_F(RecordTest, OpenAndCloseRules) {
  FileBlock* fb = nullptr;
  OpenFileBlock(fb, Name("MISSING"), false, false, true, false);
  EXPECT_EQ(IsamError, 9903);
  EXPECT_EQ(fb, nullptr);
  EXPECT_FALSE(std::filesystem::exists(File("MISSING.DIA")));  // the journal it made is gone

  OpenFileBlock(fb, (dir / "nofolder" / "X").string(), false, false, true, false);
  EXPECT_EQ(IsamError, 9900);

  fb = Make(21, {});
  FileBlock* second = nullptr;
  OpenFileBlock(second, Name(), false, false, true, false);  // the files are held exclusively
  EXPECT_FALSE(IsamOK);
  CloseFileBlock(fb);
  EXPECT_EQ(fb, nullptr);
  CloseFileBlock(fb);
  EXPECT_EQ(IsamError, 10445);

  // Without the journal the in-use mark is set by the first change and cleared at close; a
  // block left with it set cannot be opened.
  OpenFileBlock(fb, Name(), false, false, false, false);
  ASSERT_TRUE(IsamOK);
  EXPECT_FALSE(std::filesystem::exists(File("BLOCK.DIA")));
  Add(fb, Rec('m', 21));
  EXPECT_EQ(ReadFileBytes(File("BLOCK.DAT"))[20], 1);
  CloseFileBlock(fb);
  EXPECT_EQ(ReadFileBytes(File("BLOCK.DAT"))[20], 0);
  std::string bytes = ReadFileBytes(File("BLOCK.DAT"));
  bytes[20] = 1;
  WriteFileBytes(File("BLOCK.DAT"), bytes);
  OpenFileBlock(fb, Name(), false, false, true, false);
  EXPECT_EQ(IsamError, 10010);
}

TEST_F(RecordTest, EngineLifecycle) {
  EXPECT_EQ(InitIsam(0, 200), 0);
  EXPECT_EQ(IsamError, 10450);
  FileBlock* a = Make(21, {{3, 0}}, "A");
  FileBlock* b = Make(21, {}, "B");
  ExitIsam();
  EXPECT_TRUE(IsamOK);
  EXPECT_FALSE(IsamStarted());
  std::int32_t n;
  AddRec(a, n, Rec('x', 21).data());
  EXPECT_EQ(IsamError, 10455);
  (void)b;
  EXPECT_EQ(InitIsam(0, 7), 0);
  EXPECT_EQ(IsamError, 10451);
  EXPECT_EQ(InitIsam(1, 200), 0);
  EXPECT_EQ(IsamError, 10310);
  EXPECT_EQ(InitIsam(2, 8), 8);
  EXPECT_EQ(IsamMaxWorkstation(), 50);
}

// Every errno of the file layer's table reaches the engine status as its Windows number, with
// the write named as the failed call: a wrong number gives the user the wrong message (112 is
// the one that says the disk is full).
TEST_F(RecordTest, EveryErrnoOfAFailedDataWriteGivesItsWindowsNumber) {
  struct FailDataWrite : disk::FileHooks {
    int err = 0;
    disk::Verdict Before(const disk::FileEvent& e) override {
      bool data = e.path.size() > 4 && e.path.compare(e.path.size() - 4, 4, ".DAT") == 0;
      return {e.op == disk::FileOp::Write && data ? err : 0, false};
    }
  } hooks;
  const std::pair<int, int> table[] = {
      {ENOENT, 2},   {ENOTDIR, 3},     {EMFILE, 4},       {ENFILE, 4},    {EACCES, 5},  {EPERM, 5},
      {EISDIR, 5},   {EBADF, 6},       {ENOMEM, 8},       {EROFS, 19},    {EWOULDBLOCK, 32},
      {ENETDOWN, 53}, {ENETUNREACH, 53}, {EHOSTUNREACH, 53}, {ENOTCONN, 53}, {ETIMEDOUT, 53},
      {EEXIST, 80},  {EINVAL, 87},     {ENOSPC, 112},     {EDQUOT, 112},  {ENAMETOOLONG, 206},
      {EIO, 1117},   {E2BIG, 31},  // anything else: general failure
  };
  FileBlock* fb = Make(32, {});
  disk::SetFileHooks(&hooks);
  for (auto [err, win] : table) {
    SCOPED_TRACE(err);
    hooks.err = err;
    std::int32_t n = 0;
    AddRec(fb, n, Rec('a').data());
    EXPECT_FALSE(IsamOK);
    EXPECT_EQ(IsamDosError, win);
    EXPECT_EQ(IsamDosFunc, DosFunc::kWrite);
  }
  disk::SetFileHooks(nullptr);
  CloseFileBlock(fb);
  // The journal puts back what the failed writes began, at the next open.
  CloseFileBlock(fb = Open());
  EXPECT_TRUE(CheckBlock(Name()).ok) << CheckBlock(Name()).message;
}

}  // namespace
}  // namespace olbrax::test

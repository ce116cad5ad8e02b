// Replacing a set of files all at once: every interruption ends, after the recovery, in all old
// files or all new ones.
#include <filesystem>

#include "storage/file_set_switch.h"
#include "storage_fixture.h"

namespace olbrax::test {
namespace {

namespace fs = std::filesystem;
using isam::FileSetSwitch;
using isam::RecoverFileSet;

class FileSetSwitchTest : public StorageTest {
 protected:
  void SetUp() override {
    StorageTest::SetUp();
    for (const char* n : {"A.DAT", "A.IX", "B.DAT"}) WriteFileBytes(dir / n, std::string("old ") + n);
  }
  // Stages new versions of the three files.
  void Stage(FileSetSwitch& sw) {
    ASSERT_TRUE(sw.Prepare()) << IsamError;
    for (const char* n : {"A.DAT", "A.IX", "B.DAT"}) {
      WriteFileBytes(sw.Staged(n), std::string("new ") + n);
      sw.Add(n);
    }
  }
  // "old", "new", or "mixed" for the files in the folder.
  std::string State() const {
    int olds = 0, news = 0;
    for (const char* n : {"A.DAT", "A.IX", "B.DAT"}) {
      std::string b = ReadFileBytes(dir / n);
      olds += b == std::string("old ") + n;
      news += b == std::string("new ") + n;
    }
    return olds == 3 ? "old" : news == 3 ? "new" : "mixed";
  }
  bool StagingLeft() const { return fs::exists(dir / "ny"); }
};

TEST_F(FileSetSwitchTest, CommitReplacesEveryFileAndLeavesNothingBehind) {
  {
    FileSetSwitch sw(dir.str(), "ny");
    Stage(sw);
    EXPECT_EQ(State(), "old");  // nothing changes before the commit
    ASSERT_TRUE(sw.Commit()) << IsamError;
  }
  EXPECT_EQ(State(), "new");
  EXPECT_FALSE(StagingLeft());
}

TEST_F(FileSetSwitchTest, AnUncommittedSwitchIsThrownAway) {
  {
    FileSetSwitch sw(dir.str(), "ny");
    Stage(sw);
  }  // given up: the destructor discards
  EXPECT_EQ(State(), "old");
  EXPECT_FALSE(StagingLeft());

  // A crash leaves the staging folder and a draft plan: the recovery throws them away.
  fs::create_directory(dir / "ny");
  WriteFileBytes(dir / "ny" / "A.DAT", "new A.DAT");
  WriteFileBytes(dir / "ny" / "PLAN.TMP", "A.DAT\n");
  bool completed = true;
  EXPECT_TRUE(RecoverFileSet(dir.str(), "ny", &completed));
  EXPECT_FALSE(completed);
  EXPECT_EQ(State(), "old");
  EXPECT_FALSE(StagingLeft());
}

TEST_F(FileSetSwitchTest, ACommittedSwitchIsCompletedFromWhereItStopped) {
  // The plan exists and A.DAT has moved: the rest follows.
  fs::create_directory(dir / "ny");
  WriteFileBytes(dir / "A.DAT", "new A.DAT");
  WriteFileBytes(dir / "ny" / "A.IX", "new A.IX");
  WriteFileBytes(dir / "ny" / "B.DAT", "new B.DAT");
  WriteFileBytes(dir / "ny" / "PLAN", "A.DAT\nA.IX\nB.DAT\nSLUT\n");
  bool completed = false;
  EXPECT_TRUE(RecoverFileSet(dir.str(), "ny", &completed)) << IsamError;
  EXPECT_TRUE(completed);
  EXPECT_EQ(State(), "new");
  EXPECT_FALSE(StagingLeft());
  // Running it again finds nothing to do.
  EXPECT_TRUE(RecoverFileSet(dir.str(), "ny"));
  EXPECT_EQ(State(), "new");
}

TEST_F(FileSetSwitchTest, APlanThatDoesNotEndAsWrittenIsNotFollowed) {
  fs::create_directory(dir / "ny");
  WriteFileBytes(dir / "ny" / "A.DAT", "new A.DAT");
  for (const char* plan : {"A.DAT\n", "A.DAT\n../B.DAT\nSLUT\n"}) {
    WriteFileBytes(dir / "ny" / "PLAN", plan);
    Text name;
    EXPECT_FALSE(RecoverFileSet(dir.str(), "ny", nullptr, &name)) << plan;
    EXPECT_FALSE(IsamOK);
    EXPECT_EQ(name, "PLAN");
    EXPECT_EQ(State(), "old");
  }
}

TEST_F(FileSetSwitchTest, AFileOfAnotherCaseIsReplacedNotDoubled) {
  fs::rename(dir / "B.DAT", dir / "B.Dat");
  FileSetSwitch sw(dir.str(), "ny");
  Stage(sw);
  ASSERT_TRUE(sw.Commit());
  EXPECT_FALSE(fs::exists(dir / "B.DAT"));
  EXPECT_EQ(ReadFileBytes(dir / "B.Dat"), "new B.DAT");
}

// Every file call of a switch failing in turn: the switch reports the failure and the folder is
// old, or it went through (a step retried), or, after the recovery, new. Never mixed.
TEST_F(FileSetSwitchTest, AFailureAtAnyCallEndsInOldOrNew) {
  for (disk::FileOp op : {disk::FileOp::Write, disk::FileOp::Flush, disk::FileOp::Rename, disk::FileOp::Create,
                          disk::FileOp::Open, disk::FileOp::Delete}) {
    for (int nth = 1; nth < 40; ++nth) {
      SCOPED_TRACE("op " + std::to_string(static_cast<int>(op)) + " call " + std::to_string(nth));
      for (const char* n : {"A.DAT", "A.IX", "B.DAT"}) WriteFileBytes(dir / n, std::string("old ") + n);
      disk::FaultInjector faults;
      bool ok = false, committed = false;
      {
        FileSetSwitch sw(dir.str(), "ny");
        Stage(sw);
        disk::SetFileHooks(&faults);
        faults.Arm(op, nth, EIO);
        ok = sw.Commit();
        committed = sw.Committed();
        disk::SetFileHooks(nullptr);
      }
      if (!faults.Fired()) {
        EXPECT_TRUE(ok);
        break;  // every call of this kind has had its turn
      }
      if (ok) {
        EXPECT_EQ(State(), "new");
      } else if (!committed) {
        EXPECT_EQ(State(), "old");
        EXPECT_FALSE(IsamOK);
      }
      ASSERT_TRUE(RecoverFileSet(dir.str(), "ny")) << IsamError;
      EXPECT_EQ(State(), ok || committed ? "new" : "old");
      EXPECT_FALSE(StagingLeft());
    }
  }
}

}  // namespace
}  // namespace olbrax::test

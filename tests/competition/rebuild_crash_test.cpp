// "indexbygg" killed (SIGKILL) in the middle: after the next start the data directory is all old
// or all rebuilt, passes the integrity check and holds the same registers.
#include <cstdio>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <thread>

#include "base/messages.h"
#include "competition/maintenance/index_rebuild.h"
#include "competition/records/entrant_rec.h"
#include "competition/registers/entrants.h"
#include "competition/registers/register_find.h"
#include "maintenance_fixture.h"
#include "storage/file_hooks.h"

namespace olbrax::test {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

class RebuildCrashTest : public MaintenanceTest {
 protected:
  void Start() {
    OpenArchive();
    SelectFromMenu(1);
  }
  // Runs the rebuild in a child process; `arm` prepares the child (hooks), `kill_after` kills it
  // from outside (zero: never). True when the child was killed before it finished.
  bool RunChild(const std::function<void()>& arm, Clock::duration kill_after) {
    pid_t child = fork();
    if (child == 0) {
      arm();
      Start();
      IndexRebuild(&ui);
      disk::SetFileHooks(nullptr);
      CloseAllCompetitionFiles();
      _exit(0);
    }
    if (kill_after != Clock::duration::zero()) {
      std::this_thread::sleep_for(kill_after);
      kill(child, SIGKILL);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFSIGNALED(status);
  }
  // What the killed child left, then the next start; the data must be old or rebuilt, whole.
  // Returns "old" or "new".
  std::string AfterTheNextStart(const std::string& before, const std::string& old_numbers,
                                const std::string& new_numbers) {
    OpenArchive();
    EXPECT_TRUE(ArchiveOpen) << MsgLine;
    CloseAllCompetitionFiles();
    EXPECT_FALSE(RebuildLeftovers());
    EXPECT_EQ(CheckAll(), "");
    EXPECT_TRUE(Same(Contents(), before));
    std::string numbers = Numbering();
    if (numbers == old_numbers) return "old";
    if (numbers == new_numbers) return "new";
    ADD_FAILURE() << "mixed numbering: " << numbers;
    return "mixed";
  }
};

// Kills at random moments, sized so that a rebuild takes long enough to be hit anywhere.
TEST_F(RebuildCrashTest, KilledAtRandomMomentsLeavesOldOrRebuiltData) {
  DataSize size;
  size.clubs = 80;
  size.entrants = 300;
  size.other_entrants = 80;
  size.routes = 20;
  size.controls = 20;
  BuildData(size);
  CloseAllCompetitionFiles();
  const auto base = SaveFiles();
  const std::string before = Contents(), old_numbers = Numbering();
  auto t0 = Clock::now();
  ASSERT_FALSE(RunChild([] {}, Clock::duration::zero()));
  auto took = Clock::now() - t0;
  const std::string new_numbers = Numbering();
  ASSERT_NE(new_numbers, old_numbers);

  std::mt19937 rng(2027);
  std::uniform_int_distribution<std::int64_t> when(0, std::chrono::duration_cast<std::chrono::microseconds>(took).count() * 5 / 4);
  int kills = 0, olds = 0, news = 0;
  auto deadline = Clock::now() + std::chrono::seconds(90);
  for (int trial = 0; kills < 100 && trial < 300 && Clock::now() < deadline; ++trial) {
    RestoreFiles(base);
    if (!RunChild([] {}, std::chrono::microseconds(1 + when(rng)))) continue;  // finished first
    ++kills;
    SCOPED_TRACE("kill " + std::to_string(kills));
    std::string state = AfterTheNextStart(before, old_numbers, new_numbers);
    if (HasFailure()) return;
    (state == "old" ? olds : news) += 1;
  }
  // A sanitizer build on a busy machine runs out of time first: every kill made is still checked,
  // and fewer of them are enough to see both sides of the switch.
  if (Clock::now() < deadline) {
    EXPECT_GE(kills, 100);
  } else {
    EXPECT_GE(kills, 10);
    std::printf("note: the time limit cut the kills at %d\n", kills);
  }
  // Kills fell on both sides of the switch.
  EXPECT_GT(olds, 0);
  EXPECT_GT(news, 0);
}

// Kills just before every rename and every flush of a rebuild in turn, which covers each step of
// the switch to the new files, where a random moment rarely falls.
TEST_F(RebuildCrashTest, KilledAtEveryRenameAndFlushLeavesOldOrRebuiltData) {
  DataSize small;
  small.clubs = 5;
  small.entrants = 6;
  small.other_entrants = 3;
  small.routes = 2;
  small.controls = 5;
  BuildData(small);
  CloseAllCompetitionFiles();
  const auto base = SaveFiles();
  const std::string before = Contents(), old_numbers = Numbering();
  ASSERT_FALSE(RunChild([] {}, Clock::duration::zero()));
  const std::string new_numbers = Numbering();

  // Kills the process at the n-th call of one kind.
  struct KillAt : disk::FileHooks {
    disk::FileOp op;
    int nth;
    int seen = 0;
    disk::Verdict Before(const disk::FileEvent& e) override {
      if (e.op == op && ++seen == nth) kill(getpid(), SIGKILL);
      return {};
    }
  };
  int kills = 0;
  for (disk::FileOp op : {disk::FileOp::Rename, disk::FileOp::Flush}) {
    for (int nth = 1;; ++nth) {
      RestoreFiles(base);
      static KillAt hook;
      hook.op = op;
      hook.nth = nth;
      hook.seen = 0;
      if (!RunChild([] { disk::SetFileHooks(&hook); }, Clock::duration::zero())) break;  // no such call
      ++kills;
      SCOPED_TRACE("killed at call " + std::to_string(nth) + " of kind " + std::to_string(static_cast<int>(op)));
      AfterTheNextStart(before, old_numbers, new_numbers);
      if (HasFailure()) return;
    }
  }
  EXPECT_GT(kills, 20);
}

// Another competition's entrant file was left with an unfinished change in its journal (a crash
// of the program): the rebuild repairs it before copying it, so that no journal is replayed over
// the renumbered file afterwards.
TEST_F(RebuildCrashTest, AJournalLeftInAnotherCompetitionIsRepairedFirst) {
  BuildData();
  CloseAllCompetitionFiles();
  const std::string before = Contents();
  // A child removes an entrant's key in competition 2 and is killed while writing the index.
  struct KillAtIndexWrite : disk::FileHooks {
    disk::Verdict Before(const disk::FileEvent& e) override {
      if (e.op == disk::FileOp::Write && e.path.size() >= 7 && e.path.compare(e.path.size() - 7, 7, "OL02.IX") == 0)
        kill(getpid(), SIGKILL);
      return {};
    }
  };
  pid_t child = fork();
  if (child == 0) {
    OpenArchive();
    SelectFromMenu(2);
    std::int32_t ref = 2;
    bool at_end, found;
    FindEntrant(kFindRecord, "", ref, at_end, found);
    static KillAtIndexWrite hook;
    disk::SetFileHooks(&hook);
    DeleteKey(EntrantFile, 1, ref, WinToDos(EntrantRec.StartNumber.get()));
    _exit(0);
  }
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFSIGNALED(status));
  ASSERT_GT(fs::file_size(data.path() / "OL02.DIA"), 1u);  // the journal holds the change

  Start();
  ASSERT_TRUE(IndexRebuild(&ui)) << MsgLine;
  CloseAllCompetitionFiles();
  EXPECT_EQ(fs::file_size(data.path() / "OL02.DIA"), 1u);
  EXPECT_EQ(CheckAll(), "");
  EXPECT_TRUE(Same(Contents(), before));
  OpenArchive();  // and the next start has nothing to replay over the new file
  SelectFromMenu(2);
  CloseAllCompetitionFiles();
  EXPECT_TRUE(Same(Contents(), before));
}

}  // namespace
}  // namespace olbrax::test

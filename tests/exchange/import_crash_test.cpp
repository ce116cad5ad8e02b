// The demo import killed (SIGKILL) at random moments: after the next open every file block passes
// the check, every record has its keys and every key its record, the counters agree, and the data
// is exactly what it was before or after one of the import's batches (or one engine call made
// outside them), never a batch in part.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <map>
#include <set>
#include <sstream>
#include <thread>

#include "base/messages.h"
#include "competition/data_dir_check.h"
#include "competition/registers/register_change.h"
#include "exchange/import.h"
#include "printing/engine/printers.h"
#include "printing/engine/recording_canvas.h"
#include "storage/transaction.h"
#include "../competition/data_fixture.h"
#include "../competition/fault_loop.h"

namespace olbrax::test {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

const fs::path kDemo = fs::path(OLBRAX_EXAMPLES_DIR) / "demo";

// The data as the comparison sees it: the statistics block is written outside the journal, after
// each commit, and a crash in between leaves its stale marker for the next open to count it
// again, so it and the marker are left to the counters check.
std::string Registers(const fs::path& dir) {
  std::istringstream in(DataContents(dir));
  std::string out, line;
  while (std::getline(in, line))
    if (line.compare(0, 5, "CLUBS") != 0) out += line + "\n";
  return out;
}

// The files as the reference run leaves them between transactions, read past the locks of the
// open blocks; turned into Registers() once the run is over.
std::vector<std::map<std::string, std::string>>* g_snapshots = nullptr;
fs::path g_dir;

void SeeState(std::string_view name) {
  if (isam::InTransaction()) return;
  if (name != "CommitTransaction" && name != "AddRec" && name != "PutRec" && name != "DeleteRec" && name != "AddKey" &&
      name != "DeleteKey")
    return;
  std::map<std::string, std::string> files;
  for (const auto& e : fs::directory_iterator(g_dir))
    if (e.is_regular_file()) files[e.path().filename().string()] = ReadFileBytes(e.path());
  g_snapshots->push_back(std::move(files));
}

class ImportCrashTest : public DataTest {
 protected:
  void SetUp() override {
    DataTest::SetUp();
    print::SetCanvasFactory([](const print::PrinterRequest&) -> std::unique_ptr<print::Canvas> {
      return std::make_unique<print::RecordingCanvas>(4961, 7016, 600);
    });
    // Small batches, so that most sections are several of them; no bound on time, so that the
    // reference run and the killed ones make the same batches. Eight records a batch keep the
    // 200 kills over the whole demo import near half a minute (four took twice as long).
    ChangeBatch::SetBounds(8, 1e9);
  }
  void TearDown() override {
    ChangeBatch::SetBounds(0, 0);
    print::SetCanvasFactory(nullptr);
    DataTest::TearDown();
  }
  std::vector<Text> DemoFiles() const {
    std::vector<Text> files;
    for (const char* f : {"distrikt.txt", "klubbar.txt", "kontroller.txt", "banor.txt", "klasser.txt", "rutb24.txt",
                          "namn.txt", "resultat.txt"})
      files.emplace_back((kDemo / f).string());
    return files;
  }
  void Import() {
    OpenArchive();
    ReopenConfiguredCompetition();
    ImportFiles(nullptr, DemoFiles());
    CloseAllCompetitionFiles();
  }
  // Runs the import in a child killed after `after` (zero: never); true when it was killed.
  bool RunChild(Clock::duration after) {
    pid_t child = fork();
    if (child == 0) {
      Import();
      _exit(LastImportRun().complete ? 0 : 3);
    }
    if (after != Clock::duration::zero()) {
      std::this_thread::sleep_for(after);
      kill(child, SIGKILL);
    }
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFSIGNALED(status)) {
      EXPECT_EQ(WEXITSTATUS(status), 0);
    }
    return WIFSIGNALED(status);
  }
  // The next start: every block is opened (which settles what the crash left) and checked.
  void CheckAfterCrash(const std::set<std::string>& states) {
    OpenArchive();
    ReopenConfiguredCompetition();
    OpenDefinitions();
    CloseAllCompetitionFiles();
    for (const Text& block : isam::BlocksInFolder(data.str())) {
      if (UpStr(block.substr(block.find_last_of('/') + 1)).compare(0, 5, "CLUBS") == 0) continue;  // a plain block
      FileBlock* fb = nullptr;
      OpenFileBlock(fb, block);
      ASSERT_TRUE(IsamOK) << block << ": " << MsgText(IsamError);
      CloseFileBlock(fb);
    }
    EXPECT_EQ(DataFaults(data.path()), "");
    for (const CheckLine& line : CheckDataDirectory(data.str())) EXPECT_TRUE(line.ok) << line.name << ": " << line.message;
    EXPECT_TRUE(states.count(Registers(data.path()))) << "a state between batches:\n" << Registers(data.path());
  }
};

TEST_F(ImportCrashTest, KilledAtRandomMomentsLeavesTheDataBeforeOrAfterEachBatch) {
  AddCompetition("Demo");
  CloseAllCompetitionFiles();
  FolderCopy base(data.path());

  // The reference run, in this process: every state between transactions.
  std::set<std::string> states;
  states.insert(Registers(data.path()));
  std::vector<std::map<std::string, std::string>> snapshots;
  g_snapshots = &snapshots;
  g_dir = data.path();
  SetIsamTrace(SeeState);
  Import();
  SetIsamTrace(nullptr);
  ASSERT_TRUE(LastImportRun().complete) << MsgLine;
  states.insert(Registers(data.path()));
  {
    TempDir state;
    for (const auto& files : snapshots) {
      for (const auto& e : fs::directory_iterator(state.path())) fs::remove(e.path());
      for (const auto& [name, bytes] : files) WriteFileBytes(state.path() / name, bytes);
      states.insert(Registers(state.path()));
    }
  }
  ASSERT_GT(states.size(), 30u);  // many batches

  // The run without the trace, to size the moments of the kills.
  base.Restore();
  auto t0 = Clock::now();
  ASSERT_FALSE(RunChild(Clock::duration::zero()));
  auto took = Clock::now() - t0;

  std::mt19937 rng(1414);
  std::uniform_int_distribution<std::int64_t> when(0, std::chrono::duration_cast<std::chrono::microseconds>(took).count());
  int kills = 0;
  auto deadline = Clock::now() + std::chrono::seconds(150);
  for (int trial = 0; kills < 200 && trial < 400 && Clock::now() < deadline; ++trial) {
    base.Restore();
    if (!RunChild(std::chrono::microseconds(1 + when(rng)))) continue;  // finished first
    ++kills;
    SCOPED_TRACE("kill " + std::to_string(kills));
    CheckAfterCrash(states);
    if (HasFailure()) return;
  }
  EXPECT_GE(kills, 200);
}

}  // namespace
}  // namespace olbrax::test

// Recovery after the program dies in the middle of an operation: killed (the kernel keeps
// every write), or a power loss (writes not yet flushed may be lost, torn or half there).
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <random>
#include <thread>

#include "power_loss.h"
#include "storage/block_check.h"
#include "storage_fixture.h"
#include "workload.h"

namespace olbrax::test {
namespace {

using namespace olbrax::isam;

class RecoveryTest : public StorageTest {
 protected:
  std::string Block() const { return Name("W"); }
  std::map<std::string, std::string> Files() const {
    std::map<std::string, std::string> out;
    for (const char* ext : {".DAT", ".IX", ".DIA"})
      if (std::filesystem::exists(Block() + ext)) out[ext] = ReadFileBytes(Block() + ext);
    return out;
  }
  void Put(const std::map<std::string, std::string>& files) const {
    std::filesystem::remove(Block() + ".DIA");
    for (const auto& [ext, bytes] : files) WriteFileBytes(Block() + ext, bytes);
  }
  FileBlock* OpenW() {
    FileBlock* fb = nullptr;
    OpenFileBlock(fb, Block(), false, false, true, false);
    return fb;
  }
  // The snapshots after 0, 1, ... n steps of the workload from the files `base`.
  std::vector<std::string> Reference(const std::map<std::string, std::string>& base, std::uint32_t seed, int n) {
    Put(base);
    std::vector<std::string> states{Snapshot(Block())};
    Workload w(seed);
    FileBlock* fb = OpenW();
    for (int i = 0; i < n; ++i) {
      EXPECT_TRUE(w.Step(fb)) << IsamError;
      CloseFileBlock(fb);
      states.push_back(Snapshot(Block()));
      fb = OpenW();
    }
    CloseFileBlock(fb);
    return states;
  }
};

TEST_F(RecoveryTest, PowerLossGivesTheStateBeforeOrAfter) {
  constexpr int kSteps = 240;
  constexpr std::uint32_t kSeed = 11;
  Workload::Create(Block());
  {
    // Start from a block with enough keys for splits and merges.
    FileBlock* fb = OpenW();
    Workload warm(99);
    for (int i = 0; i < 600; ++i) ASSERT_TRUE(warm.Step(fb));
    CloseFileBlock(fb);
  }
  const auto base = Files();
  const std::vector<std::string> states = Reference(base, kSeed, kSteps);

  // How many writes, truncates and flushes each step makes.
  std::vector<int> events;
  {
    Put(base);
    PowerLoss counter;
    FileBlock* fb = OpenW();
    disk::SetFileHooks(&counter);
    Workload w(kSeed);
    for (int i = 0; i < kSteps; ++i) {
      int before = counter.events;
      w.Step(fb);
      events.push_back(counter.events - before);
    }
    disk::SetFileHooks(nullptr);
    CloseFileBlock(fb);
  }

  std::mt19937 rng(5);
  int crashes = 0;
  for (int trial = 0; trial < 300; ++trial) {
    int step = static_cast<int>(rng() % kSteps);
    int at = 1 + static_cast<int>(rng() % static_cast<unsigned>(events[static_cast<std::size_t>(step)]));
    SCOPED_TRACE("step " + std::to_string(step) + " event " + std::to_string(at));
    Put(base);
    FileBlock* fb = OpenW();
    Workload w(kSeed);
    for (int i = 0; i < step; ++i) ASSERT_TRUE(w.Step(fb));

    PowerLoss disk_;
    for (const auto& [ext, bytes] : Files()) disk_.files[disk::Resolve(Block() + ext)].durable = bytes;
    disk_.crash_at = at;
    disk::SetFileHooks(&disk_);
    w.Step(fb);
    ASSERT_TRUE(disk_.crashed);
    CloseFileBlock(fb);
    disk::SetFileHooks(nullptr);
    ++crashes;

    disk_.Materialize(rng);
    fb = OpenW();
    ASSERT_NE(fb, nullptr) << IsamError;
    CloseFileBlock(fb);
    std::string now = Snapshot(Block());
    bool before = now == states[static_cast<std::size_t>(step)];
    bool after = now == states[static_cast<std::size_t>(step) + 1];
    ASSERT_TRUE(before || after) << now.substr(0, 300);
  }
  EXPECT_EQ(crashes, 300);
}

TEST_F(RecoveryTest, KilledProcessLosesNothingThatWasDone) {
  constexpr int kSteps = 2500;
  constexpr std::uint32_t kSeed = 3;
  Workload::Create(Block());
  const auto base = Files();
  const std::vector<std::string> states = Reference(base, kSeed, kSteps);

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
      FileBlock* fb = OpenW();
      Workload w(kSeed);
      for (std::int32_t i = 1; i <= kSteps; ++i) {
        if (!w.Step(fb)) _exit(3);
        if (write(pipefd[1], &i, sizeof i) != sizeof i) _exit(4);
      }
      CloseFileBlock(fb);
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
    if (done == 0 || done == kSteps) continue;
    ++kills;
    SCOPED_TRACE("killed after step " + std::to_string(done));
    FileBlock* fb = OpenW();
    ASSERT_NE(fb, nullptr) << IsamError;
    CloseFileBlock(fb);
    std::string now = Snapshot(Block());
    ASSERT_TRUE(now == states[static_cast<std::size_t>(done)] || now == states[static_cast<std::size_t>(done) + 1])
        << now.substr(0, 300);
  }
  EXPECT_GE(kills, 100);
}

}  // namespace
}  // namespace olbrax::test

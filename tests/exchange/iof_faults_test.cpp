// The IOF import under storage failures: every file call of an import failing in turn, with
// small batches so that failures fall before, inside and after their commits.
#include <chrono>
#include <map>

#include "../competition/fault_loop.h"
#include "exchange/iof/record_batch.h"
#include "iof_fixture.h"
#include "storage/block_check.h"

namespace olbrax::test {
namespace {

class IofFaultTest : public IofDataTest {
 protected:
  void TearDown() override {
    iof::RecordBatch::SetBounds(0, 0);
    IofDataTest::TearDown();
  }
  // Per message kind, the "Adderade:" count the log gives it.
  std::map<std::string, int> AddedByMessage() const {
    std::map<std::string, int> added;
    std::string root;
    for (const Text& line : log) {
      if (line.rfind("importerar \"", 0) == 0 && line.find('/') == Text::npos) root = line.substr(12, line.size() - 13);
      if (line.rfind("Adderade:", 0) == 0 && !root.empty()) added[root] = std::stoi(line.substr(9, 4));
    }
    return added;
  }
  std::size_t Live(const std::string& block) const {
    isam::BlockContents b;
    std::string error;
    EXPECT_TRUE(isam::ReadBlockContents(data.str() + "/" + block, b, error)) << block << ": " << error;
    return b.live.size();
  }
};

// The files of the data directory as they were, put back before each run: only those the run
// changed are written again (most of a run's time went into rewriting the rest).
class ChangedFiles {
 public:
  explicit ChangedFiles(const std::filesystem::path& dir) : dir_(dir) {
    for (const auto& e : std::filesystem::directory_iterator(dir))
      if (e.is_regular_file()) files_[e.path().filename().string()] = ReadFileBytes(e.path());
  }
  void Restore() const {
    for (const auto& e : std::filesystem::directory_iterator(dir_))
      if (!files_.count(e.path().filename().string())) std::filesystem::remove(e.path());
    for (const auto& [name, bytes] : files_)
      if (!std::filesystem::exists(dir_ / name) || ReadFileBytes(dir_ / name) != bytes) WriteFileBytes(dir_ / name, bytes);
  }

 private:
  std::filesystem::path dir_;
  std::map<std::string, std::string> files_;
};

// Fails the n-th file call that changes the disk (a write, a flush, a truncation, a creation):
// writes as a full disk does, the others with an I/O error.
class NthChangeFault : public disk::FileHooks {
 public:
  explicit NthChangeFault(int nth) : nth_(nth) {}
  bool Fired() const { return fired_; }
  disk::Verdict Before(const disk::FileEvent& e) override {
    using disk::FileOp;
    if (e.op != FileOp::Write && e.op != FileOp::Flush && e.op != FileOp::Truncate && e.op != FileOp::Create) return {};
    if (++seen_ != nth_) return {};
    fired_ = true;
    return {e.op == FileOp::Flush ? EIO : ENOSPC, false};
  }

 private:
  int nth_, seen_ = 0;
  bool fired_ = false;
};

// The n-th write, flush, truncation or creation of an import of course data and entries failing,
// for n = 1, 2, ... until the import runs through: each failure is told with the engine's
// message, leaves a directory that passes the check with its counters, and the log never counts
// a record that is not in the files.
TEST_F(IofFaultTest, EachFailedWriteIsToldAndLeavesSoundFilesAndAnHonestLog) {
  AddCompetition("IOF");
  Import({"classes.xml", "organisations.xml"});
  ASSERT_TRUE(iof::LastIofImport().complete);
  CloseAllCompetitionFiles();
  const std::size_t controls_before = Live("KONTR01"), courses_before = Live("TRACK01");
  ChangedFiles base(data.path());
  iof::RecordBatch::SetBounds(2, 0);

  int failures = 0, told = 0;
  bool ended = false;
  const auto start = std::chrono::steady_clock::now();
  for (int n = 1; n <= 300 && std::chrono::steady_clock::now() - start < std::chrono::seconds(40); ++n) {
    SCOPED_TRACE("file call " + std::to_string(n));
    base.Restore();
    OpenArchive();
    SelectCompetition(true, 1);
    ui.boxes.clear();
    ui.default_answer = platform::kYes;
    NthChangeFault fault(n);
    disk::SetFileHooks(&fault);
    Import({"courses.xml", "entries.xml"});
    disk::SetFileHooks(nullptr);
    bool ok = iof::LastIofImport().complete;
    CloseAllCompetitionFiles();
    if (!fault.Fired()) {
      ended = ok;
      break;
    }
    ++failures;
    ASSERT_EQ(DataFaults(data.path()), "");
    for (const CheckLine& l : CheckDataDirectory(data.str())) ASSERT_TRUE(l.ok) << l.name << ": " << l.message;
    EXPECT_EQ(log.back(), "IMPORT KLAR!");
    // What the log counts is in the files: the entrants exactly, the controls and courses at least.
    std::map<std::string, int> added = AddedByMessage();
    EXPECT_EQ(static_cast<std::size_t>(added["EntryList"]), Live("OL01"));
    EXPECT_LE(static_cast<std::size_t>(added["CourseData"]),
              Live("KONTR01") - controls_before + Live("TRACK01") - courses_before);
    if (ok) continue;  // a failure the program got over (closing a file writes it again)
    // A failure that cost data is told in a box with the engine's message, which the log repeats.
    ASSERT_FALSE(ui.boxes.empty()) << "a failure the user does not see";
    const std::string& box = ui.boxes.back().text;
    EXPECT_TRUE(std::any_of(log.begin(), log.end(), [&](const Text& l) {
      return l.size() > 5 && box.find(l.substr(5)) != std::string::npos;
    })) << "the log does not give the failure: " << box;
    ++told;
  }
  EXPECT_TRUE(ended) << "the import never ran through (" << failures << " failures)";
  RecordProperty("failures", failures);
  RecordProperty("told", told);
  EXPECT_GT(told, 20);
}

// A failure in the second batch: the first stays, told in the log; the second is taken back,
// and the log says how many of its records were lost.
TEST_F(IofFaultTest, AFailedBatchIsTakenBackWholeAndTheEarlierOnesStay) {
  AddCompetition("IOF");
  Import({"classes.xml"});
  iof::RecordBatch::SetBounds(2, 0);
  struct FailIdWrites : disk::FileHooks {
    int writes = 0;
    disk::Verdict Before(const disk::FileEvent& e) override {
      // The third record's id goes into the open batch in memory; the batch's commit writes the
      // id file's journal first: fail that, the first write of the second commit to IOFID.
      if (e.op == disk::FileOp::Write && e.path.find("IOFID01.DIA") != std::string::npos && ++writes == 2)
        return {ENOSPC, false};
      return {};
    }
  } faults;
  disk::SetFileHooks(&faults);
  Import({"entries.xml"});
  disk::SetFileHooks(nullptr);
  EXPECT_FALSE(iof::LastIofImport().complete);
  EXPECT_TRUE(Logged("     2 poster f\xF6re felet sparades inte (de \xE5terst\xE4lldes med felet)"));
  EXPECT_TRUE(Logged("Adderade:   2 Modifierade:   0 Rader:   4"));
  CloseAllCompetitionFiles();
  EXPECT_EQ(Live("OL01"), 2u);
  EXPECT_EQ(DataFaults(data.path()), "");
  for (const CheckLine& l : CheckDataDirectory(data.str())) EXPECT_TRUE(l.ok) << l.name << ": " << l.message;
}

}  // namespace
}  // namespace olbrax::test

// "säkerhetskopiera": the copy is a data directory of its own, on the disk and checked before the
// notice says it succeeded.
#include <set>

#include "base/messages.h"
#include "competition/maintenance/backup_copy.h"
#include "maintenance_fixture.h"
#include "storage/disk_file.h"
#include "storage/file_hooks.h"

namespace olbrax::test {
namespace {

namespace fs = std::filesystem;

class BackupCopyTest : public MaintenanceTest {
 protected:
  std::string LastBox() const { return ui.boxes.empty() ? std::string() : ui.boxes.back().text; }
  std::set<std::string> FilesIn(const fs::path& folder) const {
    std::set<std::string> out;
    for (const auto& e : fs::directory_iterator(folder)) out.insert(e.path().filename().string());
    return out;
  }
  TempDir target;
};

// Records the file calls of the copy. Writes to the copy of the clubs file are kept apart: the
// statistics block of the open competition is saved to the data directory before it is copied.
struct CallLog : disk::FileHooks {
  std::vector<std::pair<disk::FileOp, std::string>> calls;
  std::vector<std::size_t> writes_to_clubs;
  std::string copy_of_clubs;
  void After(const disk::FileEvent& e) override {
    calls.emplace_back(e.op, e.path);
    if (e.op == disk::FileOp::Write && !copy_of_clubs.empty() && e.path.find(copy_of_clubs) != std::string::npos)
      writes_to_clubs.push_back(e.len);
  }
};

TEST_F(BackupCopyTest, TheCopyIsAFlushedAndCheckedDataDirectory) {
  BuildData();
  CallLog log;
  disk::SetFileHooks(&log);
  ASSERT_TRUE(BackupCopy(&ui, target.str() + "/"));
  disk::SetFileHooks(nullptr);
  EXPECT_EQ(LastBox(), "OlDataBas nr.01 kopierad till " + target.str() + " ..lyckad kopiering!!");
  EXPECT_EQ(LastBackupTarget, target.str());
  EXPECT_TRUE(CompetitionOpen);  // reopened
  EXPECT_EQ(CurrentCompetition, 1);

  // Every file of the list that the data directory holds (this one has no label registers).
  std::vector<Text> names;
  for (const Text& n : BackupFileNames(1))
    if (disk::Exists(data.str() + "/" + n)) names.push_back(n);
  EXPECT_EQ(names.size(), 20u);  // with the competition's id file IOFID01
  EXPECT_TRUE(std::count(names.begin(), names.end(), "IOFID01.DAT"));
  EXPECT_EQ(FilesIn(target.path()), std::set<std::string>(names.begin(), names.end()));
  // Each copied file was flushed, and then the folder, before the copy was read back to check it.
  std::size_t folder_flush = 0, last_copy_flush = 0, first_check = 0;
  std::set<std::string> flushed;
  for (std::size_t i = 0; i < log.calls.size(); ++i) {
    const auto& [op, path] = log.calls[i];
    if (op == disk::FileOp::Flush && path == target.str()) folder_flush = i;
    if (op == disk::FileOp::Flush && path.rfind(target.str() + "/", 0) == 0) {
      flushed.insert(path.substr(target.str().size() + 1));
      last_copy_flush = i;
    }
    if (op == disk::FileOp::Open && path.rfind(target.str() + "/", 0) == 0 && first_check == 0 && folder_flush != 0)
      first_check = i;
  }
  EXPECT_EQ(flushed, std::set<std::string>(names.begin(), names.end()));
  EXPECT_GT(folder_flush, last_copy_flush);
  EXPECT_GT(first_check, folder_flush);

  // The copy holds the files byte for byte and opens as the data directory.
  CloseAllCompetitionFiles();
  for (const Text& name : names)
    EXPECT_TRUE(ReadFileBytes(disk::Resolve(data.str() + "/" + name)) == ReadFileBytes(target.path() / name)) << name;
  EXPECT_EQ(CheckAll(target.path()), "");
  GeneralSettings.DataDirectory.set(target.str());
  OpenArchive();
  EXPECT_TRUE(ArchiveOpen);
  SelectFromMenu(1);
  EXPECT_TRUE(CompetitionOpen);
}

TEST_F(BackupCopyTest, ReadsOf32767BytesWithAProgressLineEach) {
  BuildData();
  CloseAllCompetitionFiles();
  WriteFileBytes(data.path() / "CLUBS01.Dat", std::string(100000, 'x'));  // not a file block: not checked
  OpenArchive();
  SelectFromMenu(1);
  CallLog log;
  log.copy_of_clubs = target.str() + "/CLUBS01.Dat";
  disk::SetFileHooks(&log);
  EXPECT_TRUE(BackupCopy(&ui, target.str()));
  disk::SetFileHooks(nullptr);
  EXPECT_EQ(log.writes_to_clubs, (std::vector<std::size_t>{32767, 32767, 32767, 1699}));
  std::string line = target.str() + "/CLUBS01.Dat bytes:";
  std::vector<std::string> shown;
  for (const auto& l : ui.counter_lines)
    if (l.find(line) != std::string::npos) shown.push_back(l.substr(l.find(line) + line.size()));
  EXPECT_EQ(shown, (std::vector<std::string>{"  32767", "  65534", "  98301", " 100000", " 100000 ..done"}));
}

TEST_F(BackupCopyTest, CancellingStopsTheCopyAndSaysSo) {
  BuildData();
  ui.RequestCancel();  // "avbryt" as soon as the progress window shows
  EXPECT_FALSE(BackupCopy(&ui, target.str()));
  EXPECT_EQ(MsgLine, "Kopieringen avbr\xF6ts, kopian \xE4r ofullst\xE4ndig.");
  EXPECT_TRUE(ui.boxes.empty());  // no notice of success
  EXPECT_TRUE(CompetitionOpen);
}

TEST_F(BackupCopyTest, WithoutACompetitionTheMissingFilesAreSkipped) {
  BuildData();
  CloseAllCompetitionFiles();
  OpenArchive();  // no competition: its group is looked for under number 00
  ASSERT_TRUE(BackupCopy(&ui, target.str()));
  EXPECT_EQ(LastBox(), "OlDataBas nr.00 kopierad till " + target.str() + " ..lyckad kopiering!!");
  EXPECT_EQ(FilesIn(target.path()).size(), 9u);
  EXPECT_FALSE(CompetitionOpen);
  EXPECT_TRUE(ArchiveOpen);
}

TEST_F(BackupCopyTest, FailuresAreReportedWithMessage516) {
  BuildData();
  const std::string before = [&] {
    CloseAllCompetitionFiles();
    std::string c = Contents();
    OpenArchive();
    SelectFromMenu(1);
    return c;
  }();

  // The data directory itself is no place for its copy: it would empty the files it copies.
  EXPECT_FALSE(BackupCopy(&ui, data.str() + "/."));
  EXPECT_EQ(LastBox(), MsgText(516) + " \"" + data.str() + "/.\" \xE4r databiblioteket sj\xE4lvt.");

  // A full disk under the copy: its third write fails (the competition record written back
  // before the copy is a transaction whose writes depend on the engine, not on the copy).
  struct FullTarget : disk::FileHooks {
    std::string folder;
    int writes = 0;
    disk::Verdict Before(const disk::FileEvent& e) override {
      if (e.op == disk::FileOp::Write && e.path.compare(0, folder.size(), folder) == 0 && ++writes == 3)
        return {ENOSPC};
      return {};
    }
  } faults;
  faults.folder = target.str();
  disk::SetFileHooks(&faults);
  EXPECT_FALSE(BackupCopy(&ui, target.str()));
  disk::SetFileHooks(nullptr);
  EXPECT_EQ(LastBox(), MsgText(516) + "112");
  bool error_line = false;
  for (const auto& l : ui.counter_lines) error_line = error_line || l.find(" ..error") != std::string::npos;
  EXPECT_TRUE(error_line);

  // A damaged file block is copied as it is, and the check of the copy finds it.
  CloseAllCompetitionFiles();
  std::string ix = ReadFileBytes(data.path() / "OL01.IX");
  WriteFileBytes(data.path() / "OL01.IX", ix.substr(0, ix.size() / 2) + std::string(ix.size() - ix.size() / 2, '\x7f'));
  OpenArchive();
  SelectFromMenu(1);
  EXPECT_FALSE(BackupCopy(&ui, target.str()));
  EXPECT_EQ(LastBox().rfind(MsgText(516) + " OL01.Dat: ", 0), 0u) << LastBox();
  WriteFileBytes(data.path() / "OL01.IX", ix);

  CloseAllCompetitionFiles();
  EXPECT_TRUE(Same(Contents(), before));  // the data directory itself is never touched
}

}  // namespace
}  // namespace olbrax::test

// "indexbygg": the registers keep their contents under new, dense record numbers; references
// follow; and whatever fails, the data directory ends all old or all rebuilt.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "base/messages.h"
#include "competition/data_dir_check.h"
#include "competition/maintenance/index_rebuild.h"
#include "competition/records/class_rec.h"
#include "competition/records/club_recs.h"
#include "competition/records/cmp_club_rec.h"
#include "competition/records/competition_rec.h"
#include "competition/records/entrant_rec.h"
#include "competition/registers/definitions.h"
#include "competition/registers/entrants.h"
#include "competition/registers/register_find.h"
#include "competition/registers/shared_registers.h"
#include "maintenance_fixture.h"
#include "storage/file_hooks.h"

namespace olbrax::test {
namespace {

class IndexRebuildTest : public MaintenanceTest {
 protected:
  // The program's start on the data directory: the archive and competition 1.
  void Start() {
    OpenArchive();
    SelectFromMenu(1);
  }
  bool BoxShown(const std::string& start) const {
    for (const auto& b : ui.boxes)
      if (b.text.rfind(start, 0) == 0) return true;
    return false;
  }
};

TEST_F(IndexRebuildTest, RegistersKeepTheirContentsUnderDenseNumbers) {
  BuildData();
  CloseAllCompetitionFiles();
  const std::string before = Contents();
  const std::string numbered = Numbering();
  ASSERT_EQ(CheckAll(), "");
  Start();

  ASSERT_TRUE(IndexRebuild(&ui)) << MsgLine;
  EXPECT_EQ(MsgLine, "indexbygg ...klart!!");
  EXPECT_TRUE(CompetitionOpen);
  EXPECT_EQ(CurrentCompetition, 1);
  CloseAllCompetitionFiles();
  EXPECT_EQ(CheckAll(), "");
  // The data directory check, counters against entrants included, agrees with the recount.
  for (const CheckLine& line : CheckDataDirectory(data.str())) EXPECT_TRUE(line.ok) << line.name << ": " << line.message;
  EXPECT_FALSE(RebuildLeftovers());
  // Entrants of both competitions name the same clubs and classes; counts, statistics and control
  // marks are as the program's own bookkeeping left them.
  EXPECT_TRUE(Same(Contents(), before));
  EXPECT_NE(Numbering(), numbered);
  // A second rebuild finds nothing to renumber.
  const std::string dense = Numbering();
  Start();
  ASSERT_TRUE(IndexRebuild(&ui));
  CloseAllCompetitionFiles();
  EXPECT_EQ(Numbering(), dense);
  EXPECT_TRUE(Same(Contents(), before));
}

TEST_F(IndexRebuildTest, ReferencesFollowTheNewNumbers) {
  std::int32_t club[7];
  for (int i = 1; i <= 5; ++i) club[i] = AddClub(std::string("Klubb ") + char('A' + i - 1));
  club[6] = AddClub("___ ok\xE4nd");
  AddCompetition("Test");
  ClearClassRec();
  KlassRec.Bet.set("H21");
  KlassRec.StrNr = 1;
  KlassRec.FrstStTid[0] = 36000;
  std::int32_t h21 = 0;
  PutClass(true, h21);
  AddEntrant(h21, club[4], "Anna", 1);
  std::int32_t of_c = AddEntrant(h21, club[3], "Kalle", 2);
  bool at_end, found;
  FindEntrant(kFindRecord, "", of_c, at_end, found);
  EntrantRec.StartTime[0] = 120;
  RewriteEntrant(of_c);
  SetClubAmount(club[4], 1, 99.0);
  RemoveClub(club[2]);
  RemoveClub(club[3]);  // Kalle's club is gone
  CloseAllCompetitionFiles();
  Start();

  ASSERT_TRUE(IndexRebuild(&ui)) << MsgLine;
  std::int32_t ref = 2;
  FindClub(kFindRecord, "", ref, at_end, found);
  EXPECT_EQ(ClubRec.ClubName.get(), "KLUBB D");
  EXPECT_EQ(FileLen(ClubFile), 5);  // A, D, E and the placeholder, numbered 1..4
  FindEntrant(kFindExact, "0001", ref, at_end, found);
  ASSERT_TRUE(found);
  EXPECT_EQ(EntrantRec.ClubRef, 2);
  EXPECT_EQ(EntrantRec.OwnRef, ref);
  FindEntrant(kFindExact, "0002", ref, at_end, found);
  ASSERT_TRUE(found);
  EXPECT_EQ(EntrantRec.ClubRef, 4);  // the placeholder club
  EXPECT_TRUE(BoxShown("Nummer: \"0002\" Kalle felaktig klubb!")) << (ui.boxes.empty() ? "" : ui.boxes.back().text);
  // The club statistics moved with the clubs; the start clock of the last start was recounted.
  EXPECT_EQ(ClubAmount(2, 1), 99.0);
  EXPECT_EQ(ClubAmount(4, 1), 0.0);
  EXPECT_EQ(CmpClubRec.ClubEntrantCount[2], 1);
  EXPECT_EQ(CmpClubRec.ClubEntrantCount[4], 1);
  EXPECT_EQ(CmpClubRec.ClubsWithEntrants, 2);
  EXPECT_EQ(InfoRec.StTidCount[0], 36120);
  CloseAllCompetitionFiles();
  EXPECT_EQ(CheckAll(), "");
}

TEST_F(IndexRebuildTest, WithoutACompetitionOnlyTheSharedRegistersAreRebuilt) {
  BuildData();
  CloseAllCompetitionFiles();
  OpenArchive();  // no competition selected
  EXPECT_FALSE(IndexRebuild(&ui));  // the archive holds competitions that were not rebuilt
  EXPECT_EQ(MsgLine, MsgText(522));
  EXPECT_FALSE(CompetitionOpen);
  CloseAllCompetitionFiles();
  EXPECT_EQ(CheckAll(), "");

  GeneralSettings.DataDirectory.set(home.str());  // a folder without an archive
  EXPECT_FALSE(IndexRebuild(&ui));
  EXPECT_EQ(MsgLine, MsgText(330));
}

TEST_F(IndexRebuildTest, DamagedBlocksAreRebuiltFromTheirRecords) {
  BuildData();
  CloseAllCompetitionFiles();
  const std::string before = Contents();
  std::string ix = ReadFileBytes(data.path() / "CLUBAR.IX");
  WriteFileBytes(data.path() / "CLUBAR.IX", std::string(28, '\x7f') + ix.substr(28));
  std::filesystem::remove(data.path() / "KLASS01.IX");

  OpenArchive();
  ASSERT_FALSE(ArchiveOpen);  // the club register cannot be opened
  EXPECT_FALSE(IndexRebuild(&ui));  // the shared registers are rebuilt; no competition was open
  EXPECT_EQ(MsgLine, MsgText(522));
  ASSERT_TRUE(ArchiveOpen);
  SelectFromMenu(1);
  ASSERT_FALSE(CompetitionOpen);  // selected, but its class file has no index
  ASSERT_TRUE(IndexRebuild(&ui)) << (ui.boxes.empty() ? MsgLine : ui.boxes.back().text);
  EXPECT_TRUE(CompetitionOpen);
  CloseAllCompetitionFiles();
  EXPECT_EQ(CheckAll(), "");
  EXPECT_TRUE(Same(Contents(), before));
}

TEST_F(IndexRebuildTest, CancellingOrAFileInUseChangesNothing) {
  BuildData();
  CloseAllCompetitionFiles();
  const std::string before = Contents(), numbered = Numbering();

  Start();
  ui.RequestCancel();  // "avbryt" as soon as the progress window shows
  EXPECT_FALSE(IndexRebuild(&ui));
  EXPECT_EQ(MsgLine, "Indexbygget avbrutet, datafilerna \xE4r of\xF6r\xE4ndrade.");
  EXPECT_TRUE(CompetitionOpen);
  CloseAllCompetitionFiles();
  EXPECT_EQ(Numbering(), numbered);
  EXPECT_FALSE(RebuildLeftovers());

  // Another copy of the program has the other competition's entrants open.
  int fd = ::open((data.path() / "OL02.DAT").c_str(), O_RDWR);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);
  Start();
  EXPECT_FALSE(IndexRebuild(&ui));
  ::close(fd);
  EXPECT_TRUE(BoxShown("Indexbygget avbr\xF6ts vid OL02")) << (ui.boxes.empty() ? "" : ui.boxes.back().text);
  CloseAllCompetitionFiles();
  EXPECT_EQ(Numbering(), numbered);
  EXPECT_TRUE(Same(Contents(), before));
  EXPECT_FALSE(RebuildLeftovers());
}

// Every write, flush, rename, creation and deletion of a rebuild failing in turn: the
// failure is reported, and after the next start the data directory is all old or all rebuilt,
// passes the integrity check and holds the same registers.
TEST_F(IndexRebuildTest, AFailureAtAnyFileCallLeavesOldOrRebuiltData) {
  DataSize small;
  small.clubs = 6;
  small.entrants = 8;
  small.other_entrants = 4;
  small.routes = 2;
  small.controls = 5;
  BuildData(small);
  CloseAllCompetitionFiles();
  const auto base = SaveFiles();
  const std::string before = Contents(), old_numbers = Numbering();
  Start();
  ASSERT_TRUE(IndexRebuild(&ui));
  CloseAllCompetitionFiles();
  const std::string new_numbers = Numbering();

  int trials = 0;
  for (disk::FileOp op :
       {disk::FileOp::Write, disk::FileOp::Flush, disk::FileOp::Rename, disk::FileOp::Create, disk::FileOp::Delete}) {
    for (int nth = 1;; ++nth) {
      SCOPED_TRACE("file call kind " + std::to_string(static_cast<int>(op)) + ", call " + std::to_string(nth));
      RestoreFiles(base);
      Start();
      ui.boxes.clear();
      disk::FaultInjector faults;
      disk::SetFileHooks(&faults);
      faults.Arm(op, nth, op == disk::FileOp::Write ? ENOSPC : EIO);
      bool ok = IndexRebuild(&ui);
      disk::SetFileHooks(nullptr);
      bool pending = std::filesystem::exists(data.path() / std::string(kRebuildStaging));
      if (!faults.Fired()) {
        ASSERT_TRUE(ok);
        break;
      }
      ++trials;
      if (!ok) {
        EXPECT_FALSE(ui.boxes.empty()) << "a failed rebuild must say so";
      }
      // The next start.
      CloseAllCompetitionFiles();
      OpenArchive();
      ASSERT_TRUE(ArchiveOpen) << MsgLine;
      CloseAllCompetitionFiles();
      ASSERT_FALSE(RebuildLeftovers());
      ASSERT_EQ(CheckAll(), "");
      ASSERT_TRUE(Same(Contents(), before));
      ASSERT_EQ(Numbering(), ok || pending ? new_numbers : old_numbers) << "ok " << ok << " pending " << pending;
    }
  }
  EXPECT_GT(trials, 200);
}

}  // namespace
}  // namespace olbrax::test

// The archive of competitions: adding, the limit of eight, deleting and reusing entries, the
// registers that must exist, and the switch between the entry and definition sets.
#include <cerrno>
#include <filesystem>
#include <vector>

#include "base/messages.h"
#include "competition/archive.h"
#include "competition/records/class_rec.h"
#include "competition/records/club_recs.h"
#include "competition/records/cmp_club_rec.h"
#include "competition/records/competition_rec.h"
#include "competition/registers/register_change.h"
#include "storage/file_hooks.h"
#include "printing/config/configuration.h"
#include "storage/isam.h"
#include "data_fixture.h"
#include "fault_loop.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace olbrax::test {
namespace {

class ArchiveTest : public DataTest {
 protected:
  std::int32_t Add(const std::string& name, const std::string& type = "") { return AddCompetition(name, type); }
  bool Exists(const std::string& leaf) { return std::filesystem::exists(data.path() / leaf); }
};

TEST_F(ArchiveTest, AddingUpToEightAndReusingADeletedEntry) {
  for (int i = 1; i <= 8; ++i) EXPECT_EQ(Add("T" + std::to_string(i)), i);
  EXPECT_EQ(ArchiveCount, 8);
  EXPECT_TRUE(Exists("KLASS08.DAT") && Exists("CLUBS08.Dat") && Exists("KONTR08.IX"));
  // The ninth is refused before the dialog.
  EXPECT_FALSE(BeginInputInfo(true));
  EXPECT_EQ(MsgLine, "Max antal t\xE4vlingar uppn\xE5tt!");
  EXPECT_EQ(ui.beeps, 1);

  // Deleting entry 3 (not the current one) keeps competition 8 open; a new one gets number 03.
  DeleteFromMenu(3);
  EXPECT_EQ(ui.boxes.back().text, "OlDataBas: T3 raderas ");
  EXPECT_EQ(ui.boxes.back().style, platform::kGuardedQuestionBox);
  EXPECT_EQ(CurrentCompetition, 8);
  EXPECT_TRUE(CompetitionOpen);
  EXPECT_FALSE(Exists("KLASS03.DAT"));
  EXPECT_FALSE(Exists("CLUBS03.Dat"));
  auto menu = ShowArchiveMenus();
  EXPECT_EQ(menu[2].caption, "raderad");
  EXPECT_FALSE(menu[2].enabled);
  EXPECT_TRUE(menu[7].checked);
  EXPECT_EQ(Add("Ny"), 3);
  EXPECT_EQ(InfoRec.Lnr.get(), "03");
  EXPECT_TRUE(Exists("KLASS03.DAT"));
  menu = ShowArchiveMenus();
  EXPECT_EQ(menu[2].caption, "Ny");
  EXPECT_TRUE(menu[2].checked);

  // Deleting the current competition leaves none selected.
  DeleteFromMenu(3);
  EXPECT_EQ(CurrentCompetition, 0);
  EXPECT_FALSE(CompetitionOpen);
  EXPECT_EQ(GeneralSettings.CurrentCompetition, 0);
}

TEST_F(ArchiveTest, NewCompetitionStartsEmptyAndKeepsThePaymentDetailsGiven) {
  ASSERT_TRUE(BeginInputInfo(true));
  InfoRec.Tvl.set("Vårsprinten");
  InfoRec.Arr.set("IFK Backe");
  CmpClubRec.PlusgiroNumber.set("12345-6");  // typed in the dialog while adding
  AcceptInputInfo(true);
  EXPECT_EQ(CmpClubRec.Payee.get(), "IFK Backe");  // none given: the organiser
  EXPECT_EQ(CmpClubRec.PlusgiroNumber.get(), "12345-6");
  CmpClubRec.ClubsWithEntrants = 4;
  // The next new competition starts without the previous one's details and counts.
  ASSERT_TRUE(BeginInputInfo(true));
  EXPECT_TRUE(CmpClubRec.PlusgiroNumber.empty());
  EXPECT_TRUE(CmpClubRec.Payee.empty());
  EXPECT_EQ(CmpClubRec.ClubsWithEntrants, 0);
  InfoRec.Tvl.set("Annan");
  InfoRec.Arr.set("OK Annan");
  CmpClubRec.Payee.set("OK Annans kassa");
  AcceptInputInfo(true);
  // Each competition's block is read back from its file when it is selected again.
  SelectFromMenu(1);
  EXPECT_EQ(InfoRec.Tvl.get(), "Vårsprinten");
  EXPECT_EQ(CmpClubRec.Payee.get(), "IFK Backe");
  EXPECT_EQ(CmpClubRec.PlusgiroNumber.get(), "12345-6");
  SelectFromMenu(2);
  EXPECT_EQ(CmpClubRec.Payee.get(), "OK Annans kassa");
  EXPECT_TRUE(CmpClubRec.PlusgiroNumber.empty());
}

TEST_F(ArchiveTest, MotionInsideAWordMakesBigClasses) {
  Add("Kvällsträning", "Kv\xE4llsmotionslopp");
  CloseCompetition();
  SelectFromMenu(1);
  EXPECT_TRUE(MotionCompetition);
  ClearClassRec();
  EXPECT_EQ(KlassRec.maxi, 3200);
}

TEST_F(ArchiveTest, EntryAndDefinitionSetsAreNeverOpenTogether) {
  Add("Sets");
  ASSERT_TRUE(CompetitionOpen);
  ASSERT_NE(EntrantFile, nullptr);
  OpenDefinitions();
  EXPECT_TRUE(DefinitionsOpen);
  EXPECT_FALSE(CompetitionOpen);
  EXPECT_EQ(EntrantFile, nullptr);
  EXPECT_NE(KontrFile, nullptr);
  CloseDefinitions();
  OpenCompetition();
  EXPECT_TRUE(CompetitionOpen);
  EXPECT_FALSE(DefinitionsOpen);
  EXPECT_EQ(KontrFile, nullptr);
}

// Opening the entry set while the definition set is open closes the definition set first, and
// what the definitions changed in the statistics block is saved and read back, not lost.
TEST_F(ArchiveTest, OpeningTheEntrySetClosesTheDefinitionSetFirst) {
  Add("Byte");
  OpenDefinitions();
  ASSERT_TRUE(DefinitionsOpen);
  CmpClubRec.ControlUse[0] = 7;
  OpenCompetition();
  EXPECT_TRUE(CompetitionOpen);
  EXPECT_FALSE(DefinitionsOpen);
  EXPECT_EQ(KontrFile, nullptr);
  EXPECT_EQ(CmpClubRec.ControlUse[0], 7);
}

// The menus of the archive with two competitions: entries 1 and 2 name them, entry 3 on is vacant
// and cannot be chosen.
TEST_F(ArchiveTest, EntriesAfterTheLastCompetitionAreVacant) {
  Add("Ett");
  Add("Tv\xE5");
  auto menu = ShowArchiveMenus();
  EXPECT_EQ(menu[0].caption, "Ett");
  EXPECT_TRUE(menu[0].enabled);
  EXPECT_EQ(menu[1].caption, "Tv\xE5");
  EXPECT_TRUE(menu[1].enabled);
  EXPECT_TRUE(menu[1].checked);
  for (int i = 2; i < kMaxCompetitions; ++i) {
    SCOPED_TRACE(i + 1);
    EXPECT_EQ(menu[static_cast<std::size_t>(i)].caption, "vakant");
    EXPECT_FALSE(menu[static_cast<std::size_t>(i)].enabled);
  }
}

// Every file of the data directory is created with the record length, key lengths and
// duplicates flags of its table, read back from the file headers: an index that allowed
// duplicates where the table says unique would let two classes share a name.
TEST_F(ArchiveTest, TheFilesHaveTheRecordsAndKeysOfTheirTable) {
  Add("Nycklar");
  CloseAllCompetitionFiles();
  struct Expected {
    const char* file;
    int rec_len;
    std::vector<std::pair<int, int>> keys;  // key length, duplicates allowed
  };
  const Expected table[] = {
      {"OLBRAX", 2364, {}},           {"CLUBAR", 548, {{30, 1}}},          {"DISTR", 32, {{3, 1}}},
      {"RUTBESKR", 288, {{11, 0}}},   {"RUTB24", 520, {{11, 0}}},          {"KLASS01", 2348, {{15, 0}, {9, 0}}},
      {"OL01", 1748, {{5, 1}}},       {"TRACK01", 280, {{13, 0}}},         {"KONTR01", 116, {{4, 0}}},
  };
  auto i32 = [](const std::string& b, std::size_t at) {
    return b.size() < at + 4 ? -1 : int(std::uint8_t(b[at]) | std::uint8_t(b[at + 1]) << 8 | std::uint8_t(b[at + 2]) << 16);
  };
  for (const Expected& e : table) {
    SCOPED_TRACE(e.file);
    const std::string dat = ReadFileBytes(data.path() / (std::string(e.file) + ".DAT"));
    EXPECT_EQ(i32(dat, 12), e.rec_len);
    EXPECT_EQ(i32(dat, 16), static_cast<int>(e.keys.size()));
    const std::string ix = ReadFileBytes(data.path() / (std::string(e.file) + ".IX"));
    std::size_t slot = 0;  // index k's header: at the sum of the page sizes of the indexes before it
    for (auto [len, dups] : e.keys) {
      const int page_size = i32(ix, slot + 12);
      EXPECT_EQ(page_size, 6 + 62 * (len + 9));
      ASSERT_GT(ix.size(), slot + 20);
      EXPECT_EQ(ix[slot + 20], dups);
      slot += static_cast<std::size_t>(page_size);
    }
  }
}

// The statistics block is written through the file layer and flushed before it is closed; a
// flush that fails is reported, and the block is not said to be saved.
TEST_F(ArchiveTest, TheStatisticsBlockIsFlushedAndAFailedFlushIsReported) {
  Add("Statistik");
  struct Calls : disk::FileHooks {
    std::vector<disk::FileOp> ops;
    int fail_flush = 0;
    disk::Verdict Before(const disk::FileEvent& e) override {
      if (e.path.find("CLUBS01") == std::string::npos) return {};
      ops.push_back(e.op);
      return {e.op == disk::FileOp::Flush ? fail_flush : 0, false};
    }
  } calls;
  disk::SetFileHooks(&calls);
  EXPECT_TRUE(WriteCmpClubRec());
  using Op = disk::FileOp;
  EXPECT_EQ(calls.ops, (std::vector<Op>{Op::Open, Op::Write, Op::Flush}));
  calls.fail_flush = EIO;
  ResetReportedStorageFailures();
  EXPECT_FALSE(WriteCmpClubRec());
  disk::SetFileHooks(nullptr);
  EXPECT_EQ(ReportedStorageFailures(), 1);
  ASSERT_FALSE(ui.boxes.empty());
  EXPECT_EQ(ui.boxes.back().text.substr(0, 21), "Fel vid skrivning av ");
}

TEST_F(ArchiveTest, MissingRouteFileLeavesTheArchiveClosed) {
  CloseAllCompetitionFiles();
  GeneralSettings.RouteFormat = 0;  // the short form, whose file is removed
  for (const char* f : {"RUTBESKR.DAT", "RUTBESKR.IX", "RUTBESKR.DIA"}) std::filesystem::remove(data.path() / f);
  OpenArchive();
  EXPECT_FALSE(ArchiveOpen);
  EXPECT_EQ(ClubFile, nullptr);
  EXPECT_EQ(MsgLine, "Datafiler saknas/ ej i aktuellt bibliotek");
  SelectCompetition(true, 1);
  EXPECT_EQ(GeneralSettings.CurrentCompetition, 0);
}

TEST_F(ArchiveTest, NewArchiveKeepsTheClubs) {
  Add("Gammal");
  ClearClub();
  ClubRec.ClubName.set("OK ORION");
  std::int32_t r = 0;
  AddRec(ClubFile, r, &ClubRec);
  AddKey(ClubFile, 1, r, "OK ORION");
  ASSERT_TRUE(IsamOK);
  ui.answers = {platform::kYes};
  CreateArchiveFiles();
  EXPECT_TRUE(ArchiveOpen);
  EXPECT_EQ(ArchiveCount, 0);
  EXPECT_EQ(UsedRecs(ClubFile), 1);
  EXPECT_EQ(ui.boxes.back().text, MsgText(504));
  EXPECT_EQ(ui.boxes.back().style, platform::kGuardedQuestionBox);  // "Nej" is the default
  // Declining the question changes nothing.
  Add("Ny igen");
  ui.answers = {platform::kNo};
  EXPECT_FALSE(CreateArchiveFiles());
  EXPECT_EQ(ArchiveCount, 1);
}

// Another copy of the program holds the shared registers open: "skapa nya" must not empty the
// archive and then stop at the first file it cannot take.
TEST_F(ArchiveTest, NewArchiveWhileAnotherCopyHoldsAFileChangesNothing) {
  Add("Pågår");
  Add("Nästa");
  CloseAllCompetitionFiles();
  int other = ::open((data.path() / "CLUBAR.DAT").c_str(), O_RDWR);
  ASSERT_GE(other, 0);
  ASSERT_EQ(::flock(other, LOCK_EX | LOCK_NB), 0);
  OpenArchive();  // this copy cannot open the registers, but sees the two competitions
  EXPECT_EQ(ArchiveCount, 2);
  ui.answers = {platform::kYes};
  EXPECT_FALSE(CreateArchiveFiles());
  ASSERT_FALSE(ui.boxes.empty());
  EXPECT_NE(ui.boxes.back().text.find("CLUBAR"), std::string::npos) << ui.boxes.back().text;
  EXPECT_NE(ui.boxes.back().text.find("anv\xE4nds av en annan kopia"), std::string::npos) << ui.boxes.back().text;
  ::close(other);
  OpenArchive();
  EXPECT_TRUE(ArchiveOpen);
  EXPECT_EQ(ArchiveCount, 2);
}

// Deleting an entry that is already deleted would put it on the archive's free chain a second
// time: the chain would close into a cycle and a later "ny" would fail.
TEST_F(ArchiveTest, DeletingADeletedOrVacantEntryIsRefused) {
  Add("Ett");
  Add("Två");
  EXPECT_TRUE(DeleteFromMenu(2));
  EXPECT_FALSE(DeleteFromMenu(2));
  EXPECT_EQ(MsgLine, "T\xE4vling 02 \xE4r redan raderad");
  EXPECT_FALSE(DeleteFromMenu(5));
  EXPECT_EQ(MsgLine, "T\xE4vling 05 finns inte (vakant)");
  EXPECT_EQ(ArchiveCount, 1);
  EXPECT_EQ(Add("Tre"), 2);
  EXPECT_EQ(Add("Fyra"), 3);
  EXPECT_EQ(ArchiveCount, 3);
  CloseAllCompetitionFiles();
  EXPECT_EQ(DataFaults(data.path()), "");
}

// Creating a competition is all or nothing: with any file call failing, the files made so far
// and the archive entry are gone again, and the user is told why.
TEST_F(ArchiveTest, ACompetitionIsCreatedWholeOrNotAtAll) {
  Add("Finns");
  CloseAllCompetitionFiles();
  FolderCopy copy(data.path());
  const std::string before = DataContents(data.path());
  int reported = 0;
  LoopResult r = ErrorLoop(
      copy,
      [&] {
        OpenArchive();
        ReopenConfiguredCompetition();
        ASSERT_TRUE(BeginInputInfo(true));
        InfoRec.Tvl.set("Ny t\xE4vling");
        InfoRec.Arr.set("OK Fel");
        reported = ReportedStorageFailures();
        ui.boxes.clear();
      },
      [] { return AcceptInputInfo(true); },
      [&](bool ok, int n) {
        SCOPED_TRACE("failing call " + std::to_string(n));
        EXPECT_EQ(DataFaults(data.path()), "");
        if (ok) return;
        EXPECT_GT(ReportedStorageFailures(), reported);
        ASSERT_FALSE(ui.boxes.empty());
        EXPECT_EQ(DataContents(data.path()), before);
        for (const char* f : {"KLASS02.DAT", "OL02.DAT", "TRACK02.DAT", "KONTR02.DAT", "CLUBS02.Dat"})
          EXPECT_FALSE(Exists(f)) << f;
      });
  EXPECT_TRUE(r.ended);
  EXPECT_GT(r.failures, 20);
}

// The statistics block that cannot be read names the reason in its I/O result number: a missing
// file 2, a missing folder 3, no access 5, anything else 100. A delete whose archive cannot be
// opened says so too.
TEST_F(ArchiveTest, FailuresOfTheStatisticsBlockAndTheArchiveAreNamed) {
  Add("Orsak");
  CloseCompetition();
  struct Refuse : disk::FileHooks {
    int err = 0;
    std::string part;
    disk::Verdict Before(const disk::FileEvent& e) override {
      return {e.op == disk::FileOp::Open && e.path.find(part) != std::string::npos ? err : 0, false};
    }
  } refuse;
  refuse.part = "CLUBS01";
  disk::SetFileHooks(&refuse);
  const std::pair<int, int> cases[] = {{ENOTDIR, 3}, {EACCES, 5}, {EIO, 100}};
  for (auto [err, io] : cases) {
    SCOPED_TRACE(err);
    refuse.err = err;
    ui.boxes.clear();
    EXPECT_FALSE(ReadCmpClubRec());
    ASSERT_FALSE(ui.boxes.empty());
    EXPECT_EQ(ui.boxes.back().text.substr(0, 19), "Fel vid l\xE4sning av ");
    const std::string tail = "\" " + MsgText(io);
    EXPECT_NE(ui.boxes.back().text.find(tail), std::string::npos) << ui.boxes.back().text;
  }
  refuse.part = "OLBRAX";
  refuse.err = EIO;
  ResetReportedStorageFailures();
  EXPECT_FALSE(DeleteCompetition(1));
  disk::SetFileHooks(nullptr);
  EXPECT_EQ(ReportedStorageFailures(), 1);
  EXPECT_NE(ui.boxes.back().text.find("OLBRAX"), std::string::npos) << ui.boxes.back().text;
}

}  // namespace
}  // namespace olbrax::test

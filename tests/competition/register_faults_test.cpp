// Every register operation under an error loop: with the n-th file call failing, the operation
// reports false, the user is shown the storage message, and the files are exactly as before it:
// intact, no record without its key, no key without its record, nothing half-written.
#include "base/counter.h"
#include "base/messages.h"
#include "competition/records/class_rec.h"
#include "competition/records/club_recs.h"
#include "competition/records/cmp_club_rec.h"
#include "competition/records/definition_recs.h"
#include "competition/records/entrant_rec.h"
#include "competition/records/route_recs.h"
#include "competition/registers/definitions.h"
#include "competition/registers/entrants.h"
#include "competition/registers/register_change.h"
#include "competition/registers/register_find.h"
#include "competition/registers/shared_registers.h"
#include "data_fixture.h"
#include "fault_loop.h"

namespace olbrax::test {
namespace {

struct RegisterOp {
  const char* name;
  bool definitions;  // works on the definition set
  std::function<bool()> run;
  std::function<void()> prepare = {};  // before the failing calls are counted (a find, an edit)
};

template <class FindFn>
std::int32_t Found(FindFn find, std::string_view key) {
  std::int32_t ref = 0;
  bool at_end = false, found = false;
  find(kFindExact, key, ref, at_end, found);
  return found ? ref : 0;
}

class RegisterFaults : public DataTest {
 protected:
  void SetUp() override {
    DataTest::SetUp();
    ResetReportedStorageFailures();
    GeneralSettings.RouteFormat = 0;
    SwitchRouteFile();
    AddCompetition("Felprov");
    std::int32_t ref = 0;
    ClearDistrict();
    DistrRec.Dnr.set("08");
    ASSERT_TRUE(PutDistrict(true, ref));
    ClearClub();
    ClubRec.ClubName.set("OK FEL");
    ASSERT_TRUE(PutClub(true, club_));
    ClearRoute();
    RouteRec.RouteKey.set("SNITSEL");
    ASSERT_TRUE(PutRoute(true, ref));
    ClearClassRec();
    KlassRec.Bet.set("H21");
    ASSERT_TRUE(PutClass(true, class_));
    ClearEntrant();
    EntrantRec.ClassRef = class_;
    EntrantRec.ClubRef = club_;
    EntrantRec.StartNumber.set("0001");
    ASSERT_TRUE(PutEntrant(true, ref));
    OpenDefinitions();
    ClearControl();
    KontrRec.KodNr.set(" 31");
    ASSERT_TRUE(PutControl(true, ref));
    ClearCourse();
    TrackRec.Bana.set("A");
    ASSERT_TRUE(PutCourse(true, ref));
    CloseAllCompetitionFiles();
  }

  void Open(bool definitions) {
    OpenArchive();
    ReopenConfiguredCompetition();
    if (definitions) OpenDefinitions();
  }

  // Runs the error loop over `op` and checks every failure.
  void Check(const RegisterOp& op) {
    SCOPED_TRACE(op.name);
    FolderCopy copy(data.path());
    const std::string before = DataContents(data.path());
    int reported = 0;
    LoopResult r = ErrorLoop(
        copy,
        [&] {
          Open(op.definitions);
          if (op.prepare) op.prepare();
          reported = ReportedStorageFailures();
          ui.boxes.clear();
        },
        op.run,
        [&](bool ok, int n) {
          SCOPED_TRACE("failing call " + std::to_string(n));
          EXPECT_EQ(DataFaults(data.path()), "");
          if (ok) return;  // a failure the operation could do without: the files are intact
          EXPECT_GT(ReportedStorageFailures(), reported);
          ASSERT_FALSE(ui.boxes.empty());
          EXPECT_FALSE(ui.boxes.back().text.empty());
          EXPECT_EQ(DataContents(data.path()), before);
        });
    EXPECT_TRUE(r.ended);
    EXPECT_GT(r.failures, 2);
    total_failures_ += r.failures;
    copy.Restore();
  }

  std::int32_t club_ = 0, class_ = 0;
  std::int32_t target_ = 0;  // the record an operation changes
  int total_failures_ = 0;
};

TEST_F(RegisterFaults, EveryRegisterOperationIsWholeOrNotAtAll) {
  std::vector<RegisterOp> ops = {
      {"add a district", false,
       [] {
         std::int32_t ref = 0;
         ClearDistrict();
         DistrRec.Dnr.set("09");
         return PutDistrict(true, ref);
       }},
      {"renumber a district", false, [this] { return PutDistrict(false, target_); },
       [this] {
         target_ = Found(FindDistrict, "08");
         DistrRec.Dnr.set("07");
       }},
      {"delete a district", false, [] { return DeleteDistrict(false, "08", 0, true); }},
      {"add a club", false,
       [] {
         std::int32_t ref = 0;
         ClearClub();
         ClubRec.ClubName.set("IFK NY");
         return PutClub(true, ref);
       }},
      {"rename a club", false, [this] { return PutClub(false, target_); },
       [this] {
         target_ = Found(FindClub, "OK FEL");
         ClubRec.ClubName.set("OK R\xC4TT");
       }},
      {"add a route description", false,
       [] {
         std::int32_t ref = 0;
         ClearRoute();
         RouteRec.RouteKey.set("STIG");
         return PutRoute(true, ref);
       }},
      {"add a long route description", false,
       [] {
         GeneralSettings.RouteFormat = 1;
         SwitchRouteFile();
         std::int32_t ref = 0;
         ClearRoute24();
         Route24Rec.RouteKey.set("STIG");
         bool ok = PutRoute(true, ref);
         GeneralSettings.RouteFormat = 0;
         return ok;
       }},
      {"add a class", false,
       [] {
         std::int32_t ref = 0;
         ClearClassRec();
         KlassRec.Bet.set("D21");
         return PutClass(true, ref);
       }},
      {"rename a class", false, [this] { return PutClass(false, target_); },
       [this] {
         target_ = Found(FindClassByName, "H21");
         KlassRec.Bet.set("H20");
       }},
      {"rewrite a class", false, [this] { return RewriteClass(target_); },
       [this] {
         target_ = Found(FindClassByName, "H21");
         KlassRec.maxi = 120;
       }},
      {"add an entrant and count it", false,
       [this] {
         std::int32_t ref = 0;
         ClearEntrant();
         EntrantRec.ClassRef = class_;
         EntrantRec.ClubRef = club_;
         EntrantRec.StartNumber.set("0002");
         return PutEntrant(true, ref);
       }},
      {"rewrite the competition record", false,
       [] {
         TInfoRec saved = InfoRec;
         InfoRec.Tvl.set("Nytt namn");
         bool ok = WriteCompetitionRec(CurrentCompetition);
         if (!ok) InfoRec = saved;  // as the dialog's Cancel does
         return ok;
       }},
      {"write the club statistics", false,
       [this] {
         TCmpClubRec saved = CmpClubRec;
         SetClubAmount(club_, 1, 150.5);
         bool ok = WriteCmpClubRec();
         if (!ok) CmpClubRec = saved;
         return ok;
       }},
      {"add a control", true,
       [] {
         std::int32_t ref = 0;
         ClearControl();
         KontrRec.KodNr.set(" 32");
         return PutControl(true, ref);
       }},
      {"delete a control", true, [] { return DeleteControl(false, " 31", 0, true); }},
      {"rename a course", true, [this] { return PutCourse(false, target_); },
       [this] {
         target_ = Found(FindCourse, "A");
         TrackRec.Bana.set("B");
       }},
      {"delete a course", true, [] { return DeleteCourse(false, "A", 0, true); }},
  };
  for (const RegisterOp& op : ops) Check(op);
  EXPECT_GT(total_failures_, 200);
}

// The program's own way to edit a record: its keys are removed when the dialog opens, and Put
// adds them again. When that Put fails, the record gets its old keys back rather than none.
TEST_F(RegisterFaults, AFailedPutAfterTheEditRemovedTheKeysGivesThemBack) {
  Check({"edit a control", true,
         [this] {
           // The edit window removes the keys when it opens (the failing call may land there too)
           // and stores the record when OK is pressed, all in one change.
           RegisterChange edit;
           if (!DeleteControl(true, " 31", target_, false)) return edit.Finish() && false;
           KontrRec.KodNr.set(" 33");
           return PutControl(false, target_) && edit.Finish();
         },
         [this] { target_ = Found(FindControl, " 31"); }});
}

// The platform error behind a failed store is named in the box the user sees: a full disk, a
// file that another copy holds, a refused or write-protected file; other errors give the
// engine's message alone.
TEST_F(RegisterFaults, TheBoxNamesTheFullDiskAndOtherPlatformErrors) {
  Open(false);
  const std::pair<int, Text> cases[] = {
      {ENOSPC, " - skivan \xE4r full"},
      {EDQUOT, " - skivan \xE4r full"},
      {EWOULDBLOCK, " - filen anv\xE4nds av en annan kopia av olbrax"},
      {EACCES, " - " + MsgText(5)},
      {EROFS, " - " + MsgText(150)},
      {EIO, ""},
  };
  disk::FaultInjector faults;
  disk::SetFileHooks(&faults);
  for (const auto& [err, detail] : cases) {
    SCOPED_TRACE(err);
    ui.boxes.clear();
    faults.Arm(disk::FileOp::Write, 1, err);
    ClearDistrict();
    DistrRec.Dnr.set("09");
    std::int32_t ref = 0;
    EXPECT_FALSE(PutDistrict(true, ref));
    ASSERT_FALSE(ui.boxes.empty());
    EXPECT_EQ(ui.boxes.back().text, MsgText(IsamError) + detail);
  }
  disk::SetFileHooks(nullptr);
}

// Erasing every entrant when the new entrant file cannot be opened: the user is told, the
// competition is closed, and the progress window goes.
TEST_F(RegisterFaults, ErasingEntrantsThatCannotReopenTheFileClosesItsWindow) {
  Open(false);
  struct RefuseOpen : disk::FileHooks {
    disk::Verdict Before(const disk::FileEvent& e) override {
      return {e.op == disk::FileOp::Open && e.path.find("/OL01.") != std::string::npos ? EACCES : 0, false};
    }
  } refuse;
  disk::SetFileHooks(&refuse);
  ui.boxes.clear();
  EXPECT_FALSE(EraseAllEntrants(nullptr));
  disk::SetFileHooks(nullptr);
  EXPECT_EQ(CounterDepth(), 0);
  EXPECT_FALSE(CompetitionOpen);
  EXPECT_GE(ReportedStorageFailures(), 1);
}

}  // namespace
}  // namespace olbrax::test

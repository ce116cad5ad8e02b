// The edits of the district, control and course windows without the windows: what OK checks and
// writes, what Cancel restores, the window runners and the definition-set switch.
#include "base/messages.h"
#include "competition/definition_set.h"
#include "competition/dialogs/control_edit.h"
#include "competition/dialogs/course_edit.h"
#include "competition/dialogs/district_edit.h"
#include "competition/records/club_recs.h"
#include "competition/records/cmp_club_rec.h"
#include "competition/records/definition_recs.h"
#include "competition/registers/definitions.h"
#include "competition/registers/register_find.h"
#include "competition/registers/shared_registers.h"
#include "data_fixture.h"

namespace olbrax::test {
namespace {

class RegisterEditTest : public DataTest {
 protected:
  void SetUp() override {
    DataTest::SetUp();
    AddCompetition("Definitioner");
  }
  std::int32_t District(const std::string& nr, const std::string& name) {
    ClearDistrict();
    DistrRec.Dnr.set(nr);
    DistrRec.Dname.set(name);
    std::int32_t ref = 0;
    PutDistrict(true, ref);
    return ref;
  }
  std::int32_t Control(const std::string& code, std::int32_t x = 0) {
    ClearControl();
    KontrRec.KodNr.set(code);
    KontrRec.posX = x;
    std::int32_t ref = 0;
    PutControl(true, ref);
    return ref;
  }
  std::int32_t Course(const std::string& name, std::initializer_list<const char*> codes) {
    ClearCourse();
    TrackRec.Bana.set(name);
    for (const char* c : codes) TrackRec.KodNr[TrackRec.Antal++].set(c);
    std::int32_t ref = 0;
    PutCourse(true, ref);
    return ref;
  }
  bool Read(void (*find)(int, std::string_view, std::int32_t&, bool&, bool&), std::int32_t ref) {
    bool at_end, found;
    find(kFindRecord, "", ref, at_end, found);
    return found;
  }
};

TEST_F(RegisterEditTest, DistrictNumberMustBeUniqueAsTwoDigits) {
  District("05", "Sk\xE5ne");
  std::int32_t ref = District("07", "Halland");
  ASSERT_TRUE(Read(FindDistrict, ref));
  DistrRec.gap31 = 7;  // a byte the window does not show

  DistrictEdit edit(false);
  EXPECT_EQ(edit.number, 7);
  EXPECT_EQ(edit.name, "Halland");
  edit.number = 5;
  edit.name = "Hallandsl\xE4net med mycket l\xE5ng text";
  EXPECT_FALSE(edit.Ok());
  EXPECT_EQ(edit.status, "Distriktet finns redan registrerad. \"05\" M\xE5ste vara unik.");
  EXPECT_EQ(edit.focus_field, DistrictEdit::kNumber);
  EXPECT_EQ(ui.beeps, 1);
  // The look-up found district 05; the buffer is still the edited one.
  EXPECT_EQ(DistrRec.Dname.get(), "Halland");
  EXPECT_EQ(DistrRec.gap31, 7);

  edit.number = 9;
  edit.nation = "HALL";
  ASSERT_TRUE(edit.Ok());
  EXPECT_EQ(DistrRec.Dnr.get(), "09");
  EXPECT_EQ(DistrRec.Dname.get(), "Hallandsl\xE4net med m");  // cut to 19
  EXPECT_EQ(DistrRec.Dkort.get(), "HAL");
  EXPECT_EQ(DistrRec.gap31, 7);
  edit.Cancel();
  EXPECT_EQ(DistrRec.Dnr.get(), "07");
  EXPECT_EQ(DistrRec.Dname.get(), "Halland");

  // A number that is not a number starts the up-down at 0.
  DistrRec.Dnr.set("X1");
  EXPECT_EQ(DistrictEdit(true).number, 0);
}

TEST_F(RegisterEditTest, ControlCodeIsStoredInUpperCaseAndFoundSo) {
  OpenDefinitions();
  ASSERT_TRUE(DefinitionsOpen);
  Control("3A");
  ClearControl();
  ControlEdit edit(true);
  edit.code = "3a";
  EXPECT_FALSE(edit.Ok());
  EXPECT_EQ(edit.status, "Kontrollen finns redan registrerad. \"3A\" M\xE5ste vara unik.");
  EXPECT_EQ(edit.focus_field, ControlEdit::kCode);

  // A control being changed keeps the position fields the window does not show, also after a
  // refused OK read another control into the buffer.
  std::int32_t ref = Control("41", 1234);
  ASSERT_TRUE(Read(FindControl, ref));
  DeleteControl(true, "", ref, false);
  ControlEdit change(false);
  change.code = "3a";
  EXPECT_FALSE(change.Ok());
  change.code = "b7x";
  change.columns[0] = "h\xF6jd";
  change.columns[7] = "sydv\xE4stra sidan";
  ASSERT_TRUE(change.Ok());
  EXPECT_EQ(KontrRec.posX, 1234);
  EXPECT_EQ(KontrRec.R[0].get(), "H\xD6JD");
  EXPECT_EQ(KontrRec.R[7].get(), "SYDV\xC4STRA ");  // upper case, cut to 10
  PutControl(false, ref);
  std::int32_t found_ref = 0;
  bool at_end, found;
  FindControl(kFindExact, "B7X", found_ref, at_end, found);
  EXPECT_TRUE(found);
  EXPECT_EQ(found_ref, ref);
}

TEST_F(RegisterEditTest, CourseRowsAreCheckedAndCompacted) {
  OpenDefinitions();
  ASSERT_TRUE(DefinitionsOpen);
  for (const char* c : {"31", "32", "33"}) Control(c);
  Course("B", {"31"});
  std::int32_t ref = Course("A", {"31", "32", "33", "31", "32"});
  ASSERT_TRUE(Read(FindCourse, ref));
  InfoRec.MellanTid = 2;
  TrackRec.BanSize[0] = 999;  // a length the window does not show
  TrackRec.BanSize[2] = 4500;
  RewriteCourse(ref);
  DeleteCourse(true, "", ref, false);

  CourseEdit edit(false);
  EXPECT_EQ(edit.length, 4500);
  EXPECT_EQ(edit.codes[4], "32");
  edit.name = "b";
  EXPECT_FALSE(edit.Ok());
  EXPECT_EQ(edit.status, "Banan finns redan registrerad. \"B\" M\xE5ste vara unik.");
  EXPECT_EQ(edit.focus_field, CourseEdit::kName);

  // Rows 1, 2 and 5; row 5 lies after an empty row and is checked all the same.
  edit.name = "a2";
  edit.codes = {};
  edit.codes[0] = "31";
  edit.codes[1] = "33";
  edit.codes[4] = "99";
  EXPECT_FALSE(edit.Ok());
  EXPECT_EQ(edit.status, "Kontrollen finns inte registrerad. \"99\" Registrera kontrollen f\xF6rst.");
  EXPECT_EQ(edit.focus_field, CourseEdit::kGrid);
  EXPECT_EQ(edit.focus_row, 5);

  edit.codes[4] = "32";
  edit.length = 5100;
  ASSERT_TRUE(edit.Ok());
  EXPECT_EQ(TrackRec.Bana.get(), "A2");
  EXPECT_EQ(TrackRec.Antal, 3);
  EXPECT_EQ(TrackRec.KodNr[0].get(), "31");
  EXPECT_EQ(TrackRec.KodNr[1].get(), "33");
  EXPECT_EQ(TrackRec.KodNr[2].get(), "32");
  // The shortened course does not keep its old fourth and fifth codes.
  EXPECT_EQ(TrackRec.KodNr[3].get(), "");
  EXPECT_EQ(TrackRec.KodNr[4].get(), "");
  EXPECT_EQ(TrackRec.BanSize[2], 5100);
  EXPECT_EQ(TrackRec.BanSize[0], 999);
}

TEST_F(RegisterEditTest, ControlUseFollowsTheCourse) {
  OpenDefinitions();
  std::int32_t c31 = Control("31"), c32 = Control("32"), c33 = Control("33");
  TTrackRec before{}, after{};
  after.Antal = 2;
  after.KodNr[0].set("31");
  after.KodNr[1].set("32");
  MoveControlUse(before, after);
  EXPECT_EQ(CmpClubRec.ControlUse[c31 - 1], 1);
  EXPECT_EQ(CmpClubRec.ControlUse[c32 - 1], 1);
  before = after;
  after.KodNr[1].set("33");
  after.KodNr[2].set("77");  // not a control: counts for nothing
  after.Antal = 3;
  MoveControlUse(before, after);
  EXPECT_EQ(CmpClubRec.ControlUse[c31 - 1], 1);
  EXPECT_EQ(CmpClubRec.ControlUse[c32 - 1], 0);
  EXPECT_EQ(CmpClubRec.ControlUse[c33 - 1], 1);
  // Lowering a count that was never raised stops at 0.
  MoveControlUse(before, TTrackRec{});
  EXPECT_EQ(CmpClubRec.ControlUse[c32 - 1], 0);
}

TEST_F(RegisterEditTest, EditWindowsAreFoundByKindAndCancelRestores) {
  District("05", "Sk\xE5ne");
  ASSERT_TRUE(Read(FindDistrict, 1));
  DeleteDistrict(true, "", 1, false);  // as the change of a register does before the window
  {
    // No window for the kind: as cancelled.
    DistrictEdit edit(false);
    DistrRec.Dname.set("\xC4ndrad");
    EXPECT_FALSE(ShowEditWindow(nullptr, edit));
    EXPECT_EQ(DistrRec.Dname.get(), "Sk\xE5ne");
  }
  platform::Cursor shown = platform::Cursor::Arrow;
  SetEditWindow("TDistrForm", [&](platform::Window, EditForm& form) {
    shown = ui.cursor;
    auto& edit = static_cast<DistrictEdit&>(form);
    edit.name = "Blekinge";
    return form.Ok();
  });
  DistrictEdit edit(false);
  EXPECT_TRUE(ShowEditWindow(nullptr, edit));
  EXPECT_EQ(shown, platform::Cursor::Program);  // the program's own cursor while shown
  EXPECT_EQ(ui.cursor, platform::Cursor::Arrow);
  EXPECT_EQ(DistrRec.Dname.get(), "Blekinge");
  SetEditWindow("TDistrForm", nullptr);
}

TEST_F(RegisterEditTest, DefinitionSetIsOpenOnlyForTheCommand) {
  bool ran = WithDefinitionSet([] {
    EXPECT_TRUE(DefinitionsOpen);
    EXPECT_FALSE(CompetitionOpen);
  });
  EXPECT_TRUE(ran);
  EXPECT_TRUE(CompetitionOpen);
  EXPECT_FALSE(DefinitionsOpen);
  CloseCompetition();
  CurrentCompetition = 0;
  EXPECT_FALSE(WithDefinitionSet([] { ADD_FAILURE() << "ran without definitions"; }));
  EXPECT_EQ(MsgLine, "Filerna inte \xF6ppna");
}

}  // namespace
}  // namespace olbrax::test

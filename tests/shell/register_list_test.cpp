// The register list dialog and the pick lists without windows: filling, the limits, changing
// with OK and Cancel, adding, erasing with refusals, storage failures, printing, and the pick
// lists' collection, filters, preselection and answers.
#include <cerrno>

#include "base/messages.h"
#include "competition/data_fixture.h"
#include "competition/dialogs/control_edit.h"
#include "competition/dialogs/course_edit.h"
#include "competition/dialogs/district_edit.h"
#include "competition/records_check.h"
#include "competition/records/class_rec.h"
#include "competition/records/club_recs.h"
#include "competition/records/cmp_club_rec.h"
#include "competition/records/definition_recs.h"
#include "competition/registers/definitions.h"
#include "competition/registers/register_find.h"
#include "competition/registers/shared_registers.h"
#include "printing/engine/printers.h"
#include "printing/engine/recording_canvas.h"
#include "shell/reglist/control_register.h"
#include "shell/reglist/course_register.h"
#include "shell/reglist/district_register.h"
#include "shell/reglist/pick_lists.h"
#include "storage/file_hooks.h"

namespace olbrax::test {
namespace {

using FindFn = void (*)(int, std::string_view, std::int32_t&, bool&, bool&);

class RegisterListTest : public DataTest {
 protected:
  void SetUp() override {
    DataTest::SetUp();
    AddCompetition("Registren");
  }
  void TearDown() override {
    for (const char* kind : {"TDistrForm", "TKontrForm", "TBanForm"}) SetEditWindow(kind, nullptr);
    disk::SetFileHooks(nullptr);
    print::SetCanvasFactory(nullptr);
    DataTest::TearDown();
  }
  std::int32_t District(const std::string& nr, const std::string& name, const std::string& nation = "") {
    ClearDistrict();
    DistrRec.Dnr.set(nr);
    DistrRec.Dname.set(name);
    DistrRec.Dkort.set(nation);
    std::int32_t ref = 0;
    PutDistrict(true, ref);
    EXPECT_TRUE(IsamOK && ref > 0);
    return ref;
  }
  std::int32_t Control(const std::string& code) {
    ClearControl();
    KontrRec.KodNr.set(code);
    std::int32_t ref = 0;
    PutControl(true, ref);
    return ref;
  }
  // The edit window of `kind` plays the user: `play` changes the fields and says whether OK is
  // pressed (false: Cancel). Every window shown is counted.
  template <class Edit>
  void Play(const char* kind, std::function<bool(Edit&)> play) {
    SetEditWindow(kind, [this, play](platform::Window, EditForm& form) {
      ++windows_shown;
      return play(static_cast<Edit&>(form)) && form.Ok();
    });
  }
  static platform::HeadlessListWindow& Window(TERegFormDlg& dlg) {
    return static_cast<platform::HeadlessListWindow&>(dlg.window());
  }
  // The user selects lines in the window.
  static void Select(TERegFormDlg& dlg, const std::vector<int>& lines, int focus) { Window(dlg).UserSelects(lines, focus); }
  static std::vector<Text> Lines(const TERegFormDlg& dlg) {
    std::vector<Text> out;
    for (int i = 0; i < dlg.LineCount(); ++i) out.push_back(dlg.LineText(i));
    return out;
  }
  static std::vector<int> SelectedLines(const TERegFormDlg& dlg) {
    std::vector<int> out;
    for (int i = 0; i < dlg.LineCount(); ++i)
      if (dlg.Selected(i)) out.push_back(i);
    return out;
  }
  // The list shows exactly the register (a fresh dialog reads it again) and the window shows
  // exactly the list, with the same selection.
  template <class Dlg>
  void ExpectConsistent(Dlg& dlg) {
    Dlg fresh(nullptr);
    EXPECT_EQ(Lines(dlg), Lines(fresh));
    auto& w = Window(dlg);
    EXPECT_EQ(w.lines, Lines(dlg));
    for (int i = 0; i < dlg.LineCount(); ++i) {
      EXPECT_EQ(w.selected[static_cast<std::size_t>(i)], dlg.Selected(i)) << i;
      bool at_end, found;
      std::int32_t rec = dlg.LineRec(i);
      dlg.FixtSelect(kFindRecord, "", at_end, found, rec);
      Text line;
      dlg.FormRegStr(line);
      EXPECT_TRUE(found && line == dlg.LineText(i)) << "line " << i << " does not show its record";
    }
  }
  bool Exists(FindFn find, const std::string& key) {
    std::int32_t ref = 0;
    bool at_end, found;
    find(kFindExact, key, ref, at_end, found);
    return found;
  }

  int windows_shown = 0;
};

TEST_F(RegisterListTest, DistrictLinesAreSortedAndTheDialogStopsAt99) {
  District("10", "G\xF6teborg", "G\xD6T");
  District("05", "Sk\xE5ne", "SK\xC5");
  District("07", "Halland");
  MsgLine = "Filerna \xF6ppna....";
  TDistrRegForm dlg(nullptr);
  EXPECT_EQ(Lines(dlg), (std::vector<Text>{"05. Sk\xE5ne............... SK\xC5.", "07. Halland............. ....",
                                          "10. G\xF6teborg............ G\xD6T."}));
  EXPECT_EQ(dlg.StatusText(), "Filerna \xF6ppna....");  // the message line, shown once
  Select(dlg, {0, 2}, 2);
  EXPECT_EQ(dlg.StatusText(), "   3 [   2]");

  for (int i = 11; UsedRecs(DistrFile) < 98; ++i) District(ZeroStr(i % 100, 2), "D" + std::to_string(i));
  Play<DistrictEdit>("TDistrForm", [](DistrictEdit& e) {
    EXPECT_EQ(e.number, 99);  // the suggested number: the file's length (header included)
    e.number = 8;
    return true;
  });
  TDistrRegForm full(nullptr);
  full.EditEntry(true);  // the 99th
  EXPECT_EQ(windows_shown, 1);
  ASSERT_EQ(UsedRecs(DistrFile), 99);
  EXPECT_EQ(full.LineCount(), 99);
  const int beeps = ui.beeps;
  full.EditEntry(true);
  EXPECT_EQ(windows_shown, 1);  // no window
  EXPECT_EQ(ui.beeps, beeps + 1);
  EXPECT_EQ(full.StatusText(), "maxantalet uppn\xE5tt kan ej addera registerpost!");
  EXPECT_EQ(Window(full).status, full.StatusText());
}

TEST_F(RegisterListTest, ACancelledChangeRestoresRecordKeyAndLine) {
  District("05", "Sk\xE5ne", "SK\xC5");
  std::int32_t halland = District("07", "Halland", "HAL");
  TDistrRegForm dlg(nullptr);
  const auto before = Lines(dlg);
  Select(dlg, {1}, 1);
  Play<DistrictEdit>("TDistrForm", [&](DistrictEdit& e) {
    // During the edit the record has no key, so that its own number is not a duplicate.
    EXPECT_FALSE(Exists(FindDistrict, "07"));
    e.number = 5;
    e.name = "Ny";
    EXPECT_FALSE(e.Ok());  // 05 exists: refused, the window stays
    DistrRec.Dkort.set("???");
    return false;          // Cancel
  });
  dlg.EditEntry(false);
  EXPECT_EQ(windows_shown, 1);
  EXPECT_EQ(Lines(dlg), before);
  EXPECT_EQ(dlg.LineRec(1), halland);
  std::int32_t ref = 0;
  bool at_end, found;
  FindDistrict(kFindExact, "07", ref, at_end, found);
  ASSERT_TRUE(found);
  EXPECT_EQ(ref, halland);
  EXPECT_EQ(DistrRec.Dname.get(), "Halland");
  EXPECT_EQ(DistrRec.Dkort.get(), "HAL");
  ExpectConsistent(dlg);
}

TEST_F(RegisterListTest, ChangedAndAddedLinesTakeTheirPlaceSelected) {
  District("05", "Sk\xE5ne");
  std::int32_t halland = District("07", "Halland");
  District("09", "Sm\xE5land");
  TDistrRegForm dlg(nullptr);
  Select(dlg, {1, 2}, 2);
  Play<DistrictEdit>("TDistrForm", [](DistrictEdit& e) {
    e.number = 1;
    return true;
  });
  dlg.EditEntry(false);  // the first selected line: Halland
  EXPECT_EQ(dlg.LineText(0), "01. Halland............. ....");
  EXPECT_EQ(dlg.LineRec(0), halland);  // the same record, now under 01
  EXPECT_EQ(SelectedLines(dlg), (std::vector<int>{0, 2}));
  EXPECT_EQ(dlg.Focused(), 0);
  EXPECT_TRUE(Exists(FindDistrict, "01"));
  EXPECT_FALSE(Exists(FindDistrict, "07"));
  ExpectConsistent(dlg);

  Play<DistrictEdit>("TDistrForm", [](DistrictEdit& e) {
    e.number = 6;
    e.name = "V\xE4rmland";
    return true;
  });
  dlg.EditEntry(true);
  EXPECT_EQ(dlg.LineCount(), 4);
  EXPECT_EQ(dlg.LineText(2), "06. V\xE4rmland............ ....");
  EXPECT_EQ(SelectedLines(dlg), (std::vector<int>{2}));  // adding unselects the others
  ExpectConsistent(dlg);

  // Cancel while adding: nothing is stored.
  Play<DistrictEdit>("TDistrForm", [](DistrictEdit&) { return false; });
  dlg.EditEntry(true);
  EXPECT_EQ(UsedRecs(DistrFile), 4);
  ExpectConsistent(dlg);
  CloseAllCompetitionFiles();
  auto check = CheckRecordKeys(DataFileName("DISTR"));
  EXPECT_TRUE(check.ok) << check.message;
}

TEST_F(RegisterListTest, AControlInUseStaysSelectedWhenTheOthersGo) {
  OpenDefinitions();
  ASSERT_TRUE(DefinitionsOpen);
  Control("31");
  std::int32_t c32 = Control("32");
  Control("33");
  CmpClubRec.ControlUse[c32 - 1] = 1;  // an imported course uses it
  TKontrRegForm dlg(nullptr);
  EXPECT_EQ(dlg.EraseEntry(), TERegFormDlg::kEraseNothingSelected);
  EXPECT_EQ(Lines(dlg), (std::vector<Text>{"31.. ", "32.. ", "33.. "}));
  Select(dlg, {0, 1, 2}, 0);
  EXPECT_EQ(dlg.EraseEntry(), 0);
  EXPECT_EQ(Lines(dlg), (std::vector<Text>{"32.. "}));
  EXPECT_EQ(SelectedLines(dlg), (std::vector<int>{0}));
  EXPECT_EQ(dlg.StatusText(), "Kontroll ,kodnr. \"33\", raderad...");
  EXPECT_FALSE(Exists(FindControl, "31"));
  EXPECT_TRUE(Exists(FindControl, "32"));
  ExpectConsistent(dlg);
  // Alone, the refusal is what the status bar says.
  EXPECT_EQ(dlg.EraseEntry(), 0);
  EXPECT_EQ(dlg.StatusText(), "Kan ej radera denna kontroll d\xE5 den anv\xE4nds av n\xE5gon bana.");
}

TEST_F(RegisterListTest, ACourseMadeInTheDialogKeepsItsControls) {
  OpenDefinitions();
  for (const char* c : {"31", "32", "33"}) Control(c);
  InfoRec.MellanTid = 0;
  TBanRegForm courses(nullptr);
  Play<CourseEdit>("TBanForm", [](CourseEdit& e) {
    e.name = "a";
    e.length = 4500;
    e.codes[0] = "31";
    e.codes[1] = "32";
    e.codes[4] = "33";
    return true;
  });
  courses.EditEntry(true);
  ASSERT_EQ(courses.LineCount(), 1);
  EXPECT_EQ(courses.LineText(0), "A............   4500....");
  bool at_end, found;
  std::int32_t ref = courses.LineRec(0);
  FindCourse(kFindRecord, "", ref, at_end, found);
  EXPECT_EQ(TrackRec.Antal, 3);
  EXPECT_EQ(TrackRec.KodNr[2].get(), "33");

  TKontrRegForm controls(nullptr);
  Select(controls, {0}, 0);
  EXPECT_EQ(controls.EraseEntry(), 0);  // 31 is used by course A
  EXPECT_TRUE(Exists(FindControl, "31"));
  // Changing the course to other controls moves the use; deleting it frees them.
  Play<CourseEdit>("TBanForm", [](CourseEdit& e) {
    e.codes = {};
    e.codes[0] = "32";
    return true;
  });
  Select(courses, {0}, 0);
  courses.EditEntry(false);
  EXPECT_EQ(controls.EraseEntry(), 1);
  EXPECT_FALSE(Exists(FindControl, "31"));
  Select(courses, {0}, 0);
  EXPECT_EQ(courses.EraseEntry(), 1);
  EXPECT_EQ(courses.LineCount(), 0);
  TKontrRegForm again(nullptr);
  Select(again, {0, 1}, 0);
  EXPECT_EQ(again.EraseEntry(), 1);
  EXPECT_EQ(again.LineCount(), 0);
  // Records and keys agree after all of it (the check reads files the program does not hold).
  CloseDefinitions();
  for (const char* file : {"KONTR", "TRACK"}) {
    auto check = CheckRecordKeys(DataFileName(file, CurrentCompetition));
    EXPECT_TRUE(check.ok) << file << ": " << check.message;
  }
}

// The n-th write fails during the change, the add and the erase of a register: the user gets
// the engine's message, and the list still shows exactly the register.
class StorageFailureTest : public RegisterListTest, public ::testing::WithParamInterface<int> {};

TEST_P(StorageFailureTest, IsShownAndTheListStaysTrue) {
  const int nth = GetParam();
  District("05", "Sk\xE5ne");
  District("07", "Halland");
  District("09", "Sm\xE5land");
  disk::FaultInjector faults;
  disk::SetFileHooks(&faults);
  int fired = 0, shown = 0;
  auto count = [&] {
    if (faults.Fired()) ++fired;
    faults.Disarm();
    for (const auto& box : ui.boxes) {
      EXPECT_EQ(box.text.substr(0, 7), "Btree: ");
      ++shown;
    }
    ui.boxes.clear();
  };

  TDistrRegForm dlg(nullptr);
  // The write fails after the key was removed, while the changed record is put back.
  Play<DistrictEdit>("TDistrForm", [&](DistrictEdit& e) {
    e.number = 3;
    faults.Arm(disk::FileOp::Write, nth, ENOSPC);
    return true;
  });
  Select(dlg, {1}, 1);
  dlg.EditEntry(false);
  count();
  ExpectConsistent(dlg);

  Play<DistrictEdit>("TDistrForm", [&](DistrictEdit& e) {
    e.number = 11;
    faults.Arm(disk::FileOp::Write, nth, ENOSPC);
    return true;
  });
  dlg.EditEntry(true);
  count();
  ExpectConsistent(dlg);

  std::vector<int> all;
  for (int i = 0; i < dlg.LineCount(); ++i) all.push_back(i);
  Select(dlg, all, 0);
  faults.Arm(disk::FileOp::Write, nth, ENOSPC);
  dlg.EraseEntry();
  count();
  ExpectConsistent(dlg);
  disk::SetFileHooks(nullptr);
  // Each of the three commands met its failure, and at least one failure reached the user with
  // the engine's message (a store that reports no failure to its caller cannot be shown).
  EXPECT_EQ(fired, 3);
  EXPECT_GE(shown, 1);
}

INSTANTIATE_TEST_SUITE_P(Writes, StorageFailureTest, ::testing::Range(1, 5));

TEST_F(RegisterListTest, PrintWritesTheSelectedLinesUnderTheJobTitle) {
  std::vector<print::RecordingCanvas*> canvases;
  print::SetCanvasFactory([&](const print::PrinterRequest&) -> std::unique_ptr<print::Canvas> {
    auto c = std::make_unique<print::RecordingCanvas>(4961, 7016, 600);
    canvases.push_back(c.get());
    return c;
  });
  District("05", "Sk\xE5ne");
  District("07", "Halland");
  District("09", "Sm\xE5land");
  TDistrRegForm dlg(nullptr);
  dlg.Print();  // nothing selected: nothing printed
  EXPECT_TRUE(canvases.empty());

  std::vector<Text> texts;
  print::SetCanvasFactory([&](const print::PrinterRequest&) -> std::unique_ptr<print::Canvas> {
    struct Keep : print::RecordingCanvas {
      std::vector<Text>* out;
      Keep(std::vector<Text>* o) : RecordingCanvas(4961, 7016, 600), out(o) {}
      void DrawText(int x, int y, std::string_view t) override {
        out->emplace_back(t);
        RecordingCanvas::DrawText(x, y, t);
      }
    };
    return std::make_unique<Keep>(&texts);
  });
  Select(dlg, {2, 0}, 0);
  dlg.Print();
  std::vector<Text> printed;
  for (const Text& t : texts)
    if (t.size() > 3 && t[2] == '.') printed.push_back(t);
  EXPECT_EQ(printed, (std::vector<Text>{"05. Sk\xE5ne............... ....", "09. Sm\xE5land............. ...."}));
  const Text job = "job:OlbraxW32:OlbraxW32 240530 10.00 (linux-qt): distriktsregister";
  EXPECT_NE(std::find(ui.report_lines.begin(), ui.report_lines.end(), job.substr(0, 4 + 64)), ui.report_lines.end());
}

class PickTest : public RegisterListTest {
 protected:
  std::int32_t Class(const std::string& name) {
    ClearClassRec();
    KlassRec.Bet.set(name);
    std::int32_t ref = 0;
    PutClass(true, ref);
    return ref;
  }
  static std::vector<Text> Items(const TEPick& pick) {
    std::vector<Text> out;
    for (const auto& item : pick.items()) out.push_back(item.text);
    return out;
  }
};

TEST_F(PickTest, AnEmptyRegisterShowsNoWindow) {
  ui.on_pick_window = [](platform::PickWindowSpec&) { return true; };
  TKlassPick pick(nullptr, "V\xE4lj klass(er)", true, TKlassPick::kAll);
  EXPECT_TRUE(ui.pick_windows.empty());
  EXPECT_FALSE(pick.OkExec());
  EXPECT_EQ(pick.Antal(), 0);
  EXPECT_EQ(pick.GetPickData(0), -1);
}

TEST_F(PickTest, ClassFiltersKeepTheClassOrder) {
  InfoRec.dirklassfilter.set("\xD6PPEN INSKOLN");
  for (const char* c : {"H21", "\xD6PPEN 2", "D21E", "INSKOLN", "H21E", "\xD6PPEN 1", "D10"}) Class(c);
  ui.on_pick_window = [](platform::PickWindowSpec& spec) {
    spec.selected.assign(spec.items.size(), true);
    return true;
  };
  TKlassPick all(nullptr, "alla", true, TKlassPick::kAll);
  EXPECT_EQ(Items(all), (std::vector<Text>{"H21E", "D21E", "H21", "D10", "INSKOLN", "\xD6PPEN 1", "\xD6PPEN 2"}));
  EXPECT_TRUE(all.OkExec());
  EXPECT_TRUE(all.Alla());
  TKlassPick open(nullptr, "\xF6ppna", true, TKlassPick::kOpenOnly);
  EXPECT_EQ(Items(open), (std::vector<Text>{"INSKOLN", "\xD6PPEN 1", "\xD6PPEN 2"}));
  TKlassPick ordinary(nullptr, "vanliga", true, TKlassPick::kOrdinaryOnly);
  EXPECT_EQ(Items(ordinary), (std::vector<Text>{"H21E", "D21E", "H21", "D10"}));
  TKlassPick elite(nullptr, "elit", true, TKlassPick::kContainsE);
  EXPECT_EQ(Items(elite), (std::vector<Text>{"H21E", "D21E", "\xD6PPEN 1", "\xD6PPEN 2"}));
  EXPECT_EQ(ui.pick_windows.back().caption, "elit");
  EXPECT_TRUE(ui.pick_windows.back().multi);
}

TEST_F(PickTest, PreselectionChoiceAndQueries) {
  OpenDefinitions();
  std::vector<std::int32_t> refs;
  for (const char* name : {"C", "A", "B"}) {
    ClearCourse();
    TrackRec.Bana.set(name);
    std::int32_t ref = 0;
    PutCourse(true, ref);
    refs.push_back(ref);
  }
  // The window starts with course B selected; the user adds C and drops B.
  ui.on_pick_window = [](platform::PickWindowSpec& spec) {
    EXPECT_EQ(spec.items, (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_EQ(spec.selected, (std::vector<bool>{false, true, false}));
    EXPECT_FALSE(spec.multi);
    spec.selected = {true, false, true};
    return true;
  };
  TBanPick pick(nullptr, "V\xE4lj bana", false, refs[2]);
  ASSERT_TRUE(pick.OkExec());
  EXPECT_EQ(pick.Antal(), 2);
  EXPECT_FALSE(pick.Alla());
  EXPECT_EQ(pick.GetPickData(1), refs[0]);
  EXPECT_EQ(TrackRec.Bana.get(), "C");  // the record was read
  EXPECT_EQ(pick.GetPickData(2), -1);
  EXPECT_EQ(pick.CheckPickStr("C"), 1);
  EXPECT_EQ(pick.CheckPickStr("B"), -1);  // not chosen
  EXPECT_EQ(pick.CheckPickStr("X"), -1);  // no such course
  EXPECT_EQ(pick.CheckPickItem(refs[1]), 0);

  // Cancel, and OK with nothing chosen, both leave nothing to do.
  ui.on_pick_window = nullptr;
  TKontrPick cancelled(nullptr, "kontroller", true);
  EXPECT_FALSE(cancelled.OkExec());
  ui.on_pick_window = [](platform::PickWindowSpec& spec) {
    spec.selected.assign(spec.items.size(), false);
    return true;
  };
  TBanPick none(nullptr, "banor", true);
  EXPECT_FALSE(none.OkExec());
}

}  // namespace
}  // namespace olbrax::test

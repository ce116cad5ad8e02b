// The report items of the main window's menus: each asks its pick list with the definition or
// entry set it needs, prints the report it names, and leaves the entry set open; the stage
// question, a cancelled pick list, a missing printer, a cancelled job, a failed read and data
// that cannot be opened are all seen by the user. And "visningar" → "definitioner" → "banor".
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <cstring>
#include <filesystem>

#include "competition/archive.h"
#include "competition/records/class_rec.h"
#include "competition/records/competition_rec.h"
#include "competition/records/definition_recs.h"
#include "competition/records/route_recs.h"
#include "competition/registers/definitions.h"
#include "competition/registers/shared_registers.h"
#include "platform/qt/qtext.h"
#include "printing/config/configuration.h"
#include "reports/report_fixture.h"
#include "shell/course_image_window.h"
#include "shell/main_window.h"
#include "shell/panel_bar.h"
#include "storage/file_hooks.h"
#include "support/fixtures.h"

namespace olbrax::test {
namespace {

using print::RecordingCanvas;

class ReportMenusTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    setenv("HOME", home.str().c_str(), 1);
    unsetenv("XDG_CONFIG_HOME");
    unsetenv("XDG_DOCUMENTS_DIR");
    old_cwd = std::filesystem::temp_directory_path();
    ResetArchiveState();
    ResetConfigState();
    ui.default_answer = platform::kYes;
    ConfigLoad(AppSlot, true, "OLBRAX");
    for (int slot : {5, 7}) {
      GeneralSettings.remembered_directory[slot].set(data.str());
      GeneralSettings.remembered_competition[slot] = 0;
    }
    ConfigSave();
    ResetConfigState();
    window = std::make_unique<TMainForm>();
    // A column of 4 760 dots without margins and no pictures at the end of a report.
    for (int i = 0; i < 4; ++i) CurrentPrintEnvironment.setup.SetMargin(i, 0);
    for (auto& p : CurrentPrintEnvironment.pictures) p.active = 0;
    print::SetCanvasFactory([this](const print::PrinterRequest&) -> std::unique_ptr<print::Canvas> {
      if (no_printer) return nullptr;
      kept.push_back(std::make_unique<RecordingCanvas>(4760, 7016, 600));
      return std::make_unique<ForwardCanvas>(*kept.back());
    });
    window->menus().action("arkiv_skapa_nya")->trigger();
  }
  void TearDown() override {
    disk::SetFileHooks(nullptr);
    window.reset();
    print::SetCanvasFactory(nullptr);
    std::filesystem::current_path(old_cwd);
    ResetConfigState();
    UiTest::TearDown();
  }

  // A competition of `stages` stages at scale 12 with controls 31, 32 and 33, courses A
  // (31, 32) and B (33, 32), the class H21 on A (and B in stage 2), and the symbols the sheets use.
  void Competition(int stages = 1) {
    ASSERT_TRUE(BeginInputInfo(true));
    InfoRec.Tvl.set("Rapportloppet");
    InfoRec.StrNr = static_cast<std::int16_t>(stages);
    InfoRec.banPrSkalaW = 12;
    AcceptInputInfo(true);
    ASSERT_TRUE(CompetitionOpen);
    for (const char* key : {"_VU", "_U", "_V", "STN"}) {
      ClearRoute24();
      Route24Rec.RouteKey.set(key);
      std::memset(Route24Rec.RouteSymbol, 0x81, sizeof Route24Rec.RouteSymbol);
      std::int32_t ref = 0;
      ASSERT_TRUE(PutRoute(true, ref));
    }
    CloseCompetition();
    OpenDefinitions();
    ASSERT_TRUE(DefinitionsOpen);
    std::int32_t ref = 0;
    for (const char* code : {"31", "32", "33"}) {
      ClearControl();
      KontrRec.KodNr.set(code);
      KontrRec.R[3].set("STN");
      PutControl(true, ref);
    }
    const std::pair<const char*, std::vector<const char*>> courses[] = {{"A", {"31", "32"}}, {"B", {"33", "32"}}};
    for (const auto& [name, codes] : courses) {
      ClearCourse();
      TrackRec.Bana.set(name);
      TrackRec.BanSize[0] = name[0] == 'A' ? 2100 : 4321;
      TrackRec.Antal = static_cast<std::int16_t>(codes.size());
      for (std::size_t i = 0; i < codes.size(); ++i) TrackRec.KodNr[i].set(codes[i]);
      PutCourse(true, ref);
    }
    ClearClassRec();
    KlassRec.Bet.set("H21");
    KlassRec.StrNr = static_cast<std::int16_t>(stages);
    KlassRec.Bana[0].set("A");
    KlassRec.Bana[1].set("B");
    PutClass(true, ref);
    CloseDefinitions();
    OpenCompetition();
    ASSERT_TRUE(CompetitionOpen);
    window->UpdateMenuState(CurrentCompetition);
  }

  // The user chooses the first line of every pick list; what was open meanwhile is noted.
  void PickFirst() {
    ui.on_pick_window = [this](platform::PickWindowSpec& spec) {
      definitions_while_picking = DefinitionsOpen;
      spec.selected.assign(spec.items.size(), false);
      spec.selected[0] = true;
      return true;
    };
  }
  void Trigger(const char* action) {
    QAction* a = window->menus().action(action);
    ASSERT_NE(a, nullptr) << action;
    a->trigger();
  }
  bool Printed(std::string_view text) const {
    for (const RecordingCanvas::Call& c : kept.back()->calls)
      if (c.op == RecordingCanvas::Op::Text && c.text == text) return true;
    return false;
  }
  int Count(RecordingCanvas::Op op) const {
    int n = 0;
    for (const RecordingCanvas::Call& c : kept.back()->calls) n += c.op == op;
    return n;
  }

  TempDir home, data;
  std::filesystem::path old_cwd;
  std::unique_ptr<TMainForm> window;
  std::vector<std::unique_ptr<RecordingCanvas>> kept;
  bool no_printer = false;
  bool definitions_while_picking = false;
};

TEST_F(ReportMenusTest, EveryReportItemPicksWithItsListAndPrintsItsReport) {
  Competition();
  PickFirst();
  const struct {
    const char* action;
    const char* caption;  // of the pick list
    bool definitions;     // open while the user picks
    const char* job;
    const char* heading;
  } items[] = {
      {"def_kontroller", "V\xE4lj kontroll(er)", true, "kontroller", "Kontrollpunkter. (48x72). Skala 1.2"},
      {"def_banor_klass", "V\xE4lj klass(er)", true, "banor", "Kontrollbeskrivningar. (48x72). Skala 1.2"},
      {"def_kodbanaklass", "V\xE4lj kontroll(er)", true, "kodbanaklass", "Kod, Bana, Klass. (48x72). Skala 1.2"},
      {"def_banor", "V\xE4lj ban(a)(or)", true, "banor", "Kontrolldefinitioner. (48x72). Skala 1.2"},
      {"rutb_sammanstallning", "V\xE4lj rutbeskrivning(ar)", false, "rutbeskr",
       "rutbeskrivningar (48x72). Skala 1.2 Antal:    1"},
      {"rutb_data_sokord", "V\xE4lj rutbeskrivning(ar)", false, "rutbeskr",
       "rutbeskrivningar (48x72). Skala 1.2 Antal:    1"},
      {"rutb_blankett", "V\xE4lj rutbeskrivning(ar)", false, "rutbeskr",
       "rutbeskrivningar (48x72). Skala 1.2 Antal:    1"},
      {"arranger_klasslista", "V\xE4lj klass(er)", false, "klasser", "KlassLista"},
  };
  for (const auto& item : items) {
    SCOPED_TRACE(item.action);
    const std::size_t jobs = kept.size();
    Trigger(item.action);
    ASSERT_EQ(kept.size(), jobs + 1);
    EXPECT_EQ(ui.pick_windows.back().caption, item.caption);
    EXPECT_TRUE(ui.pick_windows.back().multi);
    EXPECT_EQ(definitions_while_picking, item.definitions);
    EXPECT_EQ(kept.back()->title, "OlbraxW32:" + std::string(item.job));
    EXPECT_TRUE(Printed(item.heading));
    EXPECT_EQ(Count(RecordingCanvas::Op::End), 1);
    // The entry set is open again and the window usable.
    EXPECT_TRUE(CompetitionOpen);
    EXPECT_FALSE(DefinitionsOpen);
    EXPECT_TRUE(ui.enable_calls.back().second);
  }
  // The three route-description items print the three forms: the byte values by band, the
  // drawing form framed by "=", the summary with the symbols drawn.
  kept.resize(kept.size() - 1);  // the class list
  const RecordingCanvas* form = kept.back().get();
  const RecordingCanvas* data_form = kept[kept.size() - 2].get();
  const RecordingCanvas* summary = kept[kept.size() - 3].get();
  auto has = [](const RecordingCanvas* c, std::string_view text) {
    for (const auto& call : c->calls)
      if (call.op == RecordingCanvas::Op::Text && call.text == text) return true;
    return false;
  };
  auto bitmaps = [](const RecordingCanvas* c) {
    int n = 0;
    for (const auto& call : c->calls) n += call.op == RecordingCanvas::Op::Bitmap;
    return n;
  };
  EXPECT_TRUE(has(data_form, "  I"));
  EXPECT_TRUE(has(form, std::string(60, '=')));
  EXPECT_GT(bitmaps(summary), 0);
  EXPECT_FALSE(has(summary, "  I"));
  EXPECT_EQ(bitmaps(form), 0);
  EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(ReportMenusTest, TheClassDescriptionsOfSeveralStagesAskWhichStage) {
  Competition(2);
  PickFirst();
  // Declined: no pick list, nothing printed.
  Trigger("def_banor_klass");
  ASSERT_EQ(ui.number_prompts.size(), 1u);
  EXPECT_EQ(ui.number_prompts[0], "Etapp att skriva ut (1-2):");
  EXPECT_TRUE(ui.pick_windows.empty());
  EXPECT_TRUE(kept.empty());
  EXPECT_TRUE(CompetitionOpen);
  // Stage 2: the sheet of course B, 4 321 m.
  ui.numbers = {2};
  Trigger("def_banor_klass");
  ASSERT_EQ(kept.size(), 1u);
  EXPECT_TRUE(Printed("   4321"));
  EXPECT_FALSE(Printed("   2100"));
}

TEST_F(ReportMenusTest, NothingPickedNoPrinterOrACancelledJobIsSeen) {
  Competition();
  // The pick list closed with "Avbryt": no job.
  Trigger("def_kontroller");
  EXPECT_EQ(ui.pick_windows.size(), 1u);
  EXPECT_TRUE(kept.empty());
  EXPECT_TRUE(ui.boxes.empty());

  // No printer: the box says so, and the entry set is open again.
  PickFirst();
  no_printer = true;
  Trigger("def_banor");
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0].text, "Kan ej skapa vald skrivare enligt inst\xE4llningar");
  EXPECT_TRUE(CompetitionOpen);
  no_printer = false;

  // Cancelled while printing (the progress window's cancel button): the job is thrown away.
  ui.on_pick_window = [this](platform::PickWindowSpec& spec) {
    spec.selected.assign(spec.items.size(), true);
    ui.RequestCancel();
    return true;
  };
  Trigger("def_kontroller");
  ASSERT_EQ(kept.size(), 1u);
  EXPECT_EQ(Count(RecordingCanvas::Op::Abort), 1);
  EXPECT_EQ(Count(RecordingCanvas::Op::End), 0);
  EXPECT_TRUE(ui.enable_calls.back().second);
  EXPECT_TRUE(CompetitionOpen);
}

TEST_F(ReportMenusTest, AReadThatFailsCancelsTheJobAndShowsTheEnginesMessage) {
  Competition();
  disk::FaultInjector faults;
  disk::SetFileHooks(&faults);
  // The first record read after the user picked fails, as a damaged disk does.
  ui.on_pick_window = [&](platform::PickWindowSpec& spec) {
    spec.selected.assign(spec.items.size(), true);
    faults.Arm(disk::FileOp::Read, 1, EIO);
    return true;
  };
  Trigger("def_banor");
  disk::SetFileHooks(nullptr);
  ASSERT_TRUE(faults.Fired());
  ASSERT_EQ(kept.size(), 1u);
  EXPECT_EQ(Count(RecordingCanvas::Op::Abort), 1);
  EXPECT_EQ(Count(RecordingCanvas::Op::End), 0);
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_FALSE(ui.boxes[0].text.empty());
  EXPECT_EQ(window->messageBar()->panelText(0), platform::ToQ(ui.boxes[0].text.substr(0, 160)));
  EXPECT_TRUE(CompetitionOpen);
  // The next report prints whole.
  PickFirst();
  Trigger("def_banor");
  EXPECT_EQ(Count(RecordingCanvas::Op::End), 1);
  EXPECT_EQ(ui.boxes.size(), 1u);
}

TEST_F(ReportMenusTest, WithoutACompetitionTheDefinitionItemsSayTheFilesAreNotOpen) {
  // The archive is there, no competition.
  PickFirst();
  for (const char* action : {"def_kontroller", "def_banor_klass", "def_kodbanaklass", "def_banor", "visningar_banor"}) {
    SCOPED_TRACE(action);
    Trigger(action);
    EXPECT_EQ(window->messageBar()->panelText(0), QString::fromUtf8("Filerna inte öppna"));
  }
  EXPECT_TRUE(ui.pick_windows.empty());
  EXPECT_TRUE(kept.empty());
}

TEST_F(ReportMenusTest, TheCourseImageItemShowsTheChosenCourseAndOffersToSaveIt) {
  Competition();
  const std::string file = (home.path() / "B.png").string();
  ui.chosen_files = {file};
  QString caption;
  ui.on_pick_window = [&](platform::PickWindowSpec& spec) {
    definitions_while_picking = DefinitionsOpen;
    spec.selected.assign(spec.items.size(), false);
    spec.selected[1] = true;  // B
    // Once the window runs, the user looks at it and closes it.
    QTimer::singleShot(0, qApp, [&] {
      if (auto* w = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
        caption = w->windowTitle();
        w->reject();
      }
    });
    return true;
  };
  Trigger("visningar_banor");
  ASSERT_EQ(ui.pick_windows.size(), 1u);
  EXPECT_EQ(ui.pick_windows[0].caption, "V\xE4lj bana");
  EXPECT_FALSE(ui.pick_windows[0].multi);
  EXPECT_TRUE(definitions_while_picking);
  EXPECT_TRUE(caption.startsWith("B "));
  EXPECT_EQ(ReadFileBytes(file).substr(0, 4), "\x89PNG");
  EXPECT_TRUE(CompetitionOpen);
  EXPECT_FALSE(DefinitionsOpen);
}

}  // namespace
}  // namespace olbrax::test

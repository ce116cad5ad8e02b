// The label register and payment-form register dialogs without windows, opened as the shell's
// "xregister" items open them: the lines they list, adding, changing and deleting through their
// edit windows, the register shared by plusgiro and postgiro, "S&kriv", and files or storage
// that fail.
#include <cerrno>
#include <functional>

#include "base/messages.h"
#include "base/version.h"
#include "competition/dialogs/edit_form.h"
#include "register_fixture.h"
#include "registers/data/giro_edit.h"
#include "registers/data/giro_fields.h"
#include "registers/data/label_edit.h"
#include "registers/forms/giro_register_form.h"
#include "registers/forms/label_register_form.h"
#include "sheet_fixture.h"
#include "storage/file_hooks.h"

namespace olbrax::test {
namespace {

constexpr const char* kEditWindows[] = {"TEtikettDlg", "TplusgiroDlg", "TpostgiroDlg", "TbankgiroDlg"};

class RegisterForms : public RegisterTest {
 protected:
  void SetUp() override {
    RegisterTest::SetUp();
    SheetState = SheetPrintState{};
    DefaultLabelEnvironment(1, CurrentLabelEnvironment, general_);  // 3 x 8 labels
    print::SetCanvasFactory([this](const print::PrinterRequest&) -> std::unique_ptr<print::Canvas> {
      canvas = std::make_unique<RecordingCanvas>(2100, 2970, 254);
      return std::make_unique<ForwardCanvas>(*canvas);
    });
  }
  void TearDown() override {
    for (const char* kind : kEditWindows) SetEditWindow(kind, nullptr);
    disk::SetFileHooks(nullptr);
    print::SetCanvasFactory(nullptr);
    RegisterTest::TearDown();
  }
  // The edit window of `kind` plays the user: `play` changes the fields and says whether OK is
  // pressed (false: Cancel). The kind of every window shown is kept.
  template <class Edit>
  void Play(const char* kind, std::function<bool(Edit&)> play) {
    SetEditWindow(kind, [this, play](platform::Window, EditForm& form) {
      shown.emplace_back(form.Kind());
      return play(static_cast<Edit&>(form)) && form.Ok();
    });
  }
  static platform::HeadlessListWindow& Window(TERegFormDlg& dlg) {
    return static_cast<platform::HeadlessListWindow&>(dlg.window());
  }
  static void Select(TERegFormDlg& dlg, const std::vector<int>& lines, int focus) {
    Window(dlg).UserSelects(lines, focus);
  }
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
  // Stores a form directly, without the checks of "ok".
  static std::int32_t StoreForm(int kind, const std::string& giro, const std::string& payee, const std::string& letter) {
    GiroFields f;
    f.giro = giro;
    f.payee = payee;
    f.letter = letter;
    ClearGiro();
    StoreGiroFields(f, kind);
    std::int32_t rec = 0;
    PutGiro(true, rec);
    EXPECT_TRUE(IsamOK);
    return rec;
  }
  static bool LabelStored(const std::string& key, std::string* text = nullptr) {
    std::int32_t rec = 0;
    bool at_end, found;
    FindLabel(0, key, rec, at_end, found);
    if (found && text) *text = EtikettRec.Etk.get();
    return found;
  }

  TGeneralSettings general_{};
  std::unique_ptr<RecordingCanvas> canvas;
  std::vector<std::string> shown;
};

TEST_F(RegisterForms, LabelRegisterListsAddsChangesAndDeletes) {
  ASSERT_TRUE(OpenLabelFile());
  AddLabel("\xD6rjan\r\nByv\xE4gen 3");
  AddLabel("Bo\r\nLillgatan 2");
  AddLabel("anna\r\nStorgatan 1");
  TEEtikettRegForm dlg(nullptr);
  EXPECT_EQ(Window(dlg).name, "TEEtikettRegForm");
  EXPECT_EQ(Window(dlg).caption, "etikettegister");
  EXPECT_EQ(Lines(dlg), (std::vector<Text>{"anna", "Bo", "\xD6rjan"}));  // the keys, Ö after the Latin letters

  // "&Ny": the window starts from an empty label; the new line comes selected.
  Play<LabelEdit>("TEtikettDlg", [](LabelEdit& e) {
    EXPECT_TRUE(e.adding);
    EXPECT_EQ(e.text, "");
    e.text = "Cecilia\r\nTorget 4";
    return true;
  });
  dlg.EditEntry(true);
  EXPECT_EQ(Lines(dlg), (std::vector<Text>{"anna", "Bo", "Cecilia", "\xD6rjan"}));
  EXPECT_EQ(SelectedLines(dlg), (std::vector<int>{2}));

  // "&Ändra" to a first line another label holds is refused in the window; Cancel then leaves
  // the label and its key as they were.
  Select(dlg, {1}, 1);
  Play<LabelEdit>("TEtikettDlg", [](LabelEdit& e) {
    EXPECT_EQ(e.text, "Bo\r\nLillgatan 2");
    EXPECT_FALSE(LabelStored("Bo"));  // its key is away during the edit
    e.text = "Cecilia\r\nen annan";
    EXPECT_FALSE(e.Ok());
    EXPECT_EQ(e.status, LabelTakenText("Cecilia"));
    return false;
  });
  dlg.EditEntry(false);
  std::string text;
  ASSERT_TRUE(LabelStored("Bo", &text));
  EXPECT_EQ(text, "Bo\r\nLillgatan 2");
  EXPECT_EQ(dlg.LineText(1), "Bo");

  // A change with OK: the line follows the label's new first line.
  std::int32_t bo = dlg.LineRec(1);
  Play<LabelEdit>("TEtikettDlg", [](LabelEdit& e) {
    e.text = "Bertil\r\nLillgatan 2";
    return true;
  });
  dlg.EditEntry(false);
  EXPECT_EQ(Lines(dlg), (std::vector<Text>{"anna", "Bertil", "Cecilia", "\xD6rjan"}));
  EXPECT_EQ(dlg.LineRec(1), bo);
  EXPECT_FALSE(LabelStored("Bo"));
  EXPECT_TRUE(LabelStored("Bertil"));

  // "&Radera" of two lines: both go, the message of the last one is shown.
  Select(dlg, {0, 3}, 3);
  EXPECT_EQ(dlg.EraseEntry(), 1);
  EXPECT_EQ(Lines(dlg), (std::vector<Text>{"Bertil", "Cecilia"}));
  EXPECT_EQ(dlg.StatusText(), "Etikett \"\xD6rjan\r\nByv\xE4gen 3\", raderad...");
  EXPECT_EQ(Window(dlg).lines, (std::vector<std::string>{"Bertil", "Cecilia"}));
  EXPECT_EQ(shown, (std::vector<std::string>{"TEtikettDlg", "TEtikettDlg", "TEtikettDlg"}));
  EXPECT_EQ(CheckLabels(), "ok");
}

TEST_F(RegisterForms, The299thLabelIsAddedAndTheNextRefusedWithoutAWindow) {
  ASSERT_TRUE(OpenLabelFile());
  for (int i = 1; i <= 298; ++i) ASSERT_NE(AddLabel("Etikett " + std::to_string(i)), 0) << i;
  TEEtikettRegForm dlg(nullptr);
  Play<LabelEdit>("TEtikettDlg", [](LabelEdit& e) {
    e.text = "Etikett 299";
    return true;
  });
  dlg.EditEntry(true);
  EXPECT_EQ(dlg.LineCount(), 299);
  const int beeps = ui.beeps;
  dlg.EditEntry(true);
  EXPECT_EQ(shown.size(), 1u);  // no window the second time
  EXPECT_EQ(ui.beeps, beeps + 1);
  EXPECT_EQ(dlg.StatusText(), "maxantalet uppn\xE5tt kan ej addera registerpost!");
  EXPECT_EQ(UsedRecs(LabelFile), 299);
}

TEST_F(RegisterForms, SkrivPrintsTheSelectedLabelsOnSheetsAndEndsTheJob) {
  ASSERT_TRUE(OpenLabelFile());
  for (const char* t : {"Anna", "Bo", "BITMAP/finns/inte.png", "Cecilia"}) AddLabel(t);
  CurrentLabelEnvironment.copies = 2;
  TEEtikettRegForm dlg(nullptr);
  ASSERT_EQ(Lines(dlg), (std::vector<Text>{"Anna", "BITMAP/finns/inte.png", "Bo", "Cecilia"}));
  dlg.Print();  // nothing selected: no job
  EXPECT_EQ(canvas, nullptr);

  Select(dlg, {0, 1, 3}, 0);
  dlg.Print();
  ASSERT_NE(canvas, nullptr);
  std::vector<Text> texts = canvas->Texts();
  EXPECT_EQ(std::count(texts.begin(), texts.end(), "Anna"), 2);
  EXPECT_EQ(std::count(texts.begin(), texts.end(), "Cecilia"), 2);
  EXPECT_EQ(std::count(texts.begin(), texts.end(), "Bo"), 0);
  // The missing picture leaves its two cells empty, the job goes on and ends normally.
  EXPECT_EQ(SheetState.labels_printed, 4);
  EXPECT_FALSE(SheetState.begun);
  EXPECT_EQ(canvas->calls.back().op, RecordingCanvas::Op::End);
  EXPECT_EQ(canvas->title, "OlbraxW32:etiketter");
  EXPECT_EQ(CurrentLabelEnvironment.copies, 2);
  EXPECT_EQ(dlg.StatusText(), "kan ej ladda filen \"/finns/inte.png\"");
}

TEST_F(RegisterForms, PlusgiroAndPostgiroListTheSameFormsAndOpenTheirOwnWindows) {
  ASSERT_TRUE(OpenGiroFile(kPlusgiro));
  StoreForm(kPlusgiro, "12345-6", "Klubben", "A");
  StoreForm(kPostgiro, "18", "Klubben", "B");
  CloseGiroFile();
  ASSERT_TRUE(OpenGiroFile(kBankgiro));
  StoreForm(kBankgiro, "5050-1055", "Banken", "");
  CloseGiroFile();
  for (const char* kind : {"TplusgiroDlg", "TpostgiroDlg", "TbankgiroDlg"})
    Play<GiroEdit>(kind, [](GiroEdit&) { return false; });

  struct Case {
    int kind;
    std::vector<std::string> lines;
    const char* window;
  };
  const std::vector<std::string> shared{"12345-6......... Klubben_A", "18.............. Klubben_B"};
  for (const Case& c : {Case{kPlusgiro, shared, "TplusgiroDlg"}, Case{kPostgiro, shared, "TpostgiroDlg"},
                        Case{kBankgiro, {"5050-1055....... Banken"}, "TbankgiroDlg"}}) {
    SCOPED_TRACE(c.window);
    shown.clear();
    int opened = 0;
    ui.on_list_window = [&](platform::HeadlessListWindow& w) {
      ++opened;
      EXPECT_EQ(w.name, "TEGiroRegForm");
      EXPECT_EQ(w.caption, "giroregister");
      EXPECT_EQ(w.lines, c.lines);
      w.UserSelects({static_cast<int>(w.lines.size()) - 1}, 0);
      w.events.ChangeClicked();  // cancelled in the window
    };
    OpenGiroRegister(c.kind, nullptr);
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(shown, (std::vector<std::string>{c.window}));
    EXPECT_EQ(GiroFile, nullptr);  // closed with the dialog
  }
  EXPECT_EQ(CheckGiro(kPlusgiro), "ok");
  EXPECT_EQ(CheckGiro(kBankgiro), "ok");
}

TEST_F(RegisterForms, PaymentFormKeysWithLetterCodesInTheDialog) {
  ASSERT_TRUE(OpenGiroFile(kBankgiro));
  TEGiroRegForm dlg(nullptr, kBankgiro);
  auto add = [&](const char* payee, const char* letter) {
    Text refused;
    Play<GiroEdit>("TbankgiroDlg", [&](GiroEdit& e) {
      e.fields.payee = payee;
      e.fields.letter = letter;
      bool ok = e.Ok();
      refused = e.status;
      return ok;
    });
    dlg.EditEntry(true);
    return refused;
  };
  EXPECT_EQ(add("Klubben", "A"), "");
  EXPECT_EQ(add("Klubben", "B"), "");
  EXPECT_EQ(add("Klubben", "A"), "Mottagare och littera finns redan registrerad. \"Klubben_A\" M\xE5ste vara unik.");
  // Two forms without a payee would share the key "XXX": the second is refused the same way.
  EXPECT_EQ(add("", ""), "");
  EXPECT_EQ(add("", ""), "Mottagare och littera finns redan registrerad. \"XXX\" M\xE5ste vara unik.");
  EXPECT_EQ(Lines(dlg), (std::vector<Text>{"................ Klubben_A", "................ Klubben_B",
                                          "................ XXX"}));
  EXPECT_EQ(UsedRecs(GiroFile), 3);
  EXPECT_EQ(CheckGiro(kBankgiro), "ok");
}

TEST_F(RegisterForms, PaymentFormSkrivPrintsTheListLinesAsAReport) {
  ASSERT_TRUE(OpenGiroFile(kPostgiro));
  StoreForm(kPostgiro, "18", "Klubben", "A");
  StoreForm(kPostgiro, "26", "Laget", "");
  StoreForm(kPostgiro, "34", "Skolan", "");
  TEGiroRegForm dlg(nullptr, kPostgiro);
  Select(dlg, {0, 2}, 0);
  dlg.Print();
  ASSERT_NE(canvas, nullptr);
  std::vector<Text> texts = canvas->Texts();
  EXPECT_NE(std::find(texts.begin(), texts.end(), "18.............. Klubben_A"), texts.end());
  EXPECT_NE(std::find(texts.begin(), texts.end(), "34.............. Skolan"), texts.end());
  EXPECT_EQ(std::find(texts.begin(), texts.end(), "26.............. Laget"), texts.end());
  EXPECT_EQ(SheetState.labels_printed, 0);  // no forms: lines
  // The report job of the register list, titled with the program and the dialog (cut to 32).
  EXPECT_EQ(canvas->title, Cut("OlbraxW32:" + Text(kProgramVersion) + kPortTag + ": giroregister", 32));
}

TEST_F(RegisterForms, RegistersWhoseFileCannotBeOpenedSayWhyAndShowNoDialog) {
  GeneralSettings.DataDirectory.set(data.str() + "/finns-inte");
  int opened = 0;
  ui.on_list_window = [&](platform::HeadlessListWindow&) { ++opened; };
  OpenLabelRegister(nullptr);
  ASSERT_FALSE(ui.message_lines.empty());
  EXPECT_EQ(ui.message_lines.back().rfind("fel med Etikettfilerna: ", 0), 0u) << ui.message_lines.back();
  EXPECT_GT(ui.message_lines.back().size(), std::string("fel med Etikettfilerna: ").size());  // the engine's text
  OpenGiroRegister(kBankgiro, nullptr);
  EXPECT_EQ(ui.message_lines.back().rfind("fel med girofilerna: ", 0), 0u) << ui.message_lines.back();
  EXPECT_EQ(opened, 0);
  EXPECT_EQ(LabelFile, nullptr);
  EXPECT_EQ(GiroFile, nullptr);
}

// A change and a delete in the dialogs with the n-th write or flush failing, n = 1, 2, … until
// they succeed: every failure shows the engine's text in a box, the list shows what the register
// holds, and the register holds what it held before, every record with its key.
TEST_F(RegisterForms, StorageFailuresInTheDialogsAreShownAndLeaveTheRegisterWhole) {
  ASSERT_TRUE(OpenLabelFile());
  for (int i = 0; i < 20; ++i) AddLabel("Etikett " + std::to_string(100 + i) + "\r\nrad 2");
  const std::vector<std::string> before = Labels();
  Play<LabelEdit>("TEtikettDlg", [](LabelEdit& e) {
    e.text = "Ny etikett\r\n\xE4ndrad";
    return true;
  });
  auto run = [&](const char* what, std::function<void(TEEtikettRegForm&)> act, std::function<void()> undo) {
    SCOPED_TRACE(what);
    disk::FaultInjector faults;
    int failures = 0;
    for (disk::FileOp kind : {disk::FileOp::Write, disk::FileOp::Flush}) {
      for (int nth = 1; nth < 100; ++nth) {
        SCOPED_TRACE("call " + std::to_string(nth) + " of kind " + std::to_string(static_cast<int>(kind)));
        TEEtikettRegForm dlg(nullptr);
        Select(dlg, {5}, 5);
        const std::size_t boxes = ui.boxes.size();
        faults.Arm(kind, nth, ENOSPC);
        disk::SetFileHooks(&faults);
        act(dlg);
        disk::SetFileHooks(nullptr);
        if (!faults.Fired()) {
          undo();
          ASSERT_EQ(Labels(), before);
          break;
        }
        ++failures;
        ASSERT_EQ(ui.boxes.size(), boxes + 1);
        EXPECT_EQ(ui.boxes.back().style, platform::kNoticeBox);
        EXPECT_EQ(ui.boxes.back().text.rfind("Btree: ", 0), 0u) << ui.boxes.back().text;
        EXPECT_EQ(Labels(), before);
        TEEtikettRegForm fresh(nullptr);
        EXPECT_EQ(Lines(dlg), Lines(fresh));
        EXPECT_EQ(CheckLabels(), "ok");
      }
    }
    EXPECT_GE(failures, 2);
  };
  run("change", [](TEEtikettRegForm& dlg) { dlg.EditEntry(false); },
      [] {
        std::int32_t rec = 0;
        bool at_end, found;
        FindLabel(0, "Ny etikett", rec, at_end, found);
        DeleteLabel(5, "", rec, false);
        EtikettRec.Etk.set("Etikett 105\r\nrad 2");
        PutLabel(false, rec);
      });
  run("delete", [](TEEtikettRegForm& dlg) { dlg.EraseEntry(); }, [this] { AddLabel("Etikett 105\r\nrad 2"); });
}

}  // namespace
}  // namespace olbrax::test

// The competition main window: menus, toolbar and data status in the four states of the data,
// start-up from the configuration's entries, and shutdown writing everything back.
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QtTest/QTest>
#include <filesystem>

#include "base/messages.h"
#include "competition/archive.h"
#include "competition/dialogs/edit_form.h"
#include "competition/records/cmp_club_rec.h"
#include "competition/records/competition_rec.h"
#include "competition/records/definition_recs.h"
#include "platform/qt/qtext.h"
#include "printing/config/configuration.h"
#include "shell/competition_dialogs.h"
#include "shell/main_window.h"
#include "shell/panel_bar.h"
#include "shell/shell_colours.h"
#include "storage/efiler.h"
#include "support/fixtures.h"

namespace olbrax::test {
namespace {

class MainWindowTest : public UiTest {
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
  }
  void TearDown() override {
    window.reset();
    std::filesystem::current_path(old_cwd);
    ResetConfigState();
    UiTest::TearDown();
  }
  // Sets the configuration's remembered directory and competition of entries 5 and 7.
  void Remember(const std::string& dir5, int comp5, const std::string& dir7, int comp7) {
    ConfigLoad(AppSlot, true, "OLBRAX");
    GeneralSettings.remembered_directory[5].set(dir5);
    GeneralSettings.remembered_competition[5] = comp5;
    GeneralSettings.remembered_directory[7].set(dir7);
    GeneralSettings.remembered_competition[7] = comp7;
    ConfigSave();
    ResetConfigState();
  }
  // Stores the window scale and frame position that the next start finds.
  void RememberWindow(int scale, int left, int top) {
    ConfigLoad(AppSlot, true, "OLBRAX");
    GeneralSettings.window_scale = static_cast<std::int16_t>(scale);
    GeneralSettings.window_left = left;
    GeneralSettings.window_top = top;
    ConfigSave();
    ResetConfigState();
  }
  void Start() { window = std::make_unique<TMainForm>(); }
  // Starts and shows the window as the program does, with its frame.
  void StartShown() {
    Start();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
  }
  void Quit() { window.reset(); }
  bool Enabled(const char* name) {
    QAction* a = window->menus().action(name);
    EXPECT_NE(a, nullptr) << name;
    return a && a->isEnabled();
  }
  QString Status() { return window->dataStatusBar()->panelText(1); }
  // A data directory with an archive and `n` competitions, made through the window.
  void MakeCompetitions(int n) {
    window->menus().action("arkiv_skapa_nya")->trigger();
    for (int i = 1; i <= n; ++i) {
      ASSERT_TRUE(BeginInputInfo(true));
      InfoRec.Tvl.set("T" + std::to_string(i));
      InfoRec.Arr.set("OK Vilse");
      AcceptInputInfo(true);
    }
    window->UpdateMenuState();
  }

  TempDir home;
  TempDir data;
  std::filesystem::path old_cwd;
  std::unique_ptr<TMainForm> window;
};

TEST_F(MainWindowTest, MenusFollowTheStateOfTheData) {
  Remember(data.str(), 0, data.str(), 0);
  Start();
  // No archive.
  EXPECT_EQ(Status(), "<datafiler saknas>");
  for (const char* name : {"arkiv_new", "arkiv_change", "importera1", "register1", "rapporter", "tbKlubbar"})
    EXPECT_FALSE(Enabled(name)) << name;
  EXPECT_TRUE(Enabled("arkiv_skapa_nya"));
  EXPECT_EQ(window->menus().select_entries[0]->text(), "vakant");
  EXPECT_FALSE(window->menus().select_entries[0]->isEnabled());

  // An archive without a competition.
  window->menus().action("arkiv_skapa_nya")->trigger();
  EXPECT_EQ(Status(), QString::fromUtf8("<tävling ej vald/inmatad>"));
  EXPECT_TRUE(Enabled("arkiv_new"));
  EXPECT_FALSE(Enabled("arranger"));
  EXPECT_FALSE(Enabled("arkiv_kopiera1"));
  EXPECT_FALSE(Enabled("tbDeltagare"));

  // A competition without entrants.
  MakeCompetitions(1);
  EXPECT_EQ(Status(), QString::fromUtf8("T1 OK Vilse <inga tävlande inmatade>"));
  EXPECT_TRUE(Enabled("arranger"));
  EXPECT_FALSE(Enabled("arkiv_exp_medlemmar"));
  EXPECT_EQ(window->menus().select_entries[0]->text(), "T1");
  EXPECT_TRUE(window->menus().select_entries[0]->isChecked());

  // Controls but no courses.
  OpenDefinitions();
  ASSERT_TRUE(DefinitionsOpen);
  ClearControl();
  KontrRec.KodNr.set("31");
  std::int32_t r = 0;
  AddRec(KontrFile, r, &KontrRec);
  AddKey(KontrFile, 1, r, "31");
  CloseDefinitions();
  OpenCompetition();
  window->UpdateMenuState();
  EXPECT_TRUE(Enabled("arkiv_exp_kontrollerna"));
  EXPECT_FALSE(Enabled("arkiv_exp_banorna"));
}

// "IOF XML 3.0..." ends the import submenu and the export submenu; the import reads the chosen
// file into the open competition, an export writes the chosen file.
TEST_F(MainWindowTest, IofItemsEndTheImportAndExportMenus) {
  Remember(data.str(), 0, data.str(), 0);
  Start();
  MakeCompetitions(1);
  QMenu* import = window->menus().importera1;
  QMenu* export_ = window->menus().arkiv_exportera;
  ASSERT_TRUE(import && export_);
  EXPECT_EQ(import->actions().back()->text(), "IOF XML 3.0...");
  EXPECT_EQ(export_->actions().back()->text(), "IOF XML 3.0...");
  ui.chosen_files.push_back(std::string(OLBRAX_EXAMPLES_DIR) + "/iof/classes.xml");
  window->menus().action("arkiv_importera_iof")->trigger();
  EXPECT_EQ(UsedRecs(KlassFile), 5);
  ui.chosen_files.push_back(data.str() + "/klasser.xml");
  window->menus().action("arkiv_exp_iof_classes")->trigger();
  EXPECT_TRUE(std::filesystem::exists(data.path() / "klasser.xml"));
}

TEST_F(MainWindowTest, StartsInTheDirectoryOfEntryFiveAndStoresBoth) {
  TempDir other;
  Remember(data.str(), 0, other.str(), 0);
  Start();
  MakeCompetitions(2);
  SelectFromMenu(1);
  Quit();
  ConfigLoad(AppSlot, true, "OLBRAX");
  EXPECT_EQ(GeneralSettings.remembered_directory[5].get(), data.str());
  EXPECT_EQ(GeneralSettings.remembered_directory[7].get(), data.str());
  EXPECT_EQ(GeneralSettings.remembered_competition[5], 1);
  EXPECT_EQ(GeneralSettings.remembered_competition[7], 1);
  ResetConfigState();
  // The next start opens the same competition again.
  Start();
  EXPECT_TRUE(CompetitionOpen);
  EXPECT_EQ(Status().left(2), "T1");
}

TEST_F(MainWindowTest, AStoredCompetitionBeyondTheArchiveIsForgotten) {
  Remember(data.str(), 0, data.str(), 0);
  Start();
  MakeCompetitions(3);
  Quit();
  Remember(data.str(), 5, data.str(), 5);
  Start();
  EXPECT_FALSE(CompetitionOpen);
  EXPECT_EQ(GeneralSettings.CurrentCompetition, 0);
  Quit();
  ConfigLoad(AppSlot, true, "OLBRAX");
  EXPECT_EQ(GeneralSettings.remembered_competition[5], 0);
}

TEST_F(MainWindowTest, ShutdownWritesTheCompetitionAndItsStatistics) {
  Remember(data.str(), 0, data.str(), 0);
  Start();
  MakeCompetitions(1);
  InfoRec.Date.set("2027-06-12");
  CmpClubRec.ClubsWithEntrants = 7;
  Quit();
  ResetConfigState();
  Start();
  EXPECT_EQ(InfoRec.Date.get(), "2027-06-12");
  EXPECT_EQ(CmpClubRec.ClubsWithEntrants, 7);
  EXPECT_TRUE(std::filesystem::exists(home.path() / ".config/OlbraxW32/OlbraxW32.P32"));
}

TEST_F(MainWindowTest, InfoButtonShowsTheRecordSizes) {
  Remember(data.str(), 0, data.str(), 0);
  Start();
  emit window->infoClicked();
  EXPECT_EQ(MsgLine, "1=2364 2= 32 3=548 4=2348");
}

}  // namespace
}  // namespace olbrax::test

namespace olbrax::test {
namespace {

TEST_F(MainWindowTest, CancellingANewCompetitionAddsNothing) {
  Remember(data.str(), 0, data.str(), 0);
  Start();
  MakeCompetitions(1);
  ASSERT_TRUE(BeginInputInfo(true));
  TInfoDlgForm dlg(window.get(), true);
  dlg.edTvl->setText("Ska inte finnas");
  dlg.Cancel();
  EXPECT_EQ(ArchiveCount, 1);
  EXPECT_TRUE(CompetitionOpen);  // the competition of the start is open again
  EXPECT_EQ(InfoRec.Tvl.get(), "T1");

  // OK with the fields: the second competition, its payee chosen in the dialog.
  ASSERT_TRUE(BeginInputInfo(true));
  TInfoDlgForm add(window.get(), true);
  add.edTvl->setText(QString::fromUtf8("Höstkavlen"));
  add.edArr->setText("OK Vilse");
  add.cbTyp->setText("Stafett");
  add.rbUseBG->setChecked(true);
  add.Accept();
  EXPECT_EQ(ArchiveCount, 2);
  EXPECT_EQ(InfoRec.Tvl.get(), "H\xF6stkavlen");
  EXPECT_EQ(InfoRec.postgiromode, 3);
}

TEST_F(MainWindowTest, RegisterMenusOpenTheirDialogsWhenTheDataIsThere) {
  Remember(data.str(), 0, data.str(), 0);
  Start();
  std::vector<std::string> opened;
  ui.on_list_window = [&](platform::HeadlessListWindow& w) {
    opened.push_back(w.name);
    EXPECT_EQ(DefinitionsOpen, w.name != "TDistrRegForm");
  };
  window->menus().action("arkiv_skapa_nya")->trigger();
  window->menus().action("register_distrikt")->trigger();  // no competition: nothing opens
  EXPECT_TRUE(opened.empty());
  MakeCompetitions(1);
  for (const char* item : {"register_distrikt", "tbDistrikt", "register_kontroller", "register_banor"})
    window->menus().action(item)->trigger();
  EXPECT_EQ(opened, (std::vector<std::string>{"TDistrRegForm", "TDistrRegForm", "TKontrRegForm", "TBanRegForm"}));
  // The entry set is open again afterwards.
  EXPECT_TRUE(CompetitionOpen);
  EXPECT_FALSE(DefinitionsOpen);
}

// "xregister": usable once there is an archive; its items open the payment-form register with
// the form window of the item chosen, and the label register; a label file that cannot be opened
// is told in the message history.
TEST_F(MainWindowTest, XregisterOpensTheLabelAndPaymentFormRegisters) {
  Remember(data.str(), 0, data.str(), 0);
  Start();
  EXPECT_FALSE(window->shellMenuAction()->isEnabled());
  window->menus().action("arkiv_skapa_nya")->trigger();
  EXPECT_TRUE(window->shellMenuAction()->isEnabled());

  std::vector<std::string> opened, forms;
  ui.on_list_window = [&](platform::HeadlessListWindow& w) {
    opened.push_back(w.name);
    w.events.NewClicked();  // the form window of the item; cancelled
  };
  for (const char* kind : {"TplusgiroDlg", "TpostgiroDlg", "TbankgiroDlg", "TEtikettDlg"})
    SetEditWindow(kind, [&](platform::Window, EditForm& form) {
      forms.emplace_back(form.Kind());
      return false;
    });
  auto item = [&](const char* name) { return window->shellMenu()->findChild<QAction*>(name); };
  for (const char* name : {"plusgiro", "postgiro", "bankgiro", "etikettregister"}) {
    ASSERT_NE(item(name), nullptr) << name;
    item(name)->trigger();
  }
  EXPECT_EQ(opened, (std::vector<std::string>{"TEGiroRegForm", "TEGiroRegForm", "TEGiroRegForm", "TEEtikettRegForm"}));
  EXPECT_EQ(forms, (std::vector<std::string>{"TplusgiroDlg", "TpostgiroDlg", "TbankgiroDlg", "TEtikettDlg"}));
  for (const char* kind : {"TplusgiroDlg", "TpostgiroDlg", "TbankgiroDlg", "TEtikettDlg"}) SetEditWindow(kind, nullptr);

  // A folder where the label file should be: the register does not open, and the history says
  // why with the engine's text.
  std::filesystem::remove(data / "Etikett.DAT");
  std::filesystem::create_directory(data / "Etikett.DAT");
  opened.clear();
  item("etikettregister")->trigger();
  EXPECT_TRUE(opened.empty());
  EXPECT_TRUE(window->messageBar()->panelText(0).startsWith("fel med Etikettfilerna: ")) << window->messageBar()->panelText(0).toStdString();
}

// Three starts in a row at one scale: the window opens where and as large as the previous run
// left it, and the configuration stores the same frame position and size each time.
class WindowPlacementTest : public MainWindowTest, public ::testing::WithParamInterface<int> {};

TEST_P(WindowPlacementTest, ThreeStartsKeepTheWindowsSizeAndPlace) {
  const int scale = GetParam();
  Remember(data.str(), 0, data.str(), 0);
  RememberWindow(scale, 100, 120);
  QSize first;
  for (int start = 1; start <= 3; ++start) {
    StartShown();
    EXPECT_EQ(window->frameGeometry().topLeft(), QPoint(100, 120)) << "start " << start;
    EXPECT_EQ(window->scaleSpinnerValue(), scale);
    if (start == 1) {
      first = window->size();
      // Scaled once: at least the scaled design size, not twice it.
      EXPECT_GE(first.width(), 545 * scale / 100);
      EXPECT_LT(first.width(), 545 * scale / 100 + 545 * scale / 200);
      EXPECT_GE(window->centralWidget()->height(), 312 * scale / 100);
    }
    EXPECT_EQ(window->size(), first) << "start " << start;
    Quit();
    ConfigLoad(AppSlot, true, "OLBRAX");
    EXPECT_EQ(GeneralSettings.window_left, 100);
    EXPECT_EQ(GeneralSettings.window_top, 120);
    EXPECT_EQ(GeneralSettings.window_width, first.width());
    EXPECT_EQ(GeneralSettings.window_height, first.height());
    EXPECT_EQ(GeneralSettings.window_scale, scale);
    ResetConfigState();
  }
}

// At every scale each text of the shell is whole: the bars' and buttons' texts fit their
// controls, the row of buttons does not overlap and stays inside the window.
TEST_P(WindowPlacementTest, EveryTextOfTheShellIsWhole) {
  const int scale = GetParam();
  Remember(data.str(), 0, data.str(), 0);
  RememberWindow(scale, 10, 10);
  StartShown();
  auto fits = [](QWidget* w, const QString& text) {
    QRect room = w->contentsRect();
    return w->fontMetrics().horizontalAdvance(text) <= room.width() && w->fontMetrics().height() <= room.height();
  };
  for (const char* name : {"datadirstatusbar", "PrEnvStatusbar", "etikettenvstatusbar", "datastatusbar"}) {
    auto* first = window->findChild<QLabel*>(QString(name) + "_panel0");
    ASSERT_NE(first, nullptr) << name;
    EXPECT_TRUE(fits(first, window->findChild<PanelBar*>(name)->panelText(0))) << name << " at " << scale;
    auto* second = window->findChild<QLabel*>(QString(name) + "_panel1");
    EXPECT_LT(first->geometry().right(), second->geometry().left()) << name;
  }
  QWidget* previous = nullptr;
  for (const char* name : {"buttonDataLib", "buttonKonfig", "editbutton", "infobutton", "quitbutton"}) {
    auto* b = window->findChild<QPushButton*>(name);
    EXPECT_TRUE(fits(b, b->text())) << name << " at " << scale;
    if (previous) EXPECT_LT(previous->geometry().right(), b->geometry().left()) << name;
    previous = b;
    if (std::string(name) == "infobutton") {
      QWidget* spinner = window->findChild<QSpinBox*>("EditFormScale");
      EXPECT_LT(b->geometry().right(), spinner->geometry().left());
      previous = spinner;
    }
  }
  EXPECT_LE(previous->geometry().right(), window->centralWidget()->width());
  for (const char* name : {"Label1", "Label2", "Label5"}) {
    auto* l = window->findChild<QLabel*>(name);
    EXPECT_LE(l->geometry().right(), window->centralWidget()->width()) << name;
  }
  // The background picture does not show through the texts: beside the text of a bar and
  // behind a link label lies the shell's own colour.
  const QImage shot = window->centralWidget()->grab().toImage();
  auto* panel = window->findChild<QLabel*>("etikettenvstatusbar_panel0");
  QPoint beside = panel->mapTo(window->centralWidget(), QPoint(panel->width() - 4, panel->height() / 2));
  EXPECT_EQ(shot.pixelColor(beside), kShellColour);
  auto* link = window->findChild<QLabel*>("Label5");
  QPoint corner = link->mapTo(window->centralWidget(), QPoint(1, 1));
  EXPECT_EQ(shot.pixelColor(corner), kShellColour);
}

INSTANTIATE_TEST_SUITE_P(Scales, WindowPlacementTest, ::testing::Values(100, 150, 200));

TEST_F(MainWindowTest, AWindowLeftAboveTheScreenComesBackOnIt) {
  Remember(data.str(), 0, data.str(), 0);
  RememberWindow(100, -300, -40);
  StartShown();
  EXPECT_GE(window->frameGeometry().top(), 0);
  EXPECT_GE(window->frameGeometry().left(), 0);
}

TEST_F(MainWindowTest, TheSettingsBarNamesTheDirectoryTheDataIsIn) {
  TempDir other;
  Remember(data.str(), 0, other.str(), 0);
  Start();
  auto* bar = window->findChild<PanelBar*>("datadirstatusbar");
  EXPECT_EQ(bar->panelText(1), QString::fromStdString(data.str()));
}

TEST_F(MainWindowTest, ArkivAvslutaEndsTheProgramAsTheButtonDoes) {
  Remember(data.str(), 0, data.str(), 0);
  StartShown();
  MakeCompetitions(1);
  InfoRec.Date.set("2027-09-01");
  window->menus().action("arkiv_avsluta")->trigger();
  EXPECT_FALSE(window->isVisible());
  EXPECT_FALSE(CompetitionOpen);  // the shutdown ran: the competition was written and closed
  Quit();
  Start();
  EXPECT_EQ(InfoRec.Date.get(), "2027-09-01");
}

TEST_F(MainWindowTest, NewCompetitionStartsWithEmptyPaymentFieldsAndKeepsWhatIsTyped) {
  Remember(data.str(), 0, data.str(), 0);
  Start();
  MakeCompetitions(1);
  {
    ASSERT_TRUE(BeginInputInfo(false));
    TInfoDlgForm change(window.get(), false);
    change.edPostgiro->setText("123 45 67-8");
    change.edBetMottagare->setText("OK Vilse kassa");
    change.Accept();
  }
  {
    ASSERT_TRUE(BeginInputInfo(true));
    TInfoDlgForm add(window.get(), true);
    EXPECT_EQ(add.edPostgiro->text(), "");
    EXPECT_EQ(add.edBankgiro->text(), "");
    EXPECT_EQ(add.edBetMottagare->text(), "");
    add.edTvl->setText(QString::fromUtf8("Höstsprinten"));
    add.edArr->setText("IFK Backe");
    add.edPostgiro->setText("98 76 54-3");
    add.edBetMottagare->setText("IFK Backe OL");
    add.Accept();
  }
  Quit();
  Start();  // reopens the new competition, its statistics block read from its file
  EXPECT_EQ(InfoRec.Tvl.get(), "H\xF6stsprinten");
  EXPECT_EQ(CmpClubRec.PlusgiroNumber.get(), "98 76 54-3");
  EXPECT_EQ(CmpClubRec.Payee.get(), "IFK Backe OL");
  SelectFromMenu(1);
  EXPECT_EQ(CmpClubRec.PlusgiroNumber.get(), "123 45 67-8");
  EXPECT_EQ(CmpClubRec.Payee.get(), "OK Vilse kassa");
}

TEST(AddressEditor, KeepsFiveLinesOf22) {
  AddressBlock block{};
  TadressDlg dlg(nullptr, block);
  dlg.memo->setPlainText("Rad ett\nRad tv\xC3\xA5 som \xC3\xA4r alldeles f\xC3\xB6r l\xC3\xA5ng\nTre\nFyra\nFem\nSex\n\n");
  dlg.Accept();
  EXPECT_EQ(block.line[0].get(), "Rad ett");
  EXPECT_EQ(block.line[1].get(), "Rad tv\xE5 som \xE4r alldele");
  EXPECT_EQ(block.line[4].get(), "Fem");
  TadressDlg again(nullptr, block);
  EXPECT_TRUE(again.memo->toPlainText().startsWith("Rad ett\n"));
  EXPECT_TRUE(again.memo->toPlainText().endsWith("Fem"));
}

}  // namespace
}  // namespace olbrax::test

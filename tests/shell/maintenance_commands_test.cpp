// The shell's "konfig" button and the "filvård" commands of the main window, end to end on the
// offscreen platform: the dialogs they open, and what the window shows afterwards.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>
#include <QtTest/QTest>
#include <filesystem>

#include "competition/archive.h"
#include "competition/maintenance/backup_copy.h"
#include "competition/records/competition_rec.h"
#include "platform/qt/qtext.h"
#include "printing/config/configuration.h"
#include "printing/konfig/konfig_dialog.h"
#include "shell/data_dir_dialog.h"
#include "shell/main_window.h"
#include "shell/panel_bar.h"
#include "support/fixtures.h"

namespace olbrax::test {
namespace {

// Runs `action` on the next modal dialog once it is up.
void OnNextModal(std::function<void(QWidget*)> action) {
  QTimer::singleShot(0, [action] {
    QWidget* w = QApplication::activeModalWidget();
    if (!w) return OnNextModal(action);
    action(w);
  });
}

class MaintenanceCommandsTest : public UiTest {
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
    window = std::make_unique<TMainForm>();
    window->menus().action("arkiv_skapa_nya")->trigger();
    ASSERT_TRUE(ArchiveOpen);
    ASSERT_TRUE(BeginInputInfo(true));
    InfoRec.Tvl.set("Vintercupen");
    AcceptInputInfo(true);
    window->UpdateMenuState();
  }
  void TearDown() override {
    window.reset();
    std::filesystem::current_path(old_cwd);
    ResetConfigState();
    UiTest::TearDown();
  }
  QString Panel(const char* bar) { return window->findChild<PanelBar*>(bar)->panelText(1); }

  TempDir home;
  TempDir target;
  std::filesystem::path old_cwd;
  std::unique_ptr<TMainForm> window;
};

TEST_F(MaintenanceCommandsTest, TheKonfigButtonOpensTheDialogAndTheStatusFollows) {
  OnNextModal([](QWidget* w) {
    ASSERT_EQ(w->objectName(), "TEKonfigDlg");
    w->findChild<QPushButton*>("RapportTabControl2")->click();
    w->findChild<QLineEdit*>("RaEditNamn")->setText("Klubbens skrivare");
    w->findChild<QPushButton*>("BitBtnOK")->click();
  });
  window->findChild<QPushButton*>("buttonKonfig")->click();
  QTRY_COMPARE(Panel("PrEnvStatusbar"), "Klubbens skrivare");
  EXPECT_EQ(GeneralSettings.print_env, 2);
}

TEST_F(MaintenanceCommandsTest, BackupAndRebuildFromTheMenu) {
  QAction* backup = window->menus().action("arkiv_kopiera1");
  ASSERT_TRUE(backup->isEnabled());
  QString chosen = QString::fromStdString(target.str());
  OnNextModal([chosen](QWidget* w) {
    auto* chooser = qobject_cast<Tedatadir*>(w);
    ASSERT_NE(chooser, nullptr);
    EXPECT_EQ(chooser->windowTitle(), "kopiera till...");
    chooser->setDirectory(chosen);
    chooser->accept();
  });
  backup->trigger();
  ASSERT_FALSE(ui.boxes.empty());
  EXPECT_EQ(ui.boxes.back().text, "OlDataBas nr.01 kopierad till " + target.str() + " ..lyckad kopiering!!");
  EXPECT_EQ(LastBackupTarget, target.str());
  EXPECT_TRUE(std::filesystem::exists(target.path() / "KLASS01.Dat"));

  window->menus().action("arkiv_indexbygg1")->trigger();
  EXPECT_TRUE(CompetitionOpen);
  EXPECT_TRUE(window->menus().action("arkiv_kopiera1")->isEnabled());
}

}  // namespace
}  // namespace olbrax::test

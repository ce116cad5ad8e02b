// The configuration dialog on the offscreen platform: tabs that store and read environments,
// fonts, printers and pictures chosen through stand-in dialogs, refused negative lengths, and
// what closing keeps.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QtTest/QTest>
#include <filesystem>

#include "base/messages.h"
#include "platform/qt/qtext.h"
#include "platform/qt/window_scale.h"
#include "printing/config/configuration.h"
#include "printing/konfig/environment_tabs.h"
#include "printing/konfig/konfig_dialog.h"
#include "support/fixtures.h"

namespace olbrax::test {
namespace {

using platform::ToQ;

class KonfigDialogTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    setenv("HOME", home.str().c_str(), 1);
    unsetenv("XDG_CONFIG_HOME");
    unsetenv("XDG_DOCUMENTS_DIR");
    old_cwd = std::filesystem::temp_directory_path();
    ResetConfigState();
    ConfigLoad(AppSlot, true, "OLBRAX");
    // The defaults on screen are the layout names, as after the first normal run.
    ConfigSave();
    ResetConfigState();
    ConfigLoad(AppSlot, true, "OLBRAX");
  }
  void TearDown() override {
    dlg.reset();
    std::filesystem::current_path(old_cwd);
    ResetConfigState();
    UiTest::TearDown();
  }
  void Open() {
    dlg = std::make_unique<TEKonfigDlg>(nullptr, choosers);
    dlg->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dlg.get()));
  }
  template <class W>
  W* Find(const char* name) {
    W* w = dlg->findChild<W*>(name);
    EXPECT_NE(w, nullptr) << name;
    return w;
  }
  void Click(const char* name) { QTest::mouseClick(Find<QWidget>(name), Qt::LeftButton); }
  std::string Bytes() const { return ReadFileBytes(home.path() / ".config/OlbraxW32/OlbraxW32.P32"); }

  TempDir home;
  std::filesystem::path old_cwd;
  KonfigChoosers choosers;
  std::unique_ptr<TEKonfigDlg> dlg;
};

TEST_F(KonfigDialogTest, RenamingEnvironment3AndSwitchingTo4KeepsTheName) {
  Open();
  EXPECT_EQ(dlg->windowTitle(), QString::fromUtf8("inställningar"));
  EXPECT_EQ(dlg->rapportTabs()->currentIndex(), 0);
  EXPECT_FALSE(Find<QPushButton>("RapportDlgButton3")->isEnabled());  // "utskriftsformat"
  EXPECT_EQ(Find<QLineEdit>("RaEditNamn")->maxLength(), 40);
  EXPECT_EQ(Find<QLineEdit>("RaEditFottext")->maxLength(), 64);
  EXPECT_EQ(Find<QLineEdit>("EditDatorNamn")->maxLength(), 31);

  Click("RapportTabControl3");
  QTRY_COMPARE(Find<QLineEdit>("RaEditNamn")->text(), QString::fromUtf8("Courier.stående"));
  Find<QLineEdit>("RaEditNamn")->setText("Mina listor");
  Find<QSpinBox>("RaSpinKolumner")->setValue(3);
  Click("RapportTabControl4");
  QTRY_COMPARE(Find<QLineEdit>("RaEditNamn")->text(), "Courier.liggande");
  EXPECT_EQ(dlg->rapportTabs()->tabText(2), "Mina listor");
  EXPECT_EQ(dlg->rapportTabs()->tab(3)->palette().color(QPalette::ButtonText), QColor(Qt::red));  // the active tab
  EXPECT_NE(dlg->rapportTabs()->tab(2)->palette().color(QPalette::ButtonText), QColor(Qt::red));
  std::string b = Bytes();
  EXPECT_EQ(b.substr(59810 + 2 * 41, 12), std::string("\x0b") + "Mina listor");
  EXPECT_EQ(b[157552 + 2 * 15956 + 1092 + 9540], 3);

  Click("RapportTabControl3");
  QTRY_COMPARE(Find<QLineEdit>("RaEditNamn")->text(), "Mina listor");
  EXPECT_EQ(Find<QSpinBox>("RaSpinKolumner")->value(), 3);
  Click("BitBtnOK");
  QTRY_VERIFY(!dlg->isVisible());
  EXPECT_EQ(GeneralSettings.print_env, 3);
}

TEST_F(KonfigDialogTest, LabelLengthsRefuseNegativeValues) {
  Open();
  Find<QTabWidget>("KonfigPageControl")->setCurrentIndex(1);
  Click("EtikettTabControl2");
  auto* height = Find<QSpinBox>("EtSpinHeight");
  QTRY_COMPARE(height->value(), 370);
  for (const char* name : {"EtSpinHeight", "EtSpinWidth", "EtSpinRowPitch", "EtSpinColumnPitch"})
    EXPECT_EQ(Find<QSpinBox>(name)->minimum(), 0) << name;
  EXPECT_EQ(Find<QSpinBox>("EtSpinTop")->minimum(), -999);
  EXPECT_EQ(Find<QSpinBox>("EtSpinLeft")->minimum(), -999);
  // Typing a minus sign into a length does nothing.
  height->setFocus();
  height->selectAll();
  QTest::keyClicks(height, "-5");
  QTest::keyClick(height, Qt::Key_Enter);
  EXPECT_GE(height->value(), 0);
  Find<QSpinBox>("EtSpinCopies")->setValue(4);
  Click("EtikettTabControl3");
  QTRY_COMPARE(Find<QLineEdit>("EtEditNamn")->text(), "Laser 2x8");
  Click("EtikettTabControl2");
  QTRY_COMPARE(Find<QSpinBox>("EtSpinCopies")->value(), 4);
  EXPECT_EQ(CurrentLabelEnvironment.height, static_cast<std::uint16_t>(height->value()));
}

TEST_F(KonfigDialogTest, FontsAndPrintersComeFromTheirDialogs) {
  QFont offered;
  choosers.font = [&](QWidget*, QFont& f) {
    offered = f;
    f = QFont("DejaVu Sans", 20);
    f.setItalic(true);
    return true;
  };
  platform::PrinterInfo started;
  bool confirm = true;
  choosers.printer = [&](QWidget*, platform::PrinterInfo& p) {
    started = p;
    p.orientation = 2;
    return confirm;
  };
  Open();
  Click("RaBitBtnStorFont");
  EXPECT_EQ(offered.family(), "Arial");  // the dialog starts at the environment's font
  auto* field = Find<QLineEdit>("RaEditStorFont");
  QTRY_COMPARE(field->text(), "(20) \"DejaVu Sans\"");
  EXPECT_EQ(field->font().pointSize(), 12);  // the preview at the window scale of 100
  EXPECT_EQ(CurrentPrintEnvironment.setup.large.size, 20);
  EXPECT_EQ(CurrentPrintEnvironment.setup.large.style, 2);

  Click("RapportDlgButton2");
  EXPECT_EQ(started.name, "PDF");
  EXPECT_EQ(Find<QLineEdit>("RaEditSkrivarval")->text(), "PDF");
  EXPECT_EQ(CurrentPrintEnvironment.setup.Orientation(), 2);
  EXPECT_EQ(CurrentPrintEnvironment.setup.DriverExtra(), 0);  // no driver-private part
  confirm = false;
  CurrentPrintEnvironment.setup.Set16(devmode::kOrientation, 1);
  Click("RapportDlgButton2");  // cancelled: the printer stays
  EXPECT_EQ(CurrentPrintEnvironment.setup.Orientation(), 1);
}

TEST_F(KonfigDialogTest, PicturesAndTheirFailures) {
  QString answer;
  choosers.picture = [&](QWidget*, QString& path) {
    if (answer.isEmpty()) return false;
    path = answer;
    return true;
  };
  std::strcpy(CurrentPrintEnvironment.pictures[2].path.s, "/nowhere/bild.jpg");
  Open();
  auto* bild2 = Find<QLabel>("PrBild2");
  EXPECT_EQ(bild2->property("picture").toString(), "PrBildres2");  // no such file: built in
  // Cancelling the picture dialog clears the path.
  std::strcpy(CurrentPrintEnvironment.pictures[2].path.s, "/nowhere/bild.jpg");
  QTest::mouseClick(bild2, Qt::LeftButton);
  EXPECT_EQ(CurrentPrintEnvironment.pictures[2].path.get(), "");
  EXPECT_EQ(bild2->property("picture").toString(), "PrBildres2");
  EXPECT_FALSE(bild2->pixmap().isNull());
  // A file that is no picture.
  std::filesystem::path bad = home.path() / "trasig.jpg";
  WriteFileBytes(bad, "inte en bild");
  answer = QString::fromStdString(bad.string());
  QTest::mouseClick(Find<QLabel>("PrBild3"), Qt::LeftButton);
  EXPECT_EQ(CurrentPrintEnvironment.pictures[3].path.get(), bad.string());
  QTRY_COMPARE(Find<QLabel>("StatusLine")->text(), ToQ("kan ej ladda filen \"" + bad.string() + "\""));
  EXPECT_TRUE(Find<QLabel>("PrBild3")->pixmap().isNull());
}

TEST_F(KonfigDialogTest, ClosingKeepsThePageAndTheComputerNameCut) {
  Open();
  Find<QTabWidget>("KonfigPageControl")->setCurrentIndex(1);
  Find<QLineEdit>("EditDatorNamn")->setMaxLength(100);  // as if pasted past the limit
  Find<QLineEdit>("EditDatorNamn")->setText(QString(40, 'x'));
  dlg->reject();  // any way of closing stores
  EXPECT_EQ(GeneralSettings.dialog_page, 2);
  EXPECT_EQ(GeneralSettings.computer_name.get(), std::string(31, 'x'));
  dlg.reset();
  Open();
  EXPECT_EQ(Find<QTabWidget>("KonfigPageControl")->currentIndex(), 1);
}

// The dialog at the window scales 100 and 200. With OLBRAX_SCREENSHOT_DIR set (scripts/screenshots
// runs this under a virtual X display) both pages are saved there as pictures.
TEST_F(KonfigDialogTest, ScalesWithTheWindowScale) {
  const char* out = std::getenv("OLBRAX_SCREENSHOT_DIR");
  for (int scale : {100, 200}) {
    platform::WindowScale = scale;
    Open();
    EXPECT_EQ(dlg->size(), QSize(618, 512) * (scale / 100)) << scale;
    EXPECT_EQ(Find<QLineEdit>("RaEditStorFont")->font().pointSize(), 12 * scale / 100);
    // Every field gets the dialog's scaled font.
    EXPECT_EQ(Find<QLineEdit>("RaEditNamn")->font().pointSizeF(), dlg->font().pointSizeF());
    for (int page = 0; out && page < 2; ++page) {
      Find<QTabWidget>("KonfigPageControl")->setCurrentIndex(page);
      QTest::qWait(200);  // let a real display paint
      std::string name = std::string(out) + "/konfig-" + (page == 0 ? "rapporter" : "etiketter") +
                         (scale == 100 ? "" : "-" + std::to_string(scale)) + ".png";
      EXPECT_TRUE(dlg->grab().save(QString::fromStdString(name))) << name;
    }
    dlg.reset();
  }
  platform::WindowScale = 100;
}

}  // namespace
}  // namespace olbrax::test

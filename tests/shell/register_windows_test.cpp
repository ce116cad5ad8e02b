// The Qt windows of the registers: the list window mirrors its dialog and reports the user's
// selection, the edit windows show a refused OK and select its field, the pick window's
// "&Alla"/"&Ingen" and status, and the window scale.
#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTableWidget>
#include <QTimer>
#include <tuple>

#include "competition/data_fixture.h"
#include "competition/records/club_recs.h"
#include "competition/records/definition_recs.h"
#include "competition/registers/definitions.h"
#include "competition/registers/register_find.h"
#include "competition/registers/shared_registers.h"
#include "platform/qt/pick_form.h"
#include "platform/qt/qt_ui.h"
#include "platform/qt/qtext.h"
#include "platform/qt/register_list_form.h"
#include "platform/qt/window_scale.h"
#include "shell/register_forms.h"
#include "registers/data/giro_edit.h"
#include "registers/data/giro_register.h"
#include "registers/data/label_edit.h"
#include "registers/data/label_register.h"
#include "shell/reglist/district_register.h"

namespace olbrax::test {
namespace {

using platform::ToQ;

class RegisterWindowTest : public DataTest {
 protected:
  void SetUp() override {
    DataTest::SetUp();
    AddCompetition("F\xF6nster");
    for (auto [nr, name] : {std::pair{"05", "Sk\xE5ne"}, {"07", "Halland"}, {"09", "Sm\xE5land"}}) {
      ClearDistrict();
      DistrRec.Dnr.set(nr);
      DistrRec.Dname.set(name);
      std::int32_t ref = 0;
      PutDistrict(true, ref);
    }
  }
  void TearDown() override {
    platform::WindowScale = 100;
    DataTest::TearDown();
  }
};

TEST_F(RegisterWindowTest, ListWindowMirrorsTheDialogAndReportsTheUser) {
  platform::QtUi qt;
  platform::SetUi(&qt);
  {
    TDistrRegForm dlg(nullptr);
    auto* form = dynamic_cast<platform::RegisterListForm*>(&dlg.window());
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->objectName(), "TDistrRegForm");
    EXPECT_EQ(form->windowTitle(), "distriktsregister");
    ASSERT_EQ(form->ERegListBox->count(), 3);
    EXPECT_EQ(form->ERegListBox->item(1)->text(), ToQ(dlg.LineText(1)));
    EXPECT_EQ(form->ERegListBox->selectionMode(), QAbstractItemView::ExtendedSelection);
    for (auto* b : {form->newbtn, form->changebtn, form->deletebtn, form->printbtn, form->closebtn})
      EXPECT_FALSE(b->autoDefault());  // Enter on a line changes it, it presses no button
    EXPECT_EQ(form->newbtn->text(), "&Ny");
    EXPECT_EQ(form->changebtn->text(), QString::fromUtf8("&Ändra"));
    EXPECT_EQ(form->printbtn->text(), "S&kriv");

    // The user selects two lines.
    form->ERegListBox->item(0)->setSelected(true);
    form->ERegListBox->item(2)->setSelected(true);
    EXPECT_TRUE(dlg.Selected(0) && !dlg.Selected(1) && dlg.Selected(2));
    EXPECT_EQ(form->StatusBar1->currentMessage(), "   3 [   2]");

    // "&Radera" removes both lines from the window too.
    form->deletebtn->click();
    ASSERT_EQ(form->ERegListBox->count(), 1);
    EXPECT_EQ(form->ERegListBox->item(0)->text(), ToQ(dlg.LineText(0)));
    EXPECT_EQ(dlg.LineText(0).substr(0, 3), "07.");
    EXPECT_EQ(form->StatusBar1->currentMessage(), ToQ("Distriktet 09 \"Sm\xE5land\", raderad...."));
  }
  platform::SetUi(&ui);
}

TEST_F(RegisterWindowTest, RefusedOkShowsTheTextAndKeepsTheWindow) {
  bool at_end, found;
  std::int32_t ref = 2;
  FindDistrict(kFindRecord, "", ref, at_end, found);
  DeleteDistrict(true, "", ref, false);
  DistrictEdit edit(false);
  TDistrForm window(nullptr, edit);
  EXPECT_EQ(window.windowTitle(), "distrikt");
  EXPECT_EQ(window.edDnr->text(), "07");  // two digits, as stored
  EXPECT_EQ(window.edDname->maxLength(), 19);
  EXPECT_EQ(window.edDkort->maxLength(), 3);
  window.edDnr->setValue(5);
  window.OkClick();
  EXPECT_NE(window.result(), QDialog::Accepted);
  EXPECT_EQ(window.StatusBar1->currentMessage(), ToQ(DistrictExistsText("05")));
  window.edDnr->setValue(6);
  window.edDname->setText("Halland Norra");
  window.OkClick();
  EXPECT_EQ(window.result(), QDialog::Accepted);
  EXPECT_EQ(DistrRec.Dnr.get(), "06");
  EXPECT_EQ(DistrRec.Dname.get(), "Halland Norra");
}

TEST_F(RegisterWindowTest, ControlWindowIsReusedAndItsGridIsTenXWide) {
  OpenDefinitions();
  ASSERT_TRUE(DefinitionsOpen);
  QWidget main;
  InstallRegisterWindows(&main);
  TKontrForm* window = ControlWindow();
  ASSERT_NE(window, nullptr);
  const QFontMetrics fm(window->StringGrid1->font());
  for (int c = 0; c < 9; ++c) EXPECT_GE(window->StringGrid1->columnWidth(c), fm.horizontalAdvance("XXXXXXXXXX")) << c;
  EXPECT_EQ(window->StringGrid1->horizontalHeaderItem(0)->text(), "KodNr");
  EXPECT_EQ(window->StringGrid1->horizontalHeaderItem(8)->text(), "H");

  for (const char* typed : {"3a", "4b"}) {
    ClearControl();
    ControlEdit edit(true);
    QTimer::singleShot(0, window, [window, typed] {
      window->edKodNr->setText(typed);
      window->StringGrid1->item(0, 1)->setText(QString::fromUtf8("höjd"));
      window->OkClick();
    });
    {
      // Owned by a register dialog while it is shown; the dialog goes, the window stays.
      QWidget dialog;
      ASSERT_TRUE(ShowEditWindow(&dialog, edit));
    }
    EXPECT_EQ(ControlWindow(), window);  // the same window every time
    EXPECT_EQ(window->parentWidget(), &main);
    std::int32_t ref = 0;
    PutControl(true, ref);
  }
  std::int32_t ref = 0;
  bool at_end, found;
  FindControl(kFindExact, "3A", ref, at_end, found);
  EXPECT_TRUE(found);
  EXPECT_EQ(KontrRec.R[0].get(), "H\xD6JD");
  RemoveRegisterWindows();
}

TEST_F(RegisterWindowTest, CourseWindowReachesRow35AndSelectsTheMissingCode) {
  OpenDefinitions();
  ClearControl();
  KontrRec.KodNr.set("31");
  std::int32_t ref = 0;
  PutControl(true, ref);
  ClearCourse();
  for (int k = 0; k < 35; ++k) TrackRec.KodNr[k].set("31");
  TrackRec.Antal = 35;
  CourseEdit edit(true);
  TBanForm window(nullptr, edit);
  ASSERT_EQ(window.StringGrid1->rowCount(), 35);
  EXPECT_EQ(window.StringGrid1->item(34, 0)->text(), "35");
  EXPECT_EQ(window.StringGrid1->item(34, 1)->text(), "31");
  EXPECT_EQ(window.edLangd->singleStep(), 100);
  EXPECT_EQ(window.edLangd->maximum(), 99999);
  window.edBana->setText("a");
  window.StringGrid1->item(4, 1)->setText("77");
  window.OkClick();
  EXPECT_NE(window.result(), QDialog::Accepted);
  EXPECT_EQ(window.StringGrid1->currentRow(), 4);
  EXPECT_EQ(window.StatusBar1->currentMessage(), ToQ(ControlMissingText("77")));
}

// Once the register windows are installed, the label and payment-form edits open their own
// windows: the window of the form's kind, OK hands the fields back, "avbryt" puts the form back.
TEST_F(RegisterWindowTest, SideRegisterEditsOpenTheirWindows) {
  QWidget main;
  InstallRegisterWindows(&main);
  ASSERT_TRUE(OpenLabelFile());
  ClearLabel();
  EtikettRec.Etk.set("Anna");
  LabelEdit label(false);
  QTimer::singleShot(0, &main, [] {
    QWidget* w = QApplication::activeModalWidget();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->objectName(), "TEtikettDlg");
    w->findChild<QPlainTextEdit*>("etikettMemo")->setPlainText("Bo\nLillgatan 2");
    w->findChild<QPushButton*>("BitBtn1")->click();
  });
  EXPECT_TRUE(ShowEditWindow(&main, label));
  EXPECT_EQ(EtikettRec.Etk.get(), "Bo\r\nLillgatan 2");
  CloseLabelFile();

  ASSERT_TRUE(OpenGiroFile(kPostgiro));
  for (auto [kind, name, payee] : {std::tuple{kPlusgiro, "TplusgiroDlg", "Edit3"}, {kPostgiro, "TpostgiroDlg", "Edit3"},
                                   {kBankgiro, "TbankgiroDlg", "tillnamn1"}}) {
    SCOPED_TRACE(name);
    for (const char* button : {"cancelbtn", "okbtn"}) {
      ClearGiro();
      GiroRec.Mottagare.set("Klubben");
      GiroEdit form(kind, false);
      QString seen;
      QTimer::singleShot(0, &main, [&, payee = payee, button] {
        QWidget* w = QApplication::activeModalWidget();
        ASSERT_NE(w, nullptr);
        seen = w->objectName();
        w->findChild<QLineEdit*>(payee)->setText("Laget");
        w->findChild<QPushButton*>(button)->click();
      });
      const bool ok = ShowEditWindow(&main, form);
      EXPECT_EQ(seen, name);
      EXPECT_EQ(ok, std::string(button) == "okbtn");
      EXPECT_EQ(GiroRec.Mottagare.get(), ok ? "Laget" : "Klubben");
    }
  }
  CloseGiroFile();
  RemoveRegisterWindows();
}

TEST_F(RegisterWindowTest, PickWindowAllNoneAndSortedAnswers) {
  platform::PickWindowSpec spec;
  spec.caption = "V\xE4lj";
  spec.multi = true;
  spec.sort = true;
  spec.items = {"C", "A", "B"};
  spec.selected = {false, false, true};
  platform::PickForm form(spec);
  EXPECT_EQ(form.EPickListBox->item(0)->text(), "A");  // shown sorted
  EXPECT_EQ(form.StatusBar1->currentMessage(), "  1 [  3]");
  form.AllClick();
  EXPECT_EQ(form.allbtn->text(), "&Ingen");
  EXPECT_EQ(form.StatusBar1->currentMessage(), "  3 [  3]");
  form.AllClick();
  EXPECT_EQ(form.allbtn->text(), "&Alla");
  EXPECT_EQ(form.StatusBar1->currentMessage(), " [  3]");
  form.EPickListBox->item(0)->setSelected(true);  // "A", the second item
  EXPECT_EQ(form.Chosen(), (std::vector<bool>{false, true, false}));

  spec.multi = false;
  platform::PickForm single(spec);
  EXPECT_FALSE(single.allbtn->isEnabled());
}

TEST_F(RegisterWindowTest, WindowsScaleThemselves) {
  platform::QtUi qt;
  platform::SetUi(&qt);
  double size100, size200;
  {
    TDistrRegForm dlg(nullptr);
    size100 = static_cast<platform::RegisterListForm&>(dlg.window()).ERegListBox->font().pointSizeF();
  }
  platform::WindowScale = 200;
  {
    TDistrRegForm dlg(nullptr);
    auto& form = static_cast<platform::RegisterListForm&>(dlg.window());
    size200 = form.ERegListBox->font().pointSizeF();
    EXPECT_GE(form.width(), 2 * 470 - 1);
  }
  EXPECT_DOUBLE_EQ(size200, 2 * size100);
  platform::SetUi(&ui);
}

}  // namespace
}  // namespace olbrax::test

// The label edit window and the three payment-form windows, built offscreen and driven through
// their fields and buttons: what they show, the checks of OK, Cancel, and printing.
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTextEdit>
#include <cstdlib>

#include "platform/qt/qtext.h"
#include "register_fixture.h"
#include "registers/giro_dialogs.h"
#include "registers/label_dialog.h"
#include "sheet_fixture.h"

namespace olbrax::test {
namespace {

using platform::ToQ;

// With OLBRAX_SCREENSHOTS set to a folder, the windows are saved there as pictures.
void Keep(QWidget& w, const char* name) {
  if (const char* dir = std::getenv("OLBRAX_SCREENSHOTS")) w.grab().save(QString(dir) + "/" + name);
}

template <class T>
T* Child(QWidget& w, const char* name) {
  T* c = w.findChild<T*>(name);
  EXPECT_NE(c, nullptr) << name;
  return c;
}

class Windows : public RegisterTest {
 protected:
  void SetUp() override {
    RegisterTest::SetUp();
    print::SetCanvasFactory([this](const print::PrinterRequest&) -> std::unique_ptr<print::Canvas> {
      canvas = std::make_unique<RecordingCanvas>(2100, 2970, 254);
      return std::make_unique<ForwardCanvas>(*canvas);
    });
  }
  void TearDown() override {
    print::SetCanvasFactory(nullptr);
    RegisterTest::TearDown();
  }
  // The defaults of label environment n.
  void UseLabelEnvironment(int n) { DefaultLabelEnvironment(n, CurrentLabelEnvironment, general_); }
  std::unique_ptr<RecordingCanvas> canvas;
  TGeneralSettings general_{};
};

TEST_F(Windows, LabelWindowShowsTheBufferAndRefusesATakenFirstLine) {
  ASSERT_TRUE(OpenLabelFile());
  AddLabel("Anna\r\nStorgatan 1");
  EtikettRec.Etk.set("Bo\r\nLillgatan 2");
  LabelEdit edit(false);
  TEtikettDlg dlg(nullptr, edit);
  EXPECT_EQ(dlg.windowTitle(), "etikett");
  auto* memo = Child<QPlainTextEdit>(dlg, "etikettMemo");
  EXPECT_EQ(memo->toPlainText(), "Bo\nLillgatan 2");
  Keep(dlg, "etikett-fonster.png");

  memo->setPlainText("Anna\nen annan Anna");
  dlg.accept();
  EXPECT_EQ(dlg.result(), QDialog::Rejected);  // still open
  EXPECT_EQ(dlg.statusText(),
            ToQ("Etikettens f\xF6rsta rad finns redan registrerad. \"Anna\" M\xE5ste vara unik."));
  EXPECT_EQ(ui.beeps, 2);  // the signal, then the default beep
  EXPECT_EQ(EtikettRec.Etk.get(), "Bo\r\nLillgatan 2");

  memo->setPlainText("Bo\nNygatan 3");
  dlg.accept();
  EXPECT_EQ(dlg.result(), QDialog::Accepted);
  EXPECT_EQ(EtikettRec.Etk.get(), "Bo\r\nNygatan 3");
}

TEST_F(Windows, LabelWindowCancelPutsTheLabelBackAndTheMemoTakes240) {
  EtikettRec.Etk.set("Bo");
  LabelEdit edit(false);
  TEtikettDlg dlg(nullptr, edit);
  auto* memo = Child<QPlainTextEdit>(dlg, "etikettMemo");
  memo->setPlainText(QString(300, 'x'));
  EXPECT_EQ(memo->toPlainText().size(), 240);
  memo->setPlainText(QString(119, 'x') + "\n" + QString(119, 'y') + "\nz");  // 2 + 238 + 2 + 1
  EXPECT_EQ(memo->toPlainText(), QString(119, 'x') + "\n" + QString(119, 'y'));
  dlg.reject();
  EXPECT_EQ(EtikettRec.Etk.get(), "Bo");
}

TEST_F(Windows, LabelWindowPicture) {
  EtikettRec.Etk.set("BITMAP/finns/inte.png");
  LabelEdit edit(false);
  TEtikettDlg dlg(nullptr, edit);
  EXPECT_EQ(dlg.statusText(), "kan ej ladda filen \"/finns/inte.png\"");
  EXPECT_EQ(ui.beeps, 1);

  TempDir dir;
  QImage image(40, 20, QImage::Format_RGB32);
  image.fill(Qt::blue);
  std::string path = (dir / "bild.png").string();
  ASSERT_TRUE(image.save(QString::fromStdString(path)));
  ui.chosen_files.push_back(path);
  dlg.PictureClicked();
  EXPECT_EQ(Child<QPlainTextEdit>(dlg, "etikettMemo")->toPlainText().toStdString(), "BITMAP" + path);
  EXPECT_FALSE(Child<QLabel>(dlg, "Image1")->pixmap().isNull());
  // Cancel in the picture dialog leaves the text as it is.
  dlg.PictureClicked();
  EXPECT_EQ(Child<QPlainTextEdit>(dlg, "etikettMemo")->toPlainText().toStdString(), "BITMAP" + path);
}

TEST_F(Windows, LabelWindowPrintsTheCountTimesCopies) {
  UseLabelEnvironment(1);
  CurrentLabelEnvironment.copies = 2;
  EtikettRec.Etk.set("Anna");
  LabelEdit edit(true);
  TEtikettDlg dlg(nullptr, edit);
  Child<QSpinBox>(dlg, "Edit1")->setValue(3);
  Child<QPlainTextEdit>(dlg, "etikettMemo")->setPlainText("Bo");
  dlg.PrintClicked();
  EXPECT_EQ(SheetState.labels_printed, 6);
  EXPECT_EQ(EtikettRec.Etk.get(), "Bo");
  std::vector<Text> texts = canvas->Texts();
  EXPECT_EQ(std::count(texts.begin(), texts.end(), "Bo"), 6);
}

TEST_F(Windows, PaymentFormWindowsShowTheirFieldsOverTheForm) {
  ASSERT_TRUE(OpenGiroFile(kPostgiro));
  ClearGiro();
  GiroRec.Mottagare.set("Klubben");
  GiroRec.AttBetala.set("250");
  GiroRec.gadrtxt.set("Box 1\r\n12345 Orten");
  struct Case {
    int kind;
    const char* caption;
    const char* payee;
    const char* amount;
    int max;
    const char* shot;
  };
  for (const Case& c : {Case{kPlusgiro, "plusgiroblankett", "Edit3", "SpinEdit2", 999999, "plusgiro-fonster.png"},
                        Case{kPostgiro, "postgiroblankett", "Edit3", "SpinEdit2", 9999, "postgiro-fonster.png"},
                        Case{kBankgiro, "bankgiro", "tillnamn1", "attbetala", 999999, "bankgiro-fonster.png"}}) {
    SCOPED_TRACE(c.caption);
    GiroEdit edit(c.kind, false);
    std::unique_ptr<TGiroFormDlg> dlg(CreateGiroForm(nullptr, edit));
    EXPECT_EQ(dlg->windowTitle(), c.caption);
    EXPECT_EQ(Child<QLineEdit>(*dlg, c.payee)->text(), "Klubben");
    auto* amount = Child<QSpinBox>(*dlg, c.amount);
    EXPECT_EQ(amount->value(), 250);
    EXPECT_EQ(amount->maximum(), c.max);
    EXPECT_EQ(amount->singleStep(), 5);
    EXPECT_EQ(dlg->findChild<QLineEdit*>("Edit1") != nullptr, c.kind == kPostgiro);  // the reference
    EXPECT_FALSE(Child<QLabel>(*dlg, "Image1")->pixmap().isNull());
    Keep(*dlg, c.shot);
  }
}

TEST_F(Windows, PaymentFormOkChecksAndStores) {
  ASSERT_TRUE(OpenGiroFile(kPostgiro));
  GiroFields taken;
  taken.payee = "Klubben";
  taken.letter = "A";
  ClearGiro();
  StoreGiroFields(taken, kPostgiro);
  std::int32_t rec = 0;
  PutGiro(true, rec);
  ASSERT_TRUE(IsamOK);

  ClearGiro();
  GiroEdit edit(kPostgiro, true);
  TpostgiroDlg dlg(nullptr, edit);
  Child<QLineEdit>(dlg, "Edit3")->setText("Klubben");
  Child<QLineEdit>(dlg, "Edit5")->setText("A");
  dlg.accept();
  EXPECT_EQ(dlg.result(), QDialog::Rejected);
  EXPECT_EQ(dlg.statusText(), ToQ("Mottagare och littera finns redan registrerad. \"Klubben_A\" M\xE5ste vara unik."));
  Child<QLineEdit>(dlg, "Edit5")->setText("B");
  Child<QLineEdit>(dlg, "Edit2")->setText("19");
  dlg.accept();
  EXPECT_EQ(dlg.statusText(), ToQ("fel p\xE5 gironummer"));
  EXPECT_EQ(ui.beeps, 4);
  Child<QLineEdit>(dlg, "Edit2")->setText("18");
  Child<QLineEdit>(dlg, "Edit1")->setText("REF 1");
  Child<QTextEdit>(dlg, "Memo2")->setPlainText("rad 1\nrad 2");
  dlg.accept();
  EXPECT_EQ(dlg.result(), QDialog::Accepted);
  EXPECT_EQ(GiroRec.Mottagare.get(), "Klubben");
  EXPECT_EQ(GiroRec.Lnr.get(), "B");
  EXPECT_EQ(GiroRec.TillG.get(), "18");
  EXPECT_EQ(GiroRec.Referens.get(), "REF 1");
  EXPECT_EQ(GiroRec.gtxt.get(), "rad 1\r\nrad 2");
  EXPECT_EQ(GiroRec.AttBetala.get(), "");  // no amount on a postgiro form
}

TEST_F(Windows, PaymentFormCancelAndPrint) {
  UseLabelEnvironment(10);
  ClearGiro();
  GiroRec.Mottagare.set("Klubben");
  GiroEdit edit(kBankgiro, false);
  TbankgiroDlg dlg(nullptr, edit);
  Child<QLineEdit>(dlg, "tillnamn1")->setText("Annan");
  Child<QSpinBox>(dlg, "copies")->setValue(2);
  dlg.PrintClicked();  // prints what the fields hold, without the checks
  EXPECT_EQ(GiroRec.Mottagare.get(), "Annan");
  EXPECT_EQ(GiroRec.AttBetala.get(), "0");
  std::vector<Text> texts = canvas->Texts();
  EXPECT_EQ(std::count(texts.begin(), texts.end(), "Annan"), 2);
  EXPECT_EQ(std::count(ui.report_lines.begin(), ui.report_lines.end(), "status1:utskrift av giroblanketter"), 1);
  dlg.reject();
  EXPECT_EQ(GiroRec.Mottagare.get(), "Klubben");
}

}  // namespace
}  // namespace olbrax::test

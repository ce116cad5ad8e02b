#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest/QTest>

#include "base/counter.h"
#include "base/messages.h"
#include "platform/qt/count_form.h"
#include "platform/qt/number_dialog.h"
#include "platform/qt/qt_ui.h"
#include "platform/qt/qtext.h"

namespace olbrax::platform {
namespace {

// Runs `action` on the next modal dialog once it is up.
void OnNextModal(std::function<void(QWidget*)> action) {
  QTimer::singleShot(0, [action] {
    QWidget* w = QApplication::activeModalWidget();
    if (!w) {
      OnNextModal(action);
      return;
    }
    action(w);
  });
}

TEST(QtText, ConvertsWindows1252) {
  EXPECT_EQ(ToQ("k\xF6rs \x80"), QString::fromUtf8("körs €"));
  EXPECT_EQ(FromQ(QString::fromUtf8("åäö ─")), "\xE5\xE4\xF6 ?");
}

TEST(NumberBox, EnterReadsTheFieldAndEscapeKeepsTheValue) {
  QWidget owner;
  {
    NumberDialog d(&owner, 7, QString());
    EXPECT_EQ(d.findChild<QLabel*>("item101")->text(), "Ange ett tal:");
    EXPECT_EQ(d.field()->text(), "7");
    EXPECT_EQ(d.field()->maxLength(), 5);
    OnNextModal([](QWidget* w) {
      auto* f = w->findChild<QLineEdit*>("item102");
      f->setText("12345");
      QTest::keyClick(f, Qt::Key_Return);
    });
    EXPECT_EQ(d.Ask(), 12345);
  }
  {
    NumberDialog d(&owner, 7, "antal kopior:");
    EXPECT_EQ(d.findChild<QLabel*>("item101")->text(), "antal kopior:");
    OnNextModal([](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
    EXPECT_EQ(d.Ask(), 7);
  }
}

TEST(MessageBoxes, ButtonsAndCaptionsByStyle) {
  QtUi ui;
  OnNextModal([](QWidget* w) {
    auto* box = qobject_cast<QMessageBox*>(w);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->windowTitle(), "??");
    EXPECT_EQ(box->standardButtons(), QMessageBox::Yes | QMessageBox::No);
    box->button(QMessageBox::No)->click();
  });
  EXPECT_EQ(ui.ShowBox(1, "??", "fråga?"), kNo);
  OnNextModal([](QWidget* w) {
    auto* box = qobject_cast<QMessageBox*>(w);
    EXPECT_EQ(box->icon(), QMessageBox::Warning);
    EXPECT_EQ(box->text(), QString::fromUtf8("å"));
    box->button(QMessageBox::Ok)->click();
  });
  EXPECT_EQ(ui.ShowBox(2, "info", "\xE5"), kOk);
  OnNextModal([](QWidget* w) {
    auto* box = qobject_cast<QMessageBox*>(w);
    EXPECT_EQ(box->standardButtons(), QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore);
    box->button(QMessageBox::Retry)->click();
  });
  EXPECT_EQ(ui.ShowBox(3, "error", "fel"), kRetry);
}

// The buttons speak Swedish (Qt's own translations, loaded by the program and by this test
// program alike). A question before data is destroyed has "Nej" as its default button.
TEST(MessageBoxes, SwedishButtonsAndNoAsTheDefaultBeforeDestroying) {
  QtUi ui;
  auto text = [](QMessageBox* box, QMessageBox::StandardButton b) { return box->button(b)->text().remove('&'); };
  OnNextModal([&](QWidget* w) {
    auto* box = qobject_cast<QMessageBox*>(w);
    EXPECT_EQ(text(box, QMessageBox::Yes), "Ja");
    EXPECT_EQ(text(box, QMessageBox::No), "Nej");
    EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::Yes));
    box->button(QMessageBox::Yes)->click();
  });
  EXPECT_EQ(ui.ShowBox(kQuestionBox, "??", "fråga?"), kYes);
  OnNextModal([&](QWidget* w) {
    auto* box = qobject_cast<QMessageBox*>(w);
    EXPECT_EQ(box->windowTitle(), "??");
    EXPECT_EQ(box->standardButtons(), QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::No));
    QTest::keyClick(box, Qt::Key_Return);  // a stray Enter
  });
  EXPECT_EQ(ui.ShowBox(kGuardedQuestionBox, "??", "Befintliga datafiler kommer att förstöras. OK?"), kNo);
  OnNextModal([&](QWidget* w) {
    auto* box = qobject_cast<QMessageBox*>(w);
    EXPECT_EQ(text(box, QMessageBox::Retry), QString::fromUtf8("Försök igen"));
    EXPECT_EQ(text(box, QMessageBox::Ignore), "Ignorera");
    box->button(QMessageBox::Ignore)->click();
  });
  EXPECT_EQ(ui.ShowBox(kErrorBox, "error", "fel"), kIgnore);
  QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  EXPECT_EQ(buttons.button(QDialogButtonBox::Cancel)->text().remove('&'), "Avbryt");
}

TEST(CounterWindows, NestedWindowsShowTheirLinesAndCancel) {
  QtUi ui;
  SetUi(&ui);
  QWidget owner;
  owner.show();
  OpenCancelCounter(&owner, 3, "import");
  EXPECT_FALSE(owner.isEnabled());
  auto forms = owner.findChildren<CountForm*>();
  ASSERT_EQ(forms.size(), 1);
  CountForm* form = forms[0];
  EXPECT_EQ(form->windowTitle(), "import");
  EXPECT_TRUE(form->cancelButton()->isVisible());
  EXPECT_EQ(form->height(), 300 - 7 * 32);  // one line shows
  CounterLine(2, "fil 1");
  EXPECT_EQ(form->findChild<QLabel*>("countW1")->text(), "fil 1");

  OpenCounter(&owner, 12, "inre");
  auto inner = owner.findChildren<CountForm*>();
  ASSERT_EQ(inner.size(), 2);
  CountForm* second = inner[0] == form ? inner[1] : inner[0];
  EXPECT_EQ(second->height(), 300);  // eight lines
  EXPECT_FALSE(second->cancelButton()->isVisible());
  CloseCounter();

  form->cancelButton()->click();
  EXPECT_TRUE(CounterAborted());
  CloseCounter();
  EXPECT_TRUE(owner.isEnabled());
  EXPECT_TRUE(owner.findChildren<CountForm*>().isEmpty());
  SetUi(nullptr);
}

}  // namespace
}  // namespace olbrax::platform

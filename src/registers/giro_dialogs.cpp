#include "registers/giro_dialogs.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTextEdit>

#include "base/messages.h"
#include "platform/qt/qtext.h"
#include "platform/qt/window_scale.h"
#include "printing/config/configuration.h"
#include "printing/config_fonts.h"
#include "printing/engine/print_engine.h"
#include "registers/data/giro_register.h"
#include "registers/giro_form_picture.h"
#include "registers/sheets/giro_print.h"
#include "registers/sheets/sheet_print.h"

namespace olbrax {

using platform::FromQ;
using platform::ToQ;

namespace {

// The picture's pixels to a tenth of a millimetre, before the window scale.
constexpr double kScale = 0.4;

QRect OnPicture(const QRect& tenths) {
  return QRect(static_cast<int>(tenths.x() * kScale), static_cast<int>(tenths.y() * kScale),
               static_cast<int>(tenths.width() * kScale), static_cast<int>(tenths.height() * kScale));
}

QFont LabelFont(const FontSpec& spec, const QFont& base) {
  QFont f = base;
  ApplyFont(spec, f);
  return f;
}

}  // namespace

TGiroFormDlg::TGiroFormDlg(QWidget* owner, GiroEdit& edit, const char* object_name, const char* caption,
                           const GiroFieldNames& names)
    : QDialog(owner), edit_(edit) {
  setObjectName(object_name);
  setWindowTitle(caption);
  const int kind = edit.kind;
  const int width = static_cast<int>(kGiroFormWidth * kScale), height = static_cast<int>(kGiroFormHeight * kScale);

  Image1 = new QLabel(this);
  Image1->setObjectName("Image1");
  Image1->setScaledContents(true);
  Image1->setPixmap(QPixmap::fromImage(GiroFormPicture(kind, kScale)));
  Image1->setGeometry(0, 0, width, height);

  message_ = TextField(names.message, GiroField::Message, false);
  address_ = TextField(names.address, GiroField::Address, true);
  // The plusgiro form has room for its giro number in the medium font only.
  giro_ = LineField(names.giro, GiroField::Giro, kGiroTextFieldMax, kind != kPlusgiro);
  own_account_ = LineField(names.own_account, GiroField::OwnAccount, kGiroTextFieldMax, false);
  payee_ = LineField(names.payee, GiroField::Payee, kGiroTextFieldMax, true);
  // The letter code is never printed: it sits at the right end of the payee's box.
  QRect payee = payee_->geometry();
  letter_ = LineField(names.letter, GiroField::Payee, kGiroLetterFieldMax, true);
  letter_->setGeometry(payee.right() - 44, payee.y(), 44, payee.height());
  letter_->setStyleSheet("background: white; border: 1px solid gray;");
  letter_->setToolTip(QString::fromUtf8(
      "ange ev. littera för att skilja på flera blanketter med samma betalningsmottagare"));
  payee_->setGeometry(payee.x(), payee.y(), payee.width() - 50, payee.height());
  if (names.reference) reference_ = LineField(names.reference, GiroField::Reference, kGiroTextFieldMax, true);

  amount_ = new QSpinBox(this);
  amount_->setObjectName(names.amount);
  amount_->setRange(0, GiroAmountMax(kind));
  amount_->setSingleStep(kGiroAmountStep);
  amount_->setAlignment(Qt::AlignRight);
  amount_->setToolTip("ange eventuell summa att betala i hela kronor");
  amount_->setFont(LabelFont(CurrentLabelEnvironment.setup.large, font()));
  QRect area = OnPicture(GiroFieldArea(kind, GiroField::Amount));
  amount_->setGeometry(area.x(), area.y(), area.width(), std::max(area.height(), 24));

  // The buttons and the copies below the form.
  int y = height + 6;
  auto button = [&](const char* name, const char* text, const char* hint, int x) {
    auto* b = new QPushButton(QString::fromUtf8(text), this);
    b->setObjectName(name);
    if (hint) b->setToolTip(QString::fromUtf8(hint));
    b->setGeometry(x, y + 10, 90, 28);
    return b;
  };
  QPushButton* ok = button("okbtn", "ok", "spara aktuell blankett i  registret och återvänd", 10);
  QPushButton* cancel = button("cancelbtn", "avbryt", nullptr, 110);
  QPushButton* print = button("printbtn", "utskrift",
                              "utskrift av akutell postgiroblankett till vald skrivare enligt antal kopior", 210);
  auto* group = new QGroupBox("kopior", this);
  group->setGeometry(320, y, 110, 44);
  copies_ = new QSpinBox(group);
  copies_->setObjectName("copies");
  copies_->setRange(1, 99);
  copies_->setValue(1);
  copies_->setGeometry(10, 16, 90, 24);
  status_ = new QStatusBar(this);
  status_->setObjectName("StatusBar1");
  status_->setSizeGripEnabled(false);
  status_->setGeometry(0, y + 48, width, 22);
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &TGiroFormDlg::accept);
  connect(cancel, &QPushButton::clicked, this, &TGiroFormDlg::reject);
  connect(print, &QPushButton::clicked, this, &TGiroFormDlg::PrintClicked);

  // The fields show the edit's.
  const GiroFields& f = edit.fields;
  message_->setPlainText(ToQ(f.message));
  address_->setPlainText(ToQ(f.address));
  address_->selectAll();
  address_->setAlignment(Qt::AlignHCenter);
  address_->moveCursor(QTextCursor::Start);
  giro_->setText(ToQ(f.giro));
  own_account_->setText(ToQ(f.own_account));
  payee_->setText(ToQ(f.payee));
  letter_->setText(ToQ(f.letter));
  if (reference_) reference_->setText(ToQ(f.reference));
  amount_->setValue(f.amount);

  setFixedSize(width, y + 48 + 22);
  platform::ScaleDialog(this);
  setFixedSize(size());
  if (owner) move(owner->geometry().center() - rect().center());
}

QLineEdit* TGiroFormDlg::LineField(const char* name, GiroField field, int max, bool large) {
  auto* e = new QLineEdit(this);
  e->setObjectName(name);
  e->setMaxLength(max);
  e->setFrame(false);
  e->setStyleSheet("background: transparent;");  // the boxes of the form show through
  const PrinterSetup& s = CurrentLabelEnvironment.setup;
  e->setFont(LabelFont(large ? s.large : s.medium, font()));
  QRect area = OnPicture(GiroFieldArea(edit_.kind, field));
  e->setGeometry(area.x(), area.y(), area.width(), std::max(area.height(), 22));
  return e;
}

QTextEdit* TGiroFormDlg::TextField(const char* name, GiroField field, bool centred) {
  auto* e = new QTextEdit(this);
  e->setObjectName(name);
  e->setAcceptRichText(false);
  e->setLineWrapMode(QTextEdit::NoWrap);
  e->setFrameShape(QFrame::NoFrame);
  e->setStyleSheet("background: transparent;");
  e->setFont(LabelFont(CurrentLabelEnvironment.setup.medium, font()));
  if (centred) {
    QTextOption option = e->document()->defaultTextOption();
    option.setAlignment(Qt::AlignHCenter);
    e->document()->setDefaultTextOption(option);
  }
  const int max = field == GiroField::Message ? kGiroMessageFieldMax : kGiroAddressFieldMax;
  connect(e, &QTextEdit::textChanged, this, [e, max] {
    QString text = e->toPlainText();
    if (text.size() <= max) return;
    QSignalBlocker block(e);
    e->setPlainText(text.left(max));
    e->moveCursor(QTextCursor::End);
  });
  e->setGeometry(OnPicture(GiroFieldArea(edit_.kind, field)));
  return e;
}

GiroFields TGiroFormDlg::Fields() const {
  GiroFields f;
  f.message = FromQ(message_->toPlainText());
  f.address = FromQ(address_->toPlainText());
  f.giro = FromQ(giro_->text());
  f.own_account = FromQ(own_account_->text());
  f.payee = FromQ(payee_->text());
  f.letter = FromQ(letter_->text());
  if (reference_) f.reference = FromQ(reference_->text());
  f.amount = amount_->value();
  return f;
}

QString TGiroFormDlg::statusText() const { return status_->currentMessage(); }

void TGiroFormDlg::accept() {
  edit_.fields = Fields();
  if (!edit_.Ok()) {
    status_->showMessage(ToQ(edit_.status));
    platform::CurrentUi().Beep(0, 0);
    return;
  }
  QDialog::accept();
}

void TGiroFormDlg::reject() {
  edit_.Cancel();
  QDialog::reject();
}

void TGiroFormDlg::PrintClicked() {
  edit_.fields = Fields();
  edit_.Store();
  int n = copies_->value();
  if (n <= 0) return;
  if (BeginSheetPrint("giroblanketter", this)) {
    print::ShowStatusLine(1, "utskrift av giroblanketter");
    for (int i = 1; i <= n; ++i) {
      print::ShowProgress(i, n);
      PrintGiroForm(edit_.kind);
      if (print::PrAborted()) break;
    }
  }
  EndSheetPrint();
}

TplusgiroDlg::TplusgiroDlg(QWidget* owner, GiroEdit& edit)
    : TGiroFormDlg(owner, edit, "TplusgiroDlg", "plusgiroblankett",
                   {"Memo2", "Memo1", "Edit2", "Edit4", "Edit3", "Edit5", nullptr, "SpinEdit2"}) {}

TpostgiroDlg::TpostgiroDlg(QWidget* owner, GiroEdit& edit)
    : TGiroFormDlg(owner, edit, "TpostgiroDlg", "postgiroblankett",
                   {"Memo2", "Memo1", "Edit2", "Edit4", "Edit3", "Edit5", "Edit1", "SpinEdit2"}) {}

TbankgiroDlg::TbankgiroDlg(QWidget* owner, GiroEdit& edit)
    : TGiroFormDlg(owner, edit, "TbankgiroDlg", "bankgiro",
                   {"girotext", "giroadress", "tillgiro", "frombankgiro", "tillnamn1", "tillnamn2", nullptr,
                    "attbetala"}) {
  setToolTip(QString::fromUtf8("fyll i en bankgirotalong och skriv ut enligt etikettinställningarna"));
}

TGiroFormDlg* CreateGiroForm(QWidget* owner, GiroEdit& edit) {
  switch (edit.kind) {
    case kPlusgiro: return new TplusgiroDlg(owner, edit);
    case kPostgiro: return new TpostgiroDlg(owner, edit);
    default: return new TbankgiroDlg(owner, edit);
  }
}

}  // namespace olbrax

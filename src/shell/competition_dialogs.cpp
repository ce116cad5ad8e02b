#include "shell/competition_dialogs.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "competition/archive.h"
#include "competition/data_state.h"
#include "competition/records/cmp_club_rec.h"
#include "competition/records/competition_rec.h"
#include "platform/qt/qtext.h"
#include "platform/qt/window_scale.h"
#include "printing/config/configuration.h"
#include "printing/config_fonts.h"

namespace olbrax {

using platform::FromQ;
using platform::ToQ;

namespace {

QLineEdit* Edit(QWidget* parent, const char* name, int limit, const Text& value) {
  auto* e = new QLineEdit(ToQ(value), parent);
  e->setObjectName(name);
  e->setMaxLength(limit);
  return e;
}

// The competition as it was before the dialog, restored by Cancel.
TInfoRec g_saved;

}  // namespace

TInfoDlgForm::TInfoDlgForm(QWidget* owner, bool adding) : QDialog(owner), adding_(adding) {
  setObjectName("TInfoDlgForm");
  setWindowTitle(QString::fromUtf8("tävling/turnering"));
  auto* grid = new QGridLayout(this);
  int row = 0;
  auto add = [&](const char* caption, QWidget* w) {
    grid->addWidget(new QLabel(QString::fromUtf8(caption), this), row, 0);
    grid->addWidget(w, row++, 1, 1, 2);
  };
  edArr = Edit(this, "edArr", 41, InfoRec.Arr.get());
  edTvl = Edit(this, "edTvl", 41, InfoRec.Tvl.get());
  edTvlDatum = Edit(this, "edTvlDatum", 21, InfoRec.Date.get());
  cbTyp = Edit(this, "cbTyp", 13, InfoRec.Typ.get());
  add("arrangör", edArr);
  add("tävling", edTvl);
  add("datum", edTvlDatum);
  add("typ", cbTyp);
  edOmg = new QSpinBox(this);
  edOmg->setObjectName("edOmg");
  edOmg->setRange(1, 5);
  edOmg->setValue(std::clamp<int>(InfoRec.StrNr, 1, 5));
  add("etapper", edOmg);
  edAktuellEtapp = new QSpinBox(this);
  edAktuellEtapp->setObjectName("edAktuellEtapp");
  edAktuellEtapp->setRange(1, 5);
  edAktuellEtapp->setValue(std::clamp<int>(InfoRec.maxDag, 1, 5));
  add("aktuell", edAktuellEtapp);

  auto* contacts = new QGroupBox("kontakter", this);
  auto* cg = new QGridLayout(contacts);
  const char* roles[4] = {"tävlingsledare", "banläggare", "bankontroll", "tävlingskontroll"};
  for (int k = 0; k < 4; ++k) {
    edKontakt[k] = Edit(contacts, ("edKontakt" + std::to_string(k + 1)).c_str(), 23, InfoRec.adress[k].line[0].get());
    edKontakt[k]->setReadOnly(true);
    auto* b = new QPushButton(QString::fromUtf8(roles[k]), contacts);
    b->setObjectName(QString("btnKontakt%1").arg(k + 1));
    connect(b, &QPushButton::clicked, this, [this, k] { EditAddress(k); });
    cg->addWidget(b, k, 0);
    cg->addWidget(edKontakt[k], k, 1);
  }
  grid->addWidget(contacts, row++, 0, 1, 3);

  edPostgiro = Edit(this, "edPostgiro", 33, CmpClubRec.PlusgiroNumber.get());
  edBankgiro = Edit(this, "edBankgiro", 33, CmpClubRec.BankgiroNumber.get());
  rbUsePG = new QRadioButton(QString::fromUtf8("använd"), this);
  rbUsePG->setObjectName("rbUsePG");
  rbUseBG = new QRadioButton(QString::fromUtf8("använd"), this);
  rbUseBG->setObjectName("rbUseBG");
  rbUsePG->setChecked(InfoRec.postgiromode <= 2);
  rbUseBG->setChecked(InfoRec.postgiromode >= 3);
  grid->addWidget(new QLabel("plusgironummer", this), row, 0);
  grid->addWidget(edPostgiro, row, 1);
  grid->addWidget(rbUsePG, row++, 2);
  grid->addWidget(new QLabel("bankgironummer", this), row, 0);
  grid->addWidget(edBankgiro, row, 1);
  grid->addWidget(rbUseBG, row++, 2);
  edBetMottagare = Edit(this, "edBetMottagare", 33, CmpClubRec.Payee.get());
  add("betalningsmottagare", edBetMottagare);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &TInfoDlgForm::Accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &TInfoDlgForm::Cancel);
  grid->addWidget(buttons, row, 0, 1, 3);
  platform::ScaleDialog(this);
}

void TInfoDlgForm::EditAddress(int k) {
  TadressDlg dlg(this, InfoRec.adress[k]);
  if (dlg.exec() == QDialog::Accepted) edKontakt[k]->setText(ToQ(InfoRec.adress[k].line[0].get()));
}

void TInfoDlgForm::Accept() {
  InfoRec.Arr.set(FromQ(edArr->text()).substr(0, 40));
  InfoRec.Tvl.set(FromQ(edTvl->text()).substr(0, 40));
  InfoRec.Date.set(FromQ(edTvlDatum->text()).substr(0, 20));
  InfoRec.Typ.set(FromQ(cbTyp->text()).substr(0, 12));
  InfoRec.StrNr = static_cast<std::int16_t>(edOmg->value());
  InfoRec.maxDag = static_cast<std::int16_t>(edAktuellEtapp->value());
  CmpClubRec.PlusgiroNumber.set(FromQ(edPostgiro->text()).substr(0, 32));
  CmpClubRec.BankgiroNumber.set(FromQ(edBankgiro->text()).substr(0, 32));
  CmpClubRec.Payee.set(FromQ(edBetMottagare->text()).substr(0, 32));
  if (rbUsePG->isChecked()) InfoRec.postgiromode = 0;
  else if (rbUseBG->isChecked()) InfoRec.postgiromode = 3;
  if (UpStr(InfoRec.Typ.get()).find("MOTION") != Text::npos) MotionCompetition = true;
  AcceptInputInfo(adding_);
  accept();
}

void TInfoDlgForm::Cancel() {
  InfoRec = g_saved;
  if (!CompetitionOpen) ReopenConfiguredCompetition();
  QDialog::reject();
}

void InputInfo(QWidget* owner, bool adding) {
  if (!BeginInputInfo(adding)) return;
  g_saved = InfoRec;
  TInfoDlgForm dlg(owner, adding);
  dlg.exec();
}

TadressDlg::TadressDlg(QWidget* owner, AddressBlock& address) : QDialog(owner), address_(address) {
  setObjectName("TadressDlg");
  setWindowTitle("adress");
  auto* layout = new QVBoxLayout(this);
  auto* group = new QGroupBox("adress", this);
  auto* gl = new QVBoxLayout(group);
  memo = new QPlainTextEdit(group);
  memo->setObjectName("Memo1");
  QFont f = memo->font();
  ApplyFont(CurrentLabelEnvironment.setup.medium, f);
  memo->setFont(f);
  QString shown = ToQ(AddressText(address)).replace("\r\n", "\n");
  memo->setPlainText(shown);
  // At most 114 characters.
  connect(memo, &QPlainTextEdit::textChanged, this, [this] {
    QString t = memo->toPlainText();
    if (t.size() > 114) {
      memo->setPlainText(t.left(114));
      memo->moveCursor(QTextCursor::End);
    }
  });
  gl->addWidget(memo);
  layout->addWidget(group);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &TadressDlg::Accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  platform::ScaleDialog(this);
}

void TadressDlg::Accept() {
  SetAddressText(address_, FromQ(memo->toPlainText()));
  accept();
}

TOlStatistikDlg::TOlStatistikDlg(QWidget* owner) : QDialog(owner) {
  setObjectName("TOlStatistikDlg");
  setWindowTitle("statistik");
  auto* layout = new QVBoxLayout(this);
  memo = new QPlainTextEdit(this);
  memo->setObjectName("Memo1");
  memo->setReadOnly(true);
  QStringList lines;
  for (const Text& l : StatisticsLines()) lines << ToQ(l);
  memo->setPlainText(lines.join("\n"));
  QFont mono("Courier New");
  mono.setStyleHint(QFont::Monospace);
  memo->setFont(mono);
  layout->addWidget(memo);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  layout->addWidget(buttons);
  resize(560, 220);
  platform::ScaleDialog(this);
}

}  // namespace olbrax

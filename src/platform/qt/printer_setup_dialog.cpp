#include "platform/qt/printer_setup_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>

#include "platform/qt/qtext.h"
#include "platform/qt/window_scale.h"

namespace olbrax::platform {

namespace {

struct Paper {
  const char* name;
  int code;  // the platform's paper size code, as the device mode stores it
};
constexpr Paper kPapers[] = {{"A4", 9}, {"A3", 8}, {"A5", 11}, {"Letter", 1}, {"Legal", 5}};

}  // namespace

TPrinterSetupDlg::TPrinterSetupDlg(QWidget* owner, const PrinterInfo& printer) : QDialog(owner) {
  setObjectName("TPrinterSetupDlg");
  setWindowTitle(QString::fromUtf8("skrivarinställning"));
  printers_ = CurrentPrinters().Printers();
  auto* form = new QFormLayout(this);
  printer_ = new QComboBox(this);
  printer_->setObjectName("cbSkrivare");
  int at = -1;
  for (std::size_t i = 0; i < printers_.size(); ++i) {
    printer_->addItem(ToQ(printers_[i].name));
    if (printers_[i].name == printer.name) at = static_cast<int>(i);
  }
  if (at < 0) {
    std::optional<PrinterInfo> d = CurrentPrinters().Default();
    for (std::size_t i = 0; d && i < printers_.size(); ++i)
      if (printers_[i].name == d->name) at = static_cast<int>(i);
  }
  printer_->setCurrentIndex(std::max(at, 0));
  form->addRow("skrivare", printer_);

  auto* orientation = new QWidget(this);
  auto* row = new QHBoxLayout(orientation);
  row->setContentsMargins(0, 0, 0, 0);
  portrait_ = new QRadioButton(QString::fromUtf8("stående"), orientation);
  portrait_->setObjectName("rbStaende");
  landscape_ = new QRadioButton("liggande", orientation);
  landscape_->setObjectName("rbLiggande");
  row->addWidget(portrait_);
  row->addWidget(landscape_);
  (printer.orientation == 2 ? landscape_ : portrait_)->setChecked(true);
  form->addRow("orientering", orientation);

  paper_ = new QComboBox(this);
  paper_->setObjectName("cbPapper");
  for (const Paper& p : kPapers) {
    paper_->addItem(p.name, p.code);
    if (p.code == printer.paper_size) paper_->setCurrentIndex(paper_->count() - 1);
  }
  form->addRow("papper", paper_);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setObjectName("btnOK");
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  form->addRow(buttons);
  ScaleDialog(this);
}

PrinterInfo TPrinterSetupDlg::chosen() const {
  PrinterInfo p = printers_.empty() ? PdfPrinter() : printers_[static_cast<std::size_t>(std::max(printer_->currentIndex(), 0))];
  p.orientation = landscape_->isChecked() ? 2 : 1;
  p.paper_size = paper_->currentData().toInt();
  return p;
}

bool ChoosePrinterSetup(QWidget* owner, PrinterInfo& printer) {
  TPrinterSetupDlg dlg(owner, printer);
  if (dlg.exec() != QDialog::Accepted) return false;
  printer = dlg.chosen();
  return true;
}

}  // namespace olbrax::platform

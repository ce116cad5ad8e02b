// The printer-setup dialog ("skrivarinställning"): the printers the printer service knows, the
// orientation and the paper size. It stands in for the platform's printer-setup dialog that the
// configuration dialog opens for an environment.
#pragma once

#include <QDialog>

#include "platform/printers.h"

class QComboBox;
class QRadioButton;

namespace olbrax::platform {

class TPrinterSetupDlg : public QDialog {
  Q_OBJECT
 public:
  // Starts at `printer` (its name, orientation and paper); the default printer when the name is
  // not known.
  TPrinterSetupDlg(QWidget* owner, const PrinterInfo& printer);
  // The printer as chosen.
  PrinterInfo chosen() const;

 private:
  std::vector<PrinterInfo> printers_;
  QComboBox* printer_;
  QRadioButton* portrait_;
  QRadioButton* landscape_;
  QComboBox* paper_;
};

// Shows the dialog; true with `printer` replaced by the choice on OK, false on Cancel.
bool ChoosePrinterSetup(QWidget* owner, PrinterInfo& printer);

}  // namespace olbrax::platform

// The competition information dialog ("tävling/turnering"), the address editor ("adress") and
// the statistics window ("statistik").
#pragma once

#include <QDialog>

#include "competition/records/record_text.h"

class QLineEdit;
class QSpinBox;
class QRadioButton;
class QPlainTextEdit;

namespace olbrax {

class TInfoDlgForm : public QDialog {
  Q_OBJECT
 public:
  TInfoDlgForm(QWidget* owner, bool adding);

  QLineEdit* edArr;
  QLineEdit* edTvl;
  QLineEdit* edTvlDatum;
  QLineEdit* cbTyp;
  QSpinBox* edOmg;
  QSpinBox* edAktuellEtapp;
  QLineEdit* edKontakt[4];
  QLineEdit* edPostgiro;
  QLineEdit* edBankgiro;
  QRadioButton* rbUsePG;
  QRadioButton* rbUseBG;
  QLineEdit* edBetMottagare;

  // The OK and Cancel actions (also for tests).
  void Accept();
  void Cancel();

 protected:
  void reject() override { Cancel(); }

 private:
  void EditAddress(int k);
  bool adding_;
};

class TadressDlg : public QDialog {
  Q_OBJECT
 public:
  TadressDlg(QWidget* owner, AddressBlock& address);
  QPlainTextEdit* memo;
  void Accept();

 private:
  AddressBlock& address_;
};

class TOlStatistikDlg : public QDialog {
  Q_OBJECT
 public:
  explicit TOlStatistikDlg(QWidget* owner);
  QPlainTextEdit* memo;
};

// Runs "ny" (adding) or "ändra": the refusals, the dialog, and what its OK or Cancel does.
void InputInfo(QWidget* owner, bool adding);

}  // namespace olbrax

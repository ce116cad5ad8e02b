// The three payment-form windows: a picture of the paper form with the edit fields laid over
// it where the printing puts them, "ok" (with the checks of the GiroEdit they show), "avbryt"
// (puts back the form as it was) and "utskrift" (prints the form, as many times as the copies
// field says, with the current label environment).
#pragma once

#include <QDialog>

#include "registers/data/giro_edit.h"
#include "registers/sheets/giro_layout.h"

class QLabel;
class QLineEdit;
class QSpinBox;
class QStatusBar;
class QTextEdit;

namespace olbrax {

// The object names of a window's fields (the reference only on the postgiro form).
struct GiroFieldNames {
  const char* message;
  const char* address;
  const char* giro;
  const char* own_account;
  const char* payee;
  const char* letter;
  const char* reference;
  const char* amount;
};

class TGiroFormDlg : public QDialog {
  Q_OBJECT
 public:
  // "ok": refused with a beep and the status text when the payee and letter code are taken or
  // a giro number fails its check digit.
  void accept() override;
  void reject() override;
  void PrintClicked();

  int kind() const { return edit_.kind; }
  // What the fields hold.
  GiroFields Fields() const;
  QString statusText() const;

 protected:
  TGiroFormDlg(QWidget* owner, GiroEdit& edit, const char* object_name, const char* caption,
               const GiroFieldNames& names);

 private:
  QLineEdit* LineField(const char* name, GiroField field, int max, bool large);
  QTextEdit* TextField(const char* name, GiroField field, bool centred);

  GiroEdit& edit_;
  QLabel* Image1;
  QTextEdit* message_;
  QTextEdit* address_;
  QLineEdit* giro_;
  QLineEdit* own_account_;
  QLineEdit* payee_;
  QLineEdit* letter_;
  QLineEdit* reference_ = nullptr;
  QSpinBox* amount_;
  QSpinBox* copies_;
  QStatusBar* status_;
};

class TplusgiroDlg : public TGiroFormDlg {
  Q_OBJECT
 public:
  TplusgiroDlg(QWidget* owner, GiroEdit& edit);
};

class TpostgiroDlg : public TGiroFormDlg {
  Q_OBJECT
 public:
  TpostgiroDlg(QWidget* owner, GiroEdit& edit);
};

class TbankgiroDlg : public TGiroFormDlg {
  Q_OBJECT
 public:
  TbankgiroDlg(QWidget* owner, GiroEdit& edit);
};

// The window of the edit's kind: 0 plusgiro, 1 postgiro, 3 bankgiro.
TGiroFormDlg* CreateGiroForm(QWidget* owner, GiroEdit& edit);

}  // namespace olbrax

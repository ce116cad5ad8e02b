// The label edit window "etikett": the label text in a memo in the label environment's medium
// font, the picture of a picture label (a click chooses another picture), the count of labels
// to print with "S&kriv", and OK / Cancel. It shows a LabelEdit, which checks OK and restores
// the label buffer on Cancel.
#pragma once

#include <QDialog>
#include <QLabel>

#include "registers/data/label_edit.h"

class QPlainTextEdit;
class QSpinBox;
class QStatusBar;
class QPushButton;

namespace olbrax {

// A picture that reports a click: the window's picture area.
class PictureLabel : public QLabel {
  Q_OBJECT
 public:
  using QLabel::QLabel;

 signals:
  void clicked();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
};

class TEtikettDlg : public QDialog {
  Q_OBJECT
 public:
  TEtikettDlg(QWidget* owner, LabelEdit& edit);

  // OK: refused (beeps and the edit's status text) when another label has the same first line.
  void accept() override;
  void reject() override;
  // "S&kriv": the memo's text, the count field's number of times.
  void PrintClicked();
  // A click on the picture: a picture file becomes the label's text.
  void PictureClicked();

  QString statusText() const;

 private:
  // The memo's text as the label keeps it.
  Text MemoText() const;
  void ShowPicture();
  void LimitMemo();

  QPlainTextEdit* etikettMemo;
  PictureLabel* Image1;
  QSpinBox* Edit1;
  QPushButton* printbtn;
  QStatusBar* StatusBar1;
  LabelEdit& edit_;
  bool limiting_ = false;
};

}  // namespace olbrax

// The number box: a label ("Ange ett tal:" or the caller's prompt) and a 5-character field.
#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;

namespace olbrax::platform {

class NumberDialog : public QDialog {
  Q_OBJECT
 public:
  NumberDialog(QWidget* owner, int value, const QString& prompt);
  // Runs the box: the number entered, or the given value when cancelled.
  int Ask();
  // Runs the box: true with the number entered in `value`; false when cancelled.
  bool AskOrCancel(int& value);

  QLineEdit* field() const { return field_; }

 private:
  int value_;
  QLabel* label_;
  QLineEdit* field_;
};

}  // namespace olbrax::platform

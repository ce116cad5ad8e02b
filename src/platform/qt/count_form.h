// The progress counter window: up to eight status lines and the "avbryt" button.
#pragma once

#include <QDialog>
#include <functional>

#include "platform/ui.h"

class QLabel;
class QPushButton;

namespace olbrax::platform {

class CountForm : public QDialog, public CounterWindow {
  Q_OBJECT
 public:
  explicit CountForm(const CounterSpec& spec);
  void SetLine(int line, std::string_view text) override;

  QPushButton* cancelButton() const { return cancelbtn_; }

 protected:
  void reject() override;  // Escape presses "avbryt" when the window offers it
  void paintEvent(QPaintEvent* event) override;

 private:
  bool canc_;
  std::function<void()> on_cancel_;
  QPushButton* cancelbtn_;
  QLabel* lines_[8];
};

}  // namespace olbrax::platform

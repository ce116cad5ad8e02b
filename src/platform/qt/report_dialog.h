// The progress window of a print job ("rapport"): the cancel button, the printer and job lines,
// two progress bars, the sheet count, the done and total counts and five status lines.
#pragma once

#include <QDialog>
#include <functional>

#include "platform/ui.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace olbrax::platform {

class ReportDialog : public QDialog, public ReportWindow {
  Q_OBJECT
 public:
  explicit ReportDialog(const ReportSpec& spec);
  void SetPrinter(std::string_view text) override;
  void SetJob(std::string_view text) override;
  void SetSheets(std::string_view text) override;
  void SetCount(std::string_view done, std::string_view total) override;
  void SetBar(int value) override;
  void SetStatus(int line, std::string_view text) override;
  Window Handle() override { return static_cast<QWidget*>(this); }

 protected:
  void reject() override;  // Escape is the cancel key

 private:
  QLabel* Line(const char* name, int y, int x = 8, int w = 417);

  std::function<void()> on_cancel_;
  QPushButton* cancel_;
  QLabel* device_;
  QLabel* job_;
  QProgressBar* bar1_;
  QProgressBar* bar2_;
  QLabel* sheets_;
  QLabel* done_;
  QLabel* total_;
  QLabel* status_[5];
};

}  // namespace olbrax::platform

// The Qt window of a register list dialog: the list ERegListBox, the buttons newbtn "&Ny",
// changebtn "&Ändra", deletebtn "&Radera", printbtn "S&kriv", closebtn "&Stäng" and the status
// bar StatusBar1. It only mirrors the lines its caller inserts and reports what the user does.
#pragma once

#include <QDialog>

#include "platform/ui.h"

class QListWidget;
class QPushButton;
class QStatusBar;

namespace olbrax::platform {

class RegisterListForm : public QDialog, public ListWindow {
  Q_OBJECT
 public:
  RegisterListForm(const ListWindowSpec& spec, ListWindowEvents& events);

  Window Handle() override { return static_cast<QWidget*>(this); }
  void InsertLine(int index, std::string_view text) override;
  void RemoveLine(int index) override;
  void SetSelected(int index, bool selected) override;
  void SetFocused(int index) override;
  void SetStatus(std::string_view text) override;
  void Repaint() override;
  void Run() override;

  QListWidget* ERegListBox;
  QStatusBar* StatusBar1;
  QPushButton* newbtn;
  QPushButton* changebtn;
  QPushButton* deletebtn;
  QPushButton* printbtn;
  QPushButton* closebtn;

 private:
  void ReportSelection();

  ListWindowEvents& events_;
  // Set while the caller changes the list, so that its own changes are not reported back.
  bool updating_ = false;
};

}  // namespace olbrax::platform

// The Qt pick window TEPickForm: the list EPickListBox, okBtn, allbtn "&Alla"/"&Ingen",
// cancelBtn "Avbryt" and a status bar with the number of selected and of all lines.
#pragma once

#include <QDialog>

#include "platform/ui.h"

class QListWidget;
class QPushButton;
class QStatusBar;

namespace olbrax::platform {

class PickForm : public QDialog {
  Q_OBJECT
 public:
  explicit PickForm(const PickWindowSpec& spec);

  // The choice, in the order of the items the window was given.
  std::vector<bool> Chosen() const;
  // "&Alla": selects every line or none, by allSw, and flips allSw.
  void AllClick();

  QListWidget* EPickListBox;
  QPushButton* okBtn;
  QPushButton* allbtn;
  QPushButton* cancelBtn;
  QStatusBar* StatusBar1;
  bool allSw = true;  // the next action of allbtn: select all (true) or none

 private:
  void ShowCount();

  std::size_t count_;
};

// Shows the pick window modally; true on OK with `spec.selected` set to the choice.
bool RunPickForm(PickWindowSpec& spec);

}  // namespace olbrax::platform

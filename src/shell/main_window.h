// The competition main window.
#pragma once

#include <QMainWindow>

namespace olbrax {

class TMainForm : public QMainWindow {
  Q_OBJECT
 public:
  TMainForm();
};

// "OlbraxW32 240530 10.00" and this build's tag.
QString MainWindowCaption();

}  // namespace olbrax

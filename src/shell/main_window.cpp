#include "shell/main_window.h"

#include "base/version.h"

namespace olbrax {

QString MainWindowCaption() { return QString(kProgramVersion) + kPortTag; }

TMainForm::TMainForm() {
  setObjectName("TMainForm");
  setWindowTitle(MainWindowCaption());
  QPalette pal = palette();
  pal.setColor(QPalette::Window, QColor(166, 202, 240));
  setPalette(pal);
  setAutoFillBackground(true);
  setMinimumSize(545, 312);
  resize(545, 312);
}

}  // namespace olbrax

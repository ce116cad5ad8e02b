#include "shell/program.h"

#include <QApplication>
#include <QMessageBox>
#include <memory>

#include "base/version.h"
#include "platform/qt/qt_printers.h"
#include "platform/qt/qt_ui.h"
#include "platform/qt/swedish_translations.h"
#include "shell/main_window.h"
#include "shell/pictures.h"
#include "shell/register_forms.h"
#include "shell/single_instance.h"
#include "shell/splash_screen.h"

namespace olbrax {

int RunProgram(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(kAppTitle);
  platform::InstallSwedishQtTranslations(app);

  InstanceGuard guard;
  if (!guard.FirstInstance()) {
    // Another copy runs: say so and end without creating anything else.
    QMessageBox box(QMessageBox::NoIcon, "info", QString::fromUtf8("olbrax körs redan"), QMessageBox::Ok);
    box.exec();
    return 0;
  }

  platform::QtPrinters printers;
  platform::SetPrinters(&printers);
  platform::QtUi ui;
  ui.SetProgramCursor(ProgramCursor());
  platform::SetUi(&ui);

  std::unique_ptr<TMainForm> main_form;
  {
    // The splash window is painted before the long start-up steps and goes when they end,
    // also when creating the main window fails.
    TSplashScreen splash;
    splash.show();
    splash.repaint();
    QApplication::processEvents();
    main_form = std::make_unique<TMainForm>(QApplication::arguments());
    // The control window exists for the whole run and is reused for every control edited.
    InstallRegisterWindows(main_form.get());
  }
  main_form->show();
  int rc = QApplication::exec();
  RemoveRegisterWindows();
  main_form.reset();
  platform::SetUi(nullptr);
  platform::SetPrinters(nullptr);
  return rc;
}

}  // namespace olbrax

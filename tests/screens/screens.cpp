// olbrax-screens SCREEN [--scale N]: starts the program's main window as the program does, then
// opens one window on it the way a user would and leaves it open until the process is killed,
// so that scripts/screenshots can take a picture of it under a window manager.
//
// SCREEN: distrikt, distrikt-andra, kontroller, kontroll-andra, banor, bana-andra, klasser-val,
// rapport-kontroller (the pick list of "rapporter" > "definitioner" > "kontroller", three chosen),
// visning-bana (the course image window of the first course, from "visningar" > "definitioner" >
// "banor"), and from the shell's "xregister" menu: etiketter, etikett-andra (the label register
// and the edit window of its first label), postgiro, postgiro-andra (the payment-form register
// and the form window of its first form).
// --scale N makes the windows opened afterwards scale themselves by N percent.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QListWidget>
#include <QMenu>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>

#include "base/text.h"
#include "base/version.h"
#include "platform/qt/qt_printers.h"
#include "platform/qt/qt_ui.h"
#include "platform/qt/swedish_translations.h"
#include "platform/qt/window_scale.h"
#include "shell/main_window.h"
#include "shell/pictures.h"
#include "shell/register_forms.h"
#include "shell/reglist/pick_lists.h"

namespace {

using namespace olbrax;

// Runs `step` once the event loop of the window opened before it is running.
void Later(int ms, std::function<void()> step) { QTimer::singleShot(ms, qApp, std::move(step)); }

// In the open register list: selects the first line and presses "&Ändra".
void ChangeFirstLine() {
  QWidget* dlg = QApplication::activeModalWidget();
  if (!dlg) return;
  auto* list = dlg->findChild<QListWidget*>("ERegListBox");
  if (list && list->count() > 0) {
    list->setCurrentRow(0);
    list->item(0)->setSelected(true);
  }
  if (auto* b = dlg->findChild<QAbstractButton*>("changebtn")) b->click();
}

void SelectFirstLines(int n) {
  QWidget* dlg = QApplication::activeModalWidget();
  auto* list = dlg ? dlg->findChild<QListWidget*>("ERegListBox") : nullptr;
  if (!list) return;
  for (int i = 0; i < n && i < list->count(); ++i) list->item(i)->setSelected(true);
  list->setCurrentRow(0, QItemSelectionModel::NoUpdate);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(kAppTitle);
  platform::InstallSwedishQtTranslations(app);
  if (argc < 2) {
    std::fprintf(stderr, "usage: olbrax-screens SCREEN [--scale N]\n");
    return 2;
  }
  const std::string screen = argv[1];
  int scale = 0;
  for (int i = 2; i + 1 < argc; ++i)
    if (std::strcmp(argv[i], "--scale") == 0) scale = std::atoi(argv[i + 1]);

  platform::QtPrinters printers;
  platform::SetPrinters(&printers);
  platform::QtUi ui;
  ui.SetProgramCursor(ProgramCursor());
  platform::SetUi(&ui);
  auto main_form = std::make_unique<TMainForm>(QApplication::arguments().mid(0, 1));
  InstallRegisterWindows(main_form.get());
  main_form->show();
  if (scale >= 100) platform::WindowScale = scale;

  auto trigger = [&](const char* action) {
    if (QAction* a = main_form->menus().action(action)) a->trigger();
  };
  const bool change = screen.ends_with("-andra");
  if (screen.starts_with("distrikt") || screen.starts_with("kontroll") || screen.starts_with("ban")) {
    const char* action = screen.starts_with("distrikt") ? "register_distrikt"
                         : screen.starts_with("kontroll") ? "register_kontroller"
                                                          : "register_banor";
    Later(600, [&, action] {
      if (change) Later(400, ChangeFirstLine);
      else Later(400, [] { SelectFirstLines(3); });
      trigger(action);
    });
  } else if (screen.starts_with("etikett") || screen.starts_with("postgiro")) {
    const char* item = screen.starts_with("etikett") ? "etikettregister" : "postgiro";
    Later(600, [&, item] {
      if (change) Later(400, ChangeFirstLine);
      else Later(400, [] { SelectFirstLines(3); });
      if (QAction* a = main_form->shellMenu()->findChild<QAction*>(item)) a->trigger();
    });
  } else if (screen == "klasser-val") {
    Later(600, [&] {
      // Once the pick window runs, the user has chosen three classes.
      Later(400, [] {
        QWidget* dlg = QApplication::activeModalWidget();
        auto* list = dlg ? dlg->findChild<QListWidget*>("EPickListBox") : nullptr;
        for (int i = 0; list && i < 3 && i < list->count(); ++i) list->item(i)->setSelected(true);
      });
      TKlassPick pick(main_form.get(), "V\xE4lj klass(er)", true, TKlassPick::kAll);
    });
  } else if (screen == "rapport-kontroller") {
    Later(600, [&] {
      Later(400, [] {
        QWidget* dlg = QApplication::activeModalWidget();
        auto* list = dlg ? dlg->findChild<QListWidget*>("EPickListBox") : nullptr;
        for (int i = 0; list && i < 3 && i < list->count(); ++i) list->item(i)->setSelected(true);
      });
      trigger("def_kontroller");
    });
  } else if (screen == "visning-bana") {
    Later(600, [&] {
      // The first course is chosen and OK pressed; its window then opens.
      Later(400, [] {
        QWidget* dlg = QApplication::activeModalWidget();
        auto* list = dlg ? dlg->findChild<QListWidget*>("EPickListBox") : nullptr;
        if (list && list->count() > 0) list->item(0)->setSelected(true);
        if (auto* ok = dlg ? dlg->findChild<QAbstractButton*>("okBtn") : nullptr) ok->click();
      });
      trigger("visningar_banor");
    });
  } else {
    std::fprintf(stderr, "olbrax-screens: unknown screen %s\n", screen.c_str());
    return 2;
  }
  int rc = QApplication::exec();
  RemoveRegisterWindows();
  main_form.reset();
  platform::SetUi(nullptr);
  platform::SetPrinters(nullptr);
  return rc;
}

// The competition main window's menu bar and toolbar.
//
// Items are QActions named by their component names (arkiv_new, importera1, ...), so that the
// enabling rules and the tests find them by name. Items without an action in this program stay
// in the menus, enabled as designed, and do nothing when chosen.
#pragma once

#include <QList>
#include <QString>

class QAction;
class QMainWindow;
class QMenu;
class QMenuBar;
class QToolBar;

namespace olbrax {

struct MainMenus {
  QMenu* arkiv = nullptr;
  QMenu* arkiv_select = nullptr;  // "välj": eight competition entries
  QMenu* arkiv_delete = nullptr;  // "&radera": eight competition entries
  QList<QAction*> select_entries;
  QList<QAction*> delete_entries;
  QMenu* importera1 = nullptr;
  QMenu* arkiv_exportera = nullptr;
  QMenu* arkiv_exp_klubbarna = nullptr;
  QMenu* register1 = nullptr;
  QMenu* rapporter = nullptr;
  QMenu* arranger = nullptr;
  QToolBar* toolbar = nullptr;

  // Every named action of the menu bar and toolbar.
  QAction* action(const QString& name) const;
  QList<QAction*> all;
};

// Builds the menu bar "arkiv", "register", "visningar", "rapporter", "målgång", "hjälp" and the
// toolbar of `window`.
MainMenus BuildMainMenus(QMainWindow* window);

// The marks that decide which items are disabled (true = disabled).
struct MenuMarks {
  bool A = true;  // no archive
  bool C = true;  // no clubs to export
  bool R = true;  // no long-form route descriptions to export
  bool P = true;  // no competition
  bool E = true;  // no entrants to export
  bool B = true;  // no courses to export
  bool K = true;  // no controls to export
};

void ApplyMenuMarks(const MainMenus& menus, const MenuMarks& marks);

}  // namespace olbrax

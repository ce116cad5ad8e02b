// The two list windows every register of the program is shown in, as the data layers see them:
// the register list window (a sorted list of one register's records with the buttons "&Ny",
// "&Ändra", "&Radera", "S&kriv", "&Stäng" and a status bar) and the pick window (a list to choose
// one or several lines from, with "&Alla"/"&Ingen", OK and "Avbryt").
//
// The list window shows lines in the order the caller inserts them: the caller keeps the lines,
// their order and their selection, and the window mirrors them. What the user does comes back
// through ListWindowEvents. Texts are Windows-1252.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace olbrax::platform {

using Window = void*;

// What the user does in a register list window.
class ListWindowEvents {
 public:
  virtual ~ListWindowEvents() = default;
  virtual void NewClicked() = 0;     // "&Ny"
  virtual void ChangeClicked() = 0;  // "&Ändra", a double click or Enter on a line
  virtual void DeleteClicked() = 0;  // "&Radera"
  virtual void PrintClicked() = 0;   // "S&kriv"
  // The user changed the selection: every selected line number (ascending) and the focused line
  // (-1 when none).
  virtual void SelectionChanged(const std::vector<int>& selected, int focused) = 0;
};

struct ListWindowSpec {
  Window owner = nullptr;
  std::string_view name;     // the window's class name, e.g. "TDistrRegForm"
  std::string_view caption;
  bool multi = true;         // several lines selectable (extended selection)
};

class ListWindow {
 public:
  virtual ~ListWindow() = default;
  // The window itself, as owner of the windows opened from it.
  virtual Window Handle() = 0;
  virtual void InsertLine(int index, std::string_view text) = 0;
  virtual void RemoveLine(int index) = 0;
  // Changes made by the caller; they are not reported back as SelectionChanged.
  virtual void SetSelected(int index, bool selected) = 0;
  virtual void SetFocused(int index) = 0;
  virtual void SetStatus(std::string_view text) = 0;
  virtual void Repaint() = 0;
  // Shows the window modally until "&Stäng" or the window is closed.
  virtual void Run() = 0;
};

// A pick window: the items in the caller's order, shown sorted by text when `sort` is set.
struct PickWindowSpec {
  Window owner = nullptr;
  std::string caption;
  bool multi = false;  // several lines can be chosen; "&Alla" works only then
  bool sort = false;
  std::vector<std::string> items;
  // In: the lines that start selected; out after OK: the lines chosen (same order as items).
  std::vector<bool> selected;
};

// The status bar of a pick window: the number of selected lines in 3 characters (left out when
// none is selected), " [", the number of lines in 3 characters, "]".
std::string PickStatusText(int selected, int lines);

}  // namespace olbrax::platform

// TERegFormDlg, the register list dialog every register window of the program is built on: a
// sorted list of all records of one register, one line per record, with the buttons "&Ny",
// "&Ändra", "&Radera", "S&kriv", "&Stäng" and a status bar.
//
// A register dialog is a subclass that supplies the fourteen operations below: how a record is
// found (FixtSelect), shown (FormRegStr), edited (DoTheDialog), stored (AddRecSelect,
// PutRecSelect) and deleted (DelRecSelect), and optionally when adding or deleting is refused
// and how a record is printed. The base keeps the lines, each owning the Ttherec of its record,
// and runs the flows of the buttons; the window (platform::ListWindow) only shows the lines.
//
// Using a register dialog:
//
//     TDistrRegForm dlg(owner);   // the constructor fills the list
//     dlg.Execute();              // shows it modally until "&Stäng"
//
// Writing one: derive, implement the abstract operations, and call Fill() as the last step of
// the constructor (the fill calls the subclass's FixtSelect and FormRegStr). A DoTheDialog
// usually creates the register's EditForm and hands it to EditShape().
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "base/text.h"
#include "platform/ui.h"

namespace olbrax {

class EditForm;

// The record a list line shows.
class Ttherec {
 public:
  explicit Ttherec(std::int32_t rec) : rec(rec) {}
  std::int32_t rec;
};

// The order of list lines: alphabetical without regard to letter case, Å Ä Ö after Z.
bool ListTextLess(std::string_view a, std::string_view b);

// The engine's status code when its last call failed other than by finding nothing, else 0.
int FailureCode();

class TERegFormDlg : private platform::ListWindowEvents {
 public:
  static constexpr int kEraseNothingSelected = 2;

  // `name` is the window class name, `caption` the window title.
  TERegFormDlg(platform::Window owner, std::string_view name, std::string_view caption);
  ~TERegFormDlg() override;
  TERegFormDlg(const TERegFormDlg&) = delete;
  TERegFormDlg& operator=(const TERegFormDlg&) = delete;

  // Shows the dialog modally until it is closed.
  void Execute();

  // --- The fourteen operations --------------------------------------------------------------
  // 1. "&Ny" (add) or "&Ändra" and a double click (not add): checks, then DoTheDialog.
  virtual void EditEntry(bool add);
  // 2. "&Radera": deletes the records of the selected lines; 1 when all went, 0 when one was
  //    refused or failed, kEraseNothingSelected when no line is selected.
  virtual int EraseEntry();
  // 3. The list line of the record in the register's buffer.
  virtual void FormRegStr(Text& line) = 0;
  // 4. True refuses adding (the register is full); prepares the buffer for a new record. The
  //    base refuses.
  virtual bool CheckBeforeAdding();
  // 5. Opens the print job of "S&kriv"; false when none could be opened.
  virtual bool StartPrint();
  // 6. Closes the print job; called after every StartPrint, also a failed one.
  virtual void StopPrint();
  // 7. The printed line of the record in the buffer; the base prints the list line.
  virtual void FormPrintStr(Text& line);
  // 8. Prints the record in the buffer, line `i` (from 1) of `n` lines of the list.
  virtual void DoThePrint(int i, int n);
  // 9. False refuses deleting the record in the buffer. The base allows it.
  virtual bool CheckBeforeDeleting();
  // 10. Edits one record in the register's edit window: `index` is the line of the record
  //     (-1 when adding), `rec` its record number.
  virtual void DoTheDialog(bool add, int index, std::int32_t rec) = 0;
  // 11. The register's Find: mode 0 exact key, 2 next, 4 back to the start, 5 record `rec`.
  virtual void FixtSelect(int mode, std::string_view key, bool& at_end, bool& found, std::int32_t& rec) = 0;
  // 12. The register's Rewrite: the buffer to record `rec`, keys untouched. True when stored.
  virtual bool PutRecSelect(std::int32_t rec) = 0;
  // 13. The register's Put: adds the buffer as a new record (adding, `rec` out) or writes it to
  //     `rec`, and adds its keys. True when stored.
  virtual bool AddRecSelect(bool adding, std::int32_t& rec) = 0;
  // 14. The register's Delete with byRef = (mode != 0): removes the keys of the record, and the
  //     record itself with its message when `remove_record`. True when the engine succeeded.
  virtual bool DelRecSelect(int mode, std::string_view key, bool remove_record, std::int32_t rec) = 0;

  // "S&kriv": prints the selected lines whose records are found again.
  void Print();

  // --- The list ------------------------------------------------------------------------------
  int LineCount() const { return static_cast<int>(lines_.size()); }
  const Text& LineText(int i) const { return lines_[static_cast<std::size_t>(i)].text; }
  std::int32_t LineRec(int i) const { return lines_[static_cast<std::size_t>(i)].therec->rec; }
  bool Selected(int i) const { return lines_[static_cast<std::size_t>(i)].selected; }
  int Focused() const { return focused_; }
  // The user's selection (as the window reports it); shows the line count in the status bar.
  void SetSelection(const std::vector<int>& selected, int focused);
  const Text& StatusText() const { return status_; }
  platform::ListWindow& window() { return *window_; }

 protected:
  // Fills the list from the register; a subclass calls it at the end of its constructor.
  void Fill();
  // The shape of every DoTheDialog: when changing, the record's keys are removed so that the
  // edit's uniqueness checks do not find the record itself; the edit window runs; the record is
  // put back with its keys after OK, and after Cancel (the edit restored the buffer, so the old
  // record and keys come back); after OK the record's line takes its place in the list,
  // focused and selected. True when the edit closed with OK and the record was stored.
  bool EditShape(bool add, int index, std::int32_t& rec, EditForm& form);
  // Shows the message line in the status bar when it changed since it was last shown there.
  void ShowMsgLine();
  void SetStatus(std::string_view text);
  platform::Window Handle() { return window_->Handle(); }

  bool multi = true;
  Text caption;

 private:
  struct Line {
    Text text;
    std::unique_ptr<Ttherec> therec;
    bool selected = false;
  };

  // ListWindowEvents: what the user does in the window.
  void NewClicked() override { EditEntry(true); }
  void ChangeClicked() override { EditEntry(false); }
  void DeleteClicked() override { EraseEntry(); }
  void PrintClicked() override { Print(); }
  void SelectionChanged(const std::vector<int>& selected, int focused) override { SetSelection(selected, focused); }

  // Reads the list again from the register, so that it shows what is stored whatever a store or
  // delete left behind; the lines of `selected` records come back selected, `focus`'s focused.
  void Reload(const std::vector<std::int32_t>& selected, std::int32_t focus);
  // Adds the line of the record in the buffer in its sorted place; returns its index.
  int AddLine(std::int32_t rec);
  void RemoveLine(int index);
  void Select(int index, bool on);
  void Focus(int index);
  void ClearLines();
  // A storage failure: the engine's message to the user, the list read again from the register.
  // Tells a storage failure (unless one was shown since `reported`, ReportedStorageFailures()) and
  // fills the list again.
  void StorageFailed(int reported);

  std::unique_ptr<platform::ListWindow> window_;
  std::vector<Line> lines_;
  int focused_ = -1;
  Text status_;
  Text shown_msg_;  // the message line as last shown in the status bar
};

}  // namespace olbrax

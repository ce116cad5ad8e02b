// The narrow interface through which the program reaches the window system: message boxes,
// the number box, the beep, mouse cursors, the event loop and progress counter windows.
//
// The data layers call only this interface. The GUI installs the Qt implementation; the
// command-line tool and the tests install HeadlessUi, which answers from a script and records
// what it was asked to show. Every text crossing this interface is Windows-1252.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/list_windows.h"

namespace olbrax::platform {

// A window of the GUI, opaque to the data layers (a QWidget* in the Qt implementation).
using Window = void*;

// Box results, numbered as the program's callers test them.
enum BoxResult : int {
  kNoBox = 0,
  kOk = 1,
  kCancel = 2,
  kAbort = 3,
  kRetry = 4,
  kIgnore = 5,
  kYes = 6,
  kNo = 7,
};

// Box styles: 1 question (Yes/No), 2 notice (OK, exclamation icon), 3 error (Abort/Retry/
// Ignore); 4 to 255 are shown like an error box. The guarded question is a question whose
// default button is No, asked before data is destroyed so that a stray Enter keeps the data; no
// display code reaches it (their styles are 0..255).
enum BoxStyle : int { kQuestionBox = 1, kNoticeBox = 2, kErrorBox = 3, kGuardedQuestionBox = 256 };

// Mouse cursor shapes the program sets.
enum class Cursor : int { Arrow = 0, Wait = 1, Program = 2 };

// One progress counter window: up to eight status lines and an optional cancel button.
class CounterWindow {
 public:
  virtual ~CounterWindow() = default;
  // Line 1..8 of the window.
  virtual void SetLine(int line, std::string_view text) = 0;
};

struct CounterSpec {
  Window owner = nullptr;
  bool cancel = false;  // offers the "avbryt" button
  int lines = 1;        // visible lines, 1..8
  int depth = 1;        // 1 = outermost window
  std::string_view caption;
  std::function<void()> on_cancel;  // called when the user presses "avbryt"
};

// The progress window of a print job: the printer and job lines, the sheet count, a done and a
// total count with a progress bar, five status lines, and a cancel button.
class ReportWindow {
 public:
  virtual ~ReportWindow() = default;
  virtual void SetPrinter(std::string_view text) = 0;
  virtual void SetJob(std::string_view text) = 0;
  virtual void SetSheets(std::string_view text) = 0;
  virtual void SetCount(std::string_view done, std::string_view total) = 0;
  virtual void SetBar(int value) = 0;
  // Status line 1..5.
  virtual void SetStatus(int line, std::string_view text) = 0;
  // The window itself, to own the boxes shown while the job prints.
  virtual Window Handle() = 0;
};

struct ReportSpec {
  Window owner = nullptr;
  std::function<void()> on_cancel;  // called when the user presses "Cancel"
};

class Ui {
 public:
  virtual ~Ui() = default;

  // Shows a modal, top-most box and returns the button pressed (BoxResult), kNoBox when no box
  // could be shown.
  virtual int ShowBox(int style, std::string_view caption, std::string_view text) = 0;
  // The number box: a label showing `prompt` (or "Ange ett tal:") and a 5-character field
  // showing `value`. Enter returns the number read, Escape returns `value`.
  virtual int AskNumber(Window owner, int value, std::string_view prompt) = 0;
  // The same box for a question that may be declined: Enter gives true and the number read in
  // `value`, Escape gives false and leaves `value` as it was.
  virtual bool AskNumberOrCancel(Window owner, int& value, std::string_view prompt) = 0;
  // A text put on the message line (the status bar of the program). The windows read the line
  // when they refresh; a program without windows prints each one here.
  virtual void MessageLine(std::string_view text) {}
  virtual void Beep(int hertz, int milliseconds) = 0;
  virtual Cursor CurrentCursor() = 0;
  virtual void SetCursor(Cursor cursor) = 0;
  virtual void SetWindowEnabled(Window window, bool enabled) = 0;
  // Lets pending window events through (repaints, a click on a cancel button).
  virtual void ProcessEvents() = 0;
  // Creates a progress counter window; null when it cannot be created.
  virtual std::unique_ptr<CounterWindow> CreateCounter(const CounterSpec& spec) = 0;
  // The open-file (`save` false) or save-file dialog: `filter` is "description|patterns|...",
  // `path` the starting folder and name in, the chosen path out (Windows-1252). False on Cancel.
  virtual bool ChooseFile(Window owner, bool save, std::string_view title, std::string_view filter,
                          std::string_view default_ext, std::string& path) = 0;
  // Creates the progress window of a print job; null when it cannot be created.
  virtual std::unique_ptr<ReportWindow> CreateReportWindow(const ReportSpec& spec) = 0;
  // Creates the window of a register list dialog (never null); `events` outlives it.
  virtual std::unique_ptr<ListWindow> CreateListWindow(const ListWindowSpec& spec, ListWindowEvents& events) = 0;
  // Shows a pick window modally: true when it was closed with OK (`spec.selected` then holds the
  // choice), false on "Avbryt" or when no window could be shown.
  virtual bool RunPickWindow(PickWindowSpec& spec) = 0;
};

// The implementation in use. Until one is installed, a HeadlessUi that refuses every question.
Ui& CurrentUi();
// Installs `ui` (not owned); null goes back to the built-in headless one.
void SetUi(Ui* ui);

}  // namespace olbrax::platform

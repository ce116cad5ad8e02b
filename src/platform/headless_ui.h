// The window-less implementation of the platform interface, used by olbrax-cli and the tests.
//
// Boxes and message lines are recorded and, when `echo` is on, written to stderr in UTF-8. Questions are answered
// from a script of answers; when the script is empty the default answer is used (No unless the
// tool was told --yes). Progress lines are recorded and, when echoed, written to stderr.
// A cancel request (Ctrl-C in the tool, a call in a test) presses "avbryt" of the open counter
// windows at the next ProcessEvents.
#pragma once

#include <atomic>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/ui.h"

namespace olbrax::platform {

// A register list window without a display: it keeps the lines, selection, focus and status the
// caller gave it, so that tests can compare them with the caller's own list.
class HeadlessListWindow : public ListWindow {
 public:
  HeadlessListWindow(const ListWindowSpec& spec, ListWindowEvents& events, std::function<void(HeadlessListWindow&)> run)
      : name(spec.name), caption(spec.caption), events(events), run_(std::move(run)) {}
  Window Handle() override { return this; }
  void InsertLine(int index, std::string_view text) override;
  void RemoveLine(int index) override;
  void SetSelected(int index, bool on) override;
  void SetFocused(int index) override { focused = index; }
  void SetStatus(std::string_view text) override { status = text; }
  void Repaint() override { ++repaints; }
  // The user selects exactly `lines` and focuses `focus`: the window changes and reports it.
  void UserSelects(const std::vector<int>& lines, int focus);
  // Runs the script of the HeadlessUi that made the window (if any), which plays the user.
  void Run() override {
    if (run_) run_(*this);
  }

  std::string name, caption;
  ListWindowEvents& events;
  std::vector<std::string> lines;
  std::vector<bool> selected;
  int focused = -1;
  std::string status;
  int repaints = 0;

 private:
  std::function<void(HeadlessListWindow&)> run_;
};

class HeadlessUi : public Ui {
 public:
  struct Box {
    int style;
    std::string caption;  // Windows-1252
    std::string text;     // Windows-1252
  };

  int ShowBox(int style, std::string_view caption, std::string_view text) override;
  int AskNumber(Window owner, int value, std::string_view prompt) override;
  bool AskNumberOrCancel(Window owner, int& value, std::string_view prompt) override;
  void MessageLine(std::string_view text) override;
  void Beep(int hertz, int milliseconds) override { ++beeps; }
  Cursor CurrentCursor() override { return cursor; }
  void SetCursor(Cursor c) override { cursor = c; }
  void SetWindowEnabled(Window window, bool enabled) override;
  void ProcessEvents() override;
  std::unique_ptr<CounterWindow> CreateCounter(const CounterSpec& spec) override;
  std::unique_ptr<ReportWindow> CreateReportWindow(const ReportSpec& spec) override;
  bool ChooseFile(Window owner, bool save, std::string_view title, std::string_view filter,
                  std::string_view default_ext, std::string& path) override;
  std::unique_ptr<ListWindow> CreateListWindow(const ListWindowSpec& spec, ListWindowEvents& events) override;
  bool RunPickWindow(PickWindowSpec& spec) override;

  // Asks every open counter window with a cancel button to cancel at the next ProcessEvents.
  // Safe to call from a signal handler.
  void RequestCancel() { cancel_requested_.store(true); }

  // Script and record.
  std::deque<int> answers;           // box results handed out in order for questions/errors
  int default_answer = kNo;          // when the script is empty
  std::deque<int> numbers;           // answers of AskNumber; empty = Escape
  std::vector<std::string> number_prompts;  // the prompts of the number boxes asked
  std::deque<std::string> chosen_files;  // answers of the file dialogs; empty = Cancel
  bool echo = false;                 // write boxes and progress lines to stderr
  std::vector<Box> boxes;
  std::vector<std::string> message_lines;  // every text put on the message line
  std::vector<std::string> counter_lines;  // "depth:line:text" of every line shown
  std::vector<std::string> report_lines;   // "field:text" of the print progress windows
  std::vector<std::pair<Window, bool>> enable_calls;
  Cursor cursor = Cursor::Arrow;
  int beeps = 0;
  int counters_created = 0;
  bool fail_counters = false;  // CreateCounter returns null (window cannot be created)
  // Plays the user of every register list window when it is run (none: closed at once).
  std::function<void(HeadlessListWindow&)> on_list_window;
  // Plays the user of the pick windows: changes `selected` and returns true for OK. None:
  // every pick window is cancelled.
  std::function<bool(PickWindowSpec&)> on_pick_window;
  std::vector<PickWindowSpec> pick_windows;  // every pick window shown, as it was opened

 private:
  friend class HeadlessCounter;
  friend class HeadlessReport;
  std::atomic<bool> cancel_requested_{false};
  std::vector<class HeadlessCounter*> open_;
  std::vector<class HeadlessReport*> reports_;
};

}  // namespace olbrax::platform

#include "platform/headless_ui.h"

#include "platform/codepages.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace olbrax::platform {


class HeadlessCounter : public CounterWindow {
 public:
  HeadlessCounter(HeadlessUi& ui, const CounterSpec& spec)
      : ui_(ui), depth_(spec.depth), cancel_(spec.cancel), on_cancel_(spec.on_cancel) {
    ui_.open_.push_back(this);
    if (ui_.echo) std::fprintf(stderr, "[%s]\n", Utf8FromWin(spec.caption).c_str());
  }
  ~HeadlessCounter() override {
    ui_.open_.erase(std::remove(ui_.open_.begin(), ui_.open_.end(), this), ui_.open_.end());
  }
  void SetLine(int line, std::string_view text) override {
    std::string entry = std::to_string(depth_) + ":" + std::to_string(line) + ":" + std::string(text);
    ui_.counter_lines.push_back(entry);
    if (ui_.echo) std::fprintf(stderr, "  %s\n", Utf8FromWin(text).c_str());
  }
  void Cancel() {
    if (cancel_ && on_cancel_) on_cancel_();
  }

 private:
  HeadlessUi& ui_;
  int depth_;
  bool cancel_;
  std::function<void()> on_cancel_;
};

// Records the fields of a print progress window; echoed, the job and status lines go to stderr.
class HeadlessReport : public ReportWindow {
 public:
  HeadlessReport(HeadlessUi& ui, const ReportSpec& spec) : ui_(ui), on_cancel_(spec.on_cancel) {
    ui_.reports_.push_back(this);
  }
  ~HeadlessReport() override {
    ui_.reports_.erase(std::remove(ui_.reports_.begin(), ui_.reports_.end(), this), ui_.reports_.end());
  }
  void SetPrinter(std::string_view text) override { Record("printer", text, true); }
  void SetJob(std::string_view text) override { Record("job", text, true); }
  void SetSheets(std::string_view text) override { Record("sheets", text, false); }
  void SetCount(std::string_view done, std::string_view total) override {
    Record("count", std::string(done) + " " + std::string(total), false);
  }
  void SetBar(int value) override { Record("bar", std::to_string(value), false); }
  void SetStatus(int line, std::string_view text) override {
    Record("status" + std::to_string(line), text, true);
  }
  Window Handle() override { return this; }
  void Cancel() {
    if (on_cancel_) on_cancel_();
  }

 private:
  void Record(const std::string& field, std::string_view text, bool echoed) {
    ui_.report_lines.push_back(field + ":" + std::string(text));
    if (ui_.echo && echoed) std::fprintf(stderr, "  %s\n", Utf8FromWin(text).c_str());
  }
  HeadlessUi& ui_;
  std::function<void()> on_cancel_;
};

std::unique_ptr<ReportWindow> HeadlessUi::CreateReportWindow(const ReportSpec& spec) {
  return std::make_unique<HeadlessReport>(*this, spec);
}

void HeadlessUi::MessageLine(std::string_view text) {
  message_lines.emplace_back(text);
  if (echo && !text.empty()) std::fprintf(stderr, "%s\n", Utf8FromWin(text).c_str());
}

int HeadlessUi::ShowBox(int style, std::string_view caption, std::string_view text) {
  boxes.push_back({style, std::string(caption), std::string(text)});
  if (echo) std::fprintf(stderr, "%s: %s\n", Utf8FromWin(caption).c_str(), Utf8FromWin(text).c_str());
  if (style == kNoticeBox) return kOk;
  if (!answers.empty()) {
    int a = answers.front();
    answers.pop_front();
    return a;
  }
  if (style == kQuestionBox || style == kGuardedQuestionBox) return default_answer;
  return default_answer == kYes ? kRetry : kAbort;  // an error box: go on only when told --yes
}

bool HeadlessUi::ChooseFile(Window, bool, std::string_view, std::string_view, std::string_view,
                            std::string& path) {
  if (chosen_files.empty()) return false;
  path = chosen_files.front();
  chosen_files.pop_front();
  return true;
}

int HeadlessUi::AskNumber(Window, int value, std::string_view) {
  if (numbers.empty()) return value;
  int n = numbers.front();
  numbers.pop_front();
  return n;
}

bool HeadlessUi::AskNumberOrCancel(Window, int& value, std::string_view prompt) {
  number_prompts.emplace_back(prompt);
  if (numbers.empty()) return false;
  value = numbers.front();
  numbers.pop_front();
  return true;
}

void HeadlessUi::SetWindowEnabled(Window window, bool enabled) {
  enable_calls.emplace_back(window, enabled);
}

void HeadlessUi::ProcessEvents() {
  if (!cancel_requested_.exchange(false)) return;
  auto open = open_;  // a cancel handler may close windows
  for (auto* c : open) c->Cancel();
  auto reports = reports_;
  for (auto* r : reports) r->Cancel();
}

std::unique_ptr<CounterWindow> HeadlessUi::CreateCounter(const CounterSpec& spec) {
  if (fail_counters) return nullptr;
  ++counters_created;
  return std::make_unique<HeadlessCounter>(*this, spec);
}

void HeadlessListWindow::InsertLine(int index, std::string_view text) {
  lines.insert(lines.begin() + index, std::string(text));
  selected.insert(selected.begin() + index, false);
  if (focused >= index) ++focused;
}

void HeadlessListWindow::RemoveLine(int index) {
  lines.erase(lines.begin() + index);
  selected.erase(selected.begin() + index);
  if (focused == index) focused = -1;
  else if (focused > index) --focused;
}

void HeadlessListWindow::SetSelected(int index, bool on) { selected[static_cast<std::size_t>(index)] = on; }

void HeadlessListWindow::UserSelects(const std::vector<int>& chosen, int focus) {
  selected.assign(lines.size(), false);
  std::vector<int> reported;
  for (int i : chosen)
    if (i >= 0 && i < static_cast<int>(lines.size())) selected[static_cast<std::size_t>(i)] = true;
  for (std::size_t i = 0; i < selected.size(); ++i)
    if (selected[i]) reported.push_back(static_cast<int>(i));
  focused = focus;
  events.SelectionChanged(reported, focus);
}

std::unique_ptr<ListWindow> HeadlessUi::CreateListWindow(const ListWindowSpec& spec, ListWindowEvents& events) {
  return std::make_unique<HeadlessListWindow>(spec, events, on_list_window);
}

bool HeadlessUi::RunPickWindow(PickWindowSpec& spec) {
  pick_windows.push_back(spec);
  if (echo) std::fprintf(stderr, "[%s]\n", Utf8FromWin(spec.caption).c_str());
  return on_pick_window ? on_pick_window(spec) : false;
}

namespace {
HeadlessUi& DefaultUi() {
  static HeadlessUi ui;
  return ui;
}
Ui* g_ui = nullptr;
}  // namespace

Ui& CurrentUi() { return g_ui ? *g_ui : DefaultUi(); }
void SetUi(Ui* ui) { g_ui = ui; }

}  // namespace olbrax::platform

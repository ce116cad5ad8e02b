// The Qt implementation of the platform interface, installed by the GUI program.
#pragma once

#include <QCursor>

#include "platform/ui.h"

namespace olbrax::platform {

class QtUi : public Ui {
 public:
  int ShowBox(int style, std::string_view caption, std::string_view text) override;
  int AskNumber(Window owner, int value, std::string_view prompt) override;
  bool AskNumberOrCancel(Window owner, int& value, std::string_view prompt) override;
  void Beep(int hertz, int milliseconds) override;
  Cursor CurrentCursor() override { return cursor_; }
  void SetCursor(Cursor cursor) override;
  void SetWindowEnabled(Window window, bool enabled) override;
  void ProcessEvents() override;
  std::unique_ptr<CounterWindow> CreateCounter(const CounterSpec& spec) override;
  std::unique_ptr<ReportWindow> CreateReportWindow(const ReportSpec& spec) override;
  bool ChooseFile(Window owner, bool save, std::string_view title, std::string_view filter,
                  std::string_view default_ext, std::string& path) override;
  std::unique_ptr<ListWindow> CreateListWindow(const ListWindowSpec& spec, ListWindowEvents& events) override;
  bool RunPickWindow(PickWindowSpec& spec) override;

  // The program's own mouse cursor (shown for Cursor::Program).
  void SetProgramCursor(const QCursor& cursor) { program_cursor_ = cursor; }

 private:
  Cursor cursor_ = Cursor::Arrow;
  bool override_active_ = false;
  QCursor program_cursor_{Qt::ArrowCursor};
};

}  // namespace olbrax::platform

#include "platform/qt/qt_ui.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>
#include <QWidget>
#include <vector>

#include "base/messages.h"
#include "platform/qt/count_form.h"
#include "platform/qt/report_dialog.h"
#include "platform/qt/number_dialog.h"
#include "platform/qt/pick_form.h"
#include "platform/qt/register_list_form.h"
#include "platform/qt/qtext.h"

namespace olbrax::platform {

namespace {

// While a box is up, the other top-most windows of the program (progress windows) step back so
// that the box is not hidden behind them; they return to the top afterwards.
class TopMostPause {
 public:
  TopMostPause() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (w->isVisible() && (w->windowFlags() & Qt::WindowStaysOnTopHint)) {
        w->setWindowFlag(Qt::WindowStaysOnTopHint, false);
        w->show();
        paused_.emplace_back(w);
      }
    }
  }
  ~TopMostPause() {
    for (auto& w : paused_) {
      if (!w) continue;
      w->setWindowFlag(Qt::WindowStaysOnTopHint, true);
      w->show();
    }
  }

 private:
  std::vector<QPointer<QWidget>> paused_;
};

int FromButton(QMessageBox::StandardButton b) {
  switch (b) {
    case QMessageBox::Ok: return kOk;
    case QMessageBox::Cancel: return kCancel;
    case QMessageBox::Abort: return kAbort;
    case QMessageBox::Retry: return kRetry;
    case QMessageBox::Ignore: return kIgnore;
    case QMessageBox::Yes: return kYes;
    case QMessageBox::No: return kNo;
    default: return kCancel;
  }
}

}  // namespace

// The window a box belongs to: the active window while it is usable; otherwise (a print job
// disables its owner) the top of the owner-window stack, which is then the job's progress window.
// A box owned by a disabled window could not be answered.
static QWidget* BoxOwner() {
  QWidget* active = QApplication::activeWindow();
  if (active && active->isEnabled()) return active;
  auto* top = static_cast<QWidget*>(TopOwner());
  if (top && top->isVisible() && top->isEnabled()) return top;
  return nullptr;  // a box of its own, which can always be answered
}

int QtUi::ShowBox(int style, std::string_view caption, std::string_view text) {
  if (!qApp) return kNoBox;
  QMessageBox box(BoxOwner());
  box.setWindowTitle(ToQ(caption));
  box.setText(ToQ(text));
  box.setWindowModality(Qt::ApplicationModal);
  box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
  switch (style) {
    case kQuestionBox:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      box.setDefaultButton(QMessageBox::Yes);
      break;
    case kGuardedQuestionBox:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      box.setDefaultButton(QMessageBox::No);
      break;
    case kNoticeBox:
      box.setIcon(QMessageBox::Warning);
      box.setStandardButtons(QMessageBox::Ok);
      break;
    default:
      box.setStandardButtons(QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore);
      break;
  }
  TopMostPause pause;
  QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
  box.exec();
  QGuiApplication::restoreOverrideCursor();
  return FromButton(box.standardButton(box.clickedButton()));
}

int QtUi::AskNumber(Window owner, int value, std::string_view prompt) {
  NumberDialog dialog(static_cast<QWidget*>(owner), value, ToQ(prompt));
  return dialog.Ask();
}

bool QtUi::AskNumberOrCancel(Window owner, int& value, std::string_view prompt) {
  NumberDialog dialog(static_cast<QWidget*>(owner), value, ToQ(prompt));
  return dialog.AskOrCancel(value);
}

void QtUi::Beep(int, int) { QApplication::beep(); }

void QtUi::SetCursor(Cursor cursor) {
  cursor_ = cursor;
  if (override_active_) QGuiApplication::restoreOverrideCursor();
  override_active_ = cursor != Cursor::Arrow;
  if (cursor == Cursor::Wait) QGuiApplication::setOverrideCursor(Qt::WaitCursor);
  else if (cursor == Cursor::Program) QGuiApplication::setOverrideCursor(program_cursor_);
}

void QtUi::SetWindowEnabled(Window window, bool enabled) {
  if (auto* w = static_cast<QWidget*>(window)) {
    w->setEnabled(enabled);
    // Disabling a window disables its child windows too; its progress windows stay usable.
    if (!enabled)
      for (auto* form : w->findChildren<CountForm*>()) form->setEnabled(true);
    if (enabled) {
      w->raise();
      w->activateWindow();
    }
  }
}

void QtUi::ProcessEvents() { QCoreApplication::processEvents(); }

std::unique_ptr<CounterWindow> QtUi::CreateCounter(const CounterSpec& spec) {
  return std::make_unique<CountForm>(spec);
}

bool QtUi::ChooseFile(Window owner, bool save, std::string_view title, std::string_view filter,
                      std::string_view default_ext, std::string& path) {
  // "description|patterns|description|patterns" becomes Qt's "description (patterns);;...".
  QStringList parts = ToQ(filter).split('|');
  QStringList filters;
  for (int i = 0; i + 1 < parts.size(); i += 2) filters << parts[i] + " (" + QString(parts[i + 1]).replace(';', ' ') + ")";
  QFileDialog dialog(static_cast<QWidget*>(owner), ToQ(title), ToQ(path));
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  dialog.setNameFilters(filters);
  dialog.setDefaultSuffix(ToQ(default_ext));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
  std::optional<std::string> chosen = WinPathFromQ(static_cast<QWidget*>(owner), dialog.selectedFiles().first());
  if (!chosen) return false;
  path = *chosen;
  return true;
}

std::unique_ptr<ReportWindow> QtUi::CreateReportWindow(const ReportSpec& spec) {
  auto dialog = std::make_unique<ReportDialog>(spec);
  dialog->show();
  return dialog;
}

std::unique_ptr<ListWindow> QtUi::CreateListWindow(const ListWindowSpec& spec, ListWindowEvents& events) {
  return std::make_unique<RegisterListForm>(spec, events);
}

bool QtUi::RunPickWindow(PickWindowSpec& spec) { return RunPickForm(spec); }

}  // namespace olbrax::platform

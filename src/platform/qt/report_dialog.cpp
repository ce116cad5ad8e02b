#include "platform/qt/report_dialog.h"

#include <QGuiApplication>
#include <algorithm>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>

#include "platform/qt/qtext.h"
#include "platform/qt/window_scale.h"

namespace olbrax::platform {

QLabel* ReportDialog::Line(const char* name, int y, int x, int w) {
  auto* l = new QLabel(this);
  l->setObjectName(name);
  l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  l->setGeometry(x, y, w, 21);
  return l;
}

ReportDialog::ReportDialog(const ReportSpec& spec)
    : QDialog(static_cast<QWidget*>(spec.owner), Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      on_cancel_(spec.on_cancel) {
  setObjectName("TrapportDlg");
  setWindowTitle("rapport");
  // Its owner is disabled while the job prints; the progress window itself (its cancel button
  // and the boxes it owns) stays usable.
  setEnabled(true);
  cancel_ = new QPushButton("Cancel", this);
  cancel_->setObjectName("CancelBtn");
  cancel_->setGeometry(168, 8, 97, 27);
  connect(cancel_, &QPushButton::clicked, this, [this] {
    if (on_cancel_) on_cancel_();
  });
  device_ = Line("sbSkrivarDevice", 44);
  job_ = Line("sbSkrivarJobb", 68);
  bar1_ = new QProgressBar(this);
  bar1_->setGeometry(8, 94, 417, 16);
  bar2_ = new QProgressBar(this);
  bar2_->setGeometry(8, 114, 417, 16);
  for (auto* b : {bar1_, bar2_}) {
    b->setRange(0, 100);
    b->setValue(0);
    b->setTextVisible(false);
  }
  auto* sida = Line("sbRapportSidor", 136, 8, 100);
  sida->setText("  sida:");
  sheets_ = Line("sbRapportSidor2", 136, 110, 315);
  auto* antal = Line("sbAntal", 160, 8, 100);
  antal->setText("  antal:");
  done_ = Line("sbAntal2", 160, 110, 150);
  total_ = Line("sbAntal3", 160, 262, 163);
  for (int i = 0; i < 5; ++i) {
    QByteArray name = "StatusBar" + QByteArray::number(i + 1);
    status_[i] = Line(name.constData(), 188 + i * 24);
  }
  resize(433, 310);
  QWidget* owner = static_cast<QWidget*>(spec.owner);
  QRect area = owner ? owner->window()->frameGeometry() : QGuiApplication::primaryScreen()->availableGeometry();
  move(area.center() - QPoint(width() / 2, height() / 2));
  ScaleDialog(this);
}

void ReportDialog::reject() {
  if (on_cancel_) on_cancel_();
}

void ReportDialog::SetPrinter(std::string_view text) { device_->setText(ToQ(text)); }
void ReportDialog::SetJob(std::string_view text) { job_->setText(ToQ(text)); }
void ReportDialog::SetSheets(std::string_view text) { sheets_->setText(ToQ(text)); }
void ReportDialog::SetCount(std::string_view done, std::string_view total) {
  done_->setText(ToQ(done));
  total_->setText(ToQ(total));
}
void ReportDialog::SetBar(int value) { bar1_->setValue(std::clamp(value, 0, 100)); }
void ReportDialog::SetStatus(int line, std::string_view text) {
  if (line >= 1 && line <= 5) status_[line - 1]->setText(ToQ(text));
}

}  // namespace olbrax::platform

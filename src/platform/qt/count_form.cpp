#include "platform/qt/count_form.h"

#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>

#include "platform/qt/qtext.h"
#include "platform/qt/window_scale.h"

namespace olbrax::platform {

namespace {
constexpr int kLineSpacing = 32;  // distance between two status lines
}

CountForm::CountForm(const CounterSpec& spec)
    : QDialog(static_cast<QWidget*>(spec.owner),
              Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint),
      canc_(spec.cancel),
      on_cancel_(spec.on_cancel) {
  setObjectName("TCountForm");
  setWindowTitle(ToQ(spec.caption));
  QPalette pal = palette();
  pal.setColor(QPalette::Window, QColor(0xF0, 0xFA, 0xFF));
  setPalette(pal);
  setAutoFillBackground(true);
  QFont f("MS Sans Serif");
  f.setPointSize(12);
  setFont(f);

  cancelbtn_ = new QPushButton("avbryt", this);
  cancelbtn_->setObjectName("cancelbtn");
  cancelbtn_->setGeometry(64, 8, 89, 25);
  cancelbtn_->setVisible(canc_);
  connect(cancelbtn_, &QPushButton::clicked, this, [this] {
    if (on_cancel_) on_cancel_();
  });

  QFont line_font("Segoe UI");
  line_font.setPointSize(9);
  for (int i = 0; i < 8; ++i) {
    lines_[i] = new QLabel(this);
    lines_[i]->setObjectName(QString("countW%1").arg(i + 1));
    lines_[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    lines_[i]->setFont(line_font);
    lines_[i]->setGeometry(8, 48 + i * kLineSpacing, 497, 23);
  }

  // Exactly `lines` status lines show: the window is shorter by the hidden ones, and each
  // nested window sits one line spacing right of and below its centred place.
  int hg = spec.lines;
  resize(509, 300 - (8 - hg) * kLineSpacing);
  QWidget* owner = static_cast<QWidget*>(spec.owner);
  QRect area = owner ? owner->window()->frameGeometry()
                     : QGuiApplication::primaryScreen()->availableGeometry();
  QPoint centre = area.center() - QPoint(width() / 2, height() / 2);
  move(centre + QPoint(kLineSpacing, kLineSpacing));
  ScaleDialog(this);

  if (canc_) {
    cancelbtn_->setEnabled(true);
    cancelbtn_->setFocus();
  }
  setEnabled(true);  // also when nested under an owner that is already disabled
  show();
  raise();
  repaint();
}

void CountForm::SetLine(int line, std::string_view text) {
  if (line < 1 || line > 8) return;
  lines_[line - 1]->setText(ToQ(text));
  lines_[line - 1]->repaint();
}

void CountForm::reject() {
  if (canc_) cancelbtn_->click();
}

void CountForm::paintEvent(QPaintEvent* event) {
  // The background picture: a soft gradient in the window colour.
  QPainter p(this);
  QLinearGradient g(0, 0, 0, height());
  g.setColorAt(0, QColor(0xF0, 0xFA, 0xFF));
  g.setColorAt(1, QColor(0xC8, 0xDC, 0xF0));
  p.fillRect(rect(), g);
  QDialog::paintEvent(event);
}

}  // namespace olbrax::platform

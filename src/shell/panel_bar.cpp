#include "shell/panel_bar.h"

#include <QHBoxLayout>
#include <QLabel>

namespace olbrax {

PanelBar::PanelBar(const QString& name, int panels, QWidget* parent) : QFrame(parent) {
  setObjectName(name);
  layout_ = new QHBoxLayout(this);
  layout_->setContentsMargins(0, 1, 0, 1);
  layout_->setSpacing(2);
  for (int i = 0; i < panels; ++i) {
    auto* label = new QLabel(this);
    label->setObjectName(QString("%1_panel%2").arg(name).arg(i));
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setTextInteractionFlags(Qt::NoTextInteraction);
    label->setMinimumWidth(1);
    // The last panel takes the rest of the bar, like a status bar's last panel.
    layout_->addWidget(label, i == panels - 1 ? 1 : 0);
    panels_.append(label);
  }
  setFixedHeight(fontMetrics().height() + 8);
}

QString PanelBar::panelText(int i) const { return panels_.value(i) ? panels_[i]->text() : QString(); }

int PanelBar::panelWidth(int i) const {
  return panels_.value(i) ? panels_[i]->minimumWidth() : 0;
}

void PanelBar::setPanelText(int i, const QString& text) {
  if (i >= 0 && i < panels_.size()) panels_[i]->setText(text);
}

void PanelBar::setPanelWidth(int i, int width) {
  if (i < 0 || i >= panels_.size()) return;
  if (i == panels_.size() - 1) panels_[i]->setMinimumWidth(width);  // it also takes the rest
  else panels_[i]->setFixedWidth(width);
}

void PanelBar::pushMessage(const QString& text) {
  if (text.isEmpty()) return;
  const int n = panelCount();
  const int w = width() / (n + 1);
  for (int i = n - 1; i >= 1; --i) {
    setPanelText(i, panelText(i - 1));
    setPanelWidth(i, w);
  }
  setPanelWidth(0, 2 * w);
  setPanelText(0, text);
  setToolTip(text);
}

}  // namespace olbrax

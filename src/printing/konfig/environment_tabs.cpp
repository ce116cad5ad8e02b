#include "printing/konfig/environment_tabs.h"

#include <QGridLayout>
#include <QPushButton>

namespace olbrax {

EnvironmentTabs::EnvironmentTabs(const QString& name, QWidget* parent) : QWidget(parent) {
  setObjectName(name);
  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(0, 0, 0, 0);
  grid->setSpacing(2);
  for (int i = 0; i < 10; ++i) {
    auto* b = new QPushButton(this);
    b->setObjectName(name + QString::number(i + 1));
    b->setCheckable(true);
    b->setAutoDefault(false);
    b->setFocusPolicy(Qt::TabFocus);
    connect(b, &QPushButton::clicked, this, [this, i] {
      int previous = current_;
      if (i == previous) {
        Paint();
        return;
      }
      setCurrentIndex(i);
      emit tabChosen(i, previous);
    });
    tabs_[i] = b;
    grid->addWidget(b, i / 5, i % 5);
  }
  Paint();
}

void EnvironmentTabs::setCurrentIndex(int index) {
  if (index < 0 || index > 9) return;
  current_ = index;
  Paint();
}

QString EnvironmentTabs::tabText(int index) const { return tabs_[index]->toolTip(); }

void EnvironmentTabs::setTabText(int index, const QString& text) {
  // The whole name is the hint; the button shows what fits.
  tabs_[index]->setToolTip(text);
  tabs_[index]->setText(text.size() > 16 ? text.left(15) + QChar(0x2026) : text);
}

void EnvironmentTabs::Paint() {
  // The colour goes through the palette: a style sheet would stop the dialog's font (and its
  // scaling) from reaching the buttons.
  for (int i = 0; i < 10; ++i) {
    tabs_[i]->setChecked(i == current_);
    QPalette p = palette();
    if (i == current_) p.setColor(QPalette::ButtonText, Qt::red);
    tabs_[i]->setPalette(p);
  }
}

}  // namespace olbrax

#include "shell/panel_bar.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>

#include "shell/shell_colours.h"

namespace olbrax {

// A panel shows as much of its text as fits and ends it with "…" when the rest does not, so a
// cut text is seen to go on (the whole text stays in the panel, for the bar's owner and tests).
class PanelLabel : public QLabel {
 public:
  explicit PanelLabel(QWidget* parent) : QLabel(parent) {}
  // Its width comes from the bar, never from the text: the text is fitted to the width.
  QSize sizeHint() const override { return {1, QLabel::sizeHint().height()}; }
  QSize minimumSizeHint() const override { return {1, QLabel::minimumSizeHint().height()}; }
  const QString& fullText() const { return full_; }
  void setFullText(const QString& text) {
    full_ = text;
    Elide();
  }

 protected:
  void resizeEvent(QResizeEvent* event) override {
    QLabel::resizeEvent(event);
    Elide();
  }
  void changeEvent(QEvent* event) override {
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange) Elide();
  }

 private:
  void Elide() {
    const int room = contentsRect().width() - 2 * margin() - indent();
    setText(fontMetrics().elidedText(full_, Qt::ElideRight, std::max(0, room)));
  }
  QString full_;
};

PanelBar::PanelBar(const QString& name, int panels, QWidget* parent) : QFrame(parent) {
  setObjectName(name);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, kShellColour);
  pal.setColor(QPalette::WindowText, Qt::black);
  setPalette(pal);
  setAutoFillBackground(true);
  layout_ = new QHBoxLayout(this);
  layout_->setContentsMargins(0, 1, 0, 1);
  layout_->setSpacing(2);
  for (int i = 0; i < panels; ++i) {
    auto* label = new PanelLabel(this);
    label->setObjectName(QString("%1_panel%2").arg(name).arg(i));
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setTextInteractionFlags(Qt::NoTextInteraction);
    label->setMinimumWidth(1);
    // The last panel takes the rest of the bar, like a status bar's last panel.
    layout_->addWidget(label, i == panels - 1 ? 1 : 0);
    panels_.append(label);
  }
  FitHeight();
}

// The text's height and half of it again for the frames and the space around the text, so the
// whole bar grows with its font.
void PanelBar::FitHeight() { setFixedHeight(fontMetrics().height() * 3 / 2 + 1); }

void PanelBar::changeEvent(QEvent* event) {
  QFrame::changeEvent(event);
  if (event->type() == QEvent::FontChange) FitHeight();
}

QString PanelBar::panelText(int i) const { return panels_.value(i) ? panels_[i]->fullText() : QString(); }

int PanelBar::panelWidth(int i) const {
  return panels_.value(i) ? panels_[i]->minimumWidth() : 0;
}

void PanelBar::setPanelText(int i, const QString& text) {
  if (i >= 0 && i < panels_.size()) panels_[i]->setFullText(text);
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

// A status bar of sunken panels with fixed widths, like the shell window's settings bars and
// its message-history bar. A text too long for its panel ends in "…". It is opaque in the shell's colour, so that the background picture
// does not run through its texts, and its height follows its font (the window scale).
#pragma once

#include <QFrame>
#include <QList>
#include <QString>

class QHBoxLayout;

namespace olbrax {

class PanelLabel;

class PanelBar : public QFrame {
  Q_OBJECT
 public:
  PanelBar(const QString& name, int panels, QWidget* parent);

  int panelCount() const { return static_cast<int>(panels_.size()); }
  QString panelText(int i) const;
  int panelWidth(int i) const;
  void setPanelText(int i, const QString& text);
  void setPanelWidth(int i, int width);

  // The message history: the newest text goes to panel 0 (twice as wide as the others), the
  // older ones move one panel to the right. An empty text changes nothing.
  void pushMessage(const QString& text);

 protected:
  void changeEvent(QEvent* event) override;

 private:
  void FitHeight();
  QList<PanelLabel*> panels_;
  QHBoxLayout* layout_;
};

}  // namespace olbrax

// A status bar of sunken panels with fixed widths, like the shell window's settings bars and
// its message-history bar.
#pragma once

#include <QFrame>
#include <QList>
#include <QString>

class QLabel;
class QHBoxLayout;

namespace olbrax {

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

 private:
  QList<QLabel*> panels_;
  QHBoxLayout* layout_;
};

}  // namespace olbrax

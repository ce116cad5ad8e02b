// The row of ten environment tabs of the configuration dialog: two rows of five buttons, each
// showing the name of its environment, the active one written in red. Ten names of up to 40
// characters do not fit one tab row of the dialog's width.
#pragma once

#include <QString>
#include <QWidget>

class QPushButton;

namespace olbrax {

class EnvironmentTabs : public QWidget {
  Q_OBJECT
 public:
  // The row is named `name`, its buttons `name` + "1" .. `name` + "10".
  EnvironmentTabs(const QString& name, QWidget* parent);

  int currentIndex() const { return current_; }
  // Makes tab `index` (0..9) the active one without telling anyone.
  void setCurrentIndex(int index);
  QString tabText(int index) const;
  void setTabText(int index, const QString& text);
  QPushButton* tab(int index) const { return tabs_[index]; }

 signals:
  // The user chose tab `index`; `previous` was active until then.
  void tabChosen(int index, int previous);

 private:
  void Paint();

  QPushButton* tabs_[10];
  int current_ = 0;
};

}  // namespace olbrax

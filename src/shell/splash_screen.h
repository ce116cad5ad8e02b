// The splash window shown while the program starts: borderless, on top, centred, 424 × 350,
// with three pictures. A click closes it.
#pragma once

#include <QWidget>

namespace olbrax {

class TSplashScreen : public QWidget {
  Q_OBJECT
 public:
  TSplashScreen();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
};

}  // namespace olbrax

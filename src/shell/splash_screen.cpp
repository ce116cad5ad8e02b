#include "shell/splash_screen.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

#include "base/version.h"
#include "shell/pictures.h"

namespace olbrax {

TSplashScreen::TSplashScreen()
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
  setObjectName("TSplashScreen");
  setAttribute(Qt::WA_DeleteOnClose, false);
  setFixedSize(424, 350);
  if (QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->geometry().center() - rect().center());
}

void TSplashScreen::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), QColor(166, 202, 240));
  // Left: a map of 217 × 329; right: the control flag and the compass.
  p.drawPixmap(10, 10, MapPicture(QSize(217, 329), 1));
  p.drawPixmap(250, 16, ControlFlagPicture(QSize(150, 120)));
  p.drawPixmap(250, 150, CompassPicture(QSize(150, 120)));
  QFont f("Arial");
  f.setBold(true);
  f.setPixelSize(18);
  p.setFont(f);
  p.setPen(QColor(20, 40, 90));
  p.drawText(QRect(234, 280, 185, 26), Qt::AlignCenter, "OlbraxW32");
  f.setBold(false);
  f.setPixelSize(11);
  p.setFont(f);
  p.drawText(QRect(234, 308, 185, 20), Qt::AlignCenter, kProgramVersion);
  p.setPen(QColor(60, 60, 60));
  p.drawRect(rect().adjusted(0, 0, -1, -1));
}

void TSplashScreen::mousePressEvent(QMouseEvent*) { close(); }

}  // namespace olbrax

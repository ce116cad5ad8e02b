#include "shell/pictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QRandomGenerator>
#include <cmath>

namespace olbrax {

namespace {

const QColor kContour(186, 110, 40);  // map brown
const QColor kWater(100, 190, 230);
const QColor kOpenLand(250, 220, 120);
const QColor kForest(255, 255, 255);
const QColor kFlagOrange(244, 120, 32);

// A closed wobbly ring around `centre`: one contour line.
QPainterPath Ring(QPointF centre, double radius, double wobble, double phase) {
  QPainterPath path;
  constexpr int kSteps = 72;
  for (int i = 0; i <= kSteps; ++i) {
    double a = 2 * M_PI * i / kSteps;
    double r = radius * (1 + wobble * std::sin(3 * a + phase) + 0.5 * wobble * std::cos(5 * a - phase));
    QPointF p(centre.x() + r * std::cos(a), centre.y() + 0.8 * r * std::sin(a));
    if (i == 0) path.moveTo(p);
    else path.lineTo(p);
  }
  return path;
}

}  // namespace

QPixmap MapPicture(QSize size, int variant) {
  QPixmap pm(size);
  pm.fill(kForest);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  QRandomGenerator rng(static_cast<quint32>(variant * 7919 + 17));
  const double w = size.width(), h = size.height();

  // Open land patches.
  for (int i = 0; i < 3; ++i) {
    p.setPen(Qt::NoPen);
    p.setBrush(kOpenLand);
    p.drawPath(Ring({rng.bounded(w), rng.bounded(h)}, 20 + rng.bounded(w / 6), 0.2, rng.bounded(6.0)));
  }
  // Hills as rings of contour lines.
  p.setBrush(Qt::NoBrush);
  for (int hill = 0; hill < 4; ++hill) {
    QPointF c(rng.bounded(w), rng.bounded(h));
    double phase = rng.bounded(6.0);
    int rings = 3 + static_cast<int>(rng.bounded(4));
    for (int r = 1; r <= rings; ++r) {
      p.setPen(QPen(kContour, r % 5 == 0 ? 2.0 : 1.0));
      p.drawPath(Ring(c, r * (w + h) / 60.0, 0.12, phase));
    }
  }
  // A lake.
  p.setPen(QPen(Qt::black, 1.0));
  p.setBrush(kWater);
  p.drawPath(Ring({rng.bounded(w), rng.bounded(h)}, (w + h) / 30.0, 0.25, rng.bounded(6.0)));
  // A path across the map.
  QPainterPath track;
  track.moveTo(0, rng.bounded(h));
  track.cubicTo(w / 3, rng.bounded(h), 2 * w / 3, rng.bounded(h), w, rng.bounded(h));
  p.setPen(QPen(Qt::black, 1.5, Qt::DashLine));
  p.setBrush(Qt::NoBrush);
  p.drawPath(track);
  // The blue magnetic-north lines of a real map.
  p.setPen(QPen(QColor(40, 90, 200, 110), 1.0));
  for (double x = w / 8; x < w; x += w / 4) p.drawLine(QPointF(x, 0), QPointF(x, h));
  return pm;
}

QPixmap ControlFlagPicture(QSize size) {
  QPixmap pm(size);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  const double s = std::min(size.width(), size.height());
  QRectF flag((size.width() - s) / 2 + s * 0.1, (size.height() - s) / 2 + s * 0.1, s * 0.8, s * 0.8);
  p.fillRect(flag, Qt::white);
  QPainterPath orange;
  orange.moveTo(flag.topRight());
  orange.lineTo(flag.bottomRight());
  orange.lineTo(flag.bottomLeft());
  orange.closeSubpath();
  p.fillPath(orange, kFlagOrange);
  p.setPen(QPen(QColor(60, 60, 60), std::max(1.0, s / 80)));
  p.drawRect(flag);
  return pm;
}

QPixmap CompassPicture(QSize size) {
  QPixmap pm(size);
  pm.fill(QColor(166, 202, 240));
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  const double r = std::min(size.width(), size.height()) * 0.38;
  const QPointF c(size.width() / 2.0, size.height() / 2.0);
  p.setPen(QPen(Qt::black, 2));
  p.setBrush(QColor(250, 250, 245));
  p.drawEllipse(c, r, r);
  for (int i = 0; i < 36; ++i) {
    double a = i * M_PI / 18;
    double inner = i % 9 == 0 ? r * 0.8 : r * 0.9;
    p.drawLine(QPointF(c.x() + inner * std::sin(a), c.y() - inner * std::cos(a)),
               QPointF(c.x() + r * std::sin(a), c.y() - r * std::cos(a)));
  }
  QPolygonF north{{c.x(), c.y() - r * 0.75}, {c.x() - r * 0.12, c.y()}, {c.x() + r * 0.12, c.y()}};
  QPolygonF south{{c.x(), c.y() + r * 0.75}, {c.x() - r * 0.12, c.y()}, {c.x() + r * 0.12, c.y()}};
  p.setBrush(QColor(200, 30, 30));
  p.drawPolygon(north);
  p.setBrush(QColor(240, 240, 240));
  p.drawPolygon(south);
  QFont f("Arial");
  f.setBold(true);
  f.setPixelSize(static_cast<int>(r * 0.3));
  p.setFont(f);
  p.drawText(QRectF(c.x() - r, c.y() - r * 1.3, 2 * r, r * 0.35), Qt::AlignCenter, "N");
  return pm;
}

QPixmap PaymentFormPicture(QSize size, int kind) {
  struct Look {
    const char* name;
    QColor sheet, head;
  };
  const Look look = kind == 0   ? Look{"plusgiro", QColor(255, 232, 196), QColor(222, 110, 30)}
                    : kind == 1 ? Look{"postgiro", QColor(255, 246, 200), QColor(196, 150, 0)}
                                : Look{"bankgiro", QColor(222, 240, 224), QColor(40, 120, 80)};
  QPixmap pm(size);
  pm.fill(look.sheet);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  const double w = size.width(), h = size.height();
  // The head strip with the form's name, as on the printed forms.
  const double head = h * 0.42;
  p.fillRect(QRectF(0, 0, w, head), look.head);
  QFont f("Arial");
  f.setBold(true);
  f.setPixelSize(std::max(6, static_cast<int>(head * 0.72)));
  p.setFont(f);
  p.setPen(Qt::white);
  p.drawText(QRectF(h * 0.25, 0, w - h * 0.5, head), Qt::AlignVCenter | Qt::AlignLeft, look.name);
  // Boxes for the amount, the account and the payer, and the reading line at the foot.
  p.setPen(QPen(look.head, std::max(1.0, h / 40)));
  p.setBrush(Qt::white);
  const double top = head + h * 0.1, box_h = h * 0.22;
  p.drawRect(QRectF(w * 0.05, top, w * 0.28, box_h));
  p.drawRect(QRectF(w * 0.37, top, w * 0.22, box_h));
  p.drawRect(QRectF(w * 0.63, top, w * 0.32, box_h));
  p.setPen(QPen(QColor(60, 60, 60), std::max(1.0, h / 50), Qt::DotLine));
  p.drawLine(QPointF(w * 0.05, h * 0.9), QPointF(w * 0.95, h * 0.9));
  return pm;
}

QCursor ProgramCursor() {
  QPixmap pm(32, 32);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  QPolygonF arrow{{1, 1}, {1, 20}, {6, 15}, {10, 23}, {13, 22}, {9, 14}, {16, 14}};
  p.setPen(QPen(Qt::white, 1));
  p.setBrush(Qt::black);
  p.drawPolygon(arrow);
  p.drawPixmap(18, 18, ControlFlagPicture(QSize(13, 13)));
  return QCursor(pm, 1, 1);
}

}  // namespace olbrax

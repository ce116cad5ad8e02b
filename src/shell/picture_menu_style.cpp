#include "shell/picture_menu_style.h"

#include <QPainter>
#include <QStyleOptionMenuItem>

namespace olbrax {

namespace {

// A normal item that carries a picture.
const QStyleOptionMenuItem* PictureItem(const QStyleOption* option) {
  const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
  if (!item || item->menuItemType != QStyleOptionMenuItem::Normal || item->icon.isNull()) return nullptr;
  return item;
}

}  // namespace

PictureMenuStyle::PictureMenuStyle(int item_height) : item_height_(item_height) {}

void PictureMenuStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                                   const QWidget* widget) const {
  const QStyleOptionMenuItem* item = element == CE_MenuItem ? PictureItem(option) : nullptr;
  if (!item) {
    QProxyStyle::drawControl(element, option, painter, widget);
    return;
  }
  const QRect r = item->rect;
  const QPixmap picture = item->icon.pixmap(item->icon.availableSizes().value(0, r.size()));
  painter->save();
  painter->setRenderHint(QPainter::SmoothPixmapTransform);
  painter->drawPixmap(r, picture);
  const bool selected = item->state & State_Selected;
  const QColor frame = selected ? QColor(Qt::black) : picture.toImage().pixelColor(1, 1);
  const int pen = std::max(2, r.height() / 16);
  painter->setPen(QPen(frame, pen, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
  painter->setBrush(Qt::NoBrush);
  painter->drawRect(QRectF(r).adjusted(pen / 2.0, pen / 2.0, -pen / 2.0, -pen / 2.0));
  painter->restore();
}

QSize PictureMenuStyle::sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                                         const QWidget* widget) const {
  QSize s = QProxyStyle::sizeFromContents(type, option, size, widget);
  if (type == CT_MenuItem && PictureItem(option)) s.setHeight(item_height_);
  return s;
}

}  // namespace olbrax

#include "platform/qt/window_scale.h"

#include <QWidget>
#include <cmath>

namespace olbrax::platform {

int WindowScale = 100;

int Scaled(int v) { return static_cast<int>(std::lround(v * WindowScale / 100.0)); }

void ScaleDialog(QWidget* dialog) {
  if (WindowScale == 100 || !dialog) return;
  const double s = WindowScale / 100.0;
  QFont f = dialog->font();
  if (f.pointSizeF() > 0) f.setPointSizeF(f.pointSizeF() * s);
  else if (f.pixelSize() > 0) f.setPixelSize(static_cast<int>(std::lround(f.pixelSize() * s)));
  dialog->setFont(f);
  for (QWidget* child : dialog->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (dialog->layout()) break;  // a layout places and sizes the children itself
    QRect g = child->geometry();
    child->setGeometry(static_cast<int>(std::lround(g.x() * s)), static_cast<int>(std::lround(g.y() * s)),
                       static_cast<int>(std::lround(g.width() * s)), static_cast<int>(std::lround(g.height() * s)));
  }
  QSize min = dialog->minimumSize();
  if (!min.isEmpty()) dialog->setMinimumSize(static_cast<int>(std::lround(min.width() * s)), static_cast<int>(std::lround(min.height() * s)));
  dialog->resize(static_cast<int>(std::lround(dialog->width() * s)), static_cast<int>(std::lround(dialog->height() * s)));
}

}  // namespace olbrax::platform

// The program's own pictures, drawn in code: orienteering map backgrounds, the control flag,
// the compass and the program's cursor.
#pragma once

#include <QCursor>
#include <QPixmap>

namespace olbrax {

// An orienteering-map-like background: contour lines, a lake and paths, varied by `variant`.
QPixmap MapPicture(QSize size, int variant);
// The orange and white control flag.
QPixmap ControlFlagPicture(QSize size);
// A compass rose with the program's name.
QPixmap CompassPicture(QSize size);
// The program's own mouse cursor: an arrow with a small control flag.
QCursor ProgramCursor();

}  // namespace olbrax

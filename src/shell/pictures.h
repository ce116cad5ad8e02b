// The program's own pictures, drawn in code: orienteering map backgrounds, the control flag,
// the compass, the payment forms of the "xregister" menu and the program's cursor.
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
// A small payment form of kind 0 (plusgiro), 1 (postgiro) or 3 (bankgiro): a coloured sheet with
// the form's name in its head strip and a few fields. Pixel (1, 1) has the head strip's colour.
QPixmap PaymentFormPicture(QSize size, int kind);
// The program's own mouse cursor: an arrow with a small control flag.
QCursor ProgramCursor();

}  // namespace olbrax

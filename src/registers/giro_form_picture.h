// Our own pictures of the three paper payment forms, drawn from the same layout tables that
// place the fields when a form is printed, so that what the window shows is where the printing
// puts it.
#pragma once

#include <QImage>
#include <QRect>

#include "registers/sheets/giro_layout.h"

namespace olbrax {

// The size of a form in tenths of a millimetre.
inline constexpr int kGiroFormWidth = 2100;
inline constexpr int kGiroFormHeight = 1016;

// Where a field lies on a kind's form, in tenths of a millimetre from its top left corner with y
// down: its box, or the row of its character boxes.
QRect GiroFieldArea(int kind, GiroField field);

// The picture of a kind's form (0 plusgiro, 1 postgiro, 3 bankgiro), `scale` pixels to a tenth
// of a millimetre.
QImage GiroFormPicture(int kind, double scale);

}  // namespace olbrax

// The 1-bit picture of a route-description symbol as a description cell draws it.
//
// The symbol of a Route24Rec is 48 pixels wide and 72 high in three bands of 24 pixel rows; in
// band g, byte row r, the byte of column c holds 8 vertical pixels, bit value 128 the top one.
#pragma once

#include "competition/records/route_recs.h"
#include "printing/engine/canvas.h"

namespace olbrax::print {

// The picture of `symbol` for description cell `cell` (1..9), using the first `bands` bands
// (1..3). Cell 2 is widened to 56 pixels: columns 49..56 repeat column 48, so its lines carry
// on over the gap between the second and third cell. For cells 1, 4 and 7 a byte row whose
// column-1 byte is 255 also gets its column-2 byte set to 255, which doubles the line on the
// left of those cells.
MonoBitmap SymbolBitmap(const TRoute24Rec& symbol, int cell, int bands);

}  // namespace olbrax::print

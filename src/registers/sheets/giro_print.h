// Printing the payment form in the giro buffer: one placement of the running sheet job, each
// cell holding one form with its fields at the places of the form's layout.
#pragma once

#include <string_view>

#include "printing/engine/canvas.h"

namespace olbrax {

using print::CanvasRect;

// Prints the giro buffer as one placement (`copies` cells) of the sheet job with the layout of
// the kind: 0 plusgiro, 1 postgiro, 3 bankgiro.
void PrintGiroForm(int kind);

// The three layouts, drawing the giro buffer into a cell.
void DrawPlusgiroForm(std::string_view text, const CanvasRect& cell);
void DrawPostgiroForm(std::string_view text, const CanvasRect& cell);
void DrawBankgiroForm(std::string_view text, const CanvasRect& cell);

// A text in a box in the first font that fits (B, N, S, b, n, s), centred; `align` left or
// right; CR LF starts a new line, there is no word wrap. Nothing for an empty text.
void FitText(std::string_view text, const CanvasRect& box, unsigned align);

}  // namespace olbrax

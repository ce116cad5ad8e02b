// The grid of printed descriptions, in printer dots. A description is 8 cells of 48 × 48 grid
// units (u = 3 × s ÷ 10 dots for scale s in tenths), with a gap of 8 units after the second cell:
// 392 units across. Each description has a slot of 413 units, and as many slots as fit stand
// side by side in the print column.
#pragma once

namespace olbrax::print {

// The grid unit u in dots.
double GridUnit();
// How many descriptions fit side by side in the print column, 1..8. Below 1 the notice "Utskriften
// får inte plats på bredden. För stor skala!" is shown (`notice`) and 1 is used.
int AcrossCount(bool notice = true);
// The height of a description row: round(144 × s ÷ 10) dots.
int RowHeight();
// The x of cell k of slot i, in dots from the left of the print column; a negative k is the
// text position 5 units inside cell |k|.
int CellX(int i, int k);

}  // namespace olbrax::print

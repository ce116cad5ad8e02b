// Printing on sheets of labels with the current label environment: a job places items in the
// cells of the sheet, row by row, sheet after sheet, each item in `copies` cells. Labels and
// payment forms are drawn this way, one item per cell.
//
// All lengths are tenths of a millimetre: the job's canvas is switched to that unit with the y
// axis pointing up, so the sheet's top edge is y = 0 and cells lie at negative y.
#pragma once

#include <cstdint>
#include <string_view>

#include "base/text.h"
#include "platform/ui.h"
#include "printing/config/config_layout.h"
#include "printing/engine/canvas.h"

namespace olbrax {

using print::CanvasRect;

// The state of the one sheet job that can run at a time.
struct SheetPrintState {
  bool begun = false;            // BeginSheetPrint ran and EndSheetPrint has not
  TLabelEnvironment saved{};     // CurrentLabelEnvironment at the start, put back at the end
  int sheet = 1;
  int row = 1;
  int column = 0;                // 0: no cell used yet
  int copies = 1;                // cells one placement fills
  int labels_printed = 0;
  int pictures_missing = 0;      // picture labels left empty because their file did not load
};
extern SheetPrintState SheetState;

// Rounds to the nearest integer, halves to the even neighbour.
int RoundHalfEven(double value);

// The cell of row `row` and column `column` (both from 1) of an environment: the label centred
// in its pitch box.
CanvasRect SheetCell(const TLabelEnvironment& env, int row, int column);

// Starts a job titled `title` (cut to 64) with the current label environment; asks for the
// copies ("Antal kopior:") when the environment has 0 or less. False when no job was started:
// no printer, no canvas, or an environment whose first cell lies outside the printable area
// (refused with a notice naming its margins and pitches; nothing is printed).
bool BeginSheetPrint(std::string_view title, platform::Window owner);

// Draws one item into a cell.
using SheetDraw = void (*)(std::string_view text, const CanvasRect& cell);

// Places `copies` cells, the next free ones of the job, and draws `text` into each.
void PrintOnSheet(SheetDraw draw, std::string_view text);

// Ends the job (also after a failed start) and puts the label environment back; copies of 0 or
// less become 1, so a later job does not ask again.
void EndSheetPrint();

// The drawing of a label: a picture label's picture stretched to the cell (a picture that does
// not load leaves the cell empty, with "kan ej ladda filen" on the message line); a text label
// in the first of the fonts B, N, S, b, n, s in which it fits the cell, centred, with word
// break; a text too long for all of them from the cell's top left corner in the last.
void DrawLabel(std::string_view text, const CanvasRect& cell);
// Counts a drawn cell ("Antal :" on the progress window).
void CountLabel();

// Fits a text into a box: tries the fonts B, N, S, b, n, s in turn, measuring with
// `flags` | calculate (the measuring rectangle carries over from one try to the next), and draws
// it centred in the box with the first that fits, or from the box's top left corner with the
// last.
void FitTextInBox(std::string_view text, const CanvasRect& box, unsigned flags);

}  // namespace olbrax

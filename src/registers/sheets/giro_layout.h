// Where the fields of the three payment forms go, relative to the cell of the label sheet that
// holds the form: x from the cell's left edge, y down from its top edge, width and height, all in
// tenths of a millimetre. The printing places the fields by these tables and the form windows lay
// their edit fields over their pictures of the forms by the same tables.
#pragma once

#include <span>
#include <string_view>
#include <vector>

#include "base/text.h"
#include "printing/engine/canvas.h"

namespace olbrax {

using print::CanvasRect;

enum class GiroField { Message, Address, Giro, Payee, OwnAccount, Amount, Reference };

enum class GiroPlacement {
  Box,         // the whole text in one box
  CharBoxes,   // one character per box, the box of the last character given
  AmountBoxes  // the amount with ".00" in character boxes, with the steps below
};

struct GiroFieldPlace {
  GiroField field;
  GiroPlacement how;
  int x, y, width, height;    // the box, or the box of the last character
  double pitch = 0;           // character boxes: how far each box lies left of the next
  unsigned align = 0;         // a box: print::textbox::kLeft or kRight
  bool point_drawn = false;   // amount: the "." is drawn and counted like a digit
  int point_step = 0;         // amount: how far an undrawn "." moves the box left
  int group_step = 0;         // amount: the extra step left after the 5th and 8th character drawn
};

// The fields of a form kind (0 plusgiro, 1 postgiro, 3 bankgiro) in drawing order.
std::span<const GiroFieldPlace> GiroLayout(int kind);

// A box of the layout in a cell (y up: the box's top is the cell's top minus y).
CanvasRect PlaceInCell(const CanvasRect& cell, int x, int y, int width, int height);

// The amount as the boxes show it: at most 64 characters, ".00" added when it has no ".".
Text AmountBoxText(std::string_view amount);

// A character and the box it goes into.
struct CharInBox {
  char c;
  CanvasRect box;
};

// The boxes of a text placed in character boxes (CharBoxes or AmountBoxes; an amount text as
// AmountBoxText gives it), from the last character to the first, starting from the box `last`.
// Each box lies left of the one before by the pitch, rounded to the nearest integer with halves
// to the even neighbour; an undrawn "." and the group steps move the next box further.
std::vector<CharInBox> CharBoxesFor(std::string_view text, const CanvasRect& last, const GiroFieldPlace& place);

}  // namespace olbrax

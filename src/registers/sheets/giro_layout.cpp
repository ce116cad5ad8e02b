#include "registers/sheets/giro_layout.h"

#include "registers/data/giro_record.h"
#include "registers/sheets/sheet_print.h"

namespace olbrax {

namespace {

using G = GiroField;
using P = GiroPlacement;

constexpr GiroFieldPlace kPostgiroLayout[] = {
    {G::Reference, P::CharBoxes, 1040, 140, 50, 80, 63.5},
    {G::Message, P::Box, 190, 260, 900, 320},
    {G::Address, P::Box, 1170, 360, 880, 220},
    {G::Giro, P::CharBoxes, 1785, 140, 50, 80, 63.5},
    {G::Payee, P::Box, 1170, 255, 880, 80},
    {G::OwnAccount, P::Box, 150, 700, 650, 55},
    {G::Amount, P::AmountBoxes, 1855, 670, 55, 80, 63.5, 0, false, 34, 7},
};

constexpr GiroFieldPlace kPlusgiroLayout[] = {
    {G::Message, P::Box, 150, 140, 900, 470},
    {G::Address, P::Box, 1100, 360, 700, 220},
    {G::Giro, P::Box, 1100, 100, 370, 50},
    {G::Payee, P::Box, 1100, 185, 550, 140},
    {G::OwnAccount, P::Box, 1100, 625, 820, 55},
    {G::Amount, P::AmountBoxes, 1135, 780, 55, 50, 36.3, 0, true, 0, 4},
};

constexpr GiroFieldPlace kBankgiroLayout[] = {
    {G::Message, P::Box, 110, 90, 1930, 280},
    {G::Address, P::Box, 110, 420, 1000, 180},
    {G::Giro, P::Box, 1180, 670, 440, 55},
    {G::Payee, P::Box, 1150, 420, 850, 180},
    {G::OwnAccount, P::Box, 110, 670, 440, 55},
    {G::Amount, P::Box, 620, 670, 480, 55, 0, print::textbox::kRight},
};

void MoveLeft(CanvasRect& box, double step) {
  box.left = RoundHalfEven(box.left - step);
  box.right = RoundHalfEven(box.right - step);
}

}  // namespace

std::span<const GiroFieldPlace> GiroLayout(int kind) {
  switch (kind) {
    case kPlusgiro: return kPlusgiroLayout;
    case kPostgiro: return kPostgiroLayout;
    default: return kBankgiroLayout;
  }
}

CanvasRect PlaceInCell(const CanvasRect& cell, int x, int y, int width, int height) {
  CanvasRect box;
  box.left = cell.left + x;
  box.top = cell.top - y;
  box.right = box.left + width;
  box.bottom = box.top - height;
  return box;
}

Text AmountBoxText(std::string_view amount) {
  Text text = Cut(amount, 64);
  if (text.find('.') == Text::npos) text += ".00";
  return text;
}

std::vector<CharInBox> CharBoxesFor(std::string_view text, const CanvasRect& last, const GiroFieldPlace& place) {
  std::vector<CharInBox> out;
  CanvasRect box = last;
  const bool amount = place.how == GiroPlacement::AmountBoxes;
  int drawn = 0;
  for (std::size_t i = text.size(); i-- > 0;) {
    char c = text[i];
    if (amount && c == '.' && !place.point_drawn) {
      box.left -= place.point_step;
      box.right -= place.point_step;
      continue;
    }
    out.push_back({c, box});
    ++drawn;
    MoveLeft(box, place.pitch);
    if (amount && (drawn == 5 || drawn == 8)) {
      box.left -= place.group_step;
      box.right -= place.group_step;
    }
  }
  return out;
}

}  // namespace olbrax

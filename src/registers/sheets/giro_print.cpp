#include "registers/sheets/giro_print.h"

#include "registers/data/giro_register.h"
#include "registers/sheets/giro_layout.h"
#include "registers/sheets/sheet_print.h"

namespace olbrax {

using namespace print;

namespace {

Text FieldText(GiroField field) {
  switch (field) {
    case GiroField::Message: return GiroRec.gtxt.get();
    case GiroField::Address: return GiroRec.gadrtxt.get();
    case GiroField::Giro: return GiroRec.TillG.get();
    case GiroField::Payee: return GiroRec.Mottagare.get();
    case GiroField::OwnAccount: return GiroRec.EgetKonto.get();
    case GiroField::Amount: return GiroRec.AttBetala.get();
    case GiroField::Reference: return GiroRec.Referens.get();
  }
  return "";
}

void DrawForm(int kind, const CanvasRect& cell) {
  for (const GiroFieldPlace& place : GiroLayout(kind)) {
    CanvasRect box = PlaceInCell(cell, place.x, place.y, place.width, place.height);
    Text text = FieldText(place.field);
    if (place.how == GiroPlacement::Box) {
      FitText(text, box, place.align);
      continue;
    }
    if (place.how == GiroPlacement::AmountBoxes) text = AmountBoxText(text);
    for (const CharInBox& c : CharBoxesFor(text, box, place)) FitText(std::string_view(&c.c, 1), c.box, textbox::kLeft);
  }
}

}  // namespace

void PrintGiroForm(int kind) {
  switch (kind) {
    case kPlusgiro: return PrintOnSheet(DrawPlusgiroForm, "");
    case kPostgiro: return PrintOnSheet(DrawPostgiroForm, "");
    default: return PrintOnSheet(DrawBankgiroForm, "");
  }
}

void DrawPlusgiroForm(std::string_view, const CanvasRect& cell) { DrawForm(kPlusgiro, cell); }
void DrawPostgiroForm(std::string_view, const CanvasRect& cell) { DrawForm(kPostgiro, cell); }
void DrawBankgiroForm(std::string_view, const CanvasRect& cell) { DrawForm(kBankgiro, cell); }

void FitText(std::string_view text, const CanvasRect& box, unsigned align) {
  if (text.empty()) return;
  FitTextInBox(text, box, align | textbox::kNoClip);
}

}  // namespace olbrax

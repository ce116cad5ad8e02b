#include "printing/reports/print_sheet_target.h"

#include <cmath>

#include "printing/engine/print_engine.h"
#include "printing/reports/description_grid.h"
#include "printing/reports/report_setup.h"

namespace olbrax::print {

PrintSheetTarget::PrintSheetTarget() {
  int dpi = PrCanvas() ? PrCanvas()->Dpi() : 600;
  title_ = ToCanvasFont(Report.title, dpi);
  text_ = ToCanvasFont(Report.text, dpi);
  cell_ = ToCanvasFont(Report.cell, dpi);
}

Canvas* PrintSheetTarget::DrawCanvas() { return PrAborted() ? nullptr : PrCanvas(); }

int PrintSheetTarget::CellX(int i, int k) {
  // The print column's left edge, as TabToDots counts from it.
  return ColumnLeft() + (CurrentColumn - 1) * ColumnGap + print::CellX(i, k);
}

int PrintSheetTarget::RowTop() { return CursorY; }
double PrintSheetTarget::RowHeight() { return print::RowHeight(); }
double PrintSheetTarget::SymbolXFactor() { return 3.0 * Report.scale / 10.0; }
double PrintSheetTarget::SymbolYFactor() { return 2.0 * Report.scale / 10.0; }

void PrintSheetTarget::ReserveRow(double h) {
  FitsSpace(true, h);
  NeedSpace("", h);
}

void PrintSheetTarget::NextRow(double h) { SetLineY(-static_cast<int>(std::lround(h))); }

void DescriptionRow(int n, bool closing, const DescriptionSlot* slots) {
  PrintSheetTarget target;
  DescriptionPainter(target).Row(n, closing, slots);
}

}  // namespace olbrax::print

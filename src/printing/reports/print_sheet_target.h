// Descriptions on the print job: rows at the print cursor in printer dots, slots side by side in
// the print column, space checks that break the column or page before a row that does not fit.
#pragma once

#include "printing/reports/description_drawing.h"

namespace olbrax::print {

class PrintSheetTarget : public SheetTarget {
 public:
  // Makes the report fonts of ReportInit for the job's canvas.
  PrintSheetTarget();

  Canvas* DrawCanvas() override;
  int CellX(int i, int k) override;
  int RowTop() override;
  double RowHeight() override;
  double SymbolXFactor() override;
  double SymbolYFactor() override;
  const CanvasFont& TitleFont() override { return title_; }
  const CanvasFont& TextFont() override { return text_; }
  const CanvasFont& CellFont() override { return cell_; }
  void ReserveRow(double h) override;
  void NextRow(double h) override;

 private:
  CanvasFont title_, text_, cell_;
};

// DescriptionRow on the print job.
void DescriptionRow(int n, bool closing, const DescriptionSlot* slots);

}  // namespace olbrax::print

// The drawing of control descriptions, one implementation for the printed reports and the
// course image: rows of eight cells with their symbols and texts, drawn in three passes (top
// band with the symbols, bottom band, middle band), and the title row of a course sheet.
//
// Where the rows go and how big they are is the SheetTarget's business: the print job places
// them at the print cursor in printer dots and breaks columns and pages; the course image
// places them on its grid in pixels.
#pragma once

#include <string_view>

#include "base/text.h"
#include "competition/records/definition_recs.h"
#include "competition/records/route_recs.h"
#include "printing/engine/canvas.h"

namespace olbrax::print {

// One description of a row: a control, the closing row of a sheet, or nothing.
struct DescriptionSlot {
  enum Kind { kNothing, kControl, kClosing };
  Kind kind = kNothing;
  TKontrRec control{};
};

class SheetTarget {
 public:
  virtual ~SheetTarget() = default;
  // The canvas to draw on; null while nothing may be drawn (an aborted print job).
  virtual Canvas* DrawCanvas() = 0;
  // The canvas x of cell k of slot i (k < 0: the text position inside cell |k|; 9: the column
  // end after cell 8).
  virtual int CellX(int i, int k) = 0;
  // The top of the row to be drawn.
  virtual int RowTop() = 0;
  // The height of a full row; each text band is a third of it.
  virtual double RowHeight() = 0;
  // The stretch of a symbol pixel across and down.
  virtual double SymbolXFactor() = 0;
  virtual double SymbolYFactor() = 0;
  virtual const CanvasFont& TitleFont() = 0;
  virtual const CanvasFont& TextFont() = 0;
  virtual const CanvasFont& CellFont() = 0;
  // Before a description row of height h (the print job checks the space and breaks).
  virtual void ReserveRow(double h) = 0;
  // After a row of height h: down to the next row.
  virtual void NextRow(double h) = 0;
};

class DescriptionPainter {
 public:
  explicit DescriptionPainter(SheetTarget& target) : t_(target) {}

  // One row of descriptions for slots 1..n (DescriptionRow); a closing row is a third high.
  void Row(int n, bool closing, const DescriptionSlot* slots);
  // The title row of n course sheets: titles[i] in cell 1, lengths[i] (already right-aligned) in
  // cell 5, over cells drawn with the column-end symbol.
  void TitleRow(int n, const Text* titles, const Text* lengths);

  // One cell: in pass 1 the symbol (one band for the "exi" marker, nothing for "nul"), then the
  // text of the pass (CellSymbol).
  void CellSymbol(int pass, int i, int k, std::string_view text, const TRoute24Rec& symbol);
  // The text of a cell in the band of the pass, or the diagonal stroke of a "/" (CellText).
  void CellText(int pass, int i, int k, std::string_view text);

 private:
  void TextAt(int x, int y, std::string_view text, const CanvasFont& font);
  void SlotPass(int pass, int i, const DescriptionSlot& slot);

  SheetTarget& t_;
  int pen_x_ = 0, pen_y_ = 0;
};

// Whether a control code begins with one of the letters (upper case).
bool CodeStartsWith(std::string_view code, std::string_view letters);

// The slot of row r (1-based) of a course sheet, the same for the printed sheets and the course
// image: the closing row just after the last control and nothing after it; otherwise the
// control of the course from the control register. Column A of a control other than the first
// and the last gets its running number when empty: r minus the "T" controls before it (with
// the start as a "T" control, the first control after it is number 1). A control missing from
// the register gets a made-up description: the number, the code, and "finns", "inte", "data".
// `t_count` counts the "T" controls so far.
DescriptionSlot CourseSlot(const TTrackRec& course, int r, int& t_count);

}  // namespace olbrax::print

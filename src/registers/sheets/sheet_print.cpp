#include "registers/sheets/sheet_print.h"

#include <cmath>
#include <cstdlib>

#include "base/messages.h"
#include "printing/config/configuration.h"
#include "printing/engine/job_from_config.h"
#include "printing/engine/print_engine.h"
#include "registers/data/label_record.h"

namespace olbrax {

using namespace print;

SheetPrintState SheetState;

namespace {

constexpr char kFitFonts[] = {'B', 'N', 'S', 'b', 'n', 's'};

// The engine's printable width and height are in dots and the cell in tenths of a millimetre;
// the two are compared as plain numbers, as they always have been.
bool OffSheet(const CanvasRect& cell) { return std::abs(cell.top) > PrintableHeight || cell.left > PrintableWidth; }

// The notice for an environment whose first cell lies outside the printable area, with the
// captions of the configuration dialog's fields.
Text OutsideText(const TLabelEnvironment& e) {
  return "F\xF6rsta etiketten hamnar utanf\xF6r arket: v\xE4nstermarg " + std::to_string(e.left) + ", topmarginal " +
         std::to_string(e.top) + ", kolumndeln " + std::to_string(e.column_pitch) + ", raddelning " +
         std::to_string(e.row_pitch) + " (0,1 mm). Inget skrivs ut.";
}

// Ends a job that was started but must not print anything.
void Refuse() {
  PrCancel();
  printerexit(1, 0);
}

}  // namespace

int RoundHalfEven(double value) {
  double low = std::floor(value);
  double rest = value - low;
  if (rest > 0.5 || (rest == 0.5 && std::fmod(low, 2.0) != 0.0)) low += 1.0;
  return static_cast<int>(low);
}

CanvasRect SheetCell(const TLabelEnvironment& e, int row, int column) {
  const double cp = e.column_pitch, rp = e.row_pitch;
  const double dx = (cp - e.width) / 2.0, dy = (rp - e.height) / 2.0;
  CanvasRect cell;
  cell.left = RoundHalfEven(e.left + (column - 1) * cp + dx);
  cell.right = RoundHalfEven(e.left + column * cp - dx);
  cell.top = -RoundHalfEven(e.top + (row - 1) * rp + dy);
  cell.bottom = -RoundHalfEven(e.top + row * rp - dy);
  return cell;
}

bool BeginSheetPrint(std::string_view title, platform::Window owner) {
  SheetState = SheetPrintState{};
  SheetState.begun = true;
  SheetState.saved = CurrentLabelEnvironment;
  SheetState.copies = CurrentLabelEnvironment.copies;
  if (SheetState.copies <= 0) SheetState.copies = AskNumber(owner, 1, "Antal kopior:");
  if (!printerinit(Cut(title, 64), JobFromPrinterSetup(CurrentLabelEnvironment.setup), owner)) return false;
  if (!PrMetricMapping(true)) {
    ShowTextAsIs(201, "Kan ej skapa vald skrivare enligt inst\xE4llningar");
    Refuse();
    return false;
  }
  // A first cell off the sheet would make every placement start a new sheet without end.
  if (OffSheet(SheetCell(CurrentLabelEnvironment, 1, 1))) {
    ShowText(201, OutsideText(CurrentLabelEnvironment));
    Refuse();
    return false;
  }
  return true;
}

void PrintOnSheet(SheetDraw draw, std::string_view text) {
  TLabelEnvironment& env = CurrentLabelEnvironment;
  if (env.per_row > 8) env.per_row = 8;  // the saved copy puts the number back at the end
  const int columns = env.per_row, rows = env.rows;
  SheetPrintState& s = SheetState;
  bool off = false;
  for (int i = 1; !PrAborted() && i <= s.copies; ++i) {
    CanvasRect cell;
    do {
      ++s.column;
      if (s.column > columns || off) {
        s.column = 1;
        ++s.row;
        if (off || s.row > rows) {
          ++s.sheet;
          ShowStatusLine(2, "Ark nr:" + IntStr(s.sheet, 3));
          PopFont();
          PrNewPage();
          PushFont('N');
          s.row = 1;
        }
      }
      cell = SheetCell(env, s.row, s.column);
      off = OffSheet(cell);
    } while (off && !PrAborted());
    draw(text, cell);
  }
}

void EndSheetPrint() {
  printerexit(1, 0);
  if (!SheetState.begun) return;
  SheetState.begun = false;
  CurrentLabelEnvironment = SheetState.saved;
  if (CurrentLabelEnvironment.copies <= 0) CurrentLabelEnvironment.copies = 1;
}

void FitTextInBox(std::string_view text, const CanvasRect& box, unsigned flags) {
  CanvasRect measured = box;
  for (std::size_t f = 0; f < sizeof kFitFonts; ++f) {
    PushFont(kFitFonts[f]);
    PrTextBox(measured, text, flags | textbox::kCalcRect);
    bool fits = measured.right <= box.right && measured.bottom >= box.bottom;
    if (fits) {
      CanvasRect at{box.left + RoundHalfEven((box.right - measured.right) / 2.0),
                    box.top + RoundHalfEven((box.bottom - measured.bottom) / 2.0), box.right, box.bottom};
      PrTextBox(at, text, flags);
      PopFont();
      return;
    }
    if (f + 1 == sizeof kFitFonts) {
      CanvasRect at = box;
      PrTextBox(at, text, flags);
    }
    PopFont();
  }
}

void DrawLabel(std::string_view text, const CanvasRect& cell) {
  ShowStatusLine(1, LabelKey(text));
  LabelPictureInfo picture = LabelPicture(text);
  if (picture.is_picture) {
    if (!DrawPictureFile(cell.left, cell.top, cell.right, cell.bottom, picture.path)) {
      // The cell stays empty and the job goes on.
      ++SheetState.pictures_missing;
      ShowText(1, "kan ej ladda filen \"" + picture.path + "\"");
      return;
    }
    CountLabel();
    return;
  }
  CountLabel();
  FitTextInBox(text, cell, textbox::kWordBreak | textbox::kExternalLeading | textbox::kNoClip);
}

void CountLabel() {
  ++SheetState.labels_printed;
  ShowStatusLine(3, "Antal :" + IntStr(SheetState.labels_printed, 3));
}

}  // namespace olbrax

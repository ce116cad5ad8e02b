// "rutbeskrivningar": the route-description register in three forms: 'd' the key words, texts
// and byte values, 'p' a summary with every symbol drawn as a description cell, 'b' a form for
// drawing symbols by hand.
#include <algorithm>
#include <cmath>
#include <vector>

#include "base/messages.h"
#include "competition/archive.h"
#include "competition/records/route_recs.h"
#include "printing/config/configuration.h"
#include "printing/engine/print_engine.h"
#include "printing/reports/definition_reports.h"
#include "printing/reports/description_grid.h"
#include "printing/reports/print_sheet_target.h"
#include "printing/reports/report_setup.h"
#include "printing/reports/symbol_bitmap.h"

namespace olbrax::print {

namespace {

const char* const kBandNames[3] = {"I", "II", "III"};

// 'd': number, key word and text, then the byte values of every band and byte row.
void DataEntry(const TRoute24Rec& e) {
  FitsLinesAndSpace(true, RowHeight(), 21);
  NeedLines("", 1);
  PrintLine(IntStr(e.RouteNumber, 3) + " " + e.RouteKey.get() + " " + e.RouteText.get());
  for (int g = 0; g < 3 && !PrAborted(); ++g) {
    NeedLines("", 1);
    PrintLine(PadLeft(kBandNames[g], ' ', 3));
    for (int r = 0; r < 3; ++r)
      for (int half = 0; half < 2; ++half) {
        Text line = IntStr(r + 1, 1) + ".";
        for (int c = half * 24; c < half * 24 + 24; ++c) line += " " + IntStr(e.RouteSymbol[g][r][c], 3);
        NeedLines("", 1);
        PrintLine(line);
      }
  }
  NeedLines("", 1);
  PrintLine("");
}

// 'b': a form of the pixels, one line per bit of every byte row.
void FormEntry(const TRoute24Rec& e) {
  const Text frame_top = FillStr('=', 60), frame_row = FillStr('-', 60);
  Text tens = "    ", units = "    ";
  for (int c = 1; c <= 48; ++c) {
    tens += c % 10 == 0 ? static_cast<char>('0' + c / 10) : ' ';
    units += static_cast<char>('0' + c % 10);
  }
  NeedLines("", 4);
  PrintLine(IntStr(e.RouteNumber, 3) + " " + e.RouteKey.get() + " " + e.RouteText.get());
  PrintLine(frame_top);
  PrintLine(tens);
  PrintLine(units);
  for (int g = 0; g < 3 && !PrAborted(); ++g)
    for (int r = 0; r < 3; ++r) {
      NeedLines("", 12);
      PrintLine(PadRight(kBandNames[g], ' ', 4) + IntStr(r + 1, 1));
      for (int bit = 0; bit < 8; ++bit) {
        const char digit = static_cast<char>('1' + bit);
        Text line = Text(1, digit) + "   ";
        for (int c = 0; c < 48; ++c) line += (e.RouteSymbol[g][r][c] & (0x80 >> bit)) ? digit : '-';
        PrintLine(line + " ! " + IntStr(0x80 >> bit, 3));
      }
      // The byte values in two halves of 24 columns, so that the line stays on the page.
      for (int half = 0; half < 2; ++half) {
        Text bytes = "   !";
        for (int c = half * 24; c < half * 24 + 24; ++c) bytes += " " + IntStr(e.RouteSymbol[g][r][c], 3);
        PrintLine(bytes);
      }
      PrintLine(frame_row);
    }
  NeedLines("", 2);
  PrintLine(frame_top);
  PrintLine("");
}

// 'p': the symbol as one description cell, with the number, own number, key word and text at the
// height of its bottom band.
void SummaryEntry(const TRoute24Rec& e) {
  const int row = RowHeight();
  FitsSpace(true, row);
  NeedSpace("", row);
  TabToChar(12);
  const int top = CursorY;
  PrintSheetTarget target;
  if (Canvas* c = target.DrawCanvas())
    c->DrawMonoBitmap(CursorX, top, SymbolBitmap(e, 3, 3), target.SymbolXFactor(), target.SymbolYFactor());
  const int bottom_band = top + static_cast<int>(std::lround(2.0 * row / 3.0));
  SetLineY(bottom_band - TopMargin);
  TabToChar(24);
  PrintText(IntStr(e.RouteNumber, 3));
  TabToChar(30);
  PrintText(IntStr(e.OwnRef, 3));
  TabToChar(34);
  PrintText(e.RouteKey.get());
  TabToChar(58);
  PrintText(e.RouteText.get());
  SetLineY(top + row - TopMargin);
  NeedLines("", 1);
  PrintLine("");
}

}  // namespace

ReportResult RouteDescriptionReport(platform::Window owner, const Picker& pick, char mode) {
  if (!RouteFile || UsedRecs(RouteFile) <= 0) return ReportResult::kNothing;
  if (GeneralSettings.RouteFormat != 1) {
    // The short form has no 48 × 72 symbols to show.
    ShowText(1, "Rutbeskrivningarna \xE4r i kort form, utan symboler 48x72");
    return ReportResult::kNothing;
  }
  std::vector<std::int32_t> refs = pick(owner, PickKind::kRoutes, "V\xE4lj rutbeskrivning(ar)", true);
  if (refs.empty()) return ReportResult::kNothing;
  if (!StartReportJob(owner, "rutbeskr")) return ReportResult::kNoPrinter;
  ReportInit();
  const int total = static_cast<int>(refs.size());
  PrintHeading("rutbeskrivningar (" + Text(kSymbolWidth) + Text(kSymbolHeight) + " Skala " +
               ScaleText(DescriptionScale()) + " Antal: " + IntStr(total, 4));
  CompetitionHeader();
  PrintSheetTarget target;
  int count = 0;
  for (int index = 0; index < total && !PrAborted(); ++index) {
    ShowProgress(index + 1, total);
    if (!ReadEntry(PickKind::kRoutes, refs[static_cast<std::size_t>(index)])) continue;
    const TRoute24Rec entry = Route24Rec;
    ++count;
    ShowStatusLine(1, "ruta:" + IntStr(entry.RouteNumber, 3) + " S\xF6kText: " + entry.RouteKey.get());
    ShowText(1, entry.RouteKey.get());
    if (mode == 'p') {
      PushFont('S');
      SummaryEntry(entry);
      PopFont();
    } else {
      PushGivenFont(target.CellFont());
      if (mode == 'b') FormEntry(entry);
      else DataEntry(entry);
      PopFont();
    }
  }
  return FinishReport("Antal utskrivna rutbeskrivningar " + IntStr(count, 4) + " [" + IntStr(UsedRecs(RouteFile), 4) +
                      "]");
}

}  // namespace olbrax::print

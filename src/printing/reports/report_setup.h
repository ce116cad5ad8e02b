// What every definition report and the course image share: the description scale, the report
// fonts, the class–course table and the special symbols, made by ReportInit and released by
// ReportDone.
//
// The symbols are 48 × 72-pixel pictures of the route-description register (long form); a
// description column whose text is a symbol's key word is drawn as that symbol. Four special
// symbols are looked up once: the cell default "_VU" (or "XVU"), the start/finish default "_U"
// (or "XU"), the column end "_V" (or "XV") and an empty one.
#pragma once

#include <array>
#include <map>
#include <optional>
#include <string_view>
#include <tuple>
#include <vector>

#include "base/text.h"
#include "competition/records/route_recs.h"
#include "printing/engine/canvas.h"

namespace olbrax::print {

inline constexpr int kMaxClassCourses = 80;
// The symbol size every heading names.
inline constexpr std::string_view kSymbolWidth = "48", kSymbolHeight = "x72).";

// A font of the reports: face, height in pixels at 96 per inch (the cell height, as the fonts of
// the configuration), bold, fixed pitch.
struct ReportFont {
  Text face;
  int height96 = 0;
  bool fixed_pitch = false;
};
// The canvas font for a canvas of `dpi` dots per inch.
CanvasFont ToCanvasFont(const ReportFont& font, int dpi);

// One class of the class–course table.
struct ClassCourse {
  Text name;
  int count = 0;                   // entrants of the class
  std::array<Text, 5> course{};    // course of stage 1..InfoRec.StrNr
};

struct ReportData {
  int scale = 10;  // tenths
  ReportFont title, text, cell;
  std::vector<ClassCourse> classes;
  TRoute24Rec cell_default{}, start_default{}, column_end{}, empty{};
  // Symbols looked up so far by key word (nullopt: not a key word).
  std::map<Text, std::optional<TRoute24Rec>> symbols;
  // Their pictures as drawn so far, by symbol, kind of cell and bands (see CellBitmap).
  std::map<std::tuple<const TRoute24Rec*, int, int>, MonoBitmap> bitmaps;
};
extern ReportData Report;

// The description scale s in tenths: InfoRec.banPrSkalaW, which becomes 10 when it is 0.
int DescriptionScale();
// s ÷ 10 with one decimal in a field of 3: "1.2".
Text ScaleText(int scale);

// "Initierar" on the message line; the print fonts of the scale, the class–course table and the
// special symbols. ReportDone then also runs at the end of the program.
void ReportInit();
void ReportDone();
// The parts ReportInit makes that the course image shares.
void MakeClassCourseTable();
void LoadSpecialSymbols();

// The symbol of a description text: the route-description entry whose key word the text is,
// or null. Only the long-form register holds 48 × 72 symbols; with the short form in use no
// text is a symbol.
const TRoute24Rec* FindSymbol(std::string_view text);

// SymbolBitmap of a symbol held by Report (a special symbol or one FindSymbol found), made once
// per report: a sheet draws the same few symbols thousands of times.
const MonoBitmap& CellBitmap(const TRoute24Rec& symbol, int cell, int bands);

}  // namespace olbrax::print

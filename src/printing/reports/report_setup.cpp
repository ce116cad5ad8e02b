#include "printing/reports/report_setup.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "base/messages.h"
#include "competition/archive.h"
#include "competition/records/class_rec.h"
#include "competition/records/competition_rec.h"
#include "competition/registers/definitions.h"
#include "competition/registers/register_find.h"
#include "competition/registers/shared_registers.h"
#include "printing/config/configuration.h"
#include "printing/reports/report_picks.h"
#include "printing/reports/symbol_bitmap.h"

namespace olbrax::print {

ReportData Report;

namespace {

int Round(double v) { return static_cast<int>(std::lround(v)); }

// Reads a route-description entry into `out`; false when there is none of that key word.
bool ReadSymbol(std::string_view key, TRoute24Rec& out) {
  if (GeneralSettings.RouteFormat != 1 || !RouteFile) return false;
  std::int32_t ref = 0;
  bool at_end = false, found = false;
  FindRoute(kFindExact, key, ref, at_end, found);
  NoteReadFailure();
  if (found) out = Route24Rec;
  return found;
}

void LoadSpecial(std::string_view underscore, std::string_view x_form, TRoute24Rec& out) {
  std::memset(&out, 0, sizeof out);
  if (!ReadSymbol(underscore, out)) ReadSymbol(x_form, out);
}

}  // namespace

CanvasFont ToCanvasFont(const ReportFont& f, int dpi) {
  CanvasFont c;
  c.face = f.face;
  c.bold = true;
  c.fixed_pitch = f.fixed_pitch;
  // A positive font height is the cell height; the character (em) height is about 1/1.15 of it
  // for these faces, as for the fonts of the print environments.
  c.pixels = std::max(1, Round(f.height96 * dpi / 96.0 / 1.15));
  return c;
}

int DescriptionScale() {
  if (InfoRec.banPrSkalaW == 0) InfoRec.banPrSkalaW = 10;
  return InfoRec.banPrSkalaW;
}

Text ScaleText(int scale) { return IntStr(scale / 10, 1) + "." + IntStr(scale % 10, 1); }

void MakeClassCourseTable() {
  Report.classes.clear();
  if (!KlassFile || UsedRecs(KlassFile) <= 0) return;
  std::int32_t last = FileLen(KlassFile) - 1;
  int stages = std::clamp<int>(InfoRec.StrNr, 1, 5);
  int d = std::clamp<int>(InfoRec.MellanTid, 0, 25);
  for (std::int32_t ref = 1; ref <= last && static_cast<int>(Report.classes.size()) < kMaxClassCourses; ++ref) {
    std::int32_t r = ref;
    bool at_end = false, found = false;
    FindClassByName(kFindRecord, "", r, at_end, found);
    if (NoteReadFailure()) break;
    if (!found) continue;
    ClassCourse c;
    c.name = KlassRec.Bet.get();
    c.count = KlassRec.Count[0][d];
    for (int s = 0; s < stages; ++s) c.course[static_cast<std::size_t>(s)] = KlassRec.Bana[s].get();
    Report.classes.push_back(std::move(c));
  }
}

void LoadSpecialSymbols() {
  Report.symbols.clear();
  Report.bitmaps.clear();
  LoadSpecial("_VU", "XVU", Report.cell_default);
  LoadSpecial("_U", "XU", Report.start_default);
  LoadSpecial("_V", "XV", Report.column_end);
  std::memset(&Report.empty, 0, sizeof Report.empty);
}

const TRoute24Rec* FindSymbol(std::string_view text) {
  Text key(text);
  auto it = Report.symbols.find(key);
  if (it == Report.symbols.end()) {
    TRoute24Rec rec;
    std::optional<TRoute24Rec> symbol;
    if (!text.empty() && ReadSymbol(text, rec)) symbol = rec;
    it = Report.symbols.emplace(std::move(key), symbol).first;
  }
  return it->second ? &*it->second : nullptr;
}

void ReportInit() {
  static bool at_exit = false;
  ShowText(1, "Initierar");
  int s = DescriptionScale();
  Report.scale = s;
  Report.title = {"Arial", Round(14.0 * s / 10), false};
  Report.text = {"Arial", Round(12.0 * s / 10), false};
  Report.cell = {"Courier New", Round(6.5 * s / 10), true};
  MakeClassCourseTable();
  LoadSpecialSymbols();
  if (!at_exit) {
    at_exit = true;
    std::atexit(ReportDone);
  }
}

const MonoBitmap& CellBitmap(const TRoute24Rec& symbol, int cell, int bands) {
  // Cells differ only in the widening of cell 2 and the doubled line of cells 1, 4 and 7.
  const int kind = cell == 2 ? 2 : (cell == 1 || cell == 4 || cell == 7) ? 1 : 3;
  auto key = std::make_tuple(&symbol, kind, bands);
  auto it = Report.bitmaps.find(key);
  if (it == Report.bitmaps.end()) it = Report.bitmaps.emplace(key, SymbolBitmap(symbol, kind, bands)).first;
  return it->second;
}

void ReportDone() {
  Report.classes.clear();
  Report.classes.shrink_to_fit();
  Report.symbols.clear();
  Report.bitmaps.clear();
}

}  // namespace olbrax::print

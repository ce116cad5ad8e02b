#include "shell/reglist/pick_lists.h"

#include "competition/records/class_rec.h"
#include "competition/records/definition_recs.h"
#include "competition/records/route_recs.h"
#include "competition/registers/definitions.h"
#include "competition/registers/shared_registers.h"
#include "printing/config/configuration.h"

namespace olbrax {

// --- Classes -----------------------------------------------------------------------------------

TKlassPick::TKlassPick(platform::Window owner, std::string_view title, bool multi, int kfilter, std::int32_t param,
                       bool sort)
    : TEPick(owner, sort, multi, param, title), kfilter_(kfilter) {
  Init();
}

bool TKlassPick::doTheFilter() {
  Text name = KlassRec.Bet.get();
  switch (kfilter_) {
    case kOpenOnly: return IsOpenClass(name);
    case kOrdinaryOnly: return !IsOpenClass(name);
    case kContainsE: return name.find('E') != Text::npos;
    default: return true;
  }
}

void TKlassPick::FormPickStr(Text& text) { text = KlassRec.Bet.get(); }

void TKlassPick::FixtSelect(int mode, std::string_view key, bool& at_end, bool& found, std::int32_t& rec) {
  FindClassBySortKey(mode, key, rec, at_end, found);
}

// --- Courses -----------------------------------------------------------------------------------

TBanPick::TBanPick(platform::Window owner, std::string_view title, bool multi, std::int32_t param, bool sort)
    : TEPick(owner, sort, multi, param, title) {
  Init();
}

void TBanPick::FormPickStr(Text& text) { text = TrackRec.Bana.get(); }

void TBanPick::FixtSelect(int mode, std::string_view key, bool& at_end, bool& found, std::int32_t& rec) {
  FindCourse(mode, key, rec, at_end, found);
}

// --- Controls ----------------------------------------------------------------------------------

TKontrPick::TKontrPick(platform::Window owner, std::string_view title, bool multi, std::int32_t param, bool sort)
    : TEPick(owner, sort, multi, param, title) {
  Init();
}

void TKontrPick::FormPickStr(Text& text) { text = KontrRec.KodNr.get(); }

void TKontrPick::FixtSelect(int mode, std::string_view key, bool& at_end, bool& found, std::int32_t& rec) {
  FindControl(mode, key, rec, at_end, found);
}

// --- Route descriptions ------------------------------------------------------------------------

TRutbPick::TRutbPick(platform::Window owner, std::string_view title, bool multi, std::int32_t param, bool sort)
    : TEPick(owner, sort, multi, param, title) {
  Init();
}

void TRutbPick::FormPickStr(Text& text) {
  // FindRoute reads into the buffer of the format in use, so the text comes from that buffer.
  if (GeneralSettings.RouteFormat == 1) text = Route24Rec.RouteKey.get() + " " + Route24Rec.RouteText.get();
  else text = RouteRec.RouteKey.get() + " " + RouteRec.RouteText.get();
}

void TRutbPick::FixtSelect(int mode, std::string_view key, bool& at_end, bool& found, std::int32_t& rec) {
  FindRoute(mode, key, rec, at_end, found);
}

}  // namespace olbrax

#include "competition/registers/shared_registers.h"

#include "base/messages.h"
#include "competition/archive.h"
#include "competition/records/club_recs.h"
#include "competition/records/competition_rec.h"
#include "competition/records/route_recs.h"
#include "competition/registers/register_find.h"
#include "printing/config/configuration.h"

namespace olbrax {

// --- Districts ---------------------------------------------------------------------------------

void FindDistrict(int mode, std::string_view key, std::int32_t& ref, bool& at_end, bool& found) {
  FindIn(DistrFile, 1, mode, key, 2, false, DistrRec, DistrictState, ref, at_end, found);
}

void PutDistrict(bool adding, std::int32_t& ref) {
  if (adding && UsedRecs(DistrFile) >= kMaxDistricts) {
    ref = 0;
    ShowText(1, "F\xF6r m\xE5nga distrikt >" + std::to_string(kMaxDistricts) + " kan ej addera!");
    return;
  }
  Text dnr = DistrRec.Dnr.get();
  ToStorage(DistrRec);
  if (adding) {
    DistrRec.DataStatus = 0;
    AddRec(DistrFile, ref, &DistrRec);
    if (!IsamOK) return FromStorage(DistrRec);
    DistrictState.changed = 1;
    DistrictState.last_found = ref;
  }
  if (DistrRec.Dnr.empty()) DistrRec.Dnr.set("99");
  PutRec(DistrFile, ref, &DistrRec);
  AddKey(DistrFile, 1, ref, DistrRec.Dnr.get());
  DistrRec.Dnr.set(dnr);
  FromStorage(DistrRec);
}

void RewriteDistrict(std::int32_t ref) {
  ToStorage(DistrRec);
  PutRec(DistrFile, ref, &DistrRec);
  FromStorage(DistrRec);
}

void DeleteDistrict(bool by_ref, std::string_view key_in, std::int32_t ref, bool remove_record) {
  Text key(key_in.substr(0, std::min<std::size_t>(key_in.size(), 2)));
  if (!DistrFile) return;
  if (!by_ref) {
    FindKey(DistrFile, 1, ref, key);
    if (!IsamOK) ref = 0;
  }
  if (ref <= 0 || ref >= FileLen(DistrFile)) return;
  GetRec(DistrFile, ref, &DistrRec);
  DeleteKey(DistrFile, 1, ref, DistrRec.Dnr.get());
  if (remove_record) {
    DeleteRec(DistrFile, ref);
    DistrictState.changed = 1;
    ShowText(1, "Distriktet " + DistrRec.Dnr.get() + " \"" + DistrRec.Dname.get() + "\", raderad....");
    DistrRec.Dname.set("");
  }
  FromStorage(DistrRec);
}

bool SuggestDistrict() {
  ClearDistrict();
  DistrRec.Dnr.set(ZeroStr(FileLen(DistrFile), 2));
  return UsedRecs(DistrFile) < kMaxDialogDistricts;
}

Text DistrictExistsText(std::string_view number) {
  return "Distriktet finns redan registrerad. \"" + Text(number) + "\" M\xE5ste vara unik.";
}

// --- Clubs -------------------------------------------------------------------------------------

void FindClub(int mode, std::string_view key, std::int32_t& ref, bool& at_end, bool& found) {
  FindIn(ClubFile, 1, mode, key, 30, true, ClubRec, ClubState, ref, at_end, found);
}

void PutClub(bool adding, std::int32_t& ref) {
  if (adding && UsedRecs(ClubFile) >= kMaxClubs) {
    ref = 0;
    ShowText(1, "F\xF6r m\xE5nga klubbar >" + std::to_string(kMaxClubs) + " kan ej addera!");
    return;
  }
  ToStorage(ClubRec);
  ClubRec.ClubName.set(UpStr(ClubRec.ClubName.get()));
  Text name = ClubRec.ClubName.get();
  if (adding) {
    ClubRec.DataStatus = 0;
    AddRec(ClubFile, ref, &ClubRec);
    if (!IsamOK) return FromStorage(ClubRec);
    ClubState.changed = 1;
    ClubState.last_found = ref;
  }
  if (ClubRec.ClubName.empty()) ClubRec.ClubName.set("XXX");
  PutRec(ClubFile, ref, &ClubRec);
  AddKey(ClubFile, 1, ref, ClubRec.ClubName.get());
  ClubRec.ClubName.set(name);
  FromStorage(ClubRec);
}

// --- Route descriptions ------------------------------------------------------------------------

void FindRoute(int mode, std::string_view key, std::int32_t& ref, bool& at_end, bool& found) {
  if (GeneralSettings.RouteFormat == 1)
    FindIn(RouteFile, 1, mode, key, 0, true, Route24Rec, Route24State, ref, at_end, found);
  else
    FindIn(RouteFile, 1, mode, key, 0, true, RouteRec, RouteState, ref, at_end, found);
}

template <class Rec>
static void PutRouteRec(Rec& r, RegisterState& state, bool adding, std::int32_t& ref) {
  ToStorage(r);
  if (adding) {
    r.DataStatus = 0;
    AddRec(RouteFile, ref, &r);
    if (!IsamOK) return FromStorage(r);
    state.changed = 1;
    state.last_found = ref;
    r.OwnRef = static_cast<std::int16_t>(ref);
  }
  if (r.RouteKey.empty()) r.RouteKey.set("XXX");
  PutRec(RouteFile, ref, &r);
  AddKey(RouteFile, 1, ref, r.RouteKey.get());
  FromStorage(r);
}

void PutRoute(bool adding, std::int32_t& ref) { PutRouteOfFormat(GeneralSettings.RouteFormat, adding, ref); }

void PutRouteOfFormat(std::uint8_t format, bool adding, std::int32_t& ref) {
  if (format == 1) PutRouteRec(Route24Rec, Route24State, adding, ref);
  else PutRouteRec(RouteRec, RouteState, adding, ref);
}

// --- Display names -----------------------------------------------------------------------------

Text DisplayName(bool force, std::string_view name) {
  if (!force && !InfoRec.gemen) return Text(name);
  static constexpr std::string_view kWords[30] = {"OK",  "GoIF", "IF",  "iss", "IK", "AIS", "SOK", "SoIK",
                                                   "AIF", "AIK",  "BK",  "SF",  "OC", "GIF", "IFK", "SK",
                                                   "FK",  "OLG",  "OL",  "IL",  "OLV", "OS", "OF",  "KFUM",
                                                   "AI",  "OKN",  "GF",  "SIA", "OLC", "GN"};
  Text t = " " + ProperStr(name.substr(0, std::min<std::size_t>(name.size(), 255))) + " ";
  for (std::string_view w : kWords) {
    Text needle = " " + UpStr(w) + " ";
    std::size_t at = UpStr(t).find(needle);
    if (at != Text::npos) t.replace(at + 1, w.size(), w);
  }
  return t.substr(1, t.size() - 2);
}

}  // namespace olbrax

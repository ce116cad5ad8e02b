#include "competition/registers/shared_registers.h"

#include "base/messages.h"
#include "competition/archive.h"
#include "competition/records/club_recs.h"
#include "competition/records/competition_rec.h"
#include "competition/records/route_recs.h"
#include "competition/registers/register_change.h"
#include "competition/registers/register_find.h"
#include "printing/config/configuration.h"

namespace olbrax {

// --- Districts ---------------------------------------------------------------------------------

void FindDistrict(int mode, std::string_view key, std::int32_t& ref, bool& at_end, bool& found) {
  FindIn(DistrFile, 1, mode, key, 2, false, DistrRec, DistrictState, ref, at_end, found, kEmptyDistrictKey);
}

namespace {

const RegisterKey<TDistrRec> kDistrictKey{1, false, [](const TDistrRec& r) { return r.Dnr.get(); }};
const RegisterKey<TClubRec> kClubKey{1, false, [](const TClubRec& r) { return r.ClubName.get(); }};
const RegisterKey<TRouteRec> kRouteKey{1, true, [](const TRouteRec& r) { return r.RouteKey.get(); }};
const RegisterKey<TRoute24Rec> kRoute24Key{1, true, [](const TRoute24Rec& r) { return r.RouteKey.get(); }};

// A found or deleted record into its register's buffer.
template <class Rec>
void IntoBuffer(Rec& buffer, const Rec& stored) {
  buffer = stored;
  FromStorage(buffer);
}

}  // namespace

bool PutDistrict(bool adding, std::int32_t& ref) {
  if (adding && UsedRecs(DistrFile) >= kMaxDistricts) {
    ref = 0;
    ShowText(1, "F\xF6r m\xE5nga distrikt >" + std::to_string(kMaxDistricts) + " kan ej addera!");
    return false;
  }
  TDistrRec stored = DistrRec;
  ToStorage(stored);
  stored.Dnr.set(StoredKey(stored.Dnr.get(), kEmptyDistrictKey));
  if (!PutRegisterRecord(DistrFile, DistrictState, {kDistrictKey}, adding, ref, stored)) return false;
  IntoBuffer(DistrRec, stored);
  return true;
}

bool RewriteDistrict(std::int32_t ref) {
  TDistrRec stored = DistrRec;
  ToStorage(stored);
  RegisterChange change;
  change.WriteRecord(DistrFile, ref, stored);
  return change.Finish();
}

bool DeleteDistrict(bool by_ref, std::string_view key_in, std::int32_t ref, bool remove_record) {
  Text key = StoredKey(key_in.substr(0, std::min<std::size_t>(key_in.size(), 2)), kEmptyDistrictKey);
  if (!DistrFile) return false;
  if (!by_ref && !FindRecordForChange(DistrFile, 1, key, ref)) return false;
  if (ref <= 0 || ref >= FileLen(DistrFile)) return false;
  TDistrRec stored{};
  if (!DeleteRegisterRecord(DistrFile, {kDistrictKey}, ref, remove_record, stored)) return false;
  IntoBuffer(DistrRec, stored);
  if (remove_record) {
    DistrictState.changed = 1;
    ShowText(1, "Distriktet " + DistrRec.Dnr.get() + " \"" + DistrRec.Dname.get() + "\", raderad....");
    DistrRec.Dname.set("");
  }
  return true;
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

bool PutClub(bool adding, std::int32_t& ref) {
  if (adding && UsedRecs(ClubFile) >= kMaxClubs) {
    ref = 0;
    ShowText(1, "F\xF6r m\xE5nga klubbar >" + std::to_string(kMaxClubs) + " kan ej addera!");
    return false;
  }
  TClubRec stored = ClubRec;
  ToStorage(stored);
  stored.ClubName.set(StoredKey(UpStr(stored.ClubName.get())));
  if (!PutRegisterRecord(ClubFile, ClubState, {kClubKey}, adding, ref, stored)) return false;
  IntoBuffer(ClubRec, stored);
  return true;
}

// --- Route descriptions ------------------------------------------------------------------------

void FindRoute(int mode, std::string_view key, std::int32_t& ref, bool& at_end, bool& found) {
  if (GeneralSettings.RouteFormat == 1)
    FindIn(RouteFile, 1, mode, key, 0, true, Route24Rec, Route24State, ref, at_end, found);
  else
    FindIn(RouteFile, 1, mode, key, 0, true, RouteRec, RouteState, ref, at_end, found);
}

template <class Rec>
static bool PutRouteRec(Rec& r, RegisterState& state, const RegisterKey<Rec>& key, bool adding, std::int32_t& ref) {
  Rec stored = r;
  ToStorage(stored);
  stored.RouteKey.set(StoredKey(stored.RouteKey.get()));
  if (!PutRegisterRecord<Rec>(RouteFile, state, {key}, adding, ref, stored,
                              [](Rec& n, std::int32_t at) { n.OwnRef = static_cast<std::int16_t>(at); }))
    return false;
  IntoBuffer(r, stored);
  return true;
}

bool PutRoute(bool adding, std::int32_t& ref) { return PutRouteOfFormat(GeneralSettings.RouteFormat, adding, ref); }

bool PutRouteOfFormat(std::uint8_t format, bool adding, std::int32_t& ref) {
  if (format == 1) return PutRouteRec(Route24Rec, Route24State, kRoute24Key, adding, ref);
  return PutRouteRec(RouteRec, RouteState, kRouteKey, adding, ref);
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

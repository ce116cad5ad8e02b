// The registers shared by all competitions of a data directory: districts, clubs and route
// descriptions; and the display form of club and runner names.
#pragma once

#include <cstdint>
#include <string_view>

#include "base/text.h"

namespace olbrax {

inline constexpr int kMaxDistricts = 100;
inline constexpr int kMaxDialogDistricts = 99;
inline constexpr int kMaxClubs = 900;

void FindDistrict(int mode, std::string_view key, std::int32_t& ref, bool& at_end, bool& found);
// Put, Rewrite and Delete of the registers are each one change (competition/registers/
// register_change.h): false when it was refused or failed, which the user has been shown.
bool PutDistrict(bool adding, std::int32_t& ref);
bool RewriteDistrict(std::int32_t ref);
bool DeleteDistrict(bool by_ref, std::string_view key, std::int32_t ref, bool remove_record);
// Prepares the district buffer for adding in the dialog; false when 99 are in use.
bool SuggestDistrict();
Text DistrictExistsText(std::string_view number);

void FindClub(int mode, std::string_view key, std::int32_t& ref, bool& at_end, bool& found);
bool PutClub(bool adding, std::int32_t& ref);

void FindRoute(int mode, std::string_view key, std::int32_t& ref, bool& at_end, bool& found);
bool PutRoute(bool adding, std::int32_t& ref);
// PutRoute into the route file of `format` (1 long form RUTB24, else short form RUTBESKR)
// whichever format the configuration names: RouteFile must be that file.
bool PutRouteOfFormat(std::uint8_t format, bool adding, std::int32_t& ref);

// The display form of a club or runner name: unchanged unless forced or InfoRec.gemen is set;
// then capitals and small letters, with the club-name abbreviations of the word table.
Text DisplayName(bool force, std::string_view name);

}  // namespace olbrax

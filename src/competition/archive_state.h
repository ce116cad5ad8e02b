// The state of the data directory's file sets, shared by the menus and every register.
#pragma once

#include <cstdint>

namespace olbrax {

// The archive file exists and CLUBAR, DISTR and the route-description file are open.
extern bool ArchiveOpen;
// The entry set (classes, entrants, courses, statistics block) of the current competition.
extern bool CompetitionOpen;
// The definition set (classes, controls, courses, statistics block) of the current competition.
extern bool DefinitionsOpen;
// Number 1..8 of the selected competition, 0 for none.
extern std::int32_t CurrentCompetition;
// FileLen and UsedRecs of the archive, refreshed at every archive access.
extern std::int32_t ArchiveLength;
extern std::int32_t ArchiveCount;
// The type text of the competition read last contains "MOTION".
extern bool MotionCompetition;
// The route-description format whose file is open: 1 long form, otherwise short form.
extern std::uint8_t RouteFormatInUse;

// Changed flags (1 when records were added or a set was opened) and the last record found, read
// by the register lists to know when to reload.
struct RegisterState {
  int changed = 0;
  std::int32_t last_found = 0;
};
extern int ArchiveChanged;
extern RegisterState ClubState, DistrictState, RouteState, Route24State, ClassState, EntrantState,
    CourseState, ControlState;

// Back to the state of a program that has opened nothing (for tests).
void ResetArchiveState();

}  // namespace olbrax

#include "competition/archive_state.h"

#include <initializer_list>

namespace olbrax {

bool ArchiveOpen = false;
bool CompetitionOpen = false;
bool DefinitionsOpen = false;
std::int32_t CurrentCompetition = 0;
std::int32_t ArchiveLength = 0;
std::int32_t ArchiveCount = 0;
bool MotionCompetition = false;
std::uint8_t RouteFormatInUse = 0;
int ArchiveChanged = 0;
RegisterState ClubState, DistrictState, RouteState, Route24State, ClassState, EntrantState, CourseState,
    ControlState;

void ResetArchiveState() {
  ArchiveOpen = CompetitionOpen = DefinitionsOpen = false;
  CurrentCompetition = ArchiveLength = ArchiveCount = 0;
  MotionCompetition = false;
  RouteFormatInUse = 0;
  ArchiveChanged = 0;
  for (RegisterState* s : {&ClubState, &DistrictState, &RouteState, &Route24State, &ClassState, &EntrantState,
                           &CourseState, &ControlState})
    *s = RegisterState{};
}

}  // namespace olbrax

#include "competition/definition_switch.h"

#include "base/messages.h"
#include "competition/archive.h"
#include "competition/archive_state.h"

namespace olbrax {

bool WithDefinitionSet(const std::function<void()>& command) {
  if (CompetitionOpen) CloseCompetition();
  OpenDefinitions();
  const bool open = DefinitionsOpen;
  if (open) command();
  else ShowText(1, "Filerna inte \xF6ppna");
  if (DefinitionsOpen) CloseDefinitions();
  OpenCompetition();
  return open;
}

}  // namespace olbrax

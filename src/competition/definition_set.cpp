#include "competition/definition_set.h"

#include "base/messages.h"
#include "competition/archive.h"
#include "competition/archive_state.h"

namespace olbrax {

bool WithDefinitionSet(const std::function<void()>& command) {
  if (CompetitionOpen) CloseCompetition();
  OpenDefinitions();
  const bool opened = DefinitionsOpen;
  if (opened) command();
  else ShowText(1, "Filerna inte \xF6ppna");
  if (DefinitionsOpen) CloseDefinitions();
  OpenCompetition();
  return opened;
}

}  // namespace olbrax

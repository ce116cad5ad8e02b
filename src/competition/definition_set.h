// Commands on controls and courses run with the definition set of the current competition open:
// the entry set is closed first and opened again afterwards.
#pragma once

#include <functional>

namespace olbrax {

// Closes the entry set, opens the definition set and runs `command` when it opened (otherwise
// the message line says "Filerna inte öppna"); then closes the definition set and reopens the
// entry set. True when the command ran.
bool WithDefinitionSet(const std::function<void()>& command);

}  // namespace olbrax

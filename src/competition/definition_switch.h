// Commands on controls and courses run with the definition set of the current competition open:
// the entry set is closed, the definition set opened, the command run, and the entry set opened
// again, since the two sets are never open together.
#pragma once

#include <functional>

namespace olbrax {

// Runs `command` with the definition set open. When the set cannot be opened, "Filerna inte
// öppna" goes to the message line, the command does not run and the result is false. The entry
// set is reopened afterwards in either case.
bool WithDefinitionSet(const std::function<void()>& command);

}  // namespace olbrax

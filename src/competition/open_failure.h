// Why a file of the data directory could not be opened, in the program's words: the message line
// after a failed opening of the archive or a competition.
//
// Missing files keep the program's text "Datafiler saknas/ ej i aktuellt bibliotek"; every other
// cause gets its own, so that a volunteer does not go looking for files that are there:
//   - a file held by another copy of the program (the sharing violation),
//   - a journal the repair refused ("Btree: Reparationsförsöket misslyckades"),
//   - a file or folder that may not be written (access denied, read-only disk),
//   - any other engine status, by its message text,
// each followed by the file's name.
#pragma once

#include <string_view>

#include "base/text.h"

namespace olbrax {

// The text for the engine status left by a failed OpenFileBlock of `file`.
Text OpenFailureText(std::string_view file);

}  // namespace olbrax

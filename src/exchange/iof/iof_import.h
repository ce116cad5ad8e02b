// Importing IOF XML 3.0 messages: OrganisationList (clubs), ClassList (classes), CourseData
// (controls, courses, class-course assignments) and EntryList (person and team entries).
//
// Each message goes through the program's register operations with their rules, limits and
// messages, and prints the same import log as the program's own import ("importerar", one line
// per message kind, "Adderade:"/"Modifierade:"/"Rader:", "IMPORT KLAR!"); "Rader" counts the
// records of the message. A file is read whole and checked before anything is stored: a file
// that is not a well-formed message of the data standard stores nothing. Then every record is
// one storage transaction with its ids (exchange/iof/id_register.h): it is stored whole or not
// at all.
#pragma once

#include <string_view>
#include <vector>

#include "base/text.h"
#include "platform/ui.h"

namespace olbrax::iof {

struct IofImportStatus {
  bool complete = true;        // every file read and every record stored
  bool no_competition = false; // a message needed a competition and none was chosen
};
const IofImportStatus& LastIofImport();

// Imports the files in the order given, in one import log.
void ImportIofFiles(platform::Window owner, const std::vector<Text>& paths);

}  // namespace olbrax::iof

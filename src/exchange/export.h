// Exporting the entrants of the current competition ("deltagarna"), the entrants of its open
// classes for the direct-entry module ("deltagarna i öppna klasser") and the club register
// ("klubbarna") as exchange files that this program and related ones read back.
//
// Each returns true when the file was written whole. False when nothing was written (the file
// choice or the stage question was cancelled, the file could not be created), when the user
// cancelled the export (the file keeps what was written), or when a line could not be written:
// then the export stops, the user is told why, and the incomplete file is removed.
#pragma once

#include <string_view>

#include "platform/ui.h"

namespace olbrax {

// With a save dialog starting in the exchange folder of the configuration. With `direct` and a
// competition of several stages the stage is asked for (1..StrNr).
bool ExportEntrants(platform::Window owner, bool direct);
bool ExportClubs(platform::Window owner, bool only_this_competition);

// The same into the file `path`, without a dialog. `stage` is the stage of the direct export
// (0: stage 1 of a one-stage competition, else asked for as above).
bool ExportEntrantsTo(platform::Window owner, std::string_view path, bool direct, int stage);
bool ExportClubsTo(platform::Window owner, std::string_view path, bool only_this_competition);

}  // namespace olbrax

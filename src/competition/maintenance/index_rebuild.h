// "indexbygg": every file block of the archive and of the current competition rebuilt, its live
// records numbered densely from 1 in their old order and every index built anew; the references
// between entrants, clubs and classes follow the new numbers and the counts are recounted.
//
// All or nothing. The new files are built in the staging folder "indexbygg.ny" of the data
// directory, and a FileSetSwitch (storage/file_set_switch.h, whose invariants make the switch
// itself restartable) then moves them over the old ones. The files that take part:
//   - CLUBAR, DISTR, RUTBESKR, RUTB24 (data and index), rebuilt;
//   - of the current competition nn: KLASSnn, OLnn, KONTRnn, TRACKnn, rebuilt; OLBRAX.DAT with the
//     recounted entry nn; CLUBSnn.Dat with the recounted club counts and control marks;
//   - of every other competition mm, when clubs got new numbers: OLmm with its club references
//     renumbered and CLUBSmm.Dat with its per-club entries moved along (the club register is
//     shared, so renumbering it for one competition alone would leave the others' entrants
//     pointing at other clubs).
//
// Invariants:
//   1. Until the switch, nothing in the data directory is written except what opening a block
//      always does (an interrupted change repaired from its journal): the old files are read.
//   2. Every file that names records of a renumbered file by number is renumbered in the same
//      switch, so no switched set refers across old and new numbers.
//   3. A block is opened (and so repaired) before its files are copied: no non-empty journal is
//      left beside a file that the switch replaces.
//   4. Every new file is closed, which writes and flushes it, before the switch is committed.
//   5. Whatever opens the data directory (OpenArchive, at every start of the program and of
//      olbrax-cli) first finishes an interrupted switch, or throws away an uncommitted one, and
//      leaves the data closed while that fails.
// Cancelling is possible until the switch begins; nothing has changed then.
#pragma once

#include <string_view>

#include "platform/ui.h"

namespace olbrax {

// The staging folder of the rebuild inside the data directory.
inline constexpr std::string_view kRebuildStaging = "indexbygg.ny";

// The command. Closes every file block, rebuilds, and reopens the archive and the competition.
// A block that the engine cannot open because it is damaged (its index or data header) is
// rebuilt from the records of its data file; so is a damaged shared register that keeps the
// archive closed (only the archive file itself must be there, else message 330).
// True when everything it set out to rebuild was rebuilt; false after a refusal, a failure or a
// cancel (the data unchanged, the reason shown), and when no competition was selected although
// the archive holds some (message 522: only the shared registers were rebuilt).
bool IndexRebuild(platform::Window owner);

// Finishes a rebuild of the data directory that a crash or a failed step interrupted: completes
// it when its switch had begun, else throws the new files away. False (with a notice) when that
// cannot be done now; the data directory must then not be opened.
bool FinishInterruptedRebuild();

}  // namespace olbrax

// "säkerhetskopiera": a plain byte copy of the data files of the archive and of the current
// competition into another folder, which is then a data directory of its own.
//
// Every copied file and the target folder are flushed, and the copy is checked with the integrity
// check (every file block of it opens and passes) before the notice says it succeeded: a notice
// of success that a power cut could undo, or a copy that cannot be used, would be worse than
// none.
#pragma once

#include <string_view>
#include <vector>

#include "base/text.h"
#include "platform/ui.h"

namespace olbrax {

// The target folder chosen last in this run; the directory chooser starts there.
extern Text LastBackupTarget;

// The files of a backup in copy order: the archive and the shared registers, then the files of
// competition `competition` ("KLASS03.Dat", ..., its id file "IOFID03.DAT"), then the label and
// payment-form registers.
// Journal files are never copied: between operations they are empty.
std::vector<Text> BackupFileNames(int competition);

// Whether there is memory for a backup; when not, message 8 and 517 go to the message line.
bool BackupMemoryAvailable();

// Copies the files into `target` (a trailing "/" is dropped; it becomes LastBackupTarget), with
// the progress window "kopiering", then reopens the archive and the competition. Reports with a
// notice box: messages 512, 513 and 515 on success, 516 and the I/O result on failure. True when
// the copy was made and checked.
bool BackupCopy(platform::Window owner, std::string_view target);

}  // namespace olbrax

// Importing exchange files: the reading loop per file, the grouping of lines into records, the
// section-entry rules, the handlers of the register sections and the printed import log.
#pragma once

#include <string_view>
#include <vector>

#include "base/text.h"
#include "platform/ui.h"

namespace olbrax {

// What the last import run did. `complete` when every file was read to its end and every record
// was stored; false when the run did only part of its work: a file could not be opened or read to
// its end (an unknown identifier, the files of a section could not be opened, a register limit),
// a record could not be stored or was refused, or the user cancelled. `no_competition`: a section
// needed a competition and none was chosen.
struct ImportRunStatus {
  bool complete = true;
  bool no_competition = false;
};
const ImportRunStatus& LastImportRun();

// Imports one file of a run of `file_count` files (`file_index` from 1). False when the user
// cancelled: the run ends there, no further file is imported.
bool ImportFile(platform::Window owner, std::string_view file_name, std::string_view folder, int file_count,
                int file_index);
// The codes of the sections that one import run may hold only once.
inline constexpr std::string_view kImportSingleUse = "05*17*16*15*";
// The file filter of the import.
inline constexpr std::string_view kImportFilter = "import/export|*.txt;*.exp;*.ixp;*.imp;*.vpx;*.txx;*.exx;*.ol";

// Imports the files in the order the file action dialog gives them (sorted by their entry
// texts, single-use codes at most once). Returns false (with MsgLine set) when the list breaks
// that rule.
bool ImportFiles(platform::Window owner, const std::vector<Text>& paths);

}  // namespace olbrax

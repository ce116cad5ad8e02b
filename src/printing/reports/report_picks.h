// What a report prints: the entries the user picks in the pick list of a register. The reports
// ask a Picker, which the program answers with its pick lists and olbrax-cli with all entries or
// the ones named on its command line.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "base/text.h"
#include "platform/ui.h"

namespace olbrax::print {

enum class PickKind { kClasses, kCourses, kControls, kRoutes };

// The record numbers of the entries picked, in the order of the pick list; empty when the user
// cancelled or the register has no entries (the report then prints nothing).
using Picker = std::function<std::vector<std::int32_t>(platform::Window owner, PickKind kind, std::string_view title,
                                                       bool multi)>;

// Every entry of a register in the order its pick list shows them: classes in class order (by
// sort key), courses, controls and route descriptions by key. When the walk fails in the engine
// the failure is shown and nothing is returned, so that no report is printed without entries.
std::vector<std::int32_t> AllEntries(PickKind kind);

// The entries of the given key words (class names, course names, control codes, route key
// words; as given or upper-cased), in the order given. Names that are not in the register
// go to `missing`. A lookup that fails in the engine is shown and nothing is returned (and nothing
// is missing).
std::vector<std::int32_t> NamedEntries(PickKind kind, const std::vector<Text>& names, std::vector<Text>& missing);

// Reads entry `ref` into its record buffer; false when it is no longer there (or the read failed,
// which NoteReadFailure keeps).
bool ReadEntry(PickKind kind, std::int32_t ref);

// A read of the registers that failed in the storage engine while a report or a course image is
// made ("not found" is no failure: the reports print what is missing as missing). The first one
// is kept and cancels the print job, so that a report that would miss entries is not printed as
// if it were whole. Call after every find of a report; true when the engine call before failed.
bool NoteReadFailure();
// Shows the kept failure with the engine's message (a notice box, the text left on the message
// line) and forgets it; false when there was none.
bool ShowReadFailure();
// Forgets a kept failure: a new report begins.
void ForgetReadFailure();

}  // namespace olbrax::print

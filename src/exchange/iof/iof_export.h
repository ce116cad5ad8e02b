// Exporting the current competition as IOF XML 3.0 messages: StartList, ResultList, EntryList,
// CourseData, ClassList and OrganisationList.
//
// Every message carries iofVersion="3.0", createTime with the time zone and creator naming the
// program and its version, and is written in UTF-8. Ids and names that arrived in an IOF import
// come back as they arrived (exchange/iof/id_register.h). The file is written beside its final
// name and put in place only when complete, so a failed export never leaves half a file.
//
// Times: the program keeps start and finish clocks relative to the stage's zero time (NollTid,
// seconds after midnight); the export adds them to the competition's date (InfoRec.Date in the
// form YYYY-MM-DD or YYMMDD; the day of the export when it holds no such date) in the computer's
// time zone.
#pragma once

#include <optional>
#include <string_view>

#include "base/text.h"

namespace olbrax::iof {

enum class IofExport { kStartList, kResultList, kEntryList, kCourseData, kClassList, kOrganisationList };

// "startlist", "results", "entries", "courses", "classes", "clubs".
std::optional<IofExport> IofExportKind(std::string_view word);
std::string_view IofExportRoot(IofExport kind);

// Writes the message to `path` (Windows-1252). False when it was not written: the reason is in
// MsgLine (and shown when it is a storage failure). `count` gets the number of records written.
bool ExportIof(IofExport kind, std::string_view path, int& count);

// The date of the competition (InfoRec.Date) as year, month, day; false when it holds none.
bool CompetitionDate(std::string_view text, int& year, int& month, int& day);

}  // namespace olbrax::iof

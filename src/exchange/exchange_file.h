// The one exchange file that is open at a time: opening by name, reading and writing lines,
// the counters of lines and of added and modified records, the progress window and the closing
// message.
#pragma once

#include <string_view>

#include "base/text.h"
#include "platform/ui.h"

namespace olbrax {

struct ExchangeCounts {
  int added = 0;
  int modified = 0;
  int lines = 0;
  // A created file: the Windows error number of the first write (or of the closing flush) that
  // failed, 0 when every line reached the disk.
  int write_error = 0;
};

// The file dialogs: "Välj filnamn" (the file must exist) and "Spara fil som...". `path` may name
// a folder only; it holds the chosen path after OK and is unchanged after Cancel.
bool ChooseFileToRead(platform::Window owner, std::string_view default_ext, std::string_view filter, Text& path);
bool ChooseFileToWrite(platform::Window owner, std::string_view default_ext, std::string_view filter, Text& path);
// Chooses the file with the dialog of `mode` ('C' create, 'O' open), starting in `folder`, and
// opens it; the folder of the chosen file goes back into `folder`.
bool OpenExchangeFile(platform::Window owner, char comment_char, char mode, Text& path, Text& folder,
                      std::string_view default_ext, std::string_view filter, int progress_kind);

// Opens a file whose path is known: mode 'C' creates it, 'O' reads it. A progress window of
// `progress_kind` lines is shown while it is open (0: none).
bool OpenExchangeFileNamed(platform::Window owner, char comment_char, char mode, int progress_kind,
                           std::string_view path);
bool OpenExchangeFileForReading(platform::Window owner, char comment_char, std::string_view path, int progress_kind);
bool ReadExchangeLine(Text& line);
bool WriteExchangeLine(std::string_view line);
bool ExchangeEof();
void ReportRecord(std::string_view text, int added, int modified);
void ReportExport(std::string_view text, int written, int total);
int LinesDone();
// The counters of the file opened last; they keep their values after it is closed.
ExchangeCounts LastExchangeCounts();
// Sets the records counted back (a batch of records rolled back).
void SetReportedCounts(const ExchangeCounts& counts);
ExchangeCounts CloseExchangeFile();
// Deletes a created file after it was closed (a file that could not be written whole is not left
// looking like a finished one); false when it could not be deleted.
bool RemoveExchangeFile(std::string_view path);

// The caption written as the first line of a created file (the main window sets it).
void SetExchangeCaption(std::string_view caption);

}  // namespace olbrax

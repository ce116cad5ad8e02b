// Checking a data directory for what the program needs, by name, without changing anything:
// the archive OLBRAX and its entries, the shared registers, the files of every competition the
// archive lists, and the counters that the entrant bookkeeping keeps beside the records.
//
// The files are read directly (storage/block_check.h), so a directory in use by another copy of
// the program is reported as in use rather than read half-written.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/text.h"

namespace olbrax {

// One finding: a file (or the counters of a competition) and "ok" or what is wrong (UTF-8).
struct CheckLine {
  Text name;
  bool ok = false;
  std::string message;
};

// Whether the folder holds any file of an archive (OLBRAX, CLUBAR, DISTR, RUTBESKR, RUTB24):
// such a folder is checked as a data directory.
bool IsDataDirectory(std::string_view folder);

// Every finding for the data directory:
//   - the archive: its block, no more than eight entries, no entry hidden beyond its record
//     count, no competition files without a live entry;
//   - each shared register and each file of each live competition: missing, damaged, of another
//     record length, a live record whose status word is not 0, records and keys that disagree;
//   - each live competition's counters: the class entrant counts, the competition's counts and
//     the club statistics agree with its entrants;
//   - every other file block in the folder: its block check.
std::vector<CheckLine> CheckDataDirectory(std::string_view folder);

// The counters of competition n (1..8) of the data directory against its entrants: empty when
// they agree, else the disagreements found (at most a few, with a count of the rest).
std::string CheckCompetitionCounters(std::string_view folder, int n);

}  // namespace olbrax

// What a file can hold: the bounds a header read from disk is checked against before any
// number in it is followed.
//
// Every later call trusts the headers: a record number up to NumRecs is read and written at
// recno x RecLen, a page up to the page count at page x row size, a free-chain head is followed
// to its slot. A damaged header (a record count of 2 147 483 647, a page count of a million)
// would make the engine read nonsense or write far past the end of its file, growing it by
// gigabytes. So a header is taken only when its counts and chain heads lie in its file; all
// sizes are computed in 64 bits.
#pragma once

#include <cstdint>
#include <string>

#include "storage/layout.h"

namespace olbrax::isam {

// Whole records the data file holds after slot 0 (-1 when it does not even hold slot 0).
std::int64_t RecordsInFile(std::int64_t file_size, std::int32_t rec_len);

// Pages of an index whose 6-byte page head lies in the index file, by the index's slot offset
// in each row.
std::int64_t PagesInFile(std::int64_t file_size, std::int64_t row_size, std::int64_t slot_offset);

// Empty when the data header's record count, free count and free-chain head fit a data file of
// `file_size` bytes; otherwise what does not fit (one line, for the check's report).
std::string DataHeaderFault(const DataHeader& h, std::int64_t file_size);

// The same for an index header: page count within the pages the file holds, root, free-chain
// head and free count within the page count, and no more entries than its pages can hold.
std::string IndexHeaderFault(const IndexHeader& h, std::int64_t pages_in_file);

}  // namespace olbrax::isam

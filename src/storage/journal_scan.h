// Reading a journal without acting on it: where its entries end and whether the repair may
// follow them.
//
// The repair asks this before it writes a byte, and refuses (status 10180) a journal it cannot
// follow; the check asks the same question, so it promises a repair at the next open only when
// the repair will make one.
//
// The walk stops, as the replay does, at tag 2000, at a zero tag, at the end of the file, and
// at an entry that a power loss tore (see PlausibleHeaderEntry / PlausiblePageEntry): such an
// entry belongs to an operation that had changed nothing yet. A journal is damaged, and the
// repair refuses it, when
//   1. a tag is none of 1..62, 1000, 2000, or an entry names a part the block does not have;
//   2. an entry names a page or record beyond every header of its part (the header on disk and
//      each header image in the journal): such an element never existed, and writing its
//      before-image would place it terabytes past the end of the file;
//   3. a header image puts back a free-chain element below 1;
//   4. the headers the replay ends with do not fit the files (header_bounds.h).
// A before-image of an element that lies within a header's count but past the end of the file
// restores what the change added, not what was there before: the replay skips it (WithinFile),
// so the repair never makes a file longer.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "storage/layout.h"

namespace olbrax {
struct FileBlock;
}

namespace olbrax::isam {

// The block a journal belongs to, as the replay sees it.
struct JournalShape {
  struct Index {
    int key_len = 0;
    std::int64_t slot_offset = 0;
    IndexHeader h;  // the header now (on disk, or in memory before the failed operation)
  };
  DataHeader data;  // the data header now
  std::int64_t data_size = 0;
  std::int64_t index_size = 0;
  std::int64_t row_size = 0;
  std::vector<Index> index;  // index[k - 1] for k = 1..key count
};

// The shape of an open block.
JournalShape ShapeOf(const FileBlock* fb);

// Reads up to `len` bytes at `at`; false when the read itself failed.
using JournalReader = std::function<bool(std::int64_t at, void* out, std::size_t len, std::size_t& got)>;

struct JournalScan {
  int entries = 0;         // entries the replay follows
  std::int64_t end = 1;    // where they end
  bool read_failed = false;
  std::string fault;       // why the repair refuses the journal; empty when it follows it

  bool Replayable() const { return !read_failed && fault.empty(); }
};

JournalScan ScanJournal(const JournalShape& shape, const JournalReader& read);

// Whether `len` bytes at `offset` lie within a file of `size` bytes.
inline bool WithinFile(std::int64_t offset, std::int64_t len, std::int64_t size) {
  return offset >= 0 && len >= 0 && offset <= size - len;
}

// A header entry that a power loss cannot have torn: a link of -2, -1 or an element, and the
// record length or page size of its part.
bool PlausibleHeaderEntry(const JournalShape& shape, int part, const unsigned char* image, std::int32_t link);
// A page entry that a power loss cannot have torn: a page number and record numbers from 1 and
// keys no longer than the index allows.
bool PlausiblePageEntry(const unsigned char* items, int count, int key_len, std::int32_t page);

}  // namespace olbrax::isam

// The open file block as the engine keeps it. Callers hold a FileBlock* and never look inside.
#pragma once

#include <cstdint>
#include <vector>

#include "base/text.h"
#include "storage/disk_file.h"
#include "storage/layout.h"

namespace olbrax::isam {

struct BlockTxn;

// Part 0: the data file.
struct DataPart {
  DataHeader h;
  bool header_changed = false;
};

// One level of a position: the page and the item index. Above the bottom level the index names
// the child the path descended into (0 = leftmost child, i = right child of item i); at the
// bottom it is the current item.
struct PathEntry {
  std::int32_t page = 0;
  int idx = 0;
};

// A path from the root down to the current item; depth 0 is "before the first key".
struct Path {
  PathEntry at[kMaxHeight + 1];
  int depth = 0;
};

// Parts 1..key count: the indexes.
struct IndexPart {
  IndexHeader h;
  int key_len = 0;
  std::int64_t slot_offset = 0;
  bool header_changed = false;
  // The position is valid from a search until the next change of this index. After a change
  // NextKey searches again for the caller's key and record, which re-search allows.
  bool pos_valid = true;
  bool research_allowed = false;
  Path pos;

  bool dups() const { return h.dups != 0; }
};

}  // namespace olbrax::isam

namespace olbrax {

struct FileBlock {
  std::uint32_t mark = 0;  // isam::kValidMark while open
  disk::File data_file;
  disk::File index_file;
  disk::File journal_file;
  Text data_name;
  Text index_name;
  Text journal_name;
  bool read_only = false;
  bool journal = false;
  bool shared = false;
  bool in_use = false;  // the in-use mark has been written (no-journal mode)
  int key_count = 0;
  isam::DataPart data;
  std::vector<isam::IndexPart> index;  // index[k] for k = 1..key_count; index[0] unused
  std::int64_t row_size = 0;
  std::int32_t rows = 0;  // index rows present, row 0 included
  isam::BlockTxn* txn = nullptr;  // while the block takes part in a transaction

  std::int64_t RecordOffset(std::int32_t recno) const {
    return static_cast<std::int64_t>(recno) * data.h.rec_len;
  }
  std::int64_t PageOffset(int k, std::int32_t page) const {
    return static_cast<std::int64_t>(page) * row_size + index[k].slot_offset;
  }
};

}  // namespace olbrax

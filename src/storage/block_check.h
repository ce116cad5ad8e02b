// Verifying and listing a file block without changing it, by reading its files directly rather
// than through the engine, so that the engine's own faults show.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <string_view>
#include <vector>

#include "base/text.h"

namespace olbrax::isam {

struct CheckResult {
  bool ok = false;
  std::string message;  // "ok", or the first fault found (UTF-8)
};

// Checks the data header, the free chain, the journal, every index header and B-tree (order,
// fill, depth, key count) and the free page chains.
CheckResult CheckBlock(std::string_view name);

// Lists the headers and free chains of the block and, for `index` > 0, the keys of that index
// in order with their record numbers (UTF-8 lines). False with `error` set when the block cannot
// be read.
bool DumpBlock(std::string_view name, int index, std::string& out, std::string& error);

// Everything a block holds, read directly: the record bytes, which records are live (not on the
// free chain), and the entries of every index in key order.
struct BlockContents {
  std::int32_t rec_len = 0;
  std::string data;                  // the data file
  std::vector<std::int32_t> live;    // live record numbers, ascending
  std::vector<std::vector<std::pair<Text, std::int32_t>>> keys;  // keys[k - 1]: index k
};
bool ReadBlockContents(std::string_view name, BlockContents& out, std::string& error);

// The file blocks of a folder: every data file ("*.DAT" in any case), named without extension.
std::vector<Text> BlocksInFolder(std::string_view folder);

}  // namespace olbrax::isam

#include "storage/file_names.h"

namespace olbrax::isam {

namespace {

// Both separators count: names come with "/" on this system, and "\" in names kept from the
// platform the data comes from.
constexpr std::string_view kSeparators = "/\\";

}  // namespace

Text WithExtension(std::string_view name, std::string_view ext) {
  auto sep = name.find_last_of(kSeparators);
  auto dot = name.find_last_of('.');
  bool has_ext = dot != std::string_view::npos && (sep == std::string_view::npos || dot > sep);
  Text out(has_ext ? name.substr(0, dot) : name);
  out += '.';
  out += ext;
  return out;
}

BlockNames SplitBlockName(std::string_view name) {
  // Only the file name is split: a ";" in a folder ("/home/anna/x;y/OLBRAX") is part of that
  // folder's name, and splitting there would put the data file outside the data directory.
  // Both names lie in the folder of the whole name.
  auto sep = name.find_last_of(kSeparators);
  std::size_t leaf_at = sep == std::string_view::npos ? 0 : sep + 1;
  std::string_view folder = name.substr(0, leaf_at);
  std::string_view data = name.substr(leaf_at);
  std::string_view index = data;
  if (auto semi = data.find(';'); semi != std::string_view::npos) {
    index = data.substr(semi + 1);
    data = data.substr(0, semi);
    if (auto second = index.find(';'); second != std::string_view::npos) index = index.substr(0, second);
  }
  Text data_name = Text(folder) + Text(data);
  Text index_name = Text(folder) + Text(index);
  return {WithExtension(data_name, kDataExt), WithExtension(index_name, kIndexExt),
          WithExtension(data_name, kJournalExt)};
}

}  // namespace olbrax::isam

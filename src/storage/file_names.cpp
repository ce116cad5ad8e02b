#include "storage/file_names.h"

namespace olbrax::isam {

Text WithExtension(std::string_view name, std::string_view ext) {
  // Both separators count: names come with "/" on this system, and "\" in names kept from the
  // platform the data comes from.
  auto sep = name.find_last_of("/\\");
  auto dot = name.find_last_of('.');
  bool has_ext = dot != std::string_view::npos && (sep == std::string_view::npos || dot > sep);
  Text out(has_ext ? name.substr(0, dot) : name);
  out += '.';
  out += ext;
  return out;
}

BlockNames SplitBlockName(std::string_view name) {
  std::string_view data = name;
  std::string_view index = name;
  if (auto semi = name.find(';'); semi != std::string_view::npos) {
    data = name.substr(0, semi);
    index = name.substr(semi + 1);
    if (auto second = index.find(';'); second != std::string_view::npos) index = index.substr(0, second);
  }
  return {WithExtension(data, kDataExt), WithExtension(index, kIndexExt), WithExtension(data, kJournalExt)};
}

}  // namespace olbrax::isam

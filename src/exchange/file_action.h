// The list of chosen files of the file action dialog, without the dialog: each file shown with
// the order code of its first section identifier, the list kept sorted, some codes single-use.
#pragma once

#include <string_view>
#include <vector>

#include "base/text.h"

namespace olbrax {

// "code identifier........ name": the order code, the identifier padded with "." to 12, the file
// name without its folder.
Text ActionEntryText(std::string_view path, std::string_view sorter);

class ActionList {
 public:
  ActionList(std::string_view sorter, std::string_view not_allowed) : sorter_(sorter), not_allowed_(not_allowed) {}

  // Adds a file; false with `status` "endast en förekomst tillåten" when its code is single-use
  // and already listed.
  bool Include(std::string_view path, Text& status);
  void Exclude(std::size_t index);
  void Clear() { entries_.clear(); }

  // The path is kept with the entry: the text of a file without identifier line holds blanks in
  // its identifier part, so the name cannot be taken back from the text.
  struct Entry {
    Text text;
    Text path;
  };
  const std::vector<Entry>& entries() const { return entries_; }

 private:
  Text sorter_;
  Text not_allowed_;
  std::vector<Entry> entries_;
};

}  // namespace olbrax

// File names of a file block: "folder/data;index" (a third ";name" is ignored; without ";" both
// are the same text), with the data extension also naming the journal. Only the file-name part
// after the last folder separator is split; both files lie in that folder.
#pragma once

#include <string_view>

#include "base/text.h"

namespace olbrax::isam {

// The engine's extensions (at most 3 characters each).
inline constexpr std::string_view kDataExt = "DAT";
inline constexpr std::string_view kIndexExt = "IX";
inline constexpr std::string_view kJournalExt = "DIA";

struct BlockNames {
  Text data;
  Text index;
  Text journal;
};

// Replaces an extension present in the name (a "." after the last folder separator) by `ext`,
// or appends "." and `ext`.
Text WithExtension(std::string_view name, std::string_view ext);

BlockNames SplitBlockName(std::string_view name);

}  // namespace olbrax::isam

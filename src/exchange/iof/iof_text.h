// Texts between IOF XML (UTF-8) and the program (Windows-1252).
//
// Every character Windows-1252 holds (å, ä, ö, é, ü, the euro sign ...) is kept. Any other
// character is replaced by a fixed rule, so the same name always gives the same text: a letter
// with marks that Windows-1252 lacks becomes its base letter when that is in the code page
// ("ř" → "r", "Ł" → "L", "ő" → "o"), a few common signs get their usual stand-in (typographic
// dashes and quotes already exist in the code page), and everything else becomes "?".
#pragma once

#include <string>
#include <string_view>

#include "base/text.h"

namespace olbrax::iof {

struct Converted {
  Text text;
  bool replaced = false;  // at least one character had to be replaced
};

// UTF-8 (as the XML reader gives it; invalid bytes count as replaced) to Windows-1252.
Converted FromXml(std::string_view utf8);
// Windows-1252 to UTF-8.
std::string ToXml(std::string_view win1252);

}  // namespace olbrax::iof

// Where the names of an IOF XML message do not fit the program's fields.
//
// The rules, the same in every import so that a name always maps to the same text:
//  1. Names are upper-cased by the Swedish rules, as the program's own import stores them
//     (persons, clubs, classes, courses, control codes).
//  2. A name that fits its field is used as it is. A longer one is cut to the field's width:
//     class names to 8, course names to 3 (the width a class and an entrant refer to a course
//     by), club names to 30, person names to 32, team names to 7.
//  3. When the cut name already belongs to another record of the message's kind (another id, or
//     another full name), its last characters are replaced by "~" and the lowest number 2, 3, …
//     that gives a free name: "MEN 21 L" → "MEN 21~2", course "LÅNG" → "L~2".
//  4. Control ids: leading zeros go ("031" → "31"); an id of at most 3 characters is the code
//     as the program's import normalises it (digits right-aligned). A longer id uses its first 3
//     characters when free, else "Z01" … "Z99", the first that is free.
//  5. The full name (and the id) is kept in the competition's id file, so every export writes
//     the name and id as they arrived; the import log says once per name how it was mapped.
#pragma once

#include <cstddef>
#include <functional>
#include <string_view>

#include "base/text.h"

namespace olbrax::iof {

inline constexpr std::size_t kClassNameWidth = 8;
inline constexpr std::size_t kCourseNameWidth = 3;
inline constexpr std::size_t kClubNameWidth = 30;
inline constexpr std::size_t kPersonNameWidth = 32;
inline constexpr std::size_t kTeamNameWidth = 7;
inline constexpr std::size_t kControlCodeWidth = 3;

// Whether a candidate name is already held by another record.
using Taken = std::function<bool(const Text&)>;

// Rules 1-3 for a name of `width` characters (Windows-1252). Empty when no free name is left.
Text MapName(std::string_view name, std::size_t width, const Taken& taken);
// Rule 4 for a control id (Windows-1252). Empty when no free code is left.
Text MapControlCode(std::string_view id, const Taken& taken);

}  // namespace olbrax::iof

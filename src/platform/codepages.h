// Code page tables: Windows-1252 <-> Unicode (UTF-8) and the DOS code page 850 -> Windows-1252
// conversion that stands in for the platform's OEM-to-ANSI service.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace olbrax::platform {

namespace detail {
// Unicode code point of each Windows-1252 byte 0x80..0x9F; 0 marks the five unassigned bytes,
// which map to the C1 control of the same value (as the Windows conversion does).
inline constexpr char16_t kWin1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
}  // namespace detail

// Unicode code point of one Windows-1252 byte.
constexpr char32_t CodePointFromWin(unsigned char ch) {
  if (ch >= 0x80 && ch < 0xA0) {
    char16_t u = detail::kWin1252High[ch - 0x80];
    return u ? u : ch;
  }
  return ch;
}

// The Windows-1252 byte of a code point, or -1 when the code page has none.
constexpr int Win1252FromCodePoint(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
  for (int i = 0; i < 32; ++i)
    if (CodePointFromWin(static_cast<unsigned char>(0x80 + i)) == cp) return 0x80 + i;
  return -1;
}

// Windows-1252 to UTF-8 (every byte has a Unicode character).
std::string Utf8FromWin(std::string_view text);
// UTF-8 to Windows-1252; characters the code page lacks, and broken sequences, become '?'.
std::string WinFromUtf8(std::string_view utf8);

// A path of the system (UTF-8) as the program holds paths (Windows-1252), or nothing when it has
// a character the code page lacks or is not valid UTF-8. Such a path is refused, never kept with
// '?' in place of its characters: two folders would map to one, and files would be written
// under a name that is not the user's. Every path that enters the program (data directory,
// exchange files, print and log files) passes here.
std::optional<std::string> WinPathFromUtf8(std::string_view utf8);

// The refusal of such a path, in UTF-8, naming the path as it is.
std::string UnusablePathMessage(std::string_view utf8_path);

// Code page 850 -> Windows-1252, byte for byte. Characters Windows-1252 lacks (box drawing,
// blocks) get a best-fit character as the Windows conversion gives them.
const std::array<unsigned char, 256>& OemToAnsiTable();
// Windows-1252 -> code page 850; characters code page 850 lacks become '?'.
const std::array<unsigned char, 256>& AnsiToOemTable();

}  // namespace olbrax::platform

// Texts, character sets, Swedish letter case and fixed-width formatting.
//
// Inside the program every text is a byte string in Windows-1252, exactly as it is stored in
// records and exchange files. Conversion to Unicode happens only at the widget, file-name and
// printer boundary (Utf8FromWin / WinFromUtf8). Source files are UTF-8, so Swedish literals are
// written with the _w suffix, which converts them to Windows-1252 at compile time:
//
//     ShowText(201, "olbrax körs redan"_w);
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/codepages.h"

namespace olbrax {

// A text of Windows-1252 bytes.
using Text = std::string;

namespace detail {

// A string literal converted from UTF-8 to Windows-1252 during compilation. A character that
// Windows-1252 cannot hold makes the program fail to compile.
template <std::size_t N>
struct Win1252Literal {
  char bytes[N]{};
  std::size_t size = 0;
  consteval Win1252Literal(const char (&utf8)[N]) {
    std::size_t i = 0;
    while (i + 1 < N) {
      auto b = static_cast<unsigned char>(utf8[i]);
      char32_t cp;
      int extra;
      if (b < 0x80) { cp = b; extra = 0; }
      else if ((b & 0xE0) == 0xC0) { cp = b & 0x1F; extra = 1; }
      else if ((b & 0xF0) == 0xE0) { cp = b & 0x0F; extra = 2; }
      else { cp = b & 0x07; extra = 3; }
      for (int k = 1; k <= extra; ++k) cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
      i += 1 + extra;
      int w = platform::Win1252FromCodePoint(cp);
      if (w < 0) throw "character not in Windows-1252";
      bytes[size++] = static_cast<char>(w);
    }
  }
};

template <Win1252Literal L>
inline constexpr auto kWin1252Storage = L;

}  // namespace detail

// "åäö"_w: the literal in Windows-1252.
template <detail::Win1252Literal L>
constexpr std::string_view operator""_w() {
  return {detail::kWin1252Storage<L>.bytes, detail::kWin1252Storage<L>.size};
}

// --- Character sets -------------------------------------------------------------------------

using platform::Utf8FromWin;   // Windows-1252 -> UTF-8
using platform::WinFromUtf8;   // UTF-8 -> Windows-1252, '?' for what the code page lacks
using platform::WinPathFromUtf8;      // UTF-8 path -> Windows-1252, or none: never a changed name
using platform::UnusablePathMessage;  // the refusal of such a path, in UTF-8

// True when the text holds one of the twelve DOS letters (Å Ä Ö å ä ö É é Ü ü Æ æ in code
// page 850 form).
bool HasDosLetters(std::string_view text);
// True when the text holds one of the six DOS letters Å Ä Ö å ä ö in code page 850 form.
bool HasDosSwedishLetters(std::string_view text);
// Converts the whole text from code page 850 to Windows-1252, but only when it holds one of the
// twelve DOS letters; otherwise returns it unchanged.
Text DosToWin(std::string_view text);
// The reverse conversion runs only while the DOS-output switch is on. Nothing turns it on, so
// files are written in Windows-1252.
Text WinToDos(std::string_view text);
extern bool DosOutput;

// --- Swedish letter case --------------------------------------------------------------------

unsigned char UpChar(unsigned char ch);
unsigned char LowChar(unsigned char ch);
Text UpStr(std::string_view text);
Text LowStr(std::string_view text);
// Upper-cases the text, then lower-cases every letter of a word but its first. Words are
// separated by blank, comma, hyphen, full stop and slash.
Text ProperStr(std::string_view text);

// --- Fixed-width fields ---------------------------------------------------------------------

Text FillStr(char ch, int count);
// The text left-aligned in a field of `width` filled with `ch`; a longer text is kept whole.
Text PadRight(std::string_view text, char ch, int width);
Text PadBlank(std::string_view text, int width);
// The text right-aligned in a field of `width` filled with `ch`; a longer text is kept whole.
Text PadLeft(std::string_view text, char ch, int width);
// Removes trailing blanks but keeps a first character that is a blank.
Text TrimRight(std::string_view text);

// Numbers right-aligned in `width`. For a negative value the first padding character becomes
// "-" ("-  5"); without padding the "-" goes in front.
Text IntStr(long long value, int width);
Text ZeroStr(long long value, int width);
// Absolute value with two decimals, with the same sign rule ("-  1.50", "-001.50").
Text RealStr(double value, int width);
Text RealZeroStr(double value, int width);

// Modulus-10 check digit of Swedish payment numbers; non-digits are skipped, an empty text or
// one without digits counts as valid.
bool CheckDigitOK(std::string_view text);

// Whether a directory exists (path in Windows-1252).
bool DirExists(std::string_view path);

// Cuts a text to at most `max` characters.
inline Text Cut(std::string_view text, std::size_t max) {
  return Text(text.substr(0, max));
}

}  // namespace olbrax

#include "base/text.h"

#include <sys/stat.h>

#include <charconv>
#include <cmath>
#include <cstdio>

namespace olbrax {

bool DosOutput = false;

namespace {

constexpr unsigned char kDosLetters[12] = {0x8F, 0x8E, 0x99, 0x86, 0x84, 0x94,
                                           0x90, 0x82, 0x9A, 0x81, 0x92, 0x91};

bool HasAnyOf(std::string_view text, int count) {
  for (char c : text) {
    auto b = static_cast<unsigned char>(c);
    for (int i = 0; i < count; ++i)
      if (b == kDosLetters[i]) return true;
  }
  return false;
}

Text SignedField(long long value, int width, char pad, const std::string& digits) {
  bool negative = value < 0;
  int len = static_cast<int>(digits.size());
  if (len >= width) return negative ? "-" + digits : digits;
  Text out(static_cast<std::size_t>(width - len), pad);
  if (negative) out[0] = '-';
  return out + digits;
}

Text AbsDigits(long long value) {
  unsigned long long mag = value < 0 ? 0ULL - static_cast<unsigned long long>(value)
                                     : static_cast<unsigned long long>(value);
  return std::to_string(mag);
}

// Two decimals with "." whatever the locale: the text goes into exchange files, whose field
// separator is the comma that some locales write.
Text AbsFixed2(double value) {
  char buf[400];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::fixed, 2);
  return ec == std::errc() ? Text(buf, end) : Text("0.00");
}

bool IsWordSeparator(unsigned char ch) {
  return ch == ' ' || ch == ',' || ch == '-' || ch == '.' || ch == '/';
}

}  // namespace

bool HasDosLetters(std::string_view text) { return HasAnyOf(text, 12); }
bool HasDosSwedishLetters(std::string_view text) { return HasAnyOf(text, 6); }

Text DosToWin(std::string_view text) {
  if (!HasDosLetters(text)) return Text(text);
  const auto& table = platform::OemToAnsiTable();
  Text out(text);
  for (char& c : out) c = static_cast<char>(table[static_cast<unsigned char>(c)]);
  return out;
}

Text WinToDos(std::string_view text) {
  if (!DosOutput) return Text(text);
  const auto& table = platform::AnsiToOemTable();
  Text out(text);
  for (char& c : out) c = static_cast<char>(table[static_cast<unsigned char>(c)]);
  return out;
}

unsigned char UpChar(unsigned char ch) {
  if (ch >= 'a' && ch <= 'z') return static_cast<unsigned char>(ch - 32);
  switch (ch) {
    case 0xE0: case 0xE1: case 0xE2: return 'A';                 // à á â
    case 0xE4: case 0xE5: case 0xE6: case 0xE7: return ch - 32;  // ä å æ ç
    case 0xE8: case 0xEA: case 0xEB: return 'E';                 // è ê ë
    case 0xE9: return 0xC9;                                      // é
    case 0xEC: case 0xED: case 0xEE: case 0xEF: return 'I';      // ì í î ï
    case 0xF1: return 0xD1;                                      // ñ
    case 0xF2: case 0xF3: case 0xF4: return 'O';                 // ò ó ô
    case 0xF6: return 0xD6;                                      // ö
    case 0xF9: case 0xFA: case 0xFB: return 'U';                 // ù ú û
    case 0xFC: return 0xDC;                                      // ü
    case 0xFF: return 'Y';                                       // ÿ
    default: return ch;
  }
}

unsigned char LowChar(unsigned char ch) {
  if (ch >= 'A' && ch <= 'Z') return static_cast<unsigned char>(ch + 32);
  switch (ch) {
    case 0xC4: case 0xC5: case 0xC6: case 0xC7:  // Ä Å Æ Ç
    case 0xC9: case 0xD1: case 0xD6: case 0xDC:  // É Ñ Ö Ü
      return ch + 32;
    default: return ch;
  }
}

Text UpStr(std::string_view text) {
  Text out(text);
  for (char& c : out) c = static_cast<char>(UpChar(static_cast<unsigned char>(c)));
  return out;
}

Text LowStr(std::string_view text) {
  Text out(text);
  for (char& c : out) c = static_cast<char>(LowChar(static_cast<unsigned char>(c)));
  return out;
}

Text ProperStr(std::string_view text) {
  Text s = UpStr(text);
  const std::size_t n = s.size();
  auto at = [&](std::size_t i) -> char& { return s[i - 1]; };  // positions from 1
  std::size_t i = 0;
  while (i < n) {
    ++i;
    while (i < n && IsWordSeparator(static_cast<unsigned char>(at(i)))) ++i;
    // at(i) begins a word and stays upper-case; the rest of the word is lowered.
    while (!IsWordSeparator(static_cast<unsigned char>(at(i))) && i < n) {
      ++i;
      at(i) = static_cast<char>(LowChar(static_cast<unsigned char>(at(i))));
    }
  }
  return s;
}

Text FillStr(char ch, int count) {
  return count > 0 ? Text(static_cast<std::size_t>(count), ch) : Text();
}

Text PadRight(std::string_view text, char ch, int width) {
  Text out(text);
  if (static_cast<int>(out.size()) < width) out.append(static_cast<std::size_t>(width) - out.size(), ch);
  return out;
}

Text PadBlank(std::string_view text, int width) { return PadRight(text, ' ', width); }

Text PadLeft(std::string_view text, char ch, int width) {
  if (static_cast<int>(text.size()) >= width) return Text(text);
  return Text(static_cast<std::size_t>(width) - text.size(), ch) + Text(text);
}

Text TrimRight(std::string_view text) {
  std::size_t n = text.size();
  while (n > 1 && text[n - 1] == ' ') --n;
  return Text(text.substr(0, n));
}

Text IntStr(long long value, int width) { return SignedField(value, width, ' ', AbsDigits(value)); }
Text ZeroStr(long long value, int width) { return SignedField(value, width, '0', AbsDigits(value)); }
Text RealStr(double value, int width) {
  return SignedField(value < 0 ? -1 : 0, width, ' ', AbsFixed2(value));
}
Text RealZeroStr(double value, int width) {
  return SignedField(value < 0 ? -1 : 0, width, '0', AbsFixed2(value));
}

bool CheckDigitOK(std::string_view text) {
  int sum = 0;
  int weight = 1;
  for (auto it = text.rbegin(); it != text.rend(); ++it) {
    if (*it < '0' || *it > '9') continue;
    int p = (*it - '0') * weight;
    if (p > 9) p -= 9;
    sum += p;
    weight = 3 - weight;
  }
  return sum % 10 == 0;
}

bool DirExists(std::string_view path) {
  struct stat st{};
  return ::stat(Utf8FromWin(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace olbrax

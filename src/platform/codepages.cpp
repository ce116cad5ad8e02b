#include "platform/codepages.h"

namespace olbrax::platform {

namespace {

// Code page 850, bytes 0x80..0xFF, as Unicode code points.
constexpr char16_t kCp850High[128] = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7,  // 80
    0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5,  // 88
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,  // 90
    0x00FF, 0x00D6, 0x00DC, 0x00F8, 0x00A3, 0x00D8, 0x00D7, 0x0192,  // 98
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA,  // A0
    0x00BF, 0x00AE, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,  // A8
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x00C1, 0x00C2, 0x00C0,  // B0
    0x00A9, 0x2563, 0x2551, 0x2557, 0x255D, 0x00A2, 0x00A5, 0x2510,  // B8
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x00E3, 0x00C3,  // C0
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x00A4,  // C8
    0x00F0, 0x00D0, 0x00CA, 0x00CB, 0x00C8, 0x0131, 0x00CD, 0x00CE,  // D0
    0x00CF, 0x2518, 0x250C, 0x2588, 0x2584, 0x00A6, 0x00CC, 0x2580,  // D8
    0x00D3, 0x00DF, 0x00D4, 0x00D2, 0x00F5, 0x00D5, 0x00B5, 0x00FE,  // E0
    0x00DE, 0x00DA, 0x00DB, 0x00D9, 0x00FD, 0x00DD, 0x00AF, 0x00B4,  // E8
    0x00AD, 0x00B1, 0x2017, 0x00BE, 0x00B6, 0x00A7, 0x00F7, 0x00B8,  // F0
    0x00B0, 0x00A8, 0x00B7, 0x00B9, 0x00B3, 0x00B2, 0x25A0, 0x00A0,  // F8
};

// Windows-1252 has no box-drawing or block characters: lines become '-', '=' and '¦',
// corners and crossings '+', the rest '?'.
unsigned char BestFit(char16_t cp) {
  switch (cp) {
    case 0x2500: return '-';
    case 0x2550: case 0x2017: return '=';
    case 0x2502: case 0x2551: return 0xA6;
    case 0x0131: return 'i';
    default: break;
  }
  return (cp >= 0x2500 && cp <= 0x257F) ? '+' : '?';
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

}  // namespace

std::string Utf8FromWin(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 4);
  for (char c : text) AppendUtf8(out, CodePointFromWin(static_cast<unsigned char>(c)));
  return out;
}

std::string WinFromUtf8(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  std::size_t i = 0;
  while (i < utf8.size()) {
    auto b = static_cast<unsigned char>(utf8[i]);
    char32_t cp;
    std::size_t extra;
    if (b < 0x80) { cp = b; extra = 0; }
    else if ((b & 0xE0) == 0xC0) { cp = b & 0x1F; extra = 1; }
    else if ((b & 0xF0) == 0xE0) { cp = b & 0x0F; extra = 2; }
    else if ((b & 0xF8) == 0xF0) { cp = b & 0x07; extra = 3; }
    else { out += '?'; ++i; continue; }  // a stray continuation byte
    bool ok = i + extra < utf8.size();
    for (std::size_t k = 1; ok && k <= extra; ++k) {
      auto c = static_cast<unsigned char>(utf8[i + k]);
      ok = (c & 0xC0) == 0x80;
      cp = (cp << 6) | (c & 0x3F);
    }
    if (!ok) { out += '?'; ++i; continue; }
    i += 1 + extra;
    int w = Win1252FromCodePoint(cp);
    out += w >= 0 ? static_cast<char>(w) : '?';
  }
  return out;
}

std::optional<std::string> WinPathFromUtf8(std::string_view utf8) {
  std::string win = WinFromUtf8(utf8);
  // Exactly the characters of the path, or no path: a '?' put in place of one names another file.
  if (Utf8FromWin(win) != utf8) return std::nullopt;
  return win;
}

std::string UnusablePathMessage(std::string_view utf8_path) {
  return "Sökvägen har tecken som programmet inte kan hantera (utanför Windows-1252): " +
         std::string(utf8_path);
}

const std::array<unsigned char, 256>& OemToAnsiTable() {
  static const auto table = [] {
    std::array<unsigned char, 256> t{};
    for (int i = 0; i < 128; ++i) t[i] = static_cast<unsigned char>(i);
    for (int i = 0; i < 128; ++i) {
      int w = Win1252FromCodePoint(kCp850High[i]);
      t[128 + i] = w >= 0 ? static_cast<unsigned char>(w) : BestFit(kCp850High[i]);
    }
    return t;
  }();
  return table;
}

const std::array<unsigned char, 256>& AnsiToOemTable() {
  static const auto table = [] {
    std::array<unsigned char, 256> t{};
    for (int i = 0; i < 256; ++i) t[i] = i < 128 ? static_cast<unsigned char>(i) : '?';
    for (int i = 0; i < 128; ++i) {
      int w = Win1252FromCodePoint(kCp850High[i]);
      if (w >= 0) t[w] = static_cast<unsigned char>(128 + i);
    }
    return t;
  }();
  return table;
}

}  // namespace olbrax::platform

#include "exchange/iof/iof_text.h"

#include <QList>
#include <QString>

namespace olbrax::iof {

namespace {

// Stand-ins for characters that have no letter underneath.
int StandIn(char32_t cp) {
  switch (cp) {
    case 0x0141: return 'L';  // Ł
    case 0x0142: return 'l';  // ł
    case 0x0110: return 'D';  // Đ
    case 0x0111: return 'd';  // đ
    case 0x0131: return 'i';  // ı
    case 0x00A0: return ' ';
    case 0x2010:
    case 0x2011:
    case 0x2212: return '-';
    default: return -1;
  }
}

}  // namespace

Converted FromXml(std::string_view utf8) {
  Converted out;
  QString s = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
  out.text.reserve(utf8.size());
  for (char32_t cp : s.toUcs4()) {
    int w = platform::Win1252FromCodePoint(cp);
    if (cp == 0xFFFD) w = -1;  // what the decoder made of invalid bytes
    if (w >= 0) {
      out.text += static_cast<char>(w);
      continue;
    }
    out.replaced = true;
    w = StandIn(cp);
    if (w < 0) {
      // The base letter of a decomposed character, when the code page has that.
      QString d = QString::fromUcs4(&cp, 1).normalized(QString::NormalizationForm_D);
      if (!d.isEmpty()) {
        int base = platform::Win1252FromCodePoint(d.at(0).unicode());
        if (d.size() > 1 && base >= 'A') w = base;
      }
    }
    out.text += static_cast<char>(w >= 0 ? w : '?');
  }
  return out;
}

std::string ToXml(std::string_view win1252) { return Utf8FromWin(win1252); }

}  // namespace olbrax::iof

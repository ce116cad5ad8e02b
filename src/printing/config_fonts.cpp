#include "printing/config_fonts.h"

#include <cmath>
#include <cstdlib>

#include "platform/qt/qtext.h"

namespace olbrax {

namespace {
// A cell height (positive) is about 1.15 times the character height of the usual faces.
constexpr double kCellToEm = 1.15;
}

void ApplyFont(const FontSpec& spec, QFont& font) {
  // Colour and character set have no place on a QFont; the order size, height, face, pitch,
  // style leaves the height deciding the size, as the stored settings expect.
  if (spec.size > 0) font.setPointSize(spec.size);
  if (spec.height != 0) {
    double px = std::abs(spec.height);
    if (spec.height > 0) px /= kCellToEm;
    font.setPointSizeF(px * 72.0 / 96.0);
  }
  Text face = spec.name.get();
  if (!face.empty()) font.setFamily(platform::ToQ(face));
  font.setFixedPitch(spec.pitch == 2);
  if (spec.pitch == 2) font.setStyleHint(QFont::Monospace);
  font.setBold(spec.style & 1);
  font.setItalic(spec.style & 2);
  font.setUnderline(spec.style & 4);
  font.setStrikeOut(spec.style & 8);
}

void CaptureFont(const QFont& font, FontSpec& spec) {
  spec.charset = 1;
  spec.color = 0;
  double pt = font.pointSizeF() > 0 ? font.pointSizeF() : font.pixelSize() * 72.0 / 96.0;
  spec.size = static_cast<std::int32_t>(std::lround(pt));
  spec.height = -static_cast<std::int32_t>(std::lround(pt * 96.0 / 72.0));
  spec.name.set(platform::FromQ(font.family()).substr(0, 80));
  spec.pitch = font.fixedPitch() ? 2 : 0;
  spec.style = static_cast<std::uint8_t>((font.bold() ? 1 : 0) | (font.italic() ? 2 : 0) |
                                         (font.underline() ? 4 : 0) | (font.strikeOut() ? 8 : 0));
}

void ApplyLogFont(const LogFont& log, QFont& font) {
  FontSpec spec{};
  spec.charset = log.charset;
  spec.height = log.height;
  spec.name.set(log.face);
  spec.style = font.bold() ? 1 : 0;
  ApplyFont(spec, font);
}

}  // namespace olbrax

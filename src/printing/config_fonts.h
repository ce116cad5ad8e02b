// Fonts of the configuration on Qt fonts: ApplyFont sets a QFont from a FontSpec (the height,
// in pixels at 96 per inch, decides the size), CaptureFont stores a QFont back, ApplyLogFont
// takes face and height from a logical font.
#pragma once

#include <QFont>

#include "printing/config/config_layout.h"

namespace olbrax {

void ApplyFont(const FontSpec& spec, QFont& font);
void CaptureFont(const QFont& font, FontSpec& spec);

// The parts of a logical font that ApplyLogFont uses.
struct LogFont {
  int height = 0;  // pixels at 96 per inch, negative = character height
  std::uint8_t charset = 1;
  Text face;
};
void ApplyLogFont(const LogFont& log, QFont& font);

}  // namespace olbrax

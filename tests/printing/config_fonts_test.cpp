// Fonts of the configuration on Qt fonts, both ways.
#include <QFont>

#include "printing/config_fonts.h"
#include "support/fixtures.h"

namespace olbrax::test {
namespace {

TEST(ConfigFonts, HeightDecidesAndCaptureRoundTrips) {
  FontSpec spec{};
  spec.name.set("Courier New");
  spec.size = 30;     // overridden by the height
  spec.height = -16;  // a character height of 16 pixels at 96 per inch: 12 points
  spec.pitch = 2;
  spec.style = 1 | 2;
  QFont f;
  ApplyFont(spec, f);
  EXPECT_DOUBLE_EQ(f.pointSizeF(), 12.0);
  EXPECT_EQ(f.family(), "Courier New");
  EXPECT_TRUE(f.bold() && f.italic() && f.fixedPitch());
  EXPECT_FALSE(f.underline());

  FontSpec back{};
  CaptureFont(f, back);
  EXPECT_EQ(back.size, 12);
  EXPECT_EQ(back.height, -16);
  EXPECT_EQ(back.name.get(), "Courier New");
  EXPECT_EQ(back.pitch, 2);
  EXPECT_EQ(back.style, 3);
}

}  // namespace
}  // namespace olbrax::test

// What a print job takes from a print environment: the printer, its resolution and page setup,
// the columns, the three fonts, the footer text and the end-of-report pictures.
#pragma once

#include <array>
#include <cstdint>

#include "base/text.h"

namespace olbrax::print {

// A font of an environment: face, size in points, height in pixels at 96 per inch (positive =
// cell height, negative = character height; the height decides the size), style.
struct JobFont {
  Text face = "Arial";
  int size = 11;
  int height = 11;
  bool bold = true;
  bool italic = false;
  bool underline = false;
  bool strikeout = false;
  bool fixed_pitch = false;
};

struct JobPicture {
  bool active = false;
  Text path;        // empty: the built-in picture of that number
  int divisor = 5;  // the picture gets 1/divisor of the report width
};

struct JobSetup {
  Text device = "PDF";
  bool devmode_valid = true;
  int orientation = 1;
  int paper_size = 9;
  int print_quality = 600;  // horizontal dots per inch
  int y_resolution = 600;   // vertical dots per inch
  std::uint32_t page_flags = 8;  // bit value 8: margins in thousandths of an inch
  int margin_left = 500, margin_top = 500, margin_right = 100, margin_bottom = 0;
  int columns = 1;  // as stored: the fonts are divided by it (0 or less counts as 1)
  JobFont large{"Arial", 14, 14, true};
  JobFont medium{"Arial", 11, 11, true};
  JobFont small{"Arial", 8, 8, true};
  Text footer;
  std::array<JobPicture, 5> pictures{};
};

}  // namespace olbrax::print

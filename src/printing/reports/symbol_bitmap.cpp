#include "printing/reports/symbol_bitmap.h"

#include <algorithm>

namespace olbrax::print {

MonoBitmap SymbolBitmap(const TRoute24Rec& symbol, int cell, int bands) {
  bands = std::clamp(bands, 1, 3);
  const bool widened = cell == 2;
  const bool double_left = cell == 1 || cell == 4 || cell == 7;
  MonoBitmap out(widened ? 56 : 48, 24 * bands);
  for (int g = 0; g < bands; ++g)
    for (int r = 0; r < 3; ++r) {
      std::uint8_t bytes[48];
      std::copy(symbol.RouteSymbol[g][r], symbol.RouteSymbol[g][r] + 48, bytes);
      if (double_left && bytes[0] == 255) bytes[1] = 255;
      for (int c = 0; c < out.width; ++c) {
        std::uint8_t b = bytes[std::min(c, 47)];
        for (int bit = 0; bit < 8; ++bit)
          if (b & (0x80 >> bit)) out.Set(c, g * 24 + r * 8 + bit, true);
      }
    }
  return out;
}

}  // namespace olbrax::print

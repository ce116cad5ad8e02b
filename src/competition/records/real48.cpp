#include <cmath>

#include "competition/records/record_text.h"

namespace olbrax {

namespace {
constexpr double kTwo39 = 549755813888.0;  // 2^39
}

double ReadReal48(const unsigned char* b) {
  if (b[0] == 0) return 0.0;
  std::uint64_t frac = std::uint64_t(b[1]) | std::uint64_t(b[2]) << 8 | std::uint64_t(b[3]) << 16 |
                       std::uint64_t(b[4]) << 24 | std::uint64_t(b[5] & 0x7F) << 32;
  double mantissa = 1.0 + static_cast<double>(frac) / kTwo39;
  double v = std::ldexp(mantissa, static_cast<int>(b[0]) - 129);
  return (b[5] & 0x80) ? -v : v;
}

void WriteReal48(double value, unsigned char* b) {
  std::memset(b, 0, 6);
  if (value == 0.0 || std::isnan(value)) return;
  bool negative = std::signbit(value);
  int exponent = 256;  // infinities take the largest value
  std::uint64_t frac = 0;
  if (std::isfinite(value)) {
    int e = 0;
    double m = std::frexp(std::fabs(value), &e);  // value = m * 2^e, 0.5 <= m < 1
    // (2m - 1) has at most 52 fraction bits, so the product is exact and only llround rounds.
    frac = static_cast<std::uint64_t>(std::llround((2.0 * m - 1.0) * kTwo39));
    exponent = e - 1 + 129;
    if (frac >= static_cast<std::uint64_t>(kTwo39)) {  // rounded up to the next power of two
      frac = 0;
      ++exponent;
    }
  }
  // Below the smallest value 2^-128: the upper half of the gap rounds up to it, the rest to zero.
  if (exponent == 0) {
    exponent = 1;
    frac = 0;
  }
  if (exponent < 1) return;
  if (exponent > 255) {  // beyond the format: its largest value
    exponent = 255;
    frac = static_cast<std::uint64_t>(kTwo39) - 1;
  }
  b[0] = static_cast<unsigned char>(exponent);
  for (int i = 0; i < 5; ++i) b[1 + i] = static_cast<unsigned char>(frac >> (8 * i));
  if (negative) b[5] |= 0x80;
}

}  // namespace olbrax

// Field types of the competition records as they lie on disk: length-prefixed texts, zero-ended
// paths and the 6-byte real of the club statistics. The record structs are the disk layout
// itself (checked field by field with static_assert), so these types are plain bytes.
#pragma once

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "base/text.h"

namespace olbrax {

// The record structs are read and written as they lie in memory, and the files are little-endian.
static_assert(std::endian::native == std::endian::little, "the record layouts need a little-endian host");

// A text of at most N characters: one length byte and N character bytes.
template <int N>
struct PStr {
  std::uint8_t len;
  char s[N];

  Text get() const { return Text(s, std::min<int>(len, N)); }
  // Stores at most N characters; the bytes after them are zeroed.
  void set(std::string_view v) {
    std::size_t n = std::min<std::size_t>(v.size(), N);
    len = static_cast<std::uint8_t>(n);
    std::memcpy(s, v.data(), n);
    std::memset(s + n, 0, N - n);
  }
  bool empty() const { return len == 0; }
  // Applies a text conversion to the field in place.
  template <class F>
  void convert(F&& f) {
    set(f(get()));
  }
};
static_assert(sizeof(PStr<2>) == 3 && alignof(PStr<30>) == 1);

// A zero-ended path of at most 1024 characters in 1025 bytes.
struct LongPath {
  char s[1025];

  Text get() const { return Text(s, ::strnlen(s, sizeof s)); }
  void set(std::string_view v) {
    std::size_t n = std::min<std::size_t>(v.size(), 1024);
    std::memcpy(s, v.data(), n);
    std::memset(s + n, 0, sizeof s - n);
  }
  template <class F>
  void convert(F&& f) {
    set(f(get()));
  }
};
static_assert(sizeof(LongPath) == 1025);

// Five address lines of 22 characters.
struct AddressBlock {
  PStr<22> line[5];
};
static_assert(sizeof(AddressBlock) == 115);

// Entrant counts per [stage 0..5][intermediate 0..25].
using CountType = std::int16_t[6][26];
static_assert(sizeof(CountType) == 312);

// The 6-byte real of the club statistics: exponent byte biased by 129 (0 = the value 0), then a
// 39-bit fraction least significant byte first with the sign in the top bit of the last byte.
// Reading is exact; writing rounds to the nearest value the format holds.
double ReadReal48(const unsigned char* bytes);
void WriteReal48(double value, unsigned char* bytes);

// The text conversions of stored records: DosToWin after reading, WinToDos before writing.
inline Text FromStorageText(std::string_view t) { return DosToWin(t); }
inline Text ToStorageText(std::string_view t) { return WinToDos(t); }

}  // namespace olbrax

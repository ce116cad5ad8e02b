#include "exchange/iof/name_mapping.h"

#include "exchange/exchange_format.h"

namespace olbrax::iof {

Text MapName(std::string_view name, std::size_t width, const Taken& taken) {
  Text up = UpStr(name);
  if (up.size() <= width) return up;
  Text cut = up.substr(0, width);
  if (!taken(cut)) return cut;
  for (int n = 2; n < 1000; ++n) {
    Text suffix = "~" + std::to_string(n);
    if (suffix.size() >= width) break;
    Text candidate = up.substr(0, width - suffix.size()) + suffix;
    if (!taken(candidate)) return candidate;
  }
  return {};
}

Text MapControlCode(std::string_view id, const Taken& taken) {
  Text up = UpStr(id);
  std::size_t zeros = 0;
  while (zeros + 1 < up.size() && up[zeros] == '0') ++zeros;
  up.erase(0, zeros);
  if (up.size() <= kControlCodeWidth) return NormaliseControlCode(up);
  Text first = NormaliseControlCode(up.substr(0, kControlCodeWidth));
  if (!taken(first)) return first;
  for (int n = 1; n <= 99; ++n) {
    Text candidate = "Z" + ZeroStr(n, 2);
    if (!taken(candidate)) return candidate;
  }
  return {};
}

}  // namespace olbrax::iof

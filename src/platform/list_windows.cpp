#include "platform/list_windows.h"

namespace olbrax::platform {

namespace {

// A number right-aligned in three characters (a longer one is kept whole).
std::string Right3(int n) {
  std::string s = std::to_string(n);
  while (s.size() < 3) s.insert(s.begin(), ' ');
  return s;
}

}  // namespace

std::string PickStatusText(int selected, int lines) {
  return (selected > 0 ? Right3(selected) : std::string()) + " [" + Right3(lines) + "]";
}

}  // namespace olbrax::platform

#include "shell/window_scale_calc.h"

#include <algorithm>
#include <cmath>

namespace olbrax {

int ComputeWindowScale(int screen_width, int screen_height, int stored_scale) {
  // Whole windows that fit across and down (integer division), a third of the smaller count.
  const int w = screen_width / kShellClientWidth;
  const int h = screen_height / kShellClientHeight;
  double x = std::min(w, h) / 3.0;
  if (x < 1) x = 1;
  int scale = static_cast<int>(std::lround(x * 100));
  if (stored_scale >= 100 && stored_scale <= kMaxWindowScale) scale = stored_scale;
  return scale;
}

}  // namespace olbrax

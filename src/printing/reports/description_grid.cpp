#include "printing/reports/description_grid.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "base/messages.h"
#include "printing/engine/print_engine.h"
#include "printing/reports/report_setup.h"

namespace olbrax::print {

double GridUnit() { return 3.0 * Report.scale / 10.0; }

int AcrossCount(bool notice) {
  int n = static_cast<int>(ColumnWidth() / (413.0 * 3.0 * Report.scale / 10.0));
  n = std::min(n, 8);
  if (n < 1) {
    if (notice) ShowText(201, "Utskriften f\xE5r inte plats p\xE5 bredden. F\xF6r stor skala!");
    n = 1;
  }
  return n;
}

int RowHeight() { return static_cast<int>(std::lround(144.0 * Report.scale / 10.0)); }

int CellX(int i, int k) {
  int m = std::max(1, std::abs(k));
  int base = (m - 1) * 48 + (m >= 3 ? 8 : 0) + (k < 0 ? 5 : 0);
  double u = GridUnit();
  double span = static_cast<double>(ColumnWidth()) / AcrossCount(false);
  double margin = std::max(0.0, (span - 392.0 * u) / 2.0);
  return static_cast<int>((i - 1) * span + base * u + margin);
}

}  // namespace olbrax::print

#include "competition/registers/results.h"

#include <fstream>
#include <vector>

#include "base/messages.h"
#include "base/times.h"
#include "competition/records/class_rec.h"
#include "competition/records/cmp_club_rec.h"

namespace olbrax {

namespace {

constexpr std::int32_t kStatusBase = 5999940;
constexpr std::string_view kStatusTexts[9] = {"FULLF\xD6LJ  ", "FELST\xC4MPL ", "UTG\xC5TT    ",
                                               "DISKVAL   ", "UPPFLY.   ", "\xC5TERBUD   ",
                                               "EJUPPG.   ", "EJSTART   ", "EJSTART   "};

struct Rows {
  std::vector<LegOrder> rows;
  bool error = false;
};

// Reads the class's rows from the allocation file; true when they are to be used.
bool ReadAllocationFile(Rows& out, int legs) {
  Text path = CmpClubRec.DrawFilePath.get();
  if (path.empty()) return false;
  std::ifstream file(Utf8FromWin(path));
  if (!file) return false;
  Text class_name = KlassRec.Bet.get();
  bool in_class = false, stop = false, ended = true;
  std::string line;
  while (std::getline(file, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    line = line.substr(0, 64);
    if (!line.empty() && line[0] == '#') {
      stop = in_class;
      in_class = UpStr(line).find(class_name) != Text::npos;
      if (in_class) out.rows.clear();
    } else if (!line.empty() && line[0] == ';') {
      if (in_class) {
        MsgLine = line.substr(0, 160);
        ShowMsg(1);
      }
    } else if (line.size() >= 2 && in_class) {
      LegOrder row{};
      for (std::size_t k = 0; k < line.size() && k < 5; ++k) {  // legs beyond 5 do not exist
        int v = static_cast<unsigned char>(line[k]) - 48;
        if (v > legs || v < 1) {
          out.error = true;
          v = 1;
        }
        row[k] = static_cast<std::int16_t>(v);
      }
      out.rows.push_back(row);
    }
    if (out.rows.size() >= 250 || stop) {
      ended = false;
      break;
    }
  }
  bool ended_in_class = ended && in_class;
  if (!out.rows.empty() && (stop || ended_in_class)) return true;
  out.rows.clear();
  return false;
}

void GenerateRows(Rows& out, int legs) {
  int len[5] = {0, 0, 0, 0, 0};
  long product = 1;
  for (int j = 0; j < legs; ++j) {
    len[j] = static_cast<int>(KlassRec.BanLottn[j].get().size());
    product *= len[j];
  }
  int c[5] = {1, 1, 1, 1, 1};
  for (long m = 1; m <= product; ++m) {
    long e = 1;
    for (int j = 0; j < legs; ++j) {
      if (m >= e && m % e == 0) {
        if (++c[j] > len[j]) c[j] = 1;
      }
      e *= len[j];
    }
    LegOrder row{};
    for (int j = 0; j < legs; ++j) row[j] = static_cast<std::int16_t>(KlassRec.BanLottn[j].get()[static_cast<std::size_t>(c[j] - 1)] - 48);
    bool repeated = false;
    for (int a = 0; a < legs && !repeated; ++a)
      for (int b = a + 1; b < legs; ++b)
        if (row[a] == row[b]) repeated = true;
    if (!repeated && out.rows.size() < 250) out.rows.push_back(row);
  }
}

bool RowBelow(const LegOrder& a, const LegOrder& b, int legs) {
  for (int j = 0; j < legs; ++j)
    if (a[j] != b[j]) return a[j] < b[j];
  return false;
}

}  // namespace

Text ResultText(int format, std::int32_t time, int stage) {
  if (stage >= 0 && stage <= 5 && KlassRec.Struken[stage]) return "Struken";
  if (time >= kStatusBase && time <= kStatusBase + 8) return Text(kStatusTexts[time - kStatusBase]);
  Text t = TimeText(format, time).substr(0, 10);
  if (time % 60 == 0 && (format == 3 || format == 4 || format == 6)) t = (t + ":00").substr(0, 10);
  return (t + "  ").substr(0, 10);
}

void RelayAllocation(AllocationTable& table) {
  int legs = std::clamp<int>(KlassRec.StrNr, 0, 5);
  Rows rows;
  int p = 1;
  if (!ReadAllocationFile(rows, legs)) {
    GenerateRows(rows, legs);
    int r = static_cast<int>(rows.rows.size());
    for (int i = 0; i < r - 1; ++i)
      for (int q = i + 1; q < r; ++q)
        if (!RowBelow(rows.rows[static_cast<std::size_t>(q)], rows.rows[static_cast<std::size_t>(i)], legs))
          std::swap(rows.rows[static_cast<std::size_t>(i)], rows.rows[static_cast<std::size_t>(q)]);
    p = 0;
    while (p < r && rows.rows[static_cast<std::size_t>(p)][0] == rows.rows[0][0]) ++p;
    if (p == r || r == 0) p = 1;
  }
  int r = static_cast<int>(rows.rows.size());
  if (r == 0) {
    // No row can be formed: every leg of every team runs course 1, and the user is told.
    rows.error = true;
    for (auto& row : table) row = {1, 1, 1, 1, 1};
  } else {
    int x = 1 - p, g = 1;
    for (int k = 1; k <= 250; ++k) {
      if (x + p > r) {
        if (++g > p) g = 1;
        x = g;
      } else {
        x += p;
      }
      LegOrder row = rows.rows[static_cast<std::size_t>(x - 1)];
      for (int j = 0; j < legs; ++j)
        if (row[j] > legs || row[j] < 1) {
          rows.error = true;
          row[j] = 1;
        }
      table[static_cast<std::size_t>(k - 1)] = row;
    }
  }
  if (rows.error) {
    MsgLine = ("Fel i klassdata/banordnfil \"" + WinToDos(KlassRec.Bet.get()) + "\", Banlottningen ej rimlig.").substr(0, 160);
    ShowMsg(201);
  }
}

}  // namespace olbrax

// The defaults a reset of the configuration file writes: the general settings and the ten label
// and ten print environment layouts.
#include <cstring>

#include "printing/config/configuration.h"

namespace olbrax {

namespace {

void SetFont(FontSpec& f, std::string_view face, int size, int height, bool bold, bool fixed = false) {
  f.charset = 1;  // the platform's default character set
  f.color = 0;
  f.size = size;
  f.height = height;
  f.name.set(face);
  f.pitch = fixed ? 2 : 0;
  f.style = bold ? 1 : 0;
}

Text TwoDigits(int n) { return Text(1, static_cast<char>('0' + n / 10)) + static_cast<char>('0' + n % 10); }

struct LabelLayout {
  const char* name;  // Windows-1252
  int left, height, row_pitch, column_pitch, width, top, reserved, per_row, rows, paper, flag;
};

// Geometry in tenths of a millimetre; paper 40 is the German standard fan-fold, 0 = not set.
// The continuous layouts 4 and 5 have 11 rows although their names say 12.
constexpr LabelLayout kLabelLayouts[10] = {
    {"Laser 3x8", -50, 320, 360, 703, 600, -20, 30, 3, 8, 0, 1},
    {"Laser 6x8", 0, 370, 370, 349, 348, 0, 30, 6, 8, 0, 1},
    {"Laser 2x8", -30, 300, 356, 1060, 900, -10, 30, 2, 8, 0, 1},
    {"L\xF6pande 2x12 I", -50, 230, 254, 1040, 900, 0, 0, 2, 11, 40, 0},
    {"L\xF6pande 2x12 II", -100, 230, 254, 930, 750, 0, 0, 2, 11, 40, 0},
    {"L\xF6pande 3x12", -100, 200, 254, 918, 800, 0, 0, 3, 11, 40, 0},
    {"Resultatremsor I", 80, 300, 380, 1810, 1790, -30, 0, 1, 8, 40, 0},
    {"Resultatremsor II", 190, 240, 254, 1800, 1750, -40, 0, 1, 12, 40, 0},
    {"Resultatremsor III", 70, 220, 254, 1910, 1850, -30, 0, 1, 12, 40, 0},
    {"Giro/Startkort", -60, 1016, 1016, 1850, 1850, -40, 0, 1, 3, 0, 0},
};

constexpr const char* kPrintNames[10] = {
    "arial.st\xE5" "ende", "arial.liggande", "Courier.st\xE5" "ende", "Courier.liggande", "Arial.st\xE5" "ende",
    "Arial.liggande", "Proprinter.A3.40,36,16", "olbrax.ex.org", "olbrax.ex.org", "olbrax.ex.org"};

// The footer line of a new print environment, naming the program's web site and e-mail address.
constexpr std::string_view kDefaultFooter = "# olbrax.example.org  info@olbrax.example.org #";

}  // namespace

void DefaultGeneralSettings(TGeneralSettings& g) {
  std::memset(&g, 0, sizeof g);
  g.label_env = 1;
  g.print_env = 1;
  g.dialog_page = 1;
  g.window_scale = 1;
  g.RouteFormat = 1;
  g.DataDirectory.set(DefaultDataDirectory());
  g.remembered_directory[AppSlot].set(DefaultDataDirectory());
  g.system_path.set("c:\\windows\\command\\system32");
  g.file_mask.set("*.*");
  g.computer_name.set("huvuddator.DatorID.ejdef");
  g.communication.set("Kommunikationsinst\xE4llning default");
  for (int n = 1; n <= 10; ++n) {
    g.label_names[n - 1].set("Etikettinst\xE4llning" + TwoDigits(n) + " default");
    g.print_names[n - 1].set("Utskriftsinst\xE4llning" + TwoDigits(n) + " default");
  }
}

void DefaultLabelEnvironment(int n, TLabelEnvironment& e, TGeneralSettings& g) {
  std::memset(&e, 0, sizeof e);
  e.setup = DefaultPrinterSetup;
  for (int i = 0; i < 4; ++i) e.setup.SetMargin(i, 0);
  SetFont(e.setup.large, "Courier New", 16, 16, true);
  SetFont(e.setup.medium, "Courier New", 12, 12, true);
  SetFont(e.setup.small, "Courier New", 10, 10, true);
  e.setup.columns = 1;
  e.copies = 1;
  e.reserved24 = e.reserved28 = 10;
  const LabelLayout& l = kLabelLayouts[n - 1];
  e.left = l.left;
  e.height = static_cast<std::uint16_t>(l.height);
  e.row_pitch = static_cast<std::uint16_t>(l.row_pitch);
  e.column_pitch = static_cast<std::uint16_t>(l.column_pitch);
  e.width = static_cast<std::uint16_t>(l.width);
  e.top = l.top;
  e.reserved16 = static_cast<std::uint16_t>(l.reserved);
  e.per_row = static_cast<std::uint16_t>(l.per_row);
  e.rows = static_cast<std::uint16_t>(l.rows);
  if (l.paper) e.setup.Set16(devmode::kPaperSize, l.paper);
  e.sheet_flag = static_cast<std::uint8_t>(l.flag);
  if (n == 4 || n == 5) {
    SetFont(e.setup.large, "Courier 5cpi", 15, 16, true, true);
    SetFont(e.setup.medium, "Courier 10cpi", 15, 12, true, true);
    SetFont(e.setup.small, "Courier 17cpi", 15, 10, false, true);
  }
  g.label_names[n - 1].set(l.name);
}

void DefaultPrintEnvironment(int n, TPrintEnvironment& e, TGeneralSettings& g) {
  std::memset(&e, 0, sizeof e);
  e.flags[1] = 1;
  e.setup = DefaultPrinterSetup;
  e.setup.SetMargin(0, 500);
  e.setup.SetMargin(1, 500);
  e.setup.SetMargin(2, 100);
  e.setup.SetMargin(3, 0);
  e.setup.columns = 1;
  static constexpr int kDivisors[5] = {6, 4, 5, 5, 5};
  for (int i = 0; i < 5; ++i) e.pictures[i].divisor = kDivisors[i];
  e.pictures[0].active = 1;
  SetFont(e.setup.large, "Arial", 14, 14, true);
  SetFont(e.setup.medium, "Arial", 11, 11, true);
  SetFont(e.setup.small, "Arial", 8, 8, true);
  e.footer.set(kDefaultFooter);
  e.setup.Set16(devmode::kOrientation, n % 2 == 0 && n <= 6 ? 2 : 1);
  if (n == 3 || n == 4) {
    const int sizes[2][3] = {{16, 12, 8}, {16, 14, 10}};
    FontSpec* fonts[3] = {&e.setup.large, &e.setup.medium, &e.setup.small};
    for (int i = 0; i < 3; ++i) {
      fonts[i]->name.set("Courier New");
      fonts[i]->size = sizes[n - 3][i];
    }
  }
  g.print_names[n - 1].set(kPrintNames[n - 1]);
}

}  // namespace olbrax

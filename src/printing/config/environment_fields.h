// The fields of the print and label environments as the configuration dialog and
// "olbrax-cli config set" edit them, with their limits, and the rules that store them into the
// environments and read them back (StorePrintEnvironment, LoadPrintEnvironment and the label
// counterparts). The dialog and the command-line tool both go through these functions.
#pragma once

#include <array>

#include "base/text.h"
#include "printing/config/config_layout.h"

namespace olbrax {

// Field lengths and ranges.
namespace fields {
constexpr int kNameMax = 40;
constexpr int kFooterMax = 64;
constexpr int kComputerNameMax = 31;
constexpr int kPrinterTextMax = 63;
constexpr int kFontTextMax = 80;
constexpr int kColumnsMin = 1, kColumnsMax = 9;
constexpr int kDivisorMin = 1, kDivisorMax = 9;
// Margins (int32 in the file) take the dialog's whole range; the lengths are 16-bit unsigned in
// the file, so they start at 0: a negative length would wrap around to a huge one.
constexpr int kMarginMin = -999, kMarginMax = 9999;
constexpr int kLengthMin = 0, kLengthMax = 9999;
constexpr int kPerRowMin = 1, kPerRowMax = 9;
constexpr int kRowsMin = 1, kRowsMax = 99;
constexpr int kCopiesMin = 1, kCopiesMax = 99;
}  // namespace fields

struct PrintFields {
  Text name;    // "namn"
  Text footer;  // "fottext"
  int columns = 1;  // "kolumner"
  // Pictures 1..4 (index 0..3): "aktiv" and "storlek".
  std::array<bool, 4> active{};
  std::array<int, 4> divisor{};
};

struct LabelFields {
  Text name;         // "namn"
  int top = 0;       // "topmarginal"
  int left = 0;      // "vänstermarg"
  int height = 0;    // "etiketthöjd"
  int width = 0;     // "etikettbredd"
  int row_pitch = 0;     // "raddelning"
  int column_pitch = 0;  // "kolumndeln"
  int per_row = 1;   // "antal kolumn"
  int rows = 1;      // "antal rader"
  int copies = 1;    // "antal kopior"
};

// The fields of print environment k as the current record and the general settings hold them
// (the current record must be environment k).
PrintFields PrintFieldsOf(int k);
LabelFields LabelFieldsOf(int k);

// Why a field cannot be stored, as the status line shows it (the field, its value and its
// range); empty when every field is within its range.
Text CheckPrintFields(const PrintFields& f);
Text CheckLabelFields(const LabelFields& f);

// StorePrintEnvironment (k), k = 1..10 (other values do nothing and return false): the current
// print environment becomes k, the fields go into it (texts cut to their lengths) and into the
// name of environment k, and, when the configuration file opens, environment k and the names are
// written to it. A field outside its range is not stored: the record keeps its value. False when
// the file could not be written (the record in memory holds the fields all the same).
bool StorePrintEnvironment(int k, const PrintFields& f);
bool StoreLabelEnvironment(int k, const LabelFields& f);

// LoadPrintEnvironment (k): when 1 <= k <= 10 and the file opens, reads environment k from it and
// makes it current. False otherwise (the current record stays).
bool LoadPrintEnvironment(int k);
bool LoadLabelEnvironment(int k);

}  // namespace olbrax

#include "printing/config/environment_fields.h"

#include "printing/config/configuration.h"

namespace olbrax {

namespace {

bool InRange(int v, int lo, int hi) { return v >= lo && v <= hi; }

Text RangeText(std::string_view caption, int v, int lo, int hi) {
  return Text(caption) + " " + IntStr(v, 0) + " utanf\xF6r " + IntStr(lo, 0) + ".." + IntStr(hi, 0);
}

// The checks of both kinds of environment: caption, value, range.
struct RangeCheck {
  std::string_view caption;
  int value, lo, hi;
};

Text FirstOutOfRange(std::initializer_list<RangeCheck> checks) {
  for (const RangeCheck& c : checks)
    if (!InRange(c.value, c.lo, c.hi)) return RangeText(c.caption, c.value, c.lo, c.hi);
  return {};
}

// Stores `v` into `field` when it is within its range; otherwise the field keeps its value.
template <class Field>
void StoreIfInRange(Field& field, int v, int lo, int hi) {
  if (InRange(v, lo, hi)) field = static_cast<Field>(v);
}

bool WriteSlot(bool (*write)(int), int k) {
  if (!OpenConfigFile()) return false;
  bool ok = write(k);
  ok = WriteEnvironmentNames() && ok;
  return CloseConfigFile() && ok;
}

}  // namespace

PrintFields PrintFieldsOf(int k) {
  PrintFields f;
  const TPrintEnvironment& e = CurrentPrintEnvironment;
  if (k >= 1 && k <= 10) f.name = GeneralSettings.print_names[k - 1].get();
  f.footer = e.footer.get();
  f.columns = e.setup.columns;
  for (int i = 0; i < 4; ++i) {
    f.active[static_cast<std::size_t>(i)] = e.pictures[i + 1].active != 0;
    f.divisor[static_cast<std::size_t>(i)] = e.pictures[i + 1].divisor;
  }
  return f;
}

LabelFields LabelFieldsOf(int k) {
  LabelFields f;
  const TLabelEnvironment& e = CurrentLabelEnvironment;
  if (k >= 1 && k <= 10) f.name = GeneralSettings.label_names[k - 1].get();
  f.top = e.top;
  f.left = e.left;
  f.height = e.height;
  f.width = e.width;
  f.row_pitch = e.row_pitch;
  f.column_pitch = e.column_pitch;
  f.per_row = e.per_row;
  f.rows = e.rows;
  f.copies = e.copies;
  return f;
}

Text CheckPrintFields(const PrintFields& f) {
  using namespace fields;
  return FirstOutOfRange({{"kolumner", f.columns, kColumnsMin, kColumnsMax},
                          {"storlek (bild1)", f.divisor[0], kDivisorMin, kDivisorMax},
                          {"storlek (bild2)", f.divisor[1], kDivisorMin, kDivisorMax},
                          {"storlek (bild3)", f.divisor[2], kDivisorMin, kDivisorMax},
                          {"storlek (bild4)", f.divisor[3], kDivisorMin, kDivisorMax}});
}

Text CheckLabelFields(const LabelFields& f) {
  using namespace fields;
  return FirstOutOfRange({{"topmarginal", f.top, kMarginMin, kMarginMax},
                          {"v\xE4nstermarg", f.left, kMarginMin, kMarginMax},
                          {"etiketth\xF6jd", f.height, kLengthMin, kLengthMax},
                          {"etikettbredd", f.width, kLengthMin, kLengthMax},
                          {"raddelning", f.row_pitch, kLengthMin, kLengthMax},
                          {"kolumndeln", f.column_pitch, kLengthMin, kLengthMax},
                          {"antal kolumn", f.per_row, kPerRowMin, kPerRowMax},
                          {"antal rader", f.rows, kRowsMin, kRowsMax},
                          {"antal kopior", f.copies, kCopiesMin, kCopiesMax}});
}

bool StorePrintEnvironment(int k, const PrintFields& f) {
  using namespace fields;
  if (k < 1 || k > 10) return false;
  TPrintEnvironment& e = CurrentPrintEnvironment;
  GeneralSettings.print_env = static_cast<std::uint8_t>(k);
  e.footer.set(f.footer.substr(0, kFooterMax));
  GeneralSettings.print_names[k - 1].set(f.name.substr(0, kNameMax));
  StoreIfInRange(e.setup.columns, f.columns, kColumnsMin, kColumnsMax);
  for (int i = 0; i < 4; ++i) {
    PicturePlace& p = e.pictures[i + 1];
    StoreIfInRange(p.divisor, f.divisor[static_cast<std::size_t>(i)], kDivisorMin, kDivisorMax);
    p.active = f.active[static_cast<std::size_t>(i)] ? 1 : 0;
  }
  return WriteSlot(WritePrintEnvironment, k);
}

bool StoreLabelEnvironment(int k, const LabelFields& f) {
  using namespace fields;
  if (k < 1 || k > 10) return false;
  TLabelEnvironment& e = CurrentLabelEnvironment;
  GeneralSettings.label_env = static_cast<std::uint8_t>(k);
  GeneralSettings.label_names[k - 1].set(f.name.substr(0, kNameMax));
  StoreIfInRange(e.top, f.top, kMarginMin, kMarginMax);
  StoreIfInRange(e.left, f.left, kMarginMin, kMarginMax);
  StoreIfInRange(e.height, f.height, kLengthMin, kLengthMax);
  StoreIfInRange(e.width, f.width, kLengthMin, kLengthMax);
  StoreIfInRange(e.row_pitch, f.row_pitch, kLengthMin, kLengthMax);
  StoreIfInRange(e.column_pitch, f.column_pitch, kLengthMin, kLengthMax);
  StoreIfInRange(e.per_row, f.per_row, kPerRowMin, kPerRowMax);
  StoreIfInRange(e.rows, f.rows, kRowsMin, kRowsMax);
  StoreIfInRange(e.copies, f.copies, kCopiesMin, kCopiesMax);
  return WriteSlot(WriteLabelEnvironment, k);
}

bool LoadPrintEnvironment(int k) {
  if (k < 1 || k > 10 || !OpenConfigFile()) return false;
  bool ok = ReadPrintEnvironment(k);
  CloseConfigFile();
  if (ok) GeneralSettings.print_env = static_cast<std::uint8_t>(k);
  return ok;
}

bool LoadLabelEnvironment(int k) {
  if (k < 1 || k > 10 || !OpenConfigFile()) return false;
  bool ok = ReadLabelEnvironment(k);
  CloseConfigFile();
  if (ok) GeneralSettings.label_env = static_cast<std::uint8_t>(k);
  return ok;
}

}  // namespace olbrax

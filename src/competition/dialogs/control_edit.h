// The edit of one control (window TKontrForm, caption "kontroll"): its code and the eight columns
// A..H of its description, the uniqueness check of the code, and the record buffer KontrRec.
#pragma once

#include <array>

#include "competition/dialogs/edit_form.h"
#include "competition/records/definition_recs.h"

namespace olbrax {

class ControlEdit : public EditForm {
 public:
  enum Field { kCode = 0, kGrid = 1 };
  static constexpr int kCodeMax = 3, kColumnMax = 10, kColumns = 8;

  // Takes the copy of KontrRec and fills the fields from it.
  explicit ControlEdit(bool adding);

  std::string_view Kind() const override { return "TKontrForm"; }
  // The code in upper case must not belong to another control; then KodNr and the columns, each
  // in upper case, are written.
  bool Ok() override;
  void Cancel() override { KontrRec = saved_; }

  Text code;                          // "Kontrollkod"
  std::array<Text, kColumns> columns;  // the grid's row 1, columns "A".."H"

 private:
  TKontrRec saved_;
};

}  // namespace olbrax

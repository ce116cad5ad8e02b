// The edit of one district (window TDistrForm, caption "distrikt"): its number 0..99, name and
// nation code, the uniqueness check of the number, and the record buffer DistrRec.
#pragma once

#include "competition/dialogs/edit_form.h"
#include "competition/records/club_recs.h"

namespace olbrax {

class DistrictEdit : public EditForm {
 public:
  enum Field { kNumber = 0, kName = 1, kNation = 2 };
  static constexpr int kNameMax = 19, kNationMax = 3, kNumberMax = 99;

  // Takes the copy of DistrRec and fills the fields from it.
  explicit DistrictEdit(bool adding);

  std::string_view Kind() const override { return "TDistrForm"; }
  // The number written as two digits must not belong to another district; then Dnr, Dname and
  // Dkort are written from the fields.
  bool Ok() override;
  void Cancel() override { DistrRec = saved_; }

  // "distriktsnr": the up-down value 0..99 (the stored number, 0 when it is not a number).
  int number = 0;
  Text name;    // "distriktsnamn"
  Text nation;  // "nation"

 private:
  TDistrRec saved_;
};

}  // namespace olbrax

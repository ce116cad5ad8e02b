// What a payment-form window edits, without the window: the form's fields, the checks of "ok"
// and the restore of "avbryt". It takes a copy of the giro buffer when it is made.
#pragma once

#include <string_view>

#include "base/text.h"
#include "competition/dialogs/edit_form.h"
#include "registers/data/giro_fields.h"
#include "registers/data/giro_record.h"

namespace olbrax {

class GiroEdit : public EditForm {
 public:
  // The fields of the giro buffer, for the window of `kind` (0 plusgiro, 1 postgiro, 3 bankgiro).
  GiroEdit(int kind, bool adding);

  // The window class of the kind: "TplusgiroDlg", "TpostgiroDlg" or "TbankgiroDlg".
  std::string_view Kind() const override;
  // "ok": refused (status text, signal beep) when the payee and letter code are taken or a giro
  // number fails its check digit; otherwise the fields go into the giro buffer.
  bool Ok() override;
  // "avbryt": the giro buffer as it was when the edit was made.
  void Cancel() override;
  // "utskrift": the fields into the giro buffer without the checks.
  void Store() const;

  const int kind;
  GiroFields fields;

 private:
  TGiroRec saved_;
};

}  // namespace olbrax

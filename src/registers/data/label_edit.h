// What the label edit window edits, without the window: the label's text, the check of OK and
// the restore of Cancel. It takes a copy of the label buffer when it is made.
#pragma once

#include <string_view>

#include "base/text.h"
#include "competition/dialogs/edit_form.h"
#include "registers/data/label_record.h"

namespace olbrax {

class LabelEdit : public EditForm {
 public:
  enum Field { kText = 0 };

  explicit LabelEdit(bool adding);

  // The window class that shows this edit.
  std::string_view Kind() const override { return "TEtikettDlg"; }
  // OK: refused (status text, signal beep) when another label is stored under the same first
  // line, because this one would then be stored without its key; otherwise the text goes into
  // the label buffer.
  bool Ok() override;
  // Puts the label buffer back as it was when the edit was made.
  void Cancel() override;

  // The memo's text as the label keeps it (CR LF line ends, at most 240 characters).
  Text text;

 private:
  TEtikettRec saved_;
};

}  // namespace olbrax

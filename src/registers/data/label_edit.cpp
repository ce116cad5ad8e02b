#include "registers/data/label_edit.h"

#include "base/messages.h"
#include "registers/data/label_register.h"

namespace olbrax {

LabelEdit::LabelEdit(bool adding) : adding(adding), text(EtikettRec.Etk.get()), saved_(EtikettRec) {}

bool LabelEdit::Ok() {
  text = Cut(text, kLabelTextMax);
  // When a label is changed, the register window has removed its key before the edit, so the
  // label does not collide with itself.
  if (LabelKeyTaken(text)) {
    status = LabelTakenText(StoredLabelKey(text));
    BeepSignal();
    return false;
  }
  EtikettRec.Etk.set(text);
  return true;
}

void LabelEdit::Cancel() { EtikettRec = saved_; }

}  // namespace olbrax

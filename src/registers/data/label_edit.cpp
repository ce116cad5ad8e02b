#include "registers/data/label_edit.h"

#include "registers/data/label_register.h"

namespace olbrax {

LabelEdit::LabelEdit(bool adding) : EditForm(adding), text(EtikettRec.Etk.get()), saved_(EtikettRec) {}

bool LabelEdit::Ok() {
  text = Cut(text, kLabelTextMax);
  // When a label is changed, the register window has removed its key before the edit, so the
  // label does not collide with itself.
  if (LabelKeyTaken(text)) return Refuse(LabelTakenText(StoredLabelKey(text)), kText);
  EtikettRec.Etk.set(text);
  return true;
}

void LabelEdit::Cancel() { EtikettRec = saved_; }

}  // namespace olbrax

#include "competition/dialogs/control_edit.h"

#include "competition/registers/definitions.h"
#include "competition/registers/register_find.h"

namespace olbrax {

ControlEdit::ControlEdit(bool adding) : EditForm(adding), saved_(KontrRec) {
  code = KontrRec.KodNr.get();
  for (int i = 0; i < kColumns; ++i) columns[static_cast<std::size_t>(i)] = KontrRec.R[i].get();
}

bool ControlEdit::Ok() {
  Text key = Cut(UpStr(code), kCodeMax);
  // The look-up reads a control it finds into KontrRec: keep the edited record's buffer, whose
  // position fields the window does not show.
  const TKontrRec edited = KontrRec;
  std::int32_t ref = 0;
  bool at_end = false, found = false;
  FindControl(kFindExact, key, ref, at_end, found);
  KontrRec = edited;
  if (found) return Refuse(ControlExistsText(key), kCode);
  KontrRec.KodNr.set(key);
  for (int i = 0; i < kColumns; ++i) KontrRec.R[i].set(Cut(UpStr(columns[static_cast<std::size_t>(i)]), kColumnMax));
  return true;
}

}  // namespace olbrax

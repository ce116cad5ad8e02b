#include "registers/data/giro_edit.h"

#include "registers/data/giro_register.h"

namespace olbrax {

GiroEdit::GiroEdit(int kind, bool adding)
    : EditForm(adding), kind(kind), fields(GiroFieldsFromBuffer(kind)), saved_(GiroRec) {}

std::string_view GiroEdit::Kind() const {
  switch (kind) {
    case kPlusgiro: return "TplusgiroDlg";
    case kPostgiro: return "TpostgiroDlg";
    default: return "TbankgiroDlg";
  }
}

bool GiroEdit::Ok() {
  // When a form is changed, the register window has removed its key before the edit.
  if (Text refused = CheckGiroFields(fields); !refused.empty()) return Refuse(std::move(refused), -1);
  StoreGiroFields(fields, kind);
  return true;
}

void GiroEdit::Cancel() { GiroRec = saved_; }

void GiroEdit::Store() const { StoreGiroFields(fields, kind); }

}  // namespace olbrax

#include "registers/forms/giro_register_form.h"

#include "base/messages.h"
#include "registers/data/giro_edit.h"
#include "registers/data/giro_register.h"
#include "storage/isam_status.h"

namespace olbrax {

TEGiroRegForm::TEGiroRegForm(platform::Window owner, int girokd)
    : TERegFormDlg(owner, "TEGiroRegForm", "giroregister"), girokd(girokd) {
  Fill();
}

void TEGiroRegForm::FormRegStr(Text& line) { line = GiroListLine(); }

bool TEGiroRegForm::CheckBeforeAdding() {
  ClearGiro();
  return GiroRegisterFull();
}

void TEGiroRegForm::DoTheDialog(bool add, int index, std::int32_t rec) {
  GiroEdit form(girokd, add);
  EditShape(add, index, rec, form);
}

void TEGiroRegForm::FixtSelect(int mode, std::string_view key, bool& at_end, bool& found, std::int32_t& rec) {
  FindGiro(mode, Cut(key, 30), rec, at_end, found);
}

bool TEGiroRegForm::PutRecSelect(std::int32_t rec) {
  RewriteGiro(rec);
  return IsamOK;
}

bool TEGiroRegForm::AddRecSelect(bool adding, std::int32_t& rec) {
  PutGiro(adding, rec);
  return IsamOK && rec > 0;
}

bool TEGiroRegForm::DelRecSelect(int mode, std::string_view key, bool remove_record, std::int32_t rec) {
  DeleteGiro(mode, Cut(key, 30), rec, remove_record);
  return IsamOK;
}

void OpenGiroRegister(int kind, platform::Window owner) {
  if (OpenGiroFile(kind)) {
    TEGiroRegForm dlg(owner, kind);
    dlg.Execute();
  } else {
    ShowText(1, GiroFilesFailedText());
  }
  CloseGiroFile();
}

}  // namespace olbrax

#include "shell/reglist/control_register.h"

#include "competition/definition_set.h"
#include "competition/dialogs/control_edit.h"
#include "competition/records/definition_recs.h"
#include "competition/registers/definitions.h"
#include "storage/isam_status.h"

namespace olbrax {

TKontrRegForm::TKontrRegForm(platform::Window owner) : TERegFormDlg(owner, "TKontrRegForm", "kontrollregister") {
  Fill();
}

void TKontrRegForm::FormRegStr(Text& line) { line = PadRight(KontrRec.KodNr.get(), '.', 4) + " "; }

bool TKontrRegForm::CheckBeforeAdding() {
  ClearControl();
  return false;
}

void TKontrRegForm::DoTheDialog(bool add, int index, std::int32_t rec) {
  ControlEdit form(add);
  EditShape(add, index, rec, form);
}

void TKontrRegForm::FixtSelect(int mode, std::string_view key, bool& at_end, bool& found, std::int32_t& rec) {
  FindControl(mode, key, rec, at_end, found);
}

bool TKontrRegForm::PutRecSelect(std::int32_t rec) {
  RewriteControl(rec);
  return IsamOK;
}

bool TKontrRegForm::AddRecSelect(bool adding, std::int32_t& rec) {
  PutControl(adding, rec);
  return IsamOK;
}

bool TKontrRegForm::DelRecSelect(int mode, std::string_view key, bool remove_record, std::int32_t rec) {
  DeleteControl(mode != 0, key, rec, remove_record);
  return IsamOK;
}

void ControlRegister(platform::Window owner) {
  WithDefinitionSet([owner] {
    TKontrRegForm dlg(owner);
    dlg.Execute();
  });
}

}  // namespace olbrax

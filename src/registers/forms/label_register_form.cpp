#include "registers/forms/label_register_form.h"

#include "base/messages.h"
#include "printing/engine/print_engine.h"
#include "registers/data/label_edit.h"
#include "registers/data/label_register.h"
#include "registers/sheets/sheet_print.h"
#include "storage/isam_status.h"

namespace olbrax {

TEEtikettRegForm::TEEtikettRegForm(platform::Window owner) : TERegFormDlg(owner, "TEEtikettRegForm", "etikettegister") {
  Fill();
}

void TEEtikettRegForm::FormRegStr(Text& line) { line = LabelKey(EtikettRec.Etk.get()); }

bool TEEtikettRegForm::CheckBeforeAdding() {
  ClearLabel();
  return LabelRegisterFull();
}

void TEEtikettRegForm::DoTheDialog(bool add, int index, std::int32_t rec) {
  LabelEdit form(add);
  EditShape(add, index, rec, form);
}

void TEEtikettRegForm::FixtSelect(int mode, std::string_view key, bool& at_end, bool& found, std::int32_t& rec) {
  FindLabel(mode, Cut(key, 30), rec, at_end, found);
}

bool TEEtikettRegForm::PutRecSelect(std::int32_t rec) {
  RewriteLabel(rec);
  return IsamOK;
}

bool TEEtikettRegForm::AddRecSelect(bool adding, std::int32_t& rec) {
  PutLabel(adding, rec);
  return IsamOK && rec > 0;
}

bool TEEtikettRegForm::DelRecSelect(int mode, std::string_view key, bool remove_record, std::int32_t rec) {
  DeleteLabel(mode, Cut(key, 30), rec, remove_record);
  return IsamOK;
}

bool TEEtikettRegForm::StartPrint() { return BeginSheetPrint("etiketter", Handle()); }

void TEEtikettRegForm::DoThePrint(int i, int n) {
  print::ShowProgress(i, n);
  PrintOnSheet(DrawLabel, EtikettRec.Etk.get());
}

void TEEtikettRegForm::StopPrint() {
  EndSheetPrint();
  ShowMsgLine();
}

void OpenLabelRegister(platform::Window owner) {
  if (OpenLabelFile()) {
    TEEtikettRegForm dlg(owner);
    dlg.Execute();
  } else {
    ShowText(1, LabelFilesFailedText());
  }
  CloseLabelFile();
}

}  // namespace olbrax

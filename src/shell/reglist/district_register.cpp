#include "shell/reglist/district_register.h"

#include "competition/archive_state.h"
#include "competition/dialogs/district_edit.h"
#include "competition/records/club_recs.h"
#include "competition/registers/shared_registers.h"
#include "storage/isam_status.h"

namespace olbrax {

TDistrRegForm::TDistrRegForm(platform::Window owner) : TERegFormDlg(owner, "TDistrRegForm", "distriktsregister") {
  Fill();
}

void TDistrRegForm::FormRegStr(Text& line) {
  line = PadRight(DistrRec.Dnr.get(), '.', 3) + " " + PadRight(DistrRec.Dname.get(), '.', 20) + " " +
         PadRight(DistrRec.Dkort.get(), '.', 4);
}

bool TDistrRegForm::CheckBeforeAdding() { return !SuggestDistrict(); }

void TDistrRegForm::DoTheDialog(bool add, int index, std::int32_t rec) {
  DistrictEdit form(add);
  EditShape(add, index, rec, form);
}

void TDistrRegForm::FixtSelect(int mode, std::string_view key, bool& at_end, bool& found, std::int32_t& rec) {
  FindDistrict(mode, key, rec, at_end, found);
}

bool TDistrRegForm::PutRecSelect(std::int32_t rec) {
  RewriteDistrict(rec);
  return IsamOK;
}

bool TDistrRegForm::AddRecSelect(bool adding, std::int32_t& rec) {
  PutDistrict(adding, rec);
  // A full register refuses with a message and no record (rec 0).
  return IsamOK && rec > 0;
}

bool TDistrRegForm::DelRecSelect(int mode, std::string_view key, bool remove_record, std::int32_t rec) {
  DeleteDistrict(mode != 0, key, rec, remove_record);
  return IsamOK;
}

void DistrictRegister(platform::Window owner) {
  if (!CompetitionOpen) return;
  TDistrRegForm dlg(owner);
  dlg.Execute();
}

}  // namespace olbrax

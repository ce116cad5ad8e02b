#include "shell/reglist/course_register.h"

#include "competition/definition_set.h"
#include "competition/dialogs/course_edit.h"
#include "competition/records/definition_recs.h"
#include "competition/registers/definitions.h"
#include "storage/isam_status.h"

namespace olbrax {

TBanRegForm::TBanRegForm(platform::Window owner) : TERegFormDlg(owner, "TBanRegForm", "banregister") { Fill(); }

void TBanRegForm::FormRegStr(Text& line) {
  line = PadRight(TrackRec.Bana.get(), '.', 13) + " " +
         PadRight(IntStr(TrackRec.BanSize[CourseLengthIndex()], 6), '.', 10);
}

bool TBanRegForm::CheckBeforeAdding() {
  ClearCourse();
  return false;
}

void TBanRegForm::DoTheDialog(bool add, int index, std::int32_t rec) {
  CourseEdit form(add);
  // A control that a course uses cannot be deleted: the stored course counts as the user of
  // its controls from now on, and no longer of the ones it had.
  if (EditShape(add, index, rec, form)) MoveControlUse(form.original(), TrackRec);
}

void TBanRegForm::FixtSelect(int mode, std::string_view key, bool& at_end, bool& found, std::int32_t& rec) {
  FindCourse(mode, key, rec, at_end, found);
}

bool TBanRegForm::PutRecSelect(std::int32_t rec) {
  RewriteCourse(rec);
  return IsamOK;
}

bool TBanRegForm::AddRecSelect(bool adding, std::int32_t& rec) {
  PutCourse(adding, rec);
  return IsamOK;
}

bool TBanRegForm::DelRecSelect(int mode, std::string_view key, bool remove_record, std::int32_t rec) {
  DeleteCourse(mode != 0, key, rec, remove_record);
  return IsamOK;
}

void CourseRegister(platform::Window owner) {
  WithDefinitionSet([owner] {
    TBanRegForm dlg(owner);
    dlg.Execute();
  });
}

}  // namespace olbrax

// The edit of one course (window TBanForm): its name, its length and the control codes of its 35
// rows, the checks of the name and the codes, and the record buffer TrackRec.
#pragma once

#include <array>

#include "competition/dialogs/edit_form.h"
#include "competition/records/definition_recs.h"

namespace olbrax {

class CourseEdit : public EditForm {
 public:
  enum Field { kName = 0, kLength = 1, kGrid = 2 };
  static constexpr int kNameMax = 12, kLengthMax = 99999, kLengthStep = 100, kCodeMax = 3;
  static constexpr int kRows = kMaxCourseControls;

  // Takes the copy of TrackRec and fills the fields from it.
  explicit CourseEdit(bool adding);

  std::string_view Kind() const override { return "TBanForm"; }
  // The name in upper case must not belong to another course, and every code entered must be a
  // registered control; then the name, the length and the non-empty rows (in row order, upper
  // case, without gaps) are written and Antal counts them.
  bool Ok() override;
  void Cancel() override { TrackRec = saved_; }

  // The course as it was before the edit.
  const TTrackRec& original() const { return saved_; }

  Text name;                       // "bana beteckning"
  int length = 0;                  // "banlängd (m)", the length at the competition's split
  std::array<Text, kRows> codes;   // row k holds code k (index k - 1)

 private:
  TTrackRec saved_;
};

// The length index of the courses: the competition's split number (MellanTid), 0..25.
int CourseLengthIndex();

// Keeps the count of courses that use each control (CmpClubRec.ControlUse), which protects a
// control in use from deletion, when a course changes from `before` to `after`: the controls of
// `before` lose a user (never below 0), those of `after` gain one. Codes that are not registered
// controls count for nothing.
void MoveControlUse(const TTrackRec& before, const TTrackRec& after);

}  // namespace olbrax

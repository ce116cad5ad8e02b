#include "competition/dialogs/course_edit.h"

#include <algorithm>

#include "competition/archive.h"
#include "competition/records/cmp_club_rec.h"
#include "competition/records/competition_rec.h"
#include "competition/registers/definitions.h"
#include "competition/registers/register_find.h"

namespace olbrax {

int CourseLengthIndex() { return std::clamp<int>(InfoRec.MellanTid, 0, 25); }

CourseEdit::CourseEdit(bool adding) : EditForm(adding), saved_(TrackRec) {
  name = TrackRec.Bana.get();
  length = std::clamp<int>(TrackRec.BanSize[CourseLengthIndex()], 0, kLengthMax);
  for (int k = 0; k < kRows; ++k) codes[static_cast<std::size_t>(k)] = TrackRec.KodNr[k].get();
}

bool CourseEdit::Ok() {
  Text key = Cut(UpStr(name), kNameMax);
  // The look-ups read what they find into TrackRec and KontrRec: keep the edited course's
  // buffer, whose other lengths the window does not show.
  const TTrackRec edited = TrackRec;
  const TKontrRec control = KontrRec;
  std::int32_t ref = 0;
  bool at_end = false, found = false;
  FindCourse(kFindExact, key, ref, at_end, found);
  TrackRec = edited;
  if (found) return Refuse(CourseExistsText(key), kName);
  // Every row that holds a code is checked, also rows after an empty one: they are stored too.
  for (int k = 0; k < kRows; ++k) {
    const Text& cell = codes[static_cast<std::size_t>(k)];
    if (cell.empty()) continue;
    Text code = UpStr(cell);
    FindControl(kFindExact, code, ref, at_end, found);
    KontrRec = control;
    if (!found) return Refuse(ControlMissingText(code), kGrid, k + 1);
  }
  TrackRec.Bana.set(key);
  TrackRec.BanSize[CourseLengthIndex()] = std::clamp(length, 0, kLengthMax);
  int n = 0;
  for (const Text& cell : codes)
    if (!cell.empty()) TrackRec.KodNr[n++].set(Cut(UpStr(cell), kCodeMax));
  // Positions after the last control are emptied, or the window would show and store a
  // shortened course's old codes again.
  for (int k = n; k < kRows; ++k) TrackRec.KodNr[k].set("");
  TrackRec.Antal = static_cast<std::int16_t>(n);
  return true;
}

void MoveControlUse(const TTrackRec& before, const TTrackRec& after) {
  auto count = [](const TTrackRec& course, int delta) {
    for (int i = 0; i < std::clamp<int>(course.Antal, 0, kMaxCourseControls); ++i) {
      std::int32_t ref = 0;
      FindKey(KontrFile, 1, ref, WinToDos(course.KodNr[i].get()));
      if (!IsamOK || ref < 1 || ref > kMaxControlRecords) continue;
      std::int16_t& use = CmpClubRec.ControlUse[ref - 1];
      use = static_cast<std::int16_t>(std::max(0, use + delta));
    }
  };
  count(before, -1);
  count(after, +1);
}

}  // namespace olbrax

// The course register dialog: one line per course, edited in TBanForm.
#pragma once

#include "shell/reglist/register_list.h"

namespace olbrax {

class TBanRegForm : public TERegFormDlg {
 public:
  explicit TBanRegForm(platform::Window owner);

  // The name padded with "." to 13, a blank, and the length right-aligned in 6 and padded with
  // "." to 10 ("A............   4500....").
  void FormRegStr(Text& line) override;
  // Clears the buffer for a new course; never refuses.
  bool CheckBeforeAdding() override;
  // Edits the course; a stored course also moves the use counts of its controls.
  void DoTheDialog(bool add, int index, std::int32_t rec) override;
  void FixtSelect(int mode, std::string_view key, bool& at_end, bool& found, std::int32_t& rec) override;
  bool PutRecSelect(std::int32_t rec) override;
  bool AddRecSelect(bool adding, std::int32_t& rec) override;
  bool DelRecSelect(int mode, std::string_view key, bool remove_record, std::int32_t rec) override;
};

// "register" → "banor": the dialog with the definition set open.
void CourseRegister(platform::Window owner);

}  // namespace olbrax

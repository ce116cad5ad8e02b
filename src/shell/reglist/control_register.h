// The control register dialog: one line per control, edited in TKontrForm.
#pragma once

#include "shell/reglist/register_list.h"

namespace olbrax {

class TKontrRegForm : public TERegFormDlg {
 public:
  explicit TKontrRegForm(platform::Window owner);

  // The code padded with "." to 4, then a blank ("31.. ").
  void FormRegStr(Text& line) override;
  // Clears the buffer for a new control; never refuses.
  bool CheckBeforeAdding() override;
  void DoTheDialog(bool add, int index, std::int32_t rec) override;
  void FixtSelect(int mode, std::string_view key, bool& at_end, bool& found, std::int32_t& rec) override;
  bool PutRecSelect(std::int32_t rec) override;
  bool AddRecSelect(bool adding, std::int32_t& rec) override;
  bool DelRecSelect(int mode, std::string_view key, bool remove_record, std::int32_t rec) override;
};

// "register" → "kontroller": the dialog with the definition set open.
void ControlRegister(platform::Window owner);

}  // namespace olbrax

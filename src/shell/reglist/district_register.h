// The district register dialog: one line per district, edited in TDistrForm.
#pragma once

#include "shell/reglist/register_list.h"

namespace olbrax {

class TDistrRegForm : public TERegFormDlg {
 public:
  explicit TDistrRegForm(platform::Window owner);

  // Number, name and nation code, each padded with "." ("05. Skåne.............. SK..").
  void FormRegStr(Text& line) override;
  // Prepares the buffer with a suggested number; refuses at 99 districts.
  bool CheckBeforeAdding() override;
  void DoTheDialog(bool add, int index, std::int32_t rec) override;
  void FixtSelect(int mode, std::string_view key, bool& at_end, bool& found, std::int32_t& rec) override;
  bool PutRecSelect(std::int32_t rec) override;
  bool AddRecSelect(bool adding, std::int32_t& rec) override;
  bool DelRecSelect(int mode, std::string_view key, bool remove_record, std::int32_t rec) override;
};

// "register" → "distrikt" and the toolbar's districts button: the dialog, only while a
// competition is open.
void DistrictRegister(platform::Window owner);

}  // namespace olbrax

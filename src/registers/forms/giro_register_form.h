// The payment-form register dialog "giroregister": one line per form (giro number, payee and
// letter code), edited in the form window of the menu item it was opened from; plusgiro and
// postgiro forms share one register. "S&kriv" prints the list lines as a report.
#pragma once

#include "shell/reglist/register_list.h"

namespace olbrax {

class TEGiroRegForm : public TERegFormDlg {
 public:
  // `girokd`: the kind of the form windows, 0 plusgiro, 1 postgiro, 3 bankgiro.
  TEGiroRegForm(platform::Window owner, int girokd);

  void FormRegStr(Text& line) override;
  // Clears the giro buffer for a new form; refuses at 199 forms.
  bool CheckBeforeAdding() override;
  void DoTheDialog(bool add, int index, std::int32_t rec) override;
  void FixtSelect(int mode, std::string_view key, bool& at_end, bool& found, std::int32_t& rec) override;
  bool PutRecSelect(std::int32_t rec) override;
  bool AddRecSelect(bool adding, std::int32_t& rec) override;
  bool DelRecSelect(int mode, std::string_view key, bool remove_record, std::int32_t rec) override;

  const int girokd;
};

// "xregister" → "plusgiro", "postgiro", "bankgiro": the kind's file is open while the dialog
// is shown; when it cannot be opened, "fel med girofilerna" and the engine's text go to the
// message line.
void OpenGiroRegister(int kind, platform::Window owner);

}  // namespace olbrax

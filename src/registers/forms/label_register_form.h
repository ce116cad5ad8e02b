// The label register dialog "etikettegister": one line per label (its key), edited in the label
// edit window; "S&kriv" prints the selected labels on label sheets, each in the label
// environment's number of copies.
#pragma once

#include "shell/reglist/register_list.h"

namespace olbrax {

class TEEtikettRegForm : public TERegFormDlg {
 public:
  explicit TEEtikettRegForm(platform::Window owner);

  void FormRegStr(Text& line) override;
  // Clears the label buffer for a new label; refuses at 299 labels.
  bool CheckBeforeAdding() override;
  void DoTheDialog(bool add, int index, std::int32_t rec) override;
  void FixtSelect(int mode, std::string_view key, bool& at_end, bool& found, std::int32_t& rec) override;
  bool PutRecSelect(std::int32_t rec) override;
  bool AddRecSelect(bool adding, std::int32_t& rec) override;
  bool DelRecSelect(int mode, std::string_view key, bool remove_record, std::int32_t rec) override;
  // "S&kriv": a sheet job "etiketter" with the current label environment, each selected label
  // in the environment's number of copies, one after the other on the same sheets.
  bool StartPrint() override;
  void DoThePrint(int i, int n) override;
  // Ends the job; a picture that could not be loaded is named in the status bar.
  void StopPrint() override;
};

// "xregister" → "etikettregister": the label file is open while the dialog is shown; when it
// cannot be opened, "fel med Etikettfilerna" and the engine's text go to the message line.
void OpenLabelRegister(platform::Window owner);

}  // namespace olbrax

// The edit windows of the label register and the payment-form registers as the register list
// dialogs show them: "TEtikettDlg" for a label, "TplusgiroDlg", "TpostgiroDlg" and
// "TbankgiroDlg" for a form of each kind.
#pragma once

namespace olbrax {

// Makes these windows the ones ShowEditWindow opens for LabelEdit and GiroEdit.
void InstallSideRegisterWindows();
// Takes them away again (the registers then cancel every edit).
void RemoveSideRegisterWindows();

}  // namespace olbrax

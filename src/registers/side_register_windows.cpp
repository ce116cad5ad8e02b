#include "registers/side_register_windows.h"

#include <QWidget>
#include <memory>

#include "competition/dialogs/edit_form.h"
#include "registers/giro_dialogs.h"
#include "registers/label_dialog.h"

namespace olbrax {

namespace {
constexpr const char* kGiroWindows[] = {"TplusgiroDlg", "TpostgiroDlg", "TbankgiroDlg"};
}

void InstallSideRegisterWindows() {
  SetEditWindow("TEtikettDlg", [](platform::Window owner, EditForm& form) {
    TEtikettDlg window(static_cast<QWidget*>(owner), static_cast<LabelEdit&>(form));
    return window.exec() == QDialog::Accepted;
  });
  // The edit names its window by its kind, so one runner serves the three.
  for (const char* kind : kGiroWindows)
    SetEditWindow(kind, [](platform::Window owner, EditForm& form) {
      std::unique_ptr<TGiroFormDlg> window(CreateGiroForm(static_cast<QWidget*>(owner), static_cast<GiroEdit&>(form)));
      return window->exec() == QDialog::Accepted;
    });
}

void RemoveSideRegisterWindows() {
  SetEditWindow("TEtikettDlg", nullptr);
  for (const char* kind : kGiroWindows) SetEditWindow(kind, nullptr);
}

}  // namespace olbrax

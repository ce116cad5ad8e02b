#include "competition/dialogs/edit_form.h"

#include <map>
#include <string>

#include "base/messages.h"

namespace olbrax {

namespace {

std::map<std::string, EditWindowRunner, std::less<>>& Runners() {
  static std::map<std::string, EditWindowRunner, std::less<>> runners;
  return runners;
}

}  // namespace

bool EditForm::Refuse(Text text, int field, int row) {
  status = std::move(text);
  focus_field = field;
  focus_row = row;
  BeepSignal();
  return false;
}

void SetEditWindow(std::string_view kind, EditWindowRunner runner) {
  if (runner) Runners()[std::string(kind)] = std::move(runner);
  else if (auto it = Runners().find(kind); it != Runners().end()) Runners().erase(it);
}

bool ShowEditWindow(platform::Window owner, EditForm& form) {
  bool ok = false;
  auto it = Runners().find(form.Kind());
  if (it != Runners().end()) {
    PushCursor();
    platform::CurrentUi().SetCursor(platform::Cursor::Program);
    ok = it->second(owner, form);
    PopCursor();
  }
  if (!ok) form.Cancel();
  return ok;
}

}  // namespace olbrax

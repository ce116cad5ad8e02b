// What an edit window of a register edits, without the window: the fields as the window shows
// them, the checks of its OK and the restore of its Cancel.
//
// Each register's edit is a subclass that takes a copy of its record buffer when created and
// fills its fields from the buffer. The window shows the fields, writes back what the user
// typed, and calls Ok() when OK is pressed: Ok() checks, and either writes the fields into the
// record buffer and returns true (the window closes with OK), or leaves a status text and the
// field to select, sounds the signal beep and returns false (the window stays open). When the
// window closes any other way, ShowEditWindow calls Cancel(), which puts the copy back.
//
// The windows are reached through ShowEditWindow, which finds the runner installed for the
// edit's Kind(): the GUI installs Qt windows, tests install runners that play the user.
#pragma once

#include <functional>
#include <string_view>

#include "base/text.h"
#include "platform/ui.h"

namespace olbrax {

class EditForm {
 public:
  explicit EditForm(bool adding) : adding(adding) {}
  virtual ~EditForm() = default;
  EditForm(const EditForm&) = delete;
  EditForm& operator=(const EditForm&) = delete;

  // The window class that shows this edit, e.g. "TDistrForm".
  virtual std::string_view Kind() const = 0;
  // OK pressed: true when the record buffer now holds the edited record.
  virtual bool Ok() = 0;
  // Puts the record buffer back as it was when the edit was created.
  virtual void Cancel() = 0;

  const bool adding;
  // After a refused OK: the text for the window's status bar, the field to select (the
  // subclass's field numbers) and, for a grid, its row.
  Text status;
  int focus_field = -1;
  int focus_row = -1;

 protected:
  // Refuses OK: status text, field (and row) to select, signal beep.
  bool Refuse(Text text, int field, int row = -1);
};

// Shows the edit window of `form` modally: true when it closed with OK. The mouse cursor is the
// program's own while the window is shown. A Cancel, a closed window and a missing window all
// restore the record buffer (Cancel()) and return false.
bool ShowEditWindow(platform::Window owner, EditForm& form);

// Shows a window for one kind of edit; returns true when it closed with OK (after form.Ok()
// returned true).
using EditWindowRunner = std::function<bool(platform::Window owner, EditForm& form)>;
// Installs the runner of `kind`; an empty runner removes it.
void SetEditWindow(std::string_view kind, EditWindowRunner runner);

}  // namespace olbrax

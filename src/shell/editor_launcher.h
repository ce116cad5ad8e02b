// The editor button: starts the text editor "editbrax"; without it, opens a text file of the
// program's text folder with the desktop's opener (which a desktop maps to its graphical text
// editor), then tries the graphical editors found on the machine, and words a failure the way
// the status bar shows it.
//
// Terminal editors ($VISUAL, $EDITOR: vim, nano) are not tried: started from a window without a
// terminal they end at once and nothing is shown.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace olbrax {

// Starting a program gives a result like the classic program-start call: 32 or more is success,
// 2 file not found, 3 path not found, 0 out of resources, 11 not a valid program.
using ProgramStarter = std::function<int(const QString& program, const QStringList& arguments)>;

// The desktop's opener, tried after "editbrax".
inline constexpr const char* kDesktopOpener = "xdg-open";

// Starts `program` found on the PATH, detached. The desktop opener counts as found only when
// the desktop names a graphical handler for plain text.
int StartEditorProgram(const QString& program, const QStringList& arguments);

// The graphical text editors of the common desktops, tried after the desktop's opener.
QStringList GraphicalEditors();

// The text file the editors open: "anteckningar.txt" in the program's text folder, created
// empty when missing. Empty when it cannot be made (the editors then start without a file).
QString EditorFile();

// Runs the editor button's steps with `file` (may be empty). Returns an empty text when an
// editor started, otherwise the text for the status bar ("winexecfel: ..." with "\"notepad\""
// after it); the caller beeps.
QString StartEditor(const ProgramStarter& start, const QString& file, const QStringList& editors);

// The desktop file a `xdg-mime query default text/plain` answer names opens plain text in a
// window: it exists in one of `application_dirs` and does not ask for a terminal.
bool IsGraphicalHandler(const QString& desktop_file, const QStringList& application_dirs);

}  // namespace olbrax

// The editor button: starts the text editor "editbrax", falling back to the desktop's text
// editor, and words a failure the way the status bar shows it.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace olbrax {

// Starting a program gives a result like the classic program-start call: 32 or more is success,
// 2 file not found, 3 path not found, 0 out of resources, 11 not a valid program.
using ProgramStarter = std::function<int(const QString& program)>;

// Starts `program` found on the PATH, detached.
int StartDetachedProgram(const QString& program);

// The desktop text editors tried when "editbrax" is missing: $VISUAL first, then the usual
// editors of the common desktops.
QStringList FallbackEditors();

// Runs the editor button's steps. Returns an empty text when an editor started, otherwise the
// text for the status bar ("winexecfel: ..." with "\"notepad\"" after it); the caller beeps.
QString StartEditor(const ProgramStarter& start, const QStringList& fallbacks);

}  // namespace olbrax

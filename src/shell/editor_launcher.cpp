#include "shell/editor_launcher.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace olbrax {

int StartDetachedProgram(const QString& program) {
  if (program.isEmpty()) return 2;
  QString path = program.contains('/') ? program : QStandardPaths::findExecutable(program);
  if (path.isEmpty()) return 2;
  QFileInfo info(path);
  if (!info.dir().exists()) return 3;
  if (!info.exists()) return 2;
  if (!info.isExecutable()) return 11;
  return QProcess::startDetached(path, {}) ? 33 : 0;
}

QStringList FallbackEditors() {
  QStringList editors;
  const QString visual = qEnvironmentVariable("VISUAL");
  if (!visual.isEmpty()) editors << visual;
  editors << "gnome-text-editor" << "gedit" << "kate" << "kwrite" << "mousepad" << "xed" << "pluma"
          << "featherpad" << "leafpad" << "geany";
  return editors;
}

QString StartEditor(const ProgramStarter& start, const QStringList& fallbacks) {
  int r = start("editbrax");
  if (r >= 32) return QString();
  if (r == 2 || r == 3) {
    for (const QString& editor : fallbacks) {
      r = start(editor);
      if (r >= 32) return QString();
      if (r != 2 && r != 3) break;  // found but could not start: report that
    }
  }
  QString why;
  switch (r) {
    case 0: why = "The system is out of memory or resources."; break;
    case 2: why = "The specified file was not found."; break;
    case 3: why = "The specified path was not found."; break;
    case 11: why = "The .EXE file is invalid (non-Win32 .EXE or error in .EXE image)."; break;
    default: why = QString::fromUtf8("okänt fel nummer ") + QString("%1").arg(r, 3, 10, QChar('0')); break;
  }
  return "winexecfel: " + why + "\"notepad\"";
}

}  // namespace olbrax

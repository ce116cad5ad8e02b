#include "shell/editor_launcher.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include "platform/qt/qtext.h"
#include "printing/config/configuration.h"

namespace olbrax {

namespace {

int StartDetached(const QString& program, const QStringList& arguments) {
  if (program.isEmpty()) return 2;
  QString path = program.contains('/') ? program : QStandardPaths::findExecutable(program);
  if (path.isEmpty()) return 2;
  QFileInfo info(path);
  if (!info.dir().exists()) return 3;
  if (!info.exists()) return 2;
  if (!info.isExecutable()) return 11;
  return QProcess::startDetached(path, arguments) ? 33 : 0;
}

// The desktop file that the desktop's opener would use for plain text, empty when none.
QString DefaultTextHandler() {
  QProcess query;
  query.start("xdg-mime", {"query", "default", "text/plain"});
  if (!query.waitForFinished(3000)) {
    query.kill();
    query.waitForFinished(1000);
    return {};
  }
  if (query.exitStatus() != QProcess::NormalExit || query.exitCode() != 0) return {};
  return QString::fromUtf8(query.readAllStandardOutput()).trimmed().section(';', 0, 0);
}

}  // namespace

bool IsGraphicalHandler(const QString& desktop_file, const QStringList& application_dirs) {
  if (desktop_file.isEmpty()) return false;
  for (const QString& dir : application_dirs) {
    QFile f(dir + "/" + desktop_file);
    if (!f.open(QIODevice::ReadOnly)) continue;
    for (const QByteArray& raw : f.readAll().split('\n')) {
      const QByteArray line = raw.trimmed();
      if (line.startsWith("Terminal=")) return line.mid(9).trimmed().toLower() != "true";
    }
    return true;
  }
  return false;
}

int StartEditorProgram(const QString& program, const QStringList& arguments) {
  if (program == kDesktopOpener) {
    if (QStandardPaths::findExecutable(program).isEmpty()) return 2;
    QStringList dirs = QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation);
    if (!IsGraphicalHandler(DefaultTextHandler(), dirs)) return 2;
  }
  return StartDetached(program, arguments);
}

QStringList GraphicalEditors() {
  return {"gnome-text-editor", "gedit", "kate", "kwrite", "mousepad", "xed", "pluma", "featherpad", "leafpad",
          "geany"};
}

QString EditorFile() {
  const QString folder = platform::ToQ(TextFolder());
  if (!QDir().mkpath(folder)) return {};
  const QString path = folder + "/anteckningar.txt";
  QFile f(path);
  if (!f.exists() && !f.open(QIODevice::WriteOnly)) return {};
  return path;
}

QString StartEditor(const ProgramStarter& start, const QString& file, const QStringList& editors) {
  const QStringList with_file = file.isEmpty() ? QStringList() : QStringList{file};
  int r = start("editbrax", {});
  if (r >= 32) return QString();
  if (r == 2 || r == 3) {
    QStringList fallbacks;
    if (!file.isEmpty()) fallbacks << kDesktopOpener;  // the opener needs a file to open
    fallbacks << editors;
    for (const QString& editor : fallbacks) {
      r = start(editor, with_file);
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

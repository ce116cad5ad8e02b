#include "platform/qt/qtext.h"

#include <QMessageBox>

#include "platform/codepages.h"

namespace olbrax::platform {

QString ToQ(std::string_view win1252) {
  QString out;
  out.reserve(static_cast<qsizetype>(win1252.size()));
  for (char c : win1252) out += QChar(static_cast<char16_t>(CodePointFromWin(static_cast<unsigned char>(c))));
  return out;
}

std::string FromQ(const QString& text) {
  std::string out;
  out.reserve(static_cast<std::size_t>(text.size()));
  for (QChar ch : text) {
    int w = Win1252FromCodePoint(ch.unicode());
    out += w >= 0 ? static_cast<char>(w) : '?';
  }
  return out;
}

std::optional<std::string> WinPathFromQ(const QString& path) { return WinPathFromUtf8(path.toUtf8().toStdString()); }

std::optional<std::string> WinPathFromQ(QWidget* owner, const QString& path) {
  std::optional<std::string> win = WinPathFromQ(path);
  if (!win) {
    QMessageBox box(QMessageBox::Warning, "info", QString::fromStdString(UnusablePathMessage(path.toStdString())),
                    QMessageBox::Ok, owner);
    box.exec();
  }
  return win;
}

}  // namespace olbrax::platform

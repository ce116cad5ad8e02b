// Windows-1252 <-> QString at the widget, file-name and printer boundary.
#pragma once

#include <QString>
#include <optional>
#include <string>
#include <string_view>

class QWidget;

namespace olbrax::platform {

QString ToQ(std::string_view win1252);
// Texts for records and fields: a character Windows-1252 lacks becomes '?'.
std::string FromQ(const QString& text);

// A path chosen in a widget or dialog as the program holds paths, or nothing when it has a
// character Windows-1252 lacks: such a path is refused, never changed (WinPathFromUtf8).
std::optional<std::string> WinPathFromQ(const QString& path);
// The same; a refused path is named, as it is, in a notice box owned by `owner`.
std::optional<std::string> WinPathFromQ(QWidget* owner, const QString& path);

}  // namespace olbrax::platform

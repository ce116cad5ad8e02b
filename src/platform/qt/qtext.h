// Windows-1252 <-> QString at the widget, file-name and printer boundary.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace olbrax::platform {

QString ToQ(std::string_view win1252);
std::string FromQ(const QString& text);

}  // namespace olbrax::platform

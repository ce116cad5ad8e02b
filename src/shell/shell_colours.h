// The colours of the program's own windows.
#pragma once

#include <QColor>

namespace olbrax {

// The light blue of the shell window, also behind its status bars and link labels.
inline const QColor kShellColour{166, 202, 240};
// Link labels: blue, and maroon while the mouse points at them.
inline const QColor kLinkColour{0, 0, 255};
inline const QColor kLinkHoverColour{128, 0, 0};

}  // namespace olbrax

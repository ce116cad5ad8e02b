// Commands that print need fonts and the PDF writer, which need a GUI application; without a
// display it draws offscreen.
#pragma once

#include <memory>

class QGuiApplication;

namespace olbrax::cli {

std::unique_ptr<QGuiApplication> EnsureGuiApplication();

}  // namespace olbrax::cli

// main() of the test executables that build widgets: a QApplication on the offscreen platform
// with Qt's test mode for standard paths, so no test touches the user's real folders, and with
// Qt's Swedish texts as in the program.
#include <gtest/gtest.h>

#include <QApplication>
#include <QStandardPaths>

#include "platform/qt/swedish_translations.h"

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
  QStandardPaths::setTestModeEnabled(true);
  QApplication app(argc, argv);
  olbrax::platform::InstallSwedishQtTranslations(app);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

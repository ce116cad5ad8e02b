#include "platform/qt/swedish_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace olbrax::platform {

namespace {

// Qt 6 asks for the texts of the standard buttons in the context "QPlatformTheme". The Swedish
// catalogue that Debian 12 ships (qt_sv) holds them only under "QDialogButtonBox", where older
// Qt versions asked for them; the same source texts are looked up there.
class SwedishQt : public QTranslator {
 public:
  using QTranslator::QTranslator;
  QString translate(const char* context, const char* source, const char* disambiguation, int n) const override {
    QString text = QTranslator::translate(context, source, disambiguation, n);
    if (text.isEmpty() && context && qstrcmp(context, "QPlatformTheme") == 0)
      text = QTranslator::translate("QDialogButtonBox", source, disambiguation, n);
    return text;
  }
};

}  // namespace

bool InstallSwedishQtTranslations(QCoreApplication& app) {
  const QString dir = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  const QLocale swedish(QLocale::Swedish, QLocale::Sweden);
  // "qtbase_sv" where a Qt build has it, else the whole-Qt catalogue "qt_sv".
  for (const char* name : {"qtbase", "qt"}) {
    auto* translator = new SwedishQt(&app);
    if (translator->load(swedish, name, "_", dir) && QCoreApplication::installTranslator(translator)) return true;
    delete translator;
  }
  return false;
}

}  // namespace olbrax::platform

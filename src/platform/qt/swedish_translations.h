// Qt's own Swedish translations, so that the standard buttons and dialogs of Qt speak the
// program's language ("Ja", "Nej", "Avbryt") whatever the user's locale.
#pragma once

class QCoreApplication;

namespace olbrax::platform {

// Installs Qt's Swedish catalogue into `app` (Debian's qt6-translations-l10n); false when it is
// not installed, and Qt's texts stay English.
bool InstallSwedishQtTranslations(QCoreApplication& app);

}  // namespace olbrax::platform

#pragma once

#include <QLocale>

class QCoreApplication;

namespace pbp {

// Installs the program's translation for the locale (embedded under :/translations) and Qt's
// own (standard dialog buttons, file dialogs) where Debian's qt6-translations-l10n has it. A
// locale without a translation keeps the English texts. The translators are children of the
// application. Returns whether the program's own translation was found.
bool InstallTranslations(QCoreApplication& app, const QLocale& locale = QLocale());

}  // namespace pbp

#pragma once
// Qt's own Russian texts (file dialog, edit context menu, standard buttons) from Debian's
// qt6-translations-l10n.

class QTranslator;

namespace sepmet {

// Whether the application already speaks another language than Qt's built-in English (someone
// installed a translator for Qt's own texts).
bool QtTextsTranslated();

// Loads "qtbase_ru" from Qt's translations folder into `translator` and installs it in the
// running application. False when the file is missing (the package is not installed).
bool InstallQtRussianTranslations(QTranslator& translator);

} // namespace sepmet

#include "qtsupport/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace sepmet {

bool QtTextsTranslated() {
    // A text every Qt translation carries: the standard button "Cancel".
    return QCoreApplication::translate("QPlatformTheme", "Cancel") != QStringLiteral("Cancel");
}

bool InstallQtRussianTranslations(QTranslator& translator) {
    if (!translator.load(QLocale(QLocale::Russian, QLocale::Russia), QStringLiteral("qtbase"),
                         QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    return QCoreApplication::installTranslator(&translator);
}

} // namespace sepmet

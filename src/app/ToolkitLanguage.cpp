#include "app/ToolkitLanguage.h"

#include <QCoreApplication>
#include <QLibraryInfo>

namespace kw {

bool TToolkitLanguage::Apply(const QString& locale) {
    QCoreApplication::removeTranslator(&FTranslator);
    FLocale.clear();
    if (locale.isEmpty() || !FTranslator.load(QStringLiteral("qtbase_") + locale,
                                              QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        return false;
    }
    QCoreApplication::installTranslator(&FTranslator);
    FLocale = locale;
    return true;
}

} // namespace kw

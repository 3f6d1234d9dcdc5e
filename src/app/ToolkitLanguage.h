#pragma once

#include <QString>
#include <QTranslator>

namespace kw {

// The toolkit's own texts (the file and colour dialogs, the edit fields' context menus) in the interface
// language: one translator of the application, loaded anew at each language switch. Desktop dialogs of the
// platform follow the desktop's language instead.
class TToolkitLanguage {
public:
    // The locale of the built-in texts.
    static constexpr const char* kBuiltInLocale = "ru";

    TToolkitLanguage() = default;
    TToolkitLanguage(const TToolkitLanguage&) = delete;
    TToolkitLanguage& operator=(const TToolkitLanguage&) = delete;

    // The toolkit's translations for locale ("ru", "en") from its translations folder take the place of
    // those installed before. Without such a file (the translations are not installed, or locale is empty)
    // the toolkit speaks its own English. Returns whether a translation was installed.
    bool Apply(const QString& locale);
    // The locale whose translations are installed; empty for none.
    const QString& Locale() const { return FLocale; }

private:
    // Removes itself from the application when it goes.
    QTranslator FTranslator;
    QString FLocale;
};

} // namespace kw

#include "app/Application.h"

#include "app/Platform.h"

#include <QIcon>

#include <clocale>
#include <exception>

namespace kw {

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv), FPlatform(&DefaultPlatform()) {
    // The toolkit adopts the user's locale for the C library on start; game
    // numbers are always written with a full stop.
    std::setlocale(LC_NUMERIC, "C");
    setApplicationName(QStringLiteral("kitwright"));
    // The installed menu entry and icon carry this name; the window system matches the window to them.
    setDesktopFileName(QStringLiteral("org.kitwright.Kitwright"));
    setWindowIcon(QIcon::fromTheme(QStringLiteral("org.kitwright.Kitwright")));
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        ShowError(QString::fromUtf8(error.what()));
    } catch (...) {
        ShowError(QStringLiteral("Unknown error"));
    }
    return false;
}

void TApplication::ShowError(const QString& text) {
    FPlatform->MessageBox(activeWindow(), QMessageBox::Critical, QStringLiteral("Kitwright"), text,
                          QMessageBox::Ok);
}

void TApplication::SetPlatform(TPlatform* platform) {
    FPlatform = platform ? platform : &DefaultPlatform();
}

TApplication* TApplication::Instance() {
    return qobject_cast<TApplication*>(QCoreApplication::instance());
}

} // namespace kw

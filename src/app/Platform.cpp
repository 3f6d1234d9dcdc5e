#include "app/Platform.h"

#include <QFileDialog>

namespace kw {

QMessageBox::StandardButton TQtPlatform::MessageBox(QWidget* owner, QMessageBox::Icon icon,
                                                    const QString& caption, const QString& text,
                                                    QMessageBox::StandardButtons buttons) {
    QMessageBox box(icon, caption, text, buttons, owner);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

QString TQtPlatform::ChooseFolder(QWidget* owner, const QString& title) {
    return QFileDialog::getExistingDirectory(owner, title, QString(), QFileDialog::ShowDirsOnly);
}

QDateTime TQtPlatform::Now() {
    return QDateTime::currentDateTime();
}

TPlatform& DefaultPlatform() {
    static TQtPlatform platform;
    return platform;
}

} // namespace kw

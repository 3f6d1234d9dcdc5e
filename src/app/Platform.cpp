#include "app/Platform.h"

#include "app/BrowseFolderDlg.h"

#include <QFileDialog>

namespace kw {

QMessageBox::StandardButton TQtPlatform::MessageBox(QWidget* owner, QMessageBox::Icon icon,
                                                    const QString& caption, const QString& text,
                                                    QMessageBox::StandardButtons buttons) {
    QMessageBox box(icon, caption, text, buttons, owner);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

QString TQtPlatform::ChooseFolder(QWidget* owner, const QString& title) {
    return TBrowseFolderDlg::Execute(owner, title);
}

QString TQtPlatform::RunFileDialog(QFileDialog& dialog) {
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}

QDateTime TQtPlatform::Now() {
    return QDateTime::currentDateTime();
}

TPlatform& DefaultPlatform() {
    static TQtPlatform platform;
    return platform;
}

} // namespace kw

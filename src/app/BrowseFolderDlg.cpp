#include "app/BrowseFolderDlg.h"

#include <QDir>
#include <QFileDialog>

namespace kw {

QString TBrowseFolderDlg::Execute(QWidget* owner, const QString& title) {
    const QString folder =
        QFileDialog::getExistingDirectory(owner, title, QDir::homePath(), QFileDialog::ShowDirsOnly);
    return QDir::toNativeSeparators(folder);
}

} // namespace kw

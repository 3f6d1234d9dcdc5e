#include "app/BrowseFolderDlg.h"

#include <QDir>
#include <QFileDialog>

namespace kw {

QString TBrowseFolderDlg::Execute(QWidget* owner, const QString& title, const QString& startFolder) {
    const QString start = startFolder.isEmpty() ? QDir::homePath() : startFolder;
    const QString folder = QFileDialog::getExistingDirectory(owner, title, start, QFileDialog::ShowDirsOnly);
    return QDir::toNativeSeparators(folder);
}

} // namespace kw

#include "app/ProgramFiles.h"

#include "gamecfg/FileSys.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace kw {

namespace {

// A folder without any write bit counts as closed even for a privileged user;
// otherwise the system's own access check decides.
bool FolderTakesWrites(const std::string& folder) {
    return fs::DirExists(folder) && !fs::IsReadOnly(folder) &&
           QFileInfo(QString::fromStdString(fs::Resolve(folder))).isWritable();
}

bool KeepsFilesBesideItself(const std::string& exeFolder) {
    return !fs::FileExists(exeFolder + kInstalledMarker) && FolderTakesWrites(exeFolder);
}

std::string UserConfigFolder() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    QDir().mkpath(folder);
    return fs::WithTrailingSeparator(folder.toStdString());
}

} // namespace

std::string ProgramFilePath(const std::string& exeFolder, const std::string& fileName) {
    return (KeepsFilesBesideItself(exeFolder) ? exeFolder : UserConfigFolder()) + fileName;
}

std::string SettingsFileName() {
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName().toStdString() + ".ini";
}

} // namespace kw

#include "app/QtFileWatcher.h"

#include <QFileSystemWatcher>
#include <QSet>

namespace kw {

TQtFileWatcher::TQtFileWatcher(QObject* parent)
    : TFileWatcher(parent), FWatcher(new QFileSystemWatcher(this)) {
    connect(FWatcher, &QFileSystemWatcher::fileChanged, this, &TQtFileWatcher::Notice);
    connect(FWatcher, &QFileSystemWatcher::directoryChanged, this, &TQtFileWatcher::Notice);
}

// A reload watches mostly the same thousands of files again: only the difference goes to the system.
void TQtFileWatcher::SetPaths(const QStringList& paths) {
    const QSet<QString> wanted(paths.begin(), paths.end());
    QStringList stale;
    for (const QString& path : FWatcher->files() + FWatcher->directories()) {
        if (!wanted.contains(path)) {
            stale << path;
        }
    }
    if (!stale.isEmpty()) {
        FWatcher->removePaths(stale);
    }
    FPaths = paths;
    WatchAgain();
}

void TQtFileWatcher::Notice(const QString& path) {
    WatchAgain();
    emit Changed(path);
}

// A path that does not exist cannot be watched: the watcher leaves it out, and it is tried again at the
// next signal, which its folder gives when the file comes back.
void TQtFileWatcher::WatchAgain() {
    const QStringList watchedList = FWatcher->files() + FWatcher->directories();
    const QSet<QString> watched(watchedList.begin(), watchedList.end());
    QStringList missing;
    for (const QString& path : FPaths) {
        if (!watched.contains(path)) {
            missing << path;
        }
    }
    if (!missing.isEmpty()) {
        FWatcher->addPaths(missing);
    }
}

} // namespace kw

#pragma once

#include "app/Platform.h"

#include <QStringList>

class QFileSystemWatcher;

namespace kw {

// The toolkit's watcher, made to keep watching a path whose file was replaced. The system watches a file by
// what it is, not by its name: a file replaced by a rename (as editors and this program save) or deleted and
// made again drops out of the toolkit's list. So every signal first takes back each path that exists again.
class TQtFileWatcher : public TFileWatcher {
    Q_OBJECT
public:
    explicit TQtFileWatcher(QObject* parent);

    void SetPaths(const QStringList& paths) override;

private:
    void Notice(const QString& path);
    void WatchAgain();

    QFileSystemWatcher* FWatcher;
    QStringList FPaths;
};

} // namespace kw

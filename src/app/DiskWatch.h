#pragma once

#include "catalog/DiskMarks.h"

#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>

#include <cstddef>
#include <functional>
#include <vector>

namespace kw {

class TFileWatcher;

// Which of the files the last load read another program has changed, replaced or removed since the program
// last read or wrote them. Every signal is checked against the document's disk marks, so the program's own
// saves, which the marks know, report nothing.
class TDiskWatch : public QObject {
    Q_OBJECT
public:
    struct TFound {
        std::size_t File = 0; // in the marks' Files()
        TDiskState State = TDiskState::Changed;
    };

    // watcher: owned by the caller's window; busy: while it answers true, signals are only remembered (see
    // LookAtRemembered).
    TDiskWatch(TDiskMarks& marks, TFileWatcher& watcher, std::function<bool()> busy, QObject* parent);

    // Watches every marked file and each of their folders, as the marks stand after a load; what was found
    // before is forgotten, the marks it pointed into being new.
    void Rewatch();
    // Looks at the files of the signals that came while busy.
    void LookAtRemembered();
    // Changed or gone files, in the order they were first found.
    const std::vector<TFound>& Found() const { return FFound; }
    // The found files as they are now are what the program knows: their change is not reported again.
    void AcceptFound();

signals:
    // Found() is different.
    void FoundChanged();

private:
    void Notice(const QString& path);
    void Look(const QString& path);
    bool Note(std::size_t file, TDiskState state);

    TDiskMarks& FMarks;
    TFileWatcher& FWatcher;
    std::function<bool()> FBusy;
    // Each watched folder with the marked files in it.
    QHash<QString, std::vector<std::size_t>> FFolders;
    QSet<QString> FRemembered;
    std::vector<TFound> FFound;
};

} // namespace kw

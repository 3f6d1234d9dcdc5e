#include "app/DiskWatch.h"

#include "app/Platform.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <utility>

namespace kw {

TDiskWatch::TDiskWatch(TDiskMarks& marks, TFileWatcher& watcher, std::function<bool()> busy, QObject* parent)
    : QObject(parent), FMarks(marks), FWatcher(watcher), FBusy(std::move(busy)) {
    connect(&FWatcher, &TFileWatcher::Changed, this, &TDiskWatch::Notice);
}

void TDiskWatch::Rewatch() {
    FFolders.clear();
    QStringList paths;
    const std::vector<TDiskMarks::TFile>& files = FMarks.Files();
    for (std::size_t i = 0; i < files.size(); ++i) {
        const QString path = QFile::decodeName(files[i].PlatformPath.c_str());
        paths << path;
        const QString folder = QFileInfo(path).path();
        if (!FFolders.contains(folder)) {
            paths << folder;
        }
        FFolders[folder].push_back(i);
    }
    FWatcher.SetPaths(paths);
    if (!FFound.empty()) {
        FFound.clear();
        emit FoundChanged();
    }
}

void TDiskWatch::Notice(const QString& path) {
    if (FBusy && FBusy()) {
        FRemembered.insert(path);
        return;
    }
    Look(path);
}

void TDiskWatch::LookAtRemembered() {
    for (const QString& path : std::exchange(FRemembered, {})) {
        Look(path);
    }
}

// A folder's signal does not say which entry changed: every marked file in it is looked at.
void TDiskWatch::Look(const QString& path) {
    std::vector<std::size_t> files;
    if (const auto folder = FFolders.constFind(path); folder != FFolders.constEnd()) {
        files = *folder;
    } else if (const std::optional<std::size_t> file = FMarks.Find(QFile::encodeName(path).toStdString())) {
        files.push_back(*file);
    }
    bool changed = false;
    for (const std::size_t file : files) {
        changed = Note(file, FMarks.Look(file)) || changed;
    }
    if (changed) {
        emit FoundChanged();
    }
}

// A file found changed that holds again what the program knows (written back, or a copy of itself put in
// its place) is no longer a change.
bool TDiskWatch::Note(std::size_t file, TDiskState state) {
    const auto known =
        std::find_if(FFound.begin(), FFound.end(), [&](const TFound& found) { return found.File == file; });
    if (state == TDiskState::Same) {
        if (known == FFound.end()) {
            return false;
        }
        FFound.erase(known);
        return true;
    }
    if (known == FFound.end()) {
        FFound.push_back({file, state});
        return true;
    }
    return std::exchange(known->State, state) != state;
}

void TDiskWatch::AcceptFound() {
    for (const TFound& found : std::exchange(FFound, {})) {
        FMarks.Accept(found.File);
    }
    emit FoundChanged();
}

} // namespace kw

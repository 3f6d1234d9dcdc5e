#include "catalog/Catalog.h"

#include "catalog/ParamPlaces.h"
#include "gamecfg/CodePage.h"
#include "gamecfg/FileSys.h"

#include <iterator>
#include <span>

namespace kw {
namespace {

using TWrites = std::span<const TPendingWrite>;

// The keys of writes that another program changed since their values were edited, read from the file as it
// is now: the file is refreshed, so that the write that follows starts from the same reading. A file that is
// gone is no conflict: the write then fails and says so.
std::vector<TSaveConflict> ChangedUnderneath(ProfileFile& file, TWrites writes) {
    std::vector<TSaveConflict> conflicts;
    if (!fs::FileExists(file.Path())) {
        return conflicts;
    }
    file.Refresh();
    for (const TPendingWrite& write : writes) {
        const std::string section(write.Section), key(write.Key);
        TOnDisk disk = ReadOnDisk(file, section, key);
        if (!HoldsStored(*write.Param, disk)) {
            conflicts.push_back({file.Path(), section, key, write.Param, std::move(disk)});
        }
    }
    return conflicts;
}

// The writes of one file are committed together, or dropped together when one of them fails, so a file is
// either saved whole or left exactly as it was. False when the file could not be written. A file without
// writes goes into unchanged.
bool SaveFile(ProfileFile& file, TWrites writes, TSaveReport& report, std::vector<std::string>& unchanged,
              TDiskMarks& marks) {
    if (writes.empty()) {
        unchanged.push_back(file.Path());
        return true;
    }
    if (std::vector<TSaveConflict> conflicts = ChangedUnderneath(file, writes); !conflicts.empty()) {
        std::move(conflicts.begin(), conflicts.end(), std::back_inserter(report.Conflicts));
        return true;
    }
    try {
        for (const TPendingWrite& write : writes) {
            WriteParam(*write.Param, file, std::string(write.Section), std::string(write.Key));
        }
        file.Flush();
    } catch (const std::exception& e) {
        file.DiscardPending();
        report.Failures.push_back({fs::Resolve(file.Path()), e.what()});
        return false;
    }
    for (const TPendingWrite& write : writes) {
        write.Param->MarkStored();
    }
    marks.Note(file.Path(), *file.ReadBytes());
    return true;
}

} // namespace

std::string TSaveConflict::Message() const {
    const std::string now = !OnDisk.SectionExists ? "the section is gone"
                            : OnDisk.Present
                                ? "it now holds \"" + Cp1251ToUtf8(OnDisk.Value + OnDisk.Comment) + "\""
                                : "the key is gone";
    return fs::Resolve(File) + ": [" + Cp1251ToUtf8(Section) + "] " + Cp1251ToUtf8(Key) +
           " was changed by another program since it was read (" + now + "); the file was not written";
}

TSaveReport SaveCatalogs(TCatalog& catalog) {
    TSaveReport report;
    if (!catalog.FFiles[TCatalog::WeaponsLtx]) {
        return report;
    }
    // The files in the order the pending writes come in: the weapon files, then the category files. Each
    // file is saved once the writes for it are gathered, so that only one file's writes are held at a time.
    const size_t weaponCount = catalog.Weapons.size();
    const size_t fileCount = weaponCount + TCatalog::CategoryFileCount;
    const auto pathOf = [&](size_t i) -> const std::string& {
        return i < weaponCount ? catalog.Weapons[i]->FilePath : catalog.FRequiredFiles[i - weaponCount];
    };
    std::vector<TPendingWrite> batch;
    // A save killed before it reached a file may have left the file's temporary; this save is the one that
    // tidies it, without touching the file.
    std::vector<std::string> unchanged;
    size_t next = 0;
    // A weapon file that fails is passed over; the next one is saved. A category file that fails ends the
    // save there.
    const auto saveNext = [&] {
        if (next < weaponCount) {
            ProfileFile file(catalog.Weapons[next]->FilePath);
            SaveFile(file, batch, report, unchanged, catalog.FDiskMarks);
        } else if (!SaveFile(*catalog.FFiles[next - weaponCount], batch, report, unchanged,
                             catalog.FDiskMarks)) {
            report.Stopped = true;
        }
        batch.clear();
        ++next;
        if (catalog.OnStep) {
            catalog.OnStep();
        }
    };
    ForEachPendingWrite(catalog, [&](const TPendingWrite& write) {
        while (!report.Stopped && next < fileCount && pathOf(next) != write.File) {
            saveNext();
        }
        if (!report.Stopped && next < fileCount) {
            batch.push_back(write);
        } else if (!report.Stopped) {
            // Only a walk out of the save's file order gets here; its value stays pending, and the save says
            // so rather than reporting success.
            report.Failures.push_back(
                {fs::Resolve(std::string(write.File)), "a change to [" + std::string(write.Section) + "] " +
                                                           std::string(write.Key) + " was not written"});
        }
    });
    while (!report.Stopped && next < fileCount) {
        saveNext();
    }
    fs::RemoveStaleTemporaries(unchanged);
    return report;
}

} // namespace kw

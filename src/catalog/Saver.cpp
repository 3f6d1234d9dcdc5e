#include "catalog/Catalog.h"

#include "gamecfg/FileSys.h"

#include <span>

namespace kw {
namespace {

using TWrites = std::span<const TPendingWrite>;

// The pending writes at the front of rest that go to file; rest keeps those after them.
TWrites TakeWritesOf(const std::string& file, TWrites& rest) {
    size_t count = 0;
    while (count < rest.size() && rest[count].File == file) {
        ++count;
    }
    const TWrites taken = rest.first(count);
    rest = rest.subspan(count);
    return taken;
}

// The writes of one file are committed together, or dropped together when one of them fails, so a file is
// either saved whole or left exactly as it was. False when the file could not be written.
bool SaveFile(ProfileFile& file, TWrites writes, TSaveReport& report) {
    if (writes.empty()) {
        // A save killed before it reached this file may have left the file's temporary; this save is the
        // one that tidies it, without touching the file.
        fs::RemoveStaleTemporary(file.Path());
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
    return true;
}

} // namespace

TSaveReport SaveCatalogs(TCatalog& catalog) {
    TSaveReport report;
    if (!catalog.files_[TCatalog::WeaponsLtx]) {
        return report;
    }
    const std::vector<TPendingWrite> pending = PendingWrites(catalog);
    TWrites rest(pending);
    // A weapon file that fails is passed over; the next one is saved.
    for (const auto& weapon : catalog.Weapons) {
        ProfileFile file(weapon->FilePath);
        SaveFile(file, TakeWritesOf(weapon->FilePath, rest), report);
    }
    // A category file that fails ends the save there.
    for (size_t index = 0; index < TCatalog::CategoryFileCount; ++index) {
        ProfileFile& file = *catalog.files_[index];
        if (!SaveFile(file, TakeWritesOf(catalog.requiredFiles_[index], rest), report)) {
            report.Stopped = true;
            break;
        }
    }
    return report;
}

} // namespace kw

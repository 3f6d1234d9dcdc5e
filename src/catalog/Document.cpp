#include "catalog/Document.h"

#include "catalog/CatalogEntries.h"
#include "gamecfg/FileSys.h"

#include <algorithm>
#include <memory>
#include <unordered_map>
#include <utility>

namespace kw {

void TDocument::Prepare(const std::string& gamePath, bool newFolder, const std::string& storedLocalization) {
    TLoadSource source;
    source.GamePath = fs::WithTrailingSeparator(gamePath);
    source.RequiredFiles = BuildRequiredFiles(source.GamePath);
    TStringTables tables;
    TLoadPreparation preparation = PrepareFullLoad(source.GamePath, newFolder, storedLocalization, tables);
    source.WeaponFiles = std::move(preparation.WeaponFiles);
    source.LocalizationPath = std::move(preparation.LocalizationPath);
    source.StringTableFiles = std::move(preparation.StringTableFiles);
    FTables = std::move(tables);
    FSource = std::move(source);
}

void TDocument::ReadCatalogs(TPictureLists* freshPictures) {
    if (!FSource) {
        return;
    }
    FPendingCells.clear();
    if (freshPictures) {
        // The old entries point into the old pictures; the loader drops them before it reads anything.
        FPictures = std::move(*freshPictures);
    }
    // The loader strikes files from the list it is given; the listed ones stay for the next reload.
    std::vector<std::string> weaponFiles = FSource->WeaponFiles;
    try {
        LoadCatalogs(FCatalog, FSource->GamePath, FSource->RequiredFiles, weaponFiles, FTables, FPictures);
    } catch (...) {
        ModifiedChanged();
        throw;
    }
    ModifiedChanged();
}

void TDocument::Load(const std::string& gameFolder) {
    Prepare(gameFolder, true, "");
    TPictureLists none;
    ReadCatalogs(&none);
}

bool TDocument::IsModified() {
    return !FPendingCells.empty() || !PendingWrites(FCatalog).empty();
}

namespace {

const std::string& NameOf(const TWeather& slot) {
    return slot.Time;
}
const std::string& NameOf(const TMainItem& entry) {
    return entry.Section;
}

// Which entry shows each parameter. Entries are kept in catalog order, so their positions order them.
class TParamOwners {
public:
    explicit TParamOwners(TCatalog& catalog) {
        ForEachCatalogEntry(catalog, [this](std::string_view name, std::size_t index, auto& entry) {
            const std::size_t position = FEntries.size();
            FEntries.push_back({name, index, NameOf(entry)});
            entry.ForEachParam(
                [&](const std::string&, TParam& param) { FOwners.try_emplace(&param, position); });
        });
    }

    // The entries showing param or a parameter linked with it, in catalog order.
    std::vector<TChangeEntry> EntriesOf(const TParam& param) const {
        std::vector<std::size_t> found;
        param.ForEachLinkedParam([&](const TParam& linked) {
            if (const auto owner = FOwners.find(&linked); owner != FOwners.end()) {
                found.push_back(owner->second);
            }
        });
        std::sort(found.begin(), found.end());
        found.erase(std::unique(found.begin(), found.end()), found.end());
        std::vector<TChangeEntry> entries;
        for (const std::size_t position : found) {
            entries.push_back(FEntries[position]);
        }
        return entries;
    }

private:
    std::vector<TChangeEntry> FEntries;
    std::unordered_map<const TParam*, std::size_t> FOwners;
};

} // namespace

std::vector<TChange> TDocument::Changes() {
    const std::vector<TPendingWrite> pending = PendingWrites(FCatalog);
    std::vector<TChange> changes;
    if (pending.empty()) {
        return changes;
    }
    const TParamOwners owners(FCatalog);
    changes.reserve(pending.size());
    for (const TPendingWrite& write : pending) {
        const TParam& param = *write.Param;
        changes.push_back({std::string(write.File), std::string(write.Section), std::string(write.Key),
                           owners.EntriesOf(param), param.WasPresent(), std::string(param.StoredValue()),
                           std::string(param.StoredComment()), param.Value, param.Comment, write.Param});
    }
    return changes;
}

void TDocument::Revert(std::span<const TChange> rows) {
    for (const TChange& row : rows) {
        row.Param->Revert();
    }
    ModifiedChanged();
}

void TDocument::RevertAll() {
    // Every parameter, not only what a save would write: an addon state set to "none" is never written,
    // yet it is not what the file holds. A linked group is walked once per member, so only changed ones.
    ForEachCatalogEntry(FCatalog, [](std::string_view, std::size_t, auto& entry) {
        entry.ForEachParam([](const std::string&, TParam& param) {
            if (param.NeedsWrite() || param.Value != param.StoredValue() ||
                param.Comment != param.StoredComment()) {
                param.Revert();
            }
        });
    });
    FPendingCells.clear();
    ModifiedChanged();
}

TSaveReport TDocument::Save() {
    TSaveReport report = SaveCatalogs(FCatalog);
    ModifiedChanged();
    return report;
}

void TDocument::SetPendingCells(std::vector<TPendingCell> cells) {
    FPendingCells = std::move(cells);
    ModifiedChanged();
}

void TDocument::ModifiedChanged() {
    if (OnModifiedChanged) {
        OnModifiedChanged();
    }
}

} // namespace kw

// Unsaved work set against game files that another program changed: a reload that keeps it, and the
// conflicts a save held back.

#include "catalog/Document.h"

#include "catalog/CatalogEntries.h"
#include "catalog/ParamPlaces.h"
#include "gamecfg/AsciiText.h"
#include "gamecfg/FileSys.h"

#include <algorithm>
#include <map>
#include <memory>
#include <set>
#include <tuple>

namespace kw {
namespace {

// Sections and keys compare as the game compares them; the path is the load's own text either way.
using TPlaceKey = std::tuple<std::string, std::string, std::string>;

TPlaceKey PlaceKey(const std::string& file, const std::string& section, const std::string& key) {
    const auto lower = [](std::string text) {
        std::transform(text.begin(), text.end(), text.begin(), LowerAscii);
        return text;
    };
    return {file, lower(section), lower(key)};
}

// The entry at index of the catalog a grid shows, by the name a listing of changes gives it.
template <class Visit> void WithGridCatalog(TCatalog& catalog, int grid, Visit&& visit) {
    switch (grid) {
    case 0:
        return visit(catalog.Weapons);
    case 1:
        return visit(catalog.Ammo);
    case 2:
        return visit(catalog.Outfits);
    case 3:
        return visit(catalog.Arts);
    case 4:
        return visit(catalog.Items);
    default:
        return visit(catalog.Weather);
    }
}

std::string GridEntryName(TCatalog& catalog, int grid, int row) {
    std::string name;
    WithGridCatalog(catalog, grid, [&](auto& entries) {
        if (row >= 0 && static_cast<std::size_t>(row) < entries.size()) {
            name = ChangeEntryName(*entries[row]);
        }
    });
    return name;
}

int GridEntryRow(TCatalog& catalog, int grid, const std::string& name) {
    int row = -1;
    WithGridCatalog(catalog, grid, [&](auto& entries) {
        const auto found = std::find_if(entries.begin(), entries.end(),
                                        [&](const auto& entry) { return ChangeEntryName(*entry) == name; });
        if (found != entries.end()) {
            row = static_cast<int>(found - entries.begin());
        }
    });
    return row;
}

// The user's value over the file's: a comment the user left as it was takes what the file holds now.
TParam::TEditState MineOver(const TChangeOnDisk& conflict) {
    TParam::TEditState state = conflict.State;
    if (state.Comment == conflict.Change.StoredComment) {
        state.Comment = conflict.OnDisk.Comment;
    }
    return state;
}

} // namespace

TReloadPlan TDocument::PlanReload() {
    TReloadPlan plan;
    // Each file is read once, as it is now.
    std::map<std::string, std::unique_ptr<ProfileFile>> files;
    for (TChange& change : Changes()) {
        auto& file = files[change.File];
        if (!file) {
            file = std::make_unique<ProfileFile>(change.File);
        }
        TChangeOnDisk edit{change, ReadOnDisk(*file, change.Section, change.Key), change.Param->EditState()};
        if (!edit.OnDisk.SectionExists) {
            plan.Lost.push_back(std::move(edit));
        } else if (HoldsStored(*change.Param, edit.OnDisk)) {
            plan.Kept.push_back(std::move(edit));
        } else {
            plan.Conflicts.push_back(std::move(edit));
        }
    }
    for (const auto& [cell, text] : FCells) {
        std::string entry = GridEntryName(FCatalog, cell.Grid, cell.Row);
        if (!entry.empty()) {
            plan.Cells.push_back({cell.Grid, std::move(entry), cell.Column, text});
        }
    }
    return plan;
}

// Called with the catalogs read anew, before anyone hears of the load.
void TDocument::PutBack(TReloadPlan& plan) {
    // Only the places of the keys to put back: a big catalog has hundreds of thousands of others.
    std::set<std::string> keys;
    for (const auto* edits : {&plan.Kept, &plan.Conflicts}) {
        for (const TChangeOnDisk& edit : *edits) {
            keys.insert(edit.Change.Key);
        }
    }
    std::map<TPlaceKey, TParam*> places;
    if (!keys.empty()) {
        ForEachParamPlace(FCatalog, [&](const TParamPlace& place) {
            if (keys.contains(place.Key)) {
                places.try_emplace(PlaceKey(place.File, place.Section, place.Key), &place.Param);
            }
        });
    }
    const auto putBack = [&](const TChangeOnDisk& edit, const TParam::TEditState& state) {
        const auto found = places.find(PlaceKey(edit.Change.File, edit.Change.Section, edit.Change.Key));
        if (found == places.end()) {
            plan.Unplaced.push_back(edit);
            return;
        }
        // The edit stands against what the plan read, which the user saw. Should the file hold something else
        // by now (changed again while the user chose), the save finds it changed and asks.
        found->second->TakeFileValue(edit.OnDisk.Present, edit.OnDisk.Value, edit.OnDisk.Comment);
        found->second->RestoreEditState(state);
        Touch(*found->second, edit.Change.Use);
    };
    for (const TChangeOnDisk& kept : plan.Kept) {
        putBack(kept, kept.State);
    }
    for (const TChangeOnDisk& conflict : plan.Conflicts) {
        if (conflict.KeepMine) {
            putBack(conflict, MineOver(conflict));
        }
    }
    for (const TReloadPlan::TCell& cell : plan.Cells) {
        const int row = GridEntryRow(FCatalog, cell.Grid, cell.Entry);
        if (row >= 0) {
            FCells[{cell.Grid, row, cell.Column}] = cell.Text;
        }
    }
}

void TDocument::NoteStringTables() {
    for (const std::string& path : FSource->StringTableFiles) {
        if (const std::optional<std::string> bytes = fs::ReadFile(path)) {
            FCatalog.DiskMarks().Note(path, *bytes);
        }
    }
}

std::vector<TChangeOnDisk> TDocument::Conflicts(const TSaveReport& report) {
    std::vector<TChangeOnDisk> conflicts;
    if (report.Conflicts.empty()) {
        return conflicts;
    }
    std::map<const TParam*, const TSaveConflict*> byParam;
    for (const TSaveConflict& conflict : report.Conflicts) {
        byParam.emplace(conflict.Param, &conflict);
    }
    for (TChange& change : Changes()) {
        if (const auto found = byParam.find(change.Param); found != byParam.end()) {
            const TParam::TEditState state = change.Param->EditState();
            conflicts.push_back({std::move(change), found->second->OnDisk, state});
        }
    }
    return conflicts;
}

void TDocument::Settle(std::span<const TChangeOnDisk> conflicts) {
    const bool wasModified = IsModified();
    for (const TChangeOnDisk& conflict : conflicts) {
        TParam& param = *conflict.Change.Param;
        param.TakeFileValue(conflict.OnDisk.Present, conflict.OnDisk.Value, conflict.OnDisk.Comment);
        if (conflict.KeepMine) {
            param.RestoreEditState(MineOver(conflict));
        } else {
            param.Revert();
        }
        Touch(param, conflict.Change.Use);
    }
    Announce(TDocumentChange::TKind::Settled, nullptr, wasModified);
}

} // namespace kw

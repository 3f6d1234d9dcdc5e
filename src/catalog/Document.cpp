#include "catalog/Document.h"

#include "catalog/CatalogEntries.h"
#include "gamecfg/FileSys.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <unordered_map>
#include <utility>

namespace kw {

void TDocument::Prepare(const std::string& gamePath, bool newFolder, const std::string& storedLocalization) {
    TLoadSource source;
    source.GamePath = fs::WithTrailingSeparator(gamePath);
    TStringTables tables;
    TLoadPreparation preparation = PrepareFullLoad(source.GamePath, newFolder, storedLocalization, tables);
    source.WeaponFiles = std::move(preparation.WeaponFiles);
    source.LocalizationPath = std::move(preparation.LocalizationPath);
    source.StringTableFiles = std::move(preparation.StringTableFiles);
    FTables = std::move(tables);
    FSource = std::move(source);
}

void TDocument::ReadCatalogs(TPictureLists* freshPictures, TReloadPlan* keep) {
    if (!FSource) {
        return;
    }
    const bool wasModified = IsModified();
    // The steps point into the entries the load replaces.
    FHistory.Clear();
    FGroup = TEditStep();
    FTouched.clear();
    FCells.clear();
    if (freshPictures) {
        // The old entries point into the old pictures; the loader drops them before it reads anything.
        FPictures = std::move(*freshPictures);
    }
    // The loader strikes files from the list it is given; the listed ones stay for the next reload.
    std::vector<std::string> weaponFiles = FSource->WeaponFiles;
    // Whoever fills views from a loaded catalog hears of it once the kept work is back in it.
    std::function<void()> onLoaded = std::exchange(FCatalog.OnLoaded, nullptr);
    try {
        LoadCatalogs(FCatalog, FSource->GamePath, BuildRequiredFiles(FSource->GamePath), weaponFiles, FTables,
                     FPictures);
        NoteStringTables();
        if (keep) {
            PutBack(*keep);
        }
    } catch (...) {
        FCatalog.OnLoaded = std::move(onLoaded);
        Announce(TDocumentChange::TKind::Loaded, nullptr, wasModified);
        throw;
    }
    FCatalog.OnLoaded = std::move(onLoaded);
    if (FCatalog.OnLoaded) {
        FCatalog.OnLoaded();
    }
    Announce(TDocumentChange::TKind::Loaded, nullptr, wasModified);
}

void TDocument::Load(const std::string& gameFolder) {
    Prepare(gameFolder, true, "");
    TPictureLists none;
    ReadCatalogs(&none);
}

bool TDocument::IsModified() const {
    if (!FCells.empty()) {
        return true;
    }
    for (const auto& [param, use] : FTouched) {
        if (WouldWrite(*param, use)) {
            return true;
        }
    }
    return false;
}

namespace {

// Which entry shows each parameter. Entries are kept in catalog order, so their positions order them.
class TParamOwners {
public:
    explicit TParamOwners(TCatalog& catalog) {
        ForEachCatalogEntry(catalog, [this](std::string_view name, std::size_t index, auto& entry) {
            const std::size_t position = FEntries.size();
            FEntries.push_back({name, index, ChangeEntryName(entry)});
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
                           std::string(param.StoredComment()), param.Value, param.Comment, write.Param,
                           write.Use});
    }
    return changes;
}

void TDocument::Revert(std::span<const TChange> rows, TStepLabel label, std::span<const TCellRef> cells) {
    TEditStep step;
    step.Label = std::move(label.Text);
    step.Name = std::move(label.Name);
    const bool wasModified = IsModified();
    for (const TChange& row : rows) {
        const TParam::TEditState before = row.Param->EditState();
        row.Param->Revert();
        // The use the edit was made with: an addon state of "-1" must stay unwritten when it comes back.
        const auto touched = FTouched.find(row.Param);
        const TKeyUse use = touched != FTouched.end() ? touched->second : TKeyUse::Edit;
        step.Params.push_back({row.Param, use, before, row.Param->EditState()});
    }
    for (const auto& change : step.Params) {
        Touch(*change.Param, change.Use);
    }
    for (const TCellRef& cell : cells) {
        if (const auto marked = FCells.find(cell); marked != FCells.end()) {
            step.Cells.push_back({cell, std::move(marked->second), std::nullopt});
            FCells.erase(marked);
        }
    }
    Record(std::move(step), wasModified);
}

void TDocument::RevertAll() {
    const bool wasModified = IsModified();
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
    FHistory.Clear();
    FGroup = TEditStep();
    FTouched.clear();
    FCells.clear();
    Announce(TDocumentChange::TKind::RevertedAll, nullptr, wasModified);
}

TSaveReport TDocument::Save() {
    const bool wasModified = IsModified();
    TSaveReport report = SaveCatalogs(FCatalog);
    // What was written is what its file holds now; what failed stays touched.
    std::erase_if(FTouched, [](const auto& touched) { return !WouldWrite(*touched.first, touched.second); });
    Announce(TDocumentChange::TKind::Saved, nullptr, wasModified);
    return report;
}

void TDocument::Edit(TStepLabel label, TEditPlace place, std::vector<TValueEdit> values,
                     std::vector<TCellEdit> cells) {
    TEditStep step;
    step.Label = std::move(label.Text);
    step.Name = std::move(label.Name);
    step.Place = std::move(place);
    const bool wasModified = IsModified();
    for (TValueEdit& value : values) {
        const TParam::TEditState before = value.Param->EditState();
        value.Param->Edit(std::move(value.Value));
        if (value.Param->EditState() != before) {
            step.Params.push_back({value.Param, value.Use, before, value.Param->EditState()});
        }
        Touch(*value.Param, value.Use);
    }
    for (TCellEdit& cell : cells) {
        const std::string* current = CellText(cell.Cell);
        std::optional<std::string> before = current ? std::optional<std::string>(*current) : std::nullopt;
        if (before == cell.Text) {
            continue;
        }
        if (cell.Text) {
            FCells[cell.Cell] = *cell.Text;
        } else {
            FCells.erase(cell.Cell);
        }
        step.Cells.push_back({cell.Cell, std::move(before), std::move(cell.Text)});
    }
    Record(std::move(step), wasModified);
}

// Within a group a parameter or cell changed twice keeps what it held before the first change.
void TDocument::Record(TEditStep step, bool wasModified) {
    if (step.Empty()) {
        return;
    }
    if (FGroupDepth == 0) {
        FHistory.Push(std::move(step));
        Announce(TDocumentChange::TKind::Edited, FHistory.NextUndo(), wasModified);
        return;
    }
    // Linked parameters are one value: a ring changed through several of them is one change.
    for (auto& change : step.Params) {
        const auto known = std::find_if(FGroup.Params.begin(), FGroup.Params.end(), [&](const auto& group) {
            return group.Param == change.Param || group.Param->IsLinkedWith(*change.Param);
        });
        if (known == FGroup.Params.end()) {
            FGroup.Params.push_back(std::move(change));
        } else {
            known->After = std::move(change.After);
        }
    }
    for (auto& change : step.Cells) {
        const auto known = std::find_if(FGroup.Cells.begin(), FGroup.Cells.end(),
                                        [&](const auto& group) { return group.Cell == change.Cell; });
        if (known == FGroup.Cells.end()) {
            FGroup.Cells.push_back(std::move(change));
        } else {
            known->After = std::move(change.After);
        }
    }
    Announce(TDocumentChange::TKind::Edited, &FGroup, wasModified);
}

void TDocument::BeginGroup(TStepLabel label, TEditPlace place) {
    if (FGroupDepth++ == 0) {
        FGroup = TEditStep();
        FGroup.Label = std::move(label.Text);
        FGroup.Name = std::move(label.Name);
        FGroup.Place = std::move(place);
    }
}

void TDocument::EndGroup() {
    if (FGroupDepth == 0 || --FGroupDepth > 0) {
        return;
    }
    // A value changed and changed back within the group leaves nothing to take back.
    std::erase_if(FGroup.Params, [](const auto& change) { return change.Before == change.After; });
    std::erase_if(FGroup.Cells, [](const auto& change) { return change.Before == change.After; });
    if (!FGroup.Empty()) {
        FHistory.Push(std::exchange(FGroup, TEditStep()));
        Announce(TDocumentChange::TKind::Edited, FHistory.NextUndo(), IsModified());
    }
}

// An open group's states stand on the steps before it; taking those back under it would mix the two.
void TDocument::Undo() {
    if (!FHistory.NextUndo() || FGroupDepth > 0) {
        return;
    }
    const bool wasModified = IsModified();
    const TEditStep& step = FHistory.StepBack();
    ApplyStates(step, false);
    Announce(TDocumentChange::TKind::Undone, &step, wasModified);
}

void TDocument::Redo() {
    if (!FHistory.NextRedo() || FGroupDepth > 0) {
        return;
    }
    const bool wasModified = IsModified();
    const TEditStep& step = FHistory.StepForth();
    ApplyStates(step, true);
    Announce(TDocumentChange::TKind::Redone, &step, wasModified);
}

// A step's changes go back in the reverse order they were made, so that a parameter changed twice in one
// step ends where it began.
void TDocument::ApplyStates(const TEditStep& step, bool after) {
    const auto applyParam = [&](const TEditStep::TParamChange& change) {
        change.Param->RestoreEditState(after ? change.After : change.Before);
        Touch(*change.Param, change.Use);
    };
    const auto applyCell = [&](const TEditStep::TCellChange& change) {
        const std::optional<std::string>& text = after ? change.After : change.Before;
        if (text) {
            FCells[change.Cell] = *text;
        } else {
            FCells.erase(change.Cell);
        }
    };
    if (after) {
        std::for_each(step.Params.begin(), step.Params.end(), applyParam);
        std::for_each(step.Cells.begin(), step.Cells.end(), applyCell);
    } else {
        std::for_each(step.Params.rbegin(), step.Params.rend(), applyParam);
        std::for_each(step.Cells.rbegin(), step.Cells.rend(), applyCell);
    }
}

const std::string* TDocument::CellText(const TCellRef& cell) const {
    const auto found = FCells.find(cell);
    return found == FCells.end() ? nullptr : &found->second;
}

void TDocument::Touch(TParam& param, TKeyUse use) {
    FTouched.try_emplace(&param, use);
}

std::size_t TDocument::Listen(TDocumentListener listener) {
    FListeners.emplace_back(FNextListener, std::move(listener));
    return FNextListener++;
}

void TDocument::StopListening(std::size_t id) {
    std::erase_if(FListeners, [id](const auto& listener) { return listener.first == id; });
}

// A listener may stop listening, or start another, while it hears: it walks a copy, and passes over one that
// an earlier listener stopped (its owner may be gone).
void TDocument::Announce(TDocumentChange::TKind kind, const TEditStep* step, bool wasModified) {
    const TDocumentChange change{kind, step, IsModified() != wasModified};
    const auto listeners = FListeners;
    for (const auto& [id, listener] : listeners) {
        const bool listening = std::any_of(FListeners.begin(), FListeners.end(),
                                           [id = id](const auto& current) { return current.first == id; });
        if (listening) {
            listener(change);
        }
    }
}

} // namespace kw

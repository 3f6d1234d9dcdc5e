#pragma once

#include "catalog/Catalog.h"
#include "catalog/EditHistory.h"
#include "catalog/GameFolder.h"
#include "catalog/Picture.h"
#include "gamecfg/StringTable.h"

#include <cstddef>
#include <functional>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kw {

// What the last full load read: the folder and its files (the five category files follow from the folder,
// BuildRequiredFiles). A reload reads them again.
struct TLoadSource {
    std::string GamePath;                 // with a trailing separator
    std::vector<std::string> WeaponFiles; // as listed, before the loader struck the ones without a weapon
    std::string LocalizationPath;
    std::vector<std::string> StringTableFiles;
};

// An entry that shows a changed value.
struct TChangeEntry {
    std::string_view Catalog; // as the headless dump names it: "weapons", "outfits", "weather", ...
    std::size_t Index = 0;    // position in that catalog
    std::string Name;         // the section, or a weather slot's time; windows-1251
};

// One file, section and key that a save would write. Texts are windows-1251 like the game's; Param stays
// valid until the next load.
struct TChange {
    std::string File; // full path as the load had it
    std::string Section;
    std::string Key;
    std::vector<TChangeEntry> Entries; // every entry that shows the value, in catalog order
    bool WasPresent = true;            // false: the section lacks the key and inherits what the game sees
    std::string StoredValue, StoredComment;
    std::string NewValue, NewComment;
    TParam* Param = nullptr;
    TKeyUse Use = TKeyUse::Edit;
};

// An unsaved change set against what its file holds now, after another program changed the file.
struct TChangeOnDisk {
    TChange Change; // what the file held at the load or the last save (Stored...), and the user's (New...)
    TOnDisk OnDisk; // what it holds now
    TParam::TEditState State;
    // For a conflict: keep the user's value over the file's (else the file's value is shown).
    bool KeepMine = true;
};

// How a reload fares with unsaved work, sorted before it reads anything.
struct TReloadPlan {
    std::vector<TChangeOnDisk> Kept;      // the key still holds what the value was edited against
    std::vector<TChangeOnDisk> Conflicts; // another program changed the key too: the user chooses
    std::vector<TChangeOnDisk> Lost;      // the file or the section is gone
    // A table view's marked cell, by the entry it stands on.
    struct TCell {
        int Grid = 0;
        std::string Entry; // as TChangeEntry names it
        int Column = 0;
        std::string Text;
    };
    std::vector<TCell> Cells;
    // Filled by the reload: kept values whose entry it no longer found.
    std::vector<TChangeOnDisk> Unplaced;
};

// What the document announces after it changed. Step is the step that was done, taken back or done again
// (none for a load, a save or a revert of everything); a listener refreshes what it names.
struct TDocumentChange {
    enum class TKind { Loaded, Edited, Undone, Redone, Saved, RevertedAll, Settled };
    TKind Kind = TKind::Edited;
    const TEditStep* Step = nullptr;
    bool ModifiedChanged = false; // IsModified answers otherwise than before
};
using TDocumentListener = std::function<void(const TDocumentChange&)>;

// The game data an editing session works on: the catalogs, the string tables and pictures they resolve
// against, where they were read from, and what a save would write. One document lives as long as the
// session; a load refills it, so whatever holds a reference to it stays valid.
class TDocument {
public:
    TDocument() = default;
    TDocument(const TDocument&) = delete;
    TDocument& operator=(const TDocument&) = delete;

    // A full load in two steps, so that a window can show progress around the second.
    // Prepare reads the string tables and lists the weapon files of gamePath (the localization: the game's
    // own for a new folder, else storedLocalization). Throws kw::Error for a malformed string table and
    // leaves the document as it was.
    void Prepare(const std::string& gamePath, bool newFolder, const std::string& storedLocalization);
    // Reads the catalogs from the prepared source; called again it is a reload that drops every edit.
    // freshPictures, when given, replace the pictures first. Nothing happens before a Prepare.
    // keep: unsaved work that stands over the files as read anew, as PlanReload sorted it and the user chose:
    // kept values and conflicts kept as the user's are set again (not as a step to take back), marked cells
    // go back on the entries that still exist.
    void ReadCatalogs(TPictureLists* freshPictures = nullptr, TReloadPlan* keep = nullptr);
    // Both steps for a new folder, without pictures: the headless tool's load.
    void Load(const std::string& gameFolder);

    const std::optional<TLoadSource>& Source() const { return FSource; }
    TCatalog& Catalog() { return FCatalog; }
    const TCatalog& Catalog() const { return FCatalog; }
    const TStringTables& Tables() const { return FTables; }
    const TPictureLists& Pictures() const { return FPictures; }

    // Whether anything would be lost without a save: a value a save would write, or a marked cell of a table
    // view's working copy. Kept from the edits as they come, never by walking the catalog.
    bool IsModified() const;
    // One row per file, section and key a save would write, in the order it writes them.
    std::vector<TChange> Changes();
    // Every entry showing one of the rows' values shows the file's value again, and each of cells is no
    // longer marked, so that its grid shows the catalog's value: one step, labelled label. Nothing is
    // written.
    void Revert(std::span<const TChange> rows, TStepLabel label = "revert",
                std::span<const TCellRef> cells = {});
    // Every value back to its baseline, marked cells dropped, the history cleared: unsaved work discarded.
    void RevertAll();
    // Writes what Changes lists; a value that could not be written stays a change. The history stays: a step
    // taken back after the save makes the document modified again.
    TSaveReport Save();
    // The conflicts of a save that held files back, as a listing of changes shows them.
    std::vector<TChangeOnDisk> Conflicts(const TSaveReport& report);
    // The user has seen each conflict's file value: it is what the file holds from now on, and the entry
    // shows the user's value over it, or the file's. Announced as one change; not a step to take back.
    void Settle(std::span<const TChangeOnDisk> conflicts);
    // Sorts what a save would write against the files as they are now, for a reload that keeps it.
    TReloadPlan PlanReload();
    // The files the last load read, as it read them or a save since wrote them.
    TDiskMarks& DiskMarks() { return FCatalog.DiskMarks(); }

    // One thing the user did: sets every value through TParam::Edit and every working-copy cell, records it
    // as one step that Undo takes back, and announces it. Values and cells it leaves as they were are not
    // part of the step; a step that changes nothing is not recorded.
    void Edit(TStepLabel label, TEditPlace place, std::vector<TValueEdit> values,
              std::vector<TCellEdit> cells = {});
    // Edits made while a group is open join one step, labelled as the outermost group and recorded when it
    // closes: a dialog's stores from its opening to its OK are one thing the user did. Each edit is still
    // announced as it is made.
    void BeginGroup(TStepLabel label, TEditPlace place);
    void EndGroup();
    const TEditStep* NextUndo() const { return FHistory.NextUndo(); }
    const TEditStep* NextRedo() const { return FHistory.NextRedo(); }
    // Take back or do again the next step, and announce it; nothing when there is none.
    void Undo();
    void Redo();

    // A table view's working copy: the marked cells, each with the text it shows instead of the catalog's.
    const std::map<TCellRef, std::string>& Cells() const { return FCells; }
    const std::string* CellText(const TCellRef& cell) const;

    // Listeners hear every change, in the order they began to listen.
    std::size_t Listen(TDocumentListener listener);
    void StopListening(std::size_t id);

private:
    void ApplyStates(const TEditStep& step, bool after);
    void Record(TEditStep step, bool wasModified);
    void Touch(TParam& param, TKeyUse use);
    void Announce(TDocumentChange::TKind kind, const TEditStep* step, bool wasModified);
    void PutBack(TReloadPlan& plan);
    void NoteStringTables();

    std::optional<TLoadSource> FSource;
    TStringTables FTables;
    TPictureLists FPictures;
    TEditHistory FHistory;
    int FGroupDepth = 0;
    TEditStep FGroup;
    std::map<TCellRef, std::string> FCells;
    // Every parameter an edit touched since the load, with how a save treats it: IsModified asks these.
    std::unordered_map<const TParam*, TKeyUse> FTouched;
    std::vector<std::pair<std::size_t, TDocumentListener>> FListeners;
    std::size_t FNextListener = 0;
    // Last, so that it goes first: its entries point into the pictures.
    TCatalog FCatalog;
};

// Opens a group of edits for as long as it lives (see TDocument::BeginGroup).
class TEditGroup {
public:
    TEditGroup(TDocument& document, TStepLabel label, TEditPlace place) : FDocument(document) {
        FDocument.BeginGroup(std::move(label), std::move(place));
    }
    ~TEditGroup() { FDocument.EndGroup(); }
    TEditGroup(const TEditGroup&) = delete;
    TEditGroup& operator=(const TEditGroup&) = delete;

private:
    TDocument& FDocument;
};

} // namespace kw

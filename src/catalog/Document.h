#pragma once

#include "catalog/Catalog.h"
#include "catalog/GameFolder.h"
#include "catalog/Picture.h"
#include "gamecfg/StringTable.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kw {

// What the last full load read: the folder and its files. A reload reads them again.
struct TLoadSource {
    std::string GamePath; // with a trailing separator
    std::vector<std::string> RequiredFiles;
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
};

// A grid cell typed, pasted or imported but not yet stored into the catalog. The table view reports its
// marked cells; a save cannot write them until they are stored.
struct TPendingCell {
    std::string Catalog; // as TChangeEntry names it
    std::string Entry;   // the row's section
    std::string Field;   // the column's game key
    std::string Value;   // windows-1251
};

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
    void ReadCatalogs(TPictureLists* freshPictures = nullptr);
    // Both steps for a new folder, without pictures: the headless tool's load.
    void Load(const std::string& gameFolder);

    const std::optional<TLoadSource>& Source() const { return FSource; }
    TCatalog& Catalog() { return FCatalog; }
    const TCatalog& Catalog() const { return FCatalog; }
    const TStringTables& Tables() const { return FTables; }
    const TPictureLists& Pictures() const { return FPictures; }

    // Whether anything would be lost without a save: a value a save would write, or a marked grid cell.
    bool IsModified();
    // One row per file, section and key a save would write, in the order it writes them.
    std::vector<TChange> Changes();
    // Every entry showing one of the rows' values shows the file's value again. Nothing is written.
    void Revert(std::span<const TChange> rows);
    // Every value back to its baseline, marked grid cells dropped.
    void RevertAll();
    // Writes what Changes lists; a value that could not be written stays a change.
    TSaveReport Save();

    // The table view's marked cells, replaced as a whole whenever they change; a load drops them.
    void SetPendingCells(std::vector<TPendingCell> cells);
    const std::vector<TPendingCell>& PendingCells() const { return FPendingCells; }

    // Called after the document itself changed what IsModified may answer: a load, a revert, a save, new
    // pending cells. An edit through a parameter calls nothing; its editor knows.
    std::function<void()> OnModifiedChanged;

private:
    void ModifiedChanged();

    std::optional<TLoadSource> FSource;
    TStringTables FTables;
    TPictureLists FPictures;
    std::vector<TPendingCell> FPendingCells;
    // Last, so that it goes first: its entries point into the pictures.
    TCatalog FCatalog;
};

} // namespace kw

#include "interchange/GridTable.h"

#include "catalog/Document.h"
#include "catalog/GameFolder.h"
#include "catalog/KeyLists.h"
#include "catalog/MissingSection.h"
#include "gamecfg/AsciiText.h"
#include "gamecfg/CodePage.h"
#include "gamecfg/Error.h"

#include <stdexcept>
#include <unordered_map>

namespace kw {
namespace {

// A grid's columns bound to the key rules of its entry class; column 0 has none.
template <class T> std::vector<const TKeyRule<T>*> BindColumns(const TGridDef& def, const TKeyList<T>& keys) {
    std::vector<const TKeyRule<T>*> rules;
    for (const TColumnDef& column : def.Columns) {
        const TKeyRule<T>* found = nullptr;
        for (const auto& rule : keys.Rules) {
            if (column.GameKey && rule.Key == column.GameKey) {
                found = &rule;
            }
        }
        if (column.GameKey && !found) {
            throw std::logic_error(std::string("no entry field for grid column ") + column.HeaderKey);
        }
        rules.push_back(found);
    }
    return rules;
}

template <class T> struct TBoundGrid {
    const std::vector<std::unique_ptr<T>>& Entries;
    const TKeyList<T>& Keys;
    const std::vector<const TKeyRule<T>*>& Columns;
    const char* CategoryFile; // nullptr: each entry names its own file
};

template <class T>
TBoundGrid<T> Bind(const TGridDef& def, const std::vector<std::unique_ptr<T>>& entries,
                   const TKeyList<T>& keys, const char* categoryFile) {
    // Bound once per grid: the tables never change while the program runs.
    static const std::vector<const TKeyRule<T>*> columns = BindColumns(def, keys);
    return {entries, keys, columns, categoryFile};
}

// Calls fn with the grid's entries bound to its columns.
template <class Fn> decltype(auto) WithBoundGrid(const TGridDef& def, const TCatalog& catalog, Fn&& fn) {
    switch (def.Id) {
    case TGridId::Weapons:
        return fn(Bind(def, catalog.Weapons, WeaponKeys(), nullptr));
    case TGridId::Ammo:
        return fn(Bind(def, catalog.Ammo, AmmoKeys(), kRequiredFiles[0]));
    case TGridId::Outfits:
        return fn(Bind(def, catalog.Outfits, OutfitKeys(), kRequiredFiles[1]));
    case TGridId::Arts:
        return fn(Bind(def, catalog.Arts, ArtKeys(), kRequiredFiles[2]));
    case TGridId::Items:
        return fn(Bind(def, catalog.Items, ItemKeys(), kRequiredFiles[3]));
    case TGridId::Weather:
        break;
    }
    return fn(Bind(def, catalog.Weather, WeatherKeys(), kRequiredFiles[4]));
}

std::string NameOf(const TMainItem& entry) {
    return entry.Name;
}
std::string NameOf(const TWeather& entry) {
    return Cp1251ToUtf8(entry.Time);
}

std::string FileOf(const TWeapon& entry, const char*) {
    return entry.FileName;
}
template <class T> std::string FileOf(const T&, const char* categoryFile) {
    return categoryFile;
}

template <class T> std::string SectionOf(T& entry, const TKeyRule<T>& rule, const TKeyList<T>& keys) {
    return rule.Place == TKeyPlace::Linked ? (entry.*keys.Link).Value : entry.Section;
}

template <class T> void FillRows(TStringGrid& grid, const TBoundGrid<T>& bound) {
    grid.Fill(static_cast<int>(bound.Entries.size()), [&bound](int row, int column) {
        T& entry = *bound.Entries[static_cast<std::size_t>(row)];
        const TKeyRule<T>* rule = bound.Columns[static_cast<std::size_t>(column)];
        return rule ? Cp1251ToUtf8(rule->Param.In(entry).Value) : NameOf(entry);
    });
}

// One value a store is about to write.
template <class T> struct TPendingEdit {
    TParam* Param;
    std::string Bytes; // windows-1251
    int Row;
    TKeyUse Use;
};

std::string CellPlace(const std::string& entry, const std::string& header) {
    return "\"" + entry + "\", column \"" + header + "\"";
}

// The text as windows-1251 bytes, or the reason the game file cannot hold it.
std::optional<std::string> ToGameBytes(const std::string& text, std::string& refusal) {
    if (text.find_first_of(std::string("\r\n\0", 3)) != std::string::npos) {
        refusal = "a value cannot hold a line break or a NUL character.";
        return std::nullopt;
    }
    if (!IsValidUtf8(text)) {
        refusal = "the text is not valid UTF-8.";
        return std::nullopt;
    }
    if (text.find(';') != std::string::npos) {
        refusal = "a value cannot hold \";\": the game reads the rest of the line as a comment.";
        return std::nullopt;
    }
    std::optional<std::string> bytes = Utf8ToCp1251(text);
    if (!bytes) {
        refusal =
            "\"" + FirstUnencodable(text) + "\" cannot be written in the game's code page (windows-1251).";
    } else if (bytes->size() > kMaxValueBytes) {
        refusal = "a value can hold at most " + std::to_string(kMaxValueBytes) + " bytes.";
        bytes.reset();
    }
    return bytes;
}

// A value whose section the file lacks is never written by a save, so taking it would report a change that
// never reaches the game.
template <class T>
void RefuseValueWithoutPlace(const TCatalog& catalog, const T& entry, const TParam& param,
                             const std::string& cell) {
    const std::optional<TMissingSection> missing = MissingSectionOf(catalog, entry, param);
    if (!missing) {
        return;
    }
    const std::string file = Cp1251ToUtf8(missing->File);
    if (missing->Section.empty()) {
        throw Error("Cannot store " + cell + ": the entry names no section to hold this value in " + file +
                    ".");
    }
    throw Error("Cannot store " + cell + ": the section [" + Cp1251ToUtf8(missing->Section) +
                "] that holds this value does not exist in " + file + ".");
}

template <class T>
std::vector<TPendingEdit<T>> CollectEdits(const TStringGrid& grid, const TBoundGrid<T>& bound,
                                          const TCatalog& catalog) {
    struct TClaim {
        int Row;
        int Column;
        std::string Bytes;
    };
    std::unordered_map<std::string, TClaim> claims; // file, section and key, letter case folded
    std::vector<TPendingEdit<T>> edits;
    const std::vector<TCellPos> marked = grid.MarkedCells();
    edits.reserve(marked.size());
    if (grid.EntryCount() != static_cast<int>(bound.Entries.size())) {
        throw Error(
            "Cannot store the grid: it no longer shows the entries of the catalog. Refresh it first.");
    }
    for (const TCellPos& cell : marked) {
        if (!grid.IsEditable(cell.Row, cell.Column)) {
            continue;
        }
        T& entry = *bound.Entries[static_cast<std::size_t>(cell.Row)];
        const TKeyRule<T>& rule = *bound.Columns[static_cast<std::size_t>(cell.Column)];
        const std::string& header = grid.Header(cell.Column);
        RefuseValueWithoutPlace(catalog, entry, rule.Param.In(entry), CellPlace(NameOf(entry), header));
        std::string refusal;
        std::optional<std::string> converted = ToGameBytes(grid.Text(cell.Row, cell.Column), refusal);
        if (!converted) {
            throw Error("Cannot store " + CellPlace(NameOf(entry), header) + ": " + refusal);
        }
        std::string bytes = std::move(*converted);
        // Only a linked section is shared between entries; each entry's own section is its alone.
        if (rule.Place == TKeyPlace::Linked) {
            const std::string target = AsciiLower(FileOf(entry, bound.CategoryFile)) + '\n' +
                                       AsciiLower(SectionOf(entry, rule, bound.Keys)) + '\n' + rule.Key;
            const auto [claim, fresh] = claims.try_emplace(target, TClaim{cell.Row, cell.Column, bytes});
            if (!fresh && claim->second.Bytes != bytes) {
                const T& other = *bound.Entries[static_cast<std::size_t>(claim->second.Row)];
                throw Error("Cannot store " + CellPlace(NameOf(other), grid.Header(claim->second.Column)) +
                            " and " + CellPlace(NameOf(entry), header) + ": both write \"" + rule.Key +
                            "\" in section [" + Cp1251ToUtf8(SectionOf(entry, rule, bound.Keys)) +
                            "], with different values.");
            }
            if (!fresh) {
                // The first row's edit reaches every entry sharing the section; a second would count one
                // written value twice.
                continue;
            }
        }
        edits.push_back({&rule.Param.In(entry), std::move(bytes), cell.Row, rule.Use});
    }
    return edits;
}

} // namespace

void FillTable(TStringGrid& grid, const TCatalog& catalog) {
    WithBoundGrid(grid.Def(), catalog, [&grid](const auto& bound) { FillRows(grid, bound); });
}

void CheckTable(const TStringGrid& grid, const TCatalog& catalog) {
    WithBoundGrid(grid.Def(), catalog, [&](const auto& bound) { CollectEdits(grid, bound, catalog); });
}

std::vector<TCellChange> MarkedChanges(const TStringGrid& grid, const TCatalog& catalog) {
    std::vector<TCellChange> changes;
    WithBoundGrid(grid.Def(), catalog, [&](const auto& bound) {
        for (const TCellPos& cell : grid.MarkedCells()) {
            if (grid.IsEditable(cell.Row, cell.Column) && cell.Row < static_cast<int>(bound.Entries.size())) {
                changes.push_back({bound.Entries[static_cast<std::size_t>(cell.Row)]->Section,
                                   grid.Def().Columns[static_cast<std::size_t>(cell.Column)].GameKey,
                                   grid.FilledText(cell.Row, cell.Column), grid.Text(cell.Row, cell.Column)});
            }
        }
    });
    return changes;
}

std::vector<TValueEdit> TableEdits(const TStringGrid& grid, const TCatalog& catalog) {
    return WithBoundGrid(grid.Def(), catalog, [&](const auto& bound) {
        std::vector<TValueEdit> values;
        for (auto& edit : CollectEdits(grid, bound, catalog)) {
            values.push_back({edit.Param, std::move(edit.Bytes), edit.Use});
        }
        return values;
    });
}

int StoreTable(TStringGrid& grid, TDocument& document, std::string label) {
    // Every check runs before the first value is stored, so a refusal leaves the catalog untouched.
    std::vector<TValueEdit> values = TableEdits(grid, document.Catalog());
    const int stored = static_cast<int>(values.size());
    document.Edit(std::move(label), {grid.Def().CatalogName, -1, {}, true}, std::move(values));
    FillTable(grid, document.Catalog());
    return stored;
}

} // namespace kw

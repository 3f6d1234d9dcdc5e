#include "interchange/GridTable.h"

#include "catalog/Document.h"
#include "catalog/KeyLists.h"
#include "catalog/MissingSection.h"
#include "gamecfg/AsciiText.h"
#include "gamecfg/CodePage.h"
#include "gamecfg/Error.h"
#include "interchange/GridBinding.h"
#include "interchange/WorkingCopy.h"

#include <algorithm>
#include <stdexcept>
#include <unordered_map>

namespace kw {
namespace {

using namespace binding;

template <class T> void FillRows(TStringGrid& grid, const TBoundGrid<T>& bound) {
    grid.Fill(EntryCountOf(bound), [&bound](int row, int column) { return CellTextOf(bound, row, column); });
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

// What a store reads of a grid: its marked editable cells row by row, left to right, with their texts
// (UTF-8); how many entries the grid shows; and the headers its refusals name the columns by.
struct TMarkedText {
    int Row;
    int Column;
    const std::string* Text;
};
struct TStoreInput {
    std::vector<TMarkedText> Cells;
    int EntryCount = 0;
    std::vector<std::string> Headers;
};

TStoreInput StoreInputOf(const TStringGrid& grid) {
    TStoreInput input{{}, grid.EntryCount(), grid.Headers()};
    for (const TCellPos& cell : grid.MarkedCells()) {
        if (grid.IsEditable(cell.Row, cell.Column)) {
            input.Cells.push_back({cell.Row, cell.Column, &grid.Text(cell.Row, cell.Column)});
        }
    }
    return input;
}

template <class T>
std::vector<TPendingEdit<T>> CollectEdits(const TStoreInput& input, const TBoundGrid<T>& bound,
                                          const TCatalog& catalog) {
    struct TClaim {
        int Row;
        int Column;
        std::string Bytes;
    };
    std::unordered_map<std::string, TClaim> claims; // file, section and key, letter case folded
    std::vector<TPendingEdit<T>> edits;
    edits.reserve(input.Cells.size());
    if (input.EntryCount != EntryCountOf(bound)) {
        throw Error(
            "Cannot store the grid: it no longer shows the entries of the catalog. Refresh it first.");
    }
    for (const TMarkedText& cell : input.Cells) {
        T& entry = *bound.Entries[static_cast<std::size_t>(cell.Row)];
        const TKeyRule<T>& rule = *bound.Columns[static_cast<std::size_t>(cell.Column)];
        const std::string& header = input.Headers[static_cast<std::size_t>(cell.Column)];
        RefuseValueWithoutPlace(catalog, entry, rule.Param.In(entry), CellPlace(NameOf(entry), header));
        std::string refusal;
        std::optional<std::string> converted = ToGameBytes(*cell.Text, refusal);
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
                throw Error(
                    "Cannot store " +
                    CellPlace(NameOf(other), input.Headers[static_cast<std::size_t>(claim->second.Column)]) +
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

template <class T>
std::vector<TValueEdit> ValueEdits(const TStoreInput& input, const TBoundGrid<T>& bound,
                                   const TCatalog& catalog) {
    std::vector<TValueEdit> values;
    for (auto& edit : CollectEdits(input, bound, catalog)) {
        values.push_back({edit.Param, std::move(edit.Bytes), edit.Use});
    }
    return values;
}

} // namespace

void FillTable(TStringGrid& grid, const TCatalog& catalog) {
    WithBoundGrid(grid.Def(), catalog, [&grid](const auto& bound) { FillRows(grid, bound); });
}

std::string CatalogCellText(const TGridDef& def, const TCatalog& catalog, int row, int column) {
    return WithBoundGrid(def, catalog, [&](const auto& bound) {
        if (row < 0 || row >= EntryCountOf(bound) || column < 0 || column >= def.ColumnCount()) {
            return std::string();
        }
        return CellTextOf(bound, row, column);
    });
}

const TInheritedValue* CatalogCellInheritedValue(const TGridDef& def, const TCatalog& catalog, int row,
                                                 int column) {
    return WithBoundGrid(def, catalog, [&](const auto& bound) -> const TInheritedValue* {
        if (row < 0 || row >= EntryCountOf(bound) || column < 1 || column >= def.ColumnCount()) {
            return nullptr;
        }
        const auto* rule = bound.Columns[static_cast<std::size_t>(column)];
        return rule ? ShownInheritedValue(catalog,
                                          rule->Param.In(*bound.Entries[static_cast<std::size_t>(row)]))
                    : nullptr;
    });
}

int CatalogEntryCount(const TGridDef& def, const TCatalog& catalog) {
    return WithBoundGrid(def, catalog, [](const auto& bound) { return EntryCountOf(bound); });
}

void CheckTable(const TStringGrid& grid, const TCatalog& catalog) {
    WithBoundGrid(grid.Def(), catalog,
                  [&](const auto& bound) { CollectEdits(StoreInputOf(grid), bound, catalog); });
}

std::vector<TCellChange> MarkedChanges(const TStringGrid& grid, const TCatalog& catalog) {
    std::vector<TCellChange> changes;
    WithBoundGrid(grid.Def(), catalog, [&](const auto& bound) {
        for (const TCellPos& cell : grid.MarkedCells()) {
            if (grid.IsEditable(cell.Row, cell.Column) && cell.Row < EntryCountOf(bound)) {
                changes.push_back({bound.Entries[static_cast<std::size_t>(cell.Row)]->Section,
                                   grid.Def().Columns[static_cast<std::size_t>(cell.Column)].GameKey,
                                   grid.FilledText(cell.Row, cell.Column), grid.Text(cell.Row, cell.Column)});
            }
        }
    });
    return changes;
}

std::vector<TValueEdit> TableEdits(const TStringGrid& grid, const TCatalog& catalog) {
    return WithBoundGrid(grid.Def(), catalog,
                         [&](const auto& bound) { return ValueEdits(StoreInputOf(grid), bound, catalog); });
}

int StoreMarkedCells(const TGridDef& def, TDocument& document, const std::vector<std::string>& headers,
                     TStepLabel label) {
    const TCatalog& catalog = document.Catalog();
    TStoreInput input{{}, CatalogEntryCount(def, catalog), BuiltInHeaders(def)};
    std::copy_n(headers.begin(), std::min(headers.size(), input.Headers.size()), input.Headers.begin());
    std::vector<TCellEdit> clears;
    for (const auto& [cell, text] : GridMarks(document, def)) {
        clears.push_back({cell, std::nullopt});
        if (cell.Row < input.EntryCount && cell.Column >= 1 && cell.Column < def.ColumnCount()) {
            input.Cells.push_back({cell.Row, cell.Column, &text});
        }
    }
    // Every check runs before the first value is stored, so a refusal leaves the catalog and the marks as
    // they were.
    std::vector<TValueEdit> values =
        WithBoundGrid(def, catalog, [&](const auto& bound) { return ValueEdits(input, bound, catalog); });
    const int stored = static_cast<int>(values.size());
    document.Edit(std::move(label), {def.CatalogName, -1, {}, true}, std::move(values), std::move(clears));
    return stored;
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

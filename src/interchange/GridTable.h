#pragma once

#include "catalog/Catalog.h"
#include "catalog/Document.h"
#include "interchange/StringGrid.h"

#include <string>
#include <vector>

namespace kw {

// The longest value, in windows-1251 bytes, that a store takes: real values are lists of a few dozen numbers
// at most, and a line of megabytes would be a spreadsheet's mistake.
inline constexpr std::size_t kMaxValueBytes = 4096;

// Copies the grid's catalog into it: one row per entry in collection order, column 0 the entry's name as
// the game's string table gives it (weather: the time slot), the other columns the values of their
// parameters converted from windows-1251. Marks are cleared; the headers stay.
void FillTable(TStringGrid& grid, const TCatalog& catalog);

// Stores the marked cells into their entries' parameters, as one step of the document labelled label, and
// fills the grid again, so that it shows what
// the catalog now holds (an edit reaches every entry that shares the edited section). Returns how many
// values were stored: rows sharing a section that mark one key with one text count once.
//
// Refuses the whole grid, storing nothing, and throws kw::Error naming the entry and the column header when
// a marked cell holds CR, LF, NUL or ";" (after which the game reads a comment), a character windows-1251
// cannot hold or more than kMaxValueBytes, when its value lives in a linked section that the file lacks (a
// save never creates a section, so it could not be written; the message names the section and the file), or
// when two marked cells would write the same key of the same section of the same file with different texts
// (naming both entries).
int StoreTable(TStringGrid& grid, TDocument& document, std::string label = {});

// StoreTable for the document's own working copy of def's grid, its marked cells: the same checks and
// refusals, with headers (UTF-8, one per column) naming the columns. One step labelled label stores the
// values and drops every marked cell of the grid, so that Undo brings back both.
int StoreMarkedCells(const TGridDef& def, TDocument& document, const std::vector<std::string>& headers,
                     TStepLabel label);

// The text def's grid shows for the catalog's value in data row row, column column: what FillTable puts
// there, without filling a grid. Empty outside the entries.
std::string CatalogCellText(const TGridDef& def, const TCatalog& catalog, int row, int column);
// What a parent section supplies for the value in data row row, column column, while the entry's section
// lacks the key and no edit set it (ShownInheritedValue); none for the name column and outside the entries.
const TInheritedValue* CatalogCellInheritedValue(const TGridDef& def, const TCatalog& catalog, int row,
                                                 int column);
// How many entries def's grid shows.
int CatalogEntryCount(const TGridDef& def, const TCatalog& catalog);

// What StoreTable would set, after the same checks (and throwing as it would), without setting it.
std::vector<TValueEdit> TableEdits(const TStringGrid& grid, const TCatalog& catalog);

// Every check of StoreTable, storing nothing: throws as StoreTable would.
void CheckTable(const TStringGrid& grid, const TCatalog& catalog);

// A marked cell that a store would write, for a listing: the entry's section (windows-1251), the column's
// game key, and the cell's filled and current texts (UTF-8).
struct TCellChange {
    std::string Section;
    const char* Key;
    std::string Old;
    std::string New;
};
// The marked editable cells, row by row, left to right.
std::vector<TCellChange> MarkedChanges(const TStringGrid& grid, const TCatalog& catalog);

} // namespace kw

#pragma once

#include "catalog/Catalog.h"
#include "interchange/StringGrid.h"

namespace kw {

// Copies the grid's catalog into it: one row per entry in collection order, column 0 the entry's name as
// the game's string table gives it (weather: the time slot), the other columns the values of their
// parameters converted from windows-1251. Marks are cleared; the headers stay.
void FillTable(TStringGrid& grid, const TCatalog& catalog);

// Stores the marked cells into their entries' parameters and fills the grid again, so that it shows what
// the catalog now holds (an edit reaches every entry that shares the edited section). Returns how many
// values were stored: rows sharing a section that mark one key with one text count once.
//
// Refuses the whole grid, storing nothing, and throws kw::Error naming the entry and the column header when
// a marked cell holds CR, LF or NUL or a character windows-1251 cannot hold, when its value lives in a
// linked section that the file lacks (a save never creates a section, so it could not be written; the
// message names the section and the file), or when two marked cells would write the same key of the same
// section of the same file with different texts (naming both entries).
int StoreTable(TStringGrid& grid, TCatalog& catalog);

} // namespace kw

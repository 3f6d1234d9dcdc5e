#pragma once

#include "catalog/Document.h"
#include "interchange/StringGrid.h"

#include <map>
#include <optional>
#include <ranges>
#include <string>
#include <vector>

namespace kw {

// A table view's working copy lives in the document as marked cells (TDocument::Cells); a grid's cells are
// those whose TCellRef::Grid is the grid's page, static_cast<int>(TGridDef::Id).
inline int GridIndex(const TGridDef& def) {
    return static_cast<int>(def.Id);
}

// The document's marked cells of def's grid, row by row, left to right.
using TMarkedCells = std::ranges::subrange<std::map<TCellRef, std::string>::const_iterator>;
TMarkedCells GridMarks(const TDocument& document, const TGridDef& def);

// def's grid as the table view shows it, for an export or an import: the catalog's values as filled texts,
// the document's marked cells over them (and so marked in the copy too), the headers given.
TStringGrid WorkingCopy(const TGridDef& def, const TDocument& document, std::vector<std::string> headers);

// The cell edits that make the document's working copy show what grid holds: one for each editable cell
// whose text differs from what the table view shows. A text equal to the catalog's value unmarks the cell.
std::vector<TCellEdit> WorkingCopyEdits(const TStringGrid& grid, const TDocument& document);

// A marked cell as a listing of changes names it. Texts are windows-1251 like the game's; a text the code
// page cannot hold stays UTF-8, since it is still a change to keep.
struct TCellDescription {
    const char* Catalog; // as TChangeEntry names it
    std::string Entry;   // as TChangeEntry names it: the section, or a weather slot's time
    std::string File;    // relative to the game folder, as the game spells it
    std::string Section; // where the value lives: the entry's section or the one it links
    std::string Key;     // the column's game key
    std::string Text;
    bool WasPresent = true;  // false: the section lacks the key
    std::string StoredValue; // what the file holds, as a stored change shows it
};
// Nothing for a cell that shows no entry's value.
std::optional<TCellDescription> DescribeCell(const TDocument& document, const TCellRef& cell);

} // namespace kw

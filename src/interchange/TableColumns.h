#pragma once

#include <array>
#include <span>

namespace kw {

// One column of a table-view grid: the language key of its header, the built-in header text, and the game
// key of the parameter it shows and stores. Every parameter of an entry is named by its game key in the
// entry's key list (catalog/KeyLists.h), which also tells the section the key lives in. Column 0 shows the
// entry's name and has no key.
struct TColumnDef {
    const char* HeaderKey;
    const char* DefaultHeader;
    const char* GameKey;
};

// The six grids in page order.
enum class TGridId { Weapons, Ammo, Outfits, Arts, Items, Weather };
inline constexpr int kGridCount = 6;

// One table-view grid. Column 0 is the entry's name; the settings file keeps each column's width under
// Name + column index.
struct TGridDef {
    TGridId Id;
    const char* Name;
    int DefaultWidth;           // of columns 1 and up, in pixels
    const char* CatalogName;    // as the headless tool names the catalog
    const char* ExportTitleKey; // language key of the workbook's sheet name
    const char* ExportTitle;    // built-in sheet name
    std::span<const TColumnDef> Columns;

    int ColumnCount() const { return static_cast<int>(Columns.size()); }
};

inline constexpr int kNameColumnWidth = 130;
inline constexpr int kTableRowHeight = 16; // pixels, every row, the header included

// The six grids in page order: weapons, ammunition, outfits, artefacts, items, weather.
extern const std::array<TGridDef, kGridCount> kGridDefs;

inline const TGridDef& GridDef(TGridId id) {
    return kGridDefs[static_cast<int>(id)];
}

// The grid whose CatalogName is name, or nullptr.
const TGridDef* FindGridByCatalog(const char* name);

// Width in pixels of a column that no one has sized: what the headless tool's export writes, and what the
// settings file keeps for a column the window fits to its texts.
inline int DefaultColumnWidth(const TGridDef& grid, int column) {
    return column == 0 ? kNameColumnWidth : grid.DefaultWidth;
}

} // namespace kw

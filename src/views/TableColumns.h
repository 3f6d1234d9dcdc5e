#pragma once

#include <array>
#include <span>

namespace kw {

// One column of a table-view grid: the language key of its header and the
// built-in header text.
struct TColumnDef {
    const char* HeaderKey;
    const char* DefaultHeader;
};

// One table-view grid. Column 0 is the entry's name; the settings file keeps
// each column's width under Name + column index.
struct TGridDef {
    const char* Name;
    int DefaultWidth; // of columns 1 and up
    std::span<const TColumnDef> Columns;

    int ColumnCount() const { return static_cast<int>(Columns.size()); }
};

inline constexpr int kNameColumnWidth = 130;

// The six grids in page order: weapons, ammunition, outfits, artefacts, items, weather.
extern const std::array<TGridDef, 6> kGridDefs;

} // namespace kw

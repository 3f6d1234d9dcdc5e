#pragma once

#include "interchange/StringGrid.h"

#include <string>
#include <vector>

namespace kw {

// How the grid looks on screen, carried into the workbook.
struct TGridLayout {
    std::vector<int> ColumnWidths; // pixels, one per column
    std::vector<int> RowHeights;   // pixels, one per sheet row: the header, then each data row
    std::string FontName;
};

// The layout of a grid the user has not resized: default widths, every row kTableRowHeight high.
TGridLayout DefaultLayout(const TStringGrid& grid, const std::string& fontName = "Tahoma");

// The sheet name for a title: at most 31 characters, each of []:*?/\ replaced by "_".
std::string SheetName(const std::string& title);

// Writes the grid, header row and name column included, as the only sheet of an Office Open XML workbook
// named after title, formatted like the grid. The file is written beside path and then put in its place,
// so a failure leaves an old file whole; it throws kw::Error naming the file and the reason.
void WriteWorkbook(const std::string& path, const std::string& title, const TStringGrid& grid,
                   const TGridLayout& layout);

// The same cells as UTF-8 comma-separated text, every field quoted where needed with quotes doubled.
void WriteCsv(const std::string& path, const TStringGrid& grid);

enum class TExportFormat { Xlsx, Csv };
// Csv for a name ending in ".csv" regardless of case, else Xlsx.
TExportFormat ExportFormatOf(const std::string& path);

} // namespace kw

#pragma once

#include "interchange/Sheet.h"
#include "interchange/StringGrid.h"

#include <string>
#include <vector>

namespace kw {

// Whether the sheet's used area ends exactly where a workbook exported from this grid ends.
bool SheetSizeMatches(const TStringGrid& grid, const TSheet& sheet);
// The same for the columns alone: the test for a sheet whose rows are matched by name.
bool SheetColumnsMatch(const TStringGrid& grid, const TSheet& sheet);

// Why the sheet cannot be imported whatever its size, or empty: a first row of one column holds no value,
// and forcing it in by position would empty every cell (a CSV file split on a separator it does not use
// reads that way).
std::string SheetShapeProblem(const TStringGrid& grid, const TSheet& sheet);

// The size warning: part1 ends in a blank and is followed by another one, then the quoted file name and a
// blank, then part2.
std::string SizeWarningText(const std::string& part1, const std::string& fileName, const std::string& part2);
inline constexpr const char* kSizeWarning1 = "Размер таблицы в файле ";
inline constexpr const char* kSizeWarning2 =
    "не совпадает с размером таблицы программы.\r\nЭто приведёт к некорректному отображению данных. "
    "Продолжить импорт данных из Excel?";

// How the sheet's data rows meet the grid's entries, judged by the name column with blanks trimmed.
struct TRowPlan {
    enum class TKind {
        SameOrder, // every name equals the grid's, in order: import by position
        Reordered, // every name is found once in the grid and once in the sheet: import by name
        Unmatched, // neither
    };
    TKind Kind = TKind::SameOrder;
    // Per grid data row the sheet row (zero-based, the header being row 0) to read, -1 for none; for
    // Reordered the rows matched by name, else the rows by position.
    std::vector<int> SheetRows;
    // Unmatched: the first sheet row whose name is not in the grid, or stands twice in either.
    std::string Problem;
};
TRowPlan PlanRows(const TStringGrid& grid, const TSheet& sheet);

// Grid data row r reads sheet row r + 1, as the export laid it out.
std::vector<int> RowsByPosition(const TStringGrid& grid);

// Copies the sheet's cells over the grid's data cells of columns 1 and up: data row r from sheet row
// sheetRows[r] (a row of -1 is left as it is), sheet column c into column c. Cells beyond the sheet's used
// area become empty; sheet cells beyond the grid are ignored. The grid's size, its name column and its
// headers never change. Returns how many cells this import changed.
//
// Each cell becomes the text ImportedCellText gives. Every cell is judged before the first one changes, so a
// refusal (kw::Error naming the sheet cell) leaves the grid unchanged.
int ImportSheet(TStringGrid& grid, const TSheet& sheet, TSheetOrigin origin,
                const std::vector<int>& sheetRows);
// By position.
int ImportSheet(TStringGrid& grid, const TSheet& sheet, TSheetOrigin origin = TSheetOrigin::Typed);

// Reads the workbook or CSV file at path for an import into grid and tells what its cells can tell. The read
// bounds lie just above the grid's size, so that a sheet a little larger than the grid reaches the size test
// instead of failing as too large. Throws the reader's error, naming the file.
TSheetOrigin ReadSheetForGrid(const std::string& path, const TStringGrid& grid, TSheet& sheet);

} // namespace kw

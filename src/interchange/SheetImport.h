#pragma once

#include "interchange/Sheet.h"
#include "interchange/StringGrid.h"

#include <string>

namespace kw {

// Whether the sheet's used area ends exactly where a workbook exported from this grid ends.
bool SheetSizeMatches(const TStringGrid& grid, const TSheet& sheet);

// The size warning: part1 ends in a blank and is followed by another one, then the quoted file name and a
// blank, then part2.
std::string SizeWarningText(const std::string& part1, const std::string& fileName, const std::string& part2);
inline constexpr const char* kSizeWarning1 = "Размер таблицы в файле ";
inline constexpr const char* kSizeWarning2 =
    "не совпадает с размером таблицы программы.\r\nЭто приведёт к некорректному отображению данных. "
    "Продолжить импорт данных из Excel?";

// What a sheet's cells can tell, by the reader that read it.
enum class TSheetOrigin {
    Typed,      // .xlsx: empty, string, number and boolean cells as the workbook holds them
    ValuesOnly, // .xls: an Empty cell may also be one the reader could not read (a formula result)
    Text,       // .csv: every cell a String; a plain decimal stands for its number
};

// Copies the sheet's cells over the grid's data cells of columns 1 and up, by position: sheet row r + 1
// into data row r, sheet column c into column c. Grid cells beyond the sheet's used area become empty;
// sheet cells beyond the grid are ignored. The grid's size, its name column and its headers never change.
// A number becomes its text (NumberText), except that a cell whose text already stands for the same number
// keeps its text, so that an export followed by an import marks nothing; booleans become "true" and
// "false". Returns how many cells are marked afterwards.
//
// Throws kw::Error naming the sheet cell ("C4"), the grid unchanged, for an .xls cell that read as empty
// where the grid holds a text, and for a CSV text like "0,3" where the grid holds a plain decimal (a file
// saved under a comma-decimal locale).
int ImportSheet(TStringGrid& grid, const TSheet& sheet, TSheetOrigin origin = TSheetOrigin::Typed);

// Reads the workbook or CSV file at path for an import into grid and tells what its cells can tell. The read
// bounds lie just above the grid's size, so that a sheet a little larger than the grid reaches the size test
// instead of failing as too large. Throws the reader's error, naming the file.
TSheetOrigin ReadSheetForGrid(const std::string& path, const TStringGrid& grid, TSheet& sheet);

} // namespace kw

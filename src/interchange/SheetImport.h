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

// Copies the sheet's cells over the grid's data cells of columns 1 and up, by position: sheet row r + 1
// into data row r, sheet column c into column c. Grid cells beyond the sheet's used area become empty;
// sheet cells beyond the grid are ignored. The grid's size, its name column and its headers never change.
// A number becomes its text (NumberText), except that a cell whose text already stands for the same number
// keeps its text; booleans become "true" and "false". Returns how many cells are marked afterwards.
int ImportSheet(TStringGrid& grid, const TSheet& sheet);

} // namespace kw

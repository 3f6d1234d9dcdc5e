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

// What a sheet's cells can tell, by the reader that read it.
enum class TSheetOrigin {
    Typed,      // .xlsx: empty, string, number, boolean and date cells as the workbook holds them
    ValuesOnly, // .xls: an Empty cell may also be one the reader could not read (a formula result)
    Text,       // .csv separated by ",": every cell a String; a plain decimal stands for its number
    LocaleText, // .csv separated by ";" or TAB, as a comma-decimal locale writes it: "0,5" is a number too
};

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
// A number becomes its plain text (NumberText), except that a cell whose text already stands for the same
// number keeps its text, so that an export followed by an import marks nothing; booleans become "true" and
// "false" where the grid holds text. A CSV number keeps the grid's notation the same way.
//
// Every cell is judged before the first one changes. Throws kw::Error naming the sheet cell ("C4"), the grid
// unchanged, for a cell whose text the game would read otherwise than the sheet shows it:
// - a ";" anywhere (the game reads the rest of the line as a comment), a spreadsheet error value, a date or
//   a time, a value longer than kMaxValueBytes (GridTable.h) in the game's code page;
// - where the grid holds a number (IsGameNumber): a boolean, or a text that is not a number of the game's
//   form: percentages, digit groups, exponents; a decimal comma reads as a point in LocaleText only;
// - a number whose plain form is too long (1e21);
// - an .xls cell that read as empty where the grid holds a text.
int ImportSheet(TStringGrid& grid, const TSheet& sheet, TSheetOrigin origin,
                const std::vector<int>& sheetRows);
// By position.
int ImportSheet(TStringGrid& grid, const TSheet& sheet, TSheetOrigin origin = TSheetOrigin::Typed);

// Reads the workbook or CSV file at path for an import into grid and tells what its cells can tell. The read
// bounds lie just above the grid's size, so that a sheet a little larger than the grid reaches the size test
// instead of failing as too large. Throws the reader's error, naming the file.
TSheetOrigin ReadSheetForGrid(const std::string& path, const TStringGrid& grid, TSheet& sheet);

} // namespace kw

#pragma once

#include <string>
#include <vector>

namespace kw {

struct TSheetCell {
    // Date: a number or text the workbook shows as a date or a time; Text holds what the reader could tell of
    // it. The game files hold no dates, so an import refuses such a cell.
    enum class TKind { Empty, String, Number, Bool, Date };
    TKind Kind = TKind::Empty;
    std::string Text;
    double Number = 0;
    bool Bool = false;
};
struct TSheet {
    std::string Name;
    int Rows = 0;
    int Columns = 0;
    std::vector<std::vector<TSheetCell>> Cells;
}; // row-major, UTF-8, Cells[r][c]

// What a sheet's cells can tell, by the reader that read it.
enum class TSheetOrigin {
    Typed,      // .xlsx: empty, string, number, boolean and date cells as the workbook holds them
    ValuesOnly, // .xls: an Empty cell may also be one the reader could not read (a formula result)
    Text,       // .csv separated by ",": every cell a String; a plain decimal stands for its number
    LocaleText, // .csv separated by ";" or TAB, as a comma-decimal locale writes it: "0,5" is a number too
};

} // namespace kw

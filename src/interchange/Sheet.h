#pragma once

#include <string>
#include <vector>

namespace kw {

// One cell of a worksheet as a workbook reader found it. Text is UTF-8.
struct TSheetCell {
    enum class TKind { Empty, String, Number, Bool } Kind = TKind::Empty;
    std::string Text;
    double Number = 0;
    bool Bool = false;
};

// The first worksheet of a workbook. Rows and Columns are the used area counted from the first cell
// (the last used row and column, 1-based); Cells is row-major and may hold shorter rows, whose missing
// cells are empty.
struct TSheet {
    std::string Name;
    int Rows = 0;
    int Columns = 0;
    std::vector<std::vector<TSheetCell>> Cells;
};

} // namespace kw

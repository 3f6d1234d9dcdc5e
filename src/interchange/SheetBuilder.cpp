#include "interchange/SheetReaders.h"

#include <algorithm>
#include <utility>

namespace kw::sheetread {

std::string CellName(int row, int column) {
    std::string letters;
    for (int n = column + 1; n > 0; n = (n - 1) / 26) {
        letters.insert(letters.begin(), static_cast<char>('A' + (n - 1) % 26));
    }
    return letters + std::to_string(row + 1);
}

void TSheetBuilder::Set(int row, int column, TSheetCell cell) {
    if (row >= FLimits.MaxRows || column >= FLimits.MaxColumns) {
        throw TBadWorkbook("the sheet reaches cell " + CellName(row, column) + ", beyond the " +
                           std::to_string(FLimits.MaxRows) + " rows and " +
                           std::to_string(FLimits.MaxColumns) + " columns that can be read");
    }
    FRows = std::max(FRows, row + 1);
    FColumns = std::max(FColumns, column + 1);
    FCells.push_back({row, column, std::move(cell)});
}

void TSheetBuilder::Finish(TSheet& sheet, std::string name) {
    sheet.Name = std::move(name);
    sheet.Rows = FRows;
    sheet.Columns = FColumns;
    sheet.Cells.assign(static_cast<size_t>(FRows), std::vector<TSheetCell>(static_cast<size_t>(FColumns)));
    for (TPlaced& placed : FCells) {
        sheet.Cells[static_cast<size_t>(placed.Row)][static_cast<size_t>(placed.Column)] =
            std::move(placed.Cell);
    }
    FCells.clear();
}

} // namespace kw::sheetread

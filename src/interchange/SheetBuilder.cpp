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
    if (row >= limits_.MaxRows || column >= limits_.MaxColumns) {
        throw TBadWorkbook("the sheet reaches cell " + CellName(row, column) + ", beyond the " +
                           std::to_string(limits_.MaxRows) + " rows and " +
                           std::to_string(limits_.MaxColumns) + " columns that can be read");
    }
    rows_ = std::max(rows_, row + 1);
    columns_ = std::max(columns_, column + 1);
    cells_.push_back({row, column, std::move(cell)});
}

void TSheetBuilder::Finish(TSheet& sheet, std::string name) {
    sheet.Name = std::move(name);
    sheet.Rows = rows_;
    sheet.Columns = columns_;
    sheet.Cells.assign(static_cast<size_t>(rows_), std::vector<TSheetCell>(static_cast<size_t>(columns_)));
    for (TPlaced& placed : cells_) {
        sheet.Cells[static_cast<size_t>(placed.Row)][static_cast<size_t>(placed.Column)] =
            std::move(placed.Cell);
    }
    cells_.clear();
}

} // namespace kw::sheetread

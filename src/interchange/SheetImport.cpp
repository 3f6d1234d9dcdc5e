#include "interchange/SheetImport.h"

#include "gamecfg/Error.h"
#include "interchange/NumberText.h"
#include "interchange/WorkbookReader.h"

#include <algorithm>

namespace kw {
namespace {

const TSheetCell kEmptyCell;

const TSheetCell& CellAt(const TSheet& sheet, int row, int column) {
    if (row >= sheet.Rows || column >= sheet.Columns || row >= static_cast<int>(sheet.Cells.size())) {
        return kEmptyCell;
    }
    const auto& cells = sheet.Cells[static_cast<std::size_t>(row)];
    return column < static_cast<int>(cells.size()) ? cells[static_cast<std::size_t>(column)] : kEmptyCell;
}

// A number read back keeps the grid's notation when it is the number the cell already shows: "0.30" was
// written as 0.3 and must not come back as a change.
std::string NumberCellText(double number, const std::string& current) {
    std::string text = NumberText(number);
    const std::optional<double> shown = ParseNumber(current);
    return shown && NumberText(*shown) == text ? current : text;
}

bool IsCommaDecimal(const std::string& text) {
    std::string pointed = text;
    const auto comma = pointed.find(',');
    if (comma == std::string::npos || pointed.find_first_of(",.", comma + 1) != std::string::npos ||
        pointed.find('.') != std::string::npos) {
        return false;
    }
    pointed[comma] = '.';
    return ParsePlainDecimal(pointed).has_value();
}

std::string CellText(const TSheetCell& cell, const std::string& current, TSheetOrigin origin, int row,
                     int column) {
    switch (cell.Kind) {
    case TSheetCell::TKind::String:
        if (origin == TSheetOrigin::Text && ParsePlainDecimal(current)) {
            if (IsCommaDecimal(cell.Text)) {
                throw Error("Cell " + SheetCellName(row, column) + " holds \"" + cell.Text +
                            "\" where the grid holds a number: the file was saved with a decimal comma. "
                            "Save it with a decimal point.");
            }
            if (const std::optional<double> number = ParsePlainDecimal(cell.Text)) {
                return NumberCellText(*number, current) == current ? current : cell.Text;
            }
        }
        return cell.Text;
    case TSheetCell::TKind::Bool:
        return cell.Bool ? "true" : "false";
    case TSheetCell::TKind::Date:
        throw Error("Cell " + SheetCellName(row, column) + " holds a date or a time (" + cell.Text +
                    "), which the game files cannot hold. Format the cell as a number or as text.");
    case TSheetCell::TKind::Number:
        return NumberCellText(cell.Number, current);
    case TSheetCell::TKind::Empty:
        if (origin == TSheetOrigin::ValuesOnly && !current.empty()) {
            throw Error("Cell " + SheetCellName(row, column) +
                        " could not be read from this .xls workbook (it may hold a formula). Save the "
                        "workbook as .xlsx and import that file.");
        }
        break;
    }
    return {};
}

} // namespace

bool SheetSizeMatches(const TStringGrid& grid, const TSheet& sheet) {
    return sheet.Rows == grid.SheetRows() && sheet.Columns == grid.ColumnCount();
}

std::string SizeWarningText(const std::string& part1, const std::string& fileName, const std::string& part2) {
    return part1 + " \"" + fileName + "\" " + part2;
}

int ImportSheet(TStringGrid& grid, const TSheet& sheet, TSheetOrigin origin) {
    // Every cell is read before the first one changes, so a refusal leaves the grid as it was.
    std::vector<std::string> texts;
    for (int row = 0; row < grid.RowCount(); ++row) {
        for (int column = 1; column < grid.ColumnCount(); ++column) {
            const int sheetRow = row + kHeaderRows;
            texts.push_back(
                CellText(CellAt(sheet, sheetRow, column), grid.Text(row, column), origin, sheetRow, column));
        }
    }
    auto text = texts.begin();
    for (int row = 0; row < grid.RowCount(); ++row) {
        for (int column = 1; column < grid.ColumnCount(); ++column) {
            grid.SetText(row, column, std::move(*text++));
        }
    }
    return static_cast<int>(grid.MarkedCells().size());
}

TSheetOrigin ReadSheetForGrid(const std::string& path, const TStringGrid& grid, TSheet& sheet) {
    TReadLimits limits;
    limits.MaxRows = std::max(limits.MaxRows, grid.SheetRows() + 1);
    limits.MaxColumns = std::max(limits.MaxColumns, grid.ColumnCount() + 1);
    TWorkbookFormat format = TWorkbookFormat::Xlsx;
    ReadWorkbook(path, sheet, format, limits);
    switch (format) {
    case TWorkbookFormat::Xls:
        return TSheetOrigin::ValuesOnly;
    case TWorkbookFormat::Csv:
        return TSheetOrigin::Text;
    case TWorkbookFormat::Xlsx:
        break;
    }
    return TSheetOrigin::Typed;
}

} // namespace kw

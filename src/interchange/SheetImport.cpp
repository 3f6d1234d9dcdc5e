#include "interchange/SheetImport.h"
#include "gamecfg/AsciiText.h"

#include "interchange/CellText.h"
#include "interchange/NumberText.h"
#include "interchange/WorkbookReader.h"

#include <algorithm>
#include <unordered_map>

namespace kw {
namespace {

std::string Trim(std::string_view text) {
    return std::string(TrimBlanks(text));
}

const TSheetCell kEmptyCell;

const TSheetCell& CellAt(const TSheet& sheet, int row, int column) {
    if (row < 0 || row >= sheet.Rows || column >= sheet.Columns ||
        row >= static_cast<int>(sheet.Cells.size())) {
        return kEmptyCell;
    }
    const auto& cells = sheet.Cells[static_cast<std::size_t>(row)];
    return column < static_cast<int>(cells.size()) ? cells[static_cast<std::size_t>(column)] : kEmptyCell;
}

// What a cell shows as text, for comparing names.
std::string ShownText(const TSheetCell& cell) {
    switch (cell.Kind) {
    case TSheetCell::TKind::String:
    case TSheetCell::TKind::Date:
        return cell.Text;
    case TSheetCell::TKind::Number:
        return NumberText(cell.Number).value_or("");
    case TSheetCell::TKind::Bool:
        return cell.Bool ? "true" : "false";
    case TSheetCell::TKind::Empty:
        break;
    }
    return {};
}

bool IsBlankRow(const TSheet& sheet, int row) {
    for (int column = 0; column < sheet.Columns; ++column) {
        if (!Trim(ShownText(CellAt(sheet, row, column))).empty()) {
            return false;
        }
    }
    return true;
}

std::string RowName(int sheetRow, const std::string& name) {
    return "Row " + std::to_string(sheetRow + 1) + " of the sheet (\"" + name + "\")";
}

TRowPlan Unmatched(std::string problem) {
    TRowPlan plan;
    plan.Kind = TRowPlan::TKind::Unmatched;
    plan.Problem = std::move(problem);
    return plan;
}

} // namespace

bool SheetSizeMatches(const TStringGrid& grid, const TSheet& sheet) {
    return sheet.Rows == grid.SheetRows() && SheetColumnsMatch(grid, sheet);
}

bool SheetColumnsMatch(const TStringGrid& grid, const TSheet& sheet) {
    return sheet.Columns == grid.ColumnCount();
}

std::string SheetShapeProblem(const TStringGrid& grid, const TSheet& sheet) {
    if (sheet.Columns > 1 || grid.ColumnCount() <= 1) {
        return {};
    }
    return "its first row holds one column, so it holds no values. A CSV file must separate its fields "
           "with \",\", \";\" or TAB.";
}

std::string SizeWarningText(const std::string& part1, const std::string& fileName, const std::string& part2) {
    return part1 + " \"" + fileName + "\" " + part2;
}

std::vector<int> RowsByPosition(const TStringGrid& grid) {
    std::vector<int> rows(static_cast<std::size_t>(grid.RowCount()));
    for (int row = 0; row < grid.RowCount(); ++row) {
        rows[static_cast<std::size_t>(row)] = row + kHeaderRows;
    }
    return rows;
}

TRowPlan PlanRows(const TStringGrid& grid, const TSheet& sheet) {
    // Blank rows at the end of the used area (formatted cells) carry nothing; a blank row in between names
    // no entry and is refused below.
    int lastRow = sheet.Rows - 1;
    while (lastRow >= kHeaderRows && IsBlankRow(sheet, lastRow)) {
        --lastRow;
    }
    const int entries = grid.EntryCount();
    const auto nameAt = [&](int sheetRow) { return Trim(ShownText(CellAt(sheet, sheetRow, 0))); };
    bool sameOrder = lastRow == entries;
    for (int row = 0; sameOrder && row < entries; ++row) {
        sameOrder = nameAt(row + kHeaderRows) == Trim(grid.Text(row, 0));
    }
    TRowPlan plan;
    plan.SheetRows = RowsByPosition(grid);
    if (sameOrder) {
        return plan;
    }
    std::unordered_map<std::string, int> gridRows; // name to row, -1 where two rows share it
    for (int row = 0; row < entries; ++row) {
        const auto [at, fresh] = gridRows.try_emplace(Trim(grid.Text(row, 0)), row);
        at->second = fresh ? row : -1;
    }
    plan.Kind = TRowPlan::TKind::Reordered;
    std::fill(plan.SheetRows.begin(), plan.SheetRows.end(), -1);
    for (int sheetRow = kHeaderRows; sheetRow <= lastRow; ++sheetRow) {
        const std::string name = nameAt(sheetRow);
        const auto found = gridRows.find(name);
        if (name.empty()) {
            return Unmatched("Row " + std::to_string(sheetRow + 1) + " of the sheet names no entry.");
        }
        if (found == gridRows.end()) {
            return Unmatched(RowName(sheetRow, name) + " names no entry of the table.");
        }
        if (found->second < 0) {
            return Unmatched(RowName(sheetRow, name) +
                             " names an entry that the table holds more than once.");
        }
        int& matched = plan.SheetRows[static_cast<std::size_t>(found->second)];
        if (matched >= 0) {
            return Unmatched(RowName(sheetRow, name) + " names the same entry as row " +
                             std::to_string(matched + 1) + ".");
        }
        matched = sheetRow;
    }
    return plan;
}

int ImportSheet(TStringGrid& grid, const TSheet& sheet, TSheetOrigin origin,
                const std::vector<int>& sheetRows) {
    // Every cell is read before the first one changes, so a refusal leaves the grid as it was.
    struct TNewText {
        int Row;
        int Column;
        std::string Text;
    };
    std::vector<TNewText> texts;
    for (int row = 0; row < grid.RowCount() && row < static_cast<int>(sheetRows.size()); ++row) {
        const int sheetRow = sheetRows[static_cast<std::size_t>(row)];
        if (sheetRow < 0) {
            continue;
        }
        for (int column = 1; column < grid.ColumnCount(); ++column) {
            texts.push_back({row, column,
                             ImportedCellText(CellAt(sheet, sheetRow, column), grid.Text(row, column), origin,
                                              sheetRow, column)});
        }
    }
    int changed = 0;
    for (TNewText& text : texts) {
        if (grid.Text(text.Row, text.Column) != text.Text) {
            grid.SetText(text.Row, text.Column, std::move(text.Text));
            ++changed;
        }
    }
    return changed;
}

int ImportSheet(TStringGrid& grid, const TSheet& sheet, TSheetOrigin origin) {
    return ImportSheet(grid, sheet, origin, RowsByPosition(grid));
}

TSheetOrigin ReadSheetForGrid(const std::string& path, const TStringGrid& grid, TSheet& sheet) {
    TReadLimits limits;
    limits.MaxRows = std::max(limits.MaxRows, grid.SheetRows() + 1);
    limits.MaxColumns = std::max(limits.MaxColumns, grid.ColumnCount() + 1);
    limits.GridColumns = grid.ColumnCount();
    TWorkbookInfo info;
    ReadWorkbook(path, sheet, info, limits);
    switch (info.Format) {
    case TWorkbookFormat::Xls:
        return TSheetOrigin::ValuesOnly;
    case TWorkbookFormat::Csv:
        return info.Separator == ',' ? TSheetOrigin::Text : TSheetOrigin::LocaleText;
    case TWorkbookFormat::Xlsx:
        break;
    }
    return TSheetOrigin::Typed;
}

} // namespace kw

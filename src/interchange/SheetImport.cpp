#include "interchange/SheetImport.h"

#include "gamecfg/CodePage.h"
#include "gamecfg/Error.h"
#include "interchange/GridTable.h"
#include "interchange/NumberText.h"
#include "interchange/WorkbookReader.h"

#include <algorithm>
#include <array>
#include <unordered_map>

namespace kw {
namespace {

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

std::string Trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool IsBlankRow(const TSheet& sheet, int row) {
    for (int column = 0; column < sheet.Columns; ++column) {
        if (!Trimmed(ShownText(CellAt(sheet, row, column))).empty()) {
            return false;
        }
    }
    return true;
}

[[noreturn]] void RefuseCell(int row, int column, const std::string& why) {
    throw Error("Cell " + SheetCellName(row, column) + " " + why + ". Nothing was imported.");
}

// The error values spreadsheets show in a cell, as a CSV file or a text cell carries them.
bool IsErrorValue(const std::string& text) {
    static constexpr std::array<const char*, 16> kErrors = {
        "#NULL!",  "#DIV/0!", "#VALUE!", "#REF!",     "#NAME?", "#NUM!",     "#N/A",      "#GETTING_DATA",
        "#SPILL!", "#CALC!",  "#FIELD!", "#BLOCKED!", "#BUSY!", "#UNKNOWN!", "#CONNECT!", "#EXTERNAL!"};
    const std::string trimmed = Trimmed(text);
    return std::any_of(kErrors.begin(), kErrors.end(), [&](const char* error) { return trimmed == error; });
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Digits in groups of three with a separator between, as a locale writes thousands: "1,234.50", "1 234",
// "1 234,5" (a no-break space is two bytes in UTF-8, a narrow one three).
bool HasDigitGroups(std::string_view text) {
    static constexpr std::array<std::string_view, 5> kGroupSeparators = {",", " ", "'", "\xC2\xA0",
                                                                         "\xE2\x80\xAF"};
    for (const std::string_view separator : kGroupSeparators) {
        for (size_t at = text.find(separator); at != std::string_view::npos;
             at = text.find(separator, at + 1)) {
            const std::string_view group = text.substr(at + separator.size(), 3);
            if (at > 0 && IsDigit(text[at - 1]) && group.size() == 3 &&
                std::all_of(group.begin(), group.end(), IsDigit)) {
                return true;
            }
        }
    }
    return false;
}

// Why a text cannot stand where the grid holds a number.
std::string NotANumberReason(const std::string& text, TSheetOrigin origin) {
    const std::string shown = "holds \"" + text + "\" where the grid holds a number";
    if (origin == TSheetOrigin::Text && IsCommaDecimal(text)) {
        return shown + ": the file was saved with a decimal comma. Save it with a decimal point";
    }
    if (text.find('%') != std::string::npos) {
        return shown + ": a percentage is not a value of the game files";
    }
    if (HasDigitGroups(text)) {
        return shown + ": thousands separators are not read";
    }
    return shown + ": only a sign, digits, one \".\" and a trailing \"f\" are read there";
}

// A number keeps the grid's notation when it is the number the cell already shows: "0.30" was written as 0.3
// and must not come back as a change.
bool ShowsNumber(const std::string& current, const std::string& numberText) {
    const std::optional<double> shown = ParseGameNumber(current);
    return shown && NumberText(*shown) == numberText;
}

class TCellReader {
public:
    TCellReader(TSheetOrigin origin, int row, int column, const std::string& current)
        : FOrigin(origin), FRow(row), FColumn(column), FCurrent(current), FNumeric(IsGameNumber(current)) {}

    std::string Read(const TSheetCell& cell) const {
        std::string text = Convert(cell);
        const std::optional<std::string> bytes = Utf8ToCp1251(text);
        if ((bytes ? bytes->size() : text.size()) > kMaxValueBytes) {
            Refuse("holds " + std::to_string(text.size()) + " bytes; a value can hold at most " +
                   std::to_string(kMaxValueBytes));
        }
        return text;
    }

private:
    std::string Convert(const TSheetCell& cell) const {
        switch (cell.Kind) {
        case TSheetCell::TKind::String:
            return FromText(cell.Text);
        case TSheetCell::TKind::Number:
            return FromNumber(cell.Number);
        case TSheetCell::TKind::Bool:
            if (FNumeric) {
                Refuse(std::string("holds the truth value ") + (cell.Bool ? "TRUE" : "FALSE") +
                       " where the grid holds a number");
            }
            return cell.Bool ? "true" : "false";
        case TSheetCell::TKind::Date:
            Refuse("holds a date or a time (" + cell.Text +
                   "), which the game files cannot hold. Format the cell as a number or as text");
        case TSheetCell::TKind::Empty:
            if (FOrigin == TSheetOrigin::ValuesOnly && !FCurrent.empty()) {
                Refuse(
                    "could not be read from this .xls workbook (it may hold a formula). Save the workbook as "
                    ".xlsx and import that file");
            }
            break;
        }
        return {};
    }

    std::string FromNumber(double number) const {
        const std::optional<std::string> text = NumberText(number);
        if (!text) {
            Refuse("holds a number whose plain form takes more than " + std::to_string(kMaxNumberTextLength) +
                   " characters");
        }
        return ShowsNumber(FCurrent, *text) ? FCurrent : *text;
    }

    std::string FromText(std::string text) const {
        if (text.find(';') != std::string::npos) {
            Refuse("holds \";\", after which the game reads the rest of the line as a comment");
        }
        if (IsErrorValue(text)) {
            Refuse("holds the error value " + Trimmed(text));
        }
        if (!FNumeric || text.empty()) {
            return text;
        }
        if (FOrigin == TSheetOrigin::LocaleText && IsCommaDecimal(text)) {
            std::replace(text.begin(), text.end(), ',', '.');
        }
        if (!IsGameNumber(text)) {
            Refuse(NotANumberReason(text, FOrigin));
        }
        const bool csv = FOrigin == TSheetOrigin::Text || FOrigin == TSheetOrigin::LocaleText;
        const std::optional<double> number = ParseGameNumber(text);
        const std::optional<std::string> plain = number ? NumberText(*number) : std::nullopt;
        return csv && plain && ShowsNumber(FCurrent, *plain) ? FCurrent : text;
    }

    [[noreturn]] void Refuse(const std::string& why) const { RefuseCell(FRow, FColumn, why); }

    TSheetOrigin FOrigin;
    int FRow;
    int FColumn;
    const std::string& FCurrent;
    bool FNumeric;
};

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
    const auto nameAt = [&](int sheetRow) { return Trimmed(ShownText(CellAt(sheet, sheetRow, 0))); };
    bool sameOrder = lastRow == entries;
    for (int row = 0; sameOrder && row < entries; ++row) {
        sameOrder = nameAt(row + kHeaderRows) == Trimmed(grid.Text(row, 0));
    }
    TRowPlan plan;
    plan.SheetRows = RowsByPosition(grid);
    if (sameOrder) {
        return plan;
    }
    std::unordered_map<std::string, int> gridRows; // name to row, -1 where two rows share it
    for (int row = 0; row < entries; ++row) {
        const auto [at, fresh] = gridRows.try_emplace(Trimmed(grid.Text(row, 0)), row);
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
            const TCellReader reader(origin, sheetRow, column, grid.Text(row, column));
            texts.push_back({row, column, reader.Read(CellAt(sheet, sheetRow, column))});
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

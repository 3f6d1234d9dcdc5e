#include "interchange/CellText.h"

#include "gamecfg/AsciiText.h"
#include "gamecfg/CodePage.h"
#include "gamecfg/Error.h"
#include "interchange/GridTable.h"
#include "interchange/NumberText.h"
#include "interchange/StringGrid.h"
#include "interchange/WorkbookReader.h"

#include <algorithm>
#include <array>

namespace kw {
namespace {

[[noreturn]] void RefuseCell(int row, int column, const std::string& why) {
    throw Error("Cell " + SheetCellName(row, column) + " " + why + ". Nothing was imported.");
}

// The error values spreadsheets show in a cell, as a CSV file or a text cell carries them.
bool IsErrorValue(const std::string& text) {
    static constexpr std::array<const char*, 16> kErrors = {
        "#NULL!",  "#DIV/0!", "#VALUE!", "#REF!",     "#NAME?", "#NUM!",     "#N/A",      "#GETTING_DATA",
        "#SPILL!", "#CALC!",  "#FIELD!", "#BLOCKED!", "#BUSY!", "#UNKNOWN!", "#CONNECT!", "#EXTERNAL!"};
    const std::string_view trimmed = TrimBlanks(text);
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
        // A value that comes back as it is was the game's already; only what changes is measured, in the
        // game's own bytes.
        if (text != FCurrent) {
            const std::optional<std::string> bytes = Utf8ToCp1251(text);
            if (const std::size_t size = bytes ? bytes->size() : text.size(); size > kMaxValueBytes) {
                Refuse("holds " + std::to_string(size) + " bytes; a value can hold at most " +
                       std::to_string(kMaxValueBytes));
            }
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
            Refuse("holds the error value " + std::string(TrimBlanks(text)));
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

} // namespace

std::string ImportedCellText(const TSheetCell& cell, const std::string& current, TSheetOrigin origin, int row,
                             int column) {
    return TCellReader(origin, row, column, current).Read(cell);
}

} // namespace kw

// Legacy BIFF workbooks through libfreexl, values only. A pre-scan of the records goes first: it keeps the
// library from allocating what a forged file declares, and tells the Boolean and error cells that the
// library reads as numbers.

#include "gamecfg/CodePage.h"
#include "interchange/CompoundFile.h"
#include "interchange/SheetReaders.h"
#include "interchange/XlsPreScan.h"

#include <freexl.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <utility>

namespace kw::sheetread {
namespace {

class THandle {
public:
    explicit THandle(const std::string& path) {
        const int status = freexl_open(path.c_str(), &FHandle);
        if (status == FREEXL_BIFF_WORKBOOK_NOT_FOUND) {
            freexl_close(FHandle);
            throw TBadWorkbook(std::string(kNoWorkbookInFile));
        }
        if (status != FREEXL_OK) {
            freexl_close(FHandle);
            throw TBadWorkbook(std::string(kDamagedXls));
        }
        unsigned int protection = 0;
        if (freexl_get_info(FHandle, FREEXL_BIFF_PASSWORD, &protection) == FREEXL_OK &&
            protection == FREEXL_BIFF_OBFUSCATED) {
            freexl_close(FHandle);
            throw TBadWorkbook("the .xls workbook is protected by a password");
        }
    }
    ~THandle() { freexl_close(FHandle); }
    THandle(const THandle&) = delete;
    THandle& operator=(const THandle&) = delete;
    const void* Get() const { return FHandle; }

private:
    const void* FHandle = nullptr;
};

TSheetCell ToCell(const FreeXL_CellValue& value, int row, int column) {
    TSheetCell cell;
    switch (value.type) {
    case FREEXL_CELL_INT:
        cell.Kind = TSheetCell::TKind::Number;
        cell.Number = value.value.int_value;
        break;
    case FREEXL_CELL_DOUBLE:
        if (!std::isfinite(value.value.double_value)) {
            throw TBadWorkbook("cell " + CellName(row, column) + " holds no finite number");
        }
        cell.Kind = TSheetCell::TKind::Number;
        cell.Number = value.value.double_value;
        break;
    case FREEXL_CELL_TEXT:
    case FREEXL_CELL_SST_TEXT:
    case FREEXL_CELL_DATE:
    case FREEXL_CELL_DATETIME:
    case FREEXL_CELL_TIME:
        // The library gives a number of a date or time format as ISO text ("2023-03-15 12:30:00").
        cell.Kind = value.type == FREEXL_CELL_TEXT || value.type == FREEXL_CELL_SST_TEXT
                        ? TSheetCell::TKind::String
                        : TSheetCell::TKind::Date;
        cell.Text = value.value.text_value != nullptr ? value.value.text_value : "";
        if (!IsValidUtf8(cell.Text)) {
            throw TBadWorkbook("the text of cell " + CellName(row, column) + " cannot be read");
        }
        break;
    default:
        break; // empty, or a value the library does not read: the caller tells them apart
    }
    return cell;
}

using TBooleans = std::map<std::pair<unsigned, unsigned>, bool>;

// The Booleans of the first sheet by place; an error value refuses the file, as in an .xlsx workbook.
TBooleans BooleansOf(const TXlsPreScan& scan) {
    TBooleans booleans;
    for (const TXlsBoolErr& cell : scan.BoolErrs) {
        if (cell.IsError) {
            throw TBadWorkbook("cell " + CellName(cell.Row, cell.Column) + " holds the error value " +
                               XlsErrorName(cell.Value));
        }
        booleans[{cell.Row, cell.Column}] = cell.Value != 0;
    }
    return booleans;
}

// The library reads a Boolean as the integer 1 or 0; a later record at the same place may have replaced it.
void ApplyBoolean(const TBooleans& booleans, const FreeXL_CellValue& value, unsigned row, unsigned column,
                  TSheetCell& cell) {
    if (value.type != FREEXL_CELL_INT || booleans.empty()) {
        return;
    }
    const auto found = booleans.find({row, column});
    if (found != booleans.end() && value.value.int_value == (found->second ? 1 : 0)) {
        cell = TSheetCell{};
        cell.Kind = TSheetCell::TKind::Bool;
        cell.Bool = found->second;
    }
}

} // namespace

void ReadXls(std::string_view bytes, const std::string& platformPath, TSheet& sheet,
             const TReadLimits& limits) {
    const TXlsPreScan scan = PreScanXls(bytes, limits);
    const THandle xls(platformPath);
    const TBooleans booleans = BooleansOf(scan);
    unsigned int sheetCount = 0;
    if (freexl_get_info(xls.Get(), FREEXL_BIFF_SHEET_COUNT, &sheetCount) != FREEXL_OK || sheetCount == 0) {
        throw TBadWorkbook("the .xls workbook holds no worksheet");
    }
    const char* name = nullptr;
    unsigned int rows = 0;
    unsigned short columns = 0;
    if (freexl_select_active_worksheet(xls.Get(), 0) != FREEXL_OK ||
        freexl_worksheet_dimensions(xls.Get(), &rows, &columns) != FREEXL_OK) {
        throw TBadWorkbook("the first worksheet of the .xls workbook cannot be read");
    }
    freexl_get_worksheet_name(xls.Get(), 0, &name);
    TSheetBuilder builder(limits);
    if (rows > 0 && columns > 0) {
        // The declared size is what the sheet counts, empty cells at its end included.
        const int lastRow = static_cast<int>(std::min<unsigned>(rows, INT32_MAX)) - 1;
        builder.Set(lastRow, columns - 1, {});
    }
    for (unsigned row = 0; row < rows; ++row) {
        for (unsigned short column = 0; column < columns; ++column) {
            FreeXL_CellValue value{};
            if (freexl_get_cell_value(xls.Get(), row, column, &value) != FREEXL_OK) {
                throw TBadWorkbook("cell " + CellName(static_cast<int>(row), column) + " cannot be read");
            }
            TSheetCell cell = ToCell(value, static_cast<int>(row), column);
            ApplyBoolean(booleans, value, row, column, cell);
            if (cell.Kind != TSheetCell::TKind::Empty) {
                builder.Set(static_cast<int>(row), column, std::move(cell));
            }
        }
    }
    std::string sheetName = name != nullptr ? name : "";
    builder.Finish(sheet, IsValidUtf8(sheetName) ? sheetName : std::string());
}

} // namespace kw::sheetread

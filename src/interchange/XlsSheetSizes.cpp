#include "interchange/XlsSheetSizes.h"

#include "interchange/SheetReaders.h"

#include <algorithm>

namespace kw::sheetread {
namespace {

constexpr uint64_t kFreeCells = 65536;
constexpr uint64_t kCellsPerStreamByte = 64;

std::string SizeText(uint32_t rows, uint32_t columns) {
    return std::to_string(rows) + " rows and " + std::to_string(columns) + " columns";
}

} // namespace

TXlsSheetSizes::TXlsSheetSizes(const TReadLimits& limits, size_t streamBytes)
    : FLimits(limits), FMaxCells(kFreeCells + kCellsPerStreamByte * streamBytes), FStreamBytes(streamBytes) {}

void TXlsSheetSizes::ListSheet(uint32_t offset) {
    FSheetAt.emplace(offset, FSheetCount++);
}

bool TXlsSheetSizes::Begin(size_t offset) {
    // A stream's size is a 32-bit number.
    const auto sheet = FSheetAt.find(static_cast<uint32_t>(offset));
    FSheet = sheet != FSheetAt.end() ? std::optional<size_t>(sheet->second) : std::nullopt;
    FDeclared = false;
    FLastRow = -1;
    FLastColumn = -1;
    return FSheet == 0;
}

void TXlsSheetSizes::Declare(uint32_t rows, uint32_t columns) {
    CheckLimits(rows, columns);
    FDeclared = true;
    if (FSheet) {
        FDeclaredSheets.insert(*FSheet);
    }
    Grow(rows, columns);
    FDeclaredCells += static_cast<uint64_t>(rows) * columns;
    if (FDeclaredCells > FMaxCells) {
        throw TBadWorkbook("the .xls workbook declares a sheet of " + SizeText(rows, columns) +
                           ", far more than its " + std::to_string(FStreamBytes) + " bytes can hold");
    }
}

void TXlsSheetSizes::Reach(uint16_t row, uint16_t column) {
    FLastRow = std::max<int>(FLastRow, row);
    FLastColumn = std::max<int>(FLastColumn, column);
}

void TXlsSheetSizes::End() {
    if (!FDeclared && FLastRow >= 0) {
        const auto rows = static_cast<uint32_t>(FLastRow) + 1;
        const auto columns = static_cast<uint32_t>(FLastColumn) + 1;
        CheckLimits(rows, columns);
        Grow(rows, columns);
    }
    FSheet.reset();
}

void TXlsSheetSizes::Finish() const {
    // Declare keeps the declared cells within the bound.
    const uint64_t undeclared = FSheetCount - FDeclaredSheets.size();
    if (undeclared > 0 && FLargestSheet > (FMaxCells - FDeclaredCells) / undeclared) {
        throw TBadWorkbook("the .xls workbook lists " + std::to_string(FSheetCount) +
                           " sheets, of more cells than its " + std::to_string(FStreamBytes) +
                           " bytes can hold");
    }
}

void TXlsSheetSizes::CheckLimits(uint32_t rows, uint32_t columns) const {
    if (FSheet == 0 && (rows > static_cast<uint64_t>(std::max(FLimits.MaxRows, 0)) ||
                        columns > static_cast<uint64_t>(std::max(FLimits.MaxColumns, 0)))) {
        throw TBadWorkbook("the .xls workbook declares a sheet of " + SizeText(rows, columns) +
                           ", beyond the " + std::to_string(FLimits.MaxRows) + " rows and " +
                           std::to_string(FLimits.MaxColumns) + " columns that can be read");
    }
}

void TXlsSheetSizes::Grow(uint32_t rows, uint32_t columns) {
    FLargestSheet =
        std::max(FLargestSheet, (static_cast<uint64_t>(rows) + 1) * (static_cast<uint64_t>(columns) + 1));
}

} // namespace kw::sheetread

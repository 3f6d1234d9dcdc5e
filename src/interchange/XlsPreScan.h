#pragma once

#include "interchange/WorkbookReader.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// What the .xls library cannot be trusted with, found in the workbook's records before the library opens the
// file. The library allocates every sheet at the size its DIMENSION record declares, whatever the file
// holds, and it reads Boolean and error cells (BOOLERR records) as the numbers 1 and 0.
namespace kw::sheetread {

// A BOOLERR record of the first sheet, the one the library reads as sheet 0.
struct TXlsBoolErr {
    int Row = 0;
    int Column = 0;
    bool IsError = false;
    uint8_t Value = 0; // the Boolean, or the error code
};

struct TXlsPreScan {
    std::vector<TXlsBoolErr> BoolErrs; // in the order of the file
};

// Reads the records of the whole workbook stream of an .xls file. Refuses, by TBadWorkbook, a damaged
// compound file or record stream, a first sheet declared beyond the limits, and sheets declared far larger
// than the stream could fill. Costs no more than a copy and a walk of the file's bytes.
TXlsPreScan PreScanXls(std::string_view file, const TReadLimits& limits);

// "#DIV/0!" for the error code of a BOOLERR record.
std::string XlsErrorName(uint8_t code);

} // namespace kw::sheetread

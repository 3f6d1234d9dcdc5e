#pragma once

#include "interchange/Sheet.h"
#include "interchange/WorkbookReader.h"

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// The three format readers behind ReadWorkbook. They describe a problem without the file's name, which
// ReadWorkbook adds to every message.
namespace kw::sheetread {

class TBadWorkbook : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// "A1" for the zero-based row and column.
std::string CellName(int row, int column);

// Collects cells in any order and lays them out as a dense sheet. A later cell at the same place wins.
class TSheetBuilder {
public:
    explicit TSheetBuilder(const TReadLimits& limits) : FLimits(limits) {}

    // Throws TBadWorkbook for a cell beyond the limits.
    void Set(int row, int column, TSheetCell cell);
    void Finish(TSheet& sheet, std::string name);

private:
    struct TPlaced {
        int Row;
        int Column;
        TSheetCell Cell;
    };
    TReadLimits FLimits;
    std::vector<TPlaced> FCells;
    int FRows = 0;
    int FColumns = 0;
};

void ReadXlsx(const std::string& bytes, TSheet& sheet, const TReadLimits& limits);
// bytes are the file's content, platformPath names the same file for the .xls library.
void ReadXls(std::string_view bytes, const std::string& platformPath, TSheet& sheet,
             const TReadLimits& limits);
// Returns the separator the fields were split on.
char ReadCsv(std::string_view bytes, TSheet& sheet, const TReadLimits& limits);

} // namespace kw::sheetread

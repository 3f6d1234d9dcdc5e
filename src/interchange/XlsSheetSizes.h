#pragma once

#include "interchange/WorkbookReader.h"

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>

// The cells the .xls library allocates when it opens a workbook: 16 bytes for each cell a sheet declares
// (its DIMENSION record, or the farthest cell of a sheet without one), a second time for a second DIMENSION
// record, and once more, at the size of the sheet read last, for every listed sheet that declares no size.
// A real sheet's cells are written in its stream: even its emptiest formatted cells take two bytes each
// (MULBLANK), so a sheet declares few cells per byte. The bound leaves 65536 cells to any file, and 64 cells
// to every byte of the stream beyond: a few megabytes for a small file, where a forged 5 KB file could
// otherwise claim 256 MB for each sheet it declares.
namespace kw::sheetread {

class TXlsSheetSizes {
public:
    TXlsSheetSizes(const TReadLimits& limits, size_t streamBytes);

    // A BOUNDSHEET record: a sheet whose substream starts at offset of the stream.
    void ListSheet(uint32_t offset);
    // A substream at offset begins; returns whether it is the first sheet's, the one the library returns.
    bool Begin(size_t offset);
    // A DIMENSION record. Throws TBadWorkbook for a first sheet beyond the limits and for cells beyond the
    // bound.
    void Declare(uint32_t rows, uint32_t columns);
    // A cell record.
    void Reach(uint16_t row, uint16_t column);
    // The substream ends.
    void End();
    // The stream ends; throws TBadWorkbook when the sheets of no size would take the cells beyond the bound.
    void Finish() const;

private:
    TReadLimits FLimits;
    uint64_t FMaxCells;
    size_t FStreamBytes;
    std::unordered_map<uint32_t, size_t> FSheetAt; // the first listed sheet of each offset
    size_t FSheetCount = 0;
    std::unordered_set<size_t> FDeclaredSheets;
    std::optional<size_t> FSheet; // the listed sheet of the substream being walked
    bool FDeclared = false;
    int FLastRow = -1;
    int FLastColumn = -1;
    uint64_t FDeclaredCells = 0;
    uint64_t FLargestSheet =
        0; // in cells, with the row and the column the library adds to a sheet of no size

    void CheckLimits(uint32_t rows, uint32_t columns) const;
    void Grow(uint32_t rows, uint32_t columns);
};

} // namespace kw::sheetread

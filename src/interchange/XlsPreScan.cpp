// The workbook stream is a run of records (a 2-byte type, a 2-byte length, the body) in substreams that
// open with BOF and close with EOF: the workbook globals first, then one per sheet. The walk follows the
// .xls library's reading of them. It is bounded by the stream, which the compound-file reader bounded by the
// file, itself within TReadLimits::MaxPartBytes: every record moves it at least four bytes on, and what it
// keeps grows by less than a record.
//
// Every sheet is walked, not only the first, because the library reads them all when it opens the file.
// What it costs there is summed up here: the cells it allocates (TSheetSizes) and the days it counts to
// make a date of a number (TDateDays).

#include "interchange/XlsPreScan.h"

#include "interchange/CompoundFile.h"
#include "interchange/LittleEndian.h"
#include "interchange/SheetReaders.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <optional>
#include <unordered_map>
#include <unordered_set>

namespace kw::sheetread {
namespace {

constexpr uint16_t kBof = 0x0809;
constexpr uint16_t kEof = 0x000A;
constexpr uint16_t kContinue = 0x003C;
constexpr uint16_t kBoundSheet = 0x0085;
constexpr uint16_t kDimension = 0x0200;
constexpr uint16_t kBoolErr = 0x0205;
constexpr uint16_t kNumber = 0x0203;
constexpr uint16_t kLabel = 0x0204;
constexpr uint16_t kLabelSst = 0x00FD;
constexpr uint16_t kRk = 0x027E;
constexpr uint16_t kMulRk = 0x00BD;
constexpr uint16_t kFormat = 0x041E;
constexpr uint16_t kXf = 0x00E0;

constexpr uint16_t kBiff5 = 0x0500;
constexpr uint16_t kBiff8 = 0x0600;
// BIFF8's longest record, and the size of the library's record buffer.
constexpr size_t kMaxRecordBytes = 8224;

[[noreturn]] void Damaged() {
    throw TBadWorkbook(std::string(kDamagedXls));
}

// A record too short for what the library reads from it: the library would take the rest from the record
// before.
void Need(std::string_view body, size_t bytes) {
    if (body.size() < bytes) {
        Damaged();
    }
}

// The cells the library allocates: 16 bytes for each cell a sheet declares (its DIMENSION record, or the
// farthest cell of a sheet without one), a second time for a second DIMENSION record, and once more, at the
// size of the sheet read last, for every listed sheet that declares no size. A real sheet's cells are
// written in its stream: even its emptiest formatted cells take two bytes each (MULBLANK), so a sheet
// declares few cells per byte. The bound leaves 65536 cells to any file, and 64 cells to every byte of the
// stream beyond: a few megabytes for a small file, where a forged 5 KB file could otherwise claim 256 MB
// for each sheet it declares.
class TSheetSizes {
public:
    TSheetSizes(const TReadLimits& limits, size_t streamBytes)
        : FLimits(limits), FMaxCells(kFreeCells + kCellsPerStreamByte * streamBytes),
          FStreamBytes(streamBytes) {}

    void ListSheet(uint32_t offset) { FSheetAt.emplace(offset, FSheetCount++); }

    // A substream at offset begins; returns whether it is the first sheet's.
    bool Begin(size_t offset) {
        // A stream's size is a 32-bit number.
        const auto sheet = FSheetAt.find(static_cast<uint32_t>(offset));
        FSheet = sheet != FSheetAt.end() ? std::optional<size_t>(sheet->second) : std::nullopt;
        FDeclared = false;
        FLastRow = -1;
        FLastColumn = -1;
        return FSheet == 0;
    }

    void Declare(uint32_t rows, uint32_t columns) {
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

    void Reach(uint16_t row, uint16_t column) {
        FLastRow = std::max<int>(FLastRow, row);
        FLastColumn = std::max<int>(FLastColumn, column);
    }

    void End() {
        if (!FDeclared && FLastRow >= 0) {
            const auto rows = static_cast<uint32_t>(FLastRow) + 1;
            const auto columns = static_cast<uint32_t>(FLastColumn) + 1;
            CheckLimits(rows, columns);
            Grow(rows, columns);
        }
        FSheet.reset();
    }

    void Finish() const {
        // Declare keeps the declared cells within the bound.
        const uint64_t undeclared = FSheetCount - FDeclaredSheets.size();
        if (undeclared > 0 && FLargestSheet > (FMaxCells - FDeclaredCells) / undeclared) {
            throw TBadWorkbook("the .xls workbook lists " + std::to_string(FSheetCount) +
                               " sheets, of more cells than its " + std::to_string(FStreamBytes) +
                               " bytes can hold");
        }
    }

private:
    static constexpr uint64_t kFreeCells = 65536;
    static constexpr uint64_t kCellsPerStreamByte = 64;

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
    uint64_t FLargestSheet = 0; // in cells, with the row and the column the library adds to an undeclared one

    static std::string SizeText(uint32_t rows, uint32_t columns) {
        return std::to_string(rows) + " rows and " + std::to_string(columns) + " columns";
    }

    void CheckLimits(uint32_t rows, uint32_t columns) const {
        if (FSheet == 0 && (rows > static_cast<uint64_t>(std::max(FLimits.MaxRows, 0)) ||
                            columns > static_cast<uint64_t>(std::max(FLimits.MaxColumns, 0)))) {
            throw TBadWorkbook("the .xls workbook declares a sheet of " + SizeText(rows, columns) +
                               ", beyond the " + std::to_string(FLimits.MaxRows) + " rows and " +
                               std::to_string(FLimits.MaxColumns) + " columns that can be read");
        }
    }

    void Grow(uint32_t rows, uint32_t columns) {
        FLargestSheet =
            std::max(FLargestSheet, (static_cast<uint64_t>(rows) + 1) * (static_cast<uint64_t>(columns) + 1));
    }
};

// The library makes text of every number of a date format by counting days one by one from 1900, so a
// date near the largest number a cell holds takes it seconds. The days are summed by cell format, since in
// a damaged file the formats may follow the cells, and judged at the end.
class TDateDays {
public:
    void Format(std::string_view body) {
        Need(body, 2);
        // Whatever the text's encoding, an "m" of it is a byte "m" or "M" of the record.
        if (body.substr(2).find_first_of("mM") != std::string_view::npos) {
            FSpelledWithM[Le16(body, 0)] = true;
        }
    }

    void CellFormat(std::string_view body) {
        Need(body, 4);
        if (FXfFormats.size() == kMaxXfRecords) {
            Damaged();
        }
        FXfFormats.push_back(Le16(body, 2));
    }

    void Number(std::string_view body) {
        Need(body, 14);
        uint64_t bits = Le32(body, 6) | static_cast<uint64_t>(Le32(body, 10)) << 32;
        double value = 0;
        std::memcpy(&value, &bits, sizeof(value));
        Count(Le16(body, 4), value);
    }

    void Rk(std::string_view body) {
        Need(body, 10);
        Count(Le16(body, 4), RkValue(Le32(body, 6)));
    }

    // A row of RK cells: the first column, then a format and a number for each cell, then the last column.
    void MulRk(std::string_view body) {
        for (size_t at = 4; at + 6 < body.size(); at += 6) {
            Count(Le16(body, at), RkValue(Le32(body, at + 2)));
        }
    }

    void Finish() const {
        uint64_t days = 0;
        for (const auto& [xf, count] : FDaysByXf) {
            if (xf < FXfFormats.size() && MayBeDate(FXfFormats[xf])) {
                days += count;
            }
        }
        if (days > kMaxDays) {
            throw TBadWorkbook("the .xls workbook holds more dates, or later ones, than can be read; save it "
                               "as .xlsx");
        }
    }

private:
    // The library's table of cell formats, which it reads past when a file holds more.
    static constexpr size_t kMaxXfRecords = 8192;
    // About two seconds of the library's counting: 22,000 dates of this century.
    static constexpr uint64_t kMaxDays = 1'000'000'000;

    std::vector<uint16_t> FXfFormats;                           // the number format of each cell format
    std::vector<bool> FSpelledWithM = std::vector<bool>(65536); // by number format
    std::unordered_map<uint16_t, uint64_t> FDaysByXf;

    // 30 bits of an integer or of a double's high half, perhaps in hundredths.
    static double RkValue(uint32_t rk) {
        double value = 0;
        if ((rk & 0x02) != 0) {
            value = static_cast<int32_t>(rk) >> 2;
        } else {
            const uint64_t bits = static_cast<uint64_t>(rk & 0xFFFFFFFC) << 32;
            std::memcpy(&value, &bits, sizeof(value));
        }
        return (rk & 0x01) != 0 ? value / 100 : value;
    }

    // The library counts no days for a number an int cannot hold.
    void Count(uint16_t xf, double value) {
        constexpr double kIntLimit = 2147483648.0;
        if (value >= 1 && value < kIntLimit) {
            FDaysByXf[xf] += static_cast<uint64_t>(value);
        }
    }

    // The library takes the built-in formats 14-17 and 22 for dates, and a format whose text holds an "m"
    // among date letters: one without an "m" is no date to it.
    bool MayBeDate(uint16_t format) const {
        return (format >= 14 && format <= 17) || format == 22 || FSpelledWithM[format];
    }
};

class TRecordWalk {
public:
    TRecordWalk(std::string_view stream, const TReadLimits& limits)
        : FStream(stream), FSizes(limits, stream.size()) {}

    TXlsPreScan Walk() {
        size_t pos = 0;
        while (pos + 4 <= FStream.size()) {
            const uint16_t type = Le16(FStream, pos);
            const uint16_t length = Le16(FStream, pos + 2);
            // Zeros after a closed substream are padding (xlwt pads the stream with them); the library
            // ends the stream there too.
            if (type == 0 && length == 0 && !FInSubstream) {
                break;
            }
            if (length > kMaxRecordBytes || length > FStream.size() - pos - 4) {
                Damaged();
            }
            Record(pos, type, FStream.substr(pos + 4, length));
            pos += 4 + length;
        }
        End();
        FSizes.Finish();
        FDates.Finish();
        return std::move(FResult);
    }

private:
    std::string_view FStream;
    TSheetSizes FSizes;
    TDateDays FDates;
    TXlsPreScan FResult;
    bool FSeenBof = false;
    bool FBiff8 = false;
    bool FInSubstream = false;
    bool FInFirstSheet = false;

    void Record(size_t pos, uint16_t type, std::string_view body) {
        if (type == kContinue) {
            return; // the library skips these wherever they stand
        }
        if (!FInSubstream) {
            if (type != kBof) {
                Damaged(); // the library wants a BOF after every EOF
            }
            Begin(pos, body);
            return;
        }
        switch (type) {
        case kEof:
            End();
            break;
        case kBoundSheet:
            Need(body, 4);
            FSizes.ListSheet(Le32(body, 0));
            break;
        case kDimension:
            Dimension(body);
            break;
        case kFormat:
            FDates.Format(body);
            break;
        case kXf:
            FDates.CellFormat(body);
            break;
        case kBoolErr:
            BoolErr(body);
            break;
        case kNumber:
            Cell(body);
            FDates.Number(body);
            break;
        case kRk:
            Cell(body);
            FDates.Rk(body);
            break;
        case kMulRk:
            Cell(body);
            FDates.MulRk(body);
            break;
        case kLabel:
        case kLabelSst:
            Cell(body);
            break;
        default:
            break;
        }
    }

    void Begin(size_t pos, std::string_view body) {
        FInSubstream = true;
        if (FSeenBof) {
            // The library reads as a sheet the substream that starts where a BOUNDSHEET record says.
            FInFirstSheet = FSizes.Begin(pos);
            return;
        }
        Need(body, 2);
        const uint16_t version = Le16(body, 0);
        if (version != kBiff5 && version != kBiff8) {
            Damaged();
        }
        FBiff8 = version == kBiff8;
        FSeenBof = true;
    }

    void End() {
        if (FInSubstream) {
            FSizes.End();
        }
        FInSubstream = false;
        FInFirstSheet = false;
    }

    // BIFF8: first row, last row + 1 (4 bytes each), first column, last column + 1 (2 bytes each); BIFF5
    // has 2-byte rows. The library sizes the sheet by the second and the fourth.
    void Dimension(std::string_view body) {
        Need(body, FBiff8 ? 12 : 8);
        FSizes.Declare(FBiff8 ? Le32(body, 4) : Le16(body, 2), Le16(body, FBiff8 ? 10 : 6));
    }

    void Cell(std::string_view body) {
        Need(body, 4);
        FSizes.Reach(Le16(body, 0), Le16(body, 2));
    }

    void BoolErr(std::string_view body) {
        Need(body, 8);
        Cell(body);
        if (FInFirstSheet) {
            FResult.BoolErrs.push_back(
                {Le16(body, 0), Le16(body, 2), body[7] != 0, static_cast<uint8_t>(body[6])});
        }
    }
};

} // namespace

TXlsPreScan PreScanXls(std::string_view file, const TReadLimits& limits) {
    const std::string stream = XlsWorkbookStream(file);
    return TRecordWalk(stream, limits).Walk();
}

std::string XlsErrorName(uint8_t code) {
    switch (code) {
    case 0x00:
        return "#NULL!";
    case 0x07:
        return "#DIV/0!";
    case 0x0F:
        return "#VALUE!";
    case 0x17:
        return "#REF!";
    case 0x1D:
        return "#NAME?";
    case 0x24:
        return "#NUM!";
    case 0x2A:
        return "#N/A";
    default:
        break;
    }
    char text[8];
    std::snprintf(text, sizeof(text), "0x%02X", code);
    return std::string("with the code ") + text;
}

} // namespace kw::sheetread

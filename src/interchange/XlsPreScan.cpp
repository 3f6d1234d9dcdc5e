// The workbook stream is a run of records (a 2-byte type, a 2-byte length, the body) in substreams that
// open with BOF and close with EOF: the workbook globals first, then one per sheet. The walk follows the
// .xls library's reading of them. It is bounded by the stream, which the compound-file reader bounded by the
// file, itself within TReadLimits::MaxPartBytes: every record moves it at least four bytes on, and what it
// keeps grows by less than a record.
//
// Every sheet is walked, not only the first, because the library reads them all when it opens the file.
// What it costs there is summed up on the way: the cells it allocates (TXlsSheetSizes) and the days it
// counts to make a date of a number (TXlsDateDays).

#include "interchange/XlsPreScan.h"

#include "interchange/CompoundFile.h"
#include "interchange/LittleEndian.h"
#include "interchange/XlsDateDays.h"
#include "interchange/XlsRecords.h"
#include "interchange/XlsSheetSizes.h"

#include <cstdio>

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
                RefuseDamagedXls();
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
    TXlsSheetSizes FSizes;
    TXlsDateDays FDates;
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
                RefuseDamagedXls(); // the library wants a BOF after every EOF
            }
            Begin(pos, body);
            return;
        }
        switch (type) {
        case kEof:
            End();
            break;
        case kBoundSheet:
            NeedBytes(body, 4);
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
        NeedBytes(body, 2);
        const uint16_t version = Le16(body, 0);
        if (version != kBiff5 && version != kBiff8) {
            RefuseDamagedXls();
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
        NeedBytes(body, FBiff8 ? 12 : 8);
        FSizes.Declare(FBiff8 ? Le32(body, 4) : Le16(body, 2), Le16(body, FBiff8 ? 10 : 6));
    }

    void Cell(std::string_view body) {
        NeedBytes(body, 4);
        FSizes.Reach(Le16(body, 0), Le16(body, 2));
    }

    void BoolErr(std::string_view body) {
        NeedBytes(body, 8);
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

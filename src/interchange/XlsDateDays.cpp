#include "interchange/XlsDateDays.h"

#include "interchange/LittleEndian.h"
#include "interchange/XlsRecords.h"

#include <cstring>

namespace kw::sheetread {
namespace {

// The library's table of cell formats, which it reads past when a file holds more.
constexpr size_t kMaxXfRecords = 8192;
// About two seconds of the library's counting: 22,000 dates of this century.
constexpr uint64_t kMaxDays = 1'000'000'000;

double DoubleOf(uint64_t bits) {
    double value = 0;
    std::memcpy(&value, &bits, sizeof(value));
    return value;
}

// 30 bits of an integer or of a double's high half, perhaps in hundredths.
double RkValue(uint32_t rk) {
    const double value = (rk & 0x02) != 0 ? static_cast<int32_t>(rk) >> 2
                                          : DoubleOf(static_cast<uint64_t>(rk & 0xFFFFFFFC) << 32);
    return (rk & 0x01) != 0 ? value / 100 : value;
}

} // namespace

void TXlsDateDays::Format(std::string_view body) {
    NeedBytes(body, 2);
    // Whatever the text's encoding, an "m" of it is a byte "m" or "M" of the record.
    if (body.substr(2).find_first_of("mM") != std::string_view::npos) {
        FSpelledWithM[Le16(body, 0)] = true;
    }
}

void TXlsDateDays::CellFormat(std::string_view body) {
    NeedBytes(body, 4);
    if (FXfFormats.size() == kMaxXfRecords) {
        RefuseDamagedXls();
    }
    FXfFormats.push_back(Le16(body, 2));
}

void TXlsDateDays::Number(std::string_view body) {
    NeedBytes(body, 14);
    Count(Le16(body, 4), DoubleOf(Le32(body, 6) | static_cast<uint64_t>(Le32(body, 10)) << 32));
}

void TXlsDateDays::Rk(std::string_view body) {
    NeedBytes(body, 10);
    Count(Le16(body, 4), RkValue(Le32(body, 6)));
}

// A row of RK cells: the first column, then a format and a number for each cell, then the last column.
void TXlsDateDays::MulRk(std::string_view body) {
    for (size_t at = 4; at + 6 < body.size(); at += 6) {
        Count(Le16(body, at), RkValue(Le32(body, at + 2)));
    }
}

void TXlsDateDays::Finish() const {
    uint64_t days = 0;
    for (const auto& [xf, count] : FDaysByXf) {
        if (xf < FXfFormats.size() && MayBeDate(FXfFormats[xf])) {
            days += count;
        }
    }
    if (days > kMaxDays) {
        throw TBadWorkbook(
            "the .xls workbook holds more dates, or later ones, than can be read; save it as .xlsx");
    }
}

// The library counts no days for a number an int cannot hold.
void TXlsDateDays::Count(uint16_t xf, double value) {
    constexpr double kIntLimit = 2147483648.0;
    if (value >= 1 && value < kIntLimit) {
        FDaysByXf[xf] += static_cast<uint64_t>(value);
    }
}

// The library takes the built-in formats 14-17 and 22 for dates, and a format whose text holds an "m" among
// date letters: one without an "m" is no date to it.
bool TXlsDateDays::MayBeDate(uint16_t format) const {
    return (format >= 14 && format <= 17) || format == 22 || FSpelledWithM[format];
}

} // namespace kw::sheetread

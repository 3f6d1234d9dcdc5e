#include "interchange/XlsxStyles.h"

#include "interchange/SheetReaders.h"
#include "interchange/XmlStream.h"

#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <map>

namespace kw::sheetread {
namespace {

// Formats a workbook may name by number alone. 14-22 and 45-47 are the dates and times of every locale;
// 27-36 and 50-58 are those Excel writes under East Asian locales without spelling them out.
bool IsBuiltInDate(int id) {
    return (id >= 14 && id <= 22) || (id >= 45 && id <= 47) || (id >= 27 && id <= 36) ||
           (id >= 50 && id <= 58);
}

bool IsDateLetter(char c) {
    switch (c | 0x20) {
    case 'd':
    case 'm':
    case 'y':
    case 'h':
    case 's':
        return true;
    default:
        return false;
    }
}

// "[h]", "[mm]", "[ss]" and the like: a duration in hours, minutes or seconds.
bool IsElapsedTime(std::string_view bracketed) {
    if (bracketed.empty()) {
        return false;
    }
    const char unit = static_cast<char>(bracketed.front() | 0x20);
    if (unit != 'h' && unit != 'm' && unit != 's') {
        return false;
    }
    for (char c : bracketed) {
        if ((c | 0x20) != unit) {
            return false;
        }
    }
    return true;
}

int FormatId(const TXmlStream& xml, const std::string& partName) {
    const std::string text = xml.Attribute("numFmtId").value_or("0");
    int id = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), id);
    if (ec != std::errc() || end != text.data() + text.size()) {
        throw TBadWorkbook("the part \"" + partName + "\" names the number format \"" + text +
                           "\", which is not a number");
    }
    return id;
}

} // namespace

bool IsDateFormatCode(std::string_view code) {
    for (size_t pos = 0; pos < code.size(); ++pos) {
        switch (code[pos]) {
        case ';':
            return false; // the end of the first section
        case '"':
            pos = std::min(code.find('"', pos + 1), code.size());
            break;
        case '\\':
        case '_':
        case '*':
            ++pos; // the next character is shown, spaced or repeated, never read as a code
            break;
        case '[': {
            const size_t close = std::min(code.find(']', pos + 1), code.size());
            if (IsElapsedTime(code.substr(pos + 1, close - pos - 1))) {
                return true;
            }
            pos = close; // a colour, a locale or a condition
            break;
        }
        default:
            if (IsDateLetter(code[pos])) {
                return true;
            }
            break;
        }
    }
    return false;
}

std::vector<bool> ReadDateStyles(const std::string& xml, const std::string& partName) {
    TXmlStream stream(xml, partName);
    std::map<int, std::string> codes;
    std::vector<int> styleFormats;
    enum class TSection { Other, NumFmts, CellXfs } section = TSection::Other;
    while (stream.Next()) {
        if (stream.Node() != TXmlStream::TNode::Start) {
            continue;
        }
        if (stream.Depth() == 1) {
            section = stream.IsStart("numFmts")   ? TSection::NumFmts
                      : stream.IsStart("cellXfs") ? TSection::CellXfs
                                                  : TSection::Other;
        } else if (stream.Depth() == 2 && section == TSection::NumFmts && stream.IsStart("numFmt")) {
            const int id = FormatId(stream, partName);
            codes[id] = stream.Attribute("formatCode").value_or("");
        } else if (stream.Depth() == 2 && section == TSection::CellXfs && stream.IsStart("xf")) {
            styleFormats.push_back(FormatId(stream, partName));
        }
    }
    std::vector<bool> dateStyles;
    dateStyles.reserve(styleFormats.size());
    for (int id : styleFormats) {
        // Writers spell out built-in formats too; should the spelling of a built-in date say otherwise, the
        // cell still counts as a date rather than risk a date taken for a number.
        const auto code = codes.find(id);
        dateStyles.push_back(IsBuiltInDate(id) || (code != codes.end() && IsDateFormatCode(code->second)));
    }
    return dateStyles;
}

std::string DateSerialText(double serial, bool date1904, std::string_view asWritten) {
    using namespace std::chrono;
    constexpr double kFirstInvalid = 2958466; // 10000-01-01 in either system, near enough
    if (!(serial >= 0) || serial >= kFirstInvalid) {
        return std::string(asWritten);
    }
    const long long seconds = std::llround(serial * 86400);
    long long day = seconds / 86400;
    const long long second = seconds % 86400;
    char time[16];
    std::snprintf(time, sizeof(time), "%02lld:%02lld:%02lld", second / 3600, second / 60 % 60, second % 60);
    if (serial < 1) {
        return time;
    }
    std::string text;
    if (!date1904 && day == 60) {
        text = "1900-02-29"; // a day that never was, which the 1900 system counts as Lotus 1-2-3 did
    } else {
        if (!date1904 && day < 60) {
            ++day;
        }
        const sys_days epoch =
            date1904 ? sys_days(year(1904) / January / 1) : sys_days(year(1899) / December / 30);
        const year_month_day date(epoch + days(day));
        char buffer[16];
        std::snprintf(buffer, sizeof(buffer), "%04d-%02u-%02u", static_cast<int>(date.year()),
                      static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
        text = buffer;
    }
    return second == 0 ? text : text + " " + time;
}

} // namespace kw::sheetread

#pragma once

#include <string>
#include <string_view>
#include <vector>

// The styles layer of an .xlsx workbook: which cell styles show a number as a date or a time. The workbook
// stores a date as a plain number (days since its epoch) and only the style's number format tells it apart.
namespace kw::sheetread {

struct TCellStyles {
    std::vector<bool> DateStyles; // by cell style index, the "s" attribute of a cell
    bool Date1904 = false;        // days count from 1904-01-01 instead of 1899-12-30

    bool IsDate(size_t style) const { return style < DateStyles.size() && DateStyles[style]; }
};

// True for a format code that shows a number as a date or a time: it holds d, m, y, h or s outside quotes
// and brackets and not right after "\", "_" or "*", or an elapsed time such as "[h]". The first section,
// the one for positive numbers, is judged.
bool IsDateFormatCode(std::string_view code);

// The date styles (cellXfs) of a styles part. Throws TBadWorkbook naming the part when it is malformed.
std::vector<bool> ReadDateStyles(const std::string& xml, const std::string& partName);

// A date number as readable text: "2023-03-15", "2023-03-15 12:30:00", or "12:30:00" for a time below one
// day; the number itself when it lies outside the years a spreadsheet shows.
std::string DateSerialText(double serial, bool date1904, std::string_view asWritten);

} // namespace kw::sheetread

// Comma-separated text as spreadsheets write it: a field in double quotes may hold commas, line breaks and
// doubled quotes; records end with CRLF, LF or a lone CR.

#include "gamecfg/CodePage.h"
#include "interchange/SheetReaders.h"

#include <algorithm>

namespace kw::sheetread {

void ReadCsv(std::string_view bytes, TSheet& sheet, const TReadLimits& limits) {
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        bytes.remove_prefix(3);
    }
    if (bytes.empty()) {
        throw TBadWorkbook("the file is empty");
    }
    if (bytes.find('\0') != std::string_view::npos || !IsValidUtf8(bytes)) {
        throw TBadWorkbook("the file is neither a workbook nor UTF-8 text");
    }
    TSheetBuilder builder(limits);
    int row = 0;
    int column = 0;
    std::string field;
    bool quoted = false;       // inside a quoted field
    bool fieldStarted = false; // the record has a field at column, possibly empty
    const auto endField = [&] {
        TSheetCell cell;
        cell.Kind = TSheetCell::TKind::String;
        cell.Text = std::move(field);
        field.clear();
        builder.Set(row, column, std::move(cell));
        ++column;
        fieldStarted = false;
    };
    const auto endRecord = [&] {
        endField();
        ++row;
        column = 0;
    };
    size_t quoteStart = 0;
    for (size_t pos = 0; pos < bytes.size(); ++pos) {
        const char c = bytes[pos];
        if (quoted) {
            if (c != '"') {
                field += c;
            } else if (pos + 1 < bytes.size() && bytes[pos + 1] == '"') {
                field += '"';
                ++pos;
            } else {
                quoted = false;
            }
            continue;
        }
        if (c == '"' && field.empty() && !fieldStarted) {
            quoted = true;
            fieldStarted = true;
            quoteStart = pos;
        } else if (c == ',') {
            endField();
        } else if (c == '\r' || c == '\n') {
            if (c == '\r' && pos + 1 < bytes.size() && bytes[pos + 1] == '\n') {
                ++pos;
            }
            endRecord();
        } else {
            // A quote inside an unquoted field, or text after a closing quote, is kept as it stands.
            field += c;
            fieldStarted = true;
        }
    }
    if (quoted) {
        const auto line =
            std::count(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(quoteStart), '\n') + 1;
        throw TBadWorkbook("the quoted field that begins in line " + std::to_string(line) + " is not closed");
    }
    if (fieldStarted || !field.empty() || column > 0) {
        endRecord(); // the last record has no line break
    }
    builder.Finish(sheet, "");
}

} // namespace kw::sheetread

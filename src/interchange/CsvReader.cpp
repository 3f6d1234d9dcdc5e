// Separated text as spreadsheets write it: a field in double quotes may hold separators, line breaks and
// doubled quotes; records end with CRLF, LF or a lone CR. Under a comma-decimal locale spreadsheets separate
// fields with ";" and often write windows-1251, so the separator is found in the header row and the code
// page in the bytes.

#include "gamecfg/CodePage.h"
#include "interchange/SheetReaders.h"

#include <algorithm>

namespace kw::sheetread {
namespace {

struct TRecord {
    std::vector<std::string> Fields;
    int Line = 1;       // where the record begins, counted from 1
    bool Blank = false; // an empty line, or one of blanks only
};

class TCsvParser {
public:
    TCsvParser(std::string_view text, char separator) : FText(text), FSeparator(separator) {}

    // False at the end of the text.
    bool Next(TRecord& record) {
        if (FPos >= FText.size()) {
            return false;
        }
        record = TRecord();
        record.Line = FLine;
        std::string field;
        bool quoted = false;       // inside a quoted field
        bool fieldStarted = false; // the field began with a quote, possibly empty
        size_t quoteLine = FLine;
        const auto endField = [&] {
            record.Fields.push_back(std::move(field));
            field.clear();
            fieldStarted = false;
        };
        for (; FPos < FText.size(); ++FPos) {
            const char c = FText[FPos];
            if (quoted) {
                if (c == '\n' || (c == '\r' && !NextIs('\n'))) {
                    ++FLine;
                }
                if (c != '"') {
                    field += c;
                } else if (NextIs('"')) {
                    field += '"';
                    ++FPos;
                } else {
                    quoted = false;
                }
                continue;
            }
            if (c == '"' && field.empty() && !fieldStarted) {
                quoted = true;
                fieldStarted = true;
                quoteLine = FLine;
            } else if (c == FSeparator) {
                endField();
            } else if (c == '\r' || c == '\n') {
                FPos += c == '\r' && NextIs('\n') ? 2 : 1;
                ++FLine;
                break;
            } else {
                // A quote inside an unquoted field, or text after a closing quote, is kept as it stands.
                field += c;
            }
        }
        if (quoted) {
            throw TBadWorkbook("the quoted field that begins in line " + std::to_string(quoteLine) +
                               " is not closed");
        }
        record.Blank =
            record.Fields.empty() && !fieldStarted && field.find_first_not_of(' ') == std::string::npos;
        endField();
        return true;
    }

private:
    bool NextIs(char c) const { return FPos + 1 < FText.size() && FText[FPos + 1] == c; }

    std::string_view FText;
    char FSeparator;
    size_t FPos = 0;
    int FLine = 1;
};

// Fields of the first record when split on separator; none when the quotes do not close that way.
size_t HeaderFields(std::string_view text, char separator) {
    TRecord record;
    TCsvParser parser(text, separator);
    try {
        return parser.Next(record) ? record.Fields.size() : 0;
    } catch (const TBadWorkbook&) {
        return 0;
    }
}

// A comma-decimal locale separates with ";" (or TAB): the header row shows it by splitting on that into the
// grid's columns while holding no comma. Without a grid to compare with, any split will do; a row that does
// not split at all tells nothing.
char FindSeparator(std::string_view text, int gridColumns) {
    if (HeaderFields(text, ',') != 1) {
        return ',';
    }
    for (const char separator : {';', '\t'}) {
        const size_t fields = HeaderFields(text, separator);
        if (fields > 1 && (gridColumns <= 0 || fields == static_cast<size_t>(gridColumns))) {
            return separator;
        }
    }
    return ',';
}

// Text that no program writes as windows-1251: NUL, control characters other than TAB and line breaks, and
// the one byte the code page leaves unassigned.
bool IsCp1251Text(std::string_view bytes) {
    return std::none_of(bytes.begin(), bytes.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return (byte < 0x20 && c != '\t' && c != '\r' && c != '\n') || byte == 0x98;
    });
}

std::string TextOf(std::string_view bytes) {
    if (bytes.find('\0') == std::string_view::npos && IsValidUtf8(bytes)) {
        return std::string(bytes);
    }
    if (IsCp1251Text(bytes)) {
        return Cp1251ToUtf8(bytes);
    }
    throw TBadWorkbook("the file is neither a workbook nor text in UTF-8 or windows-1251");
}

std::string SeparatorName(char separator) {
    return separator == '\t' ? "TAB" : std::string("\"") + separator + "\"";
}

} // namespace

char ReadCsv(std::string_view bytes, TSheet& sheet, const TReadLimits& limits) {
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        bytes.remove_prefix(3);
    }
    if (bytes.empty()) {
        throw TBadWorkbook("the file is empty");
    }
    const std::string text = TextOf(bytes);
    const char separator = FindSeparator(text, limits.GridColumns);
    TSheetBuilder builder(limits);
    TCsvParser parser(text, separator);
    std::vector<TRecord> blankRun; // blank lines are only ignored at the end of the file
    size_t headerFields = 0;
    int row = 0;
    for (TRecord record; parser.Next(record);) {
        if (record.Blank && row > 0) {
            blankRun.push_back(std::move(record));
            continue;
        }
        const TRecord& first = blankRun.empty() ? record : blankRun.front();
        if (row == 0) {
            headerFields = record.Fields.size();
        } else if (!blankRun.empty() || record.Fields.size() != headerFields) {
            // A record cut short (or run long) would empty (or shift) the values of its entry.
            throw TBadWorkbook(
                "line " + std::to_string(first.Line) + " holds " + std::to_string(first.Fields.size()) +
                (first.Fields.size() == 1 ? " field" : " fields") + " where the header row holds " +
                std::to_string(headerFields) + " (separated by " + SeparatorName(separator) + ")");
        }
        for (size_t column = 0; column < record.Fields.size(); ++column) {
            TSheetCell cell;
            cell.Kind = TSheetCell::TKind::String;
            cell.Text = std::move(record.Fields[column]);
            builder.Set(row, static_cast<int>(column), std::move(cell));
        }
        ++row;
    }
    builder.Finish(sheet, "");
    return separator;
}

} // namespace kw::sheetread

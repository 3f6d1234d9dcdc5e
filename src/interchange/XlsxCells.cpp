// Cells are read as a stream: a worksheet of a large grid is several megabytes of XML, and a tree of it would
// cost many times that.

#include "interchange/XlsxCells.h"

#include "gamecfg/CodePage.h"
#include "interchange/XmlStream.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <optional>

namespace kw::sheetread {
namespace {

using TNode = TXmlStream::TNode;

constexpr int kMaxSheetRows = 1048576;
constexpr int kMaxSheetColumns = 16384;

// The code unit of an "_xHHHH_" escape at pos, if one stands there.
std::optional<char32_t> EscapeAt(std::string_view text, size_t pos) {
    if (pos + 7 > text.size() || text[pos] != '_' || text[pos + 1] != 'x' || text[pos + 6] != '_') {
        return std::nullopt;
    }
    unsigned value = 0;
    const char* first = text.data() + pos + 2;
    const auto [end, ec] = std::from_chars(first, first + 4, value, 16);
    if (ec != std::errc() || end != first + 4) {
        return std::nullopt;
    }
    return static_cast<char32_t>(value);
}

} // namespace

// A surrogate pair comes as two escapes; a lone surrogate is no character and stays as written.
std::string DecodeEscapes(std::string_view text) {
    if (text.find("_x") == std::string_view::npos) {
        return std::string(text);
    }
    std::string out;
    for (size_t pos = 0; pos < text.size();) {
        const std::optional<char32_t> unit = EscapeAt(text, pos);
        if (!unit) {
            out += text[pos++];
            continue;
        }
        if (*unit >= 0xD800 && *unit <= 0xDBFF) {
            const std::optional<char32_t> low = EscapeAt(text, pos + 7);
            if (low && *low >= 0xDC00 && *low <= 0xDFFF) {
                AppendUtf8(out, 0x10000 + ((*unit - 0xD800) << 10) + (*low - 0xDC00));
                pos += 14;
                continue;
            }
        }
        if (*unit >= 0xD800 && *unit <= 0xDFFF) {
            out.append(text.substr(pos, 7));
        } else {
            AppendUtf8(out, *unit);
        }
        pos += 7;
    }
    return out;
}

namespace {

// At the start of a <si> or <is>, up to its end: plain text, or rich-text runs joined; phonetic runs are
// reading aids, not part of the text.
std::string ReadStringItem(TXmlStream& xml) {
    std::string text;
    if (xml.IsEmptyElement()) {
        return text;
    }
    const int depth = xml.Depth();
    int skipDepth = -1;
    int textDepth = -1;
    while (xml.Next()) {
        if (xml.Node() == TNode::End && xml.Depth() == depth) {
            break;
        }
        if (skipDepth >= 0) {
            if (xml.Node() == TNode::End && xml.Depth() == skipDepth) {
                skipDepth = -1;
            }
        } else if ((xml.IsStart("rPh") || xml.IsStart("phoneticPr")) && !xml.IsEmptyElement()) {
            skipDepth = xml.Depth();
        } else if (xml.IsStart("t") && !xml.IsEmptyElement()) {
            textDepth = xml.Depth();
        } else if (xml.Node() == TNode::End && xml.Depth() == textDepth) {
            textDepth = -1;
        } else if (xml.Node() == TNode::Text && textDepth >= 0) {
            text += xml.Text();
        }
    }
    return DecodeEscapes(text);
}

// Parses "B12" into zero-based row and column.
bool ParseCellRef(std::string_view ref, int& row, int& column) {
    size_t pos = 0;
    int col = 0;
    while (pos < ref.size() && pos < 3 &&
           ((ref[pos] >= 'A' && ref[pos] <= 'Z') || (ref[pos] >= 'a' && ref[pos] <= 'z'))) {
        col = col * 26 + ((ref[pos] | 0x20) - 'a' + 1);
        ++pos;
    }
    int number = 0;
    const auto [end, ec] = std::from_chars(ref.data() + pos, ref.data() + ref.size(), number);
    if (pos == 0 || ec != std::errc() || end != ref.data() + ref.size() || number < 1 ||
        number > kMaxSheetRows || col > kMaxSheetColumns) {
        return false;
    }
    row = number - 1;
    column = col - 1;
    return true;
}

bool ParseNumber(std::string_view text, double& value) {
    while (!text.empty() &&
           (text.front() == ' ' || text.front() == '\t' || text.front() == '\n' || text.front() == '\r')) {
        text.remove_prefix(1);
    }
    while (!text.empty() &&
           (text.back() == ' ' || text.back() == '\t' || text.back() == '\n' || text.back() == '\r')) {
        text.remove_suffix(1);
    }
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && ec == std::errc() && end == text.data() + text.size() && std::isfinite(value);
}

// A row without a number follows the one before it.
int RowNumber(const std::optional<std::string>& r, int previous) {
    if (!r) {
        if (previous + 1 >= kMaxSheetRows) {
            throw TBadWorkbook("the sheet has more rows than a worksheet can hold");
        }
        return previous + 1;
    }
    int number = 0;
    const auto [end, ec] = std::from_chars(r->data(), r->data() + r->size(), number);
    if (ec != std::errc() || end != r->data() + r->size() || number < 1 || number > kMaxSheetRows) {
        throw TBadWorkbook("a row has the number \"" + *r + "\", which no worksheet row has");
    }
    return number - 1;
}

// What a <c> element holds, read up to its end.
struct TRawCell {
    std::string Type = "n";
    size_t Style = 0;
    bool HasFormula = false;
    bool HasValue = false;
    std::string Value;
    bool HasInline = false;
    std::string Inline;
};

// A style that cannot be found is no date: a spreadsheet shows the number in its general form.
size_t StyleIndex(const std::optional<std::string>& s) {
    size_t index = 0;
    if (s && std::from_chars(s->data(), s->data() + s->size(), index).ptr != s->data() + s->size()) {
        return SIZE_MAX;
    }
    return index;
}

TRawCell ReadRawCell(TXmlStream& xml) {
    TRawCell raw;
    raw.Type = xml.Attribute("t").value_or("n");
    raw.Style = StyleIndex(xml.Attribute("s"));
    if (xml.IsEmptyElement()) {
        return raw;
    }
    const int depth = xml.Depth();
    int valueDepth = -1;
    while (xml.Next()) {
        if (xml.Node() == TNode::End && xml.Depth() == depth) {
            break;
        }
        if (xml.IsStart("f")) {
            raw.HasFormula = true;
        } else if (xml.IsStart("v")) {
            raw.HasValue = true;
            valueDepth = xml.IsEmptyElement() ? -1 : xml.Depth();
        } else if (xml.IsStart("is")) {
            raw.HasInline = true;
            raw.Inline = ReadStringItem(xml);
        } else if (xml.Node() == TNode::End && xml.Depth() == valueDepth) {
            valueDepth = -1;
        } else if (xml.Node() == TNode::Text && valueDepth >= 0) {
            raw.Value += xml.Text();
        }
    }
    return raw;
}

TSheetCell ToCell(const TRawCell& raw, const std::vector<std::string>& strings, const TCellStyles& styles,
                  int row, int column) {
    const auto where = [&] { return "cell " + CellName(row, column); };
    const std::string& type = raw.Type;
    const std::string& value = raw.Value;
    TSheetCell cell;
    if (type == "inlineStr") {
        if (raw.HasInline) {
            cell.Kind = TSheetCell::TKind::String;
            cell.Text = raw.Inline;
        }
        return cell;
    }
    // An empty <v> is a cached empty text only for a text result; elsewhere it stands for no value.
    if (!raw.HasValue || (value.empty() && type != "str")) {
        if (raw.HasFormula) {
            throw TBadWorkbook(
                "the formula in " + where() +
                " has no stored result; open the workbook in a spreadsheet program and save it "
                "again");
        }
        return cell;
    }
    if (type == "e") {
        throw TBadWorkbook(where() + " holds the error value " + value);
    }
    if (type == "s") {
        size_t index = 0;
        const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), index);
        if (ec != std::errc() || end != value.data() + value.size() || index >= strings.size()) {
            throw TBadWorkbook(where() + " refers to a shared string that does not exist");
        }
        cell.Kind = TSheetCell::TKind::String;
        cell.Text = strings[index];
    } else if (type == "str") {
        cell.Kind = TSheetCell::TKind::String;
        cell.Text = DecodeEscapes(value);
    } else if (type == "d") {
        cell.Kind = TSheetCell::TKind::Date; // an ISO 8601 date, as the strict dialect stores one
        cell.Text = DecodeEscapes(value);
    } else if (type == "b") {
        if (value != "0" && value != "1" && value != "true" && value != "false") {
            throw TBadWorkbook(where() + " holds \"" + value + "\", which is not a boolean");
        }
        cell.Kind = TSheetCell::TKind::Bool;
        cell.Bool = value == "1" || value == "true";
    } else if (type == "n") {
        if (!ParseNumber(value, cell.Number)) {
            throw TBadWorkbook(where() + " holds \"" + value + "\", which is not a number");
        }
        cell.Kind = TSheetCell::TKind::Number;
        if (styles.IsDate(raw.Style)) {
            cell.Kind = TSheetCell::TKind::Date;
            cell.Text = DateSerialText(cell.Number, styles.Date1904, value);
        }
    } else {
        throw TBadWorkbook(where() + " has the unknown type \"" + type + "\"");
    }
    return cell;
}

} // namespace

std::vector<std::string> ReadSharedStrings(const std::string& xml, const std::string& partName) {
    TXmlStream stream(xml, partName);
    std::vector<std::string> strings;
    while (stream.Next()) {
        if (stream.IsStart("si")) {
            strings.push_back(ReadStringItem(stream));
        }
    }
    return strings;
}

void ReadSheetCells(const std::string& xml, const std::string& partName,
                    const std::vector<std::string>& strings, const TCellStyles& styles,
                    TSheetBuilder& builder) {
    TXmlStream stream(xml, partName);
    bool inData = false;
    int row = -1;
    int column = -1;
    while (stream.Next()) {
        if (stream.IsStart("sheetData")) {
            inData = !stream.IsEmptyElement();
        } else if (stream.IsEnd("sheetData")) {
            inData = false;
        } else if (!inData) {
            continue;
        } else if (stream.IsStart("row")) {
            row = RowNumber(stream.Attribute("r"), row);
            column = -1;
        } else if (stream.IsStart("c")) {
            // A cell without a reference follows the one before it in its row.
            int cellRow = std::max(row, 0);
            if (const std::optional<std::string> r = stream.Attribute("r")) {
                if (!ParseCellRef(*r, cellRow, column)) {
                    throw TBadWorkbook("a cell has the reference \"" + *r + "\", which names no cell");
                }
            } else if (++column >= kMaxSheetColumns) {
                throw TBadWorkbook("row " + std::to_string(cellRow + 1) +
                                   " has more cells than a worksheet can hold");
            }
            builder.Set(cellRow, column, ToCell(ReadRawCell(stream), strings, styles, cellRow, column));
        }
    }
}

} // namespace kw::sheetread

// Office Open XML workbooks: the package's relationships lead from the root to the workbook, from the
// workbook to its sheets and shared strings. Elements are matched by local name, so the transitional and
// the strict namespaces and any prefix read alike.

#include "gamecfg/CodePage.h"
#include "interchange/SheetReaders.h"
#include "interchange/ZipArchive.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace kw::sheetread {
namespace {

constexpr int kMaxSheetRows = 1048576;
constexpr int kMaxSheetColumns = 16384;

struct TDocFree {
    void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};
using TDocPtr = std::unique_ptr<xmlDoc, TDocFree>;

struct TParseError {
    std::string Text;
    int Line = 0;
};

void KeepFirstError(void* userData, xmlError* error) {
    auto* ctxt = static_cast<xmlParserCtxt*>(userData);
    auto* result = static_cast<TParseError*>(ctxt->_private);
    if (error == nullptr || error->level < XML_ERR_ERROR || !result->Text.empty()) {
        return;
    }
    std::string message = error->message != nullptr ? error->message : "";
    while (!message.empty() && static_cast<unsigned char>(message.back()) <= ' ') {
        message.pop_back();
    }
    result->Text = message.empty() ? "malformed XML" : message;
    result->Line = error->line;
}

// Parts never carry a document type; refusing one keeps entity expansion out of reach.
TDocPtr ParsePart(const std::string& bytes, const std::string& partName) {
    if (bytes.size() > static_cast<size_t>(INT32_MAX)) {
        throw TBadWorkbook("the part \"" + partName + "\" is too large");
    }
    TParseError error;
    std::unique_ptr<xmlParserCtxt, decltype(&xmlFreeParserCtxt)> ctxt(xmlNewParserCtxt(), &xmlFreeParserCtxt);
    if (!ctxt) {
        throw std::bad_alloc();
    }
    ctxt->_private = &error;
    ctxt->userData = ctxt.get();
    ctxt->sax->serror = KeepFirstError;
    TDocPtr doc(xmlCtxtReadMemory(ctxt.get(), bytes.data(), static_cast<int>(bytes.size()), partName.c_str(),
                                  nullptr, XML_PARSE_NONET));
    if (!doc || xmlDocGetRootElement(doc.get()) == nullptr) {
        throw TBadWorkbook("the XML of the part \"" + partName + "\" is damaged" +
                           (error.Text.empty()
                                ? std::string()
                                : " (line " + std::to_string(error.Line) + ": " + error.Text + ")"));
    }
    if (doc->intSubset != nullptr || doc->extSubset != nullptr) {
        throw TBadWorkbook("the part \"" + partName +
                           "\" declares a document type, which a workbook never does");
    }
    return doc;
}

bool IsElement(const xmlNode* node, const char* localName) {
    return node->type == XML_ELEMENT_NODE &&
           std::strcmp(reinterpret_cast<const char*>(node->name), localName) == 0;
}

const xmlNode* FirstChild(const xmlNode* parent, const char* localName) {
    for (const xmlNode* child = parent->children; child != nullptr; child = child->next) {
        if (IsElement(child, localName)) {
            return child;
        }
    }
    return nullptr;
}

// An attribute by local name; withNamespace picks "r:id" over a plain "id".
std::optional<std::string> Attribute(const xmlNode* node, const char* localName, bool withNamespace = false) {
    for (const xmlAttr* attr = node->properties; attr != nullptr; attr = attr->next) {
        if (std::strcmp(reinterpret_cast<const char*>(attr->name), localName) != 0 ||
            (attr->ns != nullptr) != withNamespace) {
            continue;
        }
        std::string value;
        for (const xmlNode* text = attr->children; text != nullptr; text = text->next) {
            if (text->content != nullptr) {
                value += reinterpret_cast<const char*>(text->content);
            }
        }
        return value;
    }
    return std::nullopt;
}

// The character data of an element, without looking into child elements.
std::string OwnText(const xmlNode* node) {
    std::string text;
    for (const xmlNode* child = node->children; child != nullptr; child = child->next) {
        if ((child->type == XML_TEXT_NODE || child->type == XML_CDATA_SECTION_NODE) &&
            child->content != nullptr) {
            text += reinterpret_cast<const char*>(child->content);
        }
    }
    return text;
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

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

// Spreadsheets write characters XML cannot carry (and a literal "_x" sequence, as "_x005F_x") as "_xHHHH_".
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

// A string item (<si> or <is>): plain text, or rich-text runs joined; phonetic runs are reading aids, not
// part of the text.
std::string StringItemText(const xmlNode* item) {
    std::string text;
    for (const xmlNode* child = item->children; child != nullptr; child = child->next) {
        if (IsElement(child, "t")) {
            text += OwnText(child);
        } else if (IsElement(child, "r")) {
            if (const xmlNode* t = FirstChild(child, "t")) {
                text += OwnText(t);
            }
        }
    }
    return DecodeEscapes(text);
}

struct TRelationship {
    std::string Type;
    std::string Target; // a part name, resolved
    bool External = false;
};

std::string FolderOf(const std::string& partName) {
    const size_t slash = partName.rfind('/');
    return slash == std::string::npos ? std::string() : partName.substr(0, slash + 1);
}

std::string PercentDecoded(const std::string& text) {
    std::string out;
    for (size_t pos = 0; pos < text.size(); ++pos) {
        unsigned value = 0;
        if (text[pos] == '%' && pos + 2 < text.size() &&
            std::from_chars(text.data() + pos + 1, text.data() + pos + 3, value, 16).ptr ==
                text.data() + pos + 3) {
            out += static_cast<char>(value);
            pos += 2;
        } else {
            out += text[pos];
        }
    }
    return out;
}

// A target relative to the source part's folder, or absolute from the package root.
std::string ResolveTarget(const std::string& sourcePart, const std::string& target) {
    std::string path = PercentDecoded(target);
    std::replace(path.begin(), path.end(), '\\', '/');
    if (!path.starts_with('/')) {
        path = FolderOf(sourcePart) + path;
    }
    std::vector<std::string> segments;
    size_t start = 0;
    while (start <= path.size()) {
        const size_t slash = std::min(path.find('/', start), path.size());
        const std::string segment = path.substr(start, slash - start);
        if (segment == "..") {
            if (!segments.empty()) {
                segments.pop_back();
            }
        } else if (!segment.empty() && segment != ".") {
            segments.push_back(segment);
        }
        start = slash + 1;
    }
    std::string resolved;
    for (const std::string& segment : segments) {
        resolved += (resolved.empty() ? "" : "/") + segment;
    }
    return resolved;
}

bool TypeIs(const std::string& type, const char* kind) {
    return type.ends_with(std::string("/") + kind);
}

class TPackage {
public:
    TPackage(const std::string& bytes, const TReadLimits& limits) : zip_(bytes, limits.MaxPartBytes) {}

    bool Has(const std::string& part) const { return zip_.Has(part); }
    TDocPtr Parse(const std::string& part) const { return ParsePart(zip_.Read(part), part); }

    // The relationships of a part by id; none when the part has no relationships part.
    std::map<std::string, TRelationship> Relationships(const std::string& sourcePart) const {
        const std::string folder = FolderOf(sourcePart);
        const std::string relsPart = folder + "_rels/" + sourcePart.substr(folder.size()) + ".rels";
        std::map<std::string, TRelationship> result;
        if (!zip_.Has(relsPart)) {
            return result;
        }
        const TDocPtr doc = Parse(relsPart);
        for (const xmlNode* node = xmlDocGetRootElement(doc.get())->children; node != nullptr;
             node = node->next) {
            if (!IsElement(node, "Relationship")) {
                continue;
            }
            TRelationship rel;
            rel.Type = Attribute(node, "Type").value_or("");
            rel.External = Attribute(node, "TargetMode").value_or("") == "External";
            rel.Target = ResolveTarget(sourcePart, Attribute(node, "Target").value_or(""));
            result.emplace(Attribute(node, "Id").value_or(""), std::move(rel));
        }
        return result;
    }

private:
    TZipArchive zip_;
};

std::string WorkbookPart(const TPackage& package) {
    for (const auto& [id, rel] : package.Relationships("")) {
        if (TypeIs(rel.Type, "officeDocument") && !rel.External && package.Has(rel.Target)) {
            return rel.Target;
        }
    }
    if (package.Has("xl/workbook.xml")) {
        return "xl/workbook.xml";
    }
    throw TBadWorkbook("the archive holds no workbook");
}

struct TSheetRef {
    std::string Name;
    std::string Part;
};

// The first worksheet in the workbook's order, which is not the order of the parts in the archive; chart
// sheets and other sheet kinds hold no cells and are passed over.
TSheetRef FirstWorksheet(const TPackage& package, const std::string& workbookPart,
                         const std::map<std::string, TRelationship>& rels) {
    const TDocPtr doc = package.Parse(workbookPart);
    const xmlNode* sheets = FirstChild(xmlDocGetRootElement(doc.get()), "sheets");
    for (const xmlNode* node = sheets != nullptr ? sheets->children : nullptr; node != nullptr;
         node = node->next) {
        if (!IsElement(node, "sheet")) {
            continue;
        }
        const auto rel = rels.find(Attribute(node, "id", true).value_or(""));
        if (rel == rels.end() || rel->second.External || !TypeIs(rel->second.Type, "worksheet")) {
            continue;
        }
        const std::string name = DecodeEscapes(Attribute(node, "name").value_or(""));
        if (!package.Has(rel->second.Target)) {
            throw TBadWorkbook("the sheet \"" + name + "\" is missing from the archive (part \"" +
                               rel->second.Target + "\")");
        }
        return {name, rel->second.Target};
    }
    throw TBadWorkbook("the workbook holds no worksheet");
}

std::vector<std::string> SharedStrings(const TPackage& package,
                                       const std::map<std::string, TRelationship>& rels) {
    std::vector<std::string> strings;
    for (const auto& [id, rel] : rels) {
        if (!TypeIs(rel.Type, "sharedStrings") || rel.External || !package.Has(rel.Target)) {
            continue;
        }
        const TDocPtr doc = package.Parse(rel.Target);
        for (const xmlNode* si = xmlDocGetRootElement(doc.get())->children; si != nullptr; si = si->next) {
            if (IsElement(si, "si")) {
                strings.push_back(StringItemText(si));
            }
        }
        break;
    }
    return strings;
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

class TSheetParser {
public:
    TSheetParser(const std::vector<std::string>& strings, const TReadLimits& limits)
        : strings_(strings), builder_(limits) {}

    void Read(const xmlNode* worksheet) {
        const xmlNode* data = FirstChild(worksheet, "sheetData");
        int row = -1;
        for (const xmlNode* node = data != nullptr ? data->children : nullptr; node != nullptr;
             node = node->next) {
            if (!IsElement(node, "row")) {
                continue;
            }
            row = RowNumber(node, row);
            ReadRow(node, row);
        }
    }

    void Finish(TSheet& sheet, std::string name) { builder_.Finish(sheet, std::move(name)); }

private:
    const std::vector<std::string>& strings_;
    TSheetBuilder builder_;

    // A row without a number follows the one before it.
    static int RowNumber(const xmlNode* node, int previous) {
        const std::optional<std::string> r = Attribute(node, "r");
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

    // A cell without a reference follows the one before it in its row.
    void ReadRow(const xmlNode* rowNode, int row) {
        int column = -1;
        for (const xmlNode* node = rowNode->children; node != nullptr; node = node->next) {
            if (!IsElement(node, "c")) {
                continue;
            }
            int cellRow = row;
            if (const std::optional<std::string> r = Attribute(node, "r")) {
                if (!ParseCellRef(*r, cellRow, column)) {
                    throw TBadWorkbook("a cell has the reference \"" + *r + "\", which names no cell");
                }
            } else if (++column >= kMaxSheetColumns) {
                throw TBadWorkbook("row " + std::to_string(row + 1) +
                                   " has more cells than a worksheet can hold");
            }
            builder_.Set(cellRow, column, CellValue(node, cellRow, column));
        }
    }

    TSheetCell CellValue(const xmlNode* node, int row, int column) const {
        const std::string type = Attribute(node, "t").value_or("n");
        const xmlNode* v = FirstChild(node, "v");
        const std::string where = "cell " + CellName(row, column);
        TSheetCell cell;
        if (type == "inlineStr") {
            if (const xmlNode* is = FirstChild(node, "is")) {
                cell.Kind = TSheetCell::TKind::String;
                cell.Text = StringItemText(is);
            }
            return cell;
        }
        // An empty <v> is a cached empty text only for a text result; elsewhere it stands for no value.
        const std::string value = v != nullptr ? OwnText(v) : std::string();
        if (v == nullptr || (value.empty() && type != "str")) {
            if (FirstChild(node, "f") != nullptr) {
                throw TBadWorkbook(
                    "the formula in " + where +
                    " has no stored result; open the workbook in a spreadsheet program and save it "
                    "again");
            }
            return cell;
        }
        if (type == "e") {
            throw TBadWorkbook(where + " holds the error value " + value);
        }
        if (type == "s") {
            size_t index = 0;
            const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), index);
            if (ec != std::errc() || end != value.data() + value.size() || index >= strings_.size()) {
                throw TBadWorkbook(where + " refers to a shared string that does not exist");
            }
            cell.Kind = TSheetCell::TKind::String;
            cell.Text = strings_[index];
        } else if (type == "str" || type == "d") {
            cell.Kind = TSheetCell::TKind::String;
            cell.Text = DecodeEscapes(value);
        } else if (type == "b") {
            if (value != "0" && value != "1" && value != "true" && value != "false") {
                throw TBadWorkbook(where + " holds \"" + value + "\", which is not a boolean");
            }
            cell.Kind = TSheetCell::TKind::Bool;
            cell.Bool = value == "1" || value == "true";
        } else if (type == "n") {
            if (!ParseNumber(value, cell.Number)) {
                throw TBadWorkbook(where + " holds \"" + value + "\", which is not a number");
            }
            cell.Kind = TSheetCell::TKind::Number;
        } else {
            throw TBadWorkbook(where + " has the unknown type \"" + type + "\"");
        }
        return cell;
    }
};

} // namespace

void ReadXlsx(const std::string& bytes, TSheet& sheet, const TReadLimits& limits) {
    xmlInitParser();
    const TPackage package(bytes, limits);
    const std::string workbookPart = WorkbookPart(package);
    const std::map<std::string, TRelationship> rels = package.Relationships(workbookPart);
    const TSheetRef first = FirstWorksheet(package, workbookPart, rels);
    const std::vector<std::string> strings = SharedStrings(package, rels);
    const TDocPtr doc = package.Parse(first.Part);
    TSheetParser parser(strings, limits);
    parser.Read(xmlDocGetRootElement(doc.get()));
    parser.Finish(sheet, first.Name);
}

} // namespace kw::sheetread

// Office Open XML workbooks: the package's relationships lead from the root to the workbook, from the
// workbook to its sheets and shared strings. These small parts are read as trees, the cells as a stream.
// Elements are matched by local name, so the transitional and the strict namespaces and any prefix read
// alike.

#include "interchange/SheetReaders.h"
#include "interchange/XlsxCells.h"
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
    TPackage(const std::string& bytes, const TReadLimits& limits) : FZip(bytes, limits.MaxPartBytes) {}

    bool Has(const std::string& part) const { return FZip.Has(part); }
    std::string Read(const std::string& part) const { return FZip.Read(part); }
    TDocPtr Parse(const std::string& part) const { return ParsePart(FZip.Read(part), part); }

    // The relationships of a part by id; none when the part has no relationships part.
    std::map<std::string, TRelationship> Relationships(const std::string& sourcePart) const {
        const std::string folder = FolderOf(sourcePart);
        const std::string relsPart = folder + "_rels/" + sourcePart.substr(folder.size()) + ".rels";
        std::map<std::string, TRelationship> result;
        if (!FZip.Has(relsPart)) {
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
    TZipArchive FZip;
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
    bool Date1904 = false;
};

// The workbook's date system: a date number counts days from 1904 instead of 1900.
bool UsesDate1904(const xmlNode* workbook) {
    const xmlNode* properties = FirstChild(workbook, "workbookPr");
    const std::string value = properties != nullptr ? Attribute(properties, "date1904").value_or("") : "";
    return value == "1" || value == "true";
}

// The first worksheet in the workbook's order, which is not the order of the parts in the archive; chart
// sheets and other sheet kinds hold no cells and are passed over.
TSheetRef FirstWorksheet(const TPackage& package, const std::string& workbookPart,
                         const std::map<std::string, TRelationship>& rels) {
    const TDocPtr doc = package.Parse(workbookPart);
    const xmlNode* root = xmlDocGetRootElement(doc.get());
    const xmlNode* sheets = FirstChild(root, "sheets");
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
        return {name, rel->second.Target, UsesDate1904(root)};
    }
    throw TBadWorkbook("the workbook holds no worksheet");
}

} // namespace

void ReadXlsx(const std::string& bytes, TSheet& sheet, const TReadLimits& limits) {
    xmlInitParser();
    const TPackage package(bytes, limits);
    const std::string workbookPart = WorkbookPart(package);
    const std::map<std::string, TRelationship> rels = package.Relationships(workbookPart);
    const TSheetRef first = FirstWorksheet(package, workbookPart, rels);
    std::vector<std::string> strings;
    TCellStyles styles;
    styles.Date1904 = first.Date1904;
    bool stringsRead = false;
    bool stylesRead = false;
    for (const auto& [id, rel] : rels) {
        if (rel.External || !package.Has(rel.Target)) {
            continue;
        }
        if (TypeIs(rel.Type, "sharedStrings") && !stringsRead) {
            strings = ReadSharedStrings(package.Read(rel.Target), rel.Target);
            stringsRead = true;
        } else if (TypeIs(rel.Type, "styles") && !stylesRead) {
            // Without a styles part no number shows as a date.
            styles.DateStyles = ReadDateStyles(package.Read(rel.Target), rel.Target);
            stylesRead = true;
        }
    }
    TSheetBuilder builder(limits);
    ReadSheetCells(package.Read(first.Part), first.Part, strings, styles, builder);
    builder.Finish(sheet, first.Name);
}

} // namespace kw::sheetread

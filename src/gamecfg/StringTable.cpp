#include "gamecfg/StringTable.h"

#include "gamecfg/CodePage.h"
#include "gamecfg/Error.h"
#include "gamecfg/FileSys.h"

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>
#include <libxml/xmlreader.h>

#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <utility>

namespace kw {

namespace {

uint32_t IdHash(std::string_view id) {
    return static_cast<uint32_t>(std::hash<std::string_view>{}(id));
}

} // namespace

void TStringTable::Clear() {
    FLines.clear();
    FTexts.clear();
    FFirstIndexOfId = FlatIndex();
}

void TStringTable::Append(std::string id, std::string text) {
    // The line is what counts, not the two halves it was built from: an id
    // holding "=" splits at that "=" like any other line would.
    const std::size_t eq = id.find('=');
    const std::string_view idPart = std::string_view(id).substr(0, eq);
    TLine line{FTexts.size(), idPart.size(), 0};
    FTexts += idPart;
    if (eq != std::string::npos) {
        FTexts.append(id, eq + 1).append("=");
    }
    FTexts += text;
    line.TextSize = FTexts.size() - line.Start - line.IdSize;
    if (Find(idPart) < 0) {
        FFirstIndexOfId.Insert(IdHash(idPart), FLines.size());
    }
    FLines.push_back(line);
}

int TStringTable::Count() const {
    return static_cast<int>(FLines.size());
}

std::string TStringTable::Line(int index) const {
    const TLine& line = FLines.at(index);
    return std::string(IdPartOf(line)).append("=").append(TextOf(line));
}

std::string_view TStringTable::Text(int index) const {
    return TextOf(FLines.at(index));
}

int TStringTable::IndexOfStringId(const std::string& id) const {
    return Find(id);
}

int TStringTable::Find(std::string_view id) const {
    const size_t found =
        FFirstIndexOfId.Find(IdHash(id), [&](size_t i) { return IdPartOf(FLines[i]) == id; });
    return found == FlatIndex::npos ? -1 : static_cast<int>(found);
}

std::string_view TStringTable::IdPartOf(const TLine& line) const {
    return std::string_view(FTexts).substr(line.Start, line.IdSize);
}

std::string_view TStringTable::TextOf(const TLine& line) const {
    return std::string_view(FTexts).substr(line.Start + line.IdSize, line.TextSize);
}

namespace {

struct TReaderFree {
    void operator()(xmlTextReader* reader) const { xmlFreeTextReader(reader); }
};
struct TDocFree {
    void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};
struct TCtxtFree {
    void operator()(xmlParserCtxt* ctxt) const { xmlFreeParserCtxt(ctxt); }
};
struct TXmlCharFree {
    void operator()(xmlChar* text) const { xmlFree(text); }
};

struct TParseResult {
    bool Ok = false;
    std::string ErrorText;
    int ErrorLine = 0;
};

constexpr int kParseOptions = XML_PARSE_NOBLANKS | XML_PARSE_NONET;

// Keeps the first error of a parse instead of letting libxml2 print it.
void CollectError(void* userData, xmlError* error) {
    auto* result = static_cast<TParseResult*>(userData);
    if (error == nullptr || error->level < XML_ERR_ERROR || !result->ErrorText.empty()) {
        return;
    }
    std::string message = error->message != nullptr ? error->message : "";
    while (!message.empty() && static_cast<unsigned char>(message.back()) <= ' ') {
        message.pop_back();
    }
    result->ErrorText = message.empty() ? "malformed XML" : message;
    result->ErrorLine = error->line;
}

void CollectContextError(void* userData, xmlError* error) {
    CollectError(static_cast<xmlParserCtxt*>(userData)->_private, error);
}

void AppendEntry(TStringTable& table, const xmlNode* node);

// Reads the document one child of the root at a time, each built as the whole document's tree would hold
// it and freed once its entry is taken, so that a large table never stands in memory as a tree. False,
// with whatever entries came before, when the document is not well-formed.
bool ReadEntryByEntry(TStringTable& table, const std::string& bytes, const std::string& url,
                      int extraOptions) {
    std::unique_ptr<xmlTextReader, TReaderFree> reader(xmlReaderForMemory(
        bytes.data(), static_cast<int>(bytes.size()), url.c_str(), nullptr, kParseOptions | extraOptions));
    if (!reader) {
        throw Error("Out of memory while reading " + url);
    }
    TParseResult ignored;
    xmlTextReaderSetStructuredErrorHandler(reader.get(), CollectError, &ignored);
    int status = xmlTextReaderRead(reader.get());
    while (status == 1) {
        if (xmlTextReaderDepth(reader.get()) == 1 &&
            xmlTextReaderNodeType(reader.get()) == XML_READER_TYPE_ELEMENT) {
            const xmlNode* entry = xmlTextReaderExpand(reader.get());
            if (entry == nullptr) {
                return false;
            }
            AppendEntry(table, entry);
            status = xmlTextReaderNext(reader.get());
        } else {
            status = xmlTextReaderRead(reader.get());
        }
    }
    return status == 0;
}

// The whole document as one tree: what a table that the reader refused is judged by, so that a broken
// table is reported as the full parse sees it, naming the fault and its line.
TParseResult ReadWholeDocument(TStringTable& table, const std::string& bytes, const std::string& url,
                               int extraOptions) {
    TParseResult result;
    std::unique_ptr<xmlParserCtxt, TCtxtFree> ctxt(xmlNewParserCtxt());
    if (!ctxt) {
        throw Error("Out of memory while reading " + url);
    }
    ctxt->_private = &result;
    ctxt->userData = ctxt.get();
    ctxt->sax->serror = CollectContextError;
    const std::unique_ptr<xmlDoc, TDocFree> doc(xmlCtxtReadMemory(ctxt.get(), bytes.data(),
                                                                  static_cast<int>(bytes.size()), url.c_str(),
                                                                  nullptr, kParseOptions | extraOptions));
    result.Ok = doc != nullptr;
    if (!result.Ok && result.ErrorText.empty()) {
        result.ErrorText = "not a well-formed XML document";
    }
    const xmlNode* root = doc ? xmlDocGetRootElement(doc.get()) : nullptr;
    for (const xmlNode* node = root ? root->children : nullptr; node != nullptr; node = node->next) {
        AppendEntry(table, node);
    }
    return result;
}

// Leaves the table empty when the document is not well-formed.
TParseResult ParseXml(TStringTable& table, const std::string& bytes, const std::string& url,
                      int extraOptions = 0) {
    if (ReadEntryByEntry(table, bytes, url, extraOptions)) {
        return {true, {}, 0};
    }
    table.Clear();
    return ReadWholeDocument(table, bytes, url, extraOptions);
}

// The encoding named by the XML declaration, in lower case; empty without one.
std::string DeclaredEncoding(std::string_view bytes) {
    if (!bytes.starts_with("<?xml")) {
        return {};
    }
    const std::string_view declaration = bytes.substr(0, bytes.find("?>"));
    const std::size_t name = declaration.find("encoding");
    const std::size_t open = declaration.find_first_of("\"'", name);
    if (name == std::string_view::npos || open == std::string_view::npos) {
        return {};
    }
    const std::size_t close = declaration.find(declaration[open], open + 1);
    std::string encoding(
        declaration.substr(open + 1, close == std::string_view::npos ? 0 : close - open - 1));
    for (char& c : encoding) {
        c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return encoding;
}

bool HasEncodingDeclaration(std::string_view bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        bytes.remove_prefix(3);
    }
    if (!bytes.starts_with("<?xml")) {
        return false;
    }
    const std::string_view declaration = bytes.substr(0, bytes.find("?>"));
    return declaration.find("encoding") != std::string_view::npos;
}

// Our own table converts the game's code page several times faster than the
// parser's general converter, and the parser then reads plain UTF-8.
TParseResult ParseCp1251(TStringTable& table, const std::string& bytes, const std::string& url) {
    return ParseXml(table, Cp1251ToUtf8(bytes), url, XML_PARSE_IGNORE_ENC);
}

// The game reads undeclared single-byte tables, and mods ship many of them.
TParseResult ParseStringTableFile(TStringTable& table, const std::string& bytes, const std::string& url) {
    const std::string declared = DeclaredEncoding(bytes);
    if (declared == "windows-1251" || declared == "cp1251") {
        return ParseCp1251(table, bytes, url);
    }
    TParseResult result = ParseXml(table, bytes, url);
    if (!result.Ok && !HasEncodingDeclaration(bytes) && !IsValidUtf8(bytes)) {
        result = ParseCp1251(table, bytes, url);
    }
    return result;
}

std::optional<std::string> TextOfTextNode(const xmlNode* node) {
    if (node->type != XML_TEXT_NODE && node->type != XML_CDATA_SECTION_NODE) {
        return std::nullopt;
    }
    return std::string(node->content != nullptr ? reinterpret_cast<const char*>(node->content) : "");
}

// An element child counts only when it holds exactly one text node.
std::optional<std::string> TextOfFirstChild(const xmlNode* first) {
    if (first->type != XML_ELEMENT_NODE) {
        return TextOfTextNode(first);
    }
    const xmlNode* inner = first->children;
    if (inner == nullptr || inner->next != nullptr) {
        return std::nullopt;
    }
    return TextOfTextNode(inner);
}

// Blanks alone make no name: such an entry shows its id, as with an empty text.
bool IsBlankText(std::string_view text) {
    return text.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

std::string WithLineBreaks(std::string text) {
    for (std::size_t pos = text.find("\\n"); pos != std::string::npos; pos = text.find("\\n", pos + 2)) {
        text.replace(pos, 2, "\r\n");
    }
    return text;
}

// An id written in the entry is read in place; one the DTD supplies, or one built of entities, is put
// together by the parser.
std::string IdOf(const xmlNode* node, const xmlAttr* written) {
    if (written->type == XML_ATTRIBUTE_NODE && written->children != nullptr &&
        written->children->next == nullptr && written->children->type == XML_TEXT_NODE &&
        written->children->content != nullptr) {
        return reinterpret_cast<const char*>(written->children->content);
    }
    std::unique_ptr<xmlChar, TXmlCharFree> id(xmlGetNoNsProp(node, BAD_CAST "id"));
    return id ? reinterpret_cast<const char*>(id.get()) : "";
}

void AppendEntry(TStringTable& table, const xmlNode* node) {
    if (node->type != XML_ELEMENT_NODE || node->children == nullptr) {
        return;
    }
    const xmlAttr* id = xmlHasNsProp(node, BAD_CAST "id", nullptr);
    if (id == nullptr) {
        return;
    }
    std::optional<std::string> text = TextOfFirstChild(node->children);
    if (!text || IsBlankText(*text)) {
        return;
    }
    table.Append(IdOf(node, id), WithLineBreaks(std::move(*text)));
}

} // namespace

void LoadStringTable(TStringTable& table, const std::string& path) {
    table.Clear();
    if (!fs::FileExists(path)) {
        return;
    }
    const std::string shownPath = fs::Resolve(path);
    const std::optional<std::string> bytes = fs::ReadFile(path);
    if (!bytes) {
        throw Error("Unable to read " + shownPath);
    }
    xmlInitParser();
    const TParseResult parsed = ParseStringTableFile(table, *bytes, shownPath);
    if (!parsed.Ok) {
        throw Error(shownPath + ": line " + std::to_string(parsed.ErrorLine) + ": " + parsed.ErrorText);
    }
}

} // namespace kw

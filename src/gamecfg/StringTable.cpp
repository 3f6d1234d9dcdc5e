#include "gamecfg/StringTable.h"

#include "gamecfg/CodePage.h"
#include "gamecfg/Error.h"
#include "gamecfg/FileSys.h"

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>

#include <functional>
#include <memory>
#include <optional>
#include <string_view>

namespace kw {

namespace {

uint32_t IdHash(std::string_view id) {
    return static_cast<uint32_t>(std::hash<std::string_view>{}(id));
}

} // namespace

void TStringTable::Clear() {
    lines.clear();
    firstIndexOfId = FlatIndex();
}

void TStringTable::Append(const std::string& id, const std::string& text) {
    // The line is what counts, not the two halves it was built from: an id
    // holding "=" splits at that "=" like any other line would.
    const std::size_t eq = id.find('=');
    TLine entry =
        eq == std::string::npos ? TLine{id, text} : TLine{id.substr(0, eq), id.substr(eq + 1) + "=" + text};
    if (IndexOfStringId(entry.IdPart) < 0) {
        firstIndexOfId.Insert(IdHash(entry.IdPart), lines.size());
    }
    lines.push_back(std::move(entry));
}

int TStringTable::Count() const {
    return static_cast<int>(lines.size());
}

std::string TStringTable::Line(int index) const {
    return lines.at(index).IdPart + "=" + lines.at(index).Text;
}

const std::string& TStringTable::Text(int index) const {
    return lines.at(index).Text;
}

int TStringTable::IndexOfStringId(const std::string& id) const {
    const size_t found = firstIndexOfId.Find(IdHash(id), [&](size_t i) { return lines[i].IdPart == id; });
    return found == FlatIndex::npos ? -1 : static_cast<int>(found);
}

namespace {

struct TDocFree {
    void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};
struct TCtxtFree {
    void operator()(xmlParserCtxt* ctxt) const { xmlFreeParserCtxt(ctxt); }
};
struct TXmlCharFree {
    void operator()(xmlChar* text) const { xmlFree(text); }
};
using TDocPtr = std::unique_ptr<xmlDoc, TDocFree>;

struct TParseResult {
    TDocPtr Doc;
    std::string ErrorText;
    int ErrorLine = 0;
};

// Keeps the first error of a parse instead of letting libxml2 print it.
void CollectError(void* userData, xmlError* error) {
    auto* ctxt = static_cast<xmlParserCtxt*>(userData);
    auto* result = static_cast<TParseResult*>(ctxt->_private);
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

TParseResult ParseXml(const std::string& bytes, const std::string& url, int extraOptions = 0) {
    TParseResult result;
    std::unique_ptr<xmlParserCtxt, TCtxtFree> ctxt(xmlNewParserCtxt());
    if (!ctxt) {
        throw Error("Out of memory while reading " + url);
    }
    ctxt->_private = &result;
    ctxt->userData = ctxt.get();
    ctxt->sax->serror = CollectError;
    result.Doc.reset(xmlCtxtReadMemory(ctxt.get(), bytes.data(), static_cast<int>(bytes.size()), url.c_str(),
                                       nullptr, XML_PARSE_NOBLANKS | XML_PARSE_NONET | extraOptions));
    if (!result.Doc && result.ErrorText.empty()) {
        result.ErrorText = "not a well-formed XML document";
    }
    return result;
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
TParseResult ParseCp1251(const std::string& bytes, const std::string& url) {
    return ParseXml(Cp1251ToUtf8(bytes), url, XML_PARSE_IGNORE_ENC);
}

// The game reads undeclared single-byte tables, and mods ship many of them.
TParseResult ParseStringTableFile(const std::string& bytes, const std::string& url) {
    const std::string declared = DeclaredEncoding(bytes);
    if (declared == "windows-1251" || declared == "cp1251") {
        return ParseCp1251(bytes, url);
    }
    TParseResult result = ParseXml(bytes, url);
    if (!result.Doc && !HasEncodingDeclaration(bytes) && !IsValidUtf8(bytes)) {
        result = ParseCp1251(bytes, url);
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

void AppendEntries(TStringTable& table, const xmlDoc* doc) {
    const xmlNode* root = xmlDocGetRootElement(doc);
    if (root == nullptr) {
        return;
    }
    for (const xmlNode* node = root->children; node != nullptr; node = node->next) {
        if (node->type != XML_ELEMENT_NODE || node->children == nullptr) {
            continue;
        }
        if (xmlHasNsProp(node, BAD_CAST "id", nullptr) == nullptr) {
            continue;
        }
        const std::optional<std::string> text = TextOfFirstChild(node->children);
        if (!text || IsBlankText(*text)) {
            continue;
        }
        std::unique_ptr<xmlChar, TXmlCharFree> id(xmlGetNoNsProp(node, BAD_CAST "id"));
        table.Append(id ? reinterpret_cast<const char*>(id.get()) : "", WithLineBreaks(*text));
    }
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
    const TParseResult parsed = ParseStringTableFile(*bytes, shownPath);
    if (!parsed.Doc) {
        throw Error(shownPath + ": line " + std::to_string(parsed.ErrorLine) + ": " + parsed.ErrorText);
    }
    AppendEntries(table, parsed.Doc.get());
}

} // namespace kw

#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

struct _xmlTextReader;
struct _xmlError;

// Reads a workbook part node by node, without building a tree: a sheet of a large grid stays small in
// memory and fast to read. Elements are compared by local name, so any namespace prefix reads alike. A
// malformed part or one that declares a document type is a sheetread::TBadWorkbook naming the part.
namespace kw::sheetread {

class TXmlStream {
public:
    enum class TNode { Start, End, Text, Other };

    TXmlStream(const std::string& bytes, const std::string& partName);
    ~TXmlStream();
    TXmlStream(const TXmlStream&) = delete;
    TXmlStream& operator=(const TXmlStream&) = delete;

    // The next node; false at the end of the part.
    bool Next();

    TNode Node() const { return FNode; }
    bool IsStart(const char* localName) const;
    bool IsEnd(const char* localName) const;
    // An element like <c/> has a Start and no End.
    bool IsEmptyElement() const;
    int Depth() const;
    std::string_view Text() const;
    // An attribute without namespace, by name.
    std::optional<std::string> Attribute(const char* name) const;

private:
    struct TFree {
        void operator()(_xmlTextReader* reader) const;
    };
    std::unique_ptr<_xmlTextReader, TFree> FReader;
    std::string FPartName;
    std::string FError;
    TNode FNode = TNode::Other;

    bool Advance(int status);
    static void KeepFirstError(void* stream, _xmlError* error);
};

} // namespace kw::sheetread

#include "interchange/XmlStream.h"

#include "interchange/SheetReaders.h"

#include <libxml/xmlreader.h>

#include <climits>
#include <cstring>

namespace kw::sheetread {

void TXmlStream::TFree::operator()(_xmlTextReader* reader) const {
    xmlFreeTextReader(reader);
}

void TXmlStream::KeepFirstError(void* stream, xmlError* error) {
    auto* self = static_cast<TXmlStream*>(stream);
    if (error == nullptr || error->level < XML_ERR_ERROR || !self->FError.empty()) {
        return;
    }
    std::string message = error->message != nullptr ? error->message : "";
    while (!message.empty() && static_cast<unsigned char>(message.back()) <= ' ') {
        message.pop_back();
    }
    self->FError =
        "line " + std::to_string(error->line) + ": " + (message.empty() ? "malformed XML" : message);
}

TXmlStream::TXmlStream(const std::string& bytes, const std::string& partName) : FPartName(partName) {
    if (bytes.size() > static_cast<size_t>(INT_MAX)) {
        throw TBadWorkbook("the part \"" + partName + "\" is too large");
    }
    xmlInitParser();
    FReader.reset(xmlReaderForMemory(bytes.data(), static_cast<int>(bytes.size()), partName.c_str(), nullptr,
                                     XML_PARSE_NONET));
    if (!FReader) {
        throw std::bad_alloc();
    }
    xmlTextReaderSetStructuredErrorHandler(FReader.get(), &TXmlStream::KeepFirstError, this);
}

TXmlStream::~TXmlStream() = default;

bool TXmlStream::Advance(int status) {
    if (status < 0 || !FError.empty()) {
        throw TBadWorkbook("the XML of the part \"" + FPartName + "\" is damaged" +
                           (FError.empty() ? std::string() : " (" + FError + ")"));
    }
    if (status == 0) {
        FNode = TNode::Other;
        return false;
    }
    switch (xmlTextReaderNodeType(FReader.get())) {
    case XML_READER_TYPE_ELEMENT:
        FNode = TNode::Start;
        break;
    case XML_READER_TYPE_END_ELEMENT:
        FNode = TNode::End;
        break;
    case XML_READER_TYPE_TEXT:
    case XML_READER_TYPE_CDATA:
    case XML_READER_TYPE_WHITESPACE:
    case XML_READER_TYPE_SIGNIFICANT_WHITESPACE:
        FNode = TNode::Text;
        break;
    case XML_READER_TYPE_DOCUMENT_TYPE:
    case XML_READER_TYPE_ENTITY_REFERENCE:
        // Parts never carry a document type; refusing one keeps entity expansion out of reach.
        throw TBadWorkbook("the part \"" + FPartName +
                           "\" declares a document type, which a workbook never does");
    default:
        FNode = TNode::Other;
        break;
    }
    return true;
}

bool TXmlStream::Next() {
    return Advance(xmlTextReaderRead(FReader.get()));
}

bool TXmlStream::IsStart(const char* localName) const {
    const xmlChar* name = xmlTextReaderConstLocalName(FReader.get());
    return FNode == TNode::Start && name != nullptr &&
           std::strcmp(reinterpret_cast<const char*>(name), localName) == 0;
}

bool TXmlStream::IsEnd(const char* localName) const {
    const xmlChar* name = xmlTextReaderConstLocalName(FReader.get());
    return FNode == TNode::End && name != nullptr &&
           std::strcmp(reinterpret_cast<const char*>(name), localName) == 0;
}

bool TXmlStream::IsEmptyElement() const {
    return xmlTextReaderIsEmptyElement(FReader.get()) == 1;
}

int TXmlStream::Depth() const {
    return xmlTextReaderDepth(FReader.get());
}

std::string_view TXmlStream::Text() const {
    const xmlChar* value = xmlTextReaderConstValue(FReader.get());
    return value == nullptr ? std::string_view() : std::string_view(reinterpret_cast<const char*>(value));
}

std::optional<std::string> TXmlStream::Attribute(const char* name) const {
    std::optional<std::string> found;
    for (int more = xmlTextReaderMoveToFirstAttribute(FReader.get()); more == 1;
         more = xmlTextReaderMoveToNextAttribute(FReader.get())) {
        const xmlChar* localName = xmlTextReaderConstLocalName(FReader.get());
        if (xmlTextReaderConstNamespaceUri(FReader.get()) == nullptr && localName != nullptr &&
            std::strcmp(reinterpret_cast<const char*>(localName), name) == 0) {
            const xmlChar* value = xmlTextReaderConstValue(FReader.get());
            found = value == nullptr ? std::string() : std::string(reinterpret_cast<const char*>(value));
            break;
        }
    }
    xmlTextReaderMoveToElement(FReader.get());
    return found;
}

} // namespace kw::sheetread

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
    if (error == nullptr || error->level < XML_ERR_ERROR || !self->error_.empty()) {
        return;
    }
    std::string message = error->message != nullptr ? error->message : "";
    while (!message.empty() && static_cast<unsigned char>(message.back()) <= ' ') {
        message.pop_back();
    }
    self->error_ =
        "line " + std::to_string(error->line) + ": " + (message.empty() ? "malformed XML" : message);
}

TXmlStream::TXmlStream(const std::string& bytes, const std::string& partName) : partName_(partName) {
    if (bytes.size() > static_cast<size_t>(INT_MAX)) {
        throw TBadWorkbook("the part \"" + partName + "\" is too large");
    }
    xmlInitParser();
    reader_.reset(xmlReaderForMemory(bytes.data(), static_cast<int>(bytes.size()), partName.c_str(), nullptr,
                                     XML_PARSE_NONET));
    if (!reader_) {
        throw std::bad_alloc();
    }
    xmlTextReaderSetStructuredErrorHandler(reader_.get(), &TXmlStream::KeepFirstError, this);
}

TXmlStream::~TXmlStream() = default;

bool TXmlStream::Advance(int status) {
    if (status < 0 || !error_.empty()) {
        throw TBadWorkbook("the XML of the part \"" + partName_ + "\" is damaged" +
                           (error_.empty() ? std::string() : " (" + error_ + ")"));
    }
    if (status == 0) {
        node_ = TNode::Other;
        return false;
    }
    switch (xmlTextReaderNodeType(reader_.get())) {
    case XML_READER_TYPE_ELEMENT:
        node_ = TNode::Start;
        break;
    case XML_READER_TYPE_END_ELEMENT:
        node_ = TNode::End;
        break;
    case XML_READER_TYPE_TEXT:
    case XML_READER_TYPE_CDATA:
    case XML_READER_TYPE_WHITESPACE:
    case XML_READER_TYPE_SIGNIFICANT_WHITESPACE:
        node_ = TNode::Text;
        break;
    case XML_READER_TYPE_DOCUMENT_TYPE:
    case XML_READER_TYPE_ENTITY_REFERENCE:
        // Parts never carry a document type; refusing one keeps entity expansion out of reach.
        throw TBadWorkbook("the part \"" + partName_ +
                           "\" declares a document type, which a workbook never does");
    default:
        node_ = TNode::Other;
        break;
    }
    return true;
}

bool TXmlStream::Next() {
    return Advance(xmlTextReaderRead(reader_.get()));
}

bool TXmlStream::IsStart(const char* localName) const {
    const xmlChar* name = xmlTextReaderConstLocalName(reader_.get());
    return node_ == TNode::Start && name != nullptr &&
           std::strcmp(reinterpret_cast<const char*>(name), localName) == 0;
}

bool TXmlStream::IsEnd(const char* localName) const {
    const xmlChar* name = xmlTextReaderConstLocalName(reader_.get());
    return node_ == TNode::End && name != nullptr &&
           std::strcmp(reinterpret_cast<const char*>(name), localName) == 0;
}

bool TXmlStream::IsEmptyElement() const {
    return xmlTextReaderIsEmptyElement(reader_.get()) == 1;
}

int TXmlStream::Depth() const {
    return xmlTextReaderDepth(reader_.get());
}

std::string_view TXmlStream::Text() const {
    const xmlChar* value = xmlTextReaderConstValue(reader_.get());
    return value == nullptr ? std::string_view() : std::string_view(reinterpret_cast<const char*>(value));
}

std::optional<std::string> TXmlStream::Attribute(const char* name) const {
    std::optional<std::string> found;
    for (int more = xmlTextReaderMoveToFirstAttribute(reader_.get()); more == 1;
         more = xmlTextReaderMoveToNextAttribute(reader_.get())) {
        const xmlChar* localName = xmlTextReaderConstLocalName(reader_.get());
        if (xmlTextReaderConstNamespaceUri(reader_.get()) == nullptr && localName != nullptr &&
            std::strcmp(reinterpret_cast<const char*>(localName), name) == 0) {
            const xmlChar* value = xmlTextReaderConstValue(reader_.get());
            found = value == nullptr ? std::string() : std::string(reinterpret_cast<const char*>(value));
            break;
        }
    }
    xmlTextReaderMoveToElement(reader_.get());
    return found;
}

} // namespace kw::sheetread

#include "translate/XmlDoc.h"

#include "gamecfg/Error.h"

#include <QFile>
#include <libxml/parser.h>
#include <libxml/xmlerror.h>

#include <string>

namespace kw {
namespace {

// Routes the parser's reports into a string for the duration of one parse and
// puts back whatever handler was installed before.
class ErrorCapture {
public:
    ErrorCapture() : FPrevious(xmlStructuredError), FPreviousContext(xmlStructuredErrorContext) {
        xmlSetStructuredErrorFunc(this, &ErrorCapture::Report);
    }
    ~ErrorCapture() { xmlSetStructuredErrorFunc(FPreviousContext, FPrevious); }
    ErrorCapture(const ErrorCapture&) = delete;
    ErrorCapture& operator=(const ErrorCapture&) = delete;

    const std::string& FirstError() const { return FFirst; }

private:
    static void Report(void* self, xmlError* error) {
        auto* capture = static_cast<ErrorCapture*>(self);
        if (error == nullptr || error->level < XML_ERR_ERROR || !capture->FFirst.empty()) {
            return;
        }
        std::string message = error->message != nullptr ? error->message : "unknown error";
        while (!message.empty() && (message.back() == '\n' || message.back() == ' ')) {
            message.pop_back();
        }
        capture->FFirst = "line " + std::to_string(error->line) + ": " + message;
    }

    xmlStructuredErrorFunc FPrevious;
    void* FPreviousContext;
    std::string FFirst;
};

[[noreturn]] void Fail(const QString& path, const std::string& problem) {
    throw Error("Language file \"" + path.toStdString() + "\" " + problem);
}

bool IsBlank(const xmlChar* text) {
    for (; text != nullptr && *text != '\0'; ++text) {
        if (*text != ' ' && *text != '\t' && *text != '\n' && *text != '\r') {
            return false;
        }
    }
    return true;
}

bool IsTextNode(const xmlNode* node) {
    return node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE;
}

} // namespace

XmlDoc XmlDoc::Load(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        Fail(path, "cannot be read: " + file.errorString().toStdString());
    }
    const QByteArray bytes = file.readAll();
    const QByteArray url = QFile::encodeName(path);

    ErrorCapture capture;
    xmlParserCtxt* context = xmlNewParserCtxt();
    if (context == nullptr) {
        Fail(path, "could not be parsed: out of memory");
    }
    xmlDoc* doc = xmlCtxtReadMemory(context, bytes.constData(), static_cast<int>(bytes.size()),
                                    url.constData(), nullptr, XML_PARSE_NOBLANKS | XML_PARSE_NONET);
    const bool wellFormed = context->wellFormed != 0;
    xmlFreeParserCtxt(context);
    if (doc == nullptr || !wellFormed || xmlDocGetRootElement(doc) == nullptr) {
        xmlFreeDoc(doc);
        Fail(path, "is not valid XML: " + (capture.FirstError().empty() ? std::string("no document element")
                                                                        : capture.FirstError()));
    }
    return XmlDoc(doc);
}

xmlNode* FirstChildNamed(const xmlNode* parent, const char* name) {
    if (parent == nullptr) {
        return nullptr;
    }
    for (xmlNode* child = parent->children; child != nullptr; child = child->next) {
        if (child->type == XML_ELEMENT_NODE && xmlStrcmp(child->name, BAD_CAST name) == 0) {
            return child;
        }
    }
    return nullptr;
}

xmlNode* FirstChildWithAttribute(const xmlNode* parent, const char* attribute, const QString& value) {
    if (parent == nullptr) {
        return nullptr;
    }
    const QByteArray wanted = value.toUtf8();
    for (xmlNode* child = parent->children; child != nullptr; child = child->next) {
        if (child->type != XML_ELEMENT_NODE || xmlHasProp(child, BAD_CAST attribute) == nullptr) {
            continue;
        }
        xmlChar* actual = xmlGetProp(child, BAD_CAST attribute);
        const bool match = actual != nullptr && xmlStrcmp(actual, BAD_CAST wanted.constData()) == 0;
        xmlFree(actual);
        if (match) {
            return child;
        }
    }
    return nullptr;
}

QString TextOf(const xmlNode* element) {
    if (element == nullptr || element->type != XML_ELEMENT_NODE) {
        return {};
    }
    QByteArray text;
    bool meaningful = false;
    for (const xmlNode* child = element->children; child != nullptr; child = child->next) {
        if (!IsTextNode(child)) {
            return {};
        }
        if (child->content == nullptr) {
            continue;
        }
        meaningful = meaningful || !IsBlank(child->content);
        text += reinterpret_cast<const char*>(child->content);
    }
    return meaningful ? QString::fromUtf8(text) : QString();
}

} // namespace kw

#pragma once

#include <QString>
#include <libxml/tree.h>

#include <memory>

namespace kw {

// A parsed XML file, freed with the object. Every lookup below looks at element
// children only, so indentation between elements never matters.
class XmlDoc {
public:
    // Parses the file anew each time, honouring its declared encoding; never
    // touches the network and never prints. Throws kw::Error naming the file and
    // the parser's complaint when the file cannot be read or is not well-formed.
    static XmlDoc Load(const QString& path);

    xmlNode* Root() const { return xmlDocGetRootElement(FDoc.get()); }

private:
    struct Free {
        void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
    };
    explicit XmlDoc(xmlDoc* doc) : FDoc(doc) {}
    std::unique_ptr<xmlDoc, Free> FDoc;
};

// The first element child with this exact (case-sensitive) name; nullptr when
// there is none or parent is nullptr.
xmlNode* FirstChildNamed(const xmlNode* parent, const char* name);

// The first element child, whatever its name, whose attribute equals value
// exactly. A child without the attribute is passed over, so an absent attribute
// never matches even an empty value.
xmlNode* FirstChildWithAttribute(const xmlNode* parent, const char* attribute, const QString& value);

// The text of an element whose children are all text or CDATA (at least one that
// is not mere whitespace); empty for any other element or for nullptr.
QString TextOf(const xmlNode* element);

} // namespace kw

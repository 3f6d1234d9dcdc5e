// The translator's reading of language files, on any bytes: its libxml2 layer (XmlDoc) loads the file and
// every look-up the translator makes walks it. The translator itself needs a widget tree; the file handling
// is all here.

#include "ScratchFile.h"
#include "gamecfg/Error.h"
#include "translate/XmlDoc.h"

#include <QString>

using kw::fuzz::Require;

namespace {

QString Attribute(const xmlNode* node, const char* name) {
    xmlChar* value = xmlGetProp(node, BAD_CAST name);
    const QString text =
        value != nullptr ? QString::fromUtf8(reinterpret_cast<const char*>(value)) : QString();
    xmlFree(value);
    return text;
}

// Each child carrying the attribute is found again by it: the first child with that value.
void LookUpEveryChild(const xmlNode* parent, const char* attribute) {
    for (const xmlNode* child = parent != nullptr ? parent->children : nullptr; child != nullptr;
         child = child->next) {
        if (child->type != XML_ELEMENT_NODE || xmlHasProp(child, BAD_CAST attribute) == nullptr) {
            continue;
        }
        const QString value = Attribute(child, attribute);
        const xmlNode* found = kw::FirstChildWithAttribute(parent, attribute, value);
        Require(found != nullptr && Attribute(found, attribute) == value);
        kw::TextOf(child);
        LookUpEveryChild(child, "id");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = kw::fuzz::WriteScratch("language.xml", kw::fuzz::AsString(data, size));
    try {
        const kw::XmlDoc doc = kw::XmlDoc::Load(QString::fromStdString(path));
        Require(doc.Root() != nullptr);
        kw::TextOf(kw::FirstChildNamed(kw::FirstChildNamed(doc.Root(), "language"), "name"));
        const xmlNode* forms = kw::FirstChildNamed(doc.Root(), "forms");
        LookUpEveryChild(forms, "name");
        for (const xmlNode* form = forms != nullptr ? forms->children : nullptr; form != nullptr;
             form = form->next) {
            kw::TextOf(kw::FirstChildNamed(form, "caption"));
            const xmlNode* components = kw::FirstChildNamed(form, "components");
            LookUpEveryChild(components, "name");
            LookUpEveryChild(kw::FirstChildNamed(form, "variables"), "id");
        }
    } catch (const kw::Error&) {
    }
    return 0;
}

#include "support/core_tree.h"

#include <gtest/gtest.h>

namespace {

void render(const TiXmlElement* element, int depth, std::string& out)
{
    out.append(2 * depth, ' ');
    out += element->Value();
    for (const TiXmlAttribute* a = element->FirstAttribute(); a != nullptr; a = a->Next()) {
        out += ' ';
        out += a->Name();
        out += "=\"";
        out += a->Value();
        out += '"';
    }
    out += '\n';
    for (const TiXmlElement* child = element->FirstChildElement(); child != nullptr;
         child = child->NextSiblingElement()) {
        render(child, depth + 1, out);
    }
}

}  // namespace

std::string render_tree(const TiXmlElement* element)
{
    std::string out;
    if (element != nullptr) {
        render(element, 0, out);
    }
    return out;
}

std::string render_children(const TiXmlElement* element)
{
    std::string out;
    if (element != nullptr) {
        for (const TiXmlElement* child = element->FirstChildElement(); child != nullptr;
             child = child->NextSiblingElement()) {
            render(child, 0, out);
        }
    }
    return out;
}

std::unique_ptr<TiXmlDocument> parse_xml(const char* xml)
{
    std::unique_ptr<TiXmlDocument> doc(new TiXmlDocument());
    doc->Parse(xml, nullptr, TIXML_ENCODING_LEGACY);
    if (doc->Error() || doc->RootElement() == nullptr) {
        ADD_FAILURE() << "fixture does not parse: " << doc->ErrorDesc() << "\n" << xml;
        return nullptr;
    }
    return doc;
}

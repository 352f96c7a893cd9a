#include "support/core_tree.h"

#include <gtest/gtest.h>

#include "doc/xml_load.h"

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

ParsedXml::ParsedXml(const std::string& xml) : myXMLdocument(nullptr)
{
    std::string error;
    if (parse_document(*doc, xml, error)) {
        root = doc->RootElement();
    } else {
        ADD_FAILURE() << "fixture does not parse: " << error << "\n" << xml;
    }
}

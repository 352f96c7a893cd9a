// The diagnostic dump of an element tree into the log. Every save dumps the
// whole document (ten thousand stations make hundreds of thousands of
// lines), so the walk reuses its buffers and keeps its own stack flat.
#include <algorithm>
#include <cstring>
#include <string>

#include "doc/Lib_cpp.h"
#include "doc/Lib_xml.h"

namespace {

const int max_indent_depth = 20;
const size_t max_pad = 250;

const char* spaces(size_t count)
{
    static const std::string blanks(std::max<size_t>(max_pad, max_indent_depth * 4), ' ');
    return blanks.c_str() + blanks.size() - count;
}

const char* indent_for(int depth)
{
    return spaces(static_cast<size_t>(std::min(std::max(depth, 0), max_indent_depth)) * 4);
}

class Dumper {
public:
    // Writes the element's first line and its text line. Returns true when
    // its child elements follow; otherwise the element is complete.
    bool start(const TiXmlElement* element, int depth, int levels)
    {
        const char* indent = indent_for(depth);
        const char* name = element->Value();
        const char* pad = spaces(std::min(strlen(name), max_pad));
        attributes.printf("");
        for (const TiXmlAttribute* a = element->FirstAttribute(); a != nullptr; a = a->Next()) {
            if (a != element->FirstAttribute()) {
                attributes.cat_printf("\r\n%s %s", indent, pad);  // continuation lines align under the first
            }
            attributes.cat_printf(" %s=\"%m\"", a->Name(), a->Value());
        }
        const char* text = xml_get_text(element, false);
        bool children = levels != 0 && element->FirstChildElement() != nullptr;
        if (text == nullptr && !children) {
            log_printf("%s<%s%s/>", indent, name, attributes.c_str());
            return false;
        }
        log_printf("%s<%s%s >", indent, name, attributes.c_str());
        if (text != nullptr) {
            log_printf("%s%m", indent, text);
        }
        if (!children) {
            end(element, depth);
        }
        return children;
    }

    void end(const TiXmlElement* element, int depth) { log_printf("%s</%s>", indent_for(depth), element->Value()); }

private:
    Tmy_string attributes;
};

}  // namespace

void xml_dump(const TiXmlElement* element, int depth, int levels)
{
    if (element == nullptr || !log_has_destination()) {
        return;
    }
    // `below` counts the levels under the starting element; an element at
    // that distance may still show its children while levels - below is not
    // 0 (levels -1: the whole subtree).
    depth = std::min(std::max(depth, 0), max_indent_depth);  // deeper lines are indented alike
    Dumper dumper;
    const TiXmlElement* node = element;
    int below = 0;
    auto levels_left = [levels](int distance) { return levels < 0 ? -1 : levels - distance; };
    for (;;) {
        if (dumper.start(node, depth + below, levels_left(below))) {
            node = node->FirstChildElement();
            ++below;
            continue;
        }
        for (;;) {
            if (below == 0) {
                return;
            }
            if (const TiXmlElement* next = node->NextSiblingElement()) {
                node = next;
                break;
            }
            node = node->Parent()->ToElement();
            --below;
            dumper.end(node, depth + below);
        }
    }
}

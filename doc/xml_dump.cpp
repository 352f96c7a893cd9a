// The diagnostic dump of an element tree into the log. Every save dumps the
// whole document (ten thousand stations make over a million lines), so each
// line is put together by direct appends into one reused buffer, with the
// escaping of the formatter's "m" conversion looked up in its table, and the
// walk keeps its own stack flat.
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

// The value of the element's first text child, or null when it has none.
const char* first_text(const TiXmlElement* element)
{
    for (const TiXmlNode* node = element->FirstChild(); node != nullptr; node = node->NextSibling()) {
        if (node->Type() == TiXmlNode::TINYXML_TEXT) {
            return node->Value();
        }
    }
    return nullptr;
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
        line.assign(indent);
        line += '<';
        line += name;
        for (const TiXmlAttribute* a = element->FirstAttribute(); a != nullptr; a = a->Next()) {
            if (a != element->FirstAttribute()) {
                // Continuation lines align under the first attribute.
                line += "\r\n";
                line += indent;
                line += ' ';
                line += pad;
            }
            line += ' ';
            line += a->Name();
            line += "=\"";
            append_escaped(a->Value());
            line += '"';
        }
        const char* text = first_text(element);
        bool children = levels != 0 && element->FirstChildElement() != nullptr;
        if (text == nullptr && !children) {
            line += "/>";
            emit();
            return false;
        }
        line += " >";
        emit();
        if (text != nullptr) {
            line.assign(indent);
            append_escaped(text);
            emit();
        }
        if (!children) {
            end(element, depth);
        }
        return children;
    }

    void end(const TiXmlElement* element, int depth)
    {
        line.assign(indent_for(depth));
        line += "</";
        line += element->Value();
        line += '>';
        emit();
    }

private:
    std::string line;
    const XmlReferenceTable& references = xml_decimal_references();

    void emit() { log_text(line.c_str()); }

    void append_escaped(const char* text)
    {
        const char* run = text;
        const char* p = text;
        for (; *p != '\0'; ++p) {
            const char* reference = references[static_cast<unsigned char>(*p)];
            if (*reference != '\0') {
                line.append(run, static_cast<size_t>(p - run));
                line += reference;
                run = p + 1;
            }
        }
        line.append(run, static_cast<size_t>(p - run));
    }
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

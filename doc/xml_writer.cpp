// The settings file layout, node by node. Elements, text, comments, unknown
// nodes and declarations are laid out the way the settings file has always
// been written, so files written by earlier versions keep their shape.
#include "doc/xml_writer.h"

#include <cstdio>
#include <cstring>
#include <functional>

#include "doc/Lib_cpp.h"

namespace {

const char* const line_end = "\r\n";

// Replacement of each byte in escaped text; null where the byte stays.
struct EscapeTable {
    XmlReferenceTable text = {};

    EscapeTable() { fill_xml_references(text, 0x7F, "&#x%02X;"); }
};

const EscapeTable& escape_table()
{
    static const EscapeTable table;
    return table;
}

void append_indent(std::string& out, int depth)
{
    out.append(static_cast<size_t>(depth) * 4, ' ');
}

// Comments, unknown nodes and CDATA are written as they were read; their line
// ends become CR LF like every other line of the file.
void append_raw(std::string& out, const char* text)
{
    for (const char* p = text; *p != '\0';) {
        const char* newline = strchr(p, '\n');
        if (newline == nullptr) {
            out.append(p);
            return;
        }
        out.append(p, static_cast<size_t>(newline - p));
        out.append(line_end);
        p = newline + 1;
    }
}

// Names are written as they are, like element names: the parser takes
// every byte from 0x7F up as a letter of a name but reads no character
// reference inside one, so an escaped name would make the file unreadable.
void append_attribute(std::string& out, const char* name, const char* value)
{
    char quote = strchr(value, '"') != nullptr ? '\'' : '"';
    out.append(name);
    out += '=';
    out += quote;
    append_xml_escaped(out, value);
    out += quote;
}

// The parser condenses the blanks of element text: it drops them at the
// start and the end and reads a run of them as one. A blank it would lose is
// written as a character reference, which it keeps, so text reads back with
// every blank it had.
void append_text_escaped(std::string& out, const char* text)
{
    const char* run = text;
    for (const char* p = text; *p != '\0'; ++p) {
        bool kept_by_parser = p != text && p[-1] != ' ' && p[1] != '\0';
        if (*p != ' ' || kept_by_parser) {
            continue;
        }
        append_xml_escaped(out, std::string(run, static_cast<size_t>(p - run)).c_str());
        out.append("&#x20;");
        run = p + 1;
    }
    append_xml_escaped(out, run);
}

void append_text(std::string& out, const TiXmlText* text, int depth)
{
    if (text->CDATA()) {
        out.append(line_end);
        append_indent(out, depth);
        out.append("<![CDATA[");
        append_raw(out, text->Value());
        out.append("]]>");
        out.append(line_end);
    } else {
        append_text_escaped(out, text->Value());
    }
}

void append_declaration(std::string& out, const TiXmlDeclaration* declaration)
{
    out.append("<?xml ");
    const char* names[] = {"version", "encoding", "standalone"};
    const char* values[] = {declaration->Version(), declaration->Encoding(), declaration->Standalone()};
    for (int i = 0; i < 3; ++i) {
        if (*values[i] != '\0') {
            out.append(names[i]);
            out.append("=\"");
            append_xml_escaped(out, values[i]);
            out.append("\" ");
        }
    }
    out.append("?>");
}

// A reference to byte 0 ("&#;", "&#0;", "&#x0;") leaves a text that reads
// as nothing. An element holding only such a text is written as an empty
// element: "<S></S>" would read back with no text at all, and the next save
// would then write "<S />".
bool reads_as_nothing(const TiXmlNode* node)
{
    const TiXmlText* text = node->ToText();
    return text != nullptr && !text->CDATA() && *text->Value() == '\0';
}

// Writes the node's own part. Returns true for an element whose children
// follow on lines of their own, closed later by append_end_tag.
bool append_node_start(std::string& out, const TiXmlNode* node, int depth)
{
    if (const TiXmlElement* element = node->ToElement()) {
        append_indent(out, depth);
        out += '<';
        out.append(element->Value());
        for (const TiXmlAttribute* a = element->FirstAttribute(); a != nullptr; a = a->Next()) {
            out += ' ';
            append_attribute(out, a->Name(), a->Value());
        }
        const TiXmlNode* first = element->FirstChild();
        if (first == nullptr || (first == element->LastChild() && reads_as_nothing(first))) {
            out.append(" />");
            return false;
        }
        out += '>';
        if (first == element->LastChild() && first->ToText() != nullptr) {
            append_text(out, first->ToText(), depth + 1);
            out.append("</");
            out.append(element->Value());
            out += '>';
            return false;
        }
        return true;
    }
    if (const TiXmlText* text = node->ToText()) {
        append_text(out, text, depth);
    } else if (const TiXmlComment* comment = node->ToComment()) {
        append_indent(out, depth);
        out.append("<!--");
        append_raw(out, comment->Value());
        out.append("-->");
    } else if (const TiXmlUnknown* unknown = node->ToUnknown()) {
        append_indent(out, depth);
        out += '<';
        append_raw(out, unknown->Value());
        out += '>';
    } else if (const TiXmlDeclaration* declaration = node->ToDeclaration()) {
        append_declaration(out, declaration);
    }
    return false;
}

void append_end_tag(std::string& out, const TiXmlNode* element, int depth)
{
    out.append(line_end);
    append_indent(out, depth);
    out.append("</");
    out.append(element->Value());
    out += '>';
}

// Every child of a multi-line element except text starts on a new line.
void append_child_separator(std::string& out, const TiXmlNode* child)
{
    if (child->ToText() == nullptr) {
        out.append(line_end);
    }
}

}  // namespace

void append_xml_escaped(std::string& out, const char* text)
{
    const EscapeTable& table = escape_table();
    const char* run = text;
    const char* p = text;
    for (; *p != '\0'; ++p) {
        const char* replacement = table.text[static_cast<unsigned char>(*p)];
        if (*replacement == '\0') {
            continue;
        }
        out.append(run, static_cast<size_t>(p - run));
        out.append(replacement);
        run = p + 1;
    }
    out.append(run, static_cast<size_t>(p - run));
}

namespace {

// Hands the text made so far on once it holds a piece's worth, and starts
// the next piece in the same room.
struct PieceWriter {
    static constexpr size_t piece_size = size_t{1} << 20;
    const std::function<bool(const char* data, size_t size)>& write;

    bool full(const std::string& out) const { return out.size() >= piece_size; }
    bool hand_on(std::string& out) const
    {
        const bool written = write(out.data(), out.size());
        out.clear();
        return written;
    }
};

// Walks the tree through the parent links, so the writer's own stack use
// does not grow with the depth of the document. With `pieces`, the text
// goes on a piece at a time; false once a piece could not be written.
bool write_subtree(std::string& out, const TiXmlNode* top, int depth, const PieceWriter* pieces)
{
    const TiXmlNode* node = top;
    for (;;) {
        if (pieces != nullptr && pieces->full(out) && !pieces->hand_on(out)) {
            return false;
        }
        if (append_node_start(out, node, depth)) {
            node = node->FirstChild();
            ++depth;
            append_child_separator(out, node);
            continue;
        }
        for (;;) {
            if (node == top) {
                return true;
            }
            if (const TiXmlNode* next = node->NextSibling()) {
                node = next;
                append_child_separator(out, node);
                break;
            }
            node = node->Parent();
            --depth;
            append_end_tag(out, node, depth);
        }
    }
}

}  // namespace

void write_node_text(std::string& out, const TiXmlNode* top, int depth)
{
    if (top != nullptr) {
        write_subtree(out, top, depth, nullptr);
    }
}

std::string write_document_text(const TiXmlDocument& doc)
{
    std::string out;
    for (const TiXmlNode* node = doc.FirstChild(); node != nullptr; node = node->NextSibling()) {
        write_node_text(out, node, 0);
        out.append(line_end);
    }
    return out;
}

bool write_document_pieces(const TiXmlDocument& doc, const std::function<bool(const char* data, size_t size)>& write)
{
    const PieceWriter pieces{write};
    std::string out;
    out.reserve(PieceWriter::piece_size + (size_t{64} << 10));
    for (const TiXmlNode* node = doc.FirstChild(); node != nullptr; node = node->NextSibling()) {
        if (!write_subtree(out, node, 0, &pieces)) {
            return false;
        }
        out.append(line_end);
    }
    return pieces.hand_on(out);
}

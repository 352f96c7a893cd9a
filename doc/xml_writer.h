// Our own writer of the settings file layout over the TinyXML tree: CR LF
// line ends, four spaces per level, " />" for empty elements, and every byte
// of a value or text outside printable ASCII written as a hexadecimal
// character reference, so the file reads back to exactly the same bytes and
// is 7-bit text as long as the element and attribute names are.
#ifndef ZANTOR_DOC_XML_WRITER_H
#define ZANTOR_DOC_XML_WRITER_H

#include <tinyxml.h>

#include <cstddef>
#include <functional>
#include <string>

// The whole file: every top-level node (declaration, comments, the root
// element...) in document order, each followed by a line end.
std::string write_document_text(const TiXmlDocument& doc);

// The same text handed to `write` a piece of about a megabyte at a time,
// in order, so that a fleet file of tens of megabytes is never held whole.
// Stops at the first piece `write` refuses, and returns false then.
bool write_document_pieces(const TiXmlDocument& doc, const std::function<bool(const char* data, size_t size)>& write);

// Appends one node and its subtree, indented for `depth` levels, without a
// line end after it. Iterative: any depth of tree is written.
void write_node_text(std::string& out, const TiXmlNode* node, int depth);

// Appends `text` with the five named entities ("&" always as "&amp;") and
// "&#xHH;" for every byte below 0x20 and from 0x7F up.
void append_xml_escaped(std::string& out, const char* text);

#endif

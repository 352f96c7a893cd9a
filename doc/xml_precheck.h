// Checks made on the text of a settings file before the XML parser sees it.
// The parser recurses once per element level and asserts on a declaration
// that the text ends inside, so a hostile or damaged file could crash the
// editor; these checks refuse such texts first.
#ifndef ZANTOR_DOC_XML_PRECHECK_H
#define ZANTOR_DOC_XML_PRECHECK_H

#include <cstddef>

struct XmlPrecheck {
    int deepest = 0;                        // deepest element nesting found
    bool unterminated_declaration = false;  // an "<?xml" declaration runs into the end of the text
    // Bytes the walk looked at, searches included: never more than a small
    // multiple of the length, whatever the text, so that no file can make
    // loading slower than reading it.
    size_t bytes_scanned = 0;
};

// Walks `text` (zero-terminated, `length` bytes, no zero byte inside) the way
// the parser tokenises it: comments, CDATA sections, declarations, "<!...>"
// and "<?...>" nodes, start tags with quoted or bare attribute values, and
// end tags. The count never falls short of the parser's nesting. The walk
// stops early once the nesting exceeds `stop_above`.
XmlPrecheck precheck_xml(const char* text, size_t length, int stop_above);

#endif

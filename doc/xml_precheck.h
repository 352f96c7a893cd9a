// Checks made on the text of a settings file before the XML parser sees it.
// The parser recurses once per element level and asserts on a declaration
// that the text ends inside, so a hostile or damaged file could crash the
// editor; these checks refuse such texts first. The same walk finds an "&"
// the parser would silently drop or misread.
#ifndef ZANTOR_DOC_XML_PRECHECK_H
#define ZANTOR_DOC_XML_PRECHECK_H

#include <cstddef>
#include <cstdint>

struct XmlPrecheck {
    int deepest = 0;                        // deepest element nesting found
    bool unterminated_declaration = false;  // an "<?xml" declaration runs into the end of the text
    // Where the first "&" stands that the parser would drop or read wrongly
    // ("&" alone, "&nbsp;", "&#x2013" without its ";"), in element text or a
    // quoted attribute value; SIZE_MAX when there is none. Comments, CDATA
    // sections, bare attribute values and the declaration are not looked
    // into: the parser copies them as they are, or they hold no setting.
    size_t first_bad_ampersand = SIZE_MAX;
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

// Test helpers for element trees: build them from inline XML and render them
// as compact text that a test can compare with a literal.
#ifndef ZANTOR_TESTS_SUPPORT_CORE_TREE_H
#define ZANTOR_TESTS_SUPPORT_CORE_TREE_H

#include <tinyxml.h>

#include <string>

#include "doc/Lib_xml.h"

// One line per element, two blanks of indentation per level, then the name
// and each attribute as name="value" in stored order. Text nodes are left out.
std::string render_tree(const TiXmlElement* element);

// The same rendering for each child element of `element`, without the element.
std::string render_children(const TiXmlElement* element);

// Inline XML read as Open reads a settings file (doc/xml_load.h): one byte a
// character whatever the text declares, after the same checks. `root` is the
// root element, null (and the test failed) when the text does not parse.
struct ParsedXml : myXMLdocument {
    explicit ParsedXml(const std::string& xml);
};

#endif

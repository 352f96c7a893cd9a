// Test helpers for element trees: build them from inline XML and render them
// as compact text that a test can compare with a literal.
#ifndef ZANTOR_TESTS_SUPPORT_CORE_TREE_H
#define ZANTOR_TESTS_SUPPORT_CORE_TREE_H

#include <tinyxml.h>

#include <memory>
#include <string>

// One line per element, two blanks of indentation per level, then the name
// and each attribute as name="value" in stored order. Text nodes are left out.
std::string render_tree(const TiXmlElement* element);

// The same rendering for each child element of `element`, without the element.
std::string render_children(const TiXmlElement* element);

// Parses `xml` into a new document; the root element is doc->RootElement().
// Returns null (with a GoogleTest failure) when the text does not parse.
std::unique_ptr<TiXmlDocument> parse_xml(const char* xml);

#endif

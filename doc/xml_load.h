// Reading a settings file into a TinyXML document, refusing what could crash
// the parser or be misread: unreadable, empty or binary files, element
// nesting deeper than any settings file has, and a declaration that the text
// ends inside.
#ifndef ZANTOR_DOC_XML_LOAD_H
#define ZANTOR_DOC_XML_LOAD_H

#include <tinyxml.h>

#include <string>

// Deepest element nesting a settings file may have (SETUP is level 1).
const int max_element_nesting = 256;

// Largest file taken for a settings file: a fleet of ten thousand stations
// is about 50 MB. Anything larger (a disk image picked by mistake, a device)
// is refused before it is read, rather than exhausting the memory.
const unsigned long long max_settings_file_bytes = 1ULL << 30;

// The bytes of a file of at most max_settings_file_bytes, as they are; false
// with the reason ("cannot open: ...", "a folder, ...") when it cannot be read.
bool read_whole_file(const char* file_name, std::string& text, std::string& error);

// Replaces the content of `doc` by the file's. On failure `doc` is left
// empty and `error` says why; returns true on success. A file that parses
// but holds no element is a failure too.
bool load_document(TiXmlDocument& doc, const char* file_name, std::string& error);

// The same for a text already in memory (its line ends still as in the file).
bool parse_document(TiXmlDocument& doc, std::string text, std::string& error);

#endif

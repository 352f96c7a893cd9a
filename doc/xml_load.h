// Reading a settings file into a TinyXML document, refusing what could crash
// the parser or be misread: unreadable, empty, binary or UTF-16 files,
// element nesting deeper than any settings file has, a declaration that the
// text ends inside, and an "&" that would lose text.
#ifndef ZANTOR_DOC_XML_LOAD_H
#define ZANTOR_DOC_XML_LOAD_H

#include <tinyxml.h>

#include <cstdint>
#include <string>

// Deepest element nesting a settings file may have (SETUP is level 1).
const int max_element_nesting = 256;

// Largest file taken for a settings file: a fleet of ten thousand stations
// is about 50 MB. Anything larger (a disk image picked by mistake, a device)
// is refused before it is read, rather than exhausting the memory.
const unsigned long long max_settings_file_bytes = 1ULL << 30;

// The bytes of a regular file of at most `limit` bytes, as they are; false
// with the reason ("cannot open: ...", "a folder, not a settings file (...)")
// when it cannot be read. `expected` names what the file should have been.
// A pipe or a device is refused at once, never waited for.
bool read_whole_file(const char* file_name, std::string& text, std::string& error,
                     const char* expected = "a settings file", unsigned long long limit = max_settings_file_bytes);

// Why an element cannot be the root of a settings file: "not a settings
// file: its root element is html, not SETUP"; empty for SETUP (in any letter
// case). The editor opens any root as it is; the fleet tool, which reads a
// whole fleet on the operator's word, refuses another.
std::string foreign_root_error(const TiXmlElement* root);

// Replaces the content of `doc` by the file's. On failure `doc` is left
// empty and `error` says why, in the operator's words where the parser's
// would mislead: "not an XML file" for a text that does not start with
// markup, "not a settings file: ..." for a broken file of another kind, and
// for an XML error its place and likely cause: "line 56, column 100: a bare
// "&": write &amp; for &", "line 120, column 1: the file ends inside
// STATION 4049 (truncated?)". Returns true on success. A file that parses
// but holds no element is a failure too, and so is one with an "&" that the
// parser would drop or misread (xml_precheck.h): loading it would lose the
// operator's text.
// `digest`, when given, receives the digest of the bytes read
// (doc/file_state.h).
bool load_document(TiXmlDocument& doc, const char* file_name, std::string& error, uint64_t* digest = nullptr);

// The same for a text already in memory (its line ends still as in the file).
bool parse_document(TiXmlDocument& doc, std::string text, std::string& error);

#endif

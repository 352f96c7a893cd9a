// The settings document layer: the document wrapper and the element and
// attribute functions through which every window reads and writes the
// settings file.
//
// Every function accepts null elements, attributes and texts and then does
// nothing or returns null, an empty text, 0 or false, so callers can chain
// lookups without testing each step.
#ifndef ZANTOR_DOC_LIB_XML_H
#define ZANTOR_DOC_LIB_XML_H

#include <tinyxml.h>

#include <cstdint>
#include <memory>
#include <string>

#include "doc/file_state.h"

// ---- the document wrapper ----

class myXMLdocument {
public:
    std::unique_ptr<TiXmlDocument> doc;  // owned document; destroyed with the wrapper
    TiXmlElement* root = nullptr;        // root element; null after a failed load

    // Creates the document and, when root_name is not null, its root element.
    explicit myXMLdocument(const char* root_name);
    ~myXMLdocument();
    myXMLdocument(const myXMLdocument&) = delete;
    myXMLdocument& operator=(const myXMLdocument&) = delete;

    // Replaces the content by the file's; returns the root element or null.
    // On failure the old content is gone and last_error says why.
    TiXmlElement* load_file(const char* file_name);
    // Writes the whole document; returns true when the file was NOT written
    // (the previous file is then untouched and last_error says why).
    bool save_file(const char* file_name);
    // Empties the root element (it keeps its name); nothing when root is null.
    // The document is then the content of no file.
    void clear();
    // Absolute lookup from the root; the path must start with "/".
    TiXmlElement* find_path(const char* path);
    // Takes over the whole content of `other` (used to install a document
    // that loaded successfully); `other` receives this one's old content.
    void take_over(myXMLdocument& other);

    // Why the last load_file or save_file failed; empty after a success.
    const std::string& error_text() const { return last_error; }

    // The file as the last successful load_file read it or save_file wrote
    // it: a save can then tell whether another program replaced it since.
    const FileState& file_state() const { return disk_state; }

private:
    std::string last_error;
    FileState disk_state;
};

// ---- element functions ----

const char* xml_name(const TiXmlElement* element);
TiXmlElement* xml_first_child(const TiXmlElement* element);
TiXmlElement* xml_next_sibling(const TiXmlElement* element);
// Relative lookup; empty segments are skipped; null when a segment matches no
// child or is longer than 254 characters.
TiXmlElement* xml_find_path(TiXmlElement* element, const char* path);

// The attribute's value, or null when the element, name or attribute is missing.
const char* xml_get_attr(const TiXmlElement* element, const char* name);
// As xml_get_attr, but an empty text instead of null.
const char* xml_get_attr_text(const TiXmlElement* element, const char* name);
// The value read by parse_int (its flag ignored); 0 when the attribute is missing.
int32_t xml_get_attr_int(const TiXmlElement* element, const char* name);
// True when the attribute exists and equals `text` ignoring letter case.
bool xml_attr_equals(const TiXmlElement* element, const char* name, const char* text);
// Typed read (kinds of convert_text); true when the attribute exists and the
// conversion succeeded. Writes a trace line when trace_label is not null.
bool xml_read_attr(const TiXmlElement* element, const char* name, int kind, void* destination, int size,
                   const char* trace_label);
// The first text child's value; "" (empty_flag set) or null when there is none.
const char* xml_get_text(const TiXmlElement* element, bool empty_flag);

const TiXmlAttribute* xml_first_attr(const TiXmlElement* element);
const TiXmlAttribute* xml_next_attr(const TiXmlAttribute* attribute);
const char* xml_attr_name(const TiXmlAttribute* attribute);
const char* xml_attr_value(const TiXmlAttribute* attribute);

// Sets the attribute in place, or appends it after the existing ones.
void xml_set_attr(TiXmlElement* element, const char* name, const char* value);
void xml_set_attr_int(TiXmlElement* element, const char* name, int32_t value);
// Appends a new child; with a null parent the element is detached and belongs
// to the caller. Null only when the name is null.
TiXmlElement* xml_add_child(TiXmlElement* parent, const char* name);
// Destroys `child` when it is a direct child of `parent`.
void xml_remove_child(TiXmlElement* parent, TiXmlElement* child);
void xml_remove_attrs(TiXmlElement* element);
void xml_remove_children(TiXmlElement* element);
// Removes children, attributes and every other child node; keeps the name.
void xml_clear(TiXmlElement* element);
// Appends copies of the source's attributes and child elements, at every depth.
void xml_copy(TiXmlElement* destination, const TiXmlElement* source);
// The same, the copies made of the child elements of `spares` (a detached
// element), each of one of the same name where there is one, before new
// ones are made: copying one sequence over thousands of others then reuses
// their elements. The spares not needed are freed: `spares` ends empty.
void xml_copy_reusing(TiXmlElement* destination, const TiXmlElement* source, TiXmlElement* spares);
// Gives `a` the child nodes of `b` and `b` those of `a`, moving them: nothing
// is copied or destroyed. Neither may hold the other.
void xml_swap_children(TiXmlElement* a, TiXmlElement* b);
// Writes the element tree into the log, one entry per line.
void xml_dump(const TiXmlElement* element, int depth, int levels);

// Compares two texts ignoring letter case, each character upper-cased under
// the current locale; false when either is null.
bool xml_text_equals(const char* a, const char* b);

#endif

// Element and attribute functions of the settings document layer.
#include "doc/Lib_xml.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include "doc/Lib_cpp.h"
#include "doc/file_replace.h"
#include "doc/text_parsers.h"
#include "doc/xml_load.h"
#include "doc/xml_writer.h"

namespace {

// A path segment longer than this matches no element.
const size_t max_segment_length = 254;

// Walks `path` segment by segment from `element`; empty segments are skipped.
TiXmlElement* walk_path(TiXmlElement* element, const char* path)
{
    const char* p = path;
    while (element != nullptr && *p != '\0') {
        const char* start = p;
        while (*p != '\0' && *p != '/') {
            ++p;
        }
        size_t length = static_cast<size_t>(p - start);
        if (*p == '/') {
            ++p;
        }
        if (length == 0) {
            continue;
        }
        if (length > max_segment_length) {
            return nullptr;
        }
        std::string segment(start, length);
        element = element->FirstChildElement(segment.c_str());
    }
    return element;
}

}  // namespace

// ---- the document wrapper ----

myXMLdocument::myXMLdocument(const char* root_name) : doc(new TiXmlDocument())
{
    if (root_name != nullptr) {
        root = new TiXmlElement(root_name);
        doc->LinkEndChild(root);
    }
}

myXMLdocument::~myXMLdocument() = default;

TiXmlElement* myXMLdocument::load_file(const char* file_name)
{
    root = nullptr;
    if (file_name == nullptr) {
        last_error = "no file name";
        return nullptr;
    }
    uint64_t digest = 0;
    if (load_document(*doc, file_name, last_error, &digest)) {
        root = doc->RootElement();
        disk_state = file_state_of(file_name, digest);
    }
    return root;
}

bool myXMLdocument::save_file(const char* file_name)
{
    if (file_name == nullptr) {
        last_error = "no file name";
        return true;
    }
    // The text goes to the file as it is made: a fleet file is tens of MB.
    // Its digest is taken on the way, for the next save's check.
    ContentDigest digest;
    const auto content = [this, &digest](const ContentWriter& write) {
        return write_document_pieces(*doc, [&](const char* data, size_t size) {
            digest.add(data, size);
            return write(data, size);
        });
    };
    if (!replace_file_content(file_name, content, last_error)) {
        return true;
    }
    disk_state = file_state_of(file_name, digest.value());
    last_error.clear();
    return false;
}

void myXMLdocument::clear()
{
    xml_clear(root);
    disk_state = FileState();  // no longer the content of a file
}

TiXmlElement* myXMLdocument::find_path(const char* path)
{
    if (path == nullptr || path[0] != '/') {
        return nullptr;
    }
    return walk_path(doc->RootElement(), path);
}

void myXMLdocument::take_over(myXMLdocument& other)
{
    std::swap(doc, other.doc);
    std::swap(root, other.root);
    std::swap(last_error, other.last_error);
    std::swap(disk_state, other.disk_state);
}

// ---- element functions ----

const char* xml_name(const TiXmlElement* element)
{
    return element != nullptr ? element->Value() : nullptr;
}

TiXmlElement* xml_first_child(const TiXmlElement* element)
{
    return element != nullptr ? const_cast<TiXmlElement*>(element->FirstChildElement()) : nullptr;
}

TiXmlElement* xml_next_sibling(const TiXmlElement* element)
{
    return element != nullptr ? const_cast<TiXmlElement*>(element->NextSiblingElement()) : nullptr;
}

TiXmlElement* xml_find_path(TiXmlElement* element, const char* path)
{
    if (element == nullptr || path == nullptr) {
        return element;
    }
    return walk_path(element, path);
}

const char* xml_get_attr(const TiXmlElement* element, const char* name)
{
    if (element == nullptr || name == nullptr) {
        return nullptr;
    }
    return element->Attribute(name);
}

const char* xml_get_attr_text(const TiXmlElement* element, const char* name)
{
    const char* value = xml_get_attr(element, name);
    return value != nullptr ? value : "";
}

int32_t xml_get_attr_int(const TiXmlElement* element, const char* name)
{
    int32_t value = 0;
    const char* text = xml_get_attr(element, name);
    if (text != nullptr) {
        parse_int(text, &value, 0);
    }
    return value;
}

bool xml_text_equals(const char* a, const char* b)
{
    if (a == nullptr || b == nullptr) {
        return false;
    }
    // Equal bytes need no locale: names and switches mostly match as written.
    for (;; ++a, ++b) {
        if (*a == *b) {
            if (*a == '\0') {
                return true;
            }
            continue;
        }
        if (toupper(static_cast<unsigned char>(*a)) != toupper(static_cast<unsigned char>(*b))) {
            return false;
        }
    }
}

bool xml_attr_equals(const TiXmlElement* element, const char* name, const char* text)
{
    return xml_text_equals(xml_get_attr(element, name), text);
}

bool xml_read_attr(const TiXmlElement* element, const char* name, int kind, void* destination, int size,
                   const char* trace_label)
{
    if (destination == nullptr) {
        return false;
    }
    if (kind == convert_chars && size > 0) {
        static_cast<char*>(destination)[0] = '\0';
    }
    const char* value = xml_get_attr(element, name);
    if (value == nullptr || convert_text(value, destination, kind, size) != 0) {
        return false;
    }
    if (trace_label != nullptr) {
        switch (kind) {
            case convert_chars:
                log_printf("%s %s %s=\"%s\"", trace_label, "", name, static_cast<const char*>(destination));
                break;
            case convert_int:
                log_printf("%s %s %s=\"%d\"", trace_label, "", name, *static_cast<const int32_t*>(destination));
                break;
            case convert_double:
                log_printf("%s %s %s=\"%f\"", trace_label, "", name, *static_cast<const double*>(destination));
                break;
            default:
                break;
        }
    }
    return true;
}

const char* xml_get_text(const TiXmlElement* element, bool empty_flag)
{
    if (element != nullptr) {
        for (const TiXmlNode* node = element->FirstChild(); node != nullptr; node = node->NextSibling()) {
            if (node->ToText() != nullptr) {
                return node->Value();
            }
        }
    }
    return empty_flag ? "" : nullptr;
}

const TiXmlAttribute* xml_first_attr(const TiXmlElement* element)
{
    return element != nullptr ? element->FirstAttribute() : nullptr;
}

const TiXmlAttribute* xml_next_attr(const TiXmlAttribute* attribute)
{
    return attribute != nullptr ? attribute->Next() : nullptr;
}

const char* xml_attr_name(const TiXmlAttribute* attribute)
{
    return attribute != nullptr ? attribute->Name() : nullptr;
}

const char* xml_attr_value(const TiXmlAttribute* attribute)
{
    return attribute != nullptr ? attribute->Value() : nullptr;
}

void xml_set_attr(TiXmlElement* element, const char* name, const char* value)
{
    if (element == nullptr || name == nullptr) {
        return;
    }
    element->SetAttribute(name, value != nullptr ? value : "");
}

void xml_set_attr_int(TiXmlElement* element, const char* name, int32_t value)
{
    char text[16];
    snprintf(text, sizeof text, "%d", static_cast<int>(value));
    xml_set_attr(element, name, text);
}

TiXmlElement* xml_add_child(TiXmlElement* parent, const char* name)
{
    if (name == nullptr) {
        return nullptr;
    }
    TiXmlElement* child = new TiXmlElement(name);
    if (parent != nullptr) {
        parent->LinkEndChild(child);
    }
    return child;
}

void xml_remove_child(TiXmlElement* parent, TiXmlElement* child)
{
    if (parent == nullptr || child == nullptr || child->Parent() != parent) {
        return;
    }
    parent->RemoveChild(child);
}

void xml_remove_attrs(TiXmlElement* element)
{
    if (element == nullptr) {
        return;
    }
    while (const TiXmlAttribute* attribute = element->FirstAttribute()) {
        std::string name = attribute->Name();
        element->RemoveAttribute(name.c_str());
    }
}

void xml_remove_children(TiXmlElement* element)
{
    if (element == nullptr) {
        return;
    }
    TiXmlElement* child = element->FirstChildElement();
    while (child != nullptr) {
        TiXmlElement* next = child->NextSiblingElement();
        xml_remove_children(child);
        element->RemoveChild(child);
        child = next;
    }
}

void xml_clear(TiXmlElement* element)
{
    if (element == nullptr) {
        return;
    }
    xml_remove_children(element);
    xml_remove_attrs(element);
    element->Clear();
}

namespace {

void copy_element(TiXmlElement* destination, const TiXmlElement* source)
{
    for (const TiXmlAttribute* a = source->FirstAttribute(); a != nullptr; a = a->Next()) {
        xml_set_attr(destination, a->Name(), a->Value());
    }
    for (const TiXmlElement* child = source->FirstChildElement(); child != nullptr;
         child = child->NextSiblingElement()) {
        copy_element(xml_add_child(destination, child->Value()), child);
    }
}

// TinyXML can move a node only by copying it: its links are protected members
// of TiXmlNode. A class derived from it may name them, and a pointer to a
// member so named reaches them in any node.
struct NodeLinks : TiXmlNode {
    static constexpr TiXmlNode* TiXmlNode::*first_child = &NodeLinks::firstChild;
    static constexpr TiXmlNode* TiXmlNode::*last_child = &NodeLinks::lastChild;
    static constexpr TiXmlNode* TiXmlNode::*parent_node = &NodeLinks::parent;
    static constexpr TiXmlNode* TiXmlNode::*previous_node = &NodeLinks::prev;
    static constexpr TiXmlNode* TiXmlNode::*next_node = &NodeLinks::next;
};

// Takes the first child element out of `holder`, whole, for the caller;
// the other nodes before it go. Null when it holds no element.
TiXmlElement* take_first_element(TiXmlElement* holder)
{
    while (TiXmlNode* child = holder->FirstChild()) {
        TiXmlNode* next = child->NextSibling();
        holder->*NodeLinks::first_child = next;
        if (next != nullptr) {
            next->*NodeLinks::previous_node = nullptr;
        } else {
            holder->*NodeLinks::last_child = nullptr;
        }
        child->*NodeLinks::parent_node = nullptr;
        child->*NodeLinks::next_node = nullptr;
        if (TiXmlElement* element = child->ToElement()) {
            return element;
        }
        delete child;
    }
    return nullptr;
}

// Gives `element` the attributes of `source` in their order, changing the
// values in place where the same names already stand in that order.
void take_attributes(TiXmlElement* element, const TiXmlElement* source)
{
    TiXmlAttribute* mine = element->FirstAttribute();
    const TiXmlAttribute* theirs = source->FirstAttribute();
    for (; mine != nullptr && theirs != nullptr && std::strcmp(mine->Name(), theirs->Name()) == 0;
         mine = mine->Next(), theirs = theirs->Next()) {
        if (std::strcmp(mine->Value(), theirs->Value()) != 0) {
            mine->SetValue(theirs->Value());
        }
    }
    while (mine != nullptr) {
        const std::string name = mine->Name();
        mine = mine->Next();
        element->RemoveAttribute(name.c_str());
    }
    for (; theirs != nullptr; theirs = theirs->Next()) {
        element->SetAttribute(theirs->Name(), theirs->Value());
    }
}

// The child elements of a holder, each taken whole for a copy of its own
// name, whose attributes most likely stand in the same order; those not
// taken are freed with this.
class SpareElements {
public:
    explicit SpareElements(TiXmlElement* holder)
    {
        while (TiXmlElement* spare = take_first_element(holder)) {
            spares.push_back(spare);
        }
    }
    ~SpareElements()
    {
        for (TiXmlElement* spare : spares) {
            delete spare;
        }
    }
    SpareElements(const SpareElements&) = delete;
    SpareElements& operator=(const SpareElements&) = delete;

    // The first spare of that name, or null. Records of one kind list their
    // commands in much the same order: the search mostly stops at once.
    TiXmlElement* take(const char* name)
    {
        while (first < spares.size() && spares[first] == nullptr) {
            ++first;
        }
        for (size_t i = first; i < spares.size(); ++i) {
            TiXmlElement* spare = spares[i];
            if (spare != nullptr && spare->Value()[0] == name[0] && std::strcmp(spare->Value(), name) == 0) {
                spares[i] = nullptr;
                return spare;
            }
        }
        return nullptr;
    }

private:
    std::vector<TiXmlElement*> spares;
    size_t first = 0;
};

// Appends copies of the child elements of `source` to `destination`, each
// made of a spare of its name from `holder` while there is one.
void copy_children_reusing(TiXmlElement* destination, const TiXmlElement* source, TiXmlElement* holder)
{
    SpareElements spares(holder);
    for (const TiXmlElement* child = source->FirstChildElement(); child != nullptr;
         child = child->NextSiblingElement()) {
        TiXmlElement* reused = spares.take(child->Value());
        if (reused == nullptr) {
            copy_element(xml_add_child(destination, child->Value()), child);
            continue;
        }
        take_attributes(reused, child);
        destination->LinkEndChild(reused);
        // Its own children serve for the copies of the child's.
        TiXmlElement own("");
        xml_swap_children(reused, &own);
        copy_children_reusing(reused, child, &own);
    }
}

bool is_within(const TiXmlNode* node, const TiXmlNode* ancestor)
{
    for (; node != nullptr; node = node->Parent()) {
        if (node == ancestor) {
            return true;
        }
    }
    return false;
}

}  // namespace

void xml_copy(TiXmlElement* destination, const TiXmlElement* source)
{
    if (destination == nullptr || source == nullptr) {
        return;
    }
    if (is_within(destination, source)) {
        // The copy would walk the very children it appends, without end:
        // it is taken from the source as it stands now.
        const std::unique_ptr<TiXmlNode> snapshot(source->Clone());
        copy_element(destination, snapshot->ToElement());
        return;
    }
    copy_element(destination, source);
}

void xml_copy_reusing(TiXmlElement* destination, const TiXmlElement* source, TiXmlElement* spares)
{
    if (destination == nullptr || source == nullptr) {
        return;
    }
    // Spares that are not detached, or that hold either side, are not taken.
    if (spares == nullptr || spares->Parent() != nullptr || is_within(destination, source) ||
        is_within(destination, spares) || is_within(source, spares)) {
        xml_copy(destination, source);
        return;
    }
    for (const TiXmlAttribute* a = source->FirstAttribute(); a != nullptr; a = a->Next()) {
        xml_set_attr(destination, a->Name(), a->Value());
    }
    copy_children_reusing(destination, source, spares);
}

void xml_swap_children(TiXmlElement* a, TiXmlElement* b)
{
    if (a == nullptr || b == nullptr || a == b || is_within(a, b) || is_within(b, a)) {
        return;
    }
    std::swap(a->*NodeLinks::first_child, b->*NodeLinks::first_child);
    std::swap(a->*NodeLinks::last_child, b->*NodeLinks::last_child);
    for (TiXmlElement* owner : {a, b}) {
        for (TiXmlNode* child = owner->FirstChild(); child != nullptr; child = child->NextSibling()) {
            child->*NodeLinks::parent_node = owner;
        }
    }
}

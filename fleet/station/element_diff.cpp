#include "fleet/station/element_diff.h"

#include <cstring>
#include <map>

#include "doc/Lib_xml.h"

namespace {

bool same_text(const char* a, const char* b)
{
    return std::strcmp(a, b) == 0;
}

const char* key_attribute(const TiXmlElement* element)
{
    const char* name = xml_name(element);
    if (same_text(name, "CONFIGURATION") || same_text(name, "ACQUISITION_SEQUENCE")) {
        return "value";
    }
    if (same_text(name, "COMPORT")) {
        return "type";
    }
    return same_text(name, "STATION") ? "id" : nullptr;
}

// COMPORT[type=modem], CONFIGURATION[value=0], SYSCTRL; "#2" for the
// second of a kind.
std::string element_key(const TiXmlElement* element, int occurrence)
{
    std::string key = xml_name(element);
    const char* attribute = key_attribute(element);
    const char* value = attribute != nullptr ? xml_get_attr(element, attribute) : nullptr;
    if (value != nullptr) {
        key += std::string("[") + attribute + "=" + value + "]";
    }
    return occurrence > 1 ? key + "#" + std::to_string(occurrence) : key;
}

// Whether two elements have the same key but for its occurrence: the same
// name and the same value of the attribute that tells them apart, if any.
bool same_kind(const TiXmlElement* a, const TiXmlElement* b)
{
    if (!same_text(xml_name(a), xml_name(b))) {
        return false;
    }
    const char* attribute = key_attribute(a);
    if (attribute == nullptr) {
        return true;
    }
    const char* x = xml_get_attr(a, attribute);
    const char* y = xml_get_attr(b, attribute);
    return x == nullptr || y == nullptr ? x == y : same_text(x, y);
}

struct Keyed {
    std::string key;
    const TiXmlElement* element;
};

std::vector<Keyed> keyed_children(const TiXmlElement* parent, const SkipElement& skip)
{
    std::vector<Keyed> children;
    std::map<std::string, int> seen;
    for (const TiXmlElement* child = xml_first_child(parent); child != nullptr; child = xml_next_sibling(child)) {
        if (skip && skip(child)) {
            continue;
        }
        const std::string kind = element_key(child, 1);
        children.push_back(Keyed{element_key(child, ++seen[kind]), child});
    }
    return children;
}

void add_attribute_differences(const TiXmlElement* older, const TiXmlElement* newer, const std::string& path,
                               std::vector<ElementDifference>& out)
{
    for (const TiXmlAttribute* a = xml_first_attr(older); a != nullptr; a = xml_next_attr(a)) {
        const char* now = xml_get_attr(newer, xml_attr_name(a));
        if (now == nullptr || !same_text(now, xml_attr_value(a))) {
            out.push_back(ElementDifference{path, newer, xml_attr_name(a), xml_attr_value(a), now});
        }
    }
    for (const TiXmlAttribute* a = xml_first_attr(newer); a != nullptr; a = xml_next_attr(a)) {
        if (xml_get_attr(older, xml_attr_name(a)) == nullptr) {
            out.push_back(ElementDifference{path, newer, xml_attr_name(a), nullptr, xml_attr_value(a)});
        }
    }
}

// The walk of same_elements, passing over the children that `skip` names
// on either side.
template <typename Skip>
bool same_trees(const TiXmlElement* a, const TiXmlElement* b, const Skip& skip)
{
    if (!same_text(xml_name(a), xml_name(b)) || !same_attributes(a, b)) {
        return false;
    }
    auto kept = [&](const TiXmlElement* child) {
        while (child != nullptr && skip(child)) {
            child = xml_next_sibling(child);
        }
        return child;
    };
    const TiXmlElement* child_a = kept(xml_first_child(a));
    const TiXmlElement* child_b = kept(xml_first_child(b));
    for (; child_a != nullptr && child_b != nullptr;
         child_a = kept(xml_next_sibling(child_a)), child_b = kept(xml_next_sibling(child_b))) {
        if (!same_trees(child_a, child_b, skip)) {
            return false;
        }
    }
    return child_a == nullptr && child_b == nullptr;
}

bool same_but_skipped(const TiXmlElement* a, const TiXmlElement* b, const SkipElement& skip)
{
    return skip ? same_trees(a, b, skip) : same_elements(a, b);
}

void add_differences(const TiXmlElement* older, const TiXmlElement* newer, const std::string& path,
                     const SkipElement& skip, std::vector<ElementDifference>& out);

// The children of both, passing over those `skip` names.
struct KeptChildren {
    const SkipElement& skip;

    const TiXmlElement* first(const TiXmlElement* parent) const { return kept(xml_first_child(parent)); }
    const TiXmlElement* next(const TiXmlElement* child) const { return kept(xml_next_sibling(child)); }
    const TiXmlElement* kept(const TiXmlElement* child) const
    {
        while (child != nullptr && skip && skip(child)) {
            child = xml_next_sibling(child);
        }
        return child;
    }
};

// Children of the same kinds in the same order on both sides, as a record
// the editor wrote keeps them: each pairs with the child at its place, and
// only the few that differ are named, which is where the time of naming
// every child went. False, with nothing said, when the kinds differ.
bool add_aligned_differences(const TiXmlElement* older, const TiXmlElement* newer, const std::string& prefix,
                             const SkipElement& skip, std::vector<ElementDifference>& out)
{
    const KeptChildren children{skip};
    const TiXmlElement* a = children.first(older);
    const TiXmlElement* b = children.first(newer);
    for (; a != nullptr && b != nullptr; a = children.next(a), b = children.next(b)) {
        if (!same_kind(a, b)) {
            return false;
        }
    }
    if (a != nullptr || b != nullptr) {
        return false;
    }
    for (a = children.first(older), b = children.first(newer); a != nullptr;
         a = children.next(a), b = children.next(b)) {
        if (same_but_skipped(a, b, skip)) {
            continue;
        }
        int occurrence = 1;
        for (const TiXmlElement* before = children.first(older); before != a; before = children.next(before)) {
            occurrence += same_kind(before, a) ? 1 : 0;
        }
        add_differences(a, b, prefix + element_key(a, occurrence), skip, out);
    }
    return true;
}

void add_differences(const TiXmlElement* older, const TiXmlElement* newer, const std::string& path,
                     const SkipElement& skip, std::vector<ElementDifference>& out)
{
    // Most of a changed record is as it was: the quick walk settles it
    // without naming every element on the way.
    if (same_but_skipped(older, newer, skip)) {
        return;
    }
    add_attribute_differences(older, newer, path, out);
    const std::string prefix = path.empty() ? path : path + "/";
    if (add_aligned_differences(older, newer, prefix, skip, out)) {
        return;
    }
    const std::vector<Keyed> old_children = keyed_children(older, skip);
    std::vector<Keyed> new_children = keyed_children(newer, skip);
    std::vector<bool> paired(new_children.size(), false);
    for (const Keyed& old_child : old_children) {
        size_t match = 0;
        while (match < new_children.size() && (paired[match] || new_children[match].key != old_child.key)) {
            ++match;
        }
        if (match == new_children.size()) {
            out.push_back(ElementDifference{prefix + old_child.key, old_child.element, nullptr, "", nullptr});
            continue;
        }
        paired[match] = true;
        add_differences(old_child.element, new_children[match].element, prefix + old_child.key, skip, out);
    }
    for (size_t i = 0; i < new_children.size(); ++i) {
        if (!paired[i]) {
            out.push_back(
                ElementDifference{prefix + new_children[i].key, new_children[i].element, nullptr, nullptr, ""});
        }
    }
}

}  // namespace

bool same_attributes(const TiXmlElement* a, const TiXmlElement* b)
{
    // Records written by the editor list their attributes in the same order:
    // settled in one walk. Otherwise each is looked up by name.
    const TiXmlAttribute* x = xml_first_attr(a);
    const TiXmlAttribute* y = xml_first_attr(b);
    while (x != nullptr && y != nullptr && same_text(xml_attr_name(x), xml_attr_name(y))) {
        if (!same_text(xml_attr_value(x), xml_attr_value(y))) {
            return false;
        }
        x = xml_next_attr(x);
        y = xml_next_attr(y);
    }
    if (x == nullptr && y == nullptr) {
        return true;
    }
    int count = 0;
    for (const TiXmlAttribute* attribute = xml_first_attr(a); attribute != nullptr;
         attribute = xml_next_attr(attribute)) {
        const char* other = xml_get_attr(b, xml_attr_name(attribute));
        if (other == nullptr || !same_text(other, xml_attr_value(attribute))) {
            return false;
        }
        ++count;
    }
    for (const TiXmlAttribute* attribute = xml_first_attr(b); attribute != nullptr;
         attribute = xml_next_attr(attribute)) {
        --count;
    }
    return count == 0;
}

bool same_elements(const TiXmlElement* a, const TiXmlElement* b)
{
    return same_trees(a, b, [](const TiXmlElement*) { return false; });
}

std::vector<ElementDifference> element_differences(const TiXmlElement* older, const TiXmlElement* newer,
                                                   const SkipElement& skip)
{
    std::vector<ElementDifference> out;
    add_differences(older, newer, std::string(), skip, out);
    return out;
}

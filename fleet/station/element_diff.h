// Two element trees compared as settings: element names and attribute
// values exactly, attributes in any order, child elements in order within
// their kind. Text, comments and the file's layout do not count.
#ifndef ZANTOR_FLEET_STATION_ELEMENT_DIFF_H
#define ZANTOR_FLEET_STATION_ELEMENT_DIFF_H

#include <tinyxml.h>

#include <functional>
#include <string>
#include <vector>

// True when the two trees hold the same elements and attributes in the
// same order of elements; the quick test that most stations of two files
// of the same fleet pass.
bool same_elements(const TiXmlElement* a, const TiXmlElement* b);
// True when the two elements' own attributes are the same, in any order.
bool same_attributes(const TiXmlElement* a, const TiXmlElement* b);

struct ElementDifference {
    std::string path;  // of the element, relative to the compared ones: "CONFIGURATION[value=0]/SYSCTRL"
    const TiXmlElement* element = nullptr;  // that element in the newer tree, or in the older one when it is gone
    const char* attribute = nullptr;        // null: the element itself is in one tree only
    // The attribute's values, null when it is absent. For an element in one
    // tree only, "" on the side that holds it.
    const char* old_value = nullptr;
    const char* new_value = nullptr;
};

// Children that the caller compares in its own way (a station's sequences,
// the stations of the list) are passed over when `skip` says so.
using SkipElement = std::function<bool(const TiXmlElement*)>;

// Every difference between the trees under the two elements (whose own
// attributes count, not their names). Children are paired by name, by the
// attribute that tells them apart (CONFIGURATION and ACQUISITION_SEQUENCE by
// `value`, COMPORT by `type`, STATION by `id`) and by their order among the
// children that share both.
std::vector<ElementDifference> element_differences(const TiXmlElement* older, const TiXmlElement* newer,
                                                   const SkipElement& skip);

#endif

#include "doc/secret_names.h"

#include "doc/Lib_xml.h"

namespace {

struct SecretName {
    const char* element;    // every attribute of an element so named; null: any element
    const char* attribute;  // an attribute so named; null: any attribute
};

// A station holds its SIM PIN twice (the `pin` attribute and PIN_CODE), the
// password of its HTTP push and that of its access point.
const SecretName secret_names[] = {
    {"PIN_CODE", nullptr}, {"PASSWORD", nullptr}, {"GPRS_APN_PASSWORD", nullptr},
    {nullptr, "pin"},      {nullptr, "password"},
};

}  // namespace

bool is_secret_attribute(const char* element, const char* attribute)
{
    for (const SecretName& name : secret_names) {
        if (name.element != nullptr ? xml_text_equals(element, name.element)
                                    : xml_text_equals(attribute, name.attribute)) {
            return true;
        }
    }
    return false;
}

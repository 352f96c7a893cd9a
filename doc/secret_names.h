// Which values of a settings file are SIM PINs and passwords, told by the
// names of their elements and attributes alone. Whatever quotes a value of
// a file (the fleet tool's lists, comparisons, changes and findings) asks
// here, so that a secret a hand edit doubled, moved or gave an extra
// attribute is hidden like the ones the station dialog shows.
#ifndef ZANTOR_DOC_SECRET_NAMES_H
#define ZANTOR_DOC_SECRET_NAMES_H

// True when the attribute `attribute` of an element named `element` holds
// a secret: every attribute of a PIN_CODE, PASSWORD or GPRS_APN_PASSWORD
// element wherever it is, and an attribute named pin or password of any
// element (the station's own pin). Letter case does not count; a null
// attribute asks about the element's attributes in general.
bool is_secret_attribute(const char* element, const char* attribute);

#endif

// How much of an SMS a station's alarm text takes. A text in the GSM 7-bit
// default alphabet fits 160 characters in one SMS (the characters of the
// alphabet's extension table take two); any other character makes the
// whole message UCS-2, which fits 70.
#ifndef ZANTOR_FLEET_CHECK_SMS_LENGTH_H
#define ZANTOR_FLEET_CHECK_SMS_LENGTH_H

#include <string>

struct SmsLength {
    int length = 0;             // in the units of the encoding: septets, or UCS-2 characters
    int limit = 160;            // what one SMS holds in that encoding
    char outside_alphabet = 0;  // the first character outside the GSM alphabet (document byte), or 0
    bool fits() const { return length <= limit; }
};

// The length of a document text (Windows-1252) as an SMS.
SmsLength sms_length(const std::string& text);

#endif

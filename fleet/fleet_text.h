// How the fleet tool quotes document texts in its messages, and the forms
// of number it tells apart.
#ifndef ZANTOR_FLEET_FLEET_TEXT_H
#define ZANTOR_FLEET_FLEET_TEXT_H

#include <string>

// In double quotes, a double quote inside written \" (backslashes stay as
// they are: they are in every path of the top level).
std::string quoted(const std::string& text);

// "-12", "900": a number as the editor writes it ("%d").
bool is_plain_integer(const std::string& text);

// "12", "-0.5", "+3.25", ".5": a number as a station reads a threshold;
// not "3,5", "5 V" or an empty text.
bool is_decimal_number(const std::string& text);

#endif

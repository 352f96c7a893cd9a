// What a spreadsheet shows for a number cell under its number format, so
// that the import reads the value the operator sees: 14.6 under "0" is the
// 15 on the screen, 612345678 under "00 00 00 00 00" is "06 12 34 56 78".
#ifndef ZANTOR_FLEET_FORMATS_NUMBER_FORMAT_H
#define ZANTOR_FLEET_FORMATS_NUMBER_FORMAT_H

#include <string>

// The code of one of the number formats a spreadsheet has built in, by its
// id in the workbook's styles ("0.00" for 2); "" for General and for the
// ones no station list uses.
std::string built_in_number_format(int id);

// True when the format shows a number as a date or a time: one of the
// built-in ones, or a code with day, month, year, hour or second letters
// outside quoted text and brackets.
bool is_date_format(int id, const std::string& code);

// The text a cell of `value` shows under the format `code` (General when
// empty or when the format is one the import does not draw: a fraction, an
// exponent, a condition): rounded to the format's decimals, padded with its
// zeros, with its own characters. Thousands are not grouped, since a list's
// numbers are read back as digits. Under General a whole number shows all
// its digits, and a value within 1e-9 of a whole number
// (30.000000000000004, what a sum of decimals leaves) shows as that number.
std::string shown_number(double value, const std::string& code);

#endif

// How the fleet tool quotes document texts in its messages, and the forms
// of number it tells apart.
#ifndef ZANTOR_FLEET_STATION_TEXT_H
#define ZANTOR_FLEET_STATION_TEXT_H

#include <string>

// A byte of document text that no box, terminal or spreadsheet shows as a
// character: below 0x20, 0x7F, and the five bytes Windows-1252 leaves
// undefined (read as the control characters of the same number).
bool is_control_byte(unsigned char byte);

// The document text with each control byte written \xNN (its code in two
// upper-case hex digits, a line break as \x0A), as list shows it. An import
// reads a cell written so as the value unchanged.
std::string visible_text(const std::string& text);

// The same for a text in UTF-8 or in document text alike: the ASCII control
// characters (below 0x20, and 0x7F), which are never part of a character of
// several bytes, written \xNN. So no value or file name in a message can
// move the terminal's cursor or begin a line of its own.
std::string without_controls(const std::string& text);

// In double quotes, a double quote inside written \" and a control
// character as \xNN (backslashes stay as they are: they are in every path
// of the top level).
std::string quoted(const std::string& text);

// The same for a UTF-8 text in a message: at most its first 80 characters,
// then "...", so that an error about a cell of megabytes stays one line.
std::string quoted_excerpt(const std::string& utf8);

// UTF-8 text as it may reach a terminal: every control character written
// \xNN, C1 ones (U+0080 to U+009F) included, but the line ends (LF, and CR
// before LF, as CSV ends its lines) and the tab that separates cells.
std::string terminal_text(const std::string& utf8);

// "-12", "900": a number as the editor writes it ("%d").
bool is_plain_integer(const std::string& text);

// "12", "-0.5", "+3.25", ".5": a number as a station reads a threshold;
// not "3,5", "5 V" or an empty text.
bool is_decimal_number(const std::string& text);

#endif

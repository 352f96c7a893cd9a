// Document texts (Windows-1252 bytes) in and out of the controls.
#ifndef ZANTOR_WIDGETS_CP1252_TEXT_H
#define ZANTOR_WIDGETS_CP1252_TEXT_H

#include <QString>
#include <string>

// Every byte shows as one character, so every byte value survives a trip
// through a control and back.
QString qstring_from_cp1252(const char* text);

// The reverse; a character Windows-1252 cannot hold becomes "?".
std::string cp1252_from_qstring(const QString& text);

#endif

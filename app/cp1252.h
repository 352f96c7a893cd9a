// Document text is single-byte Windows-1252, as the stations' software
// expects. These two conversions move it in and out of the controls.
#ifndef ZANTOR_APP_CP1252_H
#define ZANTOR_APP_CP1252_H

#include <QString>
#include <string>

// Every byte maps to one character; the five bytes Windows-1252 leaves
// undefined map to the control characters of the same number, so every byte
// value survives a trip through a control and back.
QString qstring_from_cp1252(const char* text);

// The reverse; a character Windows-1252 cannot hold becomes "?".
std::string cp1252_from_qstring(const QString& text);

#endif

// Document texts (Windows-1252 bytes) in and out of the controls.
#ifndef ZANTOR_WIDGETS_CP1252_TEXT_H
#define ZANTOR_WIDGETS_CP1252_TEXT_H

#include <QString>
#include <QValidator>
#include <string>

// Every byte shows as one character, so every byte value survives a trip
// through a control and back.
QString qstring_from_cp1252(const char* text);

// The reverse; a character Windows-1252 cannot hold becomes "?".
std::string cp1252_from_qstring(const QString& text);

// Keeps out of an edit every character that Windows-1252 cannot hold, as it
// is typed or pasted, so that what the edit shows is what the file receives.
class Cp1252Validator : public QValidator {
public:
    using QValidator::QValidator;

    State validate(QString& text, int& cursor) const override;
};

#endif

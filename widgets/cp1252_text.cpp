#include "widgets/cp1252_text.h"

#include "doc/cp1252.h"

QString qstring_from_cp1252(const char* text)
{
    QString result;
    if (text == nullptr) {
        return result;
    }
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p != 0; ++p) {
        result.append(QChar(static_cast<char16_t>(unicode_from_cp1252(*p))));
    }
    return result;
}

std::string cp1252_from_qstring(const QString& text)
{
    std::string result;
    result.reserve(static_cast<size_t>(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        char byte = '?';
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            ++i;  // one character outside the basic plane: one "?"
        } else {
            cp1252_from_unicode(c, &byte);
        }
        result += byte;
    }
    return result;
}

QValidator::State Cp1252Validator::validate(QString& text, int& cursor) const
{
    qsizetype kept = 0;
    const qsizetype length = text.size();
    for (qsizetype i = 0; i < length; ++i) {
        char byte = 0;
        if (cp1252_from_unicode(text.at(i).unicode(), &byte)) {
            text[kept++] = text.at(i);
        } else if (i < cursor) {
            --cursor;
        }
    }
    text.truncate(kept);
    return Acceptable;
}

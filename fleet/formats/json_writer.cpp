#include "fleet/formats/json_writer.h"

#include <cstdio>

std::string json_string(const std::string& utf8)
{
    std::string out = "\"";
    for (size_t i = 0; i < utf8.size(); ++i) {
        const char c = utf8[i];
        const unsigned char byte = static_cast<unsigned char>(c);
        // DEL and the C1 controls (U+0080 to U+009F) are valid in a JSON
        // string, but a terminal obeys them: they are escaped too.
        const unsigned char next = i + 1 < utf8.size() ? static_cast<unsigned char>(utf8[i + 1]) : 0;
        if (byte == 0x7F || (byte == 0xC2 && next >= 0x80 && next < 0xA0)) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04X", byte == 0x7F ? 0x7F : next);
            out += escaped;
            i += byte == 0x7F ? 0 : 1;
            continue;
        }
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (byte < 0x20) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04X", byte);
                    out += escaped;
                } else {
                    out += c;
                }
        }
    }
    return out + "\"";
}

std::string json_object(const std::vector<std::pair<const char*, JsonValue>>& members)
{
    std::string out = "{";
    for (size_t i = 0; i < members.size(); ++i) {
        out += (i > 0 ? ", " : "") + json_string(members[i].first) + ": ";
        out += members[i].second.is_null ? "null" : json_string(members[i].second.text);
    }
    return out + "}";
}

std::string json_array(const std::vector<std::string>& objects)
{
    if (objects.empty()) {
        return "[]\n";
    }
    std::string out = "[\n";
    for (size_t i = 0; i < objects.size(); ++i) {
        out += "  " + objects[i] + (i + 1 < objects.size() ? ",\n" : "\n");
    }
    return out + "]\n";
}

// JSON output: objects of text values, one a line inside an array.
#ifndef ZANTOR_FLEET_FORMATS_JSON_WRITER_H
#define ZANTOR_FLEET_FORMATS_JSON_WRITER_H

#include <string>
#include <utility>
#include <vector>

// A JSON string of a UTF-8 text: quotes, backslashes and control
// characters escaped.
std::string json_string(const std::string& utf8);

// One value of an object: a text, or null.
struct JsonValue {
    bool is_null;
    std::string text;
    static JsonValue null() { return JsonValue{true, std::string()}; }
    static JsonValue of(std::string text) { return JsonValue{false, std::move(text)}; }
};

// {"key": "value", "other": null}
std::string json_object(const std::vector<std::pair<const char*, JsonValue>>& members);

// "[\n  object,\n  object\n]\n", or "[]\n" for none.
std::string json_array(const std::vector<std::string>& objects);

#endif

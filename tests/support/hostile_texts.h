// Settings texts built to make a loader's work grow faster than their
// length: long runs of character references, with and without their ";",
// in attribute values and in element text.
#ifndef ZANTOR_TESTS_SUPPORT_HOSTILE_TEXTS_H
#define ZANTOR_TESTS_SUPPORT_HOSTILE_TEXTS_H

#include <string>
#include <vector>

inline std::string repeated(const std::string& piece, size_t times)
{
    std::string text;
    text.reserve(piece.size() * times);
    for (size_t i = 0; i < times; ++i) {
        text += piece;
    }
    return text;
}

// Each text holds `count` references (or pieces of one) in a settings file.
inline std::vector<std::string> reference_runs(size_t count)
{
    const std::string value_start = "<SETUP><STATIONS><STATION id=\"5\" description=\"";
    const std::string value_end = "\" /></STATIONS></SETUP>";
    return {
        value_start + repeated("&lt;", count) + value_end,
        "<SETUP>" + repeated("&lt;", count) + "</SETUP>",
        value_start + repeated("&#", count) + value_end,
        "<SETUP>" + repeated("&#x", count) + "</SETUP>",
        "<SETUP a='" + repeated("&#x", count) + "'/>",
        // Every reference reaches the same far ";" over a run of digits
        // that a letter in front of it makes invalid.
        "<SETUP>" + repeated("&#z", count) + repeated("1", count) + ";</SETUP>",
        "<SETUP>" + repeated("&", count) + "</SETUP>",
    };
}

// A settings file of about `bytes` bytes that is one run of character
// references before its one station: the slowest file found for the checks
// made before parsing.
inline std::string worst_reference_file(size_t bytes)
{
    const std::string stations = "<STATIONS><STATION id=\"1\" description=\"worst\" /></STATIONS></SETUP>";
    return "<SETUP>" + repeated("&#x52;", bytes / 6) + stations;
}

#endif

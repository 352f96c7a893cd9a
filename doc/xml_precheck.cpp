// A tokeniser that follows the XML parser's own reading rules closely enough
// to know how deep its recursion will go, without recursing itself, and
// which "&" in a value it would drop or misread.
//
// Wherever the parser would stop with an error, the walk goes on: what it
// counts after that point can only raise the result, never hide a level the
// parser would reach.
//
// The walk stays linear in the length of the text: a search for the next
// "<", quote, "&" or ";" that an earlier search already answered is not
// done again, so a run of a million character references costs one pass.
#include "doc/xml_precheck.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace {

// The parser's own character classes: under the current locale for bytes
// below 127, and every byte from 127 up counts as a letter. They are looked
// up once per walk, since a fleet file has tens of millions of bytes.
struct CharClasses {
    bool space[256];
    bool name_start[256];
    bool name_char[256];

    CharClasses()
    {
        for (int b = 0; b < 256; ++b) {
            const char c = static_cast<char>(b);
            space[b] = isspace(b) != 0 || c == '\n' || c == '\r';
            name_start[b] = (b < 127 ? isalpha(b) != 0 : true) || c == '_';
            name_char[b] = (b < 127 ? isalnum(b) != 0 : true) || c == '_' || c == '-' || c == '.' || c == ':';
        }
    }
};

class Walker {
public:
    Walker(const char* text, size_t length) : text(text), end(length)
    {
        for (Found& found : next) {
            found.from = found.at = end + 1;  // nothing known yet
        }
    }

    XmlPrecheck run(int stop_above)
    {
        walk(stop_above);
        result.bytes_scanned = scanned;
        return result;
    }

private:
    // The answer of the last search for one byte value: no such byte in
    // [from, at), and `at` holds it or is the end.
    struct Found {
        size_t from;
        size_t at;
    };

    const char* text;
    size_t end;
    XmlPrecheck result;
    const CharClasses classes;
    Found next[256];
    size_t scanned = 0;
    // The last ";" whose digits were read backwards, for decimal and for
    // hexadecimal references, and where those digits begin.
    size_t digits_checked_for[2] = {0, 0};
    size_t digits_begin_at[2] = {0, 0};

    void walk(int stop_above)
    {
        size_t i = 0;
        int depth = 0;
        while (i < end && result.deepest <= stop_above) {
            if (text[i] != '<') {
                // Text outside the root is never read, so never damaged.
                i = skip_text(i, depth > 0);
                continue;
            }
            // Start and end tags first: they are nearly all of a settings
            // file, and no other markup begins with a name letter or "/".
            if (i + 1 < end && is_name_start(text[i + 1])) {
                raise(depth + 1);
                bool opened = false;
                i = skip_start_tag(i + 1, &opened);
                if (opened) {
                    ++depth;
                }
            } else if (i + 1 < end && text[i + 1] == '/' && depth > 0) {
                --depth;  // the parser accepts only the matching end tag, or stops
                i = after(i + 2, ">");
            } else if (starts_with_ignoring_case(i, "<?xml")) {
                i = skip_declaration(i + 5);
            } else if (starts_with(i, "<!--")) {
                i = after(i + 4, "-->");
            } else if (starts_with(i, "<![CDATA[")) {
                i = after(i + 9, "]]>");
            } else if (starts_with(i, "<!")) {
                i = after(i + 2, ">");
            } else {
                i = after(i + 1, ">");  // any other "<...>" is read as an unknown node
            }
        }
    }

    bool is_space(char c) const { return classes.space[static_cast<unsigned char>(c)]; }
    bool is_name_start(char c) const { return classes.name_start[static_cast<unsigned char>(c)]; }
    bool is_name_char(char c) const { return classes.name_char[static_cast<unsigned char>(c)]; }

    void raise(int depth)
    {
        if (depth > result.deepest) {
            result.deepest = depth;
        }
    }

    bool starts_with(size_t i, const char* tag) const
    {
        size_t n = strlen(tag);
        return end - i >= n && memcmp(text + i, tag, n) == 0;
    }

    bool starts_with_ignoring_case(size_t i, const char* tag) const
    {
        for (; *tag != '\0'; ++tag, ++i) {
            if (i >= end || tolower(static_cast<unsigned char>(text[i])) != *tag) {
                return false;
            }
        }
        return true;
    }

    // Position just past the first `tag` found from `i`, or the end. The
    // walk goes on from there, so these searches never overlap.
    size_t after(size_t i, const char* tag)
    {
        size_t n = strlen(tag);
        const char* found = i < end ? strstr(text + i, tag) : nullptr;
        const size_t stop = found != nullptr ? static_cast<size_t>(found - text) + n : end;
        scanned += stop - std::min(i, stop);
        return stop;
    }

    // Position of the first `c` in [i, limit), or `limit`.
    size_t find(size_t i, char c, size_t limit)
    {
        Found& known = next[static_cast<unsigned char>(c)];
        if (i < known.from || i > known.at || known.at > end) {
            const void* found = i < end ? memchr(text + i, c, end - i) : nullptr;
            known.from = i;
            known.at = found != nullptr ? static_cast<size_t>(static_cast<const char*>(found) - text) : end;
            scanned += known.at - std::min(i, known.at);
        }
        return std::min(known.at, limit);
    }

    static bool is_digit(char c, bool hex)
    {
        return (c >= '0' && c <= '9') || (hex && ((c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')));
    }

    // Where the run of digits that ends just before `semicolon` begins.
    // References that share a ";" share the answer.
    size_t digits_begin(size_t semicolon, bool hex)
    {
        if (digits_checked_for[hex] != semicolon) {
            size_t q = semicolon;
            while (q > 0 && is_digit(text[q - 1], hex)) {
                --q;
            }
            scanned += semicolon - q + 1;
            digits_checked_for[hex] = semicolon;
            digits_begin_at[hex] = q;
        }
        return digits_begin_at[hex];
    }

    // Just past the character reference at `i` ("&#" digits ";" or "&#x" hex
    // digits ";"), read the parser's way: it takes the first ";" that follows,
    // however far, and reads the digits backwards from there to the "#" or
    // the nearest "x". So "&#x" can run over quotes and tags up to a later
    // "x;" and hide them all. Anything else is one byte.
    size_t skip_reference(size_t i)
    {
        if (i + 2 >= end || text[i + 1] != '#') {
            return i + 1;
        }
        const bool hex = text[i + 2] == 'x';
        const size_t semicolon = find(i + (hex ? 3 : 2), ';', end);
        if (semicolon == end) {
            return i + 1;
        }
        // The digits must reach back to the "x" (or the "#"): this one's, or
        // a later reference's that the first ";" also ends.
        const size_t first_digit = digits_begin(semicolon, hex);
        if (text[first_digit - 1] != (hex ? 'x' : '#')) {
            return i + 1;  // the parser stops here
        }
        return semicolon + 1;
    }

    // Whether the "&" at `i` begins a reference that the parser reads as
    // written: one of the five named ones, or "&#" decimal digits ";" or
    // "&#x" hexadecimal digits ";". Any other "&" it drops ("&nbsp;" reads
    // "nbsp;"), and a reference without its ";" takes the digits up to a
    // later ";" and swallows what stands between. Reads only the reference's
    // own bytes, which no other "&" shares.
    bool is_sound_reference(size_t i)
    {
        static const char* const named[] = {"&amp;", "&lt;", "&gt;", "&quot;", "&apos;"};
        if (i + 1 >= end || text[i + 1] != '#') {
            for (const char* name : named) {
                if (starts_with(i, name)) {
                    return true;
                }
            }
            return false;
        }
        const bool hex = i + 2 < end && text[i + 2] == 'x';
        const size_t first = i + (hex ? 3 : 2);
        size_t j = first;
        while (j < end && is_digit(text[j], hex)) {
            ++j;
        }
        scanned += j - i;
        return j > first && j < end && text[j] == ';';
    }

    // Position of the first `stop` from `i` that no reference swallows, or
    // the end. Both searches are remembered, so a run of references costs
    // one pass however the ";" and the "&" lie. With `read`, the
    // bytes are a value the parser reads, and the first "&" it would damage
    // is noted.
    size_t skip_to(size_t i, char stop, bool read)
    {
        read = read && result.first_bad_ampersand == SIZE_MAX;
        for (;;) {
            const size_t close = find(i, stop, end);
            const size_t ampersand = find(i, '&', close);
            if (ampersand == close) {
                return close;
            }
            if (read && !is_sound_reference(ampersand)) {
                result.first_bad_ampersand = ampersand;
                read = false;
            }
            i = skip_reference(ampersand);
        }
    }

    // From text to the next "<", stepping over references.
    size_t skip_text(size_t i, bool read) { return skip_to(i, '<', read); }

    // From just inside a quoted value to just past its closing quote,
    // stepping over references.
    size_t skip_quoted(size_t i, char quote, bool read)
    {
        const size_t close = skip_to(i, quote, read);
        return close == end ? end : close + 1;
    }

    size_t skip_spaces(size_t i) const
    {
        while (i < end && is_space(text[i])) {
            ++i;
        }
        return i;
    }

    size_t skip_name(size_t i) const
    {
        while (i < end && is_name_char(text[i])) {
            ++i;
        }
        return i;
    }

    // One attribute: name, "=", and a quoted or bare value. Returns the
    // position after it; on a malformed attribute (where the parser stops)
    // at least one byte further.
    size_t skip_attribute(size_t i, bool read)
    {
        size_t start = i;
        if (i >= end || !is_name_start(text[i])) {
            return start + 1;
        }
        i = skip_spaces(skip_name(i));
        if (i >= end || text[i] != '=') {
            return std::max(i, start + 1);
        }
        i = skip_spaces(i + 1);
        if (i >= end) {
            return end;
        }
        if (text[i] == '"' || text[i] == '\'') {
            return skip_quoted(i + 1, text[i], read);
        }
        while (i < end && !is_space(text[i]) && text[i] != '/' && text[i] != '>' && text[i] != '"' && text[i] != '\'') {
            ++i;
        }
        return i;
    }

    // From the first letter of the name to just past ">" or "/>".
    size_t skip_start_tag(size_t i, bool* opened)
    {
        i = skip_name(i);
        for (;;) {
            i = skip_spaces(i);
            if (i >= end) {
                return end;
            }
            if (text[i] == '/') {
                return i + 1 < end && text[i + 1] == '>' ? i + 2 : i + 1;
            }
            if (text[i] == '>') {
                *opened = true;
                return i + 1;
            }
            i = skip_attribute(i, true);
        }
    }

    // From just after "<?xml" to just past the ">" that ends the declaration.
    // The parser reads version, encoding and standalone as attributes and
    // steps over anything else up to a blank or ">".
    size_t skip_declaration(size_t i)
    {
        while (i < end) {
            if (text[i] == '>') {
                return i + 1;
            }
            i = skip_spaces(i);
            if (i >= end) {
                result.unterminated_declaration = true;
                return end;
            }
            if (starts_with_ignoring_case(i, "version") || starts_with_ignoring_case(i, "encoding") ||
                starts_with_ignoring_case(i, "standalone")) {
                i = skip_attribute(i, false);
            } else {
                while (i < end && text[i] != '>' && !is_space(text[i])) {
                    ++i;
                }
            }
        }
        return end;
    }
};

}  // namespace

XmlPrecheck precheck_xml(const char* text, size_t length, int stop_above)
{
    if (text == nullptr) {
        return XmlPrecheck();
    }
    return Walker(text, length).run(stop_above);
}

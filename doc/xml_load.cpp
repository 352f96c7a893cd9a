// Loading: the file is read here rather than by TinyXML so that its text can
// be checked and prepared before parsing. Parsing uses the legacy encoding,
// so every byte of a value reaches the document unchanged, whatever the file
// declares: the settings are single-byte text throughout.
#include "doc/xml_load.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>
#include <utility>
#include <vector>

#include "doc/file_state.h"
#include "doc/file_system.h"
#include "doc/xml_precheck.h"

bool read_whole_file(const char* file_name, std::string& text, std::string& error, const char* expected,
                     unsigned long long limit)
{
    switch (file_system::kind_of(file_name)) {
        case file_system::Kind::folder:
            error = std::string("a folder, not ") + expected + " (" + strerror(EISDIR) + ")";
            return false;
        case file_system::Kind::other:
            error = std::string("not ") + expected + ": a device, a pipe or a socket, not a regular file";
            return false;
        default:
            break;
    }
    std::string reason;
    std::FILE* file = file_system::open_for_reading(file_name, reason);
    if (file == nullptr) {
        error = "cannot open: " + reason;
        return false;
    }
    // Room for the whole file at once: a fleet file is tens of MB, and a
    // text grown block by block would be copied several times over.
    unsigned long long size = 0;
    const bool size_known = file_system::size_of(file, size);
    const std::string too_large =
        "too large for " + std::string(expected) + ": more than " + std::to_string(limit >> 20) + " MiB";
    if (size_known && size > limit) {
        fclose(file);
        error = too_large;
        return false;
    }
    if (size_known) {
        text.reserve(static_cast<size_t>(size));
    }
    char block[65536];
    size_t got;
    while ((got = fread(block, 1, sizeof block, file)) > 0) {
        text.append(block, got);
        if (text.size() > limit) {  // a device or a growing file
            fclose(file);
            error = too_large;
            return false;
        }
    }
    int read_errno = ferror(file) ? errno : 0;
    fclose(file);
    if (read_errno != 0) {
        error = std::string("cannot read: ") + strerror(read_errno);
        return false;
    }
    return true;
}

namespace {

// Turns CR LF and lone CR into LF, as the parser expects line ends. Moves
// whole lines at a time: every line of a settings file ends in CR LF.
void normalise_line_ends(std::string& text)
{
    char* const begin = &text[0];
    const char* const end = begin + text.size();
    char* out = static_cast<char*>(memchr(begin, '\r', text.size()));
    if (out == nullptr) {
        return;
    }
    const char* in = out;
    while (in < end) {
        // `in` is at a CR here.
        *out++ = '\n';
        ++in;
        if (in < end && *in == '\n') {
            ++in;
        }
        const char* next_cr = static_cast<const char*>(memchr(in, '\r', static_cast<size_t>(end - in)));
        const char* line_end = next_cr != nullptr ? next_cr : end;
        memmove(out, in, static_cast<size_t>(line_end - in));
        out += line_end - in;
        in = line_end;
    }
    text.resize(static_cast<size_t>(out - begin));
}

// The parser reads "<!DOCTYPE" only up to the first ">", so the declarations
// of an internal subset ("<!DOCTYPE SETUP [<!ENTITY ...>]>") end its reading
// at the "]": the file is refused, and this tells the operator why.
bool has_internal_subset(const std::string& text)
{
    size_t doctype = text.find("<!DOCTYPE");
    if (doctype == std::string::npos) {
        return false;
    }
    size_t bracket = text.find('[', doctype);
    return bracket != std::string::npos && bracket < text.find('>', doctype);
}

// Element names compared as the editor walks them: ignoring ASCII case.
bool same_name(const std::string& a, const char* b)
{
    size_t i = 0;
    for (; i < a.size() && b[i] != '\0'; ++i) {
        if (toupper(static_cast<unsigned char>(a[i])) != toupper(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return i == a.size() && b[i] == '\0';
}

bool is_name_byte(char c)
{
    const unsigned char b = static_cast<unsigned char>(c);
    return b >= 127 || isalnum(b) || c == '_' || c == '-' || c == '.' || c == ':';
}

bool is_name_start(char c)
{
    const unsigned char b = static_cast<unsigned char>(c);
    return b >= 127 || isalpha(b) || c == '_';
}

// "line 4" and "line 4, column 31" for a position in the text as loaded
// (line ends already turned into LF, so the lines are the file's). Columns
// count bytes.
std::string line_of(const std::string& text, size_t offset)
{
    offset = std::min(offset, text.size());
    return "line " + std::to_string(std::count(text.begin(), text.begin() + offset, '\n') + 1);
}

std::string place_of(const std::string& text, size_t offset)
{
    offset = std::min(offset, text.size());
    const size_t line_start = offset == 0 ? std::string::npos : text.rfind('\n', offset - 1);
    const size_t column = line_start == std::string::npos ? offset + 1 : offset - line_start;
    return line_of(text, offset) + ", column " + std::to_string(column);
}

// The position the parser gives (row and column from 1, a tab reaching the
// next multiple of 4 columns) as an offset into the text.
size_t offset_of(const std::string& text, int row, int column)
{
    size_t at = 0;
    for (int line = 1; line < row && at != std::string::npos; ++line) {
        at = text.find('\n', at);
        at = at == std::string::npos ? at : at + 1;
    }
    if (at == std::string::npos) {
        return text.size();
    }
    for (int counted = 0; at < text.size() && text[at] != '\n' && counted < column - 1; ++at) {
        counted = text[at] == '\t' ? counted + 4 - counted % 4 : counted + 1;
    }
    return at;
}

// Why the parser would drop or misread the "&" at `offset`.
std::string ampersand_reason(const std::string& text, size_t offset)
{
    size_t j = offset + 1;
    if (j < text.size() && text[j] == '#') {
        const bool hex = j + 1 < text.size() && text[j + 1] == 'x';
        j += hex ? 2 : 1;
        const size_t digits = j;
        while (j < text.size() &&
               (hex ? isxdigit(static_cast<unsigned char>(text[j])) : isdigit(static_cast<unsigned char>(text[j])))) {
            ++j;
        }
        if (j > digits) {
            return "the reference \"" + text.substr(offset, j - offset) + "\" lacks its \";\": write &amp; for &";
        }
    } else if (j < text.size() && isalpha(static_cast<unsigned char>(text[j]))) {
        while (j < text.size() && isalnum(static_cast<unsigned char>(text[j]))) {
            ++j;
        }
        if (j < text.size() && text[j] == ';') {
            return "unknown reference \"" + text.substr(offset, j + 1 - offset) + "\": write &amp; for &";
        }
    }
    return "a bare \"&\": write &amp; for &";
}

// Where a text that the parser refused stops making sense, told by a walk of
// its tags: the first element's name, the first likely cause (with the start
// of its tag, to be weighed against where the parser stopped), and the
// elements still open at the end (innermost last) when the walk found none.
// Only run on a refused file, so its cost never counts against a good one.
struct OpenElement {
    std::string name;
    std::string id;
    size_t at;
};
struct Cause {
    size_t tag = std::string::npos;  // where the tag holding it starts
    size_t at = 0;
    std::string reason;  // empty when none was found
};
struct TagWalk {
    std::string root;
    std::vector<OpenElement> open;  // at the end of the text
    Cause cause;
};

std::string broken_quote(const std::string& attribute, const std::string& element)
{
    return attribute.empty() ? "a quote is missing or unclosed in the tag " + element
                             : "a quote is missing or unclosed around the value of " + attribute + " in " + element;
}

TagWalk walk_tags(const std::string& text)
{
    TagWalk walk;
    size_t i = 0;
    const size_t end = text.size();
    auto past = [&](size_t from, const char* close) {
        const size_t found = text.find(close, from);
        return found == std::string::npos ? end : found + strlen(close);
    };
    auto found = [&](size_t tag, size_t at, std::string reason) { walk.cause = Cause{tag, at, std::move(reason)}; };
    while (i < end && walk.cause.reason.empty()) {
        i = text.find('<', i);
        if (i == std::string::npos) {
            break;
        }
        if (text.compare(i, 4, "<!--") == 0) {
            const size_t start = i;
            i = past(i + 4, "-->");
            if (i == end && text.compare(end - 3, 3, "-->") != 0) {
                found(start, start, "a comment without its end \"-->\"");
            }
        } else if (text.compare(i, 9, "<![CDATA[") == 0) {
            const size_t start = i;
            i = past(i + 9, "]]>");
            if (i == end && text.compare(end - 3, 3, "]]>") != 0) {
                found(start, start, "a CDATA section without its end \"]]>\"");
            }
        } else if (text.compare(i, 2, "<?") == 0 || text.compare(i, 2, "<!") == 0) {
            i = past(i + 2, ">");
        } else if (text.compare(i, 2, "</") == 0) {
            size_t name_end = i + 2;
            while (name_end < end && is_name_byte(text[name_end])) {
                ++name_end;
            }
            const std::string name = text.substr(i + 2, name_end - i - 2);
            // Outside the root the parser reads an end tag as unknown markup.
            if (!walk.open.empty() && name_end < end) {
                if (walk.open.back().name != name) {
                    found(i, i,
                          "</" + name + "> closes " + walk.open.back().name + ", opened at " +
                              line_of(text, walk.open.back().at));
                } else {
                    walk.open.pop_back();
                }
            }
            i = past(name_end, ">");
        } else if (i + 1 == end) {
            break;  // cut short right after it
        } else if (!is_name_start(text[i + 1])) {
            // The parser takes "< " or "<3" in a text for unknown markup
            // that runs to the next ">".
            if (!walk.open.empty()) {
                found(i, i, "a bare \"<\": write &lt; for <");
            }
            i = past(i + 1, ">");
        } else {
            size_t j = i + 1;
            while (j < end && is_name_byte(text[j])) {
                ++j;
            }
            OpenElement element{text.substr(i + 1, j - i - 1), std::string(), i};
            if (walk.root.empty()) {
                walk.root = element.name;
            }
            // The attributes up to ">" or "/>", quoted values read whole.
            bool closed = false;
            std::string attribute;
            while (j < end && text[j] != '>' && walk.cause.reason.empty()) {
                if (text[j] == '<') {
                    found(i, i, "the tag " + element.name + " lacks its \">\"");
                } else if (text[j] == '"' || text[j] == '\'') {
                    const size_t close = text.find(text[j], j + 1);
                    const size_t before = text.find_last_not_of(" \t\n", j - 1);
                    const bool after_equals = before != std::string::npos && text[before] == '=';
                    if (!after_equals) {
                        found(i, j, broken_quote(attribute, element.name));  // no opening quote
                    } else if (close == std::string::npos) {
                        // Cut short in a value, or a value whose quote runs over the tags after it.
                        if (text.find('<', j) != std::string::npos) {
                            found(i, j, broken_quote(attribute, element.name));
                        }
                        j = end;
                        break;
                    } else {
                        const size_t tag = text.find('<', j);
                        if (tag < close && tag + 1 < end && (is_name_start(text[tag + 1]) || text[tag + 1] == '/')) {
                            found(i, j, broken_quote(attribute, element.name));
                        }
                        if (attribute == "id") {
                            element.id = text.substr(j + 1, close - j - 1);
                        }
                        j = close + 1;
                    }
                    continue;
                } else if (is_name_start(text[j])) {
                    const size_t name = j;
                    while (j < end && is_name_byte(text[j])) {
                        ++j;
                    }
                    attribute = text.substr(name, j - name);
                    continue;
                }
                closed = text[j] == '/' && j + 1 < end && text[j + 1] == '>';
                ++j;
            }
            if (!closed || j >= end) {
                walk.open.push_back(std::move(element));
            }
            i = j < end ? j + 1 : end;
        }
    }
    return walk;
}

// The reason a parse failed, or a parsed text was refused for an "&" at
// `bad_ampersand`, in the operator's words where the walk of the tags tells
// more than the parser's message.
std::string refused_reason(const std::string& text, size_t bad_ampersand, const TiXmlDocument& doc)
{
    const TagWalk walk = walk_tags(text);
    if (!walk.root.empty() && !same_name(walk.root, "SETUP")) {
        return "not a settings file: its root element is " + walk.root + ", not SETUP";
    }
    const bool placed = doc.Error() && doc.ErrorRow() > 0;
    const size_t parser_at = placed ? offset_of(text, doc.ErrorRow(), doc.ErrorCol()) : std::string::npos;
    // A cause found before the parser stopped is the one to mend; after it,
    // the text may just be read out of step.
    Cause cause = walk.cause;
    if (bad_ampersand != std::string::npos) {
        // In a value it counts from its tag, as the parser's errors do; in
        // a text from itself.
        size_t tag = text.rfind('<', bad_ampersand);
        if (tag == std::string::npos || text.find('>', tag) < bad_ampersand) {
            tag = bad_ampersand;
        }
        const Cause ampersand{tag, bad_ampersand, ampersand_reason(text, bad_ampersand)};
        if (cause.reason.empty() || ampersand.tag <= cause.tag) {
            cause = ampersand;
        }
    }
    if (!cause.reason.empty() && cause.tag <= parser_at) {
        return place_of(text, cause.at) + ": " + cause.reason;
    }
    if (walk.cause.reason.empty() && !walk.open.empty()) {
        const OpenElement* inside = &walk.open.back();
        for (const OpenElement& element : walk.open) {
            if (same_name(element.name, "STATION")) {
                inside = &element;
            }
        }
        return place_of(text, text.size()) + ": the file ends inside " + inside->name +
               (inside->id.empty() ? "" : " " + inside->id) + " (truncated?)";
    }
    std::string description = doc.ErrorDesc();
    if (!description.empty() && description.back() == '.') {
        description.pop_back();
    }
    // Errors found where the parser lost its place carry no position.
    return placed ? place_of(text, parser_at) + ": " + description : description + " (position unknown)";
}

}  // namespace

std::string foreign_root_error(const TiXmlElement* root)
{
    if (root == nullptr || same_name(root->Value(), "SETUP")) {
        return std::string();
    }
    return std::string("not a settings file: its root element is ") + root->Value() + ", not SETUP";
}

bool parse_document(TiXmlDocument& doc, std::string text, std::string& error)
{
    doc.Clear();
    doc.ClearError();
    if (text.empty()) {
        error = "empty file";
        return false;
    }
    // Notepad's "Unicode": every other byte is zero.
    if (text.compare(0, 2, "\xFF\xFE") == 0 || text.compare(0, 2, "\xFE\xFF") == 0 ||
        text.compare(0, 2, std::string("<\0", 2)) == 0 || text.compare(0, 2, std::string("\0<", 2)) == 0) {
        error = "the file was saved as UTF-16: save it as UTF-8 or Windows-1252";
        return false;
    }
    if (text.find('\0') != std::string::npos) {
        error = "not a text file: it contains a zero byte";
        return false;
    }
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        text.erase(0, 3);
    }
    normalise_line_ends(text);
    // A CSV sheet, a JSON file or a README picked by mistake: the parser
    // would call it an empty document.
    const size_t first = text.find_first_not_of(" \t\n");
    if (first == std::string::npos) {
        error = "empty file";
        return false;
    }
    if (text[first] != '<') {
        error = "not an XML file";
        return false;
    }

    XmlPrecheck check = precheck_xml(text.c_str(), text.size(), max_element_nesting);
    if (check.deepest > max_element_nesting) {
        error = "nested too deeply: more than " + std::to_string(max_element_nesting) + " element levels";
        return false;
    }
    if (check.unterminated_declaration) {
        const size_t declaration = text.rfind("<?xml");
        error = (declaration == std::string::npos ? std::string() : place_of(text, declaration) + ": ") +
                "the XML declaration is not terminated";
        return false;
    }

    doc.Parse(text.c_str(), nullptr, TIXML_ENCODING_LEGACY);
    if (!doc.Error() && doc.RootElement() == nullptr) {
        error = has_internal_subset(text) ? "document type declarations with internal definitions are not supported"
                                          : "no element in the file";
        doc.Clear();
        return false;
    }
    // A text the parser took whole is still refused for an "&" it dropped
    // or read wrongly: the next save would store the damaged value.
    const size_t bad_ampersand = check.first_bad_ampersand == SIZE_MAX ? std::string::npos : check.first_bad_ampersand;
    if (doc.Error() || bad_ampersand != std::string::npos) {
        error = refused_reason(text, bad_ampersand, doc);
        doc.Clear();  // a partly parsed tree must not be used
        doc.ClearError();
        return false;
    }
    error.clear();
    return true;
}

bool load_document(TiXmlDocument& doc, const char* file_name, std::string& error, uint64_t* digest)
{
    doc.Clear();
    doc.ClearError();
    std::string text;
    if (file_name == nullptr) {
        error = "no file name";
        return false;
    }
    // A file within the size limit can still need more memory than there
    // is; the operator is told instead of losing the editor.
    try {
        if (!read_whole_file(file_name, text, error)) {
            return false;
        }
        if (digest != nullptr) {
            ContentDigest content;
            content.add(text);
            *digest = content.value();
        }
        return parse_document(doc, std::move(text), error);
    } catch (const std::bad_alloc&) {
        doc.Clear();
        doc.ClearError();
        error = "not enough memory to load the file";
        return false;
    }
}

// Loading: the file is read here rather than by TinyXML so that its text can
// be checked and prepared before parsing. Parsing uses the legacy encoding,
// so every byte of a value reaches the document unchanged, whatever the file
// declares: the settings are single-byte text throughout.
#include "doc/xml_load.h"

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

// Where a text that the parser refused stops making sense, told by a walk of
// its tags: the first element's name, and the elements still open at the
// end (innermost last) when every tag before it was sound. Only run on a
// refused file, so its cost never counts against a good one.
struct OpenElement {
    std::string name;
    std::string id;
};
struct TagWalk {
    std::string root;
    std::vector<OpenElement> open;  // at the end of the text
    bool sound = true;              // no end tag that closes another element
};

TagWalk walk_tags(const std::string& text)
{
    TagWalk walk;
    size_t i = 0;
    const size_t end = text.size();
    auto past = [&](size_t from, const char* close) {
        const size_t found = text.find(close, from);
        return found == std::string::npos ? end : found + strlen(close);
    };
    while (i < end && walk.sound) {
        i = text.find('<', i);
        if (i == std::string::npos) {
            break;
        }
        if (text.compare(i, 4, "<!--") == 0) {
            i = past(i + 4, "-->");
        } else if (text.compare(i, 9, "<![CDATA[") == 0) {
            i = past(i + 9, "]]>");
        } else if (text.compare(i, 2, "<?") == 0 || text.compare(i, 2, "<!") == 0) {
            i = past(i + 2, ">");
        } else if (text.compare(i, 2, "</") == 0) {
            size_t name_end = i + 2;
            while (name_end < end && is_name_byte(text[name_end])) {
                ++name_end;
            }
            const std::string name = text.substr(i + 2, name_end - i - 2);
            if (name_end < end && (walk.open.empty() || walk.open.back().name != name)) {
                walk.sound = false;
            } else if (name_end < end) {
                walk.open.pop_back();
            }
            i = past(name_end, ">");
        } else {
            size_t j = i + 1;
            while (j < end && is_name_byte(text[j])) {
                ++j;
            }
            OpenElement element{text.substr(i + 1, j - i - 1), std::string()};
            if (walk.root.empty()) {
                walk.root = element.name;
            }
            // The attributes up to ">" or "/>", quoted values read whole.
            bool closed = false;
            while (j < end && text[j] != '>') {
                if (text[j] == '"' || text[j] == '\'') {
                    const size_t close = text.find(text[j], j + 1);
                    if (close == std::string::npos) {
                        j = end;
                        break;
                    }
                    if (j >= 4 && text.compare(j - 3, 3, "id=") == 0 &&
                        isspace(static_cast<unsigned char>(text[j - 4]))) {
                        element.id = text.substr(j + 1, close - j - 1);
                    }
                    j = close + 1;
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

// The reason a parse failed, in the operator's words where the walk of the
// tags tells more than the parser's message.
std::string refused_reason(const std::string& text, const std::string& parser_error)
{
    const TagWalk walk = walk_tags(text);
    if (!walk.root.empty() && !same_name(walk.root, "SETUP")) {
        return "not a settings file: its root element is " + walk.root + ", not SETUP";
    }
    if (!walk.sound || walk.open.empty()) {
        return parser_error;
    }
    const OpenElement* inside = &walk.open.back();
    for (const OpenElement& element : walk.open) {
        if (same_name(element.name, "STATION")) {
            inside = &element;
        }
    }
    return "the file ends inside " + inside->name + (inside->id.empty() ? "" : " " + inside->id) + " (truncated?)";
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
        error = "the XML declaration is not terminated";
        return false;
    }

    doc.Parse(text.c_str(), nullptr, TIXML_ENCODING_LEGACY);
    if (doc.Error()) {
        std::string description = doc.ErrorDesc();
        if (!description.empty() && description.back() == '.') {
            description.pop_back();
        }
        // Errors found where the parser lost its place carry no position.
        error = refused_reason(text, doc.ErrorRow() > 0 ? description + " at line " + std::to_string(doc.ErrorRow()) +
                                                              ", column " + std::to_string(doc.ErrorCol())
                                                        : description + " (position unknown)");
        doc.Clear();  // a partly parsed tree must not be used
        doc.ClearError();
        return false;
    }
    if (doc.RootElement() == nullptr) {
        error = has_internal_subset(text) ? "document type declarations with internal definitions are not supported"
                                          : "no element in the file";
        doc.Clear();
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

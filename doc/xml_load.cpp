// Loading: the file is read here rather than by TinyXML so that its text can
// be checked and prepared before parsing. Parsing uses the legacy encoding,
// so every byte of a value reaches the document unchanged, whatever the file
// declares: the settings are single-byte text throughout.
#include "doc/xml_load.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>
#include <utility>

#include "doc/file_system.h"
#include "doc/xml_precheck.h"

bool read_whole_file(const char* file_name, std::string& text, std::string& error)
{
    if (file_system::kind_of(file_name) == file_system::Kind::folder) {
        error = std::string("a folder, not a settings file (") + strerror(EISDIR) + ")";
        return false;
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
        "too large for a settings file: more than " + std::to_string(max_settings_file_bytes >> 20) + " MiB";
    if (size_known && size > max_settings_file_bytes) {
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
        if (text.size() > max_settings_file_bytes) {  // a device or a growing file
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

}  // namespace

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
        error = doc.ErrorRow() > 0 ? description + " at line " + std::to_string(doc.ErrorRow()) + ", column " +
                                         std::to_string(doc.ErrorCol())
                                   : description + " (position unknown)";
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

bool load_document(TiXmlDocument& doc, const char* file_name, std::string& error)
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
        return read_whole_file(file_name, text, error) && parse_document(doc, std::move(text), error);
    } catch (const std::bad_alloc&) {
        doc.Clear();
        doc.ClearError();
        error = "not enough memory to load the file";
        return false;
    }
}

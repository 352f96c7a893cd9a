#include "fleet/formats/workbook_reader.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <set>

#include "doc/Lib_xml.h"
#include "doc/cp1252.h"
#include "doc/utf8.h"
#include "doc/xml_precheck.h"
#include "fleet/formats/number_format.h"
#include "fleet/formats/zip_in_memory.h"

namespace {

// The columns and rows a spreadsheet program has at most.
const int last_column = 16384;
const int last_row = 1048576;
// A station list is some twenty-five columns wide; a value further right is
// no part of one. Cells before it are kept, so this bounds what the rows
// take in memory too, with the limit on their sum.
const int column_limit = 256;
const size_t cell_limit = 5000000;
// Every element the parser would build takes memory: a part with more is
// refused before it is parsed.
const size_t element_limit = 6000000;
// A sheet nests a few levels deep; the parser recurses per level.
const int nesting_limit = 64;

// An element's name without its namespace prefix: "x:row" is a row.
std::string local_name(const TiXmlElement* element)
{
    const std::string name = element->ValueStr();
    const size_t colon = name.find(':');
    return colon == std::string::npos ? name : name.substr(colon + 1);
}

const TiXmlElement* child(const TiXmlElement* parent, const char* name)
{
    for (const TiXmlElement* e = parent ? parent->FirstChildElement() : nullptr; e; e = e->NextSiblingElement()) {
        if (local_name(e) == name) {
            return e;
        }
    }
    return nullptr;
}

// The value of an attribute whatever its namespace prefix ("r:id" is id).
const char* attribute(const TiXmlElement* element, const char* name)
{
    for (const TiXmlAttribute* a = element->FirstAttribute(); a; a = a->Next()) {
        const std::string full = a->Name();
        const size_t colon = full.find(':');
        if ((colon == std::string::npos ? full : full.substr(colon + 1)) == name) {
            return a->Value();
        }
    }
    return nullptr;
}

std::string text_of(const TiXmlElement* element)
{
    const char* text = element ? element->GetText() : nullptr;
    return text ? text : "";
}

// The text of a string item: a spreadsheet writes a character that XML
// cannot hold (a control character) as _xHHHH_, its code in four
// hexadecimal digits, and an underscore that would start such a code as
// _x005F_.
std::string string_item_text(const TiXmlElement* element)
{
    std::string text = text_of(element);
    if (text.find("_x") == std::string::npos) {
        return text;
    }
    std::string decoded;
    for (size_t i = 0; i < text.size(); ++i) {
        const bool code = is_character_code(text, i);
        const unsigned long value = code ? std::strtoul(text.substr(i + 2, 4).c_str(), nullptr, 16) : 0;
        if (code && (value < 0xD800 || value > 0xDFFF)) {
            append_utf8(decoded, static_cast<char32_t>(value));
            i += 6;
        } else {
            decoded += text[i];
        }
    }
    return decoded;
}

size_t count_elements(const std::string& text)
{
    size_t count = 0;
    for (char c : text) {
        count += c == '<' ? 1 : 0;
    }
    return count;
}

// Rows are counted before the parse: a sheet of a million empty rows is
// refused before it takes the memory of a million elements.
size_t count_rows(const std::string& text)
{
    size_t count = 0;
    for (size_t at = text.find("row"); at != std::string::npos; at = text.find("row", at + 3)) {
        const char before = at > 0 ? text[at - 1] : ' ';
        const char after = at + 3 < text.size() ? text[at + 3] : ' ';
        count += (before == '<' || before == ':') && (after == ' ' || after == '>' || after == '/') ? 1 : 0;
    }
    return count;
}

}  // namespace

// The spreadsheet program's text, a part of the workbook, parsed. The
// parser keeps the blanks of the cells, as the sheet does.
class Workbook::Reader {
public:
    explicit Reader(const std::string& bytes) : bytes(bytes), zip(bytes) {}

    const std::string& bytes;

    bool open()
    {
        if (!zip.is_open()) {
            return fail("not a workbook: an Excel workbook (.xlsx) is a zip archive, and this file is none");
        }
        // An OpenDocument file is a zip archive too, which names its kind
        // in its first part.
        const std::string spreadsheet = "application/vnd.oasis.opendocument.spreadsheet";
        std::string kind;
        if (zip.read("mimetype", 100, kind) == ZipInMemory::Read::ok &&
            kind.compare(0, spreadsheet.size(), spreadsheet) == 0) {
            return fail(opendocument_refusal);
        }
        TiXmlDocument workbook;
        if (!parse("xl/workbook.xml", workbook, "not an Excel workbook: the archive holds no xl/workbook.xml")) {
            return false;
        }
        const TiXmlElement* listed = child(workbook.RootElement(), "sheets");
        std::vector<std::string> relation_ids;
        for (const TiXmlElement* s = listed ? listed->FirstChildElement() : nullptr; s; s = s->NextSiblingElement()) {
            const char* id = local_name(s) == "sheet" ? attribute(s, "id") : nullptr;
            if (id != nullptr) {
                const char* name = attribute(s, "name");
                const char* state = attribute(s, "state");
                sheets.push_back(Sheet{name ? name : "", state != nullptr && std::string(state) != "visible", ""});
                relation_ids.push_back(id);
            }
        }
        if (sheets.empty()) {
            return fail("the workbook has no sheet");
        }
        TiXmlDocument relations;
        if (!parse("xl/_rels/workbook.xml.rels", relations,
                   "the workbook is damaged: it does not say where its "
                   "sheets are (xl/_rels/workbook.xml.rels is missing)")) {
            return false;
        }
        std::string strings_part, styles_part;
        for (const TiXmlElement* r = relations.RootElement() ? relations.RootElement()->FirstChildElement() : nullptr;
             r; r = r->NextSiblingElement()) {
            const std::string id = attribute(r, "Id") ? attribute(r, "Id") : "";
            const std::string type = attribute(r, "Type") ? attribute(r, "Type") : "";
            const std::string target = part_name(attribute(r, "Target") ? attribute(r, "Target") : "");
            for (size_t i = 0; i < sheets.size(); ++i) {
                if (id == relation_ids[i]) {
                    sheets[i].part = target;
                }
            }
            if (ends_with(type, "/sharedStrings")) {
                strings_part = target;
            } else if (ends_with(type, "/styles")) {
                styles_part = target;
            }
        }
        if (sheets[0].part.empty()) {
            return fail("the workbook has no sheet: its first sheet names no part of the archive");
        }
        return read_optional_part(strings_part, &Reader::read_shared_strings) &&
               read_optional_part(styles_part, &Reader::read_number_formats);
    }

    bool read(size_t index, std::vector<SheetRow>& rows)
    {
        const Sheet& sheet = sheets[index];
        if (sheet.part.empty()) {
            return fail("the workbook is damaged: its sheet \"" + sheet.name + "\" names no part of the archive");
        }
        return read_sheet(sheet.part, rows);
    }

    std::vector<Sheet> sheets;

    const std::string& error() const { return message; }
    bool value_refused = false;

private:
    ZipInMemory zip;
    std::string message;
    std::vector<std::string> shared_strings;
    // The number format of each cell style, by its index.
    struct NumberFormat {
        bool date = false;  // shows a number as a date or a time
        std::string code;   // "" for General
    };
    std::vector<NumberFormat> number_formats;

    bool fail(const std::string& reason)
    {
        message = reason;
        return false;
    }

    // A value the operator typed that no station list holds: the sheet is
    // read, and refused for what its cell holds.
    bool refuse_value(const std::string& reason)
    {
        value_refused = true;
        return fail(reason);
    }

    static bool ends_with(const std::string& text, const std::string& end)
    {
        return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
    }

    // A target of the workbook's relations, relative to xl/ or from the
    // archive's root.
    static std::string part_name(const std::string& target)
    {
        if (!target.empty() && target[0] == '/') {
            return target.substr(1);
        }
        return target.empty() ? target : "xl/" + target;
    }

    // False with the reason when the part is missing (`missing` says why
    // that matters), too large or damaged.
    bool parse(const std::string& part, TiXmlDocument& document, const std::string& missing)
    {
        std::string text;
        switch (zip.read(part, workbook_part_limit, text)) {
            case ZipInMemory::Read::ok:
                break;
            case ZipInMemory::Read::missing:
                return fail(missing);
            case ZipInMemory::Read::too_large:
                return fail(part + " inflates past " + std::to_string(workbook_part_limit >> 20) +
                            " MiB: no list of stations is that large");
            case ZipInMemory::Read::damaged:
                return fail("the workbook is damaged: " + part + " cannot be inflated");
        }
        const std::string mark = "\xEF\xBB\xBF";
        if (text.compare(0, mark.size(), mark) == 0) {
            text.erase(0, mark.size());
        }
        const std::string damaged = "the workbook is damaged: " + part + " ";
        if (text.find('\0') != std::string::npos || !is_valid_utf8(text)) {
            return fail(damaged + "is not UTF-8 text");
        }
        if (count_rows(text) > static_cast<size_t>(workbook_row_limit)) {
            return fail("the sheet holds more than " + std::to_string(workbook_row_limit) +
                        " rows, empty ones included: delete the rows below the stations");
        }
        if (count_elements(text) > element_limit) {
            return fail(part + " holds more than " + std::to_string(element_limit) +
                        " elements: no list of stations is that large");
        }
        const XmlPrecheck check = precheck_xml(text.c_str(), text.size(), nesting_limit);
        if (check.deepest > nesting_limit || check.unterminated_declaration) {
            return fail(damaged + "is not the XML of a workbook");
        }
        const bool condensed = TiXmlBase::IsWhiteSpaceCondensed();
        TiXmlBase::SetCondenseWhiteSpace(false);
        document.Parse(text.c_str(), nullptr, TIXML_ENCODING_UTF8);
        TiXmlBase::SetCondenseWhiteSpace(condensed);
        if (document.Error() || document.RootElement() == nullptr) {
            return fail(damaged + "is not well-formed XML: " + document.ErrorDesc());
        }
        return true;
    }

    // The text of a shared or inline string: its runs one after the other,
    // phonetic hints left out.
    static std::string string_text(const TiXmlElement* item)
    {
        std::string text;
        for (const TiXmlElement* e = item->FirstChildElement(); e; e = e->NextSiblingElement()) {
            const std::string name = local_name(e);
            if (name == "t") {
                text += string_item_text(e);
            } else if (name == "r") {
                text += string_item_text(child(e, "t"));
            }
        }
        return text;
    }

    // A part a workbook may do without, the shared strings or the styles,
    // parsed and handed to `read` when the relations name one.
    bool read_optional_part(const std::string& part, void (Reader::*read)(const TiXmlElement& root))
    {
        if (part.empty()) {
            return true;
        }
        TiXmlDocument document;
        if (!parse(part, document, "the workbook is damaged: " + part + " is missing")) {
            return false;
        }
        (this->*read)(*document.RootElement());
        return true;
    }

    void read_shared_strings(const TiXmlElement& root)
    {
        for (const TiXmlElement* item = root.FirstChildElement(); item; item = item->NextSiblingElement()) {
            shared_strings.push_back(string_text(item));
        }
    }

    void read_number_formats(const TiXmlElement& root)
    {
        std::map<int, std::string> codes;
        const TiXmlElement* formats = child(&root, "numFmts");
        for (const TiXmlElement* f = formats ? formats->FirstChildElement() : nullptr; f; f = f->NextSiblingElement()) {
            const char* id = attribute(f, "numFmtId");
            const char* code = attribute(f, "formatCode");
            if (id && code) {
                codes[std::atoi(id)] = code;
            }
        }
        const TiXmlElement* cell_styles = child(&root, "cellXfs");
        for (const TiXmlElement* xf = cell_styles ? cell_styles->FirstChildElement() : nullptr; xf;
             xf = xf->NextSiblingElement()) {
            const char* id_text = attribute(xf, "numFmtId");
            const int id = id_text ? std::atoi(id_text) : 0;
            const auto code = codes.find(id);
            NumberFormat format;
            format.code = code == codes.end() ? built_in_number_format(id) : code->second;
            format.date = is_date_format(id, format.code);
            number_formats.push_back(format);
        }
    }

    // "C12" as column and row; false when it is no cell reference.
    static bool parse_reference(const std::string& reference, int& column, int& row)
    {
        size_t i = 0;
        int letters = 0;
        for (; i < reference.size() && reference[i] >= 'A' && reference[i] <= 'Z' && letters <= last_column; ++i) {
            letters = letters * 26 + (reference[i] - 'A' + 1);
        }
        if (i == 0 || letters > last_column || i == reference.size() || reference.size() - i > 7) {
            return false;
        }
        int number = 0;
        for (; i < reference.size() && reference[i] >= '0' && reference[i] <= '9'; ++i) {
            number = number * 10 + (reference[i] - '0');
        }
        if (i != reference.size() || number < 1 || number > last_row) {
            return false;
        }
        column = letters - 1;
        row = number;
        return true;
    }

    // A number as the cell shows it: an integer that General shows keeps
    // every digit the file gives, however long.
    bool number_text(const std::string& value, const NumberFormat* format, std::string& text)
    {
        const size_t digits_from = !value.empty() && value[0] == '-' ? 1 : 0;
        const bool general = format == nullptr || format->code.empty();
        if (general && value.size() > digits_from &&
            value.find_first_not_of("0123456789", digits_from) == std::string::npos) {
            text = value;
            return true;
        }
        char* end = nullptr;
        const double number = std::strtod(value.c_str(), &end);
        if (value.empty() || *end != '\0' || !std::isfinite(number)) {
            return false;
        }
        text = shown_number(number, general ? std::string() : format->code);
        return true;
    }

    // The cell's value as text; false with the reason when it holds what no
    // station list holds.
    bool cell_text(const TiXmlElement* cell, const std::string& name, std::string& text, bool& number)
    {
        number = false;
        const std::string type = attribute(cell, "t") ? attribute(cell, "t") : "n";
        const std::string value = text_of(child(cell, "v"));
        if (child(cell, "f") != nullptr) {
            return refuse_value("cell " + name + " holds a formula; paste it as a value");
        }
        if (type == "s") {
            char* end = nullptr;
            const unsigned long index = std::strtoul(value.c_str(), &end, 10);
            if (value.empty() || *end != '\0' || index >= shared_strings.size()) {
                return fail("the workbook is damaged: cell " + name + " names a text the workbook does not hold");
            }
            text = shared_strings[index];
        } else if (type == "inlineStr") {
            const TiXmlElement* inline_string = child(cell, "is");
            text = inline_string ? string_text(inline_string) : std::string();
        } else if (type == "str") {
            text = value;
        } else if (type == "d") {
            return refuse_value("cell " + name + " holds a date; type it as text");
        } else if (type == "b") {
            return refuse_value("cell " + name + " holds TRUE or FALSE, which no column of a station list takes");
        } else if (type == "e") {
            return refuse_value("cell " + name + " holds the error " + value + "; type the value it should hold");
        } else if (type != "n") {
            return fail("the workbook is damaged: cell " + name + " has the unknown type \"" + type + "\"");
        } else if (value.empty()) {
            text.clear();
        } else {
            const char* style = attribute(cell, "s");
            const size_t style_index = style ? static_cast<size_t>(std::atoi(style)) : 0;
            const NumberFormat* format = style_index < number_formats.size() ? &number_formats[style_index] : nullptr;
            if (format != nullptr && format->date) {
                return refuse_value("cell " + name + " holds a date; type it as text");
            }
            if (!number_text(value, format, text)) {
                return fail("the workbook is damaged: cell " + name + " holds \"" + value + "\" as a number");
            }
            number = true;
        }
        return true;
    }

    bool read_sheet(const std::string& part, std::vector<SheetRow>& rows)
    {
        TiXmlDocument sheet;
        if (!parse(part, sheet, "the workbook is damaged: its first sheet, " + part + ", is missing")) {
            return false;
        }
        const TiXmlElement* data = child(sheet.RootElement(), "sheetData");
        int row_number = 0;
        size_t cells_kept = 0;
        for (const TiXmlElement* row = data ? data->FirstChildElement() : nullptr; row;
             row = row->NextSiblingElement()) {
            if (local_name(row) != "row") {
                continue;
            }
            const char* r = attribute(row, "r");
            row_number = r ? std::atoi(r) : row_number + 1;
            if (row_number < 1 || row_number > last_row) {
                return fail("the workbook is damaged: a row has the number " + std::string(r ? r : ""));
            }
            SheetRow read;
            read.line = row_number;
            int column = -1;
            for (const TiXmlElement* cell = row->FirstChildElement(); cell; cell = cell->NextSiblingElement()) {
                if (local_name(cell) != "c") {
                    continue;
                }
                const char* reference = attribute(cell, "r");
                int cell_row = row_number;
                if (reference == nullptr) {
                    ++column;
                } else if (!parse_reference(reference, column, cell_row) || cell_row != row_number) {
                    return fail("the workbook is damaged: row " + std::to_string(row_number) + " holds a cell \"" +
                                reference + "\"");
                }
                const std::string name = cell_name(column, row_number);
                std::string text;
                bool number = false;
                if (!cell_text(cell, name, text, number)) {
                    return false;
                }
                if (text.empty()) {
                    continue;
                }
                if (column >= column_limit) {
                    return refuse_value("cell " + name + " holds a value far right of any list of stations: delete it");
                }
                if (static_cast<size_t>(column) >= read.cells.size()) {
                    cells_kept += column + 1 - read.cells.size();
                    read.cells.resize(column + 1);
                }
                read.cells[column] = std::move(text);
                if (number) {
                    read.numbers.resize(read.cells.size());
                    read.numbers[column] = true;
                }
            }
            if (cells_kept > cell_limit) {
                return fail("the sheet holds more than " + std::to_string(cell_limit) +
                            " cells: no list of stations is that large");
            }
            if (!read.cells.empty()) {
                rows.push_back(std::move(read));
            }
        }
        return true;
    }
};

bool is_character_code(const std::string& text, size_t at)
{
    return text[at] == '_' && at + 7 <= text.size() && text[at + 1] == 'x' && text[at + 6] == '_' &&
           std::all_of(text.begin() + at + 2, text.begin() + at + 6,
                       [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; });
}

bool is_compound_file(const std::string& bytes)
{
    return bytes.compare(0, 4, "\xD0\xCF\x11\xE0") == 0;
}

bool is_zip_archive(const std::string& bytes)
{
    return bytes.compare(0, 4, "PK\x03\x04") == 0;
}

Workbook::Workbook(const std::string& bytes) : reader(new Reader(bytes)) {}

Workbook::~Workbook()
{
    delete reader;
}

const char* const opendocument_refusal =
    "an OpenDocument spreadsheet (.ods): save it as Excel 2007-365 .xlsx, or as CSV";

namespace {

// A stream's name in the directory of a compound file, which holds it in UTF-16.
bool names_stream(const std::string& bytes, const std::string& name)
{
    std::string utf16;
    for (char c : name) {
        utf16 += c;
        utf16 += '\0';
    }
    return bytes.find(utf16) != std::string::npos;
}

// Why a compound file is no workbook to read: a workbook saved with a
// password keeps the archive in the stream EncryptedPackage; an old .xls
// holds its sheets in the stream Workbook (Book before Excel 97).
std::string compound_file_refusal(const std::string& bytes)
{
    if (names_stream(bytes, "EncryptedPackage")) {
        return "an encrypted workbook: save it as an Excel workbook (.xlsx) without a password";
    }
    if (names_stream(bytes, "Workbook") || names_stream(bytes, "Book")) {
        return "a workbook in the old Excel 97-2003 format (.xls): save it as Excel 2007-365 .xlsx, or as CSV";
    }
    return "an encrypted workbook, or one in the old Excel 97-2003 format (.xls): save it as an Excel workbook "
           "(.xlsx) without a password";
}

}  // namespace

bool Workbook::open(std::string& error)
{
    if (is_compound_file(reader->bytes)) {
        error = compound_file_refusal(reader->bytes);
        return false;
    }
    if (!reader->open()) {
        error = reader->error();
        return false;
    }
    return true;
}

const std::vector<Workbook::Sheet>& Workbook::sheets() const
{
    return reader->sheets;
}

bool Workbook::value_refused() const
{
    return reader->value_refused;
}

bool Workbook::read_sheet(size_t index, std::vector<SheetRow>& rows, std::string& error)
{
    rows.clear();
    reader->value_refused = false;
    if (!reader->read(index, rows)) {
        rows.clear();
        error = reader->error();
        return false;
    }
    return true;
}

bool read_workbook_rows(const std::string& bytes, std::vector<SheetRow>& rows, std::string& error)
{
    rows.clear();
    Workbook workbook(bytes);
    return workbook.open(error) && workbook.read_sheet(0, rows, error);
}

std::string cell_name(int position, int line)
{
    std::string letters;
    for (int n = position + 1; n > 0; n = (n - 1) / 26) {
        letters.insert(letters.begin(), static_cast<char>('A' + (n - 1) % 26));
    }
    return letters + std::to_string(line);
}

#include "fleet/formats/sheet_file.h"

#include <algorithm>
#include <cctype>
#include <utility>

#include "fleet/formats/csv_reader.h"
#include "fleet/formats/workbook_reader.h"

namespace {

// A workbook is told by its content; a name that says workbook on what is
// none is refused rather than read as CSV.
bool is_workbook(const std::string& bytes, const std::string& file_name)
{
    return is_zip_archive(bytes) || is_compound_file(bytes) || name_ends_with(file_name, ".xlsx");
}

bool read_workbook(const std::string& bytes, const std::string& file_name, const SheetChoice& choice, SheetFile& sheet,
                   SheetFault& fault)
{
    Workbook workbook(bytes);
    if (!workbook.open(fault.reason)) {
        // An OpenDocument spreadsheet that does not say so inside is known
        // by its name.
        if (is_zip_archive(bytes) && name_ends_with(file_name, ".ods")) {
            fault.reason = opendocument_refusal;
        }
        return false;
    }
    const std::vector<Workbook::Sheet>& sheets = workbook.sheets();
    int listed = -1;
    for (size_t i = 0; i < sheets.size(); ++i) {
        if (choice.listed_name != nullptr && sheets[i].name == choice.listed_name) {
            listed = static_cast<int>(i);
        }
    }
    // A workbook of one sheet for the operator names no sheet in messages.
    const bool one_sheet = sheets.size() - (listed >= 0 ? 1 : 0) == 1;
    bool first = true;
    for (size_t i = 0; i < sheets.size(); ++i) {
        if (static_cast<int>(i) == listed) {
            continue;
        }
        std::vector<SheetRow> rows;
        if (!workbook.read_sheet(i, rows, fault.reason)) {
            fault.sheet = one_sheet ? "" : sheets[i].name;
            fault.refused = workbook.value_refused();
            return false;
        }
        const bool header = choice.is_header != nullptr && std::any_of(rows.begin(), rows.end(), choice.is_header);
        if (header || first) {
            sheet.rows = std::move(rows);
            sheet.sheet_name = one_sheet ? "" : sheets[i].name;
        }
        first = false;
        if (header) {
            break;
        }
    }
    if (listed >= 0) {
        std::vector<SheetRow> rows;
        if (!workbook.read_sheet(listed, rows, fault.reason) || !choice.listed_rows(rows, sheet.listed)) {
            fault.sheet = sheets[listed].name;
            fault.listed = true;
            return false;
        }
        sheet.has_listed = true;
    }
    return true;
}

bool is_csv(const std::string&, const std::string&)
{
    return true;
}

bool read_csv(const std::string& bytes, const std::string&, const SheetChoice&, SheetFile& sheet, SheetFault& fault)
{
    std::string text;
    if (!csv_text_as_utf8(bytes, text, fault.reason)) {
        return false;
    }
    // The text is read as bytes once more, as the import always has: a
    // second byte-order mark goes, and a text with one zero byte among its
    // first two is refused as UTF-16 without a mark.
    std::string again;
    if (!csv_text_as_utf8(text, again, sheet.refused_reason) ||
        !read_csv_sheet(again, sheet.rows, sheet.refused_line, sheet.refused_reason)) {
        sheet.rows_refused = true;
        sheet.rows.clear();
    }
    return true;
}

const SheetFormat formats[] = {
    {"workbook", true, is_workbook, read_workbook},
    {"CSV", false, is_csv, read_csv},
};

}  // namespace

const SheetFormat& sheet_format(const std::string& bytes, const std::string& file_name)
{
    for (const SheetFormat& format : formats) {
        if (format.is_of(bytes, file_name)) {
            return format;
        }
    }
    return csv_format();
}

const SheetFormat& csv_format()
{
    return formats[sizeof formats / sizeof formats[0] - 1];
}

bool name_ends_with(const std::string& name, const std::string& end)
{
    if (name.size() < end.size()) {
        return false;
    }
    for (size_t i = 0; i < end.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(name[name.size() - end.size() + i])) != end[i]) {
            return false;
        }
    }
    return true;
}

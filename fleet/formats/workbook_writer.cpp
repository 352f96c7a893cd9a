#include "fleet/formats/workbook_writer.h"

#include <fcntl.h>
#include <xlsxwriter.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include "doc/file_replace.h"
#include "doc/file_system.h"
#include "doc/utf8.h"
#include "doc/xml_load.h"
#include "fleet/formats/workbook_reader.h"

namespace {

// libxlsxwriter writes its own lines on standard error when a write fails
// (on a full disk, say): the operator reads ours instead, one cause a line.
class QuietLibrary {
public:
    QuietLibrary()
    {
        std::fflush(stderr);
        saved = dup(fileno(stderr));
        const int nothing = open(null_device, O_WRONLY);
        if (saved >= 0 && nothing >= 0) {
            dup2(nothing, fileno(stderr));
        }
        if (nothing >= 0) {
            close(nothing);
        }
    }
    ~QuietLibrary()
    {
        if (saved >= 0) {
            std::fflush(stderr);
            dup2(saved, fileno(stderr));
            close(saved);
        }
    }
    QuietLibrary(const QuietLibrary&) = delete;
    QuietLibrary& operator=(const QuietLibrary&) = delete;

private:
    int saved = -1;
#ifdef _WIN32
    static constexpr const char* null_device = "NUL";
#else
    static constexpr const char* null_device = "/dev/null";
#endif
};

// Characters a column shows at most; longer values are cut off on screen.
const size_t widest_column = 60;

// The cell as a string item holds it: a spreadsheet reads _xHHHH_ as the
// character of that code, so the underscore of one in a value is written
// as its own code, _x005F_.
std::string string_item(const std::string& cell)
{
    std::string item;
    for (size_t i = 0; i < cell.size(); ++i) {
        if (is_character_code(cell, i)) {
            item += "_x005F";
        }
        item += cell[i];
    }
    return item;
}

bool whole_number(const std::string& cell)
{
    return cell.size() <= 15 && all_digits(cell);
}

// Fills one sheet: text columns typed as Text for the whole column, so
// that what the operator types later stays text too.
lxw_error fill_sheet(lxw_worksheet* sheet, const XlsxSheet& from, lxw_format* header, lxw_format* text)
{
    const std::vector<std::vector<std::string>>& rows = *from.rows;
    const std::vector<bool>& numbers = from.numbers;
    size_t columns = 0;
    for (const std::vector<std::string>& row : rows) {
        columns = std::max(columns, row.size());
    }
    std::vector<size_t> widths(columns, 0);
    for (const std::vector<std::string>& row : rows) {
        for (size_t c = 0; c < row.size(); ++c) {
            widths[c] = std::max(widths[c], utf8_length(row[c]));
        }
    }
    for (size_t c = 0; c < columns; ++c) {
        const bool number = c < numbers.size() && numbers[c];
        worksheet_set_column(sheet, static_cast<lxw_col_t>(c), static_cast<lxw_col_t>(c),
                             static_cast<double>(std::min(widths[c], widest_column) + 2), number ? nullptr : text);
    }
    worksheet_freeze_panes(sheet, 1, 0);
    if (from.hidden) {
        worksheet_hide(sheet);
        worksheet_protect(sheet, nullptr, nullptr);
    }
    lxw_error status = LXW_NO_ERROR;
    for (size_t r = 0; r < rows.size() && status == LXW_NO_ERROR; ++r) {
        const std::vector<std::string>& row = rows[r];
        for (size_t c = 0; c < row.size() && status == LXW_NO_ERROR; ++c) {
            const std::string& cell = row[c];
            const lxw_row_t at = static_cast<lxw_row_t>(r);
            const lxw_col_t column = static_cast<lxw_col_t>(c);
            if (cell.empty()) {
                continue;  // an empty cell, as an empty CSV cell
            }
            const std::string item = cell.find("_x") == std::string::npos ? std::string() : string_item(cell);
            const char* text_cell = item.empty() ? cell.c_str() : item.c_str();
            if (r == 0) {
                status = worksheet_write_string(sheet, at, column, text_cell, header);
            } else if (c < numbers.size() && numbers[c] && whole_number(cell)) {
                status = worksheet_write_number(sheet, at, column, std::strtod(cell.c_str(), nullptr), nullptr);
            } else {
                status = worksheet_write_string(sheet, at, column, text_cell, text);
            }
        }
    }
    return status;
}

// Adds the sheets to the workbook, each header row in bold.
lxw_error add_sheets(lxw_workbook* workbook, const std::vector<XlsxSheet>& sheets)
{
    lxw_format* header = workbook_add_format(workbook);
    format_set_bold(header);
    format_set_num_format(header, "@");
    lxw_format* text = workbook_add_format(workbook);
    format_set_num_format(text, "@");
    for (const XlsxSheet& sheet : sheets) {
        lxw_worksheet* added = workbook_add_worksheet(workbook, sheet.name.c_str());
        const lxw_error status =
            added == nullptr ? LXW_ERROR_MEMORY_MALLOC_FAILED : fill_sheet(added, sheet, header, text);
        if (status != LXW_NO_ERROR) {
            return status;
        }
    }
    return LXW_NO_ERROR;
}

}  // namespace

bool write_xlsx(const std::string& file_name, const std::vector<XlsxSheet>& sheets, std::string& error)
{
    // The library makes the workbook in a scratch folder of the user's own
    // (it opens files by their ANSI names, which that folder's name is on
    // Windows too); the workbook then reaches OUT as every file the tool
    // writes does: whole or not at all, owner-only when new, since it may
    // show secrets.
    std::string reason;
    const std::string folder = file_system::make_private_folder(reason);
    if (folder.empty()) {
        error = "cannot make a scratch folder for the workbook: " + reason;
        return false;
    }
    const std::string scratch = file_system::in_folder(folder, "workbook.xlsx");
    std::string tmpdir = folder;
    lxw_workbook_options options = {};
    options.constant_memory = LXW_TRUE;
    options.tmpdir = &tmpdir[0];
    lxw_error status = LXW_NO_ERROR;
    {
        const QuietLibrary quiet;
        lxw_workbook* workbook = workbook_new_opt(scratch.c_str(), &options);
        if (workbook == nullptr) {
            file_system::remove_private_folder(folder);
            error = "the workbook cannot be made";
            return false;
        }
        status = add_sheets(workbook, sheets);
        const lxw_error closed = workbook_close(workbook);
        if (status == LXW_NO_ERROR) {
            status = closed;
        }
    }
    std::string bytes;
    const bool made = status == LXW_NO_ERROR && read_whole_file(scratch.c_str(), bytes, reason, "a workbook");
    file_system::remove_private_folder(folder);
    if (!made) {
        error = status != LXW_NO_ERROR ? std::string(lxw_strerror(status)) : reason;
        return false;
    }
    return replace_file_content(file_name.c_str(), bytes, error);
}

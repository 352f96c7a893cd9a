#include "fleet/output_xlsx.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

// libxlsxwriter takes names in UTF-8 on Windows too, where the program's
// names are in the system's ANSI code page.
std::string library_file_name(const std::string& name)
{
#ifdef _WIN32
    const int size = static_cast<int>(name.size());
    std::wstring wide(static_cast<size_t>(MultiByteToWideChar(CP_ACP, 0, name.data(), size, nullptr, 0)), L'\0');
    MultiByteToWideChar(CP_ACP, 0, name.data(), size, &wide[0], static_cast<int>(wide.size()));
    const int wide_size = static_cast<int>(wide.size());
    std::string utf8(
        static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, wide.data(), wide_size, nullptr, 0, nullptr, nullptr)),
        '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), wide_size, &utf8[0], static_cast<int>(utf8.size()), nullptr, nullptr);
    return utf8;
#else
    return name;
#endif
}

// Characters a column shows at most; longer values are cut off on screen.
const size_t widest_column = 60;

size_t characters(const std::string& text)
{
    size_t count = 0;
    for (char c : text) {
        count += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
    }
    return count;
}

bool whole_number(const std::string& cell)
{
    return !cell.empty() && cell.size() <= 15 && cell.find_first_not_of("0123456789") == std::string::npos;
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
            widths[c] = std::max(widths[c], characters(row[c]));
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
            if (r == 0) {
                status = worksheet_write_string(sheet, at, column, cell.c_str(), header);
            } else if (c < numbers.size() && numbers[c] && whole_number(cell)) {
                status = worksheet_write_number(sheet, at, column, std::strtod(cell.c_str(), nullptr), nullptr);
            } else {
                status = worksheet_write_string(sheet, at, column, cell.c_str(), text);
            }
        }
    }
    return status;
}

}  // namespace

bool write_xlsx(const std::string& file_name, const std::vector<XlsxSheet>& sheets, std::string& error)
{
    // A file that cannot be made is told here, in the system's words, not
    // by the library on standard error once the workbook is assembled.
    std::FILE* probe = std::fopen(file_name.c_str(), "wb");
    if (probe == nullptr) {
        error = std::strerror(errno);
        return false;
    }
    std::fclose(probe);
    // libxlsxwriter assembles the parts in temporary files; the system's
    // own folder for them, which on Windows is not the root of a drive.
    std::error_code ignored;
    std::string temporary_folder = std::filesystem::temp_directory_path(ignored).string();
    lxw_workbook_options options = {};
    options.constant_memory = LXW_TRUE;
    options.tmpdir = temporary_folder.empty() ? nullptr : &temporary_folder[0];
    lxw_workbook* workbook = workbook_new_opt(library_file_name(file_name).c_str(), &options);
    if (workbook == nullptr) {
        error = "the workbook cannot be made";
        return false;
    }
    lxw_format* header = workbook_add_format(workbook);
    format_set_bold(header);
    format_set_num_format(header, "@");
    lxw_format* text = workbook_add_format(workbook);
    format_set_num_format(text, "@");
    lxw_error status = LXW_NO_ERROR;
    for (const XlsxSheet& sheet : sheets) {
        lxw_worksheet* added = workbook_add_worksheet(workbook, sheet.name.c_str());
        status = added == nullptr ? LXW_ERROR_MEMORY_MALLOC_FAILED : fill_sheet(added, sheet, header, text);
        if (status != LXW_NO_ERROR) {
            break;
        }
    }
    const lxw_error closed = workbook_close(workbook);
    if (status == LXW_NO_ERROR) {
        status = closed;
    }
    if (status != LXW_NO_ERROR) {
        error = lxw_strerror(status);
        std::remove(file_name.c_str());  // what was written of it is no workbook
        return false;
    }
    return true;
}

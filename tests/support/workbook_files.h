// Workbooks for the tests, written part by part with minizip: a minimal
// workbook around a sheet's XML, as spreadsheet programs lay one out, or
// any zip archive.
#ifndef ZANTOR_TESTS_SUPPORT_WORKBOOK_FILES_H
#define ZANTOR_TESTS_SUPPORT_WORKBOOK_FILES_H

#include <string>
#include <utility>
#include <vector>

using ZipParts = std::vector<std::pair<std::string, std::string>>;  // name, content

// The bytes of a zip archive of `parts`, deflated.
std::string zip_bytes(const ZipParts& parts);

// The parts of a workbook whose first sheet holds `sheet_data` (the rows,
// inside <sheetData>), with `shared_strings` (the <si> items) and
// the code of the number format that cell style 1 (s="1") shows.
ZipParts workbook_parts(const std::string& sheet_data, const std::string& shared_strings = "",
                        const std::string& number_format = "General");

// A workbook whose first sheet inflates to `size` bytes of blanks and more.
std::string inflating_workbook(size_t size);

#endif

// libFuzzer target: the input bytes are a workbook from anywhere, read as
// the fleet tool's import reads it. An input that starts as a zip archive
// is the workbook itself; any other is a sheet's rows, then after a line
// "--" the shared strings, then after another the number format of cell
// style 1, put into a workbook as a spreadsheet program lays one out, so
// that the fuzzer reaches the reading of the sheet past the zip archive's
// check sums. A refusal must say why; rows read must lie on the sheet.
// Crashes, leaks and undefined behaviour are caught by the sanitizers.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "fleet/formats/workbook_reader.h"
#include "support/workbook_files.h"

namespace {

std::string next_piece(std::string& rest)
{
    const std::string separator = "\n--\n";
    const size_t at = rest.find(separator);
    const std::string piece = rest.substr(0, at);
    rest = at == std::string::npos ? std::string() : rest.substr(at + separator.size());
    return piece;
}

void fail(const char* what)
{
    std::fprintf(stderr, "zantor_fuzz_workbook: %s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string input(reinterpret_cast<const char*>(data), size);
    std::string workbook = input;
    if (!is_zip_archive(input)) {
        const std::string rows = next_piece(input);
        const std::string strings = next_piece(input);
        workbook = zip_bytes(workbook_parts(rows, strings, input.empty() ? "General" : input));
    }
    std::vector<SheetRow> rows;
    std::string error;
    if (!read_workbook_rows(workbook, rows, error)) {
        if (error.empty() || !rows.empty()) {
            fail("a refusal without its reason, or with rows");
        }
        return 0;
    }
    for (const SheetRow& row : rows) {
        if (row.line < 1 || row.line > 1048576 || row.cells.empty() || row.cells.size() > 256 ||
            row.cells.back().empty()) {
            fail("a row off the sheet, or with cells beyond its last value");
        }
    }
    return 0;
}

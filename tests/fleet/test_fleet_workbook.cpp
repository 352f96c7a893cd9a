// The first sheet of a workbook read into the rows the import takes: the
// kinds of cells spreadsheet programs write, and the workbooks that are
// refused with one clear reason; and what each writer of the tool writes,
// read back.
#include <gtest/gtest.h>
#ifdef ZANTOR_JSON_PARSER
#include <nlohmann/json.hpp>
#endif

#include <string>
#include <vector>

#include "fleet/formats/csv_reader.h"
#include "fleet/formats/csv_writer.h"
#include "fleet/formats/json_writer.h"
#include "fleet/formats/number_format.h"
#include "fleet/formats/table_writer.h"
#include "fleet/formats/workbook_reader.h"
#include "fleet/formats/workbook_writer.h"
#include "fleet/station/text.h"
#include "support/core_files.h"
#include "support/sheet_rows_text.h"
#include "support/workbook_files.h"

namespace {

std::string read_error(const std::string& bytes)
{
    std::vector<SheetRow> rows;
    std::string error;
    return read_workbook_rows(bytes, rows, error) ? "read: " + sheet_rows_text(rows) : error;
}

TEST(FleetWorkbook, CellsReadAsTheSpreadsheetShowsThem)
{
    // Shared strings (one in runs of rich text, with blanks kept), inline
    // strings, numbers as Excel and LibreOffice write them, empty and
    // skipped cells, cells without a reference, a namespace prefix.
    const std::string strings =
        "<si><t>id</t></si><si><t>phone_nbr</t></si><si><r><t xml:space=\"preserve\">ALARM </t></r>"
        "<r><rPr><b/></rPr><t>!</t></r><rPh><t>x</t></rPh></si><si><t>+33612000012</t></si>";
    const std::string sheet =
        "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"C1\" t=\"s\"><v>1</v></c></row>"
        "<row r=\"3\"><c r=\"C3\" t=\"s\"><v>3</v></c><c r=\"A3\"><v>33612000012</v></c>"
        "<c r=\"B3\" t=\"s\"><v>2</v></c></row>"
        "<row r=\"4\" spans=\"1:3\"><c r=\"A4\" s=\"0\"><v>3.36547E+10</v></c><c t=\"inlineStr\"><is><t>0612 "
        "&amp; é</t></is></c><c r=\"C4\"><v>1.5</v></c></row>"
        "<row r=\"5\"><c r=\"A5\"><v>-7</v></c><c r=\"B5\" s=\"0\"/><c r=\"D5\" t=\"str\"><v>text</v></c></row>"
        "<row r=\"6\"><c r=\"A6\"/></row><x:row r=\"7\"><x:c r=\"AB7\"><x:v>1E-3</x:v></x:c></x:row>";
    EXPECT_EQ(
        "read: 1:[id][][phone_nbr]\n"
        "3:(33612000012)[ALARM !][+33612000012]\n"
        "4:(33654700000)[0612 & é](1.5)\n"
        "5:(-7)[][][text]\n"
        "7:[][][][][][][][][][][][][][][][][][][][][][][][][][][](0.001)\n",
        read_error(zip_bytes(workbook_parts(sheet, strings))));
}

TEST(FleetWorkbook, WhatNoStationListHoldsIsRefusedWithItsReason)
{
    std::string empty_rows;
    for (int r = 1; r <= 1000000; ++r) {
        empty_rows += "<row r=\"" + std::to_string(r) + "\"/>";
    }
    ZipParts no_sheet = workbook_parts("");
    no_sheet[0].second = "<workbook><sheets/></workbook>";
    ZipParts only_workbook = workbook_parts("");
    only_workbook.resize(1);
    const std::string formula = "<row r=\"12\"><c r=\"C12\"><f>A1*2</f><v>4</v></c></row>";
    // A compound file with a stream of this name in its directory.
    auto compound = [](const std::string& stream) {
        std::string bytes = std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + std::string(504, '\0');
        for (char c : stream) {
            bytes += std::string(1, c) + '\0';
        }
        return bytes;
    };
    const struct {
        const char* what;
        std::string bytes;
        std::string error;
    } cases[] = {
        {"CSV", "id;pin\r\n12;1234\r\n",
         "not a workbook: an Excel workbook (.xlsx) is a zip archive, and this file is none"},
        {"encrypted", std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + std::string(504, '\0'),
         "an encrypted workbook, or one in the old Excel 97-2003 format (.xls): save it as an Excel workbook (.xlsx) "
         "without a password"},
        {"encrypted workbook", compound("EncryptedPackage"),
         "an encrypted workbook: save it as an Excel workbook (.xlsx) without a password"},
        {"Excel 97-2003", compound("Workbook"),
         "a workbook in the old Excel 97-2003 format (.xls): save it as Excel 2007-365 .xlsx, or as CSV"},
        {"OpenDocument", zip_bytes({{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"}}),
         "an OpenDocument spreadsheet (.ods): save it as Excel 2007-365 .xlsx, or as CSV"},
        {"cut short", zip_bytes(workbook_parts("")).substr(0, 300),
         "not a workbook: an Excel workbook (.xlsx) is a zip archive, and this file is none"},
        {"other archive", zip_bytes({{"content.xml", "<office/>"}}),
         "not an Excel workbook: the archive holds no xl/workbook.xml"},
        {"no sheet", zip_bytes(no_sheet), "the workbook has no sheet"},
        {"no relations", zip_bytes(only_workbook),
         "the workbook is damaged: it does not say where its sheets are (xl/_rels/workbook.xml.rels is missing)"},
        {"zip bomb", inflating_workbook(workbook_part_limit + 1),
         "xl/worksheets/sheet1.xml inflates past 256 MiB: no list of stations is that large"},
        {"a million empty rows", zip_bytes(workbook_parts(empty_rows)),
         "the sheet holds more than 200000 rows, empty ones included: delete the rows below the stations"},
        {"formula", zip_bytes(workbook_parts(formula)), "cell C12 holds a formula; paste it as a value"},
        {"date by style",
         zip_bytes(workbook_parts("<row r=\"2\"><c r=\"B2\" s=\"1\"><v>45000</v></c></row>", "", "dd/mm/yyyy")),
         "cell B2 holds a date; type it as text"},
        {"date cell", zip_bytes(workbook_parts("<row r=\"2\"><c r=\"AA2\" t=\"d\"><v>2026-12-09</v></c></row>")),
         "cell AA2 holds a date; type it as text"},
        {"missing text", zip_bytes(workbook_parts("<row r=\"2\"><c r=\"A2\" t=\"s\"><v>5</v></c></row>")),
         "the workbook is damaged: cell A2 names a text the workbook does not hold"},
        {"bad XML", zip_bytes(workbook_parts("<row r=\"2\"><c r=\"A2\"></row>")),
         "the workbook is damaged: xl/worksheets/sheet1.xml is not well-formed XML: Error reading end tag."},
        {"far right", zip_bytes(workbook_parts("<row r=\"2\"><c r=\"XFD2\" t=\"str\"><v>x</v></c></row>")),
         "cell XFD2 holds a value far right of any list of stations: delete it"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.error, read_error(c.bytes)) << c.what;
    }
    // Quoted text, brackets and escapes in a number format are shown, not dates.
    EXPECT_EQ("read: 2:[](45000 daysm)\n",
              read_error(zip_bytes(workbook_parts("<row r=\"2\"><c r=\"B2\" s=\"1\"><v>45000</v></c></row>", "",
                                                  "0 &quot;days&quot;[Red]\\m"))));
}

// Caught: a number cell read as its raw value, not as the spreadsheet
// shows it ("06 12 34 56 78" read as 612345678, 14.6 under "0" as 14.6).
TEST(FleetWorkbook, NumbersReadAsTheirFormatShowsThem)
{
    const struct {
        double value;
        const char* format;
        const char* shown;
    } cases[] = {
        {612345678, "00 00 00 00 00", "06 12 34 56 78"},
        {14.6, "0", "15"},
        {15, "0.00", "15.00"},
        {0.5, "#.##", ".5"},
        {1234567, "#,##0", "1234567"},
        {0.25, "0%", "25%"},
        {-3, "0;(0)", "(3)"},
        {-3, "0", "-3"},
        {0, "0;-0;\"none\"", "none"},
        {42, "\"No \"000", "No 042"},
        {30.000000000000004, "", "30"},
        {33612000012, "General", "33612000012"},
        {0.1, "", "0.1"},
        {1234.5, "0.00E+00", "1234.5"},  // an exponent: shown as General
        {7, "[>5]0;0", "7"},             // a condition: General
        {3, "[Red]0\\ \"min\"", "3 min"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.shown, shown_number(c.value, c.format)) << c.format;
    }
}

// Every writer of the tool read back: a value comes back as it went in,
// whatever separator, quote, backslash, control byte or accent it holds.
TEST(FleetWriters, EachWriterReadsBackWhatItWrote)
{
    const std::vector<std::string> values = {
        "a;b,c\td",       "say \"hi\"",   "\"",           "C:\\data\\", "\\\"\\",  "\x01\x1B[2J\x7F",
        "two\r\nlines\n", "Cr\xC3\xAAte", " blank ends ", "=1+1",       "_x0041_",
    };
    std::vector<std::vector<std::string>> rows = {{"key", "value"}};
    for (size_t i = 0; i < values.size(); ++i) {
        rows.push_back({std::to_string(i), values[i]});
    }
    auto each_value = [&](const std::vector<std::string>& read, const char* writer) {
        ASSERT_EQ(values.size(), read.size()) << writer;
        for (size_t i = 0; i < values.size(); ++i) {
            EXPECT_EQ(values[i], read[i]) << writer << " value " << i;
        }
    };
    auto second_cells = [](const std::vector<SheetRow>& sheet) {
        std::vector<std::string> cells;
        for (size_t r = 1; r < sheet.size(); ++r) {
            cells.push_back(sheet[r].cells.size() > 1 ? sheet[r].cells[1] : "(missing)");
        }
        return cells;
    };

    for (char separator : {';', ',', '\t'}) {
        std::string csv = utf8_byte_order_mark;
        for (const auto& row : rows) {
            csv += csv_record(row, separator);
        }
        std::vector<SheetRow> sheet;
        int bad_line = 0;
        std::string text, reason;
        ASSERT_TRUE(csv_text_as_utf8(csv, text, reason)) << reason;
        ASSERT_TRUE(read_csv_sheet(text, sheet, bad_line, reason)) << reason;
        each_value(second_cells(sheet), "csv");
    }

    TempDir dir;
    std::string error;
    ASSERT_TRUE(write_xlsx(dir.file("list.xlsx"), {XlsxSheet{"list", &rows, {}, false}}, error)) << error;
    std::vector<SheetRow> sheet;
    ASSERT_TRUE(read_workbook_rows(read_bytes(dir.file("list.xlsx")), sheet, error)) << error;
    each_value(second_cells(sheet), "workbook");

#ifdef ZANTOR_JSON_PARSER
    std::vector<std::string> objects;
    for (const std::string& value : values) {
        objects.push_back(json_object({{"value", JsonValue::of(value)}, {"none", JsonValue::null()}}));
    }
    const nlohmann::json document = nlohmann::json::parse(json_array(objects));
    std::vector<std::string> from_json;
    for (const auto& object : document) {
        EXPECT_TRUE(object["none"].is_null());
        from_json.push_back(object["value"].get<std::string>());
    }
    each_value(from_json, "json");
#endif

    // The table takes cells a line can show (list writes a control byte
    // as its code); it adds blanks between its columns, and none at a
    // line's end.
    std::vector<std::vector<std::string>> shown = {{"key", "value"}};
    std::vector<std::string> expected;
    for (size_t i = 0; i < values.size(); ++i) {
        const std::string cell = without_controls(values[i]);
        shown.push_back({std::to_string(i), cell});
        expected.push_back(cell.substr(0, cell.find_last_not_of(' ') + 1));
    }
    const std::string table = aligned_table(shown);
    std::vector<std::string> from_table;
    size_t column = 0;
    for (size_t start = 0, end = 0; start < table.size(); start = end + 1) {
        end = table.find('\n', start);
        const std::string line = table.substr(start, end - start);
        if (start == 0) {
            column = line.find("value");
            continue;
        }
        EXPECT_EQ(std::to_string(from_table.size()), line.substr(0, line.find(' ')));
        from_table.push_back(line.substr(column));
    }
    EXPECT_EQ(expected, from_table);
}

}  // namespace

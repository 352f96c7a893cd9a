// zantor-fleet refusing what it cannot take, as an operator meets it: each
// refusal says what to do, with the exit status its help gives.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "support/core_files.h"
#include "support/fleet_program.h"
#include "support/workbook_files.h"

namespace {

const char* const fleet =
    "<SETUP>\n<STATIONS>\n<STATION id=\"1\" phone_nbr=\"+33610000001\" pin=\"1234\" description=\"Pump\"/>\n"
    "</STATIONS>\n</SETUP>\n";

// The text as UTF-16 (ASCII alone), after its byte-order mark if any.
std::string utf16(const std::string& ascii, const char* mark, bool big_endian)
{
    std::string bytes = mark;
    for (char c : ascii) {
        bytes += big_endian ? std::string(1, '\0') + c : std::string(1, c) + '\0';
    }
    return bytes;
}

std::string workbook_with(const std::string& cell)
{
    return zip_bytes(
        workbook_parts("<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>id</t></is></c></row>"
                       "<row r=\"2\"><c r=\"A2\" t=\"str\"><v>1</v></c>" +
                       cell + "</row>"));
}

// Each sheet imported into fleet.xml with --output: read (status 0, the
// description written), or refused with its message and status.
TEST(FleetRefusals, SheetsAreReadOrRefusedWithWhatToDo)
{
    TempDir dir;
    write_bytes(dir.file("fleet.xml"), fleet);
    const std::string text = "id\tdescription\r\n1\tUnicode text\r\n";
    const std::string prefix = "zantor-fleet import: ";
    const struct {
        const char* name;
        std::string bytes;
        int status;
        std::string err;  // standard error; for a sheet read, the description written
    } cases[] = {
        {"semicolon.csv", "sep=;\r\nid;description\r\nx;;\r\n1;Semicolon\r\n", 1,
         prefix +
             "semicolon.csv line 3, column id: no station has the id \"x\"; give --add to add it as a new "
             "station\n" +
             prefix + "1 error, nothing written\n"},
        {"comma.csv", "\xEF\xBB\xBF\"sep=,\"\r\nid,description\r\n1,Comma; quoted\r\n", 0, "Comma; quoted"},
        {"unicode_le.txt", utf16(text, "\xFF\xFE", false), 0, "Unicode text"},
        {"unicode_be.txt", utf16(text, "\xFE\xFF", true), 0, "Unicode text"},
        {"no_mark.txt", utf16(text, "", false), 2,
         prefix + "no_mark.txt: a UTF-16 text without a byte-order mark, which cannot be read for sure; save it as "
                  "UTF-8 CSV\n"},
        {"sheet.ods", zip_bytes({{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"}}), 2,
         prefix + "sheet.ods: an OpenDocument spreadsheet (.ods): save it as Excel 2007-365 .xlsx, or as CSV\n"},
        {"unmarked.ods", zip_bytes({{"content.xml", "<office/>"}}), 2,
         prefix + "unmarked.ods: an OpenDocument spreadsheet (.ods): save it as Excel 2007-365 .xlsx, or as CSV\n"},
        {"formula.xlsx", workbook_with("<c r=\"B2\"><f>A2</f><v>1</v></c>"), 1,
         prefix + "formula.xlsx: cell B2 holds a formula; paste it as a value\n" + prefix +
             "1 error, nothing written\n"},
        {"date.xlsx", workbook_with("<c r=\"B2\" t=\"d\"><v>2026-12-10</v></c>"), 1,
         prefix + "date.xlsx: cell B2 holds a date; type it as text\n" + prefix + "1 error, nothing written\n"},
        {"boolean.xlsx", workbook_with("<c r=\"C2\" t=\"b\"><v>1</v></c>"), 1,
         prefix + "boolean.xlsx: cell C2 holds TRUE or FALSE, which no column of a station list takes\n" + prefix +
             "1 error, nothing written\n"},
        {"na.xlsx", workbook_with("<c r=\"B2\" t=\"e\"><v>#N/A</v></c>"), 1,
         prefix + "na.xlsx: cell B2 holds the error #N/A; type the value it should hold\n" + prefix +
             "1 error, nothing written\n"},
        {"damaged.xlsx", workbook_with("<c r=\"B2\"><v>abc</v></c>"), 2,
         prefix + "damaged.xlsx: the workbook is damaged: cell B2 holds \"abc\" as a number\n"},
    };
    for (const auto& c : cases) {
        write_bytes(dir.file(c.name), c.bytes);
        std::remove(dir.file("out.xml").c_str());
        const ProgramRun run = run_fleet_program(dir.path(), {"import", "fleet.xml", c.name, "--output", "out.xml"});
        EXPECT_EQ(c.status, run.status) << c.name << "\n" << run.err;
        if (c.status == 0) {
            EXPECT_EQ("", run.err) << c.name;
            EXPECT_NE(std::string::npos, read_bytes(dir.file("out.xml")).find("description=\"" + c.err + "\""))
                << c.name;
        } else {
            EXPECT_EQ(c.err, run.err) << c.name;
        }
    }
}

// Command lines that ask for help the Windows way, or give the files the
// wrong way round.
TEST(FleetRefusals, CommandLinesAreReadAsMeant)
{
    TempDir dir;
    write_bytes(dir.file("fleet.xml"), fleet);
    write_bytes(dir.file("stations.csv"), "\xEF\xBB\xBFid;description\r\n1;Well\r\n");
    write_bytes(dir.file("stations.xlsx"), workbook_with(""));
    const std::string try_help = "\nTry 'zantor-fleet import --help'.\n";
    const struct {
        std::vector<std::string> args;
        int status;
        std::string out;  // the start of standard output
        std::string err;
    } cases[] = {
        {{"/?"}, 0, "usage: zantor-fleet COMMAND", ""},
        {{"-?"}, 0, "usage: zantor-fleet COMMAND", ""},
        {{"import", "/?"}, 0, "usage: zantor-fleet import FILE SHEET", ""},
        {{"import-csv", "-?"}, 0, "usage: zantor-fleet import-csv FILE SHEET", ""},
        {{"import", "stations.csv", "fleet.xml"},
         2,
         "",
         "zantor-fleet import: stations.csv looks like a CSV file: the settings file comes first: zantor-fleet import "
         "fleet.xml stations.csv" +
             try_help},
        {{"import", "stations.xlsx", "fleet.xml", "--dry-run"},
         2,
         "",
         "zantor-fleet import: stations.xlsx looks like a workbook: the settings file comes first: zantor-fleet "
         "import fleet.xml stations.xlsx" +
             try_help},
    };
    for (const auto& c : cases) {
        const ProgramRun run = run_fleet_program(dir.path(), c.args);
        EXPECT_EQ(c.status, run.status) << c.args[0];
        EXPECT_EQ(0u, run.out.find(c.out)) << c.args[0] << "\n" << run.out;
        EXPECT_EQ(c.err, run.err) << c.args[0];
    }
    EXPECT_EQ(std::string(fleet), read_bytes(dir.file("fleet.xml")));
}

}  // namespace

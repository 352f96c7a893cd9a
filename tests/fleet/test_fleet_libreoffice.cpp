// The spreadsheet round trip through LibreOffice Calc, driven as an
// operator uses it (tests/fleet/calc_edit.py: sorting, filtering, deleting
// and copying rows, typing as the keyboard does, number formats), then
// imported: each case must leave the file byte for byte as the operator's
// intended change alone would, or be refused. Skipped when LibreOffice or
// Debian's python3-uno is not installed.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "doc/Lib_xml.h"
#include "support/core_files.h"
#include "support/fleet_program.h"
#include "support/station_fleet.h"
#include "support/test_paths.h"

namespace {

struct Case {
    const char* name;
    const char* list;      // "--xlsx" or "--csv"
    const char* open_csv;  // for a CSV: "text" or "detect"
    const char* save_as;   // "xlsx" or "csv"
    const char* ops;       // the JSON array of Calc's operations
    const char* in_file;   // a colleague's change in the file after the list: CSV rows for import, or null
    const char* options;   // of import, blank-separated
    int status;            // of import
    const char* expected;  // a CSV whose import alone gives the expected file; null: the file unchanged
    const char* said;      // a line import prints
};

// The fleet's ids are 1000 to 1011; the sheet's columns are list's.
const Case cases[] = {
    {"own workbook saved again", "--xlsx", "", "xlsx", "[]", nullptr, "", 0, nullptr, "nothing to change"},
    {"CSV opened with text columns", "--csv", "text", "xlsx", "[]", nullptr, "", 0, nullptr, "nothing to change"},
    {"sorted, one cell typed", "--xlsx", "", "xlsx",
     R"([{"op": "sort", "column": "description", "descending": true},
         {"op": "type", "id": "1003", "column": "apn_name", "text": "m2m.example"}])",
     nullptr, "", 0, "id;apn_name\n1003;m2m.example\n", "APN NAME"},
    {"filtered, a phone number typed with its 0", "--xlsx", "", "xlsx",
     R"([{"op": "filter", "column": "gsm_mode", "equals": "GSM DATA"},
         {"op": "type", "id": "1002", "column": "sms_number", "text": "0612345678"}])",
     nullptr, "", 0, "id;sms_number\n1002;0612345678\n", "0612345678"},
    {"a deleted row", "--xlsx", "", "xlsx", R"([{"op": "delete_row", "id": "1004"}])", nullptr, "", 0, nullptr,
     "1 station is not in the sheet and is kept: 1004"},
    {"a hidden column, a column of notes, a header renamed", "--xlsx", "", "xlsx",
     R"([{"op": "hide_column", "column": "pin"},
         {"op": "insert_column", "after": "description", "header": "notes", "values": {"1001": "call first"}},
         {"op": "rename_header", "column": "phone_nbr", "header": "Phone Nbr"}])",
     nullptr, "", 0, nullptr, "the column \"notes\" is none of list's and is not read"},
    {"a stale sheet over a colleague's change", "--xlsx", "", "xlsx",
     R"([{"op": "sort", "column": "phone_nbr"},
         {"op": "type", "id": "1005", "column": "description", "text": "Source nord"}])",
     "id;apn_name\n1001;iot.example\n", "", 0, "id;description\n1005;Source nord\n", "Source nord"},
    {"a conflict with a colleague's change", "--xlsx", "", "xlsx",
     R"([{"op": "type", "id": "1001", "column": "apn_name", "text": "m2m.example"}])",
     "id;apn_name\n1001;iot.example\n", "", 1, "id;apn_name\n1001;iot.example\n",
     "changed in the sheet and in fleet.xml since the sheet was listed"},
    {"the conflict forced", "--xlsx", "", "xlsx",
     R"([{"op": "type", "id": "1001", "column": "apn_name", "text": "m2m.example"}])",
     "id;apn_name\n1001;iot.example\n", "--force", 0, "id;apn_name\n1001;m2m.example\n", "(--force)"},
    {"a CSV whose numbers Calc took", "--csv", "detect", "csv", "[]", nullptr, "", 1, nullptr, "without its leading 0"},
    {"number cells in text columns", "--csv", "detect", "xlsx",
     R"([{"op": "number_format", "column": "sms_number", "format": "00 00 00 00 00"}])", nullptr, "", 1, nullptr,
     "the cell holds a number (it shows \"06 "},
};

class FleetLibreOffice : public ::testing::Test {
protected:
    TempDir dir;

    void SetUp() override
    {
        if (std::system("command -v libreoffice > /dev/null && /usr/bin/python3 -c 'import uno' 2> /dev/null") != 0) {
            GTEST_SKIP() << "LibreOffice Calc or python3-uno is not installed (Debian's libreoffice-calc-nogui, "
                            "python3-uno): the round trip through Calc is not tried";
        }
        myXMLdocument document("SETUP");
        build_fleet(document, 12);
        ASSERT_FALSE(document.save_file(dir.file("fleet.xml").c_str())) << document.error_text();
    }

    ProgramRun run(const std::string& command)
    {
        std::vector<std::string> args;
        size_t at = 0;
        while (at < command.size()) {
            const size_t end = command.find(' ', at);
            args.push_back(command.substr(at, end - at));
            at = end == std::string::npos ? command.size() : end + 1;
        }
        return run_fleet_program(dir.path(), args);
    }

    // A copy of fleet.xml with the rows of `csv` imported: the file as the
    // operator's change, or a colleague's, alone makes it.
    std::string imported(const std::string& name, const std::string& csv)
    {
        write_bytes(dir.file(name), read_bytes(dir.file("fleet.xml")));
        write_bytes(dir.file(name + ".csv"), csv);
        EXPECT_EQ(0, run("import-csv " + name + " " + name + ".csv").status) << name;
        return read_bytes(dir.file(name));
    }
};

TEST_F(FleetLibreOffice, EveryChangeOfTheOperatorAndNoOtherReachesTheFile)
{
    std::string jobs;
    for (size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        const std::string n = std::to_string(i);
        const std::string listed = n + (std::string(c.list) == "--xlsx" ? ".xlsx" : ".csv");
        if (std::string(c.list) == "--xlsx") {
            ASSERT_EQ(0, run("list fleet.xml --xlsx " + listed).status);
        } else {
            write_bytes(dir.file(listed), run("list fleet.xml --csv").out);
        }
        jobs += std::string(i == 0 ? "" : ",\n") + "{\"input\": \"" + dir.file(listed) + "\", \"output\": \"" +
                dir.file("edited" + n + "." + c.save_as) + "\", \"save_as\": \"" + c.save_as + "\"" +
                (std::string(c.open_csv).empty() ? "" : ", \"open_csv\": \"" + std::string(c.open_csv) + "\"") +
                ", \"ops\": " + c.ops + "}";
    }
    write_bytes(dir.file("jobs.json"), "{\"profile\": \"" + dir.file("calc") + "\", \"jobs\": [\n" + jobs + "\n]}\n");
    const std::string calc = "/usr/bin/python3 '" ZANTOR_CALC_EDIT_SCRIPT "' '" + dir.file("jobs.json") + "' > '" +
                             dir.file("calc.txt") + "' 2>&1";
    ASSERT_EQ(0, std::system(calc.c_str())) << read_bytes(dir.file("calc.txt"));

    const std::string original = read_bytes(dir.file("fleet.xml"));
    for (size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        const std::string n = std::to_string(i);
        write_bytes(dir.file("fleet.xml"), original);
        if (c.in_file != nullptr) {
            imported("fleet.xml", c.in_file);
        }
        const std::string before = read_bytes(dir.file("fleet.xml"));
        const ProgramRun result = run("import fleet.xml edited" + n + "." + c.save_as + " --output result" + n +
                                      ".xml" + (std::string(c.options).empty() ? "" : " " + std::string(c.options)));
        EXPECT_EQ(c.status, result.status) << c.name << "\n" << result.printed();
        EXPECT_NE(std::string::npos, result.printed().find(c.said)) << c.name << "\n" << result.printed();
        EXPECT_EQ(before, read_bytes(dir.file("fleet.xml"))) << c.name;
        if (c.status != 0) {
            EXPECT_EQ("", read_bytes(dir.file("result" + n + ".xml"))) << c.name;
            continue;
        }
        const std::string expected = c.expected != nullptr ? imported("expected" + n, c.expected) : before;
        EXPECT_TRUE(expected == read_bytes(dir.file("result" + n + ".xml"))) << c.name;
    }
}

}  // namespace

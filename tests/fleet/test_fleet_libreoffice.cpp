// Workbooks that LibreOffice Calc saved, read by zantor-fleet import: a CSV
// of list --csv opened with its columns as text, and the tool's own
// workbook changed in Calc. Skipped when LibreOffice is not installed.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "doc/Lib_xml.h"
#include "support/core_files.h"
#include "support/fleet_program.h"
#include "support/station_fleet.h"

namespace {

class FleetLibreOffice : public ::testing::Test {
protected:
    TempDir dir;

    void SetUp() override
    {
        if (std::system("command -v libreoffice > /dev/null") != 0) {
            GTEST_SKIP() << "LibreOffice is not installed (Debian's libreoffice-calc-nogui): the workbooks it saves "
                            "are not tried";
        }
        myXMLdocument document("SETUP");
        build_fleet(document, 12);
        ASSERT_FALSE(document.save_file(dir.file("fleet.xml").c_str())) << document.error_text();
    }

    ProgramRun run(const std::vector<std::string>& args) { return run_fleet_program(dir.path(), args); }

    // Converts `file` with LibreOffice Calc, in a profile of its own; the
    // result goes to the folder out.
    void convert(const std::string& file, const std::string& to, const std::string& import_filter = "")
    {
        const std::string command = "cd '" + dir.path() + "' && HOME='" + dir.path() + "' libreoffice --headless " +
                                    "-env:UserInstallation=file://" + dir.path() + "/profile " +
                                    (import_filter.empty() ? "" : "--infilter='" + import_filter + "' ") +
                                    "--convert-to " + to + " --outdir out " + file + " > convert.txt 2>&1";
        ASSERT_EQ(0, std::system(command.c_str())) << read_bytes(dir.file("convert.txt"));
    }
};

TEST_F(FleetLibreOffice, CsvOpenedAsTextImportsUnchanged)
{
    write_bytes(dir.file("list.csv"), run({"list", "fleet.xml", "--csv"}).out);
    // Semicolons, double quotes, UTF-8, from line 1, each of the 24 columns as text.
    std::string columns;
    for (int column = 1; column <= 24; ++column) {
        columns += (column > 1 ? "/" : "") + std::to_string(column) + "/2";
    }
    convert("list.csv", "xlsx", "CSV:59,34,76,1," + columns);
    const ProgramRun back = run({"import", "fleet.xml", "out/list.xlsx"});
    EXPECT_EQ("fleet.xml: nothing to change\n", back.out + back.err);
}

TEST_F(FleetLibreOffice, OwnWorkbookChangedInCalcImportsTheChangeOnly)
{
    ASSERT_EQ(0, run({"list", "fleet.xml", "--xlsx", "list.xlsx"}).status);
    // Calc saves it again as it reads it, and once more after an edit of
    // one cell in its own flat format.
    convert("list.xlsx", "fods");
    std::string sheet = read_bytes(dir.file("out/list.fods"));
    const std::string apn = "<text:p>internet.operator.example</text:p>";
    const size_t at = sheet.find(apn);
    ASSERT_NE(std::string::npos, at);
    sheet.replace(at, apn.size(), "<text:p>m2m.operator.example</text:p>");
    write_bytes(dir.file("changed.fods"), sheet);
    convert("changed.fods", "xlsx");
    convert("list.xlsx", "xlsx:\"Calc MS Excel 2007 XML\"");
    const ProgramRun same = run({"import", "fleet.xml", "out/list.xlsx"});
    EXPECT_EQ("fleet.xml: nothing to change\n", same.out + same.err);
    const ProgramRun changed = run({"import", "fleet.xml", "out/changed.xlsx", "--dry-run"});
    EXPECT_EQ(0, changed.status);
    EXPECT_NE(std::string::npos, changed.out.find("APN NAME \"internet.operator.example\" -> \"m2m.operator.example\""))
        << changed.out;
    EXPECT_NE(std::string::npos, changed.out.find("fleet.xml: 1 station changed, 0 added; nothing written (dry run)"))
        << changed.out + changed.err;
}

}  // namespace

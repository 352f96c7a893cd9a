// zantor-fleet list --columns, and the text table that fits 120 characters:
// the built program on a fleet of long values, and its lists imported back.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "doc/cp1252.h"
#include "fleet/formats/zip_in_memory.h"
#include "station/station_record.h"
#include "support/core_files.h"
#include "support/fleet_program.h"
#include "support/station_fleet.h"
#include "support/workbook_files.h"

namespace {

const char* const ellipsis = "\xE2\x80\xA6";

size_t characters(const std::string& utf8)
{
    size_t count = 0;
    for (char c : utf8) {
        count += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
    }
    return count;
}

std::vector<std::string> lines_of(const std::string& text)
{
    std::vector<std::string> lines;
    for (size_t start = 0, end = 0; start < text.size(); start = end + 1) {
        end = text.find('\n', start);
        lines.push_back(text.substr(start, end - start));
    }
    return lines;
}

class FleetColumns : public ::testing::Test {
protected:
    TempDir dir;
    std::string fleet;

    // Generated stations with long values: accented descriptions, long
    // sequences, and here a description and SMS texts of a hundred letters.
    void SetUp() override
    {
        myXMLdocument document("SETUP");
        TiXmlElement* station = xml_first_child(build_fleet(document, 6));
        xml_set_attr(station, "description",
                     "R\xE9surgence du Moulin, captage amont c\xF4t\xE9 for\xEAt domaniale, regard n\xB0 3 \xE0 "
                     "l'\xE9tiage");
        for (; station != nullptr; station = xml_next_sibling(station)) {
            const StationParts parts = complete_station_defaults(station);
            xml_set_attr(ensure_parameter(parts.cfg_parameters, "SMS_TEXT_ACQ", "value", ""), "value",
                         "Alarme : seuil d\xE9pass\xE9 sur la sonde de pression, v\xE9rifier le captage et "
                         "pr\xE9venir l'astreinte");
        }
        ASSERT_FALSE(document.save_file(dir.file("fleet.xml").c_str()));
        fleet = read_bytes(dir.file("fleet.xml"));
    }

    ProgramRun run(const std::vector<std::string>& args) { return run_fleet_program(dir.path(), args); }

    // The workbook with each first text replaced by the second in its
    // visible sheet, as an operator's typing changes cells.
    std::string typed_in_workbook(const std::string& workbook,
                                  const std::vector<std::pair<std::string, std::string>>& typing)
    {
        ZipInMemory zip(workbook);
        ZipParts parts;
        for (const char* name : {"[Content_Types].xml", "_rels/.rels", "docProps/app.xml", "docProps/core.xml",
                                 "xl/workbook.xml", "xl/_rels/workbook.xml.rels", "xl/styles.xml",
                                 "xl/theme/theme1.xml", "xl/worksheets/sheet1.xml", "xl/worksheets/sheet2.xml"}) {
            std::string content;
            if (zip.read(name, 1 << 22, content) == ZipInMemory::Read::ok) {
                parts.push_back({name, content});
            }
        }
        std::string& sheet = parts[parts.size() - 2].second;
        for (const auto& typed : typing) {
            const size_t at = sheet.find(typed.first);
            EXPECT_NE(std::string::npos, at) << typed.first;
            sheet.replace(at == std::string::npos ? sheet.size() : at, typed.first.size(), typed.second);
        }
        return zip_bytes(parts);
    }
};

TEST_F(FleetColumns, TextTablesFitTheirWidthCuttingTheLongestCells)
{
    const struct {
        std::vector<std::string> columns;  // --columns, none for the default
        const char* header;
        bool cut;
    } cases[] = {
        {{},
         "id    description           phone_nbr     gsm_mode   sms_number  acq_interval0_min  gsm_interval_h  "
         "slow",
         true},
        {{"--columns", "sms_text_acq,Description"}, "sms_text_acq", true},
        {{"--columns", "ID, health"}, "id    health", false},
        // The names alone pass 120 characters: every cell whole.
        {{"--columns", "all"}, "id    description", false},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = {"list", "fleet.xml"};
        args.insert(args.end(), c.columns.begin(), c.columns.end());
        const ProgramRun listed = run(args);
        const std::string label = c.columns.empty() ? "default" : c.columns[1];
        ASSERT_EQ(0, listed.status) << label << listed.err;
        const std::vector<std::string> lines = lines_of(listed.out);
        ASSERT_EQ(7u, lines.size()) << label;
        EXPECT_EQ(0u, lines[0].find(c.header)) << label << "\n" << lines[0];
        EXPECT_TRUE(is_valid_utf8(listed.out)) << label;
        EXPECT_EQ(c.cut, listed.out.find(ellipsis) != std::string::npos) << label << "\n" << listed.out;
        for (const std::string& line : lines) {
            EXPECT_EQ(c.columns.size() == 2 && c.columns[1] == "all", characters(line) > 120) << label << "\n" << line;
        }
    }
}

TEST_F(FleetColumns, WrongListsAreUsageErrors)
{
    const struct {
        std::vector<std::string> args;
        const char* err;
    } cases[] = {
        {{"--columns", "id,phone"},
         "unknown column \"phone\" in --columns; the columns are id, description, phone_nbr, pin, gsm_mode, "},
        {{"--columns", "id,description,ID"}, "the column id is given twice in --columns"},
        {{"--columns", "all,id"}, "--columns all stands alone: it gives every column"},
        {{"--columns", ","}, "--columns names no column"},
        {{"--columns", "description", "--csv"}, "--csv needs the id column in --columns"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = {"list", "fleet.xml"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const ProgramRun refused = run(args);
        EXPECT_EQ(2, refused.status) << c.err;
        EXPECT_EQ(0u, refused.err.find(std::string("zantor-fleet list: ") + c.err)) << refused.err;
        EXPECT_EQ("", refused.out);
    }
}

// The columns in their order, the key last; the key of a list of a few
// columns still finds each station, and the workbook holds no other column,
// its hours a number wherever they stand.
TEST_F(FleetColumns, AListOfSomeColumnsImportsBackAndStoresATypedChange)
{
    const char* const columns = "gsm_interval_h,Description,id,sms_number";
    const std::string csv = run({"list", "fleet.xml", "--csv", "--columns", columns}).out;
    EXPECT_EQ(0u, csv.find("\xEF\xBB\xBFgsm_interval_h;description;id;sms_number;key\r\n24;")) << csv;
    const size_t number_at = csv.find(";1001;") + 6;
    const std::string number = csv.substr(number_at, csv.find(';', number_at) - number_at);
    for (const bool workbook : {false, true}) {
        const std::string sheet = workbook ? "list.xlsx" : "list.csv";
        write_bytes(dir.file("fleet.xml"), fleet);
        if (!workbook) {
            write_bytes(dir.file(sheet), csv);
        } else {
            ASSERT_EQ(0, run({"list", "fleet.xml", "--columns", columns, "--xlsx", sheet}).status);
            const std::string listed_workbook = read_bytes(dir.file(sheet));
            ZipInMemory zip(listed_workbook);
            std::string shown, listed;
            ASSERT_EQ(ZipInMemory::Read::ok, zip.read("xl/worksheets/sheet1.xml", 1 << 22, shown));
            ASSERT_EQ(ZipInMemory::Read::ok, zip.read("xl/worksheets/sheet2.xml", 1 << 22, listed));
            EXPECT_NE(std::string::npos, shown.find("<c r=\"A2\"><v>24</v></c>")) << shown;
            EXPECT_EQ(std::string::npos, (shown + listed).find("phone_nbr"));
        }
        EXPECT_EQ("fleet.xml: nothing to change\n", run({"import", "fleet.xml", sheet}).printed()) << sheet;
        EXPECT_EQ(fleet, read_bytes(dir.file("fleet.xml"))) << sheet;

        // In the workbook, a column of the GSM mode typed beside those listed, too.
        const std::string bytes = read_bytes(dir.file(sheet));
        const std::string mode = "<c r=\"F1\" t=\"inlineStr\"><is><t>gsm_mode</t></is></c></row><row r=\"2\"";
        write_bytes(dir.file(sheet),
                    workbook ? typed_in_workbook(bytes, {{"<t>" + number + "</t>", "<t>0611223344</t>"},
                                                         {"</row><row r=\"2\"", mode},
                                                         {"</row><row r=\"4\"",
                                                          "<c r=\"F3\" t=\"inlineStr\"><is>"
                                                          "<t>Disabled</t></is></c></row>"
                                                          "<row r=\"4\""}})
                             : csv.substr(0, number_at) + "0611223344" + csv.substr(number_at + number.size()));
        const ProgramRun typed = run({"import", "fleet.xml", sheet});
        EXPECT_EQ(0, typed.status) << typed.printed();
        EXPECT_NE(std::string::npos, typed.out.find("\"" + number + "\" -> \"0611223344\"")) << typed.printed();
        EXPECT_NE(std::string::npos, read_bytes(dir.file("fleet.xml")).find("\"0611223344\"")) << sheet;
        EXPECT_EQ(workbook, typed.out.find("GSM Mode") != std::string::npos) << typed.out;
    }
}

}  // namespace

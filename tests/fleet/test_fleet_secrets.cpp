// PINs and passwords through every command and format: hidden wherever a
// record holds them, however a hand edit doubled or moved them, and shown
// with --show-secrets where the command shows that value.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fleet/formats/zip_in_memory.h"
#include "support/fleet_program.h"

namespace {

struct Secret {
    const char* old_value;
    const char* new_value;  // in new.xml
    const char* old_tail;   // after the old value in the file, which check alone reads as written
};

// Each by the road it takes into the record.
const Secret secrets[] = {
    {"S3cr3tPin91", "N3wPin-81", ""},            // PIN_CODE and the station's pin
    {"Tw1cePin-42", "Tw1cePin-43", ""},          // a second PIN_CODE
    {"pa55-word-7", "pa55-word-8", ""},          // PASSWORD
    {"0ld-pa55-1", "0ld-pa55-2", ""},            // an extra attribute of PASSWORD
    {"Nest3d-pw-1", "Nest3d-pw-2", "\xC3\xA9"},  // a PASSWORD inside USERNAME, with UTF-8
    {"apn-S3cret-1", "apn-S3cret-2", ""},        // GPRS_APN_PASSWORD
    {"L00se-pw-1", "L00se-pw-2", "&#x2013;"},    // a PASSWORD of the station itself, a reference above 255
    {"St4tionPin-1", "St4tionPin-2", ""},        // the pin of a station whose PIN_CODE stays
    {"Url-pw-1", "Url-pw-2", ""},                // a password attribute of another element
    {"T0p-pw-1", "T0p-pw-2", ""},                // one at the top level
};

std::string with_secrets(bool newer)
{
    auto value = [newer](int i) {
        return newer ? std::string(secrets[i].new_value) : std::string(secrets[i].old_value) + secrets[i].old_tail;
    };
    std::string first = station("1", "Pump house", "600", value(5).c_str());
    auto put = [&first](const std::string& from, const std::string& to) {
        first.replace(first.find(from), from.size(), to);
    };
    put("pin=\"1234\"", "pin=\"" + value(0) + "\"");
    put("<PIN_CODE value=\"1234\"/>", "<PIN_CODE value=\"" + value(0) + "\"/><PIN_CODE value=\"" + value(1) + "\"/>");
    put("<PASSWORD value=\"pqwz\"/>", "<PASSWORD value=\"" + value(2) + "\" old=\"" + value(3) + "\"/>");
    put("<USERNAME value=\"kestrane\"/>",
        "<USERNAME value=\"kestrane\"><PASSWORD value=\"" + value(4) + "\"/></USERNAME>");
    put("<HTTP_URL value=\"/gprs/default.php\"/>",
        "<HTTP_URL value=\"/gprs/default.php\" password=\"" + value(8) + "\"/>");
    put("</STATION>", "<PASSWORD value=\"" + value(6) + "\"/></STATION>");
    // In a sequence, which check says it would lose.
    put("<ACQUISITION_SEQUENCE value=\"1\"><PROBES_POWER state=\"1\"/><ACQ_VBAT channel=\"0\"/>",
        "<ACQUISITION_SEQUENCE value=\"1\" password=\"Seq-pw-1\"><PROBES_POWER state=\"1\"/>"
        "<ACQ_VBAT channel=\"0\" pin=\"Seq-pin-1\"/>");
    std::string second = station("2", "Well");
    second.replace(second.find("pin=\"1234\""), 10, "pin=\"" + value(7) + "\"");
    std::string file = settings(first + second);
    file.replace(file.find("path=\"c:\\data\""), 14, "path=\"c:\\data\" password=\"" + value(9) + "\"");
    return file;
}

class FleetSecrets : public FleetProgram {
protected:
    // All a run gave: its output, and the text of the workbook it wrote.
    std::string everything(const ProgramRun& run, const char* workbook)
    {
        std::string text = run.printed();
        const std::string bytes = workbook != nullptr ? read_bytes(dir.file(workbook)) : std::string();
        ZipInMemory zip(bytes);
        for (const char* part : {"xl/sharedStrings.xml", "xl/worksheets/sheet1.xml"}) {
            std::string content;
            if (zip.is_open() && zip.read(part, 1 << 20, content) == ZipInMemory::Read::ok) {
                text += content;
            }
        }
        EXPECT_TRUE(workbook == nullptr || text.find("<sheetData>") != std::string::npos) << workbook;
        return text;
    }
};

TEST_F(FleetSecrets, NoCommandShowsASecretUnlessAskedTo)
{
    file("old.xml", with_secrets(false));
    file("new.xml", with_secrets(true));
    file("sheet.csv", "id;password\n1;pa55-word-9\n");
    file("bad.csv", "id;pin\n2;12ab-Pin\n");
    std::vector<std::string> compared,
        never_shown = {"pa55-word-9", "12ab-Pin", "\xC3\xA9", "&#x2013;", "x2013", "Seq-pw-1", "Seq-pin-1"};
    for (const Secret& secret : secrets) {
        compared.insert(compared.end(), {secret.old_value, secret.new_value});
    }
    never_shown.insert(never_shown.end(), compared.begin(), compared.end());
    const std::vector<std::string> listed = {"S3cr3tPin91", "pa55-word-7", "apn-S3cret-1"};
    const std::vector<std::string> imported = {"pa55-word-7", "pa55-word-9"};
    const std::vector<std::string> applied = {"pa55-word-7", "apn-S3cret-1"};
    struct Road {
        std::vector<std::string> args;
        const char* workbook;            // written by the run
        std::vector<std::string> shown;  // with --show-secrets; none: the command has no such option
    };
    const Road roads[] = {
        {{"check", "old.xml", "new.xml"}, nullptr, {}},
        {{"check", "old.xml", "--format", "csv"}, nullptr, {}},
        {{"check", "old.xml", "--format", "json"}, nullptr, {}},
        {{"list", "old.xml", "--columns", "all"}, nullptr, listed},
        {{"list", "old.xml", "--csv"}, nullptr, listed},
        {{"list", "old.xml", "--xlsx", "list.xlsx"}, "list.xlsx", listed},
        {{"diff", "old.xml", "new.xml"}, nullptr, compared},
        {{"diff", "old.xml", "new.xml", "--format", "json"}, nullptr, compared},
        {{"import", "old.xml", "sheet.csv", "--dry-run"}, nullptr, imported},
        {{"import", "old.xml", "sheet.csv", "--dry-run", "--each"}, nullptr, imported},
        {{"import", "old.xml", "sheet.csv", "--dry-run", "--format", "json"}, nullptr, imported},
        {{"import", "old.xml", "bad.csv", "--dry-run"}, nullptr, {}},
        {{"apply", "old.xml", "--from", "1", "--to", "2", "--parts", "gsm", "--dry-run"}, nullptr, applied},
        {{"apply", "old.xml", "--from", "1", "--to", "2", "--parts", "gsm", "--dry-run", "--each"}, nullptr, applied},
        {{"apply", "old.xml", "--from", "1", "--to", "2", "--parts", "gsm", "--dry-run", "--format", "json"},
         nullptr,
         applied},
    };
    for (const Road& road : roads) {
        std::string command_line;
        for (const std::string& arg : road.args) {
            command_line += " " + arg;
        }
        const std::string hidden = everything(run(road.args), road.workbook);
        for (const std::string& value : never_shown) {
            EXPECT_EQ(std::string::npos, hidden.find(value)) << command_line << ": " << value;
        }
        if (road.shown.empty()) {
            continue;
        }
        std::vector<std::string> args = road.args;
        args.push_back("--show-secrets");
        const std::string shown = everything(run(args), road.workbook);
        for (const std::string& value : road.shown) {
            EXPECT_NE(std::string::npos, shown.find(value)) << command_line << " --show-secrets: " << value;
        }
    }
}

}  // namespace

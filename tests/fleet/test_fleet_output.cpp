// What apply and import print, as an operator or a script reads it: a
// summary of each kind of change, every line with --each, one JSON document
// with --format json, and no other format.
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "support/core_files.h"
#include "support/fleet_program.h"
#include "support/station_fleet.h"

#ifdef ZANTOR_JSON_PARSER
#include <nlohmann/json.hpp>
#endif

namespace {

// Eight complete stations, 1000 to 1007, whose timings and GSM modes
// differ; three of them hold thresholds typed with a comma, which check
// warns about.
class FleetOutput : public ::testing::Test {
protected:
    TempDir dir;

    void SetUp() override
    {
        myXMLdocument document("SETUP");
        build_fleet(document, 8);
        ASSERT_FALSE(document.save_file(dir.file("fleet.xml").c_str()));
        write_bytes(dir.file("apn.csv"), "id;apn_name;description\n1001;m2m.example;Well\n1002;m2m.example;Spring\n");
        write_bytes(dir.file("new.csv"),
                    "id;apn_name;notes\n1001;m2m.example;call first\n1002;m2m.example;\n"
                    "1100;m2m.example;\n");
        write_bytes(dir.file("secret.csv"), "id;password\n1001;s3cret\n1002;s3cret\n");
        write_bytes(dir.file("bad.csv"), "id;pin\n1001;12\n");
    }

    ProgramRun run(const std::vector<std::string>& args) { return run_fleet_program(dir.path(), args); }
};

std::vector<std::string> with(std::vector<std::string> args, const std::vector<std::string>& more)
{
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

const std::vector<std::string> apply_all = {"apply", "fleet.xml", "--from",     "1000",
                                            "--all", "--parts",   "timing,gsm", "--dry-run"};

TEST_F(FleetOutput, EachKindOfChangeAndOfFindingIsOneLine)
{
    const struct {
        std::vector<std::string> args;
        const char* out;
    } cases[] = {
        // Old values that differ, a shared new one; more stations than named.
        {apply_all,
         "GSM Mode -> \"Disabled\": 5 stations (1001, 1002, 1004, \xE2\x80\xA6 2 more)\n"
         "Interval between two acquisition in slow mode -> 27 min: 7 stations (1001, 1002, 1003, \xE2\x80\xA6 4 "
         "more)\n"
         "Interval between two acquisition in fast mode -> 8 min: 6 stations (1001, 1002, 1004, \xE2\x80\xA6 3 "
         "more)\n"
         "check: warning threshold: 7 findings on 4 stations (1001, 1005, 1006, \xE2\x80\xA6 1 more)\n"
         "fleet.xml: 7 stations changed; nothing written (dry run)\n"},
        // New values that differ show the setting alone; shared ones both.
        {{"import", "fleet.xml", "apn.csv", "--dry-run"},
         "Description: 2 stations (1001, 1002)\n"
         "APN NAME \"internet.operator.example\" -> \"m2m.example\": 2 stations (1001, 1002)\n"
         "check: warning threshold: 3 findings on 1 station (1001)\n"
         "fleet.xml: 2 stations changed, 0 added; nothing written (dry run)\n"},
        // Stations added and removed; the notes after the findings.
        {{"import", "fleet.xml", "new.csv", "--add", "--remove-missing", "--output", "out.xml"},
         "APN NAME \"internet.operator.example\" -> \"m2m.example\": 2 stations (1001, 1002)\n"
         "added with default Slow, Fast and Health sequences and defaults for the 19 values the row leaves "
         "empty: 1 station (1100)\n"
         "removed: 6 stations (1000, 1003, 1004, \xE2\x80\xA6 3 more)\n"
         "check: warning threshold: 3 findings on 1 station (1001)\n"
         "the column \"notes\" is none of list's and is not read\n"
         "6 stations are not in the sheet and are removed: 1000, 1003, 1004, 1005, 1006, 1007\n"
         "fleet.xml: 2 stations changed, 1 added, 6 removed; written to out.xml\n"},
        // A secret shared by the group shows as the lines show it.
        {{"import", "fleet.xml", "secret.csv", "--dry-run"},
         "PASSWORD **** -> ****: 2 stations (1001, 1002)\n"
         "check: warning threshold: 3 findings on 1 station (1001)\n"
         "fleet.xml: 2 stations changed, 0 added; nothing written (dry run)\n"},
        {{"import", "fleet.xml", "secret.csv", "--dry-run", "--show-secrets"},
         "PASSWORD \"pqwz\" -> \"s3cret\": 2 stations (1001, 1002)\n"
         "check: warning threshold: 3 findings on 1 station (1001)\n"
         "fleet.xml: 2 stations changed, 0 added; nothing written (dry run)\n"},
    };
    for (const auto& c : cases) {
        const ProgramRun result = run(c.args);
        EXPECT_EQ(0, result.status) << c.out;
        EXPECT_EQ(c.out, result.out + result.err);
    }
}

// The counts of the summary are the lines of --each, kind by kind.
TEST_F(FleetOutput, EachPrintsEveryLineThatTheSummaryCounts)
{
    const ProgramRun summary = run(apply_all);
    const ProgramRun each = run(with(apply_all, {"--each"}));
    const std::regex count(": (?:(\\d+) findings on )?(\\d+) stations? \\(.*\\)");
    int changes = 0, findings = 0, change_lines = 0, finding_lines = 0;
    for (const std::string* text : {&summary.out, &each.out}) {
        size_t start = 0;
        for (size_t end = text->find('\n'); end != std::string::npos; start = end + 1, end = text->find('\n', start)) {
            const std::string line = text->substr(start, end - start);
            std::smatch m;
            const bool finding = line.compare(0, 7, "check: ") == 0;
            if (text == &summary.out && std::regex_search(line, m, count)) {
                (finding ? findings : changes) += std::stoi(m[finding ? 1 : 2].str());
            } else if (text == &each.out && (finding || line.find("\": ") != std::string::npos)) {
                ++(finding ? finding_lines : change_lines);
            }
        }
    }
    EXPECT_EQ(18, changes) << summary.out;
    EXPECT_EQ(changes, change_lines) << each.out;
    EXPECT_EQ(findings, finding_lines) << each.out;
    EXPECT_EQ(summary.out.substr(summary.out.rfind("fleet.xml: ")), each.out.substr(each.out.rfind("fleet.xml: ")));
}

TEST_F(FleetOutput, JsonIsOneDocumentOfTheChangesFindingsAndOutcome)
{
#ifndef ZANTOR_JSON_PARSER
    GTEST_SKIP() << "no JSON parser in this build";
#else
    const struct {
        std::vector<std::string> args;
        int status;
        size_t changes, findings, notes, errors;
        const char* summary;
        bool dry_run, written;
        const char* first_change;  // its JSON, or null
    } cases[] = {
        {{"apply", "fleet.xml", "--from", "1000", "--to", "1001", "--parts", "timing", "--output", "out.xml"},
         0,
         2,
         3,
         0,
         0,
         "fleet.xml: 1 station changed; written to out.xml",
         false,
         true,
         "{\"kind\": \"changed\", \"station\": \"1001\", \"description\": \"Gouffre du Pi\xC3\xA8ge n\xC2\xB0 2\", "
         "\"what\": \"Interval between two acquisition in slow mode\", \"old\": \"5 min\", \"new\": \"27 min\"}"},
        {{"import", "fleet.xml", "new.csv", "--add", "--remove-missing", "--dry-run"},
         0,
         9,
         3,
         2,
         0,
         "fleet.xml: 2 stations changed, 1 added, 6 removed; nothing written (dry run)",
         true,
         false,
         "{\"kind\": \"changed\", \"station\": \"1001\", \"description\": \"Gouffre du Pi\xC3\xA8ge n\xC2\xB0 2\", "
         "\"what\": \"APN NAME\", \"old\": \"internet.operator.example\", \"new\": \"m2m.example\"}"},
        {{"import", "fleet.xml", "bad.csv"}, 1, 0, 0, 0, 1, "1 error, nothing written", false, false, nullptr},
        {{"apply", "fleet.xml", "--from", "1000", "--to", "1001", "--parts", "timing", "--strict"},
         1,
         0,
         3,
         0,
         3,
         "3 errors, nothing written",
         false,
         false,
         nullptr},
    };
    for (const auto& c : cases) {
        const ProgramRun result = run(with(c.args, {"--format", "json"}));
        EXPECT_EQ(c.status, result.status) << c.summary;
        EXPECT_EQ(c.status == 0, result.err.empty()) << result.err;
        const nlohmann::json document = nlohmann::json::parse(result.out, nullptr, false);
        ASSERT_TRUE(document.is_object()) << result.out;
        EXPECT_EQ(c.changes, document["changes"].size()) << c.summary;
        EXPECT_EQ(c.findings, document["findings"].size()) << c.summary;
        EXPECT_EQ(c.notes, document["notes"].size()) << c.summary;
        EXPECT_EQ(c.errors, document["errors"].size()) << c.summary;
        EXPECT_EQ(c.summary, document["summary"]);
        EXPECT_EQ(c.dry_run, document["dry_run"]) << c.summary;
        EXPECT_EQ(c.written, document["written"]) << c.summary;
        EXPECT_EQ(c.written ? nlohmann::json("out.xml") : nlohmann::json(), document["output"]) << c.summary;
        if (c.first_change != nullptr) {
            EXPECT_EQ(nlohmann::json::parse(c.first_change), document["changes"][0]);
        }
        if (c.findings > 0) {
            EXPECT_EQ("threshold", document["findings"][0]["rule"]) << c.summary;
            EXPECT_EQ("1001", document["findings"][0]["station"]) << c.summary;
        }
    }
#endif
}

TEST_F(FleetOutput, AnUnknownFormatIsAUsageError)
{
    const std::vector<std::string> apply_args = {"--from", "1000", "--to", "1001", "--parts", "timing"};
    const struct {
        const char* command;
        std::vector<std::string> args;
        const char* formats;
    } cases[] = {
        {"import", {"apn.csv"}, "text or json"}, {"import-csv", {"apn.csv"}, "text or json"},
        {"apply", apply_args, "text or json"},   {"check", {}, "text, csv or json"},
        {"diff", {"fleet.xml"}, "text or json"},
    };
    for (const auto& c : cases) {
        for (const char* format : {"xml", "JSON"}) {
            const ProgramRun result = run(with(with({c.command, "fleet.xml"}, c.args), {"--format", format}));
            EXPECT_EQ(2, result.status) << c.command << " " << format;
            EXPECT_EQ(std::string("zantor-fleet ") + c.command + ": unknown format '" + format + "' (" + c.formats +
                          ")\nTry 'zantor-fleet " + c.command + " --help'.\n",
                      result.printed());
        }
    }
}

}  // namespace

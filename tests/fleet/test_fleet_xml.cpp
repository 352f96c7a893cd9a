// XML errors as zantor-fleet reports them: the loader's own reason, place and
// hint, whatever the command, and nothing read from the damaged file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/core_files.h"
#include "support/fleet_program.h"

namespace {

TEST(FleetXml, EveryCommandRefusesAnAmpersandTheParserWouldDrop)
{
    TempDir dir;
    write_bytes(dir.file("fleet.xml"),
                "<SETUP>\r\n<STATIONS>\r\n<STATION id=\"1\" description=\"Pump & well\"/>\r\n"
                "</STATIONS>\r\n</SETUP>\r\n");
    const std::string reason = "fleet.xml: line 3, column 35: a bare \"&\": write &amp; for &\n";
    const struct {
        std::vector<std::string> args;
        std::string out;
    } cases[] = {
        {{"check", "fleet.xml"},
         "fleet.xml\n  error    top level  the editor refuses the file: line 3, column 35: a bare \"&\": write &amp; "
         "for &\nfleet.xml: not read\n"},
        {{"check", "--format", "json", "fleet.xml"},
         "[\n  {\"file\": \"fleet.xml\", \"severity\": \"error\", \"station\": \"top level\", \"where\": \"\", "
         "\"message\": \"the editor refuses the file: line 3, column 35: a bare \\\"&\\\": write &amp; for &\"}\n]\n"},
        {{"list", "fleet.xml"}, ""},
    };
    for (const auto& c : cases) {
        const ProgramRun result = run_fleet_program(dir.path(), c.args);
        EXPECT_EQ(2, result.status) << c.args[0];
        EXPECT_EQ("zantor-fleet " + c.args[0] + ": " + reason, result.err);
        EXPECT_EQ(c.out, result.out) << c.args[0];
    }
}

}  // namespace

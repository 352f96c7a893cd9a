// Fixture of the saving tests: a document of 3,000 stations, large enough
// for a failure to come midway through its writes, and a target file in a
// fresh directory that holds a small previous settings file.
#ifndef ZANTOR_TESTS_SUPPORT_CORE_SAVING_H
#define ZANTOR_TESTS_SUPPORT_CORE_SAVING_H

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "doc/Lib_xml.h"
#include "doc/save_test_hooks.h"
#include "doc/top_level.h"
#include "support/core_files.h"

class Saving : public ::testing::Test {
protected:
    const std::string previous = "<SETUP>\r\n    <STATIONS />\r\n</SETUP>\r\n";
    TempDir dir;
    myXMLdocument document{"SETUP"};
    std::string target = dir.file("settings.xml");

    void SetUp() override
    {
        TopLevelElements top = bind_top_level(document);
        for (int i = 0; i < 3000; ++i) {
            TiXmlElement* station = xml_add_child(top.stations, "STATION");
            xml_set_attr_int(station, "id", i);
            xml_set_attr(station, "pin", "1234");
        }
        write_bytes(target, previous);
    }

    void TearDown() override
    {
        set_save_write_limit(-1);
        set_save_pause_before_replace(nullptr);
    }

    void expect_failed_and_untouched(bool failed)
    {
        EXPECT_TRUE(failed);
        EXPECT_FALSE(document.error_text().empty());
        EXPECT_EQ(read_bytes(target), previous);
        EXPECT_EQ(dir.entries(), std::vector<std::string>{"settings.xml"}) << "no temporary file may stay";
    }
};

#endif

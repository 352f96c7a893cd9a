// Saving never loses the previous file: failures of every kind leave the
// target byte for byte as it was, and no temporary file behind.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "doc/Lib_xml.h"
#include "doc/file_replace.h"
#include "doc/save_test_hooks.h"
#include "doc/top_level.h"
#include "support/core_files.h"

namespace {

const std::string previous = "<SETUP>\r\n    <STATIONS />\r\n</SETUP>\r\n";

class Saving : public ::testing::Test {
protected:
    TempDir dir;
    myXMLdocument document{"SETUP"};
    std::string target = dir.file("settings.xml");

    void SetUp() override
    {
        TopLevelElements top = bind_top_level(document);
        // Large enough for several writes, so a failure can come midway.
        for (int i = 0; i < 3000; ++i) {
            TiXmlElement* station = xml_add_child(top.stations, "STATION");
            xml_set_attr_int(station, "id", i);
            xml_set_attr(station, "pin", "1234");
        }
        write_bytes(target, previous);
    }

    void TearDown() override { set_save_write_limit(-1); }

    void expect_failed_and_untouched(bool failed)
    {
        EXPECT_TRUE(failed);
        EXPECT_FALSE(document.error_text().empty());
        EXPECT_EQ(read_bytes(target), previous);
        EXPECT_EQ(dir.entries(), std::vector<std::string>{"settings.xml"}) << "no temporary file may stay";
    }
};

TEST_F(Saving, SuccessReplacesTheContentAndClearsTheReason)
{
    EXPECT_TRUE(document.save_file(nullptr));
    EXPECT_FALSE(document.save_file(target.c_str())) << document.error_text();
    EXPECT_EQ(document.error_text(), "");
    EXPECT_EQ(read_bytes(target).compare(0, 9, "<SETUP>\r\n"), 0);
    EXPECT_GT(read_bytes(target).size(), 100000u);
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"settings.xml"});
}

TEST_F(Saving, NewFileIsOwnerOnlyAndAnExistingOneKeepsItsPermissions)
{
    ASSERT_FALSE(document.save_file(dir.file("new.xml").c_str()));
    EXPECT_EQ(file_mode(dir.file("new.xml")), 0600);

    chmod(target.c_str(), 0644);
    ASSERT_FALSE(document.save_file(target.c_str()));
    EXPECT_EQ(file_mode(target), 0644);
    chmod(target.c_str(), 0640);
    ASSERT_FALSE(document.save_file(target.c_str()));
    EXPECT_EQ(file_mode(target), 0640);
}

TEST_F(Saving, SymbolicLinkStaysAndItsFileIsReplaced)
{
    std::string link = dir.file("link.xml");
    ASSERT_EQ(symlink("settings.xml", link.c_str()), 0);
    ASSERT_FALSE(document.save_file(link.c_str())) << document.error_text();
    struct stat link_stat;
    ASSERT_EQ(lstat(link.c_str(), &link_stat), 0);
    EXPECT_TRUE(S_ISLNK(link_stat.st_mode));
    EXPECT_NE(read_bytes(target), previous);
}

TEST_F(Saving, TargetThatIsADirectoryOrInAMissingDirectory)
{
    ASSERT_EQ(mkdir(dir.file("folder").c_str(), 0700), 0);
    EXPECT_TRUE(document.save_file(dir.file("folder").c_str()));
    EXPECT_EQ(document.error_text(), "is a directory");
    EXPECT_TRUE(document.save_file(dir.file("missing/settings.xml").c_str()));
    EXPECT_NE(document.error_text().find("No such file or directory"), std::string::npos) << document.error_text();
    EXPECT_EQ(read_bytes(target), previous);
}

TEST_F(Saving, WriteFailingMidwayLeavesThePreviousFile)
{
    for (long long limit : {0LL, 1LL, 100000LL}) {
        set_save_write_limit(limit);
        expect_failed_and_untouched(document.save_file(target.c_str()));
        EXPECT_NE(document.error_text().find("No space left on device"), std::string::npos);
    }
}

TEST_F(Saving, FileSizeLimitOfTheSystemLeavesThePreviousFile)
{
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Writes beyond the limit fail with EFBIG instead of killing the process.
        signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit = {50000, 50000};
        setrlimit(RLIMIT_FSIZE, &limit);
        bool failed = document.save_file(target.c_str());
        bool reason = document.error_text().find("File too large") != std::string::npos;
        _exit(failed && reason ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(read_bytes(target), previous);
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"settings.xml"});
}

TEST_F(Saving, TemporaryFileLeftByAnInterruptedSaveIsRemoved)
{
    std::string leftover = std::string(".settings.xml") + temporary_file_marker + "AbC123";
    std::string other = std::string(".other.xml") + temporary_file_marker + "AbC123";
    write_bytes(dir.file(leftover), "half");
    write_bytes(dir.file(other), "half");
    ASSERT_FALSE(document.save_file(target.c_str()));
    EXPECT_EQ(dir.entries(), (std::vector<std::string>{other, "settings.xml"}));
}

}  // namespace

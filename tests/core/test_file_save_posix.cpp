// Saving where POSIX systems differ: permission bits, symbolic links, and
// the file size limit of a process.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "doc/file_system.h"
#include "support/core_files.h"
#include "support/core_saving.h"

namespace {

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

// What tells an output that is an input: one file whatever name reaches it.
TEST_F(Saving, SameFileThroughEveryKindOfName)
{
    ASSERT_EQ(symlink("settings.xml", dir.file("link.xml").c_str()), 0);
    ASSERT_EQ(link(target.c_str(), dir.file("hard.xml").c_str()), 0);
    write_bytes(dir.file("other.xml"), previous);
    EXPECT_TRUE(file_system::same_file(target, dir.file("link.xml")));
    EXPECT_TRUE(file_system::same_file(dir.file("hard.xml"), dir.file("./link.xml")));
    EXPECT_FALSE(file_system::same_file(target, dir.file("other.xml")));
    EXPECT_FALSE(file_system::same_file(target, dir.file("missing.xml")));
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

}  // namespace

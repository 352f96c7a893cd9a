// Saving where POSIX systems differ: permission bits, symbolic links, and
// the file size limit of a process.
#include <acl/libacl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/acl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
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

namespace {

// A save made by another user (a test run as root can be anyone): the
// child process takes the user's and groups' ids, as setpriv does, and
// saves; its error text, empty when it saved.
std::string save_as(myXMLdocument& document, const std::string& path, uid_t user, gid_t group,
                    const std::vector<gid_t>& groups, const std::string& temporary_folder)
{
    int pipe_ends[2];
    if (pipe(pipe_ends) != 0) {
        return "no pipe";
    }
    const pid_t child = fork();
    if (child == 0) {
        close(pipe_ends[0]);
        setenv("TMPDIR", temporary_folder.c_str(), 1);
        if (setgroups(groups.size(), groups.data()) != 0 || setresgid(group, group, group) != 0 ||
            setresuid(user, user, user) != 0) {
            _exit(2);
        }
        const std::string said = document.save_file(path.c_str()) ? document.error_text() : "";
        const ssize_t written = write(pipe_ends[1], said.data(), said.size());
        _exit(written == static_cast<ssize_t>(said.size()) ? 0 : 1);
    }
    close(pipe_ends[1]);
    std::string said;
    char buffer[512];
    for (ssize_t got; (got = read(pipe_ends[0], buffer, sizeof buffer)) > 0;) {
        said.append(buffer, static_cast<size_t>(got));
    }
    close(pipe_ends[0]);
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? said : "the child failed";
}

std::string access_list(const std::string& path)
{
    acl_t acl = acl_get_file(path.c_str(), ACL_TYPE_ACCESS);
    char* text = acl != nullptr ? acl_to_any_text(acl, nullptr, ',', 0) : nullptr;
    const std::string result = text != nullptr ? text : "";
    acl_free(text);
    acl_free(acl);
    return result;
}

// Caught: a save by a member of the file's group gave the file to the saver
// (the saver's group then read every PIN, the owner was locked out), dropped
// its ACL, split a hard link, and failed in a folder the saver may not
// write in.
TEST_F(Saving, WhatTheFileWasItStaysWhoeverSavesIt)
{
    if (geteuid() != 0) {
        GTEST_SKIP() << "saving as other users needs root";
    }
    ASSERT_EQ(0, chmod(dir.path().c_str(), 0777));
    const std::string own_temporary = dir.file("own_temporary");
    ASSERT_TRUE(make_folder(own_temporary));
    ASSERT_EQ(0, chmod(own_temporary.c_str(), 0777));
    const std::string file = dir.file("shared/fleet.xml");
    const struct {
        const char* what;
        std::function<void()> prepare;
        uid_t saver;
    } cases[] = {
        {"a group's file saved by a member", [&] { ASSERT_EQ(0, chown(file.c_str(), 1001, 2000)); }, 1002},
        {"a hard link", [&] { ASSERT_EQ(0, link(file.c_str(), dir.file("shared/other.xml").c_str())); }, 0},
        {"a folder the saver may not write in",
         [&] {
             ASSERT_EQ(0, chmod(file.c_str(), 0666));
             ASSERT_EQ(0, chmod(dir.file("shared").c_str(), 0555));
         },
         1002},
        {"an access control list",
         [&] {
             acl_t acl = acl_from_text("u::rw-,u:1003:r--,g::r--,m::r--,o::---");
             const int set = acl_set_file(file.c_str(), ACL_TYPE_ACCESS, acl);
             acl_free(acl);
             if (set != 0) {
                 GTEST_SKIP() << "the temporary folder's file system has no access control lists";
             }
         },
         0},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(make_folder(dir.file("shared")));
        ASSERT_EQ(0, chmod(dir.file("shared").c_str(), 0777));
        write_bytes(file, previous);
        ASSERT_EQ(0, chmod(file.c_str(), 0660));
        c.prepare();
        struct stat before;
        ASSERT_EQ(0, stat(file.c_str(), &before));
        const std::string list_before = access_list(file);
        EXPECT_EQ("", save_as(document, file, c.saver, 100, {2000}, own_temporary)) << c.what;
        struct stat after;
        ASSERT_EQ(0, stat(file.c_str(), &after));
        EXPECT_EQ(before.st_uid, after.st_uid) << c.what;
        EXPECT_EQ(before.st_gid, after.st_gid) << c.what;
        EXPECT_EQ(before.st_mode, after.st_mode) << c.what;
        EXPECT_EQ(list_before, access_list(file)) << c.what;
        EXPECT_NE(previous, read_bytes(file)) << c.what;
        if (before.st_nlink > 1) {
            EXPECT_TRUE(read_bytes(file) == read_bytes(dir.file("shared/other.xml"))) << c.what;
        }
        EXPECT_EQ(0, chmod(dir.file("shared").c_str(), 0777));
        EXPECT_EQ(std::vector<std::string>{}, file_system::names_in(own_temporary)) << c.what;
        for (const std::string& name : file_system::names_in(dir.file("shared"))) {
            EXPECT_TRUE(name == "fleet.xml" || name == "other.xml") << c.what << ": " << name << " left";
            unlink(dir.file("shared/" + name).c_str());
        }
        rmdir(dir.file("shared").c_str());
    }
}

// A save in place that fails leaves the previous version whole, and says
// where.
TEST_F(Saving, AnInPlaceSaveThatFailsNamesItsPreviousVersion)
{
    ASSERT_EQ(0, link(target.c_str(), dir.file("other.xml").c_str()));
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit = {50000, 50000};
        setrlimit(RLIMIT_FSIZE, &limit);
        const bool failed = document.save_file(target.c_str());
        const std::string said = document.error_text();
        const size_t at = said.find("its previous version is kept in ");
        _exit(failed && at != std::string::npos && read_bytes(said.substr(at + 32)) == previous ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

}  // namespace

// Saves that are interrupted or watched while they run: a laptop whose
// battery dies, an editor killed mid-save, another user of the machine
// looking at the temporary file that will hold station passwords and PINs.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "doc/Lib_xml.h"
#include "doc/file_lock.h"
#include "doc/file_replace.h"
#include "doc/save_test_hooks.h"
#include "doc/xml_writer.h"
#include "support/core_files.h"
#include "support/station_fleet.h"

namespace {

using Clock = std::chrono::steady_clock;

// True for the name of a temporary file that a later save of `target_name`
// removes before it starts.
bool is_cleanable_leftover(const std::string& name, const std::string& target_name)
{
    const std::string prefix = "." + target_name + temporary_file_marker;
    return name.size() == prefix.size() + 6 && name.compare(0, prefix.size(), prefix) == 0;
}

// Forks a child that runs `save` and exits. Returns once the child is about
// to save; the result is its process id.
pid_t start_saving_child(const std::function<bool()>& save)
{
    int ready[2];
    if (pipe(ready) != 0) {
        return -1;
    }
    pid_t child = fork();
    if (child == 0) {
        close(ready[0]);
        // A process without a umask: the temporary file must be private by
        // itself, not because the user's umask happens to say so.
        umask(0);
        char go = 1;
        bool written = write(ready[1], &go, 1) == 1;
        _exit(written && save() ? 0 : 1);
    }
    close(ready[1]);
    char go = 0;
    bool started = child > 0 && read(ready[0], &go, 1) == 1;
    close(ready[0]);
    return started ? child : -1;
}

pid_t start_saving_child(myXMLdocument& document, const std::string& target)
{
    return start_saving_child([&] { return !document.save_file(target.c_str()); });
}

// The file's bytes, read in one piece: the files here are tens of MB.
std::string whole_file(const std::string& path)
{
    std::string bytes;
    struct stat st;
    FILE* file = fopen(path.c_str(), "rb");
    if (file != nullptr && fstat(fileno(file), &st) == 0) {
        bytes.resize(static_cast<size_t>(st.st_size));
        bytes.resize(fread(&bytes[0], 1, bytes.size(), file));
    }
    if (file != nullptr) {
        fclose(file);
    }
    return bytes;
}

int wait_for(pid_t child)
{
    int status = 0;
    waitpid(child, &status, 0);
    return status;
}

class InterruptedSave : public ::testing::Test {
protected:
    TempDir dir;
    const std::string target = dir.file("fleet.xml");

    // Every entry of the directory besides the target must be a temporary
    // file of its save, private to its owner.
    void expect_only_cleanable_private_leftovers()
    {
        for (const std::string& name : dir.entries()) {
            if (name == "fleet.xml") {
                continue;
            }
            EXPECT_TRUE(is_cleanable_leftover(name, "fleet.xml")) << name;
            EXPECT_EQ(file_mode(dir.file(name)), 0600) << name;
        }
    }
};

// The text of a fleet of 10,000 stations, made from a fleet of 100 whose
// stations are repeated a hundred times: a tree that size takes seconds to
// build under the sanitizers, and only the bytes of the file matter here.
std::string ten_thousand_stations()
{
    myXMLdocument fleet("SETUP");
    build_fleet(fleet, 100);
    const std::string text = write_document_text(*fleet.doc);
    const size_t first = text.find("        <STATION ");
    const size_t end = text.find("    </STATIONS>");
    std::string bytes = text.substr(0, first);
    for (int copy = 0; copy < 100; ++copy) {
        bytes.append(text, first, end - first);
    }
    bytes.append(text, end, std::string::npos);
    return bytes;
}

TEST_F(InterruptedSave, KilledAtTwentyRandomMomentsLeavesTheOldOrTheNewFile)
{
    myXMLdocument old_document("SETUP");
    build_fleet(old_document, 20);
    const std::string old_bytes = write_document_text(*old_document.doc);
    const std::string new_bytes = ten_thousand_stations();
    size_t stations = 0;
    for (size_t at = new_bytes.find("<STATION "); at != std::string::npos; at = new_bytes.find("<STATION ", at + 1)) {
        ++stations;
    }
    ASSERT_EQ(stations, 10000u);
    // Owner-only, as a file with PINs in it should be: a temporary file
    // left by a kill then has no reason to be anything else.
    write_bytes(target, old_bytes);
    chmod(target.c_str(), 0600);

    auto replace_in_child = [&] {
        return start_saving_child([&] {
            std::string reason;
            return replace_file_content(target.c_str(), new_bytes, reason);
        });
    };
    // How long a child takes to replace the file when nobody kills it.
    const Clock::time_point start = Clock::now();
    pid_t child = replace_in_child();
    ASSERT_GT(child, 0);
    wait_for(child);
    const auto disk_time = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start);
    ASSERT_TRUE(whole_file(target) == new_bytes);

    // Each child is given the file's text ready and spends its whole life
    // replacing the file, where a kill can do harm.
    const unsigned seed = std::random_device()();
    SCOPED_TRACE("random seed " + std::to_string(seed));
    std::mt19937 random(seed);
    std::uniform_int_distribution<long> moment(0, disk_time.count() * 3 / 2);
    int old_seen = 0;
    int new_seen = 0;
    for (int kill_number = 0; kill_number < 20; ++kill_number) {
        write_bytes(target, old_bytes);
        child = replace_in_child();
        ASSERT_GT(child, 0);
        std::this_thread::sleep_for(std::chrono::microseconds(moment(random)));
        kill(child, SIGKILL);
        wait_for(child);

        const std::string now = whole_file(target);
        EXPECT_TRUE(now == old_bytes || now == new_bytes)
            << "kill " << kill_number << " left a file of " << now.size() << " bytes";
        (now == old_bytes ? old_seen : new_seen) += 1;
        expect_only_cleanable_private_leftovers();
    }
    printf("after 20 kills: %d times the old file, %d times the new one (%lld ms on disk)\n", old_seen, new_seen,
           static_cast<long long>(disk_time.count() / 1000));

    // The next save removes whatever the killed ones left.
    ASSERT_FALSE(old_document.save_file(target.c_str())) << old_document.error_text();
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"fleet.xml"});
    EXPECT_TRUE(whole_file(target) == old_bytes);
}

struct Glimpse {
    int mode;
    long long size;
};

// Watches `dir` with inotify while a child saves `document` to `target`, and
// notes the permission mode and size of the temporary file at every moment
// the save touched it and it could be seen.
std::vector<Glimpse> watch_temporary_file(myXMLdocument& document, const TempDir& dir, const std::string& target)
{
    std::vector<Glimpse> glimpses;
    int watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (watch < 0 || inotify_add_watch(watch, dir.path().c_str(), IN_CREATE | IN_MODIFY | IN_ATTRIB) < 0) {
        ADD_FAILURE() << "inotify is not available";
        return glimpses;
    }
    pid_t child = start_saving_child(document, target);
    if (child <= 0) {
        ADD_FAILURE() << "cannot start the saving child";
        close(watch);
        return glimpses;
    }
    const std::string target_name = target.substr(target.rfind('/') + 1);
    int status = 0;
    alignas(inotify_event) char events[64 * 1024];
    for (bool running = true; running;) {
        running = waitpid(child, &status, WNOHANG) == 0;
        pollfd ready = {watch, POLLIN, 0};
        poll(&ready, 1, 10);
        ssize_t got = read(watch, events, sizeof events);
        for (ssize_t at = 0; at < got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(events + at);
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            struct stat seen;
            if (event->len > 0 && is_cleanable_leftover(event->name, target_name) &&
                stat(dir.file(event->name).c_str(), &seen) == 0) {  // gone once renamed
                glimpses.push_back({static_cast<int>(seen.st_mode & 07777), static_cast<long long>(seen.st_size)});
            }
        }
    }
    close(watch);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_FALSE(glimpses.empty()) << "the save ended before the temporary file could be seen";
    return glimpses;
}

// Caught: Ctrl+C or a kill during a save or a backup left a hidden copy
// of every secret of the fleet until the next save, and a lock behind.
TEST_F(InterruptedSave, AnInterruptionAtEachStepLeavesNoCopyAndNoLock)
{
    const std::string previous = "<SETUP>\r\n</SETUP>\r\n";
    const std::string text(3 << 20, 'x');
    const struct {
        const char* step;
        std::function<void(int signal_number)> interrupted;
    } steps[] = {
        {"while a save writes",
         [&](int signal_number) {
             std::string error;
             replace_file_content(
                 target.c_str(),
                 [&](const ContentWriter& write) { return write(text.data(), 1 << 20) && raise(signal_number) == 0; },
                 error);
         }},
        {"before a save replaces the file",
         [&](int signal_number) {
             set_save_pause_before_replace([signal_number] { raise(signal_number); });
             std::string error;
             replace_file_content(target.c_str(), text, error);
         }},
        {"before a backup takes its name",
         [&](int signal_number) {
             set_save_pause_before_replace([signal_number] { raise(signal_number); });
             std::string error;
             write_new_file(dir.file("fleet.xml.20261210-014500.bak").c_str(), text, error);
         }},
        {"while the lock is held",
         [&](int signal_number) {
             FileLock lock;
             std::string error;
             lock.take(target, "zantor-fleet import", 0, error);
             raise(signal_number);
         }},
    };
    for (const auto& step : steps) {
        for (int signal_number : {SIGINT, SIGTERM, SIGHUP}) {
            write_bytes(target, previous);
            const pid_t child = start_saving_child([&] {
                step.interrupted(signal_number);
                return false;  // not reached
            });
            ASSERT_GT(child, 0);
            const int status = wait_for(child);
            EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal_number) << step.step;
            EXPECT_EQ(std::vector<std::string>{"fleet.xml"}, dir.entries())
                << step.step << ", signal " << signal_number;
            EXPECT_EQ(previous, read_bytes(target)) << step.step;
        }
    }
}

TEST(SaveSecrecy, TemporaryFileIsNeverReadableByOthersBeforeItIsComplete)
{
    TempDir dir;
    myXMLdocument document("SETUP");
    build_fleet(document, 1000);  // several writes, each a chance to look
    const long long full_size = static_cast<long long>(write_document_text(*document.doc).size());

    // A new file, then the same file again: owner-only from the temporary
    // file's creation to its rename.
    const std::string fresh = dir.file("new.xml");
    for (int save = 0; save < 2; ++save) {
        for (const Glimpse& glimpse : watch_temporary_file(document, dir, fresh)) {
            EXPECT_EQ(glimpse.mode, 0600) << "at " << glimpse.size << " bytes";
        }
        EXPECT_EQ(file_mode(fresh), 0600);
    }

    // A file others may read: the temporary file takes its permissions only
    // once it holds the whole content.
    const std::string shared = dir.file("shared.xml");
    write_bytes(shared, "<SETUP />\r\n");
    chmod(shared.c_str(), 0644);
    for (const Glimpse& glimpse : watch_temporary_file(document, dir, shared)) {
        if (glimpse.mode != 0600) {
            EXPECT_EQ(glimpse.mode, 0644);
            EXPECT_EQ(glimpse.size, full_size);
        }
    }
    EXPECT_EQ(file_mode(shared), 0644);
}

}  // namespace

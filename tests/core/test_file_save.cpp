// Saving never loses the previous file: failures of every kind leave the
// target byte for byte as it was, and no temporary file behind.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "doc/Lib_xml.h"
#include "doc/file_lock.h"
#include "doc/file_replace.h"
#include "doc/file_state.h"
#include "doc/file_system.h"
#include "doc/save_test_hooks.h"
#include "doc/xml_writer.h"
#include "support/core_files.h"
#include "support/core_saving.h"

namespace {

TEST_F(Saving, SuccessReplacesTheContentAndClearsTheReason)
{
    EXPECT_TRUE(document.save_file(nullptr));
    EXPECT_FALSE(document.save_file(target.c_str())) << document.error_text();
    EXPECT_EQ(document.error_text(), "");
    EXPECT_EQ(read_bytes(target).compare(0, 9, "<SETUP>\r\n"), 0);
    EXPECT_GT(read_bytes(target).size(), 100000u);
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"settings.xml"});
}

TEST_F(Saving, TargetThatIsADirectoryOrInAMissingDirectory)
{
    ASSERT_TRUE(make_folder(dir.file("folder")));
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

// The text reaches the file a piece of about a megabyte at a time: a file of
// several pieces is the writer's whole text, and a disk that fills up after
// the first piece still leaves the previous file.
TEST_F(Saving, FileOfSeveralPiecesIsTheWholeTextOrNothing)
{
    TiXmlElement* stations = document.find_path("/STATIONS");
    for (int i = 0; i < 40000; ++i) {
        xml_set_attr(xml_add_child(stations, "STATION"), "description", "a station further down the list");
    }
    const std::string text = write_document_text(*document.doc);
    ASSERT_GT(text.size(), 2u << 20);  // three pieces
    set_save_write_limit(static_cast<long long>(3u << 19));
    expect_failed_and_untouched(document.save_file(target.c_str()));
    EXPECT_NE(document.error_text().find("No space left on device"), std::string::npos);
    set_save_write_limit(-1);
    EXPECT_FALSE(document.save_file(target.c_str())) << document.error_text();
    EXPECT_TRUE(read_bytes(target) == text);
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

// On Windows a name with a byte above 0x7F was encoded twice on its way to
// the system: the save failed, and left a complete copy of the file with its
// passwords and PINs that no later save removed.
TEST_F(Saving, NamesWithBytesAboveSevenBitsAreSavedAndLoadedAgain)
{
    const std::string folder = dir.file("M\xFCller");
    const std::string name = "caf\xE9 \x80.xml";
    const std::string path = folder + "/" + name;
    ASSERT_TRUE(make_folder(folder));
    write_bytes(folder + "/." + name + temporary_file_marker + "AbC123", "half");
    for (int save = 0; save < 2; ++save) {  // a new file, then an existing one
        ASSERT_FALSE(document.save_file(path.c_str())) << document.error_text();
    }
    EXPECT_EQ(file_system::names_in(folder), std::vector<std::string>{name});
    myXMLdocument loaded("SETUP");
    EXPECT_NE(loaded.load_file(path.c_str()), nullptr) << loaded.error_text();
}

// Before writing, a save removed every temporary file of its target, also
// the one of a second editor saving the same file at that moment, whose
// replace then failed.
TEST_F(Saving, SecondSaveLeavesTheTemporaryFileOfARunningSave)
{
    std::promise<void> paused;
    std::promise<void> resume;
    std::shared_future<void> resumed = resume.get_future().share();
    std::atomic<bool> first_pause{true};  // the pause holds the first save only
    set_save_pause_before_replace([&] {
        if (first_pause.exchange(false)) {
            paused.set_value();
            resumed.wait_for(std::chrono::seconds(10));
        }
    });
    bool running_failed = true;
    std::thread running([&] { running_failed = document.save_file(target.c_str()); });
    const bool reached = paused.get_future().wait_for(std::chrono::seconds(10)) == std::future_status::ready;

    myXMLdocument second("SETUP");
    const bool second_failed = second.save_file(target.c_str());
    resume.set_value();
    running.join();
    ASSERT_TRUE(reached);
    EXPECT_FALSE(second_failed) << second.error_text();
    EXPECT_FALSE(running_failed) << document.error_text();
    EXPECT_GT(read_bytes(target).size(), 100000u) << "the save that ends last gives the content";
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"settings.xml"});
}

// One writer at a time: the lock names its owner to the next, is taken
// over from a process that died, and goes with its holder.
TEST_F(Saving, TheLockNamesItsOwnerAndIsTakenOverFromTheDead)
{
    const std::string lock = lock_file_of(target);
    std::string error;
    {
        FileLock first;
        ASSERT_TRUE(first.take(target, "zantor-fleet apply", 0, error)) << error;
        EXPECT_NE(read_bytes(lock).find("program=zantor-fleet apply\n"), std::string::npos) << read_bytes(lock);
        FileLock second;
        EXPECT_FALSE(second.take(target, "Zantor Editor", 100, error));
        EXPECT_NE(error.find("is being written by zantor-fleet apply, process "), std::string::npos) << error;
        EXPECT_FALSE(second.held());
    }
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"settings.xml"});

    const struct {
        const char* what;
        std::string left;  // the lock file a writer left
        bool taken;
    } cases[] = {
        {"a dead process of this machine", "process=2147483000\nmachine=" + file_system::machine_name() + "\n", true},
        {"another machine's", "process=2147483000\nmachine=another-pc\nuser=ops\n", false},
        {"one being written", "", false},
    };
    for (const auto& c : cases) {
        write_bytes(lock, c.left);
        FileLock taker;
        EXPECT_EQ(c.taken, taker.take(target, "Zantor Editor", 0, error)) << c.what << ": " << error;
        if (!c.taken) {
            EXPECT_EQ(read_bytes(lock), c.left) << c.what;
            file_system::remove_file(lock);
        }
    }
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"settings.xml"});
}

// What a save checks before it replaces a file: the file as it was read.
TEST_F(Saving, AFileReplacedSinceItWasReadIsTold)
{
    ASSERT_NE(document.load_file(target.c_str()), nullptr) << document.error_text();
    EXPECT_FALSE(changed_since(target, document.file_state()));
    write_bytes(target, previous + " ");
    EXPECT_TRUE(changed_since(target, document.file_state()));
    ASSERT_NE(document.load_file(target.c_str()), nullptr);
    EXPECT_FALSE(changed_since(target, document.file_state()));
    std::string same_size = previous + " ";
    same_size[1] = 'X';
    write_bytes(target, same_size);
    EXPECT_TRUE(changed_since(target, document.file_state()));
    write_bytes(target, previous + " ");  // written again, as it was
    EXPECT_FALSE(changed_since(target, document.file_state()));
    file_system::remove_file(target);
    EXPECT_TRUE(changed_since(target, document.file_state()));
    ContentDigest pieces, whole;
    pieces.add("<SETUP>\r\n ");
    pieces.add("   <STATIONS />\r");
    pieces.add("\n</SETUP>\r\n");
    whole.add(previous);
    EXPECT_EQ(whole.value(), pieces.value());
}

}  // namespace

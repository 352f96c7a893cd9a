// Saving where Windows differs: other programs' open handles on the target,
// the read-only attribute and the other file attributes.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "support/core_files.h"
#include "support/core_saving.h"

namespace {

using Clock = std::chrono::steady_clock;

// The target opened the way a program reading it does (the station
// communication software, a virus scanner): sharing reading and writing,
// not deleting.
HANDLE open_as_reader(const std::string& path)
{
    return CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

// The replace failed with "Permission denied" whenever another program had
// the target open at that moment.
TEST_F(Saving, TargetHeldOpenForAMomentIsReplacedOnceLetGo)
{
    HANDLE reader = open_as_reader(target);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    std::thread letting_go([reader] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        CloseHandle(reader);
    });
    const bool failed = document.save_file(target.c_str());
    letting_go.join();
    EXPECT_FALSE(failed) << document.error_text();
    EXPECT_GT(read_bytes(target).size(), 100000u);
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"settings.xml"});
}

TEST_F(Saving, TargetHeldOpenForLongIsReportedAfterAWhileAndStaysWhole)
{
    HANDLE reader = open_as_reader(target);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    const Clock::time_point start = Clock::now();
    const bool failed = document.save_file(target.c_str());
    const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
    CloseHandle(reader);
    expect_failed_and_untouched(failed);
    EXPECT_NE(document.error_text().find("another program"), std::string::npos) << document.error_text();
    EXPECT_GE(waited.count(), 1500);
    EXPECT_LT(waited.count(), 5000);
}

// A read-only target was silently replaced, and lost its read-only flag.
TEST_F(Saving, ReadOnlyTargetIsRefused)
{
    ASSERT_TRUE(SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_READONLY));
    const bool failed = document.save_file(target.c_str());
    const DWORD attributes = GetFileAttributesA(target.c_str());
    SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);  // so that the directory can go
    expect_failed_and_untouched(failed);
    EXPECT_EQ(document.error_text(), "cannot write the file: the file is read-only");
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_READONLY);
}

TEST_F(Saving, ExistingTargetKeepsItsAttributes)
{
    ASSERT_TRUE(SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_HIDDEN));
    ASSERT_FALSE(document.save_file(target.c_str())) << document.error_text();
    EXPECT_TRUE(GetFileAttributesA(target.c_str()) & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_GT(read_bytes(target).size(), 100000u);
}

}  // namespace

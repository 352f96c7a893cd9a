// libFuzzer target: the input bytes are a settings file from anywhere, taken
// along the editor's whole road (Open, the station and sequence dialogs' OK on
// every station, Save, Open again). Any broken property aborts, so libFuzzer
// keeps the input as a finding; crashes, leaks and undefined behaviour are
// caught by the sanitizers.
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "support/core_settings_road.h"

namespace {

// A private directory for the road's files, on a memory file system when
// there is one: every save is flushed to disk, which a disk would make slow.
// It is named after the process, so directories of runs that ended without
// cleaning up (libFuzzer leaves some ways without running exit handlers) are
// recognised and removed by the next run.
const char* const scratch_prefix = "zantor-fuzz-";
std::string scratch_dir;

void remove_scratch_dir()
{
    std::error_code ignored;
    std::filesystem::remove_all(scratch_dir, ignored);
}

void remove_stale_scratch_dirs(const std::string& base)
{
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(base, ignored)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind(scratch_prefix, 0) != 0) {
            continue;
        }
        long pid = strtol(name.c_str() + strlen(scratch_prefix), nullptr, 10);
        if (pid > 0 && kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) {
            std::filesystem::remove_all(entry.path(), ignored);
        }
    }
}

const std::string& scratch()
{
    if (scratch_dir.empty()) {
        const char* base = getenv("ZANTOR_FUZZ_SCRATCH");
        if (base == nullptr) {
            base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        }
        remove_stale_scratch_dirs(base);
        scratch_dir = std::string(base) + "/" + scratch_prefix + std::to_string(getpid());
        std::error_code ignored;
        std::filesystem::remove_all(scratch_dir, ignored);
        if (mkdir(scratch_dir.c_str(), 0700) != 0) {
            perror("zantor_fuzz: cannot create a scratch directory");
            abort();
        }
        atexit(remove_scratch_dir);
    }
    return scratch_dir;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string bytes(reinterpret_cast<const char*>(data), size);
    std::string problem = check_settings_road(bytes, scratch());
    if (!problem.empty()) {
        fprintf(stderr, "zantor_fuzz: %s\n", problem.c_str());
        abort();
    }
    return 0;
}

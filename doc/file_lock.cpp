#include "doc/file_lock.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "doc/file_system.h"
#include "doc/xml_load.h"

namespace {

// What a lock file says of its owner, one "name=value" a line.
struct LockOwner {
    long long process = 0;
    std::string machine, user, program, since;

    std::string text() const
    {
        return "process=" + std::to_string(process) + "\nmachine=" + machine + "\nuser=" + user +
               "\nprogram=" + program + "\nsince=" + since + "\n";
    }

    static LockOwner read(const std::string& text)
    {
        LockOwner owner;
        size_t at = 0;
        while (at < text.size()) {
            const size_t end = std::min(text.find('\n', at), text.size());
            const std::string line = text.substr(at, end - at);
            const size_t equals = line.find('=');
            const std::string name = line.substr(0, equals),
                              value = equals == std::string::npos ? "" : line.substr(equals + 1);
            if (name == "process") {
                owner.process = std::atoll(value.c_str());
            } else if (name == "machine") {
                owner.machine = value;
            } else if (name == "user") {
                owner.user = value;
            } else if (name == "program") {
                owner.program = value;
            } else if (name == "since") {
                owner.since = value;
            }
            at = end + 1;
        }
        return owner;
    }

    std::string said() const
    {
        return (program.empty() ? std::string("another program") : program) + ", process " + std::to_string(process) +
               " of " + (user.empty() ? "a user" : user) + " on " + (machine.empty() ? "a machine" : machine) +
               (since.empty() ? "" : ", since " + since);
    }
};

}  // namespace

std::string lock_file_of(const std::string& path)
{
    std::string target, ignored;
    return (file_system::save_target_of(path, target, ignored) ? target : path) + ".lock";
}

FileLock::~FileLock()
{
    release();
}

bool FileLock::take(const std::string& path, const std::string& program, int patience_ms, std::string& error)
{
    release();
    const std::string lock = lock_file_of(path);
    LockOwner me;
    me.process = file_system::this_process();
    me.machine = file_system::machine_name();
    me.user = file_system::user_name();
    me.program = program;
    me.since = file_system::local_time("%Y-%m-%d %H:%M:%S");
    const auto start = std::chrono::steady_clock::now();
    std::string reason;
    for (int attempt = 0;; ++attempt) {
        const file_system::Created created = file_system::create_new_file(lock, me.text(), false, reason);
        if (created == file_system::Created::yes) {
            // An interruption before this line leaves a lock whose owner is
            // dead, which the next writer takes over.
            file_system::remove_on_interrupt(lock);
            lock_path = lock;
            return true;
        }
        if (created == file_system::Created::failed) {
            // A folder the user may not write in: the file itself is locked,
            // as every writer of ours does there. Where neither can be done
            // (the folder is gone), the write that follows fails for the
            // same reason, and says so.
            file_lock = file_system::lock_file(path, patience_ms, reason);
            if (file_lock == file_system::lock_held_by_another) {
                error = path + " is being written by another program";
                return false;
            }
            return true;
        }
        std::string text, unread;
        const bool read = read_whole_file(lock.c_str(), text, unread, "a lock file");
        const LockOwner owner = LockOwner::read(text);
        // A lock its dead owner left on this machine is taken over; a lock
        // being written this moment reads empty, and is waited for.
        if (read && owner.process > 0 && owner.machine == me.machine && !file_system::process_runs(owner.process)) {
            file_system::remove_file(lock);
            continue;
        }
        const auto waited =
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
        if (waited.count() >= patience_ms) {
            error = path + " is being written by " + (read && owner.process > 0 ? owner.said() : "another program") +
                    " (its lock is " + lock + "; if no such program runs any more, remove it)";
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(attempt < 10 ? 20 : 100));
    }
}

void FileLock::release()
{
    if (!lock_path.empty()) {
        file_system::remove_file(lock_path);
        file_system::forget_on_interrupt(lock_path);
        lock_path.clear();
    }
    if (file_lock >= 0) {
        file_system::unlock_file(file_lock);
        file_lock = -1;
    }
}

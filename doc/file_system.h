// The operating system's side of loading and saving a settings file: one
// implementation for POSIX systems (file_system_posix.cpp) and one for
// Windows (file_system_windows.cpp). File names are the program's
// single-byte text. On Windows that is the system's ANSI code page: a name is
// converted once to the system's wide name and used through the wide calls,
// never through std::filesystem, whose narrow names are UTF-8 there, so that
// "café.xml" or a folder "Müller" names the file the operator chose.
// Failures are told as a reason, "Permission denied" for example, that the
// caller puts after what it was doing.
#ifndef ZANTOR_DOC_FILE_SYSTEM_H
#define ZANTOR_DOC_FILE_SYSTEM_H

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

namespace file_system {

#ifdef _WIN32
const char* const path_separators = "/\\:";
const char preferred_separator = '\\';
#else
const char* const path_separators = "/";
const char preferred_separator = '/';
#endif

// The folder part of `path`, separator included ("." for a bare name), and
// the name after it.
inline std::string folder_of(const std::string& path)
{
    const size_t end = path.find_last_of(path_separators);
    return end == std::string::npos ? "." : path.substr(0, end + 1);
}

inline std::string name_of(const std::string& path)
{
    const size_t end = path.find_last_of(path_separators);
    return end == std::string::npos ? path : path.substr(end + 1);
}

// The path of `name` inside `folder`.
inline std::string in_folder(const std::string& folder, const std::string& name)
{
    const bool ends_in_separator =
        !folder.empty() && std::string(path_separators).find(folder.back()) != std::string::npos;
    return ends_in_separator ? folder + name : folder + preferred_separator + name;
}

enum class Kind { missing, file, folder, other };

// What is at `path`, symbolic links followed; `missing` also when it cannot
// be looked at, so that the next step tells why.
Kind kind_of(const std::string& path);

// True when both paths name one file, through links or not; false when
// either is missing.
bool same_file(const std::string& a, const std::string& b);

// The size of the file at `path` and the time of its last change; false
// when it cannot be looked at.
bool size_and_change_time(const std::string& path, unsigned long long& size, long long& changed);

// Opens a file to read its bytes; null on failure, with the reason.
std::FILE* open_for_reading(const std::string& path, std::string& reason);

// The size of an open file in 64 bits on every system; false when unknown.
bool size_of(std::FILE* file, unsigned long long& size);

// The file that a save of `path` replaces: on POSIX systems the end of its
// chain of symbolic links, so that the link stays; on Windows `path` itself.
// False, with the whole message in `error`, when a link cannot be followed.
bool save_target_of(const std::string& path, std::string& target, std::string& error);

// False, with the reason, when the existing file at `path` may not be
// replaced: no write permission, or the read-only attribute.
bool may_replace(const std::string& path, std::string& reason);

// True when a save must write the new content into the file at `path`
// itself rather than put a new file in its place, because a new file could
// not be what this one is: it has other names (hard links), an owner or a
// group that this user cannot give a file, or its folder is one the user
// may not write in. Never on Windows, where the replace keeps what the file
// is.
bool must_write_in_place(const std::string& path);

// Writing into an existing file from its start: the descriptor or handle,
// or -1 with the reason.
long long open_to_overwrite(const std::string& path, std::string& reason);
// Writes at most `size` bytes; the number written, or -1 with the reason.
long long write_to(long long file, const char* data, size_t size, std::string& reason);
// Ends the file at `size`, forces it to the disk and closes it; false
// with the reason (the file is closed all the same).
bool finish_overwrite(long long file, unsigned long long size, std::string& reason);

// The names in a folder, without "." and ".."; none when it cannot be read.
std::vector<std::string> names_in(const std::string& folder);

// Removes the plain file at `path` unless a running save holds it (see
// TemporaryFile); anything else stays.
void remove_unless_held(const std::string& path);

enum class Created { yes, name_taken, failed };

// Creates the file `path` with `bytes`, only if no file, folder or link has
// that name: a link is never followed. Readable by its owner only when
// `private_file` (on POSIX systems; on Windows the folder's rights apply).
Created create_new_file(const std::string& path, const std::string& bytes, bool private_file, std::string& reason);

// A new folder for scratch files in the system's temporary folder, that
// only the user may enter, whose name the system's ANSI calls (fopen)
// reach on Windows too; empty, with the reason, when none can be made.
std::string make_private_folder(std::string& reason);
// Removes the folder and the files in it.
void remove_private_folder(const std::string& folder);

// Removes the file (a link, not what it points to); false when it could not.
bool remove_file(const std::string& path);

// This process's number, and whether the process of a number still runs on
// this machine.
long long this_process();
bool process_runs(long long process);

// The time now, on this machine's clock, in strftime's `format`: a file's
// date in its backup's name, the time a lock was taken.
std::string local_time(const char* format);

// The machine's and the user's names, for a message that says who holds a
// file.
std::string machine_name();
std::string user_name();

// Locks the whole file `path` for this process, waiting up to `patience_ms`
// while another holds it: the descriptor or handle that holds the lock;
// lock_held_by_another when another held it all that time; -1 with the
// reason when it cannot be locked. unlock_file lets it go.
const long long lock_held_by_another = -2;
long long lock_file(const std::string& path, int patience_ms, std::string& reason);
void unlock_file(long long held);

// Files to remove when the program is interrupted (Ctrl+C, a kill, the
// terminal closed; Ctrl+Break on Windows) while they exist: the temporary
// files of saves, which hold a fleet's secrets, and the locks. The program
// then ends as the interruption would have ended it.
void remove_on_interrupt(const std::string& path);
void forget_on_interrupt(const std::string& path);

// The new content of a save, in a file beside the target that takes the
// target's place once complete. The save holds the file for its whole life,
// so that another save never takes it for a leftover: on POSIX systems by an
// flock, on Windows by its open handle, which lets nobody else open it. The
// system lets go of both when a save is killed, so its leftover is removed
// by the next save.
class TemporaryFile {
public:
    TemporaryFile() = default;
    // Removes the file unless it took the target's place.
    ~TemporaryFile();
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    // Creates the file at `path` exclusively: readable by its owner only on
    // POSIX systems, with the folder's inherited access rights on Windows.
    Created create(const std::string& path, std::string& reason);
    // Writes at most `size` bytes; the number written, or -1 with the reason.
    long long write_some(const char* data, size_t size, std::string& reason);
    // Gives the file what the operator set on the file it replaces: owner and
    // permission bits on POSIX systems, attributes such as hidden on Windows.
    // Nothing to do for a new file.
    bool take_properties_of(const std::string& target, std::string& reason);
    // Forces the content to the disk.
    bool flush(std::string& reason);
    // Ends the writing. On POSIX systems the written descriptor is closed,
    // its result checked, and the lock stays held on a copy; on Windows the
    // handle stays open until the replace, since it keeps other saves off.
    bool close_writing(std::string& reason);
    // Gives the file the name `target` if no file, folder or link has it,
    // in one step, never following a link.
    Created put_at_new_name(const std::string& target, std::string& reason);
    // Puts the file in the target's place in one step and makes the step
    // durable. On Windows a target that another program holds open (the
    // station communication software, a virus scanner, a backup) is tried
    // again for about two seconds.
    bool replace(const std::string& target, std::string& reason);

private:
    std::string path;
    bool replaced = false;
#ifdef _WIN32
    void* handle = nullptr;
#else
    int fd = -1;
    int lock_fd = -1;
#endif
};

}  // namespace file_system

#endif

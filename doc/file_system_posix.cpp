// The file calls of loading and saving on POSIX systems.
#ifndef _WIN32

#include <acl/libacl.h>
#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <signal.h>
#include <sys/acl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <ctime>

#include "doc/file_system.h"

namespace file_system {

namespace {

std::string reason_of(int error_number)
{
    return strerror(error_number);
}

void sync_folder(const std::string& folder)
{
    int folder_fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder_fd >= 0) {
        fsync(folder_fd);
        close(folder_fd);
    }
}

int lock_exclusively(int descriptor, int how)
{
    int result;
    do {
        result = flock(descriptor, how);
    } while (result != 0 && errno == EINTR);
    return result;
}

}  // namespace

Kind kind_of(const std::string& path)
{
    struct stat st;
    if (stat(path.c_str(), &st) != 0) {
        return Kind::missing;
    }
    if (S_ISDIR(st.st_mode)) {
        return Kind::folder;
    }
    return S_ISREG(st.st_mode) ? Kind::file : Kind::other;
}

bool same_file(const std::string& a, const std::string& b)
{
    struct stat first, second;
    return stat(a.c_str(), &first) == 0 && stat(b.c_str(), &second) == 0 && first.st_dev == second.st_dev &&
           first.st_ino == second.st_ino;
}

bool size_and_change_time(const std::string& path, unsigned long long& size, long long& changed)
{
    struct stat st;
    if (stat(path.c_str(), &st) != 0) {
        return false;
    }
    size = static_cast<unsigned long long>(st.st_size);
    changed = static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
    return true;
}

std::FILE* open_for_reading(const std::string& path, std::string& reason)
{
    // Without waiting: a FIFO opened for reading would wait for a writer
    // forever. Only a regular file is read.
    const int descriptor = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        reason = reason_of(errno);
        return nullptr;
    }
    struct stat st;
    if (fstat(descriptor, &st) != 0 || !S_ISREG(st.st_mode)) {
        reason = S_ISDIR(st.st_mode) ? reason_of(EISDIR) : "not a regular file (a device, a pipe or a socket)";
        close(descriptor);
        return nullptr;
    }
    fcntl(descriptor, F_SETFL, fcntl(descriptor, F_GETFL) & ~O_NONBLOCK);
    std::FILE* file = fdopen(descriptor, "rb");
    if (file == nullptr) {
        reason = reason_of(errno);
        close(descriptor);
    }
    return file;
}

bool size_of(std::FILE* file, unsigned long long& size)
{
    struct stat st;
    if (fstat(fileno(file), &st) != 0) {
        return false;
    }
    size = static_cast<unsigned long long>(st.st_size);
    return true;
}

bool save_target_of(const std::string& path, std::string& target, std::string& error)
{
    const int max_hops = 40;
    std::string at = path;
    for (int hop = 0; hop < max_hops; ++hop) {
        struct stat link_stat;
        if (lstat(at.c_str(), &link_stat) != 0 || !S_ISLNK(link_stat.st_mode)) {
            target = at;
            return true;
        }
        std::vector<char> buffer(4096);
        ssize_t n = readlink(at.c_str(), buffer.data(), buffer.size());
        if (n < 0 || static_cast<size_t>(n) >= buffer.size()) {
            error = n < 0 ? "cannot read the symbolic link: " + reason_of(errno) : "symbolic link too long";
            return false;
        }
        std::string link(buffer.data(), static_cast<size_t>(n));
        at = link[0] == '/' ? link : in_folder(folder_of(at), link);
    }
    error = "too many levels of symbolic links";
    return false;
}

bool may_replace(const std::string& path, std::string& reason)
{
    if (access(path.c_str(), W_OK) != 0) {
        reason = reason_of(errno);
        return false;
    }
    return true;
}

bool must_write_in_place(const std::string& path)
{
    struct stat st;
    if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        return false;
    }
    if (st.st_nlink > 1 || access(folder_of(path).c_str(), W_OK | X_OK) != 0) {
        return true;
    }
    if (geteuid() == 0) {
        return false;
    }
    if (st.st_uid != geteuid()) {
        return true;
    }
    if (st.st_gid == getegid()) {
        return false;
    }
    std::vector<gid_t> groups(static_cast<size_t>(std::max(getgroups(0, nullptr), 0)));
    const int count = getgroups(static_cast<int>(groups.size()), groups.data());
    return std::find(groups.begin(), groups.begin() + std::max(count, 0), st.st_gid) ==
           groups.begin() + std::max(count, 0);
}

long long open_to_overwrite(const std::string& path, std::string& reason)
{
    const int descriptor = open(path.c_str(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC);
    if (descriptor < 0) {
        reason = reason_of(errno);
    }
    return descriptor;
}

long long write_to(long long file, const char* data, size_t size, std::string& reason)
{
    ssize_t written;
    do {
        written = write(static_cast<int>(file), data, size);
    } while (written < 0 && errno == EINTR);
    if (written < 0) {
        reason = reason_of(errno);
    }
    return written;
}

bool finish_overwrite(long long file, unsigned long long size, std::string& reason)
{
    const int descriptor = static_cast<int>(file);
    const bool done = ftruncate(descriptor, static_cast<off_t>(size)) == 0 && fsync(descriptor) == 0;
    if (!done) {
        reason = reason_of(errno);
    }
    if (close(descriptor) != 0 && done) {
        reason = reason_of(errno);
        return false;
    }
    return done;
}

std::vector<std::string> names_in(const std::string& folder)
{
    std::vector<std::string> names;
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) {
        return names;
    }
    while (const dirent* entry = readdir(dir)) {
        if (strcmp(entry->d_name, ".") != 0 && strcmp(entry->d_name, "..") != 0) {
            names.push_back(entry->d_name);
        }
    }
    closedir(dir);
    return names;
}

void remove_unless_held(const std::string& path)
{
    int descriptor = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        return;
    }
    struct stat st;
    if (fstat(descriptor, &st) == 0 && S_ISREG(st.st_mode) && lock_exclusively(descriptor, LOCK_EX | LOCK_NB) == 0) {
        unlink(path.c_str());
    }
    close(descriptor);
}

Created create_new_file(const std::string& path, const std::string& bytes, bool private_file, std::string& reason)
{
    int descriptor =
        open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, private_file ? 0600 : 0644);
    if (descriptor < 0) {
        reason = reason_of(errno);
        return errno == EEXIST ? Created::name_taken : Created::failed;
    }
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = write(descriptor, bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            reason = reason_of(written < 0 ? errno : ENOSPC);
            close(descriptor);
            unlink(path.c_str());
            return Created::failed;
        }
        done += static_cast<size_t>(written);
    }
    if (fsync(descriptor) != 0 || close(descriptor) != 0) {
        reason = reason_of(errno);
        unlink(path.c_str());
        return Created::failed;
    }
    return Created::yes;
}

std::string make_private_folder(std::string& reason)
{
    const char* temporary = getenv("TMPDIR");
    std::string pattern =
        std::string(temporary != nullptr && *temporary != '\0' ? temporary : "/tmp") + "/zantor-XXXXXX";
    if (mkdtemp(&pattern[0]) == nullptr) {  // 0700
        reason = reason_of(errno);
        return std::string();
    }
    return pattern;
}

void remove_private_folder(const std::string& folder)
{
    for (const std::string& name : names_in(folder)) {
        unlink(in_folder(folder, name).c_str());
    }
    rmdir(folder.c_str());
}

bool remove_file(const std::string& path)
{
    return unlink(path.c_str()) == 0;
}

long long this_process()
{
    return getpid();
}

bool process_runs(long long process)
{
    return process > 0 && (kill(static_cast<pid_t>(process), 0) == 0 || errno == EPERM);
}

std::string local_time(const char* format)
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[64];
    return std::strftime(text, sizeof text, format, &local) > 0 ? text : "";
}

std::string machine_name()
{
    char name[256] = {};
    gethostname(name, sizeof name - 1);
    return name;
}

std::string user_name()
{
    const passwd* user = getpwuid(geteuid());
    return user != nullptr ? user->pw_name : "user " + std::to_string(geteuid());
}

long long lock_file(const std::string& path, int patience_ms, std::string& reason)
{
    const int descriptor = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) {
        reason = reason_of(errno);
        return -1;
    }
    for (int waited = 0;; waited += 50) {
        if (lock_exclusively(descriptor, LOCK_EX | LOCK_NB) == 0) {
            return descriptor;
        }
        if (errno != EWOULDBLOCK || waited >= patience_ms) {
            const bool held = errno == EWOULDBLOCK;
            reason = reason_of(errno);
            close(descriptor);
            return held ? lock_held_by_another : -1;
        }
        const timespec pause = {0, 50 * 1000 * 1000};
        nanosleep(&pause, nullptr);
    }
}

void unlock_file(long long held)
{
    if (held >= 0) {
        close(static_cast<int>(held));
    }
}

namespace {

// The files to remove on an interruption, in fixed slots that a signal
// handler may read: no allocation, no lock.
const int interrupt_slots = 8;
char interrupt_paths[interrupt_slots][4096];
std::atomic<bool> interrupt_slot_used[interrupt_slots];

void remove_and_end(int signal_number)
{
    for (int i = 0; i < interrupt_slots; ++i) {
        if (interrupt_slot_used[i].load()) {
            unlink(interrupt_paths[i]);
        }
    }
    struct sigaction fallback = {};
    fallback.sa_handler = SIG_DFL;
    sigaction(signal_number, &fallback, nullptr);
    raise(signal_number);
}

void catch_interruptions()
{
    static bool caught = false;
    if (caught) {
        return;
    }
    caught = true;
    for (int signal_number : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction now = {};
        if (sigaction(signal_number, nullptr, &now) == 0 && now.sa_handler == SIG_IGN) {
            continue;  // a program started to ignore it (nohup) goes on ignoring it
        }
        struct sigaction handler = {};
        handler.sa_handler = remove_and_end;
        sigemptyset(&handler.sa_mask);
        sigaction(signal_number, &handler, nullptr);
    }
}

}  // namespace

void remove_on_interrupt(const std::string& path)
{
    if (path.size() >= sizeof interrupt_paths[0]) {
        return;
    }
    catch_interruptions();
    for (int i = 0; i < interrupt_slots; ++i) {
        if (!interrupt_slot_used[i].load()) {
            std::memcpy(interrupt_paths[i], path.c_str(), path.size() + 1);
            interrupt_slot_used[i].store(true);
            return;
        }
    }
}

void forget_on_interrupt(const std::string& path)
{
    for (int i = 0; i < interrupt_slots; ++i) {
        if (interrupt_slot_used[i].load() && path == interrupt_paths[i]) {
            interrupt_slot_used[i].store(false);
        }
    }
}

TemporaryFile::~TemporaryFile()
{
    if (!replaced && lock_fd >= 0) {
        unlink(path.c_str());
    }
    if (!path.empty()) {
        forget_on_interrupt(path);
    }
    if (fd >= 0) {
        close(fd);
    }
    if (lock_fd >= 0) {
        close(lock_fd);
    }
}

Created TemporaryFile::create(const std::string& file_path, std::string& reason)
{
    // Owner-only from the start: the content holds passwords and PINs.
    int descriptor = open(file_path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (descriptor < 0) {
        reason = reason_of(errno);
        return errno == EEXIST ? Created::name_taken : Created::failed;
    }
    if (lock_exclusively(descriptor, LOCK_EX) != 0) {
        reason = reason_of(errno);
        unlink(file_path.c_str());
        close(descriptor);
        return Created::failed;
    }
    // Another save may have taken the new file for a leftover and removed it
    // before the lock was held: this save then starts again with a new name.
    struct stat st;
    if (fstat(descriptor, &st) != 0 || st.st_nlink == 0) {
        close(descriptor);
        return Created::name_taken;
    }
    int copy = fcntl(descriptor, F_DUPFD_CLOEXEC, 0);
    if (copy < 0) {
        reason = reason_of(errno);
        unlink(file_path.c_str());
        close(descriptor);
        return Created::failed;
    }
    path = file_path;
    fd = descriptor;
    lock_fd = copy;
    remove_on_interrupt(path);
    return Created::yes;
}

long long TemporaryFile::write_some(const char* data, size_t size, std::string& reason)
{
    ssize_t written;
    do {
        written = write(fd, data, size);
    } while (written < 0 && errno == EINTR);
    if (written < 0) {
        reason = reason_of(errno);
    }
    return written;
}

// The replacement gets the target's owner and group, permission bits and
// access control list, so that whoever could read the settings file can,
// and nobody else. A save that cannot give all of them writes in place
// instead (must_write_in_place).
bool TemporaryFile::take_properties_of(const std::string& target, std::string& reason)
{
    struct stat target_stat;
    if (stat(target.c_str(), &target_stat) != 0) {
        return true;
    }
    struct stat own;
    if (fstat(fd, &own) != 0 || ((own.st_uid != target_stat.st_uid || own.st_gid != target_stat.st_gid) &&
                                 fchown(fd, target_stat.st_uid, target_stat.st_gid) != 0)) {
        reason = "cannot keep the file's owner and group: " + reason_of(errno);
        return false;
    }
    if (fchmod(fd, target_stat.st_mode & 07777) != 0) {
        reason = reason_of(errno);
        return false;
    }
    if (acl_extended_file(target.c_str()) == 1) {
        acl_t acl = acl_get_file(target.c_str(), ACL_TYPE_ACCESS);
        const bool kept = acl != nullptr && acl_set_fd(fd, acl) == 0;
        if (!kept) {
            reason = "cannot keep the file's access control list: " + reason_of(errno);
        }
        if (acl != nullptr) {
            acl_free(acl);
        }
        return kept;
    }
    return true;
}

bool TemporaryFile::flush(std::string& reason)
{
    if (fsync(fd) != 0) {
        reason = reason_of(errno);
        return false;
    }
    return true;
}

bool TemporaryFile::close_writing(std::string& reason)
{
    int result = close(fd);
    fd = -1;
    if (result != 0) {
        reason = reason_of(errno);
        return false;
    }
    return true;
}

Created TemporaryFile::put_at_new_name(const std::string& target, std::string& reason)
{
    // A second name for the file fails, rather than follows, on a name
    // that exists: a link planted there is never written through.
    if (link(path.c_str(), target.c_str()) != 0) {
        reason = reason_of(errno);
        return errno == EEXIST ? Created::name_taken : Created::failed;
    }
    unlink(path.c_str());
    replaced = true;
    forget_on_interrupt(path);
    sync_folder(folder_of(target));
    return Created::yes;
}

bool TemporaryFile::replace(const std::string& target, std::string& reason)
{
    if (rename(path.c_str(), target.c_str()) != 0) {
        reason = reason_of(errno);
        return false;
    }
    replaced = true;
    forget_on_interrupt(path);
    sync_folder(folder_of(target));
    return true;
}

}  // namespace file_system

#endif

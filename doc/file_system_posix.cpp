// The file calls of loading and saving on POSIX systems.
#ifndef _WIN32

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

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

std::FILE* open_for_reading(const std::string& path, std::string& reason)
{
    std::FILE* file = fopen(path.c_str(), "rb");
    if (file == nullptr) {
        reason = reason_of(errno);
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

TemporaryFile::~TemporaryFile()
{
    if (!replaced && lock_fd >= 0) {
        unlink(path.c_str());
    }
    if (fd >= 0) {
        close(fd);
    }
    if (lock_fd >= 0) {
        close(lock_fd);
    }
}

TemporaryFile::Created TemporaryFile::create(const std::string& file_path, std::string& reason)
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

// The replacement gets the target's owner and permission bits. Giving the
// file to another owner is refused to ordinary users; it then stays theirs.
bool TemporaryFile::take_properties_of(const std::string& target, std::string& reason)
{
    struct stat target_stat;
    if (stat(target.c_str(), &target_stat) != 0) {
        return true;
    }
    int owner_result = fchown(fd, target_stat.st_uid, target_stat.st_gid);
    (void)owner_result;
    if (fchmod(fd, target_stat.st_mode & 07777) != 0) {
        reason = reason_of(errno);
        return false;
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

bool TemporaryFile::replace(const std::string& target, std::string& reason)
{
    if (rename(path.c_str(), target.c_str()) != 0) {
        reason = reason_of(errno);
        return false;
    }
    replaced = true;
    sync_folder(folder_of(target));
    return true;
}

}  // namespace file_system

#endif

// The one place with operating-system file calls. The target is never opened
// for writing: a temporary file in the same directory (so the final rename
// stays on one file system) receives the content, is flushed to disk and
// closed with every result checked, and only then renamed over the target.
#include "doc/file_replace.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "doc/save_test_hooks.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <filesystem>
#include <random>
#else
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

const char* const temporary_file_marker = ".zantor-save-";

namespace {

long long write_limit = -1;

// Long names are cut so that the temporary name stays a valid file name.
const size_t max_name_in_temporary = 200;
const size_t random_suffix_length = 6;

std::string describe(const std::string& what, int error_number)
{
    return what + ": " + strerror(error_number);
}

std::string temporary_prefix(const std::string& file_name)
{
    return "." + file_name.substr(0, max_name_in_temporary) + temporary_file_marker;
}

bool is_leftover_name(const std::string& name, const std::string& prefix)
{
    return name.size() == prefix.size() + random_suffix_length && name.compare(0, prefix.size(), prefix) == 0;
}

#ifdef _WIN32
int write_some(int fd, const char* data, size_t size)
{
    return _write(fd, data, static_cast<unsigned>(size));
}
#else
ssize_t write_some(int fd, const char* data, size_t size)
{
    return write(fd, data, size);
}
#endif

bool write_all(int fd, const std::string& bytes, std::string& error)
{
    const size_t chunk_size = size_t{1} << 20;
    size_t done = 0;
    while (done < bytes.size()) {
        size_t chunk = std::min(bytes.size() - done, chunk_size);
        if (write_limit >= 0) {
            if (done >= static_cast<size_t>(write_limit)) {
                error = describe("cannot write the file", ENOSPC);
                return false;
            }
            chunk = std::min(chunk, static_cast<size_t>(write_limit) - done);
        }
        auto written = write_some(fd, bytes.data() + done, chunk);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            error = written < 0 ? describe("cannot write the file", errno) : "cannot write the file";
            return false;
        }
        done += static_cast<size_t>(written);
    }
    return true;
}

}  // namespace

void set_save_write_limit(long long bytes)
{
    write_limit = bytes;
}

#ifdef _WIN32

bool replace_file_content(const char* target, const std::string& bytes, std::string& error)
{
    namespace fs = std::filesystem;
    if (target == nullptr || *target == '\0') {
        error = "no file name";
        return false;
    }
    std::error_code ec;
    fs::path path(target);
    fs::path directory = path.parent_path().empty() ? fs::path(".") : path.parent_path();
    if (fs::is_directory(path, ec)) {
        error = "is a directory";
        return false;
    }
    std::string prefix = temporary_prefix(path.filename().string());
    for (const fs::directory_entry& entry : fs::directory_iterator(directory, ec)) {
        if (is_leftover_name(entry.path().filename().string(), prefix)) {
            fs::remove(entry.path(), ec);
        }
    }
    std::random_device random;
    const char letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    fs::path temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        std::string name = prefix;
        for (size_t i = 0; i < random_suffix_length; ++i) {
            name += letters[random() % (sizeof letters - 1)];
        }
        temporary = directory / name;
        fd = _open(temporary.string().c_str(), _O_CREAT | _O_EXCL | _O_WRONLY | _O_BINARY, _S_IREAD | _S_IWRITE);
        if (fd < 0 && errno != EEXIST) {
            break;
        }
    }
    if (fd < 0) {
        error = describe("cannot create a temporary file in " + directory.string(), errno);
        return false;
    }
    bool ok = write_all(fd, bytes, error);
    if (ok && _commit(fd) != 0) {
        ok = false;
        error = describe("cannot flush the file to disk", errno);
    }
    if (_close(fd) != 0 && ok) {
        ok = false;
        error = describe("cannot close the temporary file", errno);
    }
    if (ok) {
        fs::rename(temporary, path, ec);  // replaces the target in one step
        if (ec) {
            ok = false;
            error = "cannot replace the file: " + ec.message();
        }
    }
    if (!ok) {
        fs::remove(temporary, ec);
    }
    return ok;
}

#else

namespace {

std::string directory_part(const std::string& path)
{
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string name_part(const std::string& path)
{
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Follows symbolic links to the path they finally name, existing or not.
bool resolve_links(std::string path, std::string& resolved, std::string& error)
{
    const int max_hops = 40;
    for (int hop = 0; hop < max_hops; ++hop) {
        struct stat link_stat;
        if (lstat(path.c_str(), &link_stat) != 0 || !S_ISLNK(link_stat.st_mode)) {
            resolved = path;
            return true;
        }
        std::vector<char> buffer(4096);
        ssize_t n = readlink(path.c_str(), buffer.data(), buffer.size());
        if (n < 0 || static_cast<size_t>(n) >= buffer.size()) {
            error = n < 0 ? describe("cannot read the symbolic link", errno) : "symbolic link too long";
            return false;
        }
        std::string link(buffer.data(), static_cast<size_t>(n));
        path = link[0] == '/' ? link : directory_part(path) + "/" + link;
    }
    error = "too many levels of symbolic links";
    return false;
}

void remove_leftovers(const std::string& directory, const std::string& prefix)
{
    DIR* dir = opendir(directory.c_str());
    if (dir == nullptr) {
        return;
    }
    while (const dirent* entry = readdir(dir)) {
        if (!is_leftover_name(entry->d_name, prefix)) {
            continue;
        }
        std::string path = directory + "/" + entry->d_name;
        struct stat leftover;
        if (lstat(path.c_str(), &leftover) == 0 && S_ISREG(leftover.st_mode)) {
            unlink(path.c_str());
        }
    }
    closedir(dir);
}

// The replacement gets the target's owner and permission bits. Giving the
// file to another owner is refused to ordinary users; it then stays theirs.
bool copy_permissions(int fd, const struct stat& target_stat, std::string& error)
{
    int owner_result = fchown(fd, target_stat.st_uid, target_stat.st_gid);
    (void)owner_result;
    if (fchmod(fd, target_stat.st_mode & 07777) != 0) {
        error = describe("cannot set the file permissions", errno);
        return false;
    }
    return true;
}

void sync_directory(const std::string& directory)
{
    int fd = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

}  // namespace

bool replace_file_content(const char* target, const std::string& bytes, std::string& error)
{
    if (target == nullptr || *target == '\0') {
        error = "no file name";
        return false;
    }
    std::string path;
    if (!resolve_links(target, path, error)) {
        return false;
    }
    struct stat target_stat;
    bool exists = stat(path.c_str(), &target_stat) == 0;
    if (exists && S_ISDIR(target_stat.st_mode)) {
        error = "is a directory";
        return false;
    }
    if (exists && !S_ISREG(target_stat.st_mode)) {
        error = "not a regular file";
        return false;
    }
    if (exists && access(path.c_str(), W_OK) != 0) {
        error = describe("cannot write the file", errno);  // a read-only file stays as it is
        return false;
    }

    std::string directory = directory_part(path);
    std::string prefix = temporary_prefix(name_part(path));
    remove_leftovers(directory, prefix);
    std::string pattern = directory + "/" + prefix + std::string(random_suffix_length, 'X');
    std::vector<char> temporary(pattern.begin(), pattern.end());
    temporary.push_back('\0');
    int fd = mkstemp(temporary.data());  // exclusive, and readable by the owner only
    if (fd < 0) {
        error = describe("cannot create a temporary file in " + directory, errno);
        return false;
    }

    bool ok = write_all(fd, bytes, error) && (!exists || copy_permissions(fd, target_stat, error));
    if (ok && fsync(fd) != 0) {
        ok = false;
        error = describe("cannot flush the file to disk", errno);
    }
    if (close(fd) != 0 && ok) {
        ok = false;
        error = describe("cannot close the temporary file", errno);
    }
    if (ok && rename(temporary.data(), path.c_str()) != 0) {
        ok = false;
        error = describe("cannot replace the file", errno);
    }
    if (!ok) {
        unlink(temporary.data());
        return false;
    }
    sync_directory(directory);
    return true;
}

#endif

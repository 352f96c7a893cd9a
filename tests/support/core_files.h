// Temporary directories and whole-file reads and writes for the core tests.
#ifndef ZANTOR_TESTS_SUPPORT_CORE_FILES_H
#define ZANTOR_TESTS_SUPPORT_CORE_FILES_H

#include <string>
#include <vector>

// A fresh directory under the system's temporary directory, removed with
// everything in it when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return root; }
    // The path of `name` inside the directory.
    std::string file(const std::string& name) const { return root + "/" + name; }
    // Names of the entries in the directory, sorted.
    std::vector<std::string> entries() const;

private:
    std::string root;
};

// Creates a folder, private to its owner on POSIX systems; false if it fails.
bool make_folder(const std::string& path);

// Makes the file `size` bytes long; what it grows by takes no room on disk
// where the file system allows. False if it fails.
bool set_file_size(const std::string& path, unsigned long long size);

void write_bytes(const std::string& path, const std::string& bytes);
// The file's bytes; an empty text when it cannot be read.
std::string read_bytes(const std::string& path);
// Permission bits of the file (after following links), or -1.
int file_mode(const std::string& path);

// The file a new document is saved as: root SETUP with the default top level.
extern const char* const default_settings_file;

#endif

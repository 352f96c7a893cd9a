// Saving a settings file. The target is never opened for writing: a
// temporary file in the same folder (so the final replace stays on one file
// system) receives the content, is flushed to disk and closed with every
// result checked, and only then takes the target's place in one step. The
// calls that differ between systems are in file_system_*.cpp.
#include "doc/file_replace.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>
#include <random>

#include "doc/file_system.h"
#include "doc/save_test_hooks.h"
#include "doc/xml_load.h"

const char* const temporary_file_marker = ".zantor-save-";

namespace {

using file_system::TemporaryFile;

long long write_limit = -1;
std::function<void()> pause_before_replace;

// Long names are cut so that the temporary name stays a valid file name.
const size_t max_name_in_temporary = 200;
const size_t random_suffix_length = 6;

std::string temporary_prefix(const std::string& file_name)
{
    return "." + file_name.substr(0, max_name_in_temporary) + temporary_file_marker;
}

// ".20261208-143005.bak" or ".20261208-143005-2.bak": what a dated backup
// adds to the name of the file it keeps.
bool is_backup_ending(const std::string& text)
{
    const std::string digits = "0123456789";
    if (text.size() < 20 || text[0] != '.' || text.compare(text.size() - 4, 4, ".bak") != 0 || text[9] != '-' ||
        text.find_first_not_of(digits, 1) != 9 || text.find_first_not_of(digits, 10) != 16) {
        return false;
    }
    return text.size() == 20 || (text[16] == '-' && text.find_first_not_of(digits, 17) == text.size() - 4);
}

// A temporary file that a save of `file_name`, or of one of its dated
// backups, left when it was interrupted.
bool is_leftover_name(const std::string& name, const std::string& file_name)
{
    const std::string start = "." + file_name.substr(0, max_name_in_temporary);
    const size_t marker_size = std::strlen(temporary_file_marker);
    if (name.size() < start.size() + marker_size + random_suffix_length || name.compare(0, start.size(), start) != 0) {
        return false;
    }
    const size_t marker_at = name.size() - random_suffix_length - marker_size;
    const std::string between = name.substr(start.size(), marker_at - start.size());
    return name.compare(marker_at, marker_size, temporary_file_marker) == 0 &&
           (between.empty() || is_backup_ending(between));
}

// Leftovers of interrupted saves hold the secrets of a whole fleet: each save
// removes those of its target and of its backups, but never the file of a
// save still running.
void remove_leftovers(const std::string& folder, const std::string& file_name)
{
    for (const std::string& name : file_system::names_in(folder)) {
        if (is_leftover_name(name, file_name)) {
            file_system::remove_unless_held(file_system::in_folder(folder, name));
        }
    }
}

bool create_temporary(TemporaryFile& temporary, const std::string& folder, const std::string& prefix,
                      std::string& error)
{
    std::random_device random;
    const char letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string reason;
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = prefix;
        for (size_t i = 0; i < random_suffix_length; ++i) {
            name += letters[random() % (sizeof letters - 1)];
        }
        const file_system::Created created = temporary.create(file_system::in_folder(folder, name), reason);
        if (created == file_system::Created::yes) {
            return true;
        }
        if (created == file_system::Created::failed) {
            break;
        }
    }
    error = "cannot create a temporary file in " + folder + ": " + reason;
    return false;
}

// Writes `size` bytes more to the temporary file; `done` counts the bytes
// this save has written so far.
bool write_all(TemporaryFile& temporary, const char* data, size_t size, size_t& done, std::string& error)
{
    const size_t chunk_size = size_t{1} << 20;
    size_t written_here = 0;
    std::string reason;
    while (written_here < size) {
        size_t chunk = std::min(size - written_here, chunk_size);
        if (write_limit >= 0) {
            if (done >= static_cast<size_t>(write_limit)) {
                error = std::string("cannot write the file: ") + strerror(ENOSPC);
                return false;
            }
            chunk = std::min(chunk, static_cast<size_t>(write_limit) - done);
        }
        long long written = temporary.write_some(data + written_here, chunk, reason);
        if (written <= 0) {
            error = written < 0 ? "cannot write the file: " + reason : "cannot write the file";
            return false;
        }
        written_here += static_cast<size_t>(written);
        done += static_cast<size_t>(written);
    }
    return true;
}

// A full copy of the file's content as it is, on disk before the file is
// written into: beside it, or in a folder of the user's own when its folder
// is one the user may not write in. Its path, or empty with the reason.
std::string keep_previous_version(const std::string& path, std::string& reason)
{
    std::string previous;
    if (!read_whole_file(path.c_str(), previous, reason)) {
        return std::string();
    }
    std::random_device random;
    const std::string folder = file_system::folder_of(path);
    const std::string name = "." + file_system::name_of(path).substr(0, max_name_in_temporary) + ".zantor-previous-";
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string copy = file_system::in_folder(folder, name + std::to_string(random() % 1000000));
        const file_system::Created made = file_system::create_new_file(copy, previous, true, reason);
        if (made == file_system::Created::yes) {
            return copy;
        }
        if (made == file_system::Created::failed) {
            break;
        }
    }
    const std::string own_folder = file_system::make_private_folder(reason);
    if (own_folder.empty()) {
        return std::string();
    }
    const std::string copy = file_system::in_folder(own_folder, file_system::name_of(path));
    if (file_system::create_new_file(copy, previous, true, reason) != file_system::Created::yes) {
        file_system::remove_private_folder(own_folder);
        return std::string();
    }
    return copy;
}

void forget_previous_version(const std::string& copy)
{
    file_system::remove_file(copy);
    const std::string folder = file_system::folder_of(copy);
    if (file_system::names_in(folder).empty()) {
        file_system::remove_private_folder(folder);  // only an empty folder of ours goes
    }
}

// The save of a file that a new file could not stand in for (see
// must_write_in_place): its content is written over, from its start, once
// a full copy of the previous content is on disk; the copy goes when the
// new content is, and stays, named, when it is not.
bool write_in_place(const std::string& path, const ContentSource& content, std::string& error)
{
    std::string reason;
    const std::string copy = keep_previous_version(path, reason);
    if (copy.empty()) {
        error = "cannot keep a copy of the file before writing into it: " + reason;
        return false;
    }
    const long long file = file_system::open_to_overwrite(path, reason);
    if (file < 0) {
        forget_previous_version(copy);
        error = "cannot write the file: " + reason;
        return false;
    }
    unsigned long long done = 0;
    bool written = true;
    const ContentWriter write = [&](const char* data, size_t size) {
        for (size_t at = 0; written && at < size;) {
            const long long wrote = file_system::write_to(file, data + at, size - at, reason);
            written = wrote > 0;
            at += written ? static_cast<size_t>(wrote) : 0;
            done += written ? static_cast<unsigned long long>(wrote) : 0;
        }
        return written;
    };
    const bool made = content(write) && written;
    if (!file_system::finish_overwrite(file, done, reason) || !made) {
        error = "cannot write the file: " + reason + "; its previous version is kept in " + copy;
        return false;
    }
    forget_previous_version(copy);
    return true;
}

}  // namespace

void set_save_write_limit(long long bytes)
{
    write_limit = bytes;
}

void set_save_pause_before_replace(std::function<void()> pause)
{
    pause_before_replace = std::move(pause);
}

bool replace_file_content(const char* target, const std::string& bytes, std::string& error, const char* properties_of)
{
    return replace_file_content(
        target, [&](const ContentWriter& write) { return write(bytes.data(), bytes.size()); }, error, properties_of);
}

bool replace_file_content(const char* target, const ContentSource& content, std::string& error,
                          const char* properties_of)
{
    if (target == nullptr || *target == '\0') {
        error = "no file name";
        return false;
    }
    std::string path;
    if (!file_system::save_target_of(target, path, error)) {
        return false;
    }
    std::string reason;
    switch (file_system::kind_of(path)) {
        case file_system::Kind::folder:
            error = "is a directory";
            return false;
        case file_system::Kind::other:
            error = "not a regular file";
            return false;
        case file_system::Kind::file:
            if (!file_system::may_replace(path, reason)) {
                error = "cannot write the file: " + reason;  // a read-only file stays as it is
                return false;
            }
            break;
        case file_system::Kind::missing:
            break;
    }

    if (properties_of == nullptr && file_system::must_write_in_place(path)) {
        return write_in_place(path, content, error);
    }
    const std::string folder = file_system::folder_of(path);
    const std::string prefix = temporary_prefix(file_system::name_of(path));
    remove_leftovers(folder, file_system::name_of(path));
    TemporaryFile temporary;  // removed on every failure below
    if (!create_temporary(temporary, folder, prefix, error)) {
        return false;
    }
    size_t done = 0;
    bool written = true;
    const ContentWriter write = [&](const char* data, size_t size) {
        written = write_all(temporary, data, size, done, error);
        return written;
    };
    if (!content(write) || !written) {
        if (written) {
            error = "cannot write the file";
        }
        return false;
    }
    if (!temporary.take_properties_of(properties_of != nullptr ? properties_of : path, reason)) {
        error = "cannot set the file permissions: " + reason;
        return false;
    }
    if (!temporary.flush(reason)) {
        error = "cannot flush the file to disk: " + reason;
        return false;
    }
    if (!temporary.close_writing(reason)) {
        error = "cannot close the temporary file: " + reason;
        return false;
    }
    if (pause_before_replace) {
        pause_before_replace();
    }
    if (!temporary.replace(path, reason)) {
        error = "cannot replace the file: " + reason;
        return false;
    }
    return true;
}

file_system::Created write_new_file(const char* path, const std::string& bytes, std::string& error,
                                    const char* properties_of)
{
    const std::string folder = file_system::folder_of(path);
    TemporaryFile temporary;  // removed on every failure below
    size_t done = 0;
    std::string reason;
    if (!create_temporary(temporary, folder, temporary_prefix(file_system::name_of(path)), error) ||
        !write_all(temporary, bytes.data(), bytes.size(), done, error)) {
        return file_system::Created::failed;
    }
    if (properties_of != nullptr && !temporary.take_properties_of(properties_of, reason)) {
        error = "cannot set the file permissions: " + reason;
        return file_system::Created::failed;
    }
    if (!temporary.flush(reason) || !temporary.close_writing(reason)) {
        error = "cannot write the file: " + reason;
        return file_system::Created::failed;
    }
    if (pause_before_replace) {
        pause_before_replace();
    }
    const file_system::Created put = temporary.put_at_new_name(path, reason);
    if (put == file_system::Created::failed) {
        error = reason;
    }
    return put;
}

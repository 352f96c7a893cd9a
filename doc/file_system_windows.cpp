// The file calls of loading and saving on Windows, through the wide API with
// names converted from the ANSI code page.
#ifdef _WIN32

#include <windows.h>
// After windows.h, which they need.
#include <io.h>
#include <sys/stat.h>
#include <sys/types.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>

#include "doc/file_system.h"

namespace file_system {

namespace {

// How long a replace waits in all for other programs to let go of the
// target, and the longest single wait: a virus scanner or a backup holds a
// file for a moment, the station communication software while it reads it.
const DWORD replace_patience_ms = 2000;
const DWORD longest_wait_ms = 250;

std::wstring wide(const std::string& name)
{
    if (name.empty()) {
        return std::wstring();
    }
    const int size = static_cast<int>(name.size());
    const int length = MultiByteToWideChar(CP_ACP, 0, name.data(), size, nullptr, 0);
    std::wstring result(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, name.data(), size, &result[0], length);
    return result;
}

// The ANSI name, or false when the system's name has a character that the
// code page cannot hold (such a file is none of ours).
bool narrow(const wchar_t* name, std::string& result)
{
    BOOL lossy = FALSE;
    const int length = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, name, -1, nullptr, 0, nullptr, &lossy);
    if (length <= 0 || lossy) {
        return false;
    }
    result.assign(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, name, -1, &result[0], length, nullptr, nullptr);
    result.pop_back();  // the terminating zero
    return true;
}

// The system's errors in the words the same failure has on other systems.
std::string reason_of(DWORD error)
{
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
            return strerror(ENOENT);
        case ERROR_ACCESS_DENIED:
            return strerror(EACCES);
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            return "the file is in use by another program";
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS:
            return strerror(EEXIST);
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return strerror(ENOSPC);
        case ERROR_WRITE_PROTECT:
            return strerror(EROFS);
        case ERROR_FILENAME_EXCED_RANGE:
            return strerror(ENAMETOOLONG);
        case ERROR_NOT_ENOUGH_MEMORY:
        case ERROR_OUTOFMEMORY:
            return strerror(ENOMEM);
    }
    char text[512];
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text,
                                  sizeof text, nullptr);
    while (length > 0 && (text[length - 1] == '\r' || text[length - 1] == '\n' || text[length - 1] == '.')) {
        --length;
    }
    return length > 0 ? std::string(text, length) : "Windows error " + std::to_string(error);
}

std::string last_reason()
{
    return reason_of(GetLastError());
}

bool is_busy(DWORD error)
{
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION || error == ERROR_ACCESS_DENIED;
}

}  // namespace

Kind kind_of(const std::string& path)
{
    const DWORD attributes = GetFileAttributesW(wide(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return Kind::missing;
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        return Kind::folder;
    }
    return attributes & FILE_ATTRIBUTE_DEVICE ? Kind::other : Kind::file;
}

namespace {

// The volume and the file's index on it, which tell one file from another
// whatever names and links reach it.
bool file_identity(const std::string& path, BY_HANDLE_FILE_INFORMATION& info)
{
    HANDLE file = CreateFileW(wide(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    const bool read = GetFileInformationByHandle(file, &info) != 0;
    CloseHandle(file);
    return read;
}

}  // namespace

bool same_file(const std::string& a, const std::string& b)
{
    BY_HANDLE_FILE_INFORMATION first, second;
    return file_identity(a, first) && file_identity(b, second) &&
           first.dwVolumeSerialNumber == second.dwVolumeSerialNumber && first.nFileIndexHigh == second.nFileIndexHigh &&
           first.nFileIndexLow == second.nFileIndexLow;
}

bool size_and_change_time(const std::string& path, unsigned long long& size, long long& changed)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(wide(path).c_str(), GetFileExInfoStandard, &data)) {
        return false;
    }
    size = (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    changed = static_cast<long long>((static_cast<unsigned long long>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                                     data.ftLastWriteTime.dwLowDateTime);
    return true;
}

std::FILE* open_for_reading(const std::string& path, std::string& reason)
{
    std::FILE* file = _wfopen(wide(path).c_str(), L"rb");
    if (file == nullptr) {
        reason = strerror(errno);
        return nullptr;
    }
    // Only a file on a disk is read: a pipe or a device would wait or
    // never end.
    if (GetFileType(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)))) != FILE_TYPE_DISK) {
        reason = "not a regular file (a device or a pipe)";
        fclose(file);
        return nullptr;
    }
    return file;
}

bool size_of(std::FILE* file, unsigned long long& size)
{
    struct _stat64 st;
    if (_fstat64(_fileno(file), &st) != 0) {
        return false;
    }
    size = static_cast<unsigned long long>(st.st_size);
    return true;
}

bool save_target_of(const std::string& path, std::string& target, std::string&)
{
    target = path;
    return true;
}

bool may_replace(const std::string& path, std::string& reason)
{
    const DWORD attributes = GetFileAttributesW(wide(path).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        reason = "the file is read-only";
        return false;
    }
    return true;
}

bool must_write_in_place(const std::string&)
{
    return false;
}

long long open_to_overwrite(const std::string& path, std::string& reason)
{
    HANDLE file =
        CreateFileW(wide(path).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        reason = last_reason();
        return -1;
    }
    return reinterpret_cast<long long>(file);
}

long long write_to(long long file, const char* data, size_t size, std::string& reason)
{
    DWORD written = 0;
    const DWORD chunk = size > (DWORD{1} << 30) ? (DWORD{1} << 30) : static_cast<DWORD>(size);
    if (!WriteFile(reinterpret_cast<HANDLE>(file), data, chunk, &written, nullptr)) {
        reason = last_reason();
        return -1;
    }
    return written;
}

bool finish_overwrite(long long file, unsigned long long size, std::string& reason)
{
    HANDLE handle = reinterpret_cast<HANDLE>(file);
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(size);
    const bool done =
        SetFilePointerEx(handle, end, nullptr, FILE_BEGIN) && SetEndOfFile(handle) && FlushFileBuffers(handle);
    if (!done) {
        reason = last_reason();
    }
    CloseHandle(handle);
    return done;
}

std::vector<std::string> names_in(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(wide(in_folder(folder, "*")).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return names;
    }
    do {
        std::string name;
        if (narrow(found.cFileName, name) && name != "." && name != "..") {
            names.push_back(name);
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

void remove_unless_held(const std::string& path)
{
    // Opening with no sharing fails while a running save holds its handle.
    HANDLE file = CreateFileW(wide(path).c_str(), DELETE, 0, nullptr, OPEN_EXISTING,
                              FILE_FLAG_DELETE_ON_CLOSE | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
    }
}

Created create_new_file(const std::string& path, const std::string& bytes, bool, std::string& reason)
{
    // CREATE_NEW fails on any name that exists, a link included.
    HANDLE file = CreateFileW(wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        reason = reason_of(error);
        return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ? Created::name_taken : Created::failed;
    }
    size_t done = 0;
    bool written = true;
    while (written && done < bytes.size()) {
        DWORD wrote = 0;
        const size_t left = bytes.size() - done;
        const DWORD chunk = left > (DWORD{1} << 30) ? (DWORD{1} << 30) : static_cast<DWORD>(left);
        written = WriteFile(file, bytes.data() + done, chunk, &wrote, nullptr) && wrote > 0;
        done += wrote;
    }
    written = written && FlushFileBuffers(file);
    if (!written) {
        reason = last_reason();
    }
    CloseHandle(file);
    if (!written) {
        DeleteFileW(wide(path).c_str());
        return Created::failed;
    }
    return Created::yes;
}

std::string make_private_folder(std::string& reason)
{
    // The short form of the temporary folder's name is ASCII even under a
    // user name that the ANSI code page cannot hold.
    wchar_t folder[MAX_PATH + 1] = {}, short_folder[MAX_PATH + 1] = {};
    if (GetTempPathW(MAX_PATH, folder) == 0 || GetShortPathNameW(folder, short_folder, MAX_PATH) == 0) {
        reason = last_reason();
        return std::string();
    }
    std::string base;
    if (!narrow(short_folder, base)) {
        reason = "the temporary folder's name is not one the ANSI code page holds";
        return std::string();
    }
    for (unsigned n = 0; n < 1000; ++n) {
        const std::string made =
            in_folder(base, "zantor-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(n));
        if (CreateDirectoryW(wide(made).c_str(), nullptr)) {  // the user's own temporary folder's rights
            return made;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS) {
            reason = last_reason();
            return std::string();
        }
    }
    reason = strerror(EEXIST);
    return std::string();
}

void remove_private_folder(const std::string& folder)
{
    for (const std::string& name : names_in(folder)) {
        DeleteFileW(wide(in_folder(folder, name)).c_str());
    }
    RemoveDirectoryW(wide(folder).c_str());
}

bool remove_file(const std::string& path)
{
    return DeleteFileW(wide(path).c_str()) != 0;
}

long long this_process()
{
    return static_cast<long long>(GetCurrentProcessId());
}

bool process_runs(long long process)
{
    HANDLE handle = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(process));
    if (handle == nullptr) {
        return GetLastError() == ERROR_ACCESS_DENIED;  // another user's, still there
    }
    const bool runs = WaitForSingleObject(handle, 0) == WAIT_TIMEOUT;
    CloseHandle(handle);
    return runs;
}

std::string local_time(const char* format)
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_s(&local, &now);
    char text[64];
    return std::strftime(text, sizeof text, format, &local) > 0 ? text : "";
}

std::string machine_name()
{
    char name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = sizeof name;
    return GetComputerNameA(name, &size) ? std::string(name, size) : std::string();
}

std::string user_name()
{
    const char* name = getenv("USERNAME");
    return name != nullptr ? name : "";
}

long long lock_file(const std::string&, int, std::string& reason)
{
    // A lock on the file itself would keep this program's own save from
    // replacing it; a folder where no lock file can be made has none.
    reason = "no lock can be made beside it";
    return -1;
}

void unlock_file(long long held)
{
    if (held >= 0) {
        CloseHandle(reinterpret_cast<HANDLE>(held));
    }
}

namespace {

// The files to remove on Ctrl+C or Ctrl+Break, or when the console closes.
const int interrupt_slots = 8;
wchar_t interrupt_paths[interrupt_slots][MAX_PATH + 1];
volatile LONG interrupt_slot_used[interrupt_slots];

BOOL WINAPI remove_and_end(DWORD)
{
    for (int i = 0; i < interrupt_slots; ++i) {
        if (interrupt_slot_used[i] != 0) {
            DeleteFileW(interrupt_paths[i]);
        }
    }
    return FALSE;  // the next handler, at last the system's, ends the program
}

}  // namespace

void remove_on_interrupt(const std::string& path)
{
    const std::wstring name = wide(path);
    if (name.size() > MAX_PATH) {
        return;
    }
    static bool caught = false;
    if (!caught) {
        caught = SetConsoleCtrlHandler(remove_and_end, TRUE) != 0;
    }
    for (int i = 0; i < interrupt_slots; ++i) {
        if (interrupt_slot_used[i] == 0) {
            std::copy(name.c_str(), name.c_str() + name.size() + 1, interrupt_paths[i]);
            InterlockedExchange(&interrupt_slot_used[i], 1);
            return;
        }
    }
}

void forget_on_interrupt(const std::string& path)
{
    const std::wstring name = wide(path);
    for (int i = 0; i < interrupt_slots; ++i) {
        if (interrupt_slot_used[i] != 0 && name == interrupt_paths[i]) {
            InterlockedExchange(&interrupt_slot_used[i], 0);
        }
    }
}

TemporaryFile::~TemporaryFile()
{
    if (handle != nullptr) {
        CloseHandle(handle);
        if (!replaced) {
            DeleteFileW(wide(path).c_str());
        }
        forget_on_interrupt(path);
    }
}

Created TemporaryFile::create(const std::string& file_path, std::string& reason)
{
    // The handle shares nothing but the delete that this save's own replace
    // needs; no security description, so the folder's access rights apply.
    HANDLE file = CreateFileW(wide(file_path).c_str(), GENERIC_WRITE, FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        reason = reason_of(error);
        return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ? Created::name_taken : Created::failed;
    }
    path = file_path;
    handle = file;
    remove_on_interrupt(path);
    return Created::yes;
}

long long TemporaryFile::write_some(const char* data, size_t size, std::string& reason)
{
    DWORD written = 0;
    const DWORD chunk = size > (DWORD{1} << 30) ? (DWORD{1} << 30) : static_cast<DWORD>(size);
    if (!WriteFile(handle, data, chunk, &written, nullptr)) {
        reason = last_reason();
        return -1;
    }
    return written;
}

// Hidden, system and not-indexed stay as the operator set them; the archive
// flag is set, since backups must take the new content.
bool TemporaryFile::take_properties_of(const std::string& target, std::string& reason)
{
    const DWORD attributes = GetFileAttributesW(wide(target).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return true;
    }
    FILE_BASIC_INFO basic = {};
    basic.FileAttributes =
        (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED)) |
        FILE_ATTRIBUTE_ARCHIVE;
    if (!SetFileInformationByHandle(handle, FileBasicInfo, &basic, sizeof basic)) {
        reason = last_reason();
        return false;
    }
    return true;
}

bool TemporaryFile::flush(std::string& reason)
{
    if (!FlushFileBuffers(handle)) {
        reason = last_reason();
        return false;
    }
    return true;
}

bool TemporaryFile::close_writing(std::string&)
{
    return true;
}

Created TemporaryFile::put_at_new_name(const std::string& target, std::string& reason)
{
    // Without MOVEFILE_REPLACE_EXISTING the move fails on any name that
    // exists.
    if (!MoveFileExW(wide(path).c_str(), wide(target).c_str(), MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = GetLastError();
        reason = reason_of(error);
        return error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS ? Created::name_taken : Created::failed;
    }
    replaced = true;
    forget_on_interrupt(path);
    return Created::yes;
}

bool TemporaryFile::replace(const std::string& target, std::string& reason)
{
    const std::wstring from = wide(path);
    const std::wstring to = wide(target);
    DWORD waited = 0;
    DWORD wait = 10;
    for (;;) {
        if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            replaced = true;
            forget_on_interrupt(path);
            return true;
        }
        const DWORD error = GetLastError();
        if (!is_busy(error) || waited >= replace_patience_ms) {
            reason = reason_of(error);
            if (error == ERROR_ACCESS_DENIED) {
                reason += " (another program may be holding the file open)";
            }
            return false;
        }
        wait = std::min(wait, replace_patience_ms - waited);
        Sleep(wait);
        waited += wait;
        wait = std::min(wait * 2, longest_wait_ms);
    }
}

}  // namespace file_system

#endif

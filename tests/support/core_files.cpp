#include "support/core_files.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

#include "doc/file_system.h"

#ifdef _WIN32
#include <direct.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace {

// The system's folder for temporary files, as the program's own file names
// are written: ANSI text on Windows, where std::filesystem would give UTF-8.
std::string system_temporary_folder()
{
#ifdef _WIN32
    char folder[MAX_PATH + 1];
    const DWORD length = GetTempPathA(sizeof folder, folder);
    if (length == 0 || length > MAX_PATH) {
        throw std::runtime_error("no temporary folder");
    }
    return std::string(folder, length);
#else
    return std::filesystem::temp_directory_path().string() + "/";
#endif
}

}  // namespace

TempDir::TempDir()
{
    const std::string base = system_temporary_folder() + "zantor-test-";
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string candidate = base + std::to_string(random() % 1000000000u);
        if (make_folder(candidate)) {
            root = candidate;
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary directory");
}

TempDir::~TempDir()
{
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
}

std::vector<std::string> TempDir::entries() const
{
    std::vector<std::string> names = file_system::names_in(root);
    std::sort(names.begin(), names.end());
    return names;
}

bool make_folder(const std::string& path)
{
#ifdef _WIN32
    return _mkdir(path.c_str()) == 0;
#else
    return mkdir(path.c_str(), 0700) == 0;
#endif
}

bool set_file_size(const std::string& path, unsigned long long size)
{
#ifdef _WIN32
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(size);
    const bool done = SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file);
    CloseHandle(file);
    return done;
#else
    return truncate(path.c_str(), static_cast<off_t>(size)) == 0;
#endif
}

void write_bytes(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + path);
    }
}

std::string read_bytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

int file_mode(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 ? static_cast<int>(st.st_mode & 07777) : -1;
}

const char* const default_settings_file =
    "<SETUP>\r\n"
    "    <PATH_DATA_BIN path=\"c:\\kestrane\\data_bin\" />\r\n"
    "    <PATH_DATA_XML path=\"c:\\kestrane\\data_xml\" />\r\n"
    "    <PATH_STATUS_LOG path=\"c:\\kestrane\\zantor_basic\\status_log\" />\r\n"
    "    <COMPORTS>\r\n"
    "        <COMPORT port=\"COM1\" rate=\"38400\" type=\"direct\" description=\"cable connection (USB)\" />\r\n"
    "        <COMPORT port=\"COM2\" rate=\"9600\" type=\"modem\" description=\"standard modem\" />\r\n"
    "    </COMPORTS>\r\n"
    "    <STATIONS />\r\n"
    "</SETUP>\r\n";

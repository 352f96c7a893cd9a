#include "support/core_files.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

TempDir::TempDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "zantor-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot create a temporary directory");
    }
    root = pattern;
}

TempDir::~TempDir()
{
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
}

std::vector<std::string> TempDir::entries() const
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(root)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
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

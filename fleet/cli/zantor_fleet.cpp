// zantor-fleet: the settings files of a fleet of stations, from the command
// line. See dispatch.cpp for the commands.
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#ifdef __GLIBC__
#include <malloc.h>
#endif
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#endif

#include "fleet/cli/commands.h"
#include "fleet/station/text.h"

namespace {

#ifdef _WIN32
unsigned console_code_page = 0;

// The output is the same bytes as on Linux: UTF-8 with the line ends each
// format has (a CSV's CR LF stays one CR LF, never CR CR LF from text mode).
// A console shows it as UTF-8 and gets its own code page back at the end.
void write_output_as_on_linux()
{
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    console_code_page = GetConsoleOutputCP();
    if (console_code_page == CP_UTF8 || !SetConsoleOutputCP(CP_UTF8)) {
        console_code_page = 0;
    }
}
#endif

#ifdef __GLIBC__
// A fleet file is read into one text of tens of MB, which the parser turns
// into hundreds of MB of elements, and the command then builds its lines and
// the file it writes. By default the C library gives so large a text back to
// the system once parsed, and the memory the command needs next is then
// taken anew, each page cleared by the system again on its first use. Kept
// in the process instead, the text's room serves the allocations that follow.
void keep_freed_memory()
{
    mallopt(M_MMAP_MAX, 0);              // large blocks from the heap too, reused once freed
    mallopt(M_TRIM_THRESHOLD, INT_MAX);  // the heap is never shrunk: the process ends soon
}
#endif

// The documents read go back to the system with the process, at once:
// freeing the 800,000 elements of a large fleet one by one would only make
// the operator wait a tenth longer for the prompt.
[[noreturn]] void leave(int status)
{
#ifdef _WIN32
    if (console_code_page != 0) {
        SetConsoleOutputCP(console_code_page);
    }
#endif
    std::_Exit(status);
}

}  // namespace

int main(int argc, char** argv)
{
#ifdef __GLIBC__
    keep_freed_memory();
#endif
#ifdef _WIN32
    write_output_as_on_linux();
#endif
    CommandOutput output;
    try {
        output = run_fleet(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const std::bad_alloc&) {
        // Nothing was written: a file is replaced only once its whole text
        // is on disk.
        std::fputs("zantor-fleet: not enough memory; nothing written\n", stderr);
        leave(exit_trouble);
    }
    // Whatever a settings file or a sheet holds, nothing reaches the
    // terminal that it would take for a command of its own.
    auto write = [](const std::string& text, std::FILE* to) {
        const std::string shown = terminal_text(text);
        std::fwrite(shown.data(), 1, shown.size(), to);
    };
    write(output.out, stdout);
    for (const std::string& piece : output.out_pieces) {
        write(piece, stdout);
    }
    write(output.err, stderr);
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        // The file's fate first: a file written stays written.
        const std::string said =
            output.written.empty()
                ? std::string("zantor-fleet: nothing written; the report could not be printed")
                : "zantor-fleet: " + terminal_text(output.written) + " written; the report could not be printed";
        std::fprintf(stderr, "%s: %s\n", said.c_str(), std::strerror(errno));
        std::fflush(stderr);
        leave(output.written.empty() ? exit_trouble : output.status);
    }
    std::fflush(stderr);
    leave(output.status);
}

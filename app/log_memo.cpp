#include "app/log_memo.h"

#include <cstring>

LogMemo::LogMemo(QWidget* parent, std::size_t kept_bytes) : QWidget(parent), kept_bytes(kept_bytes)
{
    // Nothing ever shows the log: it is there to be inspected in a debugger
    // or by a test.
    setVisible(false);
}

void LogMemo::append_entry(const char* entry)
{
    if (entry != nullptr) {
        kept.append(entry, std::strlen(entry));
    }
    kept.append("\r\n", 2);
    if (kept.size() <= 2 * kept_bytes) {
        return;
    }
    // Drop the oldest text in one block, at a line start, so that the cost
    // of trimming is spread over the next `kept_bytes` of appends.
    std::size_t cut = kept.size() - kept_bytes;
    std::size_t line_start = kept.find('\n', cut);
    cut = line_start == std::string::npos ? kept.size() : line_start + 1;
    kept.erase(0, cut);
}

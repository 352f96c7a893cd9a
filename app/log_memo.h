// The main window's hidden log: every save writes the whole document tree
// into it, line by line. A fleet of many stations dumps hundreds of thousands
// of lines per save, so the log keeps only the most recent few MiB and
// appends in constant time; a text widget would be far too slow for this.
#ifndef ZANTOR_APP_LOG_MEMO_H
#define ZANTOR_APP_LOG_MEMO_H

#include <QWidget>
#include <cstddef>
#include <string>

class LogMemo : public QWidget {
    Q_OBJECT

public:
    // The log keeps at least the most recent `kept_bytes` of text and never
    // holds more than twice that.
    explicit LogMemo(QWidget* parent = nullptr, std::size_t kept_bytes = default_kept_bytes);

    // Adds one entry after the last line; an entry with line breaks shows as
    // several lines.
    void append_entry(const char* entry);
    // The kept text, entries separated by line ends, oldest first.
    const std::string& text() const { return kept; }

    static constexpr std::size_t default_kept_bytes = 4 * 1024 * 1024;

private:
    std::size_t kept_bytes;
    std::string kept;
};

#endif

// What a settings file was when a program last read or wrote it, so that a
// save can tell whether another program has replaced it since: its size,
// its time of change and a digest of its content.
#ifndef ZANTOR_DOC_FILE_STATE_H
#define ZANTOR_DOC_FILE_STATE_H

#include <cstddef>
#include <cstdint>
#include <string>

// A digest of bytes given in pieces of any size: the same bytes give the
// same digest however they are cut.
class ContentDigest {
public:
    void add(const char* bytes, size_t size);
    void add(const std::string& bytes) { add(bytes.data(), bytes.size()); }
    uint64_t value() const;

private:
    uint64_t hash = 0x9E3779B97F4A7C15ULL;
    uint64_t length = 0;
    char partial[8] = {};  // the bytes of a word not yet complete
    size_t partial_size = 0;

    void mix(uint64_t word);
};

struct FileState {
    bool known = false;  // false: no file was read or written yet
    unsigned long long size = 0;
    long long changed = 0;  // the time of its last change, as the system keeps it
    uint64_t digest = 0;

    bool operator==(const FileState& other) const
    {
        return known == other.known && size == other.size && changed == other.changed && digest == other.digest;
    }
};

// The state of the file at `path`, whose content has the digest `digest`
// (of the bytes just read or written); unknown when it cannot be looked at.
FileState file_state_of(const std::string& path, uint64_t digest);

// True when the file at `path` is no longer the one `known` describes:
// gone, or of another size or content. A file that cannot be read for the
// moment counts as changed only when its time of change moved.
bool changed_since(const std::string& path, const FileState& known);

#endif

#include "doc/file_state.h"

#include <cstring>

#include "doc/file_system.h"
#include "doc/xml_load.h"

void ContentDigest::mix(uint64_t word)
{
    // A word at a time: a fleet of 50 MB is digested in a few milliseconds.
    hash ^= word;
    hash *= 0xFF51AFD7ED558CCDULL;
    hash ^= hash >> 32;
}

void ContentDigest::add(const char* bytes, size_t size)
{
    length += size;
    size_t at = 0;
    while (partial_size > 0 && partial_size < 8 && at < size) {
        partial[partial_size++] = bytes[at++];
    }
    if (partial_size == 8) {
        uint64_t word;
        std::memcpy(&word, partial, 8);
        mix(word);
        partial_size = 0;
    }
    for (; at + 8 <= size; at += 8) {
        uint64_t word;
        std::memcpy(&word, bytes + at, 8);
        mix(word);
    }
    while (at < size) {
        partial[partial_size++] = bytes[at++];
    }
}

uint64_t ContentDigest::value() const
{
    uint64_t last = 0;
    std::memcpy(&last, partial, partial_size);
    uint64_t result = hash ^ (last * 0xC4CEB9FE1A85EC53ULL) ^ length;
    result ^= result >> 29;
    result *= 0xBF58476D1CE4E5B9ULL;
    return result ^ (result >> 32);
}

FileState file_state_of(const std::string& path, uint64_t digest)
{
    FileState state;
    state.known = file_system::size_and_change_time(path, state.size, state.changed);
    state.digest = digest;
    return state;
}

bool changed_since(const std::string& path, const FileState& known)
{
    FileState now;
    now.known = file_system::size_and_change_time(path, now.size, now.changed);
    if (now.known != known.known || now.size != known.size) {
        return true;
    }
    if (!now.known) {
        return false;
    }
    // The content decides: a file touched or copied back unchanged is the
    // same file. A file another program holds cannot be read for a moment;
    // with the same size and time it is taken as unchanged, and the save
    // itself waits for it or says why it cannot write.
    const bool same_time = now.changed == known.changed;
    std::string bytes, error;
    if (!read_whole_file(path.c_str(), bytes, error)) {
        return !same_time;
    }
    ContentDigest digest;
    digest.add(bytes);
    return digest.value() != known.digest;
}

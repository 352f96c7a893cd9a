// The parts of a zip archive held in memory (a workbook is one), read
// through minizip with a bound on what each part may inflate to, so that
// an archive built to inflate without end is refused before it fills the
// memory.
#ifndef ZANTOR_FLEET_FORMATS_ZIP_IN_MEMORY_H
#define ZANTOR_FLEET_FORMATS_ZIP_IN_MEMORY_H

#include <cstddef>
#include <string>

class ZipInMemory {
public:
    // Keeps a reference to `bytes`, which must outlive the archive.
    explicit ZipInMemory(const std::string& bytes);
    ~ZipInMemory();
    ZipInMemory(const ZipInMemory&) = delete;
    ZipInMemory& operator=(const ZipInMemory&) = delete;

    // False when the bytes are no zip archive.
    bool is_open() const { return archive != nullptr; }

    enum class Read { ok, missing, too_large, damaged };

    // The inflated content of the part `name` (letter case aside). Stops
    // inflating as soon as the content would pass `limit` bytes.
    Read read(const std::string& name, size_t limit, std::string& content);

    // Where minizip reads in the bytes.
    struct Stream {
        const std::string* bytes;
        size_t at;
    };

private:
    Stream stream;
    void* archive = nullptr;
};

#endif

#include "fleet/formats/zip_in_memory.h"

#include <minizip/unzip.h>

#include <algorithm>
#include <cstring>

namespace {

using MemoryStream = ZipInMemory::Stream;

// minizip's file functions over a string: the archive is only read.
voidpf ZCALLBACK open_stream(voidpf opaque, const void*, int)
{
    return opaque;
}

uLong ZCALLBACK read_stream(voidpf, voidpf stream, void* buffer, uLong size)
{
    MemoryStream& s = *static_cast<MemoryStream*>(stream);
    const size_t n = std::min<size_t>(size, s.bytes->size() - std::min(s.at, s.bytes->size()));
    std::memcpy(buffer, s.bytes->data() + s.at, n);
    s.at += n;
    return static_cast<uLong>(n);
}

uLong ZCALLBACK write_stream(voidpf, voidpf, const void*, uLong)
{
    return 0;
}

ZPOS64_T ZCALLBACK tell_stream(voidpf, voidpf stream)
{
    return static_cast<MemoryStream*>(stream)->at;
}

long ZCALLBACK seek_stream(voidpf, voidpf stream, ZPOS64_T offset, int origin)
{
    MemoryStream& s = *static_cast<MemoryStream*>(stream);
    ZPOS64_T base = 0;
    if (origin == ZLIB_FILEFUNC_SEEK_CUR) {
        base = s.at;
    } else if (origin == ZLIB_FILEFUNC_SEEK_END) {
        base = s.bytes->size();
    }
    if (offset > s.bytes->size() || base + offset > s.bytes->size()) {
        return -1;
    }
    s.at = static_cast<size_t>(base + offset);
    return 0;
}

int ZCALLBACK close_stream(voidpf, voidpf)
{
    return 0;
}

int ZCALLBACK stream_error(voidpf, voidpf)
{
    return 0;
}

}  // namespace

ZipInMemory::ZipInMemory(const std::string& bytes) : stream{&bytes, 0}
{
    zlib_filefunc64_def functions;
    functions.zopen64_file = open_stream;
    functions.zread_file = read_stream;
    functions.zwrite_file = write_stream;
    functions.ztell64_file = tell_stream;
    functions.zseek64_file = seek_stream;
    functions.zclose_file = close_stream;
    functions.zerror_file = stream_error;
    functions.opaque = &stream;
    archive = unzOpen2_64("", &functions);
}

ZipInMemory::~ZipInMemory()
{
    if (archive != nullptr) {
        unzClose(archive);
    }
}

ZipInMemory::Read ZipInMemory::read(const std::string& name, size_t limit, std::string& content)
{
    content.clear();
    const int any_case = 2;
    if (unzLocateFile(archive, name.c_str(), any_case) != UNZ_OK) {
        return Read::missing;
    }
    if (unzOpenCurrentFile(archive) != UNZ_OK) {
        return Read::damaged;
    }
    char buffer[65536];
    for (;;) {
        const int n = unzReadCurrentFile(archive, buffer, sizeof buffer);
        if (n < 0) {
            unzCloseCurrentFile(archive);
            return Read::damaged;
        }
        if (n == 0) {
            break;
        }
        if (content.size() + static_cast<size_t>(n) > limit) {
            unzCloseCurrentFile(archive);
            content.clear();
            return Read::too_large;
        }
        content.append(buffer, static_cast<size_t>(n));
    }
    // The check sum is compared once the whole part is read.
    return unzCloseCurrentFile(archive) == UNZ_OK ? Read::ok : Read::damaged;
}

// Replacing a file's content so that the old content survives any failure:
// the new content goes to a temporary file beside the target, which takes
// the target's place only once it is completely on disk. A settings file
// holds station passwords and SIM PINs, so a new file is readable by its
// owner only, and an existing one keeps its permissions.
#ifndef ZANTOR_DOC_FILE_REPLACE_H
#define ZANTOR_DOC_FILE_REPLACE_H

#include <cstddef>
#include <functional>
#include <string>

#include "doc/file_system.h"

// Writes `bytes` as the new content of `target`. A symbolic link is
// followed: the file it points to is replaced, the link stays. Returns true
// on success; on failure the target is unchanged and `error` says why.
// A new file takes its permissions from `properties_of` when given (a
// backup keeps those of the file it copies).
bool replace_file_content(const char* target, const std::string& bytes, std::string& error,
                          const char* properties_of = nullptr);

// The same, with the content handed over a piece at a time as it is made,
// so that a whole fleet file never needs to be held as one text: `content`
// calls `write` with each piece in order and returns false if it had to
// stop; `write` returns false once writing has failed (`error` says why).
using ContentWriter = std::function<bool(const char* data, size_t size)>;
using ContentSource = std::function<bool(const ContentWriter& write)>;
bool replace_file_content(const char* target, const ContentSource& content, std::string& error,
                          const char* properties_of = nullptr);

// Writes `bytes` as a new file at `path`, never over a file, folder or link
// of that name (name_taken), and never through a link: a file whose whole
// content is on disk takes the name in one step, or none does. Its
// temporary file is one that a later save of the file it was named after
// finds and removes when an interruption left it. It takes the permissions
// of `properties_of` when given. On failure `error` says why.
file_system::Created write_new_file(const char* path, const std::string& bytes, std::string& error,
                                    const char* properties_of = nullptr);

// Temporary files of this target are named "." + name + this + six
// characters; a later save removes those that an interrupted save left,
// never the one of a save still running.
extern const char* const temporary_file_marker;

#endif

// Seams for fault tests of saving. Production code never calls these.
#ifndef ZANTOR_DOC_SAVE_TEST_HOOKS_H
#define ZANTOR_DOC_SAVE_TEST_HOOKS_H

#include <functional>

// After `bytes` bytes, the writes of every following save fail as on a full
// disk; a negative value (the default) removes the limit.
void set_save_write_limit(long long bytes);

// Every following save calls `pause` once its temporary file holds the whole
// content, just before that file takes the target's place; an empty function
// (the default) removes the pause.
void set_save_pause_before_replace(std::function<void()> pause);

#endif

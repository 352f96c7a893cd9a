// Seams for fault tests of saving. Production code never calls these.
#ifndef ZANTOR_DOC_SAVE_TEST_HOOKS_H
#define ZANTOR_DOC_SAVE_TEST_HOOKS_H

// After `bytes` bytes, the writes of every following save fail as on a full
// disk; a negative value (the default) removes the limit.
void set_save_write_limit(long long bytes);

#endif

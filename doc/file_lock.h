// Who may write a settings file now. The editor's Save and every command of
// the fleet tool that writes take the file's lock for the time they read,
// change and write it, so that two writers never both think they wrote: a
// file FILE.lock beside it, created exclusively, holding who took it
// (program, process, user, machine, time), removed on every road out. A
// lock that a process of this machine left when it died is taken over; any
// other is reported with its owner.
#ifndef ZANTOR_DOC_FILE_LOCK_H
#define ZANTOR_DOC_FILE_LOCK_H

#include <string>

// The name of the lock of the file `path` (its link followed): path.lock.
std::string lock_file_of(const std::string& path);

class FileLock {
public:
    FileLock() = default;
    // Lets go of the lock it holds.
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // Takes the lock of `path` for `program` ("zantor-fleet import"),
    // waiting up to `patience_ms` while another writer holds it. In a
    // folder where no lock file can be made (one the user may not write
    // in), the file itself is locked instead, which every writer of ours
    // does the same way. False, with the whole message in `error`, when the
    // lock is another's ("held by zantor-fleet apply, process 4242 of ops
    // on pc-12, since 2026-12-10 14:30:05"). Where no lock can be made at
    // all (a folder gone), true without one: the write that follows fails
    // and says why.
    bool take(const std::string& path, const std::string& program, int patience_ms, std::string& error);

    // Lets go of the lock; nothing when none is held.
    void release();

    bool held() const { return !lock_path.empty() || file_lock >= 0; }

private:
    std::string lock_path;
    long long file_lock = -1;  // the locked file's descriptor or handle, where no lock file could be made
};

#endif

// A lock file held while a program runs. The system lets go of the lock when
// the program ends, however it ends (a crash or SIGKILL too), so a lock file
// that can be locked belongs to no running program. Two programs, or two
// holders in one program, never hold the same lock file at once. Paths are
// UTF-8. POSIX: flock on the open file; Windows: the file open unshared. A
// lock file is opened only when it is a regular file: never through a link,
// never truncated, a pipe in its place never waited on.
#pragma once

#include <string>

class FileLock {
public:
    FileLock() = default;
    ~FileLock(); // lets go of the lock; the file stays
    FileLock(FileLock&& other) noexcept;
    FileLock& operator=(FileLock&& other) noexcept;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // Makes a new lock file at `path`, already locked: it is written beside
    // the path and renamed into place, so no one ever finds it unlocked.
    bool CreateLocked(const std::string& path);
    // Locks the lock file at `path` without waiting (`create`: making it when
    // it is not there). False when someone holds it, or when the path no
    // longer names the file just locked (its holder removed it meanwhile).
    bool TryLock(const std::string& path, bool create = false);
    // Lets go of the lock (the file stays).
    void Release();
    bool Held() const;

private:
#ifdef _WIN32
    void* handle_ = nullptr; // the file open with no sharing
#else
    int fd_ = -1; // the file locked with flock
#endif
};

#include "platform/FileLock.h"

#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int OpenLockFile(const char* path, int flags)
{
    int fd;
    do {
        fd = ::open(path, flags | O_RDWR | O_CLOEXEC, 0600);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

bool LockNow(int fd)
{
    int r;
    do {
        r = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (r != 0 && errno == EINTR);
    return r == 0;
}

// True when `path` names the file open as `fd`.
bool SameFile(int fd, const char* path)
{
    struct stat a {
    }, b{};
    return ::fstat(fd, &a) == 0 && ::stat(path, &b) == 0 && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

} // namespace

FileLock::~FileLock() { Release(); }

FileLock::FileLock(FileLock&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }

FileLock& FileLock::operator=(FileLock&& other) noexcept
{
    if (this != &other) {
        Release();
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

bool FileLock::CreateLocked(const std::string& path)
{
    Release();
    const std::string temp = path + ".new";
    const int fd = OpenLockFile(temp.c_str(), O_CREAT | O_TRUNC);
    if (fd < 0) return false;
    if (!LockNow(fd) || ::rename(temp.c_str(), path.c_str()) != 0) {
        ::close(fd);
        ::unlink(temp.c_str());
        return false;
    }
    fd_ = fd;
    return true;
}

bool FileLock::TryLock(const std::string& path, bool create)
{
    Release();
    const int fd = OpenLockFile(path.c_str(), create ? O_CREAT : 0);
    if (fd < 0) return false;
    if (!LockNow(fd) || !SameFile(fd, path.c_str())) {
        ::close(fd);
        return false;
    }
    fd_ = fd;
    return true;
}

void FileLock::Release()
{
    if (fd_ >= 0) ::close(fd_); // closing lets go of the lock
    fd_ = -1;
}

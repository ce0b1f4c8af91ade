#include "platform/FileLock.h"

#ifdef _WIN32

// Windows: the lock is the file opened with no sharing but deletion: no one
// else can open it while the handle is open, and the system closes the handle
// when the program ends. Paths are UTF-8, made wide for the system.

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace {

std::wstring Wide(const std::string& utf8)
{
    if (utf8.empty()) return {};
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring w(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0) ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), w.data(), n);
    return w;
}

HANDLE OpenExclusive(const std::string& path, DWORD disposition)
{
    return ::CreateFileW(Wide(path).c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_DELETE, nullptr, disposition,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
}

} // namespace

FileLock::~FileLock() { Release(); }

FileLock::FileLock(FileLock&& other) noexcept : handle_(other.handle_) { other.handle_ = nullptr; }

FileLock& FileLock::operator=(FileLock&& other) noexcept
{
    if (this != &other) {
        Release();
        handle_ = other.handle_;
        other.handle_ = nullptr;
    }
    return *this;
}

bool FileLock::CreateLocked(const std::string& path)
{
    Release();
    const HANDLE h = OpenExclusive(path, CREATE_NEW); // held from the moment it exists
    if (h == INVALID_HANDLE_VALUE) return false;
    handle_ = h;
    return true;
}

bool FileLock::TryLock(const std::string& path, bool create)
{
    Release();
    const HANDLE h = OpenExclusive(path, create ? OPEN_ALWAYS : OPEN_EXISTING);
    if (h == INVALID_HANDLE_VALUE) return false; // held by another, or not there
    handle_ = h;
    return true;
}

void FileLock::Release()
{
    if (handle_) ::CloseHandle(static_cast<HANDLE>(handle_));
    handle_ = nullptr;
}

bool FileLock::Held() const { return handle_ != nullptr; }

#else

#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Opens a lock file: never through a link, never waiting on a pipe, never
// truncating; anything but a regular file is refused.
int OpenLockFile(const char* path, int flags)
{
    int fd;
    do {
        fd = ::open(path, flags | O_RDWR | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY, 0600);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return fd;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return -1;
    }
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

// True when `path` itself (not a link) names the file open as `fd`.
bool SameFile(int fd, const char* path)
{
    struct stat a {
    }, b{};
    return ::fstat(fd, &a) == 0 && ::lstat(path, &b) == 0 && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

} // namespace

FileLock::~FileLock() { Release(); }

FileLock::FileLock(FileLock&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }

bool FileLock::Held() const { return fd_ >= 0; }

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
    // A new file of our own: whatever is in its place already is left alone.
    const int fd = OpenLockFile(temp.c_str(), O_CREAT | O_EXCL);
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

#endif

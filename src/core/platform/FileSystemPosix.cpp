// The POSIX file system: file names are passed to the system as they are
// (UTF-8 bytes), every call retried when interrupted.
#ifndef _WIN32

#include "platform/FileSystem.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

FileError Errno() { return SystemFileError(errno); }

class PosixInput : public InputFile {
public:
    explicit PosixInput(int fd) : fd_(fd) {}
    ~PosixInput() override { ::close(fd_); }
    FileError Read(std::uint8_t* data, std::size_t size, std::size_t& got) override
    {
        got = 0;
        while (got < size) {
            const ssize_t n = ::read(fd_, data + got, size - got);
            if (n < 0) {
                if (errno == EINTR) continue;
                return Errno();
            }
            if (n == 0) break;
            got += static_cast<std::size_t>(n);
        }
        return {};
    }

private:
    int fd_;
};

class PosixOutput : public OutputFile {
public:
    explicit PosixOutput(int fd) : fd_(fd) {}
    ~PosixOutput() override
    {
        if (fd_ >= 0) ::close(fd_);
    }
    FileError Write(const std::uint8_t* data, std::size_t size) override
    {
        while (size > 0) {
            const ssize_t n = ::write(fd_, data, size);
            if (n < 0) {
                if (errno == EINTR) continue;
                return Errno();
            }
            if (n == 0) return SystemFileError(ENOSPC);
            data += n;
            size -= static_cast<std::size_t>(n);
        }
        return {};
    }
    FileError Finish() override
    {
        FileError e;
        if (::fsync(fd_) != 0 && errno != EINVAL && errno != EROFS) e = Errno();
        const int fd = fd_;
        fd_ = -1;
        if (::close(fd) != 0 && !e && errno != EINTR) e = Errno();
        return e;
    }

private:
    int fd_;
};

class PosixFileSystem : public FileSystem {
public:
    FileError OpenForReading(const std::string& path, std::unique_ptr<InputFile>& file, long long& size) override
    {
        struct stat st {};
        if (::stat(path.c_str(), &st) != 0) return Errno();
        if (FileError e = RegularFile(st)) return e;
        // Not blocking, in case a pipe took the file's place since.
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
        if (fd < 0) return Errno();
        FileError e;
        if (::fstat(fd, &st) != 0) e = Errno();
        if (!e) e = RegularFile(st);
        const int flags = e ? 0 : ::fcntl(fd, F_GETFL);
        if (!e && (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0)) e = Errno();
        if (e) {
            ::close(fd);
            return e;
        }
        file = std::make_unique<PosixInput>(fd);
        size = static_cast<long long>(st.st_size);
        return {};
    }

    FileError SaveTarget(const std::string& path, std::string& target) override
    {
        target = path;
        std::error_code ec;
        if (std::filesystem::is_symlink(std::filesystem::symlink_status(path, ec))) {
            const auto real = std::filesystem::canonical(path, ec);
            if (!ec) target = real.string();
        }
        if (::access(target.c_str(), F_OK) == 0 && ::access(target.c_str(), W_OK) != 0) return Errno();
        return {};
    }

    FileError CreateBeside(const std::string& target, std::unique_ptr<OutputFile>& file,
                           std::string& temporary) override
    {
        const std::string folder = FolderOf(target);
        for (int attempt = 0; attempt < 100; ++attempt) {
            const std::string name = folder + TemporaryFileName(static_cast<unsigned long long>(::getpid()));
            const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd >= 0) {
                file = std::make_unique<PosixOutput>(fd);
                temporary = name;
                return {};
            }
            if (errno == EEXIST) continue;
            const FileError e = Errno();
            // Some folders (/proc) say there is no such file to any new one.
            struct stat st {};
            if (e.kind == FileErrorKind::NotFound && ::stat(folder.empty() ? "." : folder.c_str(), &st) == 0 &&
                S_ISDIR(st.st_mode))
                return {FileErrorKind::CannotCreate, e.code};
            return e;
        }
        return SystemFileError(EEXIST);
    }

    FileError Replace(const std::string& temporary, const std::string& target) override
    {
        struct stat st {};
        if (::stat(target.c_str(), &st) == 0 && S_ISREG(st.st_mode))
            (void)::chmod(temporary.c_str(), st.st_mode & 07777);
        if (::rename(temporary.c_str(), target.c_str()) != 0) return Errno();
        // Make the new directory entry durable; a failure here loses nothing.
        const std::string folder = FolderOf(target);
        const int dfd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dfd >= 0) {
            (void)::fsync(dfd);
            ::close(dfd);
        }
        return {};
    }

    void Remove(const std::string& path) override { ::unlink(path.c_str()); }

private:
    static FileError RegularFile(const struct stat& st)
    {
        if (S_ISDIR(st.st_mode)) return SystemFileError(EISDIR);
        if (!S_ISREG(st.st_mode)) return {FileErrorKind::NotAFile, 0};
        return {};
    }
    // The folder part of a path with its "/", or "" for a bare name.
    static std::string FolderOf(const std::string& path)
    {
        const auto slash = path.rfind('/');
        return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    }
};

} // namespace

FileError SystemFileError(int code)
{
    using K = FileErrorKind;
    switch (code) {
    case 0: return {};
    case ENOENT: return {K::NotFound, code};
    case ENOTDIR:
    case ENAMETOOLONG:
    case EINVAL:
    case ELOOP: return {K::BadName, code};
    case EMFILE:
    case ENFILE: return {K::TooManyOpen, code};
    case EACCES:
    case EPERM: return {K::AccessDenied, code};
    case EROFS: return {K::ReadOnly, code};
    case EISDIR: return {K::IsFolder, code};
    case ETXTBSY:
    case EBUSY: return {K::InUse, code};
    case EEXIST: return {K::NoTemporary, code};
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return {K::DiskFull, code};
    default: return {K::Other, code};
    }
}

FileSystem& SystemFileSystem()
{
    static PosixFileSystem system;
    return system;
}

#endif

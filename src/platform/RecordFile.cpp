#include "platform/RecordFile.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

RecordFileFault gFault;

// Writes all of `size` bytes, retrying interrupted and partial writes.
// Returns 0 or the errno value.
int WriteAll(int fd, const std::uint8_t* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (n == 0) return ENOSPC;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return 0;
}

// Reads up to `size` bytes; returns the count read (less at the end of the
// file) or -1 with errno set.
ssize_t ReadAll(int fd, std::uint8_t* data, std::size_t size)
{
    std::size_t got = 0;
    while (got < size) {
        const ssize_t n = ::read(fd, data + got, size - got);
        if (n < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    return static_cast<ssize_t>(got);
}

// The file a save really replaces: a symbolic link is followed so that the
// link stays a link.
std::string ResolveTarget(const std::string& path)
{
    std::error_code ec;
    if (std::filesystem::is_symlink(std::filesystem::symlink_status(path, ec))) {
        const auto real = std::filesystem::canonical(path, ec);
        if (!ec) return real.string();
    }
    return path;
}

std::string TempNameBeside(const std::string& target, unsigned attempt)
{
    static std::atomic<unsigned> counter{0};
    const std::filesystem::path p(target);
    const auto stamp = static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
    char suffix[64];
    std::snprintf(suffix, sizeof suffix, ".%ld.%u.%llx.%u.tmp", static_cast<long>(::getpid()), counter.fetch_add(1),
                  stamp & 0xFFFFFFull, attempt);
    std::filesystem::path name = p.parent_path() / ("." + p.filename().string() + suffix);
    return name.string();
}

} // namespace

std::string IoErrorText(int error)
{
    switch (error) {
    case ENOENT: return io_message::kFileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case EINVAL:
    case ELOOP: return io_message::kInvalidFilename;
    case EMFILE:
    case ENFILE: return io_message::kTooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY:
    case EBUSY:
    case EEXIST: return io_message::kAccessDenied;
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return io_message::kDiskFull;
    default: return "I/O error " + std::to_string(error);
    }
}

std::string IoErrorReason(int error, bool writing)
{
    switch (error) {
    case 0: return writing ? "it could not be written completely" : "it ended too soon";
    case ENOENT: return writing ? "its folder does not exist" : "the file does not exist";
    case EACCES:
    case EPERM:
        return writing ? "Permission denied (you may not write to this file or its folder)"
                       : "Permission denied (you may not read this file)";
    case EROFS: return "the disk is read-only";
    case EISDIR: return "it is a folder";
    case ETXTBSY:
    case EBUSY: return "it is in use";
    case EEXIST: return "no temporary file could be made beside it";
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return "the disk is full";
    case EMFILE:
    case ENFILE: return "too many files are open";
    case ENOTDIR:
    case ENAMETOOLONG:
    case EINVAL:
    case ELOOP: return "that is not a valid file name";
    default: return writing ? "the system could not write it" : "the system could not read it";
    }
}

void SetRecordFileFault(const RecordFileFault& fault) { gFault = fault; }
void ClearRecordFileFault() { gFault = RecordFileFault{}; }

// ---------------------------------------------------------------- writer
RecordWriter::~RecordWriter() { Abandon(); }

bool RecordWriter::Fail(int error)
{
    error_ = IoErrorText(error);
    errno_ = error;
    Abandon();
    return false;
}

bool RecordWriter::Create(const std::string& path)
{
    Abandon();
    error_.clear();
    errno_ = 0;
    written_ = 0;
    if (path.empty()) return Fail(ENOENT);
    if (gFault.createError) return Fail(gFault.createError);
    target_ = ResolveTarget(path);
    // A file the user may not write is not replaced behind its back.
    if (::access(target_.c_str(), F_OK) == 0 && ::access(target_.c_str(), W_OK) != 0) return Fail(errno);
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
        const std::string name = TempNameBeside(target_, attempt);
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            fd_ = fd;
            temp_ = name;
            return true;
        }
        if (errno != EEXIST) return Fail(errno);
    }
    return Fail(EEXIST);
}

bool RecordWriter::Write(const RecordBytes& record) { return WriteBytes(record.data(), record.size()); }

bool RecordWriter::WriteBytes(const std::uint8_t* data, std::size_t size)
{
    if (fd_ < 0) return Fail(EBADF);
    ++written_;
    if (gFault.writeError && written_ == gFault.writeAtRecord) {
        // Leave a half-written record behind, as a full disk would.
        (void)WriteAll(fd_, data, size / 2);
        return Fail(gFault.writeError);
    }
    const int e = WriteAll(fd_, data, size);
    if (e) return Fail(e);
    return true;
}

bool WriteWholeFile(const std::string& path, const std::uint8_t* data, std::size_t size, std::string& error)
{
    constexpr std::size_t kPart = 64 * 1024;
    RecordWriter w;
    bool ok = w.Create(path);
    for (std::size_t at = 0; ok && at < size; at += kPart) ok = w.WriteBytes(data + at, std::min(kPart, size - at));
    if (ok) ok = w.Commit();
    if (!ok) error = w.Error();
    return ok;
}

bool SaveTextFile(const std::string& path, const std::string& text, std::string& error)
{
    return WriteWholeFile(path, reinterpret_cast<const std::uint8_t*>(text.data()), text.size(), error);
}

bool RecordWriter::Commit()
{
    if (fd_ < 0) return Fail(EBADF);
    // Keep the permissions of a file being replaced.
    struct stat st {};
    if (::stat(target_.c_str(), &st) == 0 && S_ISREG(st.st_mode)) (void)::fchmod(fd_, st.st_mode & 07777);
    int e = 0;
    if (::fsync(fd_) != 0 && errno != EINVAL && errno != EROFS) e = errno;
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0 && e == 0 && errno != EINTR) e = errno;
    if (e == 0 && gFault.closeError) e = gFault.closeError;
    if (e) return Fail(e);
    if (gFault.renameError) return Fail(gFault.renameError);
    if (::rename(temp_.c_str(), target_.c_str()) != 0) return Fail(errno);
    temp_.clear();
    // Make the new directory entry durable; a failure here loses nothing.
    const std::string dir = std::filesystem::path(target_).parent_path().string();
    const int dfd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        (void)::fsync(dfd);
        ::close(dfd);
    }
    return true;
}

void RecordWriter::Abandon()
{
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!temp_.empty()) {
        ::unlink(temp_.c_str());
        temp_.clear();
    }
}

// ---------------------------------------------------------------- reader
RecordReader::~RecordReader() { Close(); }

bool RecordReader::Fail(int error)
{
    error_ = IoErrorText(error);
    errno_ = error;
    return false;
}

bool RecordReader::Open(const std::string& path)
{
    Close();
    error_.clear();
    errno_ = 0;
    records_ = 0;
    bytes_ = 0;
    read_ = 0;
    if (path.empty()) return Fail(ENOENT);
    if (gFault.openError) return Fail(gFault.openError);
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return Fail(errno);
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        const int e = errno;
        ::close(fd);
        return Fail(e);
    }
    if (S_ISDIR(st.st_mode)) {
        ::close(fd);
        return Fail(EISDIR);
    }
    fd_ = fd;
    bytes_ = S_ISREG(st.st_mode) ? static_cast<long long>(st.st_size) : 0;
    records_ = static_cast<long>(bytes_ / static_cast<long long>(kRecordBytes));
    return true;
}

bool RecordReader::Read(RecordBytes& record)
{
    if (fd_ < 0) return Fail(EBADF);
    ++read_;
    if (gFault.readError && read_ == gFault.readAtRecord) return Fail(gFault.readError);
    const ssize_t n = ReadAll(fd_, record.data(), record.size());
    if (n < 0) return Fail(errno);
    if (static_cast<std::size_t>(n) < record.size()) {
        error_ = io_message::kEndOfFile;
        errno_ = 0;
        return false;
    }
    return true;
}

void RecordReader::Close()
{
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

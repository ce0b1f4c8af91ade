#include "platform/PrivateFiles.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

fs::path PathOf(const std::string& utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }

std::string Quoted(const std::string& folder) { return "\"" + folder + "\""; }

} // namespace

bool IsPrivateRegularFile(const std::string& path)
{
    std::error_code ec;
    return fs::symlink_status(PathOf(path), ec).type() == fs::file_type::regular;
}

#ifdef _WIN32

#include <fstream>
#include <iterator>

bool UsePrivateFolder(const std::string& folder, std::string& why)
{
    std::error_code ec;
    fs::create_directories(PathOf(folder), ec);
    const fs::file_status st = fs::symlink_status(PathOf(folder), ec);
    if (fs::is_symlink(st)) {
        why = Quoted(folder) + " is a link, not a folder";
        return false;
    }
    if (!fs::is_directory(st)) {
        why = Quoted(folder) + " is not a folder";
        return false;
    }
    why.clear();
    return true;
}

bool ReadPrivateFile(const std::string& path, std::string& text, std::size_t limit)
{
    text.clear();
    if (!IsPrivateRegularFile(path)) return false;
    std::ifstream in(PathOf(path), std::ios::binary);
    if (!in) return false;
    std::istreambuf_iterator<char> it(in), end;
    for (; it != end && text.size() < limit; ++it) text += *it;
    return true;
}

#else

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool UsePrivateFolder(const std::string& folder, std::string& why)
{
    why.clear();
    std::error_code ec;
    const fs::path p = PathOf(folder);
    if (p.has_parent_path()) fs::create_directories(p.parent_path(), ec);
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        why = Quoted(folder) + " cannot be made: " + std::strerror(errno);
        return false;
    }
    struct stat st {};
    if (::lstat(folder.c_str(), &st) != 0) {
        why = Quoted(folder) + " cannot be used: " + std::strerror(errno);
        return false;
    }
    if (S_ISLNK(st.st_mode)) {
        why = Quoted(folder) + " is a link, not a folder";
        return false;
    }
    if (!S_ISDIR(st.st_mode)) {
        why = Quoted(folder) + " is not a folder";
        return false;
    }
    if (st.st_uid != ::geteuid()) {
        why = Quoted(folder) + " belongs to another user";
        return false;
    }
    if ((st.st_mode & 0077) != 0) {
        char mode[8];
        std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(st.st_mode & 07777));
        why = Quoted(folder) + " may be read by others (mode " + mode + "); \"chmod 700\" makes it yours alone";
        return false;
    }
    return true;
}

bool ReadPrivateFile(const std::string& path, std::string& text, std::size_t limit)
{
    text.clear();
    // No link is followed and a pipe is never waited on; what is open is
    // read only when it is a regular file.
    int fd;
    do {
        fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return false;
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    char buffer[4096];
    while (ok && text.size() < limit) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) ok = false;
        if (n <= 0) break;
        text.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    if (text.size() > limit) text.resize(limit);
    if (!ok) text.clear();
    return ok;
}

#endif

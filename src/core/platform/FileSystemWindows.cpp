// The Windows file system: UTF-8 paths become wide ones for the system's
// wide-character calls (long ones get the "\\?\" form, so that a long name in
// a deep folder is still reached); a new file is flushed to the disk and moved
// over its target with MoveFileExW, which replaces it in one step.
#ifdef _WIN32

#include "platform/FileSystem.h"

#include <algorithm>
#include <string>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace {

FileError LastError() { return SystemFileError(static_cast<int>(::GetLastError())); }

// UTF-8 to UTF-16; false for bytes that are not UTF-8 or a NUL inside.
bool Widen(const std::string& utf8, std::wstring& wide)
{
    wide.clear();
    if (utf8.empty()) return true;
    if (utf8.find('\0') != std::string::npos) return false;
    const int n =
        ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    if (n <= 0) return false;
    wide.resize(static_cast<std::size_t>(n));
    return ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), static_cast<int>(utf8.size()), wide.data(),
                                 n) == n;
}

// The path as the wide calls take it: absolute, and in the "\\?\" form when it
// is longer than the old limit of MAX_PATH characters.
bool SystemPath(const std::string& utf8, std::wstring& path)
{
    std::wstring wide;
    if (!Widen(utf8, wide) || wide.empty()) return false;
    if (wide.rfind(L"\\\\?\\", 0) == 0) {
        path = wide;
        return true;
    }
    const DWORD n = ::GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (n == 0) return false;
    std::wstring full(n, L'\0');
    const DWORD got = ::GetFullPathNameW(wide.c_str(), n, full.data(), nullptr);
    if (got == 0 || got >= n) return false;
    full.resize(got);
    if (full.size() < MAX_PATH - 12) // room for a temporary name beside it, too
        path = full;
    else if (full.rfind(L"\\\\", 0) == 0)
        path = L"\\\\?\\UNC\\" + full.substr(2);
    else
        path = L"\\\\?\\" + full;
    return true;
}

const FileError kBadName{FileErrorKind::BadName, ERROR_INVALID_NAME};
constexpr int kDiskQuotaExceeded = 1295; // ERROR_DISK_QUOTA_EXCEEDED, not in every winerror.h

class WindowsInput : public InputFile {
public:
    explicit WindowsInput(HANDLE h) : h_(h) {}
    ~WindowsInput() override { ::CloseHandle(h_); }
    FileError Read(std::uint8_t* data, std::size_t size, std::size_t& got) override
    {
        got = 0;
        while (got < size) {
            DWORD n = 0;
            const DWORD want = static_cast<DWORD>(std::min<std::size_t>(size - got, 1u << 30));
            if (!::ReadFile(h_, data + got, want, &n, nullptr)) return LastError();
            if (n == 0) break;
            got += n;
        }
        return {};
    }

private:
    HANDLE h_;
};

class WindowsOutput : public OutputFile {
public:
    explicit WindowsOutput(HANDLE h) : h_(h) {}
    ~WindowsOutput() override
    {
        if (h_ != INVALID_HANDLE_VALUE) ::CloseHandle(h_);
    }
    FileError Write(const std::uint8_t* data, std::size_t size) override
    {
        while (size > 0) {
            DWORD n = 0;
            const DWORD want = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
            if (!::WriteFile(h_, data, want, &n, nullptr)) return LastError();
            if (n == 0) return SystemFileError(ERROR_DISK_FULL);
            data += n;
            size -= n;
        }
        return {};
    }
    FileError Finish() override
    {
        FileError e;
        if (!::FlushFileBuffers(h_)) e = LastError();
        const HANDLE h = h_;
        h_ = INVALID_HANDLE_VALUE;
        if (!::CloseHandle(h) && !e) e = LastError();
        return e;
    }

private:
    HANDLE h_;
};

class WindowsFileSystem : public FileSystem {
public:
    FileError OpenForReading(const std::string& utf8, std::unique_ptr<InputFile>& file, long long& size) override
    {
        std::wstring path;
        if (utf8.empty()) return SystemFileError(ERROR_FILE_NOT_FOUND);
        if (!SystemPath(utf8, path)) return kBadName;
        const DWORD attributes = ::GetFileAttributesW(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
            return {FileErrorKind::IsFolder, 0};
        // Opening never waits on Windows (a busy pipe fails at once); what is
        // not a disk file is refused before anything is read from it.
        const HANDLE h =
            ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
        if (h == INVALID_HANDLE_VALUE) return LastError();
        LARGE_INTEGER bytes{};
        FileError e;
        if (::GetFileType(h) != FILE_TYPE_DISK)
            e = {FileErrorKind::NotAFile, 0};
        else if (!::GetFileSizeEx(h, &bytes))
            e = LastError();
        if (e) {
            ::CloseHandle(h);
            return e;
        }
        file = std::make_unique<WindowsInput>(h);
        size = bytes.QuadPart;
        return {};
    }

    FileError SaveTarget(const std::string& utf8, std::string& target) override
    {
        target = utf8;
        std::wstring path;
        if (utf8.empty()) return SystemFileError(ERROR_PATH_NOT_FOUND);
        if (!SystemPath(utf8, path)) return kBadName;
        const DWORD attributes = ::GetFileAttributesW(path.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) return {};
        if (attributes & FILE_ATTRIBUTE_DIRECTORY) return {FileErrorKind::IsFolder, 0};
        if (attributes & FILE_ATTRIBUTE_READONLY) return SystemFileError(ERROR_ACCESS_DENIED);
        return {};
    }

    FileError CreateBeside(const std::string& target, std::unique_ptr<OutputFile>& file,
                           std::string& temporary) override
    {
        const auto cut = target.find_last_of("/\\");
        const std::string folder = cut == std::string::npos ? std::string() : target.substr(0, cut + 1);
        for (int attempt = 0; attempt < 100; ++attempt) {
            const std::string name = folder + TemporaryFileName(::GetCurrentProcessId());
            std::wstring path;
            if (!SystemPath(name, path)) return kBadName;
            const HANDLE h =
                ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
            if (h != INVALID_HANDLE_VALUE) {
                file = std::make_unique<WindowsOutput>(h);
                temporary = name;
                return {};
            }
            const DWORD e = ::GetLastError();
            if (e != ERROR_FILE_EXISTS && e != ERROR_ALREADY_EXISTS) return SystemFileError(static_cast<int>(e));
        }
        return SystemFileError(ERROR_FILE_EXISTS);
    }

    FileError Replace(const std::string& temporary, const std::string& target) override
    {
        std::wstring from, to;
        if (!SystemPath(temporary, from) || !SystemPath(target, to)) return kBadName;
        if (!::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return LastError();
        return {};
    }

    void Remove(const std::string& utf8) override
    {
        std::wstring path;
        if (SystemPath(utf8, path)) ::DeleteFileW(path.c_str());
    }
};

} // namespace

FileError SystemFileError(int code)
{
    using K = FileErrorKind;
    switch (code) {
    case ERROR_SUCCESS: return {};
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME: return {K::NotFound, code};
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_DIRECTORY:
    case ERROR_NO_UNICODE_TRANSLATION: return {K::BadName, code};
    case ERROR_TOO_MANY_OPEN_FILES: return {K::TooManyOpen, code};
    case ERROR_ACCESS_DENIED:
    case ERROR_PRIVILEGE_NOT_HELD: return {K::AccessDenied, code};
    case ERROR_WRITE_PROTECT: return {K::ReadOnly, code};
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_BUSY: return {K::InUse, code};
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return {K::NoTemporary, code};
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
    case kDiskQuotaExceeded: return {K::DiskFull, code};
    default: return {K::Other, code};
    }
}

FileSystem& SystemFileSystem()
{
    static WindowsFileSystem system;
    return system;
}

#endif

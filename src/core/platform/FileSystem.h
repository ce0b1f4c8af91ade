// The program's access to files, as one interface: the system's own
// (SystemFileSystem: POSIX calls, or the Windows API with wide paths) for the
// program, doubles for the tests, which make operations fail where the real
// disk cannot be made to (a full disk, a failing close) or watch them.
//
// Paths are UTF-8 whatever the system. Only what the record files need is
// here: open a regular file and read it, and write a new file under a short
// temporary name beside a target, then put it in the target's place in one
// step. Failures come back as a FileError: what went wrong in the program's
// terms, with the system's number behind it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

enum class FileErrorKind {
    None,
    EndOfFile,    // a read past the end of the file
    NotFound,     // no such file; when writing, no such folder
    CannotCreate, // the folder exists, but no file can be made in it
    BadName,      // not a valid file name (too long, a part that is no folder...)
    AccessDenied, // the user may not read or write it
    ReadOnly,     // the disk is read-only
    IsFolder,
    NotAFile, // a pipe, a device, a socket: nothing a design can be read from
    InUse,
    NoTemporary, // no free temporary name beside the target
    DiskFull,
    TooManyOpen,
    Other, // anything else; `code` tells which
};

struct FileError {
    FileErrorKind kind = FileErrorKind::None;
    int code = 0; // the system's number (errno, or a Windows error code); 0 if none
    explicit operator bool() const { return kind != FileErrorKind::None; }
    bool operator==(const FileError&) const = default;
};

// The error a system number stands for: an errno value on POSIX systems, a
// GetLastError() value on Windows.
FileError SystemFileError(int code);

// Standard input/output message texts.
namespace io_message {
inline constexpr const char* kFileNotFound = "File not found";
inline constexpr const char* kInvalidFilename = "Invalid filename";
inline constexpr const char* kTooManyOpenFiles = "Too many open files";
inline constexpr const char* kAccessDenied = "File access denied";
inline constexpr const char* kEndOfFile = "Read beyond end of file";
inline constexpr const char* kDiskFull = "Disk full";
} // namespace io_message

// The standard message of an error ("I/O error N" for the others).
std::string IoErrorText(const FileError& error);

// The reason in plain words, to follow "Cannot open "x":" or "Cannot save
// "x":" ("the file does not exist", "Permission denied (...)", "the disk is
// full"...). `writing` tells a save from an open.
std::string IoErrorReason(const FileError& error, bool writing);

// The reason is all a user needs: the standard message adds only the number
// of a failure the program has no words for.
bool IoErrorReasonSaysAll(const FileError& error);

// A file open for reading.
class InputFile {
public:
    virtual ~InputFile() = default;
    // Reads `size` bytes, fewer only at the end of the file; `got` is the count.
    virtual FileError Read(std::uint8_t* data, std::size_t size, std::size_t& got) = 0;
};

// A new file being written; destroying it closes it.
class OutputFile {
public:
    virtual ~OutputFile() = default;
    // Appends all of `size` bytes.
    virtual FileError Write(const std::uint8_t* data, std::size_t size) = 0;
    // Flushes the contents to the disk and closes the file.
    virtual FileError Finish() = 0;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;

    // Opens a regular file for reading, with its size in bytes. A folder, a
    // pipe or a device is refused before anything could wait for it.
    virtual FileError OpenForReading(const std::string& path, std::unique_ptr<InputFile>& file, long long& size) = 0;

    // The file a save of `path` replaces (on POSIX systems a symbolic link is
    // followed, so that the link stays a link). An existing file the user may
    // not write is refused: it is not replaced behind its back.
    virtual FileError SaveTarget(const std::string& path, std::string& target) = 0;

    // Creates a new, empty file under a short temporary name in the folder of
    // `target`, unique between processes and threads; `temporary` is its path.
    virtual FileError CreateBeside(const std::string& target, std::unique_ptr<OutputFile>& file,
                                   std::string& temporary) = 0;

    // Puts the finished file `temporary` in the place of `target` in one step
    // (an existing target keeps its permissions), durably.
    virtual FileError Replace(const std::string& temporary, const std::string& target) = 0;

    // Removes a file; a failure is not reported.
    virtual void Remove(const std::string& path) = 0;
};

// The system's file access: POSIX or Windows, chosen when the program is built.
FileSystem& SystemFileSystem();

// A new temporary file name for CreateBeside in process number `process`:
// never the same twice in a process, whichever thread asks, and at most 40
// characters whatever the target's name, so that a target with the longest
// name the system allows still has a temporary file beside it.
std::string TemporaryFileName(unsigned long long process);

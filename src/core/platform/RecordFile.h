// Binary files of fixed 20-byte records, with every operation checked; the
// same safe replacement for files written whole (exported pictures, text tables).
// Both go through a FileSystem: the system's unless the caller gives another.
//
// Writing never touches the target until the end: RecordWriter writes into a
// temporary file beside the target and Commit() flushes, closes and renames it
// over the target only when every record was written and the close succeeded.
// A failed or abandoned write removes the temporary and leaves any existing
// target byte for byte as it was.
//
// Failures are reported with the system's standard input/output texts ("File
// not found", "File access denied", "Disk full", "Read beyond end of file"...)
// and with the FileError behind them, from which IoErrorReason gives the
// reason in plain words.
#pragma once

#include "platform/FileSystem.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

inline constexpr std::size_t kRecordBytes = 20;
using RecordBytes = std::array<std::uint8_t, kRecordBytes>;

// Writes a new file of records to replace `path` atomically.
class RecordWriter {
public:
    explicit RecordWriter(FileSystem& files = SystemFileSystem()) : files_(files) {}
    ~RecordWriter(); // abandons an uncommitted file
    RecordWriter(const RecordWriter&) = delete;
    RecordWriter& operator=(const RecordWriter&) = delete;

    // Creates the temporary file beside `path`.
    bool Create(const std::string& path);
    // Appends one record.
    bool Write(const RecordBytes& record);
    // Appends `size` bytes.
    bool WriteBytes(const std::uint8_t* data, std::size_t size);
    // Flushes and closes the temporary file, then renames it over the target.
    bool Commit();
    // Closes and removes the temporary file; the target is untouched.
    void Abandon();

    // Standard message of the last failure, and the error behind it.
    const std::string& Error() const { return error_; }
    const FileError& Cause() const { return cause_; }

private:
    bool Fail(const FileError& error);

    FileSystem& files_;
    std::unique_ptr<OutputFile> file_;
    std::string target_;
    std::string temp_;
    std::string error_;
    FileError cause_;
};

// Writes `size` bytes as the new content of `path`, through a temporary file
// that replaces it only when complete (in parts of 64 KiB). On failure nothing
// is left behind and `error` holds the standard message.
bool WriteWholeFile(const std::string& path, const std::uint8_t* data, std::size_t size, std::string& error,
                    FileSystem& files = SystemFileSystem());

// The same for a whole text file.
bool SaveTextFile(const std::string& path, const std::string& text, std::string& error,
                  FileSystem& files = SystemFileSystem());

// Reads an existing regular file record by record.
class RecordReader {
public:
    explicit RecordReader(FileSystem& files = SystemFileSystem()) : files_(files) {}
    RecordReader(const RecordReader&) = delete;
    RecordReader& operator=(const RecordReader&) = delete;

    // Refuses a folder, a pipe or a device (FileErrorKind::IsFolder, NotAFile).
    bool Open(const std::string& path);
    // Size in whole records (a trailing part-record does not count), and in bytes.
    long SizeInRecords() const { return static_cast<long>(bytes_ / static_cast<long long>(kRecordBytes)); }
    long long SizeInBytes() const { return bytes_; }
    // Reads the next record; past the end it fails with "Read beyond end of file".
    bool Read(RecordBytes& record);
    void Close() { file_.reset(); }

    // Standard message of the last failure, and the error behind it
    // (FileErrorKind::EndOfFile for a read past the end of the file).
    const std::string& Error() const { return error_; }
    const FileError& Cause() const { return cause_; }

private:
    bool Fail(const FileError& error);

    FileSystem& files_;
    std::unique_ptr<InputFile> file_;
    long long bytes_ = 0;
    std::string error_;
    FileError cause_;
};

// Binary files of fixed 20-byte records, with every operation checked; the
// same safe replacement for files written whole (exported pictures, text tables).
//
// Writing never touches the target until the end: RecordWriter writes into a
// temporary file beside the target and Commit() flushes, closes and renames it
// over the target only when every record was written and the close succeeded.
// A failed or abandoned write removes the temporary and leaves any existing
// target byte for byte as it was.
//
// Failures are reported with the system's standard input/output texts ("File
// not found", "File access denied", "Disk full", "Read beyond end of file"...)
// and with the errno value behind them, from which IoErrorReason gives the
// reason in plain words.
//
// Tests can inject a failure into the next operations (SetRecordFileFault):
// the process may run with privileges that make permission-based failures
// impossible to provoke.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

inline constexpr std::size_t kRecordBytes = 20;
using RecordBytes = std::array<std::uint8_t, kRecordBytes>;

// Standard input/output message texts.
namespace io_message {
inline constexpr const char* kFileNotFound = "File not found";
inline constexpr const char* kInvalidFilename = "Invalid filename";
inline constexpr const char* kTooManyOpenFiles = "Too many open files";
inline constexpr const char* kAccessDenied = "File access denied";
inline constexpr const char* kEndOfFile = "Read beyond end of file";
inline constexpr const char* kDiskFull = "Disk full";
} // namespace io_message

// Standard message text for an errno value ("I/O error N" for the rest).
std::string IoErrorText(int error);

// The reason behind an errno value in plain words, to follow "Cannot open
// "x":" or "Cannot save "x":" ("the file does not exist", "Permission denied
// (...)", "the disk is full"...). `writing` tells a save from an open.
std::string IoErrorReason(int error, bool writing);

// Failure injection. A non-zero errno value makes the matching operation
// fail with that error (and the operation's usual clean-up).
struct RecordFileFault {
    int createError = 0; // creating the temporary file
    int writeError = 0;  // writing record number writeAtRecord (1-based)
    long writeAtRecord = 1;
    int closeError = 0;  // closing the written file (before the rename)
    int renameError = 0; // replacing the target
    int openError = 0;   // opening a file for reading
    int readError = 0;   // reading record number readAtRecord (1-based)
    long readAtRecord = 1;
};
void SetRecordFileFault(const RecordFileFault& fault);
void ClearRecordFileFault();

// Writes a new file of records to replace `path` atomically.
class RecordWriter {
public:
    RecordWriter() = default;
    ~RecordWriter(); // abandons an uncommitted file
    RecordWriter(const RecordWriter&) = delete;
    RecordWriter& operator=(const RecordWriter&) = delete;

    // Creates the temporary file beside `path`.
    bool Create(const std::string& path);
    // Appends one record.
    bool Write(const RecordBytes& record);
    // Appends `size` bytes; counts as one record for the failure injection.
    bool WriteBytes(const std::uint8_t* data, std::size_t size);
    // Flushes and closes the temporary file, then renames it over the target.
    bool Commit();
    // Closes and removes the temporary file; the target is untouched.
    void Abandon();

    // Standard message of the last failure, and its errno value.
    const std::string& Error() const { return error_; }
    int ErrorNumber() const { return errno_; }

private:
    bool Fail(int error);

    int fd_ = -1;
    std::string target_;
    std::string temp_;
    long written_ = 0;
    std::string error_;
    int errno_ = 0;
};

// Writes `size` bytes as the new content of `path`, through a temporary file
// that replaces it only when complete (in parts of 64 KiB, each one record
// for the failure injection). On failure nothing is left behind and `error`
// holds the standard message.
bool WriteWholeFile(const std::string& path, const std::uint8_t* data, std::size_t size, std::string& error);

// The same for a whole text file.
bool SaveTextFile(const std::string& path, const std::string& text, std::string& error);

// Reads an existing file record by record.
class RecordReader {
public:
    RecordReader() = default;
    ~RecordReader();
    RecordReader(const RecordReader&) = delete;
    RecordReader& operator=(const RecordReader&) = delete;

    bool Open(const std::string& path);
    // Size in whole records (a trailing part-record does not count), and in
    // bytes (0 for what is not a regular file).
    long SizeInRecords() const { return records_; }
    long long SizeInBytes() const { return bytes_; }
    // Reads the next record; past the end it fails with "Read beyond end of file".
    bool Read(RecordBytes& record);
    void Close();

    // Standard message of the last failure, and its errno value (0 for a
    // read past the end of the file).
    const std::string& Error() const { return error_; }
    int ErrorNumber() const { return errno_; }

private:
    bool Fail(int error);

    int fd_ = -1;
    long records_ = 0;
    long long bytes_ = 0;
    long read_ = 0;
    std::string error_;
    int errno_ = 0;
};

#include "platform/FileSystem.h"

#include <atomic>
#include <chrono>
#include <cstdio>

std::string IoErrorText(const FileError& error)
{
    using K = FileErrorKind;
    switch (error.kind) {
    case K::None: return {};
    case K::EndOfFile: return io_message::kEndOfFile;
    case K::NotFound: return io_message::kFileNotFound;
    case K::BadName: return io_message::kInvalidFilename;
    case K::TooManyOpen: return io_message::kTooManyOpenFiles;
    case K::CannotCreate:
    case K::AccessDenied:
    case K::ReadOnly:
    case K::IsFolder:
    case K::NotAFile:
    case K::InUse:
    case K::NoTemporary: return io_message::kAccessDenied;
    case K::DiskFull: return io_message::kDiskFull;
    case K::Other: break;
    }
    return "I/O error " + std::to_string(error.code);
}

std::string IoErrorReason(const FileError& error, bool writing)
{
    using K = FileErrorKind;
    switch (error.kind) {
    case K::None:
    case K::EndOfFile: return writing ? "it could not be written completely" : "it ended too soon";
    case K::NotFound: return writing ? "its folder does not exist" : "the file does not exist";
    case K::CannotCreate: return "no file can be made in its folder";
    case K::AccessDenied:
        return writing ? "Permission denied (you may not write to this file or its folder)"
                       : "Permission denied (you may not read this file)";
    case K::ReadOnly: return "the disk is read-only";
    case K::IsFolder: return "it is a folder";
    case K::NotAFile: return "it is a pipe or a device, not a file";
    case K::InUse: return "it is in use";
    case K::NoTemporary: return "no temporary file could be made beside it";
    case K::DiskFull: return "the disk is full";
    case K::TooManyOpen: return "too many files are open";
    case K::BadName: return "that is not a valid file name";
    case K::Other: break;
    }
    return writing ? "the system could not write it" : "the system could not read it";
}

bool IoErrorReasonSaysAll(const FileError& error) { return error.kind != FileErrorKind::Other; }

std::string TemporaryFileName(unsigned long long process)
{
    static std::atomic<unsigned> serial{0};
    // The clock tells apart processes of the same number on different
    // machines writing into one shared folder.
    const auto stamp = static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count());
    char name[64];
    std::snprintf(name, sizeof name, ".quelf-%llx-%x-%x.tmp", process, serial.fetch_add(1), stamp & 0xFFFu);
    return name;
}

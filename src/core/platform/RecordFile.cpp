#include "platform/RecordFile.h"

#include <algorithm>

// ---------------------------------------------------------------- writer
RecordWriter::~RecordWriter() { Abandon(); }

bool RecordWriter::Fail(const FileError& error)
{
    error_ = IoErrorText(error);
    cause_ = error;
    Abandon();
    return false;
}

bool RecordWriter::Create(const std::string& path)
{
    Abandon();
    error_.clear();
    cause_ = {};
    if (path.empty()) return Fail({FileErrorKind::NotFound, 0});
    if (FileError e = files_.SaveTarget(path, target_)) return Fail(e);
    if (FileError e = files_.CreateBeside(target_, file_, temp_)) return Fail(e);
    return true;
}

bool RecordWriter::Write(const RecordBytes& record) { return WriteBytes(record.data(), record.size()); }

bool RecordWriter::WriteBytes(const std::uint8_t* data, std::size_t size)
{
    if (!file_) return Fail({FileErrorKind::Other, 0});
    if (FileError e = file_->Write(data, size)) return Fail(e);
    return true;
}

bool RecordWriter::Commit()
{
    if (!file_) return Fail({FileErrorKind::Other, 0});
    if (FileError e = file_->Finish()) return Fail(e);
    file_.reset();
    if (FileError e = files_.Replace(temp_, target_)) return Fail(e);
    temp_.clear();
    return true;
}

void RecordWriter::Abandon()
{
    file_.reset();
    if (!temp_.empty()) {
        files_.Remove(temp_);
        temp_.clear();
    }
}

bool WriteWholeFile(const std::string& path, const std::uint8_t* data, std::size_t size, std::string& error,
                    FileSystem& files)
{
    constexpr std::size_t kPart = 64 * 1024;
    RecordWriter w(files);
    bool ok = w.Create(path);
    for (std::size_t at = 0; ok && at < size; at += kPart) ok = w.WriteBytes(data + at, std::min(kPart, size - at));
    if (ok) ok = w.Commit();
    if (!ok) error = w.Error();
    return ok;
}

bool SaveTextFile(const std::string& path, const std::string& text, std::string& error, FileSystem& files)
{
    return WriteWholeFile(path, reinterpret_cast<const std::uint8_t*>(text.data()), text.size(), error, files);
}

// ---------------------------------------------------------------- reader
bool RecordReader::Fail(const FileError& error)
{
    error_ = IoErrorText(error);
    cause_ = error;
    return false;
}

bool RecordReader::Open(const std::string& path)
{
    Close();
    error_.clear();
    cause_ = {};
    bytes_ = 0;
    if (path.empty()) return Fail({FileErrorKind::NotFound, 0});
    long long bytes = 0;
    if (FileError e = files_.OpenForReading(path, file_, bytes)) return Fail(e);
    bytes_ = bytes;
    return true;
}

bool RecordReader::Read(RecordBytes& record)
{
    if (!file_) return Fail({FileErrorKind::Other, 0});
    std::size_t got = 0;
    if (FileError e = file_->Read(record.data(), record.size(), got)) return Fail(e);
    if (got < record.size()) return Fail({FileErrorKind::EndOfFile, 0});
    return true;
}

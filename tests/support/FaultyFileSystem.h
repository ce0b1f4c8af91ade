// A file system for tests: the system's own, except where a test makes an
// operation fail (a full disk, a failing close or rename cannot be provoked
// on the real disk, least of all by a process that may write anything). It
// keeps the names of the temporary files it made.
//
//   FaultyFileSystem files;
//   files.faults.write = {FileErrorKind::DiskFull};
//   files.faults.writeAt = 35;     // the 35th write into a new file fails
//   SaveNativeFile(s, path, files);
#pragma once

#include "platform/FileSystem.h"

#include <memory>
#include <mutex>
#include <string>
#include <vector>

class FaultyFileSystem : public FileSystem {
public:
    struct Faults {
        FileError open; // opening a file to read
        FileError read; // read number readAt (1-based) from an opened file
        long readAt = 1;
        FileError create; // making the temporary file
        FileError write;  // write number writeAt (1-based) into it; half of its bytes go first, as on a full disk
        long writeAt = 1;
        FileError finish;  // flushing and closing it
        FileError replace; // putting it in the target's place
    };
    Faults faults;

    std::vector<std::string> Temporaries() const
    {
        const std::lock_guard<std::mutex> hold(lock_);
        return temporaries_;
    }

    FileError OpenForReading(const std::string& path, std::unique_ptr<InputFile>& file, long long& size) override
    {
        if (faults.open) return faults.open;
        std::unique_ptr<InputFile> real;
        if (FileError e = real_.OpenForReading(path, real, size)) return e;
        file = std::make_unique<Input>(std::move(real), faults.read, faults.readAt);
        return {};
    }
    FileError SaveTarget(const std::string& path, std::string& target) override
    {
        return real_.SaveTarget(path, target);
    }
    FileError CreateBeside(const std::string& target, std::unique_ptr<OutputFile>& file,
                           std::string& temporary) override
    {
        if (faults.create) return faults.create;
        std::unique_ptr<OutputFile> real;
        if (FileError e = real_.CreateBeside(target, real, temporary)) return e;
        {
            const std::lock_guard<std::mutex> hold(lock_);
            temporaries_.push_back(temporary);
        }
        file = std::make_unique<Output>(std::move(real), faults);
        return {};
    }
    FileError Replace(const std::string& temporary, const std::string& target) override
    {
        if (faults.replace) return faults.replace;
        return real_.Replace(temporary, target);
    }
    void Remove(const std::string& path) override { real_.Remove(path); }

private:
    class Input : public InputFile {
    public:
        Input(std::unique_ptr<InputFile> real, FileError fault, long at)
            : real_(std::move(real)), fault_(fault), at_(at)
        {}
        FileError Read(std::uint8_t* data, std::size_t size, std::size_t& got) override
        {
            if (fault_ && ++reads_ == at_) return fault_;
            return real_->Read(data, size, got);
        }

    private:
        std::unique_ptr<InputFile> real_;
        FileError fault_;
        long at_;
        long reads_ = 0;
    };

    class Output : public OutputFile {
    public:
        Output(std::unique_ptr<OutputFile> real, const Faults& f) : real_(std::move(real)), faults_(f) {}
        FileError Write(const std::uint8_t* data, std::size_t size) override
        {
            if (faults_.write && ++writes_ == faults_.writeAt) {
                (void)real_->Write(data, size / 2);
                return faults_.write;
            }
            return real_->Write(data, size);
        }
        FileError Finish() override
        {
            const FileError e = real_->Finish();
            return e ? e : faults_.finish;
        }

    private:
        std::unique_ptr<OutputFile> real_;
        Faults faults_;
        long writes_ = 0;
    };

    FileSystem& real_ = SystemFileSystem();
    mutable std::mutex lock_;
    std::vector<std::string> temporaries_;
};

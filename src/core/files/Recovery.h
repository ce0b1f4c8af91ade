// Crash recovery: while a design has unsaved changes, the running program
// keeps a copy of it in its own recovery file, so that a program that dies
// (a crash, a kill, a power cut) loses nothing the next start cannot offer
// back.
//
// In the user's state folder ($XDG_STATE_HOME/quelf, else
// ~/.local/state/quelf) each running program has its own files, named by its
// process id and a start stamp, "quelf-<pid>-<stamp>":
//   .lock  made at start and held locked (FileLock) until the program ends;
//   .vgw   the changed design, a native design file written through a
//          temporary file that replaces it whole;
//   .txt   what the design file cannot hold: the design's name and the file
//          it came from ("name=", "file=" lines).
// A lock file nobody holds belongs to a program that no longer runs; the
// next program to lock it owns what is left, so two programs started at once
// never both offer the same design.
#pragma once

#include "model/AppState.h"
#include "platform/FileLock.h"
#include "platform/FileSystem.h"

#include <string>
#include <vector>

// The folder for the given $XDG_STATE_HOME and home folder (an empty or
// relative XDG_STATE_HOME is not used).
std::string RecoveryFolder(const std::string& xdgStateHome, const std::string& home);

// "quelf-<pid>-<stamp>".
std::string RecoveryBaseName(long long pid, long long stamp);
// The base of a file name of the folder, "quelf-<pid>-<stamp>" of
// "quelf-<pid>-<stamp>.<ext>" with ext lock, vgw or txt; empty for any other name.
std::string RecoveryBaseOf(const std::string& fileName);

// What the design file of a recovery cannot hold.
struct RecoveryInfo {
    std::string name;       // the data set name
    std::string file;       // the design's current file; empty for none
    std::string stamp = {}; // that file as the program last opened or saved it (FileStampOf); empty for none
};

// The size and time of the last change of a file, as a text that differs
// whenever the file was written since ("" when there is no such file).
std::string FileStampOf(const std::string& path);
// One "key=value" line each; a backslash and a line break in a value are
// written "\\" and "\n".
std::string RecoveryInfoText(const RecoveryInfo& info);
RecoveryInfo ParseRecoveryInfo(const std::string& text);

// What a program that no longer runs left behind, locked by this program
// until it is recovered or discarded.
struct RecoveryLeftover {
    std::string base;        // folder and base name, without the extension
    RecoveryInfo info;       // from the .txt file (the name "Nominal" when it is missing)
    long long writtenAt = 0; // the design file's modification time, seconds since 1970
    FileLock lock;
    std::string DesignPath() const { return base + ".vgw"; }
};

// This program's own recovery files.
class RecoveryStore {
public:
    RecoveryStore() = default;
    ~RecoveryStore(); // Stop()
    RecoveryStore(const RecoveryStore&) = delete;
    RecoveryStore& operator=(const RecoveryStore&) = delete;

    // Makes the folder (for the user alone) and this program's lock file.
    // Paths are UTF-8; the design and its info are written through `files`.
    bool Start(const std::string& folder, long long pid, long long stamp, FileSystem& files = SystemFileSystem());
    bool Started() const { return lock_.Held(); }
    // Why the last Start failed, in words naming the folder ("" after a
    // Start that succeeded).
    const std::string& Problem() const { return problem_; }
    const std::string& Base() const { return base_; }
    std::string DesignPath() const { return base_ + ".vgw"; }

    // Writes the design and its info (the info first, the design replacing
    // its file whole), on a copy of the state: the data set name stays. The
    // one call that writes recovery files.
    bool Write(const AppState& s, const RecoveryInfo& info, std::string& error);
    bool Written() const { return written_; }
    // Removes the design and its info.
    void Remove();
    // Remove(), then the lock file, and lets go of the lock.
    void Stop();

    // The leftovers of programs that no longer run, newest first, each one
    // locked by this program; left-over lock files without a design are
    // removed. This program's own files are never among them.
    std::vector<RecoveryLeftover> ClaimLeftovers() const;

private:
    FileSystem* files_ = nullptr;
    std::string folder_;
    std::string base_;
    FileLock lock_;
    bool written_ = false;
    std::string problem_;
};

// Removes a leftover's files (design, info, then its lock file) and lets go
// of its lock.
void DiscardLeftover(RecoveryLeftover& leftover);

// Keeps a leftover that cannot be loaded out of the way: its design and info
// renamed "quelf-<pid>-<stamp>-unreadable.vgw" and ".txt" (names no program
// offers again), its lock file removed. Returns the design's new path ("" when
// it could not be renamed: then it stays where it was).
std::string SetLeftoverAside(RecoveryLeftover& leftover);

#include "files/Recovery.h"

#include "files/NativeFile.h"
#include "platform/PrivateFiles.h"
#include "platform/RecordFile.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <filesystem>
#include <sstream>

namespace fs = std::filesystem;

namespace {

// Paths are UTF-8 on every system.
fs::path PathOf(const std::string& utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }
std::string Utf8(const fs::path& p)
{
    const std::u8string u = p.u8string();
    return std::string(u.begin(), u.end());
}

constexpr const char* kPrefix = "quelf-";

bool AllDigits(const std::string& s)
{
    return !s.empty() && std::all_of(s.begin(), s.end(), [](unsigned char c) { return std::isdigit(c) != 0; });
}

// "quelf-<pid>-<stamp>": both numbers of digits.
bool IsBaseName(const std::string& base)
{
    if (base.rfind(kPrefix, 0) != 0) return false;
    const std::string rest = base.substr(std::char_traits<char>::length(kPrefix));
    const auto dash = rest.find('-');
    return dash != std::string::npos && AllDigits(rest.substr(0, dash)) && AllDigits(rest.substr(dash + 1));
}

std::string Escape(const std::string& v)
{
    std::string out;
    for (char c : v) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '\n')
            out += "\\n";
        else
            out += c;
    }
    return out;
}

std::string Unescape(const std::string& v)
{
    std::string out;
    for (std::size_t i = 0; i < v.size(); ++i) {
        if (v[i] == '\\' && i + 1 < v.size()) {
            ++i;
            out += v[i] == 'n' ? '\n' : v[i];
        } else {
            out += v[i];
        }
    }
    return out;
}

// The text of a regular file; empty for anything else (a link, a pipe).
std::string ReadText(const std::string& path)
{
    std::string text;
    ReadPrivateFile(path, text);
    return text;
}

void RemoveFile(const std::string& path)
{
    std::error_code ec;
    fs::remove(PathOf(path), ec);
}

// Seconds since 1970 of a file's last change; false when it is not there,
// or not a regular file of its own.
bool WrittenAt(const std::string& path, long long& seconds)
{
    if (!IsPrivateRegularFile(path)) return false;
    std::error_code ec;
    const fs::file_time_type t = fs::last_write_time(PathOf(path), ec);
    if (ec) return false;
    const auto sys = std::chrono::file_clock::to_sys(t);
    seconds = std::chrono::duration_cast<std::chrono::seconds>(sys.time_since_epoch()).count();
    return true;
}

} // namespace

std::string RecoveryFolder(const std::string& xdgStateHome, const std::string& home)
{
    // A relative XDG_STATE_HOME is to be ignored; a rooted one is taken (on
    // Windows "/state" is on the current drive).
    if (!xdgStateHome.empty() && PathOf(xdgStateHome).has_root_directory()) return Utf8(PathOf(xdgStateHome) / "quelf");
    return Utf8(PathOf(home) / ".local" / "state" / "quelf");
}

std::string RecoveryBaseName(long long pid, long long stamp)
{
    return kPrefix + std::to_string(pid) + "-" + std::to_string(stamp);
}

std::string RecoveryBaseOf(const std::string& fileName)
{
    const auto dot = fileName.rfind('.');
    if (dot == std::string::npos) return "";
    const std::string ext = fileName.substr(dot + 1), base = fileName.substr(0, dot);
    if (ext != "lock" && ext != "vgw" && ext != "txt") return "";
    return IsBaseName(base) ? base : "";
}

std::string RecoveryInfoText(const RecoveryInfo& info)
{
    std::string text = "name=" + Escape(info.name) + "\nfile=" + Escape(info.file) + "\n";
    if (!info.stamp.empty()) text += "stamp=" + Escape(info.stamp) + "\n";
    return text;
}

std::string FileStampOf(const std::string& path)
{
    if (path.empty()) return "";
    std::error_code ec;
    const fs::path p = PathOf(path);
    const auto size = fs::file_size(p, ec);
    if (ec) return "";
    const auto time = fs::last_write_time(p, ec);
    if (ec) return "";
    return std::to_string(size) + " " + std::to_string(time.time_since_epoch().count());
}

RecoveryInfo ParseRecoveryInfo(const std::string& text)
{
    RecoveryInfo info;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        // A line end of a text editor on Windows; a \r of a value is never raw.
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.rfind("name=", 0) == 0) info.name = Unescape(line.substr(5));
        if (line.rfind("file=", 0) == 0) info.file = Unescape(line.substr(5));
        if (line.rfind("stamp=", 0) == 0) info.stamp = Unescape(line.substr(6));
    }
    return info;
}

// ---------------------------------------------------------------- this program's files
RecoveryStore::~RecoveryStore() { Stop(); }

bool RecoveryStore::Start(const std::string& folder, long long pid, long long stamp, FileSystem& files)
{
    Stop();
    // For the user alone: the designs may be private, and no one else may
    // put a link or a pipe where the program reads and writes.
    if (!UsePrivateFolder(folder, problem_)) return false;
    files_ = &files;
    folder_ = folder;
    base_ = Utf8(PathOf(folder) / RecoveryBaseName(pid, stamp));
    if (!lock_.CreateLocked(base_ + ".lock")) {
        problem_ = "\"" + base_ + ".lock\" cannot be made";
        base_.clear();
        return false;
    }
    return true;
}

bool RecoveryStore::Write(const AppState& s, const RecoveryInfo& info, std::string& error)
{
    if (!Started()) return false;
    if (!SaveTextFile(base_ + ".txt", RecoveryInfoText(info), error, *files_)) return false;
    AppState copy = s; // the save names the design after its file: not this one
    const DesignFileResult r = SaveNativeFile(copy, DesignPath(), *files_);
    if (!r.ok) {
        error = r.error;
        return false;
    }
    written_ = true;
    return true;
}

void RecoveryStore::Remove()
{
    if (base_.empty()) return;
    RemoveFile(DesignPath());
    RemoveFile(base_ + ".txt");
    written_ = false;
}

void RecoveryStore::Stop()
{
    if (!Started()) return;
    Remove();
    RemoveFile(base_ + ".lock");
    lock_.Release();
    base_.clear();
}

std::vector<RecoveryLeftover> RecoveryStore::ClaimLeftovers() const
{
    std::vector<RecoveryLeftover> out;
    if (folder_.empty()) return out;
    std::vector<std::string> bases;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(PathOf(folder_), ec)) {
        // Only regular files of their own are anybody's recovery files.
        if (!entry.is_regular_file(ec) || entry.is_symlink(ec)) continue;
        const std::string base = RecoveryBaseOf(Utf8(entry.path().filename()));
        if (base.empty()) continue;
        const std::string full = Utf8(PathOf(folder_) / base);
        if (full != base_ && std::find(bases.begin(), bases.end(), full) == bases.end()) bases.push_back(full);
    }
    for (const std::string& base : bases) {
        RecoveryLeftover left;
        left.base = base;
        const std::string lockPath = base + ".lock";
        // Held: its program runs (or another program has just claimed it).
        // A design without a lock file lost it by hand: whoever locks the
        // new one first owns it.
        if (!left.lock.TryLock(lockPath, true)) continue;
        if (!WrittenAt(left.DesignPath(), left.writtenAt)) {
            DiscardLeftover(left); // a program that ended before it wrote anything
            continue;
        }
        left.info = ParseRecoveryInfo(ReadText(base + ".txt"));
        if (left.info.name.empty()) left.info.name = "Nominal";
        out.push_back(std::move(left));
    }
    std::sort(out.begin(), out.end(),
              [](const RecoveryLeftover& a, const RecoveryLeftover& b) { return a.writtenAt > b.writtenAt; });
    return out;
}

void DiscardLeftover(RecoveryLeftover& leftover)
{
    RemoveFile(leftover.DesignPath());
    RemoveFile(leftover.base + ".txt");
    RemoveFile(leftover.base + ".lock");
    leftover.lock.Release();
}

std::string SetLeftoverAside(RecoveryLeftover& leftover)
{
    const std::string aside = leftover.base + "-unreadable";
    std::error_code ec;
    fs::rename(PathOf(leftover.DesignPath()), PathOf(aside + ".vgw"), ec);
    if (ec) {
        leftover.lock.Release();
        return "";
    }
    fs::rename(PathOf(leftover.base + ".txt"), PathOf(aside + ".txt"), ec);
    RemoveFile(leftover.base + ".lock");
    leftover.lock.Release();
    return aside + ".vgw";
}

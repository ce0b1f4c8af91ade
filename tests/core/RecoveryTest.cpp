// The recovery files of running programs and of programs that died.
#include "files/Recovery.h"

#include "files/NativeFile.h"
#include "model/Model.h"
#include "platform/FileLock.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <future>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// A folder as the program makes it: the user's alone.
void MakePrivate(const fs::path& p)
{
    fs::create_directories(p);
    fs::permissions(p, fs::perms::owner_all, fs::perm_options::replace);
}

struct RecoveryFolderTest : ::testing::Test {
    fs::path dir;
    void SetUp() override
    {
        dir = fs::temp_directory_path() / ("quelf-recovery-" + std::to_string(::getpid()) + "-" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    std::vector<std::string> Files() const
    {
        std::vector<std::string> out;
        for (const auto& e : fs::directory_iterator(dir)) out.push_back(e.path().filename().string());
        std::sort(out.begin(), out.end());
        return out;
    }
    // What a program that died leaves: a lock file nobody holds and, when
    // it had written, its design and info.
    void LeaveBehind(long long pid, long long stamp, const AppState* design, const RecoveryInfo& info)
    {
        MakePrivate(dir);
        const std::string base = (dir / RecoveryBaseName(pid, stamp)).string();
        std::ofstream(base + ".lock").flush();
        if (!design) return;
        AppState copy = *design;
        ASSERT_TRUE(SaveNativeFile(copy, base + ".vgw").ok);
        std::ofstream(base + ".txt") << RecoveryInfoText(info);
    }
};

} // namespace

TEST(Recovery, FolderAndNames)
{
    // As paths: the separator is the system's.
    EXPECT_EQ(fs::path(RecoveryFolder("/run/state", "/home/u")), fs::path("/run/state/quelf"));
    EXPECT_EQ(fs::path(RecoveryFolder("", "/home/u")), fs::path("/home/u/.local/state/quelf"));
    EXPECT_EQ(fs::path(RecoveryFolder("relative/state", "/home/u")), fs::path("/home/u/.local/state/quelf"));
    EXPECT_EQ(RecoveryBaseName(4242, 1700000000123), "quelf-4242-1700000000123");
    const struct {
        const char* file;
        const char* base;
    } names[] = {
        {"quelf-12-345.vgw", "quelf-12-345"},
        {"quelf-12-345.lock", "quelf-12-345"},
        {"quelf-12-345.txt", "quelf-12-345"},
        {"quelf-12-345.lock.new", ""},
        {"quelf-12-345.vgw.tmp", ""},
        {"quelf-12.vgw", ""},
        {"quelf-x-345.vgw", ""},
        {"other-12-345.vgw", ""},
        {"quelf-12-345", ""},
    };
    for (const auto& n : names) EXPECT_EQ(RecoveryBaseOf(n.file), n.base) << n.file;
}

TEST(Recovery, InfoReadsBackWhatWasWritten)
{
    const RecoveryInfo cases[] = {{"Nominal", ""}, {"my gear", "/home/u/my gear.vgw"}, {"a\\b\nc", "/x/\nname=y.vgw"}};
    for (const RecoveryInfo& info : cases) {
        const RecoveryInfo back = ParseRecoveryInfo(RecoveryInfoText(info));
        EXPECT_EQ(back.name, info.name);
        EXPECT_EQ(back.file, info.file);
    }
    EXPECT_EQ(RecoveryInfoText({"g", "/f.vgw"}), "name=g\nfile=/f.vgw\n");
    // Windows line ends, as a text editor there writes them.
    const RecoveryInfo crlf = ParseRecoveryInfo("name=my gear\r\nfile=C:/d/my gear.vgw\r\n");
    EXPECT_EQ(crlf.name, "my gear");
    EXPECT_EQ(crlf.file, "C:/d/my gear.vgw");
}

TEST(Recovery, ALockIsHeldByOneHolderAtATime)
{
    const fs::path p = fs::temp_directory_path() / ("quelf-lock-" + std::to_string(::getpid()));
    fs::remove(p);
    FileLock a, b;
    EXPECT_FALSE(b.TryLock(p.string())); // no file yet
    ASSERT_TRUE(a.CreateLocked(p.string()));
    EXPECT_FALSE(fs::exists(p.string() + ".new"));
    EXPECT_FALSE(b.TryLock(p.string()));
    a.Release();
    EXPECT_TRUE(b.TryLock(p.string()));
    EXPECT_FALSE(a.TryLock(p.string()));
    FileLock c = std::move(b);
    EXPECT_FALSE(b.Held());
#ifndef _WIN32
    // A holder that removed its file and a new file in its place: the old
    // open file is not the file the path names. (On Windows the name of a
    // file held open cannot be taken again until it is closed.)
    fs::remove(p);
    std::ofstream(p.string()) << "";
    c.Release();
    EXPECT_TRUE(a.TryLock(p.string()));
#else
    c.Release();
#endif
    fs::remove(p);
}

TEST_F(RecoveryFolderTest, AProgramKeepsItsDesignAndLeavesNothingAtItsEnd)
{
    AppState s;
    StartupModel(s);
    s.gear.Stroke = 4.25f;
    s.display.DataSetName = "mine";
    RecoveryStore store;
    ASSERT_TRUE(store.Start((dir / "quelf").string(), 77, 123));
#ifndef _WIN32
    EXPECT_EQ((fs::status(dir / "quelf").permissions() & fs::perms::all), fs::perms::owner_all);
#endif
    dir /= "quelf";
    EXPECT_EQ(Files(), std::vector<std::string>{"quelf-77-123.lock"});
    std::string error;
    ASSERT_TRUE(store.Write(s, {"mine", "/d/mine.vgw"}, error)) << error;
    EXPECT_EQ(s.display.DataSetName, "mine"); // the save did not rename the design
    EXPECT_EQ(Files(), (std::vector<std::string>{"quelf-77-123.lock", "quelf-77-123.txt", "quelf-77-123.vgw"}));
    AppState back;
    StartupModel(back);
    ASSERT_TRUE(OpenNativeFile(back, store.DesignPath()).ok);
    EXPECT_EQ(back.gear.Stroke, 4.25f);
    // A running program's files are no one's leftovers.
    RecoveryStore other;
    ASSERT_TRUE(other.Start(dir.string(), 78, 1));
    EXPECT_TRUE(other.ClaimLeftovers().empty());
    EXPECT_TRUE(store.ClaimLeftovers().empty());
    store.Remove();
    EXPECT_EQ(Files(), (std::vector<std::string>{"quelf-77-123.lock", "quelf-78-1.lock"}));
    store.Stop();
    other.Stop();
    EXPECT_TRUE(Files().empty());
}

TEST_F(RecoveryFolderTest, WhatADeadProgramLeftIsClaimedOnceNewestFirst)
{
    AppState s;
    StartupModel(s);
    LeaveBehind(10, 1, &s, {"older", "/a.vgw"});
    LeaveBehind(11, 2, nullptr, {});
    LeaveBehind(12, 3, &s, {"newer", ""});
    fs::last_write_time(dir / "quelf-10-1.vgw", fs::last_write_time(dir / "quelf-12-3.vgw") - std::chrono::hours(1));

    RecoveryStore first, second;
    ASSERT_TRUE(first.Start(dir.string(), 20, 5));
    ASSERT_TRUE(second.Start(dir.string(), 21, 5));
    std::vector<RecoveryLeftover> claimed = first.ClaimLeftovers();
    ASSERT_EQ(claimed.size(), 2u);
    EXPECT_EQ(claimed[0].info.name, "newer");
    EXPECT_EQ(claimed[1].info.name, "older");
    EXPECT_EQ(claimed[1].info.file, "/a.vgw");
    EXPECT_EQ(claimed[0].DesignPath(), (dir / "quelf-12-3.vgw").string());
    EXPECT_FALSE(fs::exists(dir / "quelf-11-2.lock")); // nothing written: removed
    // Claimed by the first: the second program started at the same time sees none.
    EXPECT_TRUE(second.ClaimLeftovers().empty());
    DiscardLeftover(claimed[0]);
    claimed[1].lock.Release(); // not answered: kept for the next start
    std::vector<RecoveryLeftover> again = second.ClaimLeftovers();
    ASSERT_EQ(again.size(), 1u);
    EXPECT_EQ(again[0].info.name, "older");
    DiscardLeftover(again[0]);
    first.Stop();
    second.Stop();
    EXPECT_TRUE(Files().empty());
}

#ifndef _WIN32
// The recovery folder is used only when it is a folder of the user's alone;
// anything else is refused with the reason, and left as it was.
TEST_F(RecoveryFolderTest, TheFolderIsUsedOnlyWhenItIsTheUsersAlone)
{
    const fs::path folder = dir / "quelf";
    const auto mode = [](fs::perms p) {
        return [p](const fs::path& f) {
            fs::create_directory(f);
            fs::permissions(f, p, fs::perm_options::replace);
        };
    };
    using P = fs::perms;
    struct Case {
        const char* what;
        std::function<void(const fs::path&)> make;
        const char* refusal; // empty: used
    };
    std::vector<Case> cases = {
        {"missing: made for the user alone", [](const fs::path&) {}, ""},
        {"the user's alone", mode(P::owner_all), ""},
        {"open to the group", mode(P::owner_all | P::group_read | P::group_exec), "(mode 0750)"},
        {"open to everyone", mode(P::owner_all | P::group_read | P::others_read | P::others_exec), "(mode 0745)"},
        {"a link to a folder of the user's alone",
         [&](const fs::path& f) {
             MakePrivate(dir / "elsewhere");
             fs::create_directory_symlink(dir / "elsewhere", f);
         },
         "is a link"},
        {"a file", [](const fs::path& f) { std::ofstream(f.string()) << "x"; }, "is not a folder"},
    };
    if (::geteuid() == 0)
        cases.push_back({"another user's",
                         [&](const fs::path& f) {
                             mode(P::owner_all)(f);
                             ASSERT_EQ(::chown(f.c_str(), 65534, 65534), 0);
                         },
                         "belongs to another user"});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(dir);
        fs::create_directories(dir);
        c.make(folder);
        const auto before = fs::symlink_status(folder).permissions();
        RecoveryStore store;
        const bool used = store.Start(folder.string(), 5, 6);
        EXPECT_EQ(used, *c.refusal == 0) << store.Problem();
        if (used) {
            EXPECT_EQ(fs::status(folder).permissions() & P::all, P::owner_all);
            EXPECT_TRUE(fs::exists(folder / "quelf-5-6.lock"));
            EXPECT_EQ(store.Problem(), "");
        } else {
            EXPECT_NE(store.Problem().find(c.refusal), std::string::npos) << store.Problem();
            EXPECT_NE(store.Problem().find(folder.string()), std::string::npos) << store.Problem();
            EXPECT_EQ(fs::symlink_status(folder).permissions(), before);
            EXPECT_FALSE(fs::exists(dir / "elsewhere" / "quelf-5-6.lock"));
        }
        store.Stop();
    }
}

// A lock file is never opened through a link, never truncated, and a pipe or
// a folder in its place is refused at once.
TEST_F(RecoveryFolderTest, LockFilesAreNeitherFollowedNorTruncatedNorWaitedFor)
{
    MakePrivate(dir);
    const fs::path victim = dir / "victim.vgw", lock = dir / "quelf-1-2.lock";
    const struct {
        const char* what;
        std::function<void()> make;
        std::function<bool(FileLock&)> lockIt;
    } cases[] = {
        {"a link in the lock file's place", [&] { fs::create_symlink(victim, lock); },
         [&](FileLock& l) { return l.TryLock(lock.string()); }},
        {"a link in the lock file's place, made if missing", [&] { fs::create_symlink(victim, lock); },
         [&](FileLock& l) { return l.TryLock(lock.string(), true); }},
        {"a link where a new lock file is first written", [&] { fs::create_symlink(victim, lock.string() + ".new"); },
         [&](FileLock& l) { return l.CreateLocked(lock.string()); }},
        {"a pipe in the lock file's place", [&] { ASSERT_EQ(::mkfifo(lock.c_str(), 0600), 0); },
         [&](FileLock& l) { return l.TryLock(lock.string(), true); }},
        {"a folder in the lock file's place", [&] { fs::create_directory(lock); },
         [&](FileLock& l) { return l.TryLock(lock.string(), true); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        for (const auto& e : fs::directory_iterator(dir)) fs::remove_all(e.path());
        std::ofstream(victim.string()) << "a design of the user's";
        c.make();
        FileLock l;
        auto attempt = std::async(std::launch::async, [&] { return c.lockIt(l); });
        ASSERT_EQ(attempt.wait_for(std::chrono::seconds(10)), std::future_status::ready) << "waited on the pipe";
        EXPECT_FALSE(attempt.get());
        EXPECT_FALSE(l.Held());
        std::ifstream in(victim.string());
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "a design of the user's");
    }
}

// What a dead program left is read from regular files only: a pipe or a link
// in place of one of its files neither hangs the start nor is followed.
TEST_F(RecoveryFolderTest, ALeftoverIsReadFromRegularFilesOnly)
{
    AppState s;
    StartupModel(s);
    const fs::path base = dir / "quelf-10-1";
    const auto file = [&](const char* ext) { return fs::path(base.string() + ext); };
    const auto pipe = [&](const char* ext) {
        return [&, ext] {
            fs::remove(file(ext));
            ASSERT_EQ(::mkfifo(file(ext).c_str(), 0600), 0);
        };
    };
    const struct {
        const char* what;
        std::function<void()> make;
        int offered;      // leftovers offered
        const char* name; // the name the first one is offered under
    } cases[] = {
        {"all regular", [] {}, 1, "left"},
        {"the info a pipe", pipe(".txt"), 1, "Nominal"},
        {"the info a link to another's info",
         [&] {
             std::ofstream((dir / "other.txt").string()) << RecoveryInfoText({"stolen", "/etc/passwd"});
             fs::remove(file(".txt"));
             fs::create_symlink(dir / "other.txt", file(".txt"));
         },
         1, "Nominal"},
        {"the design a pipe", pipe(".vgw"), 0, ""},
        {"the lock file a pipe", pipe(".lock"), 0, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(dir);
        LeaveBehind(10, 1, &s, {"left", "/d/left.vgw"});
        c.make();
        RecoveryStore store;
        ASSERT_TRUE(store.Start(dir.string(), 20, 5)) << store.Problem();
        auto claim = std::async(std::launch::async, [&] { return store.ClaimLeftovers(); });
        if (claim.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
            // Let the read that waits on the pipe end, then fail.
            const int fd = ::open(file(".txt").c_str(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0) ::close(fd);
            ADD_FAILURE() << "the start waited on a pipe";
        }
        std::vector<RecoveryLeftover> left = claim.get();
        ASSERT_EQ(static_cast<int>(left.size()), c.offered);
        if (c.offered) {
            EXPECT_EQ(left[0].info.name, c.name);
        }
        for (RecoveryLeftover& l : left) DiscardLeftover(l);
        store.Stop();
    }
}
#endif

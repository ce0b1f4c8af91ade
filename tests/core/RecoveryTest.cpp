// The recovery files of running programs and of programs that died.
#include "files/Recovery.h"

#include "files/NativeFile.h"
#include "model/Model.h"
#include "platform/FileLock.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <unistd.h>

namespace fs = std::filesystem;

namespace {

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
        fs::create_directories(dir);
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

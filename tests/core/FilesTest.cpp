// Design files: the record file layer over the file system, the native .vgw
// writer and reader and the older .vgd import. Faults the disk cannot be made
// to show are made by FaultyFileSystem; tests that need POSIX things (file
// modes, symbolic links, pipes, devices, /proc) run on POSIX systems only, and
// their Windows counterparts (devices, long paths) on Windows only.
#include "drawing/FrameDrawing.h"
#include "files/DesignValues.h"
#include "files/FileMessages.h"
#include "files/NativeFile.h"
#include "files/OlderFile.h"
#include "model/Model.h"
#include "model/NumberText.h"
#include "platform/RecordFile.h"
#include "platform/RecordingCanvas.h"
#include "support/FaultyFileSystem.h"

#include <gtest/gtest.h>

#include <bit>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <random>
#include <string>
#include <thread>
#include <vector>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

unsigned long ProcessNumber()
{
#ifdef _WIN32
    return ::GetCurrentProcessId();
#else
    return static_cast<unsigned long>(::getpid());
#endif
}

// A path as the files take it: UTF-8 on every system.
std::string Utf8(const fs::path& p)
{
    const std::u8string u = p.u8string();
    return std::string(u.begin(), u.end());
}
fs::path FromUtf8(const std::string& s) { return fs::path(std::u8string(s.begin(), s.end())); }

AppState Started()
{
    AppState s;
    StartupModel(s);
    return s;
}

using Bytes = std::vector<std::uint8_t>;

Bytes ReadFileBytes(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const fs::path& p, const Bytes& b)
{
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
}

Bytes RecordsToBytes(const std::vector<NativeRecord>& records, std::size_t extraBytes = 0)
{
    Bytes b;
    for (const NativeRecord& r : records) {
        const RecordBytes e = EncodeRecord(r);
        b.insert(b.end(), e.begin(), e.end());
    }
    for (std::size_t k = 0; k < extraBytes; ++k) b.push_back(static_cast<std::uint8_t>(0xA5 + k));
    return b;
}

Bytes Le(float v)
{
    const auto u = std::bit_cast<std::uint32_t>(v);
    return {static_cast<std::uint8_t>(u), static_cast<std::uint8_t>(u >> 8), static_cast<std::uint8_t>(u >> 16),
            static_cast<std::uint8_t>(u >> 24)};
}

std::uint32_t Bits(float v) { return std::bit_cast<std::uint32_t>(v); }

// A directory of its own for each test, removed afterwards; no injected
// fault survives a test.
class FilesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir = fs::temp_directory_path() / ("quelf-files-" + std::to_string(ProcessNumber()) + "-" + info->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    // `name` is UTF-8.
    std::string P(const std::string& name) const { return Utf8(dir / FromUtf8(name)); }
    std::vector<std::string> DirEntries() const
    {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir)) names.push_back(Utf8(e.path().filename()));
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path dir;
    FaultyFileSystem files; // the system's, unless a test sets a fault
};

// Every stored value of a design, picked at random (finite values; the
// overlay's kinds, colours and references within their own ranges).
AppState RandomDesign(std::mt19937& rng)
{
    AppState s = Started();
    std::uniform_real_distribution<float> any(-40.0f, 40.0f);
    std::uniform_real_distribution<float> positive(0.2f, 30.0f);
    Gear& g = s.gear;
    for (float* f : {&g.CrankDiskDia, &g.Stroke, &g.EccCircleDiam, &g.EccentricDiam, &g.MainRodLength, &g.EccRodLength,
                     &g.ValveRodLength, &g.RevHeadUpper, &g.RevHeadArmLower, &g.EccStrapLower, &g.EccStrapHorz,
                     &g.EccStrapUpper, &g.RockerLower, &g.RockerUpperHorz, &g.RevArmNormal, &g.RevArmMax})
        *f = positive(rng);
    g.EccAngleDeg = any(rng);
    g.RockerUpperVert = any(rng);
    for (int i : {3, 4, 8, 9, 15}) {
        g.PointX[i] = any(rng);
        g.PointY[i] = any(rng);
    }
    for (float& c : g.CylDims) c = positive(rng);
    for (float& r : g.RevArm) r = any(rng);
    g.RevArmPos = any(rng);
    View& v = s.view;
    v.ViewScale = positive(rng);
    v.ViewOffsetX = any(rng) * 10;
    v.ViewOffsetY = any(rng) * 10;
    v.GraphicZoom = positive(rng);
    for (float& p : v.PresetTable) p = any(rng) * 20;
    s.graph.GraphRevArmPos = any(rng);
    s.graph.GraphVerticalScale = positive(rng);
    std::uniform_int_distribution<int> kind(-1, 1), colour(0, 5), ref(-1, 3), pivot(1, 26), item(1, 20);
    const float colours[] = {0, 255, 32768, 65535, 16711680, 8421504};
    for (int k = 1; k <= kOverlayItems; ++k) {
        OverlayItem& it = s.overlay.Item[k];
        for (float* f : {&it.X1, &it.Y1, &it.X2, &it.Y2, &it.Pivot1X0, &it.Pivot1Y0, &it.Pivot2X0, &it.Pivot2Y0})
            *f = any(rng);
        it.Kind = static_cast<float>(kind(rng));
        it.Colour = it.Kind < 0 ? -1.0f : colours[colour(rng)];
        it.Reference = it.Kind < 0 ? -1.0f : static_cast<float>(ref(rng));
        it.Pivot1Index = static_cast<float>(pivot(rng));
        it.Pivot2Index = static_cast<float>(pivot(rng));
    }
    s.overlay.CurrentItem = item(rng);
    return s;
}

// Bit patterns of everything a file or a load can touch, for "nothing
// changed" comparisons (NaN compares equal to itself here).
struct StateImage {
    std::vector<std::uint32_t> bits;
    std::vector<int> ints;
    std::string name;
    bool operator==(const StateImage&) const = default;
};

StateImage Image(const AppState& s)
{
    StateImage im;
    const Gear& g = s.gear;
    auto add = [&](float f) { im.bits.push_back(Bits(f)); };
    for (float f : {g.CrankDiskDia,   g.Stroke,          g.MainRodLength, g.EccentricDiam,   g.EccCircleDiam,
                    g.EccAngleDeg,    g.EccStrapUpper,   g.EccStrapLower, g.EccStrapHorz,    g.EccRodLength,
                    g.RevHeadUpper,   g.RevHeadArmLower, g.RockerLower,   g.RockerUpperVert, g.RockerUpperHorz,
                    g.ValveRodLength, g.RevArmNormal,    g.RevArmMax,     g.RevArmPos,       g.DriverAngle})
        add(f);
    for (float f : g.CylDims) add(f);
    for (float f : g.PointX) add(f);
    for (float f : g.PointY) add(f);
    for (float f : g.RevArm) add(f);
    const View& v = s.view;
    for (float f : {v.ViewScale, v.ViewOffsetX, v.ViewOffsetY, v.PrevScale, v.PrevOffsetX, v.PrevOffsetY, v.HomeScale,
                    v.HomeOffsetX, v.HomeOffsetY, v.FontScaleX, v.FontScaleY, v.GraphicZoom})
        add(f);
    for (float f : v.PresetTable) add(f);
    add(s.graph.GraphVerticalScale);
    add(s.graph.GraphRevArmPos);
    for (int k = 1; k <= kOverlayItems; ++k) {
        const OverlayItem& it = s.overlay.Item[k];
        for (float f : {it.X1, it.Y1, it.X2, it.Y2, it.Pivot1X0, it.Pivot1Y0, it.Pivot2X0, it.Pivot2Y0, it.Kind,
                        it.Colour, it.Reference, it.Pivot1Index, it.Pivot2Index})
            add(f);
    }
    im.ints = {s.overlay.CurrentItem, s.graph.GraphPosCount, s.overlay.LinePivotPending ? 1 : 0};
    im.name = s.display.DataSetName;
    return im;
}

// The stored values of records 1..70 and the current item, as bit patterns.
std::vector<std::uint32_t> StoredImage(const AppState& s)
{
    std::vector<std::uint32_t> out;
    for (const NativeRecord& r : BuildNativeRecords(s))
        for (float f : r) out.push_back(Bits(f));
    return out;
}

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

} // namespace

// ---------------------------------------------------------------- record files

TEST_F(FilesTest, RecordFileCountsWholeRecordsAndReportsReadsPastTheEnd)
{
    Bytes b(2 * kRecordBytes + 7, 0x11);
    WriteFileBytes(dir / "r.bin", b);
    RecordReader in;
    ASSERT_TRUE(in.Open(P("r.bin")));
    EXPECT_EQ(in.SizeInRecords(), 2);
    RecordBytes r;
    EXPECT_TRUE(in.Read(r));
    EXPECT_TRUE(in.Read(r));
    EXPECT_FALSE(in.Read(r)); // only the 7-byte part-record is left
    EXPECT_EQ(in.Error(), "Read beyond end of file");
    in.Close();

    EXPECT_FALSE(in.Open(P("missing.bin")));
    EXPECT_EQ(in.Error(), "File not found");
    EXPECT_FALSE(in.Open(Utf8(dir)));
    EXPECT_EQ(in.Error(), "File access denied");
    EXPECT_FALSE(in.Open(""));
    EXPECT_EQ(in.Error(), "File not found");
}

// The system's error numbers, as each system has them, and their messages.
TEST_F(FilesTest, SystemErrorsHaveTheirStandardMessages)
{
    using K = FileErrorKind;
    struct Case {
        int code;
        FileErrorKind kind;
        const char* text;
    };
    const char* denied = "File access denied";
#ifdef _WIN32
    const Case cases[] = {{ERROR_FILE_NOT_FOUND, K::NotFound, "File not found"},
                          {ERROR_PATH_NOT_FOUND, K::NotFound, "File not found"},
                          {ERROR_ACCESS_DENIED, K::AccessDenied, denied},
                          {ERROR_WRITE_PROTECT, K::ReadOnly, denied},
                          {ERROR_SHARING_VIOLATION, K::InUse, denied},
                          {ERROR_FILE_EXISTS, K::NoTemporary, denied},
                          {ERROR_HANDLE_DISK_FULL, K::DiskFull, "Disk full"},
                          {ERROR_DISK_FULL, K::DiskFull, "Disk full"},
                          {ERROR_FILENAME_EXCED_RANGE, K::BadName, "Invalid filename"},
                          {ERROR_TOO_MANY_OPEN_FILES, K::TooManyOpen, "Too many open files"},
                          {ERROR_CRC, K::Other, "I/O error 23"}};
#else
    const Case cases[] = {{ENOENT, K::NotFound, "File not found"},
                          {EACCES, K::AccessDenied, denied},
                          {EROFS, K::ReadOnly, denied},
                          {EISDIR, K::IsFolder, denied},
                          {EBUSY, K::InUse, denied},
                          {EEXIST, K::NoTemporary, denied},
                          {ENOSPC, K::DiskFull, "Disk full"},
                          {EDQUOT, K::DiskFull, "Disk full"},
                          {ENOTDIR, K::BadName, "Invalid filename"},
                          {ENAMETOOLONG, K::BadName, "Invalid filename"},
                          {EMFILE, K::TooManyOpen, "Too many open files"},
                          {EIO, K::Other, "I/O error 5"}};
#endif
    for (const Case& c : cases) {
        EXPECT_EQ(SystemFileError(c.code), (FileError{c.kind, c.code})) << c.code;
        EXPECT_EQ(IoErrorText(SystemFileError(c.code)), c.text) << c.code;
    }
    EXPECT_FALSE(SystemFileError(0));
}

TEST_F(FilesTest, RecordWriterReplacesOnlyOnCommit)
{
    const fs::path target = dir / "t.bin";
    WriteFileBytes(target, Bytes(5, 0x77));
    RecordBytes rec{};
    rec.fill(0x42);
    {
        RecordWriter w;
        ASSERT_TRUE(w.Create(Utf8(target)));
        ASSERT_TRUE(w.Write(rec));
        // Not committed yet: the old contents are still there.
        EXPECT_EQ(ReadFileBytes(target), Bytes(5, 0x77));
        ASSERT_TRUE(w.Commit());
    }
    EXPECT_EQ(ReadFileBytes(target), Bytes(kRecordBytes, 0x42));

    // An abandoned writer (destroyed without commit) leaves nothing behind.
    {
        RecordWriter w;
        ASSERT_TRUE(w.Create(Utf8(target)));
        ASSERT_TRUE(w.Write(RecordBytes{}));
    }
    EXPECT_EQ(ReadFileBytes(target), Bytes(kRecordBytes, 0x42));
    EXPECT_EQ(DirEntries(), std::vector<std::string>{"t.bin"});

    // A directory that does not exist.
    RecordWriter w;
    EXPECT_FALSE(w.Create(P("no/x.bin")));
    EXPECT_EQ(w.Error(), "File not found");

#ifdef _WIN32
    // A read-only file is not replaced behind the user's back (on POSIX
    // systems the mode says so, which a process run as root may ignore).
    fs::permissions(target, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    EXPECT_FALSE(w.Create(Utf8(target)));
    EXPECT_EQ(w.Cause().kind, FileErrorKind::AccessDenied);
    fs::permissions(target, fs::perms::owner_write, fs::perm_options::add);
#endif
}

#ifndef _WIN32
TEST_F(FilesTest, RecordWriterKeepsTheModeAndFollowsLinks)
{
    const fs::path target = dir / "t.bin";
    WriteFileBytes(target, Bytes(5, 0x77));
    ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
    RecordBytes rec{};
    rec.fill(0x42);
    {
        RecordWriter w;
        ASSERT_TRUE(w.Create(target.string()));
        ASSERT_TRUE(w.Write(rec));
        ASSERT_TRUE(w.Commit());
    }
    struct stat st {};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);

    // Saving through a symbolic link writes the linked file and keeps the link.
    fs::create_symlink(target, dir / "link.bin");
    {
        RecordWriter w;
        rec.fill(0x13);
        ASSERT_TRUE(w.Create((dir / "link.bin").string()));
        ASSERT_TRUE(w.Write(rec));
        ASSERT_TRUE(w.Commit());
    }
    EXPECT_TRUE(fs::is_symlink(dir / "link.bin"));
    EXPECT_EQ(ReadFileBytes(target), Bytes(kRecordBytes, 0x13));
}
#endif

// A pipe, a device or a folder named as a design is refused before anything
// could wait for it, and says so; the design stays as it was.
TEST_F(FilesTest, WhatIsNotARegularFileIsRefusedBeforeAnythingWaitsForIt)
{
    fs::create_directory(dir / "folder.vgw");
    struct Case {
        std::string path;
        FileErrorKind kind;
        const char* reason;
    };
    std::vector<Case> cases = {{P("folder.vgw"), FileErrorKind::IsFolder, "it is a folder"}};
    const char* notAFile = "it is a pipe or a device, not a file";
#ifdef _WIN32
    cases.push_back({"NUL", FileErrorKind::NotAFile, notAFile});
#else
    // A pipe with a writer and a whole design in it, so that not even a
    // blocking open or read would wait: the file is refused for what it is
    // (without a writer, an open that blocks would never return).
    const Bytes design = RecordsToBytes(BuildNativeRecords(Started()));
    ASSERT_EQ(::mkfifo((dir / "pipe.vgw").c_str(), 0600), 0);
    const int writer = ::open((dir / "pipe.vgw").c_str(), O_RDWR | O_NONBLOCK);
    ASSERT_GE(writer, 0);
    ASSERT_EQ(::write(writer, design.data(), design.size()), static_cast<ssize_t>(design.size()));
    cases.push_back({P("pipe.vgw"), FileErrorKind::NotAFile, notAFile});
    cases.push_back({"/dev/zero", FileErrorKind::NotAFile, notAFile}); // endless zeros: a design of zeros
    cases.push_back({"/dev/null", FileErrorKind::NotAFile, notAFile});
#endif
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        for (bool older : {false, true}) {
            std::mt19937 rng(4);
            AppState s = RandomDesign(rng);
            const StateImage before = Image(s);
            const DesignFileResult r = older ? ImportOlderFile(s, c.path) : OpenNativeFile(s, c.path);
            EXPECT_FALSE(r.ok);
            EXPECT_EQ(r.cause.kind, c.kind);
            EXPECT_EQ(OpenFailureMessage("x.vgw", r).OneLine(),
                      "Cannot open \"x.vgw\": " + std::string(c.reason) + ".");
            EXPECT_TRUE(Image(s) == before);
        }
    }
#ifndef _WIN32
    ::close(writer);
#endif
}

// The temporary file's name is short whatever the target's, so that a name of
// the greatest length the system allows (255) saves, exports and opens.
TEST_F(FilesTest, ALongFileNameSavesExportsAndOpens)
{
    std::string umlauts; // 123 two-byte characters
    for (int k = 0; k < 123; ++k) umlauts += "\xC3\xBC";
    for (const std::string& name : {std::string(232, 'a') + ".vgw", std::string(246, 'b') + ".vgw",
                                    std::string(251, 'c') + ".vgw", umlauts + ".vgw"}) {
        SCOPED_TRACE(name.size());
        AppState s = Started();
        s.gear.Stroke = 4.25f;
        const DesignFileResult saved = SaveNativeFile(s, P(name));
        ASSERT_TRUE(saved.ok) << saved.error;
        AppState loaded = Started();
        ASSERT_TRUE(OpenNativeFile(loaded, P(name)).ok);
        EXPECT_EQ(loaded.gear.Stroke, 4.25f);
        const Bytes picture(100 * 1024, 0x5A);
        std::string error;
        ASSERT_TRUE(WriteWholeFile(P(name), picture.data(), picture.size(), error)) << error;
        RecordReader in;
        ASSERT_TRUE(in.Open(P(name)));
        EXPECT_EQ(in.SizeInBytes(), static_cast<long long>(picture.size()));
        in.Close();
        EXPECT_EQ(DirEntries(), std::vector<std::string>{name});
        files.Remove(P(name));
    }
}

// Threads saving at once each get a temporary name of their own, in the
// target's folder (so that the rename stays within one file system), and
// short however long the target's name is.
TEST_F(FilesTest, TemporaryNamesAreShortUniqueAndBesideTheTarget)
{
    constexpr int kThreads = 4, kSaves = 25;
    std::vector<std::string> targets;
    for (int t = 0; t < kThreads; ++t) targets.push_back(std::string(200, static_cast<char>('a' + t)) + ".vgw");
    std::vector<std::thread> threads;
    std::vector<int> failures(kThreads, 0);
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            AppState s = Started();
            for (int k = 0; k < kSaves; ++k)
                if (!SaveNativeFile(s, P(targets[t]), files).ok) ++failures[t];
        });
    for (std::thread& t : threads) t.join();
    EXPECT_EQ(failures, std::vector<int>(kThreads, 0));
    std::vector<std::string> names = files.Temporaries();
    ASSERT_EQ(names.size(), static_cast<std::size_t>(kThreads * kSaves));
    for (const std::string& n : names) {
        const fs::path p = FromUtf8(n);
        EXPECT_EQ(p.parent_path(), dir) << n;
        EXPECT_LE(Utf8(p.filename()).size(), 40u) << n;
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(std::unique(names.begin(), names.end()), names.end());
    EXPECT_EQ(DirEntries(), targets);
}

#ifndef _WIN32
// A folder where no file can be made (/proc answers "no such file" to any new
// one) is not a missing folder.
TEST_F(FilesTest, AFolderThatTakesNoNewFileIsNotAMissingOne)
{
    if (!fs::exists("/proc/self")) GTEST_SKIP() << "no /proc";
    AppState s = Started();
    EXPECT_EQ(SaveFailureMessage("x.vgw", SaveNativeFile(s, "/proc/x.vgw")).OneLine(),
              "Cannot save \"x.vgw\": no file can be made in its folder.");
    std::string error;
    EXPECT_FALSE(WriteWholeFile("/proc/x.png", reinterpret_cast<const std::uint8_t*>("png"), 3, error));
    EXPECT_EQ(error, "File access denied");
    EXPECT_EQ(SaveFailureMessage("x.vgw", SaveNativeFile(s, "/proc/nowhere/x.vgw")).OneLine(),
              "Cannot save \"x.vgw\": its folder does not exist.");
}
#endif

// ---------------------------------------------------------------- record layout

TEST_F(FilesTest, SavedFileHasTheExactLayoutBytes)
{
    AppState s = Started();
    s.overlay.CurrentItem = 3;
    const DesignFileResult r = SaveNativeFile(s, P("nominal.vgw"));
    ASSERT_TRUE(r.ok) << r.error;
    const Bytes b = ReadFileBytes(dir / "nominal.vgw");
    ASSERT_EQ(b.size(), 1420u);

    // Record 1 with the start-up dimensions: 8.625, 3.5, 1.25, 2.7, 0.
    const Bytes record1 = {0x00, 0x00, 0x0A, 0x41, 0x00, 0x00, 0x60, 0x40, 0x00, 0x00,
                           0xA0, 0x3F, 0xCD, 0xCC, 0x2C, 0x40, 0x00, 0x00, 0x00, 0x00};
    EXPECT_EQ(Bytes(b.begin(), b.begin() + 20), record1);

    // Record 71: four zeros and the current item 3.
    Bytes record71(18, 0x00);
    record71.push_back(0x40);
    record71.push_back(0x40);
    EXPECT_EQ(Bytes(b.begin() + 1400, b.end()), record71);

    // Kind (records 51-54), Colour (55-58), Reference (59-62) of every unused
    // item hold -1; the other overlay fields of an unused item hold 0.
    const Bytes minusOne = {0x00, 0x00, 0x80, 0xBF};
    for (int first : {51, 55, 59})
        for (int k = 0; k < 20; ++k) {
            const std::size_t at = static_cast<std::size_t>(first - 1) * 20 + static_cast<std::size_t>(k) * 4;
            EXPECT_EQ(Bytes(b.begin() + at, b.begin() + at + 4), minusOne) << "record " << first + k / 5;
        }
    for (std::size_t at = 18 * 20; at < 50 * 20; ++at) ASSERT_EQ(b[at], 0u) << "byte " << at;

    // Fields named twice or three times are written into each place.
    auto field = [&](int record, int f) {
        const std::size_t at = static_cast<std::size_t>(record - 1) * 20 + static_cast<std::size_t>(f - 1) * 4;
        return Bytes(b.begin() + at, b.begin() + at + 4);
    };
    for (int f : {2, 3, 4}) EXPECT_EQ(field(4, f), Le(1.75f)); // RockerPivotVert
    EXPECT_EQ(field(4, 5), Le(10.125f));                       // RockerPivotHorz
    EXPECT_EQ(field(5, 2), Le(4.2f));                          // RevHeadPivotVert
    EXPECT_EQ(field(5, 4), Le(4.2f));
    EXPECT_EQ(field(5, 5), Le(4.2f));
    EXPECT_EQ(field(10, 4), Le(s.gear.RevArmCentre()));
    EXPECT_EQ(field(11, 1), Le(s.view.ViewScale));
    EXPECT_EQ(field(11, 3), Le(7.5f));  // GraphicZoom
    EXPECT_EQ(field(12, 1), Le(1.3f));  // RevArmMax
    EXPECT_EQ(field(12, 5), Le(1.5f));  // GraphVerticalScale
    EXPECT_EQ(field(13, 4), Le(62.0f)); // preset 1: scale, x, y
    EXPECT_EQ(field(13, 5), Le(315.0f));
    EXPECT_EQ(field(14, 1), Le(237.0f));
    EXPECT_EQ(field(17, 1), Le(800.0f)); // PresetTable[20]
    EXPECT_EQ(field(17, 2), Le(s.gear.RevArm[1]));
    EXPECT_EQ(field(18, 5), Le(s.gear.RevArm[9]));

    // Saving changes nothing but the data set name.
    EXPECT_EQ(s.display.DataSetName, "nominal");
}

TEST_F(FilesTest, OverlayRunsAreFieldByFieldInItemOrder)
{
    AppState s = Started();
    for (int k = 1; k <= kOverlayItems; ++k) {
        OverlayItem& it = s.overlay.Item[k];
        float* f[] = {&it.X1,       &it.Y1,   &it.X2,     &it.Y2,        &it.Pivot1X0,    &it.Pivot1Y0,   &it.Pivot2X0,
                      &it.Pivot2Y0, &it.Kind, &it.Colour, &it.Reference, &it.Pivot1Index, &it.Pivot2Index};
        for (int n = 0; n < 13; ++n) *f[n] = static_cast<float>(100 * (n + 1) + k); // field n, item k
    }
    const std::vector<NativeRecord> rec = BuildNativeRecords(s);
    ASSERT_EQ(rec.size(), 71u);
    for (int n = 0; n < 13; ++n)
        for (int k = 1; k <= 20; ++k) {
            const int record = 19 + 4 * n + (k - 1) / 5; // 1-based
            EXPECT_EQ(rec[record - 1][(k - 1) % 5], static_cast<float>(100 * (n + 1) + k))
                << "field " << n << " item " << k;
        }
}

TEST_F(FilesTest, RecordEncodingIsLittleEndianSingleWithBitPatternsKept)
{
    const NativeRecord r = {1.0f, -2.5f, kNaN, -kInf, std::bit_cast<float>(0x7FA00001u)};
    const RecordBytes b = EncodeRecord(r);
    EXPECT_EQ(b[0], 0x00);
    EXPECT_EQ(b[3], 0x3F); // 1.0 = 3F800000
    EXPECT_EQ(b[7], 0xC0); // -2.5 = C0200000
    const NativeRecord back = DecodeRecord(b);
    for (int f = 0; f < 5; ++f) EXPECT_EQ(Bits(back[f]), Bits(r[f]));
}

// ---------------------------------------------------------------- save, then open

TEST_F(FilesTest, SaveThenOpenGivesBackEveryStoredValueWithTheArmAtMidGear)
{
    std::mt19937 rng(20240611);
    for (int round = 0; round < 40; ++round) {
        SCOPED_TRACE("design " + std::to_string(round));
        const AppState saved = RandomDesign(rng);
        AppState writer = saved;
        ASSERT_TRUE(SaveNativeFile(writer, P("design.vgw")).ok);
        // Saving changes no value.
        EXPECT_EQ(StoredImage(writer), StoredImage(saved));

        AppState s = RandomDesign(rng); // another design is loaded over
        s.gear.DriverAngle = 123.5f;
        const DesignFileResult r = OpenNativeFile(s, P("design.vgw"));
        ASSERT_TRUE(r.ok) << r.error;
        EXPECT_TRUE(r.overlayRead);

        // What the saved design gives after the re-centring at the open.
        AppState expected = saved;
        expected.gear.DriverAngle = 123.5f;
        RecomputeRevArmCentre(expected.gear);
        EXPECT_EQ(StoredImage(s), StoredImage(expected));
        EXPECT_EQ(s.overlay.CurrentItem, saved.overlay.CurrentItem);

        // The reverse arm is at mid gear and the bar at 0 within +-1000 * max.
        EXPECT_EQ(s.gear.RevArmPos, s.gear.RevArmCentre());
        EXPECT_EQ(s.gear.RevArm[1], s.gear.RevArmCentre());
        EXPECT_EQ(r.revArmPosition, 0);
        EXPECT_EQ(r.revArmMax, static_cast<int>(std::lround(1000.0L * saved.gear.RevArmMax)));
        EXPECT_EQ(r.revArmMin, -r.revArmMax);
        for (int k = 4; k <= 9; ++k) EXPECT_EQ(s.gear.RevArm[k], saved.gear.RevArm[k]);
        EXPECT_EQ(s.gear.DriverAngle, 123.5f);
        EXPECT_EQ(s.display.DataSetName, "design");
    }
}

TEST_F(FilesTest, ShortFilesLoadEverythingButTheOverlay)
{
    std::mt19937 rng(7);
    const AppState design = RandomDesign(rng);
    const std::vector<NativeRecord> all = BuildNativeRecords(design);
    for (int count : {18, 19, 20}) {
        SCOPED_TRACE(count);
        AppState s = RandomDesign(rng);
        s.overlay.CurrentItem = 9;
        const AppState before = s;
        // Records 19 and 20 of a short file are never used: fill them with junk.
        std::vector<NativeRecord> rec(all.begin(), all.begin() + 18);
        for (int k = 18; k < count; ++k) rec.push_back({kNaN, 1e38f, -7, 99, kInf});
        WriteFileBytes(dir / "short.vgw", RecordsToBytes(rec, count == 20 ? 19 : 0));

        const DesignFileResult r = OpenNativeFile(s, P("short.vgw"));
        ASSERT_TRUE(r.ok) << r.error;
        EXPECT_FALSE(r.overlayRead);
        for (int k = 1; k <= kOverlayItems; ++k) {
            const OverlayItem &a = s.overlay.Item[k], &b = before.overlay.Item[k];
            EXPECT_EQ(std::memcmp(&a, &b, sizeof a), 0) << "item " << k;
        }
        EXPECT_EQ(s.overlay.CurrentItem, 1);
        AppState expected = design;
        expected.overlay = s.overlay;
        expected.gear.DriverAngle = s.gear.DriverAngle;
        RecomputeRevArmCentre(expected.gear);
        EXPECT_EQ(StoredImage(s), StoredImage(expected));
    }
}

TEST_F(FilesTest, TooShortOrPartOverlayFilesFailAndChangeNothing)
{
    std::mt19937 rng(11);
    const std::vector<NativeRecord> all = BuildNativeRecords(RandomDesign(rng));
    struct Case {
        int records;
        std::size_t extra;
    };
    for (Case c : {Case{0, 0}, Case{0, 19}, Case{1, 0}, Case{17, 0}, Case{17, 19}, Case{21, 0}, Case{30, 3},
                   Case{45, 0}, Case{70, 0}, Case{70, 19}}) {
        SCOPED_TRACE(std::to_string(c.records) + " records + " + std::to_string(c.extra));
        WriteFileBytes(dir / "cut.vgw",
                       RecordsToBytes(std::vector<NativeRecord>(all.begin(), all.begin() + c.records), c.extra));
        AppState s = RandomDesign(rng);
        s.overlay.LinePivotPending = true;
        s.overlay.CurrentItem = 0; // as while a pivot pick on item 1 is pending
        s.graph.GraphPosCount = 4;
        const StateImage before = Image(s);
        const DesignFileResult r = OpenNativeFile(s, P("cut.vgw"));
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.error, "Read beyond end of file");
        EXPECT_TRUE(Image(s) == before);
    }

    // A file that does not exist, a directory, a read that fails.
    AppState s = Started();
    const StateImage before = Image(s);
    DesignFileResult r = OpenNativeFile(s, P("none.vgw"));
    EXPECT_EQ(r.error, "File not found");
    r = OpenNativeFile(s, Utf8(dir));
    EXPECT_EQ(r.error, "File access denied");
    WriteFileBytes(dir / "full.vgw", RecordsToBytes(all));
    files.faults.read = {FileErrorKind::Other, 5};
    files.faults.readAt = 60;
    r = OpenNativeFile(s, P("full.vgw"), HugeValues::Refuse, files);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, "I/O error 5");
    EXPECT_TRUE(Image(s) == before);
}

TEST_F(FilesTest, LongerFilesLoadTheirFirst71Records)
{
    std::mt19937 rng(5);
    const AppState design = RandomDesign(rng);
    std::vector<NativeRecord> rec = BuildNativeRecords(design);
    for (int k = 0; k < 29; ++k) rec.push_back({kNaN, 5, 5, 5, 5}); // 100 records
    for (std::size_t total : {71u, 72u, 100u})
        for (std::size_t extra : {0u, 1u, 19u}) {
            SCOPED_TRACE(std::to_string(total) + " + " + std::to_string(extra));
            WriteFileBytes(dir / "long.vgw",
                           RecordsToBytes(std::vector<NativeRecord>(rec.begin(), rec.begin() + total), extra));
            AppState s = Started();
            const DesignFileResult r = OpenNativeFile(s, P("long.vgw"));
            ASSERT_TRUE(r.ok) << r.error;
            EXPECT_TRUE(r.overlayRead);
            AppState expected = design;
            expected.gear.DriverAngle = s.gear.DriverAngle;
            RecomputeRevArmCentre(expected.gear);
            EXPECT_EQ(StoredImage(s), StoredImage(expected));
            EXPECT_EQ(s.overlay.CurrentItem, design.overlay.CurrentItem);
        }
}

TEST_F(FilesTest, WhereAValueHasSeveralFieldsTheLastOneWins)
{
    std::vector<NativeRecord> rec = BuildNativeRecords(Started());
    rec[3] = {1.5f, 11, 12, 13, 10};      // RockerPivotVert three times
    rec[4] = {0.5f, 4.5f, 0.25f, 21, 22}; // point 9 y twice
    rec[11][2] = 31;                      // GraphRevArmPos twice
    rec[11][3] = 32;
    rec[70] = {5, 6, 7, 8, 4}; // record 71: only field 5 counts
    WriteFileBytes(dir / "dup.vgw", RecordsToBytes(rec));
    AppState s = Started();
    ASSERT_TRUE(OpenNativeFile(s, P("dup.vgw")).ok);
    EXPECT_EQ(s.gear.PointY[15], 13.0f);
    EXPECT_EQ(s.gear.PointX[15], 10.0f);
    EXPECT_EQ(s.gear.PointX[8], 0.5f);
    EXPECT_EQ(s.gear.PointY[8], 4.5f);
    EXPECT_EQ(s.gear.PointX[9], 0.25f);
    EXPECT_EQ(s.gear.PointY[9], 22.0f);
    EXPECT_EQ(s.graph.GraphRevArmPos, 32.0f);
    EXPECT_EQ(s.overlay.CurrentItem, 4);
}

TEST_F(FilesTest, CurrentItemFromAFileIsRoundedAndKeptWithinTheItems)
{
    const std::vector<NativeRecord> base = BuildNativeRecords(Started());
    struct Case {
        float stored;
        int item;
    };
    for (Case c :
         {Case{3, 3}, Case{7.4f, 7}, Case{7.5f, 8}, Case{20, 20}, Case{20.6f, 20}, Case{21, 20}, Case{1e38f, 20},
          Case{kInf, 20}, Case{0, 1}, Case{0.6f, 1}, Case{-3, 1}, Case{-kInf, 1}, Case{kNaN, 1}}) {
        SCOPED_TRACE(c.stored);
        std::vector<NativeRecord> rec = base;
        rec[70][4] = c.stored;
        WriteFileBytes(dir / "item.vgw", RecordsToBytes(rec));
        AppState s = Started();
        s.overlay.CurrentItem = 12;
        ASSERT_TRUE(OpenNativeFile(s, P("item.vgw")).ok);
        EXPECT_EQ(s.overlay.CurrentItem, c.item);
    }
}

// ---------------------------------------------------------------- older files

TEST_F(FilesTest, ImportTakesTwelveRecordsWithTheOlderViewFields)
{
    std::mt19937 rng(3);
    const AppState design = RandomDesign(rng);
    std::vector<NativeRecord> rec = BuildNativeRecords(design);
    rec[10] = {30, 111, 222, 333, 0.9f}; // scale, x offset, x offset again, y offset, normal
    rec[11][1] = 1e38f;                  // not used
    for (std::size_t count : {12u, 13u, 71u}) {
        SCOPED_TRACE(count);
        WriteFileBytes(dir / "old.vgd",
                       RecordsToBytes(std::vector<NativeRecord>(rec.begin(), rec.begin() + count), 11));
        AppState s = RandomDesign(rng);
        s.gear.DriverAngle = 45;
        s.overlay.CurrentItem = 0; // a pending pivot pick is not disturbed
        const AppState before = s;
        const DesignFileResult r = ImportOlderFile(s, P("old.vgd"));
        ASSERT_TRUE(r.ok) << r.error;
        EXPECT_FALSE(r.overlayRead);
        EXPECT_EQ(s.view.ViewScale, 30.0f);
        EXPECT_EQ(s.view.ViewOffsetX, 222.0f);
        EXPECT_EQ(s.view.ViewOffsetY, 333.0f);
        EXPECT_EQ(s.gear.RevArmNormal, 0.9f);
        EXPECT_EQ(s.view.GraphicZoom, before.view.GraphicZoom);
        EXPECT_EQ(s.view.PresetTable, before.view.PresetTable);
        EXPECT_EQ(s.graph.GraphRevArmPos, design.graph.GraphRevArmPos);
        EXPECT_EQ(s.graph.GraphVerticalScale, design.graph.GraphVerticalScale);
        for (int k = 4; k <= 9; ++k) EXPECT_EQ(s.gear.RevArm[k], before.gear.RevArm[k]);
        for (int k = 1; k <= kOverlayItems; ++k)
            EXPECT_EQ(std::memcmp(&s.overlay.Item[k], &before.overlay.Item[k], sizeof(OverlayItem)), 0);
        EXPECT_EQ(s.overlay.CurrentItem, 0);
        EXPECT_EQ(s.gear.RevArmPos, s.gear.RevArmCentre());
        EXPECT_EQ(r.revArmPosition, 0);
        EXPECT_EQ(s.gear.DriverAngle, 45.0f);
        EXPECT_EQ(s.display.DataSetName, "old");

        // The dimensions are those of the native open of the same records.
        AppState native = s;
        std::vector<NativeRecord> asNative = BuildNativeRecords(native);
        std::copy(rec.begin(), rec.begin() + 12, asNative.begin());
        StoreNativeRecords(native, asNative);
        native.view.ViewOffsetX = 222; // field 3 wins in the older layout
        native.view.GraphicZoom = s.view.GraphicZoom;
        native.overlay = s.overlay;
        // The re-centring solves with the arm where it was: the import keeps
        // the position it had, the native open takes the file's.
        native.gear.RevArmPos = before.gear.RevArmPos;
        RecomputeRevArmCentre(native.gear);
        const auto a = StoredImage(s), b = StoredImage(native);
        for (std::size_t i = 0; i < a.size(); ++i) EXPECT_EQ(a[i], b[i]) << "at " << i;
    }
}

TEST_F(FilesTest, ImportOfAShortFileFailsAndChangesNothing)
{
    const std::vector<NativeRecord> rec = BuildNativeRecords(Started());
    for (std::size_t count : {0u, 5u, 11u}) {
        WriteFileBytes(dir / "cut.vgd",
                       RecordsToBytes(std::vector<NativeRecord>(rec.begin(), rec.begin() + count), 19));
        std::mt19937 rng(static_cast<unsigned>(count));
        AppState s = RandomDesign(rng);
        const StateImage before = Image(s);
        const DesignFileResult r = ImportOlderFile(s, P("cut.vgd"));
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.error, "Read beyond end of file");
        EXPECT_TRUE(Image(s) == before);
    }
    AppState s = Started();
    EXPECT_EQ(ImportOlderFile(s, P("gone.vgd")).error, "File not found");
    EXPECT_EQ(s.display.DataSetName, "Nominal");
}

// ---------------------------------------------------------------- names

TEST(DataSetName, LastPathPartLessFourCharacters)
{
    EXPECT_EQ(DataSetNameFromPath("/gears/bigone.vgw"), "bigone");
    EXPECT_EQ(DataSetNameFromPath("C:\\gears\\bigone.vgw"), "bigone");
    EXPECT_EQ(DataSetNameFromPath("C:\\gears/mixed\\last.vgd"), "last");
    EXPECT_EQ(DataSetNameFromPath("a.xy"), "");
    EXPECT_EQ(DataSetNameFromPath("/x/abc"), "");
    EXPECT_EQ(DataSetNameFromPath("/x/"), "");
    EXPECT_EQ(DataSetNameFromPath("plain.vgw"), "plain");
    EXPECT_EQ(DataSetNameFromPath("/d/long.name.vgw"), "long.name");
    // Characters, not bytes.
    EXPECT_EQ(DataSetNameFromPath("/d/Zürich.vgw"), "Zürich");
    EXPECT_EQ(DataSetNameFromPath("/d/dampf.äöü"), "dampf");
    EXPECT_EQ(DataSetNameFromPath("/d/€€€"), "");
}

// ---------------------------------------------------------------- failed saves

TEST_F(FilesTest, AFailedSaveKeepsTheOldFileByteForByte)
{
    AppState old = Started();
    ASSERT_TRUE(SaveNativeFile(old, P("keep.vgw")).ok);
    const Bytes original = ReadFileBytes(dir / "keep.vgw");
    ASSERT_EQ(original.size(), 1420u);

    using Faults = FaultyFileSystem::Faults;
    const FileError full{FileErrorKind::DiskFull}, denied{FileErrorKind::AccessDenied};
    struct Case {
        const char* what;
        FileError Faults::*step;
        FileError error;
        long writeAt;
        const char* message;
    };
    for (const Case& c : {Case{"write 1", &Faults::write, full, 1, "Disk full"},
                          Case{"write 35", &Faults::write, full, 35, "Disk full"},
                          Case{"write 71", &Faults::write, {FileErrorKind::Other, 5}, 71, "I/O error 5"},
                          Case{"close", &Faults::finish, full, 1, "Disk full"},
                          Case{"rename", &Faults::replace, denied, 1, "File access denied"},
                          Case{"create", &Faults::create, denied, 1, "File access denied"}}) {
        SCOPED_TRACE(c.what);
        std::mt19937 rng(1);
        AppState s = RandomDesign(rng);
        s.display.DataSetName = "Before";
        const StateImage before = Image(s);
        files.faults = {};
        files.faults.*c.step = c.error;
        files.faults.writeAt = c.writeAt;
        const DesignFileResult r = SaveNativeFile(s, P("keep.vgw"), files);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.error, c.message);
        EXPECT_EQ(ReadFileBytes(dir / "keep.vgw"), original);
        EXPECT_TRUE(Image(s) == before);                               // the name too
        EXPECT_EQ(DirEntries(), std::vector<std::string>{"keep.vgw"}); // no temporary left
    }
    // Into a directory that does not exist.
    AppState s = Started();
    EXPECT_EQ(SaveNativeFile(s, P("nowhere/x.vgw")).error, "File not found");
    // Over a directory.
    fs::create_directory(dir / "sub.vgw");
    EXPECT_EQ(SaveNativeFile(s, P("sub.vgw")).error, "File access denied");
    EXPECT_TRUE(fs::is_directory(dir / "sub.vgw"));
    EXPECT_EQ(s.display.DataSetName, "Nominal");
}

TEST_F(FilesTest, AFailedSaveToANewPathLeavesNoFile)
{
    AppState s = Started();
    files.faults.write = {FileErrorKind::DiskFull};
    files.faults.writeAt = 20;
    EXPECT_EQ(SaveNativeFile(s, P("new.vgw"), files).error, "Disk full");
    EXPECT_TRUE(DirEntries().empty());
}

// ---------------------------------------------------------------- hostile files

TEST_F(FilesTest, NonFiniteHugeAndOutOfRangeValuesStoreAndRunSafely)
{
    const float hostile[] = {kNaN, kInf, -kInf, 1e38f, -1e38f, 3e9f, -0.0f, 1e-40f};
    std::mt19937 rng(99);
    for (int round = 0; round < 24; ++round) {
        SCOPED_TRACE(round);
        std::vector<NativeRecord> rec(kNativeRecordCount);
        std::uniform_int_distribution<int> pick(0, 7);
        for (auto& r : rec)
            for (float& f : r) f = hostile[pick(rng)];
        // Overlay items that draw, with pivots outside the point table.
        for (int k = 0; k < 20; ++k) {
            const float kind = static_cast<float>(k % 2), ref = static_cast<float>(k % 4);
            rec[50 + k / 5][k % 5] = round % 3 ? kind : hostile[pick(rng)];
            rec[54 + k / 5][k % 5] = 255;
            rec[58 + k / 5][k % 5] = round % 3 ? ref : hostile[pick(rng)];
            const float indices[] = {-1, 27, 26.5f, 1e6f, kNaN, -kInf, 3.4e38f, 19.5f};
            rec[62 + k / 5][k % 5] = indices[(k + round) % 8];
            rec[66 + k / 5][k % 5] = indices[(k + round + 3) % 8];
        }
        WriteFileBytes(dir / "bad.vgw", RecordsToBytes(rec));

        AppState s = Started();
        s.display.SteamDisplayOn = true;
        s.display.ScreenDataOn = true;
        s.display.RefPointsOn = true;
        s.display.PivotDataOn = true;
        // An open refuses such a file; what it would store still runs safely.
        ASSERT_FALSE(OpenNativeFile(s, P("bad.vgw"), HugeValues::Accept).ok);
        StoreNativeRecords(s, rec);
        DesignFileResult r;
        FinishDesignLoad(s, r);
        EXPECT_GE(s.overlay.CurrentItem, 1);
        EXPECT_LE(s.overlay.CurrentItem, 20);
        EXPECT_LE(std::abs(r.revArmMin), kPixelLimit);
        EXPECT_LE(std::abs(r.revArmMax), kPixelLimit);

        // A few animation ticks and frames over the loaded design.
        RecordingSound sound;
        FixedRandom random;
        FrameServices services{sound, random};
        for (int tick = 0; tick < 3; ++tick) {
            TickModel(s);
            RecordingCanvas canvas;
            FrameEffects fx;
            ComposeFrame(canvas, s, services, fx);
        }
        // And the design saves again.
        AppState again = s;
        ASSERT_TRUE(SaveNativeFile(again, P("again.vgw")).ok);
        EXPECT_EQ(fs::file_size(dir / "again.vgw"), 1420u);
        // The import takes the same values.
        AppState imported = Started();
        StoreOlderRecords(imported, rec);
        DesignFileResult ri;
        FinishDesignLoad(imported, ri);
        TickModel(imported);
    }

    // The bar values of extreme reverse arm travels.
    std::vector<NativeRecord> rec = BuildNativeRecords(Started());
    struct Bar {
        float max;
        int barMin, barMax;
    };
    for (Bar b : {Bar{kNaN, 0, 0}, Bar{1e38f, -kPixelLimit, kPixelLimit}, Bar{-1e38f, kPixelLimit, -kPixelLimit},
                  Bar{kInf, -kPixelLimit, kPixelLimit}, Bar{2.25f, -2250, 2250}}) {
        SCOPED_TRACE(b.max);
        rec[11][0] = b.max;
        AppState s = Started();
        StoreNativeRecords(s, rec);
        DesignFileResult r;
        FinishDesignLoad(s, r);
        EXPECT_EQ(r.revArmMin, b.barMin);
        EXPECT_EQ(r.revArmMax, b.barMax);
        EXPECT_EQ(r.revArmPosition, 0);
    }
}

// ---------------------------------------------------------------- files that are no design

TEST_F(FilesTest, FilesWithValuesNoDesignHasAreRefusedUnlessHugeValuesAreAccepted)
{
    const std::vector<NativeRecord> good = BuildNativeRecords(Started());
    auto open = [&](const Bytes& bytes, HugeValues huge, bool older = false) {
        WriteFileBytes(dir / "f.vgw", bytes);
        AppState s = Started();
        const StateImage before = Image(s);
        const DesignFileResult r = older ? ImportOlderFile(s, P("f.vgw"), huge) : OpenNativeFile(s, P("f.vgw"), huge);
        EXPECT_EQ(r.ok, !(Image(s) == before)) << "a refused file changed the design, or a load did not";
        return r;
    };
    // Not finite: refused even with huge values accepted; it wins over a huge value before it.
    std::vector<NativeRecord> rec = good;
    rec[0][0] = 5e9f;
    rec[40][2] = -kInf; // record 41: Pivot1Y0 of items 11 to 15
    DesignFileResult r = open(RecordsToBytes(rec), HugeValues::Accept);
    EXPECT_EQ(r.values.verdict, ValueVerdict::NotFinite);
    EXPECT_EQ(r.values.name, "Draw Lines item 13, first pivot's vert");
    // Huge: refused, naming the first one, unless accepted.
    rec = good;
    rec[0][1] = 3.4e38f;
    r = open(RecordsToBytes(rec), HugeValues::Refuse);
    EXPECT_EQ(r.values.verdict, ValueVerdict::Huge);
    EXPECT_EQ(r.values.name, "Stroke Length");
    EXPECT_EQ(r.values.value, 3.4e38f);
    EXPECT_TRUE(open(RecordsToBytes(rec), HugeValues::Accept).ok);
    const std::string text(2000, 'x');
    EXPECT_EQ(open(Bytes(text.begin(), text.end()), HugeValues::Refuse).values.verdict, ValueVerdict::Huge);

    // Not judged: what a load replaces, recomputes or never reads (second
    // copies, CylSpare, centre, PointY[4], graph position, positions 1..3,
    // record 71), the largest colour, a vertical scale the graphs accept.
    rec = good;
    const int ignored[][2] = {{3, 1}, {3, 2}, {5, 4}, {9, 3}, {9, 4}, {11, 2}, {11, 3}, {16, 1}, {16, 3}};
    for (const auto& rf : ignored) rec[rf[0]][rf[1]] = kNaN;
    rec[70] = {kNaN, kInf, 3e38f, -kInf, 3};
    rec[54][0] = 16777215;
    rec[11][4] = 1e30f;
    EXPECT_TRUE(open(RecordsToBytes(rec), HugeValues::Refuse).ok);

    // The older layout: record 11 field 3 is the x offset, record 12 field 2 is not read.
    rec = good;
    rec[10][2] = 2e6f;
    rec[11][1] = kNaN;
    EXPECT_EQ(open(RecordsToBytes(rec), HugeValues::Refuse, true).values.name, "view x offset");
    EXPECT_TRUE(open(RecordsToBytes(rec), HugeValues::Accept, true).ok);
}

// A refused value is named as the windows show it.
TEST_F(FilesTest, ARefusedValueIsNamedAsTheUserKnowsIt)
{
    const std::vector<NativeRecord> good = BuildNativeRecords(Started());
    struct Case {
        int record, field; // 1-based, as the layout counts them
        const char* name;
    };
    for (const Case& c :
         {Case{1, 1, "Crank Disk Diameter"}, Case{1, 2, "Stroke Length"}, Case{3, 4, "Rocker Upper Vert"},
          Case{5, 5, "Reverse Head Pivot Vert (second copy)"}, Case{6, 1, "Cylinder CL above Driver"},
          Case{10, 3, "Valve ExhCavity Front Half"}, Case{11, 2, "view x offset"},
          Case{11, 5, "RevArm(Head)toCentNorm"}, Case{12, 2, "reverse arm setting"},
          Case{12, 5, "graphs' vertical scale"}, Case{13, 1, "view preset P, scale"},
          Case{13, 4, "view preset 1, scale"}, Case{17, 1, "view preset 6, y offset"},
          Case{17, 5, "reverse arm position 4"}, Case{19, 1, "Draw Lines item 1, first end horz"},
          Case{55, 3, "Draw Lines item 3, color"}, Case{70, 5, "Draw Lines item 20, second pivot"}}) {
        std::vector<NativeRecord> rec = good;
        rec[c.record - 1][c.field - 1] = kNaN;
        const ValueCheck v = CheckDesignRecords(rec, RecordLayout::Native);
        EXPECT_EQ(v.verdict, ValueVerdict::NotFinite);
        EXPECT_EQ(v.name, c.name) << "record " << c.record << " field " << c.field;
    }
}

TEST_F(FilesTest, FailureMessagesNameTheFileAndTheReasonInPlainWords)
{
    AppState s = Started();
    WriteFileBytes(dir / "empty.vgw", {});
    FileMessage m = OpenFailureMessage("empty.vgw", OpenNativeFile(s, P("empty.vgw")));
    EXPECT_EQ(m.text, "Cannot open \"empty.vgw\": it is too short to be a design (0 bytes).");
    EXPECT_EQ(m.detail, "");
    // The reason once: the standard message adds nothing to it.
    EXPECT_EQ(OpenFailureMessage("none.vgw", OpenNativeFile(s, P("none.vgw"))).OneLine(),
              "Cannot open \"none.vgw\": the file does not exist.");
    std::vector<NativeRecord> rec = BuildNativeRecords(s);
    rec[0][1] = kNaN;
    WriteFileBytes(dir / "nan.vgw", RecordsToBytes(rec));
    EXPECT_EQ(OpenFailureMessage("nan.vgw", OpenNativeFile(s, P("nan.vgw"))).OneLine(),
              "Cannot open \"nan.vgw\": it is not a design (Stroke Length is not a number).");
    rec[0][1] = 3.4e38f;
    WriteFileBytes(dir / "big.vgw", RecordsToBytes(rec));
    const DesignFileResult big = OpenNativeFile(s, P("big.vgw"));
    EXPECT_EQ(HugeValuesQuestion("big.vgw", big.values),
              "\"big.vgw\" holds values no gear can have (Stroke Length = 3.4e38). Open it anyway?");
    EXPECT_EQ(OpenFailureMessage("big.vgw", big).text,
              "Cannot open \"big.vgw\": it holds values no gear can have (Stroke Length = 3.4e38).");

    // A save where the user may not write says so.
    files.faults.create = {FileErrorKind::AccessDenied};
    m = SaveFailureMessage("x.vgw", SaveNativeFile(s, P("x.vgw"), files));
    EXPECT_EQ(m.text, "Cannot save \"x.vgw\": Permission denied (you may not write to this file or its folder).");
    EXPECT_EQ(m.detail, "");
    // A failure the program has no words for keeps the system's number.
    files.faults = {};
    files.faults.open = {FileErrorKind::Other, 1117};
    EXPECT_EQ(OpenFailureMessage("x.vgw", OpenNativeFile(s, P("x.vgw"), HugeValues::Refuse, files)).OneLine(),
              "Cannot open \"x.vgw\": the system could not read it. I/O error 1117.");
    EXPECT_EQ(SaveFailureMessage("x.vgw", SaveNativeFile(s, P("nowhere/x.vgw"))).text,
              "Cannot save \"x.vgw\": its folder does not exist.");
    EXPECT_EQ(CompactText(1234567.0f) + " " + CompactText(1e-7f) + " " + CompactText(-kInf), "1234567 1e-7 -inf");
}

TEST_F(FilesTest, AWholeFileIsWrittenInPartsAndAFailedOneLeavesNothing)
{
    std::vector<std::uint8_t> bytes(200 * 1024);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 7);
    std::string error;
    ASSERT_TRUE(WriteWholeFile(P("picture.png"), bytes.data(), bytes.size(), error)) << error;
    files.faults.write = {FileErrorKind::DiskFull}; // the disk fills up at the third part of 64 KiB
    files.faults.writeAt = 3;
    EXPECT_FALSE(WriteWholeFile(P("picture.png"), bytes.data() + 1, bytes.size() - 1, error, files));
    EXPECT_FALSE(WriteWholeFile(P("new.svg"), bytes.data(), bytes.size(), error, files));
    EXPECT_EQ(error, "Disk full");
    EXPECT_EQ(ReadFileBytes(dir / "picture.png"), bytes);
    EXPECT_EQ(DirEntries(), std::vector<std::string>{"picture.png"});
}

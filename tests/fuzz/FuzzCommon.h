// Shared pieces of the fuzz targets: a reader of fuzzed bytes, the design a
// run of bytes chooses, the run of a design file through a load, and the
// pictures a design is drawn as.
#pragma once

#include "drawing/DiagramCommon.h"
#include "drawing/FrameDrawing.h"
#include "drawing/PortDiagram.h"
#include "drawing/SteamDiagram.h"
#include "drawing/SteamDisplay.h"
#include "drawing/ValveDiagrams.h"
#include "files/DesignValues.h"
#include "files/FileMessages.h"
#include "files/NativeFile.h"
#include "model/AppState.h"
#include "model/Model.h"
#include "platform/Canvas.h"
#include "platform/Services.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

namespace fuzz {

// A broken promise of the code under test: stops the run with the input kept.
inline void Check(bool ok, const char* what)
{
    if (ok) return;
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    __builtin_trap();
}

// Hands out the fuzzed bytes as values; once they run out, zeros.
class Bytes {
public:
    Bytes(const uint8_t* data, size_t size) : p_(data), n_(size) {}
    bool Empty() const { return n_ == 0; }
    uint8_t Byte()
    {
        if (n_ == 0) return 0;
        --n_;
        return *p_++;
    }
    float Float()
    {
        uint8_t b[4] = {Byte(), Byte(), Byte(), Byte()};
        float f;
        std::memcpy(&f, b, sizeof f);
        return f;
    }

private:
    const uint8_t* p_;
    size_t n_;
};

// The program's state right after start-up, made once and copied.
inline AppState StartedState()
{
    static const AppState started = [] {
        AppState s;
        StartupModel(s);
        return s;
    }();
    return started;
}

// ------------------------------------------------------------ design files

// A file in memory that the readers open by path like any other: each input
// replaces its contents, and nothing touches a disk.
class MemoryFile {
public:
    MemoryFile() : fd_(memfd_create("quelf-fuzz", MFD_CLOEXEC)), path_("/proc/self/fd/" + std::to_string(fd_))
    {
        Check(fd_ >= 0, "no memory file");
    }
    const std::string& Hold(const uint8_t* data, size_t size)
    {
        Check(ftruncate(fd_, 0) == 0 && (size == 0 || pwrite(fd_, data, size, 0) == static_cast<ssize_t>(size)),
              "memory file not written");
        return path_;
    }

private:
    int fd_;
    std::string path_;
};

// Everything a save would write, as bytes.
inline std::vector<RecordBytes> SavedBytes(const AppState& s)
{
    std::vector<RecordBytes> out;
    for (const NativeRecord& r : BuildNativeRecords(s)) out.push_back(EncodeRecord(r));
    return out;
}

using LoadFunction = DesignFileResult (*)(AppState&, const std::string&, HugeValues, FileSystem&);

// Loads the file as the main window does: values judged first, huge ones
// loaded only after a second call that accepts them. A file that fails leaves
// the state as it was and has its message; one that loads puts the reverse arm
// bar at mid gear, saves as a design that opens again to the same design, and
// has its gear solved once, as the next tick does.
inline void ExerciseLoad(LoadFunction load, const std::string& path)
{
    AppState s = StartedState();
    static const std::vector<RecordBytes> before = SavedBytes(s);
    static const std::string name = s.display.DataSetName;

    DesignFileResult r = load(s, path, HugeValues::Refuse, SystemFileSystem());
    if (!r.ok) {
        Check(SavedBytes(s) == before && s.display.DataSetName == name, "a failed load changed the state");
        const FileMessage m = OpenFailureMessage("x.vgw", r);
        Check(!m.text.empty() && !m.OneLine().empty(), "a failed load has no message");
        if (r.values.verdict != ValueVerdict::Huge) {
            Check(r.values.verdict == ValueVerdict::NotFinite || !r.error.empty(), "a load failed for no reason");
            return;
        }
        Check(!HugeValuesQuestion("x.vgw", r.values).empty(), "no question before huge values");
        r = load(s, path, HugeValues::Accept, SystemFileSystem());
        Check(r.ok, "huge values refused although accepted");
    }
    Check(r.values.verdict != ValueVerdict::NotFinite, "a value that is not finite was loaded");
    // The reverse arm bar: back at 0 (mid gear), its range around it.
    Check(r.revArmPosition == 0 && r.revArmMin == -r.revArmMax, "reverse arm bar not at mid gear");

    // A design of sound values, as a save writes it, opens again to the same
    // design (the mid-gear centre and what follows from it are computed anew).
    // Huge values the user let in may leave mid gear not a number, and a save
    // keeps that.
    if (r.values.verdict == ValueVerdict::Sound) {
        const std::vector<NativeRecord> saved = BuildNativeRecords(s);
        Check(CheckDesignRecords(saved, RecordLayout::Native).verdict != ValueVerdict::NotFinite,
              "a sound design saves a value that is not finite");
        AppState reopened = StartedState();
        StoreNativeRecords(reopened, saved);
        DesignFileResult again;
        FinishDesignLoad(reopened, again);
        Check(DesignSnapshot(reopened) == DesignSnapshot(s), "a saved design opens with other values");
    }

    TickModel(s);
}

// ------------------------------------------------------------ designs

inline constexpr int kDimensionCodes[] = {1,   2,   3,   4,   5,   6,   7,   8,   9,   10,  11,  12,  13,  14,  15,
                                          16,  17,  18,  19,  20,  21,  22,  101, 102, 103, 104, 105, 106, 107, 108,
                                          109, 110, 111, 112, 113, 114, 115, 116, 117, 118, 119, 120, 121, 122};

// The state a run of bytes chooses: the 44 dimensions, the reverse arm
// setting, the view, the graph settings (and which port graph), the reference
// points, the dynamic-variable slots, the highlighted dimension and some overlay items,
// applied as the dialogs apply them, with every display on.
inline AppState DesignFromBytes(const uint8_t* data, size_t size)
{
    Bytes in(data, size);
    AppState s = StartedState();
    Gear& g = s.gear;
    const int* codes = kDimensionCodes;

    // Which dimensions the input sets (a bit each), then their values.
    uint64_t chosen = 0;
    for (int i = 0; i < 6; ++i) chosen |= static_cast<uint64_t>(in.Byte()) << (8 * i);
    for (int i = 0; i < 44; ++i)
        if (chosen & (uint64_t{1} << i)) SetDimension(g, codes[i], in.Float());
    RecomputeRevArmCentre(g);

    // Reverse arm off mid gear, view, graph settings.
    const uint8_t flags = in.Byte();
    if (flags & 1) g.RevArmPos = in.Float();
    if (flags & 2) {
        s.view.ViewScale = in.Float();
        s.view.ViewOffsetX = in.Float();
        s.view.ViewOffsetY = in.Float();
    }
    if (flags & 4) s.view.GraphicZoom = in.Float();
    if (flags & 8) s.graph.GraphVerticalScale = in.Float();
    if (flags & 16) {
        s.graph.GraphPosCount = in.Byte() % 10;
        for (int k = 1; k <= 9; ++k) g.RevArm[k] = in.Float();
    }
    if (flags & 32) {
        g.PointX[19] = in.Float();
        g.PointY[19] = in.Float();
        g.PointX[20] = in.Float();
        g.PointY[20] = in.Float();
    }
    if (flags & 64) s.anim.Direction = RunDirection::Rev;
    // Line width, and which port graph: forward, reverse or both in turn.
    const uint8_t look = in.Byte();
    s.display.LineWidth = 1 + look % 4;
    s.graph.PortGraphMode = "FRB"[(look >> 2) % 3];

    // Dynamic-variable slots and the highlighted dimension.
    for (auto& slot : s.dyn.Slot) {
        const uint8_t b = in.Byte();
        if (b < 44) {
            slot.Code = codes[b];
            slot.Value = GetDimension(g, slot.Code);
            slot.Name = DimensionShortLabel(slot.Code);
        }
    }
    // Pivots picked for the pivot data panel (point indices as reals, as kept).
    const uint8_t picked = in.Byte();
    for (int k = 1; k <= 6; ++k)
        if (picked & (1 << (k - 1))) {
            s.pivots.PivotSlotSet[k] = true;
            s.pivots.PivotOfSlot[k] = in.Float();
        }
    const uint8_t h = in.Byte();
    if (h < 44) s.highlight.HighlightDim = codes[h];

    // Overlay items: kind, colour, reference, pivots and ends.
    for (int k = 1; k <= kOverlayItems && !in.Empty(); ++k) {
        OverlayItem& it = s.overlay.Item[k];
        it.Kind = in.Float();
        it.Colour = in.Float();
        it.Reference = in.Float();
        it.Pivot1Index = in.Float();
        it.Pivot2Index = in.Float();
        it.X1 = in.Float();
        it.Y1 = in.Float();
        it.X2 = in.Float();
        it.Y2 = in.Float();
    }

    s.display.SteamDisplayOn = true;
    s.display.ScreenDataOn = true;
    s.display.RefPointsOn = true;
    s.display.PivotDataOn = true;
    s.dyn.DynVarsOn = true;
    s.dyn.UndoOn = true;
    return s;
}

// ------------------------------------------------------------ pictures

// The harness's own helpers are left out of the coverage the fuzzer steers by
// and of the sanitizers: they run for every dot of the steam display and would
// only slow it.
#define QUELF_FUZZ_PLAIN __attribute__((no_sanitize("coverage", "address", "undefined")))

// A surface that keeps nothing: each primitive only folds its arguments into
// a sum, so that the drawing code runs in full at little cost.
class SumCanvas : public Canvas {
public:
    QUELF_FUZZ_PLAIN void Ellipse(int x1, int y1, int x2, int y2) override { Add(x1 ^ y1 ^ x2 ^ y2); }
    QUELF_FUZZ_PLAIN void Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) override
    {
        Add(x1 ^ y1 ^ x2 ^ y2 ^ x3 ^ y3 ^ x4 ^ y4);
    }
    QUELF_FUZZ_PLAIN void SetPixel(int x, int y, Colour c) override { Add(x ^ y ^ static_cast<int>(c)); }
    QUELF_FUZZ_PLAIN void TextOut(int x, int y, const std::string& text) override
    {
        Add(x ^ y ^ static_cast<int>(text.size()));
    }
    QUELF_FUZZ_PLAIN void Clear(Colour c) override { Add(static_cast<int>(c)); }
    unsigned sum = 0;

protected:
    QUELF_FUZZ_PLAIN void DoLine(int x1, int y1, int x2, int y2) override { Add(x1 ^ y1 ^ x2 ^ y2); }

private:
    QUELF_FUZZ_PLAIN void Add(int v) { sum = sum * 31u + static_cast<unsigned>(v); }
};

// A fixed sequence of numbers (xorshift, scaled to 0..n-1 without a
// division), the same for every input.
class PlainRandom : public RandomSource {
public:
    QUELF_FUZZ_PLAIN void Reseed() override {}
    QUELF_FUZZ_PLAIN int Next(int n) override
    {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return n <= 0 ? 0 : static_cast<int>((std::uint64_t{state_} * static_cast<std::uint32_t>(n)) >> 32);
    }

private:
    std::uint32_t state_ = 12345;
};

// The main window over one revolution of the driver in six ticks: a frame
// each tick, as Timer1 draws them, so that the steam display and the readouts
// go through their phases. The sounds asked for are the program's two, each
// exhaust beat at a volume of the beat table, the same on both channels.
inline void DrawMainFrames(AppState& s, int revolutionStep = 60)
{
    s.anim.ActiveStep = static_cast<float>(revolutionStep);
    RecordingSound sound;
    PlainRandom random;
    FrameServices services{sound, random};
    for (int a = 0; a < 360; a += revolutionStep) {
        TickModel(s);
        SumCanvas c;
        FrameEffects fx;
        ComposeFrame(c, s, services, fx);
    }
    for (const std::string& name : sound.played)
        Check(name == "Exhaust.wav" || name == "Error.wav", "an unknown sound");
    for (const std::uint32_t v : sound.volumeSets) {
        bool inTable = false;
        for (int n : {24, 101, 201, 401, 601, 801, 1001, 1201}) inTable = inTable || v == ExhaustBeatVolume(n);
        Check(inTable, "a beat volume not in the table");
    }
}

// A diagram as its window draws it: the diagram, then the closing panel, then
// one more tick of the main window, as when the diagram closes.
template <typename Draw>
inline void DrawDiagram(AppState& s, Draw draw)
{
    TickModel(s);
    SumCanvas c;
    draw(c, s);
    std::string undoText;
    DrawClosingPanel(c, s, undoText);
    TickModel(s);
}

} // namespace fuzz

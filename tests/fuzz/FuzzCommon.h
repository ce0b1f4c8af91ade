// Shared pieces of the fuzz targets: a reader of fuzzed bytes and the run of a
// design through everything that draws it.
#pragma once

#include "graphs/DiagramCommon.h"
#include "graphs/PortDiagram.h"
#include "graphs/SteamDiagram.h"
#include "graphs/ValveDiagrams.h"
#include "mainwin/FrameDrawing.h"
#include "model/AppState.h"
#include "model/Model.h"
#include "platform/RecordingCanvas.h"
#include "platform/Services.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

namespace fuzz {

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

// The program's state right after start-up.
inline AppState StartedState()
{
    AppState s;
    StartupModel(s);
    return s;
}

// A path to write fuzzed files to, one per process.
inline const std::string& ScratchFile(const char* suffix)
{
    static std::string path = [suffix] {
        char tmpl[] = "/tmp/quelf-fuzz-XXXXXX";
        int fd = mkstemp(tmpl);
        if (fd >= 0) close(fd);
        std::string p = std::string(tmpl) + suffix;
        std::rename(tmpl, p.c_str());
        return p;
    }();
    return path;
}

inline void WriteFile(const std::string& path, const uint8_t* data, size_t size)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) __builtin_trap();
    if (size) std::fwrite(data, 1, size, f);
    std::fclose(f);
}

// Solves the design over one revolution of the driver, composes a main frame
// with every display on, then draws each analysis diagram.
inline void ExerciseDesign(AppState& s, int revolutionStep = 15)
{
    s.anim.ActiveStep = static_cast<float>(revolutionStep);
    for (int a = 0; a < 360; a += revolutionStep) TickModel(s);

    s.display.SteamDisplayOn = true;
    s.display.ScreenDataOn = true;
    s.display.RefPointsOn = true;
    s.display.PivotDataOn = true;
    s.dyn.DynVarsOn = true;
    s.dyn.UndoOn = true;
    RecordingSound sound;
    FixedRandom random;
    FrameServices services{sound, random};
    {
        RecordingCanvas c;
        FrameEffects fx;
        ComposeFrame(c, s, services, fx);
    }
    // Each diagram as its window draws it: the diagram, then the closing panel.
    std::string undoText;
    {
        RecordingCanvas c;
        DrawPortBothGraphs(c, s);
        DrawClosingPanel(c, s, undoText);
    }
    {
        RecordingCanvas c;
        DrawSteamDiagram(c, s);
        DrawClosingPanel(c, s, undoText);
    }
    {
        RecordingCanvas c;
        DrawOvalDiagram(c, s);
        DrawClosingPanel(c, s, undoText);
    }
    {
        RecordingCanvas c;
        DrawSineDiagram(c, s);
        DrawClosingPanel(c, s, undoText);
    }
    // One more tick after the sweeps, as the main window does when a diagram closes.
    TickModel(s);
}

} // namespace fuzz

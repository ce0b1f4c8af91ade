// The frame with everything of the steam display and the screen data panel in
// use: steam dots and beats, dynamic-variable panel and undo label, cut-off
// figures while running, on a QtCanvas over a fresh 1280 x 1024 image.
#include "BenchSupport.h"
#include "drawing/FrameDrawing.h"
#include "model/DynVars.h"
#include "model/Model.h"
#include "platform/Services.h"
#include "qt/QtCanvas.h"

#include <QImage>
#include <benchmark/benchmark.h>

namespace {

void RunBusyTicks(benchmark::State& st, int preset)
{
    AppState s = StartedDesign(preset, true);
    s.dyn.DynVarsOn = true;
    s.dyn.UndoOn = true;
    StageDynVar(s, 2, s.gear.Stroke, "Stroke");
    StageDynVar(s, 6, s.gear.EccAngleDeg, "Ecc Angle Deg");
    s.gear.RevArmPos = s.gear.RevArmCentre() + 0.8f; // well into forward gear
    RecordingSound sound;
    FixedRandom random;
    FrameServices services{sound, random};
    for (auto _ : st) {
        TickModel(s);
        QImage frame(1280, 1024, QImage::Format_RGB32);
        frame.fill(Qt::white);
        QtCanvas canvas(frame);
        FrameEffects fx;
        ComposeFrame(canvas, s, services, fx);
        benchmark::DoNotOptimize(frame.constBits());
        sound.played.clear();
        sound.volumeSets.clear();
    }
}

} // namespace

static void BM_BusyTick_SteamPanelDefaultView(benchmark::State& st) { RunBusyTicks(st, 0); }
BENCHMARK(BM_BusyTick_SteamPanelDefaultView)->Unit(benchmark::kMicrosecond);

static void BM_BusyTick_SteamPanelPreset6(benchmark::State& st) { RunBusyTicks(st, 6); }
BENCHMARK(BM_BusyTick_SteamPanelPreset6)->Unit(benchmark::kMicrosecond);

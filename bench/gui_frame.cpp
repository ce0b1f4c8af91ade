// One full animation tick with frame composition on a 1280 x 1024 image, as
// the main window does it (keeping the frame's display list for the picture
// commands), against merely filling a fresh image (the floor of this design).
#include "mainwin/FrameDrawing.h"
#include "model/Model.h"
#include "platform/DisplayList.h"
#include "platform/QtCanvas.h"
#include "platform/Services.h"

#include <QApplication>
#include <benchmark/benchmark.h>

namespace {

void RunTicks(benchmark::State& st, int preset, bool steam)
{
    AppState s;
    StartupModel(s);
    if (preset > 0) {
        s.view.ViewScale = s.view.PresetTable[3 * preset];
        s.view.ViewOffsetX = s.view.PresetTable[3 * preset + 1];
        s.view.ViewOffsetY = s.view.PresetTable[3 * preset + 2];
    }
    s.display.SteamDisplayOn = steam;
    RecordingSound sound;
    FixedRandom random;
    FrameServices services{sound, random};
    QImage frame(1280, 1024, QImage::Format_RGB32);
    DisplayList list;
    for (auto _ : st) {
        TickModel(s);
        frame.fill(Qt::white);
        list.Reset(1280, 1024);
        QtCanvas canvas(frame);
        canvas.RecordInto(&list);
        FrameEffects fx;
        ComposeFrame(canvas, s, services, fx);
        benchmark::DoNotOptimize(frame.constBits());
    }
}

} // namespace

static void BM_FullTick_DefaultView(benchmark::State& st) { RunTicks(st, 0, false); }
BENCHMARK(BM_FullTick_DefaultView)->Unit(benchmark::kMicrosecond);

static void BM_FullTick_SteamDefaultView(benchmark::State& st) { RunTicks(st, 0, true); }
BENCHMARK(BM_FullTick_SteamDefaultView)->Unit(benchmark::kMicrosecond);

static void BM_FullTick_SteamPreset6(benchmark::State& st) { RunTicks(st, 6, true); }
BENCHMARK(BM_FullTick_SteamPreset6)->Unit(benchmark::kMicrosecond);

static void BM_FillFreshImage(benchmark::State& st)
{
    for (auto _ : st) {
        QImage frame(1280, 1024, QImage::Format_RGB32);
        frame.fill(Qt::white);
        benchmark::DoNotOptimize(frame.constBits());
    }
}
BENCHMARK(BM_FillFreshImage)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv); // widgets too (the valve events window)
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

// One full animation tick with its frame as the main window does it: the
// frame composed as a display list, painted on an image of the client area's
// size (632 x 380) times the device pixel ratio where it changed, compared
// with the one shown; at ratio 1 and 2, and painted whole for comparison.
// Against merely filling a fresh 1280 x 1024 image. And the start: a new main
// window shown until its first frame is on the window.
#include "BenchSupport.h"
#include "drawing/FrameDrawing.h"
#include "mainwin/TMainForm.h"
#include "model/Model.h"
#include "platform/DisplayList.h"
#include "platform/Services.h"
#include "qt/QtCanvas.h"
#include "qt/QtFrameBuffer.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <benchmark/benchmark.h>

#include <memory>

namespace {

void RunTicks(benchmark::State& st, int preset, bool steam, qreal ratio = 1, bool paintWhole = false)
{
    AppState s = StartedDesign(preset, steam);
    RecordingSound sound;
    FixedRandom random;
    FrameServices services{sound, random};
    FrameBuffer frame;
    frame.SetPaintWhole(paintWhole);
    DisplayList list;
    for (auto _ : st) {
        TickModel(s);
        list.Reset(kClientWidth, kClientHeight);
        QtListCanvas canvas(list);
        FrameEffects fx;
        ComposeFrame(canvas, s, services, fx);
        benchmark::DoNotOptimize(frame.Show(list, ratio));
    }
}

// Notes the first paint of the main window's client area with a frame.
struct PaintSeen : QObject {
    const TMainForm* form = nullptr;
    bool seen = false;
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (e->type() == QEvent::Paint && form->FramesPainted() > 0) seen = true;
        return QObject::eventFilter(o, e);
    }
};

} // namespace

static void BM_FullTick_DefaultView(benchmark::State& st) { RunTicks(st, 0, false); }
BENCHMARK(BM_FullTick_DefaultView)->Unit(benchmark::kMicrosecond);

// The same ticks with every frame painted whole, as before frames were
// painted by what changed.
static void BM_FullTick_DefaultView_PaintedWhole(benchmark::State& st) { RunTicks(st, 0, false, 1, true); }
BENCHMARK(BM_FullTick_DefaultView_PaintedWhole)->Unit(benchmark::kMicrosecond);

static void BM_FullTick_DefaultView_Ratio2(benchmark::State& st) { RunTicks(st, 0, false, 2); }
BENCHMARK(BM_FullTick_DefaultView_Ratio2)->Unit(benchmark::kMicrosecond);

static void BM_FullTick_DefaultView_Ratio2_PaintedWhole(benchmark::State& st) { RunTicks(st, 0, false, 2, true); }
BENCHMARK(BM_FullTick_DefaultView_Ratio2_PaintedWhole)->Unit(benchmark::kMicrosecond);

static void BM_FullTick_SteamDefaultView(benchmark::State& st) { RunTicks(st, 0, true); }
BENCHMARK(BM_FullTick_SteamDefaultView)->Unit(benchmark::kMicrosecond);

static void BM_FullTick_SteamPreset6(benchmark::State& st) { RunTicks(st, 6, true); }
BENCHMARK(BM_FullTick_SteamPreset6)->Unit(benchmark::kMicrosecond);

static void BM_FullTick_SteamDefaultView_Ratio2(benchmark::State& st) { RunTicks(st, 0, true, 2); }
BENCHMARK(BM_FullTick_SteamDefaultView_Ratio2)->Unit(benchmark::kMicrosecond);

static void BM_FullTick_SteamPreset6_Ratio2(benchmark::State& st) { RunTicks(st, 6, true, 2); }
BENCHMARK(BM_FullTick_SteamPreset6_Ratio2)->Unit(benchmark::kMicrosecond);

static void BM_FullTick_SteamDefaultView_Ratio1_5(benchmark::State& st) { RunTicks(st, 0, true, 1.5); }
BENCHMARK(BM_FullTick_SteamDefaultView_Ratio1_5)->Unit(benchmark::kMicrosecond);

// A new main window with its child windows, shown, until its client area has
// painted the first frame (the screen's ratio: run with QT_SCALE_FACTOR=2 for
// a 200 % screen). "first_ms" is the first one, with the fonts not yet loaded.
static void BM_StartToFirstFrame(benchmark::State& st)
{
    double first = -1;
    for (auto _ : st) {
        QElapsedTimer clock;
        clock.start();
        AppState s;
        RecordingSound sound;
        FixedRandom random;
        FixedClock time;
        auto form = std::make_unique<TMainForm>(s, sound, random, time);
        PaintSeen seen;
        seen.form = form.get();
        form->Area()->installEventFilter(&seen);
        form->CreateChildWindows();
        form->show();
        while (!seen.seen) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (first < 0) first = static_cast<double>(clock.nsecsElapsed()) / 1e6;
        st.PauseTiming();
        form.reset();
        QCoreApplication::processEvents();
        st.ResumeTiming();
    }
    st.counters["first_ms"] = first;
}
BENCHMARK(BM_StartToFirstFrame)->Unit(benchmark::kMillisecond)->Iterations(10);

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

// Results that leave the program: the design report as a PDF (everything
// from the design: valve events table, pictures, layout, PDF) and one
// revolution of the gear as a GIF of 72 frames at 1x and 2x (drawing,
// rasterising, encoding), as the command line and the window make them.
#include "BenchSupport.h"
#include "drawing/DesignReport.h"
#include "drawing/MainPicture.h"
#include "qt/QtAnimation.h"
#include "qt/QtReport.h"

#include <benchmark/benchmark.h>

static void BM_DesignReport_Pdf(benchmark::State& st)
{
    const AppState s = StartedDesign(0, false);
    FixedClock clock;
    for (auto _ : st) {
        const QByteArray pdf = EncodeReportPdf(DesignReportOf(s, clock), QPageSize(QPageSize::A4), "bench");
        benchmark::DoNotOptimize(pdf.constData());
        st.counters["bytes"] = static_cast<double>(pdf.size());
    }
}
BENCHMARK(BM_DesignReport_Pdf)->Unit(benchmark::kMillisecond);

// The frames as `--export-animation` draws them; with the steam display, its
// dots at every frame.
static void Animation(benchmark::State& st, int scale, bool steam)
{
    AppState s = StartedDesign(0, steam);
    PrepareMainPicture(s);
    for (auto _ : st) {
        MainAnimation animation(s, kAnimationFrames, 0);
        AnimationFrames f;
        f.count = animation.Count();
        f.draw = [&animation](int k) { return animation.Frame(k); };
        f.scale = scale;
        f.delay = AnimationFrameDelay(f.count);
        AnimationResult r;
        const QByteArray gif = EncodeAnimation(f, r);
        benchmark::DoNotOptimize(gif.constData());
        st.counters["bytes"] = static_cast<double>(gif.size());
        st.counters["quantised"] = r.quantised;
    }
}

static void BM_Animation_Gif72_1x(benchmark::State& st) { Animation(st, 1, false); }
BENCHMARK(BM_Animation_Gif72_1x)->Unit(benchmark::kMillisecond);

static void BM_Animation_Gif72_2x(benchmark::State& st) { Animation(st, 2, false); }
BENCHMARK(BM_Animation_Gif72_2x)->Unit(benchmark::kMillisecond);

static void BM_Animation_Gif72_Steam_2x(benchmark::State& st) { Animation(st, 2, true); }
BENCHMARK(BM_Animation_Gif72_Steam_2x)->Unit(benchmark::kMillisecond);

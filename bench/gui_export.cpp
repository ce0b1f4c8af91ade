// Pictures written from their display lists, as the picture commands and the
// command line write them: a diagram as SVG and PDF, the main picture as a
// 4x PNG (with the steam display on at the closest preset: the most dots).
#include "BenchSupport.h"
#include "drawing/DiagramPictures.h"
#include "drawing/FrameDrawing.h"
#include "model/Model.h"
#include "platform/DisplayList.h"
#include "platform/Services.h"
#include "qt/QtPicture.h"

#include <benchmark/benchmark.h>

namespace {

DisplayList Diagram(DiagramKind k)
{
    AppState s;
    StartupModel(s);
    DisplayList list(DiagramPictureWidth(k), DiagramPictureHeight(k));
    DisplayListCanvas c(list);
    DrawDiagramAsOpened(c, s, k);
    return list;
}

DisplayList MainPicture(int preset, bool steam)
{
    AppState s = StartedDesign(preset, steam);
    RecordingSound sound;
    FixedRandom random;
    FrameServices services{sound, random};
    DisplayList list;
    for (int i = 0; i < 20; ++i) { // into the stroke, where the steam is
        TickModel(s);
        list.Reset(1280, 1024);
        DisplayListCanvas c(list);
        FrameEffects fx;
        ComposeFrame(c, s, services, fx);
    }
    list.Crop(0, 0, 632, 380);
    return list;
}

void Encode(benchmark::State& st, const DisplayList& list, PictureFormat f, int scale)
{
    for (auto _ : st) {
        const QByteArray bytes = EncodeDisplayList(list, f, scale, QStringLiteral("bench"));
        benchmark::DoNotOptimize(bytes.constData());
    }
}

} // namespace

static void BM_Export_PortGraphBoth_Svg(benchmark::State& st)
{
    Encode(st, Diagram(DiagramKind::PortBoth), PictureFormat::Svg, 1);
}
BENCHMARK(BM_Export_PortGraphBoth_Svg)->Unit(benchmark::kMillisecond);

static void BM_Export_PortGraphBoth_Pdf(benchmark::State& st)
{
    Encode(st, Diagram(DiagramKind::PortBoth), PictureFormat::Pdf, 1);
}
BENCHMARK(BM_Export_PortGraphBoth_Pdf)->Unit(benchmark::kMillisecond);

static void BM_Export_Oval_Svg(benchmark::State& st) { Encode(st, Diagram(DiagramKind::Oval), PictureFormat::Svg, 1); }
BENCHMARK(BM_Export_Oval_Svg)->Unit(benchmark::kMillisecond);

static void BM_Export_Oval_Pdf(benchmark::State& st) { Encode(st, Diagram(DiagramKind::Oval), PictureFormat::Pdf, 1); }
BENCHMARK(BM_Export_Oval_Pdf)->Unit(benchmark::kMillisecond);

static void BM_Export_Main_Png4x(benchmark::State& st) { Encode(st, MainPicture(0, false), PictureFormat::Png, 4); }
BENCHMARK(BM_Export_Main_Png4x)->Unit(benchmark::kMillisecond);

static void BM_Export_MainSteamPreset6_Png4x(benchmark::State& st)
{
    Encode(st, MainPicture(6, true), PictureFormat::Png, 4);
}
BENCHMARK(BM_Export_MainSteamPreset6_Png4x)->Unit(benchmark::kMillisecond);

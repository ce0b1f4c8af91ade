// What a comparison and a scaling cost: the diagrams with the reference's
// curves beneath, the table of differences from two measured tables, the
// main frame with the ghost, and a whole scaling with its undo record.
#include "BenchSupport.h"

#include "analysis/ValveEventsTable.h"
#include "drawing/DiagramPictures.h"
#include "drawing/FrameDrawing.h"
#include "model/DesignScale.h"
#include "model/DynVars.h"
#include "platform/RecordingCanvas.h"

#include <benchmark/benchmark.h>

namespace {

AppState Compared()
{
    AppState s = StartedDesign(0, false);
    Gear ref = s.gear;
    ref.ValveRodLength = 3.9f;
    s.compare.Reference = ref;
    s.compare.GhostOn = true;
    return s;
}

} // namespace

static void BM_DiagramWithReference(benchmark::State& st)
{
    const auto kind = static_cast<DiagramKind>(st.range(0));
    AppState s = Compared();
    if (st.range(1) == 0) s.compare.Reference.reset();
    for (auto _ : st) {
        RecordingCanvas c;
        DrawDiagramAsOpened(c, s, kind);
        benchmark::DoNotOptimize(c.Ops().data());
    }
    st.SetLabel(std::string(st.range(1) ? "with" : "without") + " reference");
}
BENCHMARK(BM_DiagramWithReference)
    ->Args({static_cast<int>(DiagramKind::PortForward), 0})
    ->Args({static_cast<int>(DiagramKind::PortForward), 1})
    ->Args({static_cast<int>(DiagramKind::Oval), 0})
    ->Args({static_cast<int>(DiagramKind::Oval), 1})
    ->Unit(benchmark::kMillisecond);

static void BM_ValveEventsDifference(benchmark::State& st)
{
    const AppState s = Compared();
    for (auto _ : st) {
        const auto text = ValveEventsDifferenceText(BuildValveEventsTable(s.gear),
                                                    BuildValveEventsTable(*ComparedReference(s)), s.gear.Unit);
        benchmark::DoNotOptimize(text.data());
    }
}
BENCHMARK(BM_ValveEventsDifference)->Unit(benchmark::kMillisecond);

static void BM_FrameWithGhost(benchmark::State& st)
{
    AppState s = Compared();
    s.compare.GhostOn = st.range(0) != 0;
    RecordingSound sound;
    FixedRandom random;
    FrameServices services{sound, random};
    for (auto _ : st) {
        TickModel(s);
        RecordingCanvas c;
        FrameEffects fx;
        ComposeFrame(c, s, services, fx);
        benchmark::DoNotOptimize(c.Ops().data());
    }
    st.SetLabel(s.compare.GhostOn ? "ghost" : "no ghost");
}
BENCHMARK(BM_FrameWithGhost)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

static void BM_ScaleDesignAndUndo(benchmark::State& st)
{
    AppState s = StartedDesign(0, false);
    for (auto _ : st) {
        ScaleDesign(s, {25.4L, LengthUnit::Millimetre, RoundGrid::None});
        UndoButtonClick(s);
        benchmark::DoNotOptimize(s.gear.Stroke);
    }
}
BENCHMARK(BM_ScaleDesignAndUndo)->Unit(benchmark::kMicrosecond);

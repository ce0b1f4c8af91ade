// One full draw of the oval and of the sine diagram with the default three
// reverse arm positions on the window's picture, as the diagram windows draw
// it (clear, diagram, closing panel).
#include "drawing/DiagramCommon.h"
#include "drawing/RevArmPositions.h"
#include "drawing/ValveDiagrams.h"
#include "model/Model.h"
#include "platform/RecordingCanvas.h"
#include "qt/QtCanvas.h"

#include <QImage>
#include <benchmark/benchmark.h>

namespace {

void DrawOnPicture(benchmark::State& st, void (*draw)(Canvas&, AppState&))
{
    AppState s;
    StartupModel(s);
    RecordingCanvas scratch;
    RevArmLayout lay;
    LayoutRevArmDialog(scratch, s, lay);
    s.dyn.DynVarsOn = true;
    s.dyn.UndoOn = true;
    std::string undoText;
    QImage picture(632, 426, QImage::Format_RGB32);
    for (auto _ : st) {
        picture.fill(Qt::white);
        QtCanvas c(picture);
        draw(c, s);
        DrawClosingPanel(c, s, undoText);
        benchmark::DoNotOptimize(picture.constBits());
    }
}

} // namespace

static void BM_OvalDiagram_Picture(benchmark::State& st) { DrawOnPicture(st, DrawOvalDiagram); }
BENCHMARK(BM_OvalDiagram_Picture)->Unit(benchmark::kMicrosecond);

static void BM_SineDiagram_Picture(benchmark::State& st) { DrawOnPicture(st, DrawSineDiagram); }
BENCHMARK(BM_SineDiagram_Picture)->Unit(benchmark::kMicrosecond);

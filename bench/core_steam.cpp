// The steam display and the screen data panel alone, on a canvas that draws
// nothing: the cost of the particle model, the random numbers and the texts.
#include "drawing/ScreenData.h"
#include "drawing/SteamDisplay.h"
#include "model/Model.h"

#include <benchmark/benchmark.h>

namespace {

class NullCanvas : public Canvas {
public:
    void Ellipse(int, int, int, int) override {}
    void Arc(int, int, int, int, int, int, int, int) override {}
    void SetPixel(int x, int y, Colour c) override { sum += static_cast<unsigned>(x + y) ^ c; }
    void TextOut(int x, int, const std::string& t) override { sum += static_cast<unsigned>(x) + t.size(); }
    void Clear(Colour) override {}
    unsigned sum = 0;

protected:
    void DoLine(int, int, int, int) override {}
};

void RunSteam(benchmark::State& st, float scale)
{
    AppState s;
    StartupModel(s);
    s.view.ViewScale = scale;
    s.display.SteamDisplayOn = true;
    RecordingSound sound;
    FixedRandom random;
    FrameServices services{sound, random};
    NullCanvas c;
    for (auto _ : st) {
        TickModel(s);
        DrawSteamDisplay(c, s, services);
        FrameEffects fx;
        DrawScreenData(c, s, services, fx);
        benchmark::DoNotOptimize(c.sum);
        sound.played.clear();
        sound.volumeSets.clear();
    }
}

} // namespace

static void BM_SteamAndPanel_Scale22(benchmark::State& st) { RunSteam(st, 22); }
BENCHMARK(BM_SteamAndPanel_Scale22)->Unit(benchmark::kMicrosecond);

static void BM_SteamAndPanel_Scale200(benchmark::State& st) { RunSteam(st, 200); }
BENCHMARK(BM_SteamAndPanel_Scale200)->Unit(benchmark::kMicrosecond);

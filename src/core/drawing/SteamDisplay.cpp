#include "drawing/SteamDisplay.h"

#include "model/NumberText.h"

#include "model/Model.h"

#include <cmath>

using LD = long double;

namespace {

// A count of dots from a real: rounded, never negative, never beyond what a
// 1280 x 1024 frame could show many times over.
int DotCount(LD v)
{
    const int n = ToPixel(v);
    return n < 0 ? 0 : n;
}

// Model pressure of a closed or open chamber, kept between 25 and 2000 (a NaN
// from a broken design falls back to the floor).
float ClampDensity(LD d)
{
    if (!(d >= 25)) d = 25;
    if (d > 2000) d = 2000;
    return ToModelFloat(d);
}

// Volume for an exhaust beat from the density recorded at the previous beat of
// the other side; 0 = leave the volume as it is.
std::uint32_t BeatChannelVolume(int n)
{
    if (n >= 24 && n <= 100) return 0x0700;
    if (n >= 101 && n <= 200) return 0x1400;
    if (n >= 201 && n <= 400) return 0x2800;
    if (n >= 401 && n <= 600) return 0x4000;
    if (n >= 601 && n <= 800) return 0x5000;
    if (n >= 801 && n <= 1000) return 0x6000;
    if (n >= 1001 && n <= 1200) return 0x7000;
    if (n >= 1201 && n <= 2001) return 0x8000;
    return 0;
}

struct SteamPainter {
    Canvas& c;
    AppState& s;
    FrameServices& sv;
    Colour colour = clBlack;

    int R(int n) { return sv.random.Next(n); }
    void Dot(int x, int y) { c.SetPixel(x, y, colour); }

    // A height the particle geometry divides by; 0 (a degenerate cylinder)
    // is taken as 1 and signalled by the beep.
    int Height(int h)
    {
        if (h != 0) return h;
        if (s.gear.ErrorBeepOn) sv.sound.Beep();
        return 1;
    }

    // Phase and colour of one chamber; `colour` carries over from the
    // previous chamber when this one has no phase yet and both ports are shut.
    void Phase(ChamberPhase& phase, float steamOpen, float exhOpen)
    {
        if (steamOpen > 0) {
            phase = ChamberPhase::ExpansionNext;
            colour = clRed;
        } else if (phase == ChamberPhase::ExpansionNext) {
            colour = clMagenta;
        }
        if (exhOpen > 0) {
            phase = ChamberPhase::CompressionNext;
            colour = clBlue;
        } else if (phase == ChamberPhase::CompressionNext) {
            colour = clGreen;
        }
    }

    int Density(float& density, float steamOpen, float exhOpen)
    {
        LD d = density;
        const LD step = s.anim.ActiveStep;
        if (colour == clRed) d += step * 50 * (static_cast<LD>(steamOpen) + 0.1L);
        if (colour == clBlue) d -= step * 60 * static_cast<LD>(exhOpen);
        density = ClampDensity(d);
        return DotCount(static_cast<LD>(density) * s.view.ViewScale / 18.5L);
    }

    void Exhaust(int n, float exhOpen)
    {
        const Gear& g = s.gear;
        const auto& C = g.CylOutline;
        const auto& P = g.PortOutline;
        const auto& V = g.ValveOutline;
        const int y13 = g.ScreenY[13];
        colour = exhOpen > 0 ? clBlue : clWhite;
        for (int i = 0, m = n / 10; i < m; ++i) // the valve's exhaust cavity
            Dot(V[5].x + R(V[3].x - V[5].x), V[4].y + R(C[2].y - V[4].y));
        for (int i = 0, m = n / 15; i < m; ++i) // the exhaust port
            Dot(P[1].x + R(P[8].x - P[1].x), C[2].y + R(C[2].y - y13));
        for (int i = 0, m = n / 20; i < m; ++i) // beside the inlet
            Dot(C[13].x + R(C[13].x - C[0].x), C[0].y - R(C[2].y - C[0].y));
        // A plume widening as it rises.
        const LD w = C[13].x - C[0].x;
        const int h = Height(C[2].y - C[0].y);
        for (int i = 0, m = n / 6; i < m; ++i) {
            const int v = R(3 * h);
            const LD t = static_cast<LD>(v) / h;
            const int spread = R(ToPixel(2 * w * t));
            Dot(ToPixel(spread + P[7].x - w * t), 2 * C[0].y - C[2].y - v);
        }
    }
};

void SetBeatVolume(SoundPort& sound, float otherDensity)
{
    const std::uint32_t v = BeatChannelVolume(ToPixel(otherDensity));
    if (v != 0) sound.SetWaveVolume(v | (v << 16));
}

} // namespace

std::uint32_t ExhaustBeatVolume(int n)
{
    const std::uint32_t v = BeatChannelVolume(n);
    return v | (v << 16);
}

void DrawSteamDisplay(Canvas& c, AppState& s, FrameServices& services)
{
    services.random.Reseed();
    Gear& g = s.gear;
    SteamDisplay& st = s.steam;
    const auto& C = g.CylOutline;
    const auto& P = g.PortOutline;
    const auto& V = g.ValveOutline;
    const auto& K = g.PistonOutline;
    const int y13 = g.ScreenY[13];
    const LD scale = s.view.ViewScale;
    SteamPainter p{c, s, services};

    // 1. Live steam in the inlet and the steam chest.
    p.colour = clRed;
    for (int i = 0, m = DotCount(5.4L * scale); i < m; ++i)
        p.Dot(C[0].x + p.R(C[13].x - C[0].x), C[0].y - p.R(C[2].y - y13));
    const int chest = DotCount(10.8L * scale);
    for (int i = 0; i < chest; ++i) p.Dot(C[1].x + p.R(C[12].x - C[1].x), C[0].y + p.R(V[0].y - C[0].y));
    if (C[1].x < V[0].x)
        for (int i = 0; i < chest; ++i) p.Dot(C[1].x + p.R(V[0].x - C[1].x), V[0].y + p.R(C[2].y - V[0].y));
    if (V[1].x < C[12].x)
        for (int i = 0; i < chest; ++i) p.Dot(V[1].x + p.R(C[12].x - V[1].x), V[0].y + p.R(C[2].y - V[0].y));

    // 2.-4. Front chamber.
    p.colour = clBlack;
    p.Phase(st.FrontPhase, g.FrontSteamOpen, g.FrontExhOpen);
    const int f = p.Density(st.FrontSteamDensity, g.FrontSteamOpen, g.FrontExhOpen);
    if (K[3].x < C[7].x)
        for (int i = 0; i < f; ++i) p.Dot(K[3].x + p.R(C[7].x - K[3].x), C[5].y + p.R(C[6].y - C[5].y));
    {
        const int h = p.Height(C[5].y - P[3].y);
        for (int i = 0, m = f / 8; i < m; ++i) {
            const int v = p.R(h);
            const LD t = static_cast<LD>(v) / h;
            p.Dot(P[6].x + ToPixel((P[5].x - P[6].x) * t) + p.R(C[8].x - P[5].x), P[3].y + v);
        }
    }
    for (int i = 0, m = f / 20; i < m; ++i) p.Dot(P[7].x + p.R(C[10].x - P[7].x), C[2].y + p.R(P[6].y - C[2].y));

    // 5. Rear chamber; its colour starts from the front chamber's.
    p.Phase(st.RearPhase, g.RearSteamOpen, g.RearExhOpen);
    const int r = p.Density(st.RearSteamDensity, g.RearSteamOpen, g.RearExhOpen);
    if (C[5].x < K[0].x)
        for (int i = 0; i < r; ++i) p.Dot(C[5].x + p.R(K[0].x - C[5].x), C[5].y + p.R(C[6].y - C[5].y));
    {
        const int h = p.Height(C[5].y - P[3].y);
        for (int i = 0, m = r / 8; i < m; ++i) {
            const int v = p.R(h);
            const LD t = static_cast<LD>(v) / h;
            p.Dot(P[3].x + ToPixel((P[4].x - P[3].x) * t) - p.R(P[4].x - C[5].x), P[3].y + v);
        }
    }
    for (int i = 0, m = r / 20; i < m; ++i) p.Dot(C[3].x + p.R(P[2].x - C[3].x), C[2].y + p.R(P[3].y - C[2].y));

    // 6.-7. Exhaust of both ends.
    p.Exhaust(f, g.FrontExhOpen);
    p.Exhaust(r, g.RearExhOpen);

    // 8. Phase legend beside the cylinder.
    if (s.display.ScreenDataOn) {
        const int x = C[6].x, y = C[6].y;
        c.SetFontColour(clRed);
        c.TextOut(x - 40, y + 5, "ADMISSION");
        c.SetFontColour(clMagenta);
        c.TextOut(x + 40, y + 5, "EXPANSION");
        c.SetFontColour(clBlue);
        c.TextOut(x - 40, y + 17, "EXHAUST");
        c.SetFontColour(clGreen);
        c.TextOut(x + 24, y + 17, "COMPRESSION");
        c.SetFontColour(clBlack);
    }

    // 9. Exhaust beats: each side's loudness comes from the density the other
    // side recorded at its last beat.
    const bool highlighted = s.highlight.HighlightDim > 0;
    if (g.FrontExhOpen < 0 && !highlighted) st.FrontBeatArmed = true;
    if (g.FrontExhOpen > 0 && st.FrontBeatArmed) {
        st.FrontBeatArmed = false;
        st.FrontBeatDensity = st.FrontSteamDensity;
        SetBeatVolume(services.sound, st.RearBeatDensity);
        services.sound.PlayWave("Exhaust.wav");
    }
    if (g.RearExhOpen < 0 && !highlighted) st.RearBeatArmed = true;
    if (g.RearExhOpen > 0 && st.RearBeatArmed) {
        st.RearBeatArmed = false;
        st.RearBeatDensity = st.RearSteamDensity;
        SetBeatVolume(services.sound, st.FrontBeatDensity);
        services.sound.PlayWave("Exhaust.wav");
    }
}

#include "drawing/PortDiagram.h"

#include "drawing/DiagramCommon.h"
#include "model/DesignScale.h"
#include "model/Model.h"
#include "model/NumberText.h"

#include <cfloat>
#include <cmath>

using LD = long double;

namespace {

struct Pt {
    int x;
    int y;
};

template <size_t N>
void Poly(Canvas& c, const Pt (&pts)[N])
{
    c.Polyline(pts, static_cast<int>(N));
}

void DrawFrameAndGrid(Canvas& c)
{
    c.SetPenColour(clBlack);
    c.Line(9, 42, 9, 353);
    c.Line(9, 343, 549, 343);
    c.Line(549, 353, 549, 42);
    for (int r = 0; r <= 9; ++r) {
        const int a = 32 * r;
        for (int j = 2; j <= 20; ++j) c.Line(27 * j - 18, a + 52, 27 * j - 18, a + 58);
        for (int k = 2; k <= 10; ++k) c.Line(54 * k - 45, a + 45, 54 * k - 45, a + 65);
        for (int l = 2; l <= 22; ++l) c.Line(27 * l - 49, a + 55, 27 * l - 40, a + 55);
    }
}

void DrawNormalAndMaximum(Canvas& c, const Gear& g)
{
    c.SetFontColour(clRed);
    c.TextOut(420, 47, "Maximum");
    // A zero maximum leaves the height of the normal setting undefined: the
    // line is left out then.
    if (g.RevArmMax != 0) {
        const int yN = ToPixel(343 - static_cast<LD>(g.RevArmNormal) * 288 / static_cast<LD>(g.RevArmMax));
        c.SetPenColour(clBlue);
        c.Line(59, yN, 650, yN);
        c.SetFontColour(clBlue);
        c.TextOut(345, yN - 7, "Normal");
    }
    c.SetPenColour(clBlack);
    c.SetFontColour(clBlack);
}

void DrawLabels(Canvas& c, bool forward)
{
    static const struct {
        int x, y;
        const char* text;
    } kLabels[] = {
        {10, 353, "0"},       {56, 353, "10"},  {110, 353, "20"},  {164, 353, "30"},
        {218, 353, "40"},     {272, 353, "50"}, {326, 353, "60"},  {380, 353, "70"},
        {434, 353, "80"},     {488, 353, "90"}, {529, 350, "100"}, {200, 367, "Percent Piston Travel"},
        {568, 350, "Center"},
    };
    for (const auto& l : kLabels) c.TextOut(l.x, l.y, l.text);

    // Vertical title, one letter per line.
    const char* reverse = "REVERSE";
    for (int i = 0; i < 7; ++i) c.TextOut(535, 76 + 14 * i, std::string(1, reverse[i]));
    const char* arm = "ARM";
    for (int i = 0; i < 3; ++i) c.TextOut(535, 178 + 14 * i, std::string(1, arm[i]));
    const char* position = "POSITION";
    for (int i = 0; i < 8; ++i) c.TextOut(position[i] == 'I' ? 537 : 535, 224 + 14 * i, std::string(1, position[i]));

    // Legend of the pass being drawn, in its colours.
    if (forward) {
        c.TextOut(415, 290, "Fwd.");
        c.SetFontColour(clTeal);
        c.TextOut(446, 284, "Front Port");
        c.SetFontColour(clRed);
        c.TextOut(446, 296, "Rear Port");
    } else {
        c.TextOut(415, 321, "Rev.");
        c.SetFontColour(clGreen);
        c.TextOut(446, 315, "Front Port");
        c.SetFontColour(clMaroon);
        c.TextOut(446, 327, "Rear Port");
    }
    c.SetFontColour(clBlack);
}

void DrawAnnotation(Canvas& c, const PortEventTracer& t)
{
    const LD XA = t.XA(), XC = t.XC(), XR = t.XR(), XK = t.XK();
    auto X = [](LD v) { return ToPixel(v); };
    c.SetFontBold(true);
    c.SetPenColour(clBlack);
    {
        const Pt p[] = {{X(XC - 110), 101}, {X(XC - 70), 101}, {X(XC - 20), 135}, {X(XC), 135},
                        {X(XC - 12), 131},  {X(XC - 12), 139}, {X(XC), 135}};
        Poly(c, p);
        c.TextOut(X(XC + 10), 129, "Exp");
    }
    {
        const Pt p[] = {{X(XC + 40), 135}, {X(XR), 135}, {X(XR - 12), 131}, {X(XR - 12), 139}, {X(XR), 135}};
        Poly(c, p);
    }
    {
        const Pt p[] = {{X(XR + 8), 135}, {549, 135}, {529, 169}, {X(XR - 160), 169}};
        Poly(c, p);
        c.TextOut(X(XR - 190), 163, "Exh");
    }
    {
        const Pt p[] = {{X(XR - 200), 169}, {X(XK + 100), 169}, {X(XK + 50), 135}, {X(XK), 135},
                        {X(XK + 12), 131},  {X(XK + 12), 139},  {X(XK), 135}};
        Poly(c, p);
        c.TextOut(X(XK - 25), 129, "Com");
    }
    {
        const Pt p[] = {{X(XK - 30), 135}, {X(XA), 135}, {X(XA + 12), 139}, {X(XA + 12), 131},
                        {X(XA), 135},      {9, 135},     {27, 101},         {X(XC - 150), 101}};
        Poly(c, p);
        c.TextOut(X(XC - 140), 95, "Adm");
    }
    c.SetFontBold(false);
}

PortSample TakeSample(const Gear& g)
{
    PortSample p;
    p.piston = g.PistonPx;
    p.open = {g.FrontSteamOpen, g.FrontExhOpen, g.RearSteamOpen, g.RearExhOpen};
    return p;
}

PortSample PreviousSample(const Gear& g)
{
    PortSample p;
    p.piston = g.PrevPistonPx;
    p.open = {g.PrevFrontSteamOpen, g.PrevFrontExhOpen, g.PrevRearSteamOpen, g.PrevRearExhOpen};
    return p;
}

// The 19 rows of one pass over the gear `g`: each notch's reverse arm
// setting, its label on the right (when `labels`), and a turn of samples for
// the tracer. RevArmPos and DriverAngle are left at the last sample.
void TraceNotches(Canvas& c, Gear& g, bool forward, PortEventTracer& tracer, bool labels)
{
    for (int i = 0; i <= 18; ++i) {
        const LD offset = static_cast<LD>(i) * static_cast<LD>(g.RevArmMax) / 18;
        const LD centre = g.RevArmCentre();
        g.RevArmPos = ToModelFloat(forward ? centre + offset : centre - offset);
        if (labels && forward) {
            c.TextOut(554, 32, "Forward");
            c.TextOut(556, 336 - 16 * i, FormatFixed(g.RevArmPos, 7, 3));
        } else if (labels) {
            c.TextOut(605, 32, "Rev.");
            c.TextOut(596, 336 - 16 * i, FormatFixed(g.RevArmPos, 7, 3));
        }

        g.DriverAngle = 0;
        g.PistonPx = 0;
        g.PrevPistonPx = 0;
        for (int sample = 0; sample <= 90; ++sample) {
            if (forward) {
                g.DriverAngle += 4;
                while (g.DriverAngle > 360) g.DriverAngle -= 360;
            } else {
                g.DriverAngle -= 4;
                while (g.DriverAngle < 0) g.DriverAngle += 360;
            }
            SolveLinkage(g);
            ComputePistonAndOpenings(g);
            if (sample >= 1) tracer.TestEvents(c, i, PreviousSample(g), TakeSample(g));
            g.PrevPistonPx = g.PistonPx;
            g.PrevFrontSteamOpen = g.FrontSteamOpen;
            g.PrevFrontExhOpen = g.FrontExhOpen;
            g.PrevRearSteamOpen = g.RearSteamOpen;
            g.PrevRearExhOpen = g.RearExhOpen;
        }
    }
}

} // namespace

// ---------------------------------------------------------------- events
PortEventTracer::PortEventTracer(bool forward, bool reference) : forward_(forward), reference_(reference)
{
    last_.fill(-1);
    occurred_.fill(false);
}

Colour PortEventTracer::KindColour(int kind) const
{
    if (reference_) return kReferenceGrey;
    if (IsFront(kind)) return forward_ ? clTeal : clGreen;
    return forward_ ? clRed : clMaroon;
}

int PortEventTracer::EventX(int kind, long double e)
{
    const LD scaled = 0.84375L * e;
    return IsFront(kind) ? ToPixel(scaled) + 9 : ToPixel(540 - scaled) + 9;
}

void PortEventTracer::TestEvents(Canvas& c, int row, const PortSample& prev, const PortSample& cur)
{
    for (int kind = 0; kind < kPortEventKinds; ++kind) {
        const int port = kind % 4;
        const LD O = cur.open[port];
        const LD Op = prev.open[port];
        const bool opening = kind < 4;
        // Exactly 0 after a covered port is an opening, exactly 0 after an
        // open one a closing; the two tests never share a sample.
        const bool happens = opening ? (O >= 0 && Op < 0) : (O <= 0 && Op > 0);
        if (!happens) continue;

        // Op - O is strictly negative for an opening and strictly positive
        // for a closing, so the zero crossing is always defined.
        const LD P = cur.piston;
        const LD Pp = prev.piston;
        const float E = ToModelFloat(P - O / (Op - O) * (Pp - P));
        const int x = EventX(kind, E);
        if (occurred_[kind]) {
            c.SetPenColour(KindColour(kind));
            c.Line(EventX(kind, last_[kind]), 359 - 16 * row, x, 343 - 16 * row);
        }
        last_[kind] = E;
        occurred_[kind] = true;

        if (row == 13) {
            const float fx = ToModelFloat(0.84375L * E + 9);
            switch (kind) {
            case peFrontSteamOpens: xa_ = fx; break;
            case peFrontSteamCloses: xc_ = fx; break;
            case peFrontExhOpens: xr_ = fx; break;
            case peFrontExhCloses: xk_ = fx; break;
            default: break;
            }
        }
    }
}

// ---------------------------------------------------------------- draw
void DrawPortDiagram(Canvas& c, AppState& s)
{
    Gear& g = s.gear;
    const bool forward = s.graph.PortGraphMode != 'R';
    const float savedRevArmPos = g.RevArmPos;
    const float savedDriverAngle = g.DriverAngle;

    DrawFrameAndGrid(c);
    DrawNormalAndMaximum(c, g);
    DrawLabels(c, forward);

    // The reference's events beneath, in grey, over its own notches.
    if (std::optional<Gear> ref = ComparedReference(s)) {
        PortEventTracer grey(forward, true);
        TraceNotches(c, *ref, forward, grey, false);
        c.SetPenColour(clBlack);
    }
    PortEventTracer tracer(forward);
    TraceNotches(c, g, forward, tracer, true);

    if (s.graph.PortGraphAnnotate) DrawAnnotation(c, tracer);
    c.SetPenColour(clBlack);

    g.RevArmPos = savedRevArmPos;
    g.DriverAngle = savedDriverAngle;
}

void RunPortBothGraphs(AppState& s, const std::function<void()>& clear, const std::function<void()>& pass)
{
    s.graph.PortGraphMode = 'F';
    clear();
    pass();
    s.graph.PortGraphMode = 'R';
    s.graph.PortGraphAnnotate = false;
    pass();
    s.graph.PortGraphAnnotate = true;
    s.graph.PortGraphMode = 'B';
}

void DrawPortBothGraphs(Canvas& c, AppState& s)
{
    RunPortBothGraphs(
        s, [&c] { c.Clear(clWhite); }, [&c, &s] { DrawPortDiagram(c, s); });
}

void RunPortDraw(AppState& s, bool clearFirst, const std::function<void()>& clear, const std::function<void()>& pass)
{
    if (s.graph.PortGraphMode == 'B') {
        RunPortBothGraphs(s, clear, pass);
        return;
    }
    if (clearFirst) clear();
    pass();
}

void RedrawPortDiagram(Canvas& c, AppState& s, bool clearFirst)
{
    RunPortDraw(
        s, clearFirst, [&c] { c.Clear(clWhite); }, [&c, &s] { DrawPortDiagram(c, s); });
}

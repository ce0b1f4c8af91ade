#include "drawing/SteamDiagram.h"

#include "drawing/DiagramCommon.h"
#include "model/Model.h"
#include "model/NumberText.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <string>

using LD = long double;

namespace {

// The position terms of the pressure steps (P + 1, P + 45, P + 100, 641 - P,
// 685 - P, 740 - P) cannot vanish for a piston on its 0..640 scale; a broken
// design may still put it anywhere, and a vanished term then adds nothing.
LD Div(LD n, LD d) { return d == 0 ? 0 : n / d; }

// ---------------------------------------------------------------- pressure steps
struct End {
    float& pressure;
    float& release;
    float& steamOpen; // the gear's opening, raised by the admission step
    const float& exhOpen;
    char& phase;
    bool& labelArmed;
    bool front;
};

void ExhaustStep(End& e)
{
    LD p = static_cast<LD>(e.pressure) - static_cast<LD>(e.release) / 15;
    if (p < 5) p = 5;
    e.pressure = ToModelFloat(p);
}

void CompressionStep(End& e, const Gear& g)
{
    const LD prev = g.PrevPistonPx, cur = g.PistonPx;
    const LD q = e.front ? Div(prev, cur + 1) + 0.3L : Div(640 - prev, 641 - cur) + 0.3L;
    e.pressure = ToModelFloat(e.pressure + q * q * q * q);
}

void AdmissionStep(End& e, const Gear& g)
{
    if (e.steamOpen < 0.005f) e.steamOpen = 0.005f;
    const LD cur = g.PistonPx;
    LD p = static_cast<LD>(e.pressure) + Div(static_cast<LD>(e.steamOpen) * 100000, e.front ? cur + 45 : 685 - cur);
    if (p > 303) p = 303;
    e.pressure = ToModelFloat(p);
}

void ExpansionStep(End& e, const Gear& g)
{
    const LD prev = g.PrevPistonPx, cur = g.PistonPx;
    const LD p =
        e.front ? Div((prev + 100) * e.pressure, cur + 100) * 0.96L : Div((740 - prev) * e.pressure, 740 - cur) * 0.96L;
    e.pressure = ToModelFloat(p);
}

void UpdatePhase(End& e, const Gear& g)
{
    switch (e.phase) {
    case '1':
        if (e.exhOpen > 0) {
            ExhaustStep(e);
        } else {
            CompressionStep(e, g);
            e.phase = '2';
        }
        break;
    case '2':
        if (e.steamOpen > 0) {
            AdmissionStep(e, g);
            e.phase = '3';
        } else {
            CompressionStep(e, g);
        }
        // The piston has turned back from this end: admission follows.
        if (e.front ? g.PrevPistonPx < g.PistonPx : g.PrevPistonPx > g.PistonPx) e.phase = '3';
        break;
    case '3':
        if (e.steamOpen > 0) {
            AdmissionStep(e, g);
        } else {
            ExpansionStep(e, g);
            e.phase = '4';
        }
        e.labelArmed = true;
        break;
    case '4':
        if (e.exhOpen > 0) {
            e.release = e.pressure;
            ExhaustStep(e);
            e.phase = '1';
        } else {
            ExpansionStep(e, g);
        }
        if (e.steamOpen > 0) e.phase = '3';
        break;
    default: break;
    }
}

End FrontEnd(AppState& s)
{
    SteamDiagramState& d = s.steamDia;
    Gear& g = s.gear;
    return End{d.FrontPressure,
               d.FrontReleasePressure,
               g.FrontSteamOpen,
               g.FrontExhOpen,
               d.FrontPhase,
               d.FrontLabelArmed,
               true};
}

End RearEnd(AppState& s)
{
    SteamDiagramState& d = s.steamDia;
    Gear& g = s.gear;
    return End{d.RearPressure, d.RearReleasePressure, g.RearSteamOpen, g.RearExhOpen, d.RearPhase, d.RearLabelArmed,
               false};
}

// ---------------------------------------------------------------- drawing
void DrawBackground(Canvas& c)
{
    c.SetPenColour(clBlack);
    c.SetFontColour(clBlack);
    for (int p = 1; p <= 9; ++p) {
        for (int i = 2; i <= 20; ++i) c.Line(27 * i + 17, 32 * p + 52, 27 * i + 17, 32 * p + 58);
        for (int j = 2; j <= 10; ++j) c.Line(54 * j - 10, 32 * p + 50, 54 * j - 10, 32 * p + 60);
    }
    c.Line(44, 70, 44, 346);
    c.Line(584, 70, 584, 346);

    // Upward arrow made of characters.
    c.TextOut(24, 77, "/");
    c.TextOut(29, 77, "\\");
    c.TextOut(28, 81, "|");
    c.TextOut(28, 94, "|");

    static const int kWordY[8] = {108, 123, 136, 149, 162, 175, 188, 201};
    const char* cylinder = "CYLINDER";
    const char* pressure = "PRESSURE";
    for (int i = 0; i < 8; ++i) {
        c.TextOut(cylinder[i] == 'I' ? 22 : 20, kWordY[i], std::string(1, cylinder[i]));
        c.TextOut(32, kWordY[i], std::string(1, pressure[i]));
    }

    static const struct {
        int x;
        const char* text;
    } kTravel[] = {{45, "100"}, {91, "90"},  {145, "80"}, {199, "70"}, {253, "60"},
                   {307, "50"}, {361, "40"}, {415, "30"}, {469, "20"}, {523, "10"}};
    for (const auto& t : kTravel) c.TextOut(t.x, 350, t.text);
    c.TextOut(577, 348, "0");
    c.TextOut(186, 364, "Percent Piston Travel");
    c.TextOut(386, 364, "Forward End --->");
    c.Line(45, 343, 585, 343);
}

// Width and height of a cut-off row's cell (number and percentage).
inline constexpr int kCutOffCellWidth = 40;
inline constexpr int kCutOffCellHeight = 13;

void EraseCell(Canvas& c, int x, int y)
{
    c.SetPenColour(clWhite);
    for (int row = y; row < y + kCutOffCellHeight; ++row) c.Line(x, row, x + kCutOffCellWidth, row);
}

struct EndDrawing {
    Colour colour;
    int cutOffTitleX; // "%CutOff"
    int numberX;      // position number of the cut-off row
    int percentX;     // cut-off percentage
    LD labelBase;     // curve number x = labelBase - 0.84 PrevPistonPx
    int labelY;
};

// The drawing block of one end for position n at step `step`.
void DrawEnd(Canvas& c, AppState& s, End& e, float& prevSteamOpen, float prevPressure, const EndDrawing& d, int n,
             int step)
{
    Gear& g = s.gear;
    c.SetPenColour(d.colour);

    if (prevSteamOpen > 0 && e.steamOpen <= 0) {
        // Cut-off between the previous step and this one.
        const LD t = static_cast<LD>(prevSteamOpen) / (static_cast<LD>(prevSteamOpen) - e.steamOpen);
        const LD prevPx = g.PrevPistonPx;
        if (step > 60) {
            const int y = SteamDiagramY(prevPressure);
            c.Line(SteamDiagramX(prevPx), y, ToPixel(584 - 0.84375L * prevPx + (prevPx - g.PistonPx) * t * 0.84375L),
                   y);
        }
        g.PrevPistonPx = ToModelFloat(prevPx + (g.PistonPx - prevPx) * t);
        e.pressure = ToModelFloat(e.pressure - t * (static_cast<LD>(e.pressure) - prevPressure));

        c.SetFontColour(d.colour);
        c.TextOut(d.cutOffTitleX, 231, "%CutOff");
        c.SetFontColour(clBlack);
        const LD travel = e.front ? static_cast<LD>(g.PrevPistonPx) : 640 - static_cast<LD>(g.PrevPistonPx);
        // A later cut-off of the same position replaces the row: the canvas
        // paints text without a background, so the row's cell is blanked
        // first (it lies in the margin, clear of the loops).
        EraseCell(c, d.numberX, 13 * n + 233);
        c.SetPenColour(d.colour);
        c.TextOut(d.numberX, 13 * n + 233, std::to_string(n));
        c.TextOut(d.percentX, 13 * n + 233, FormatFixed(travel / 6.4L, 4, 1));
    }

    if (step > 60)
        c.Line(SteamDiagramX(g.PrevPistonPx), SteamDiagramY(prevPressure), SteamDiagramX(g.PistonPx),
               SteamDiagramY(e.pressure));

    if (e.phase == '4' && e.pressure > 150 && e.pressure < 250 && e.labelArmed) {
        e.labelArmed = false;
        c.SetFontBold(true);
        c.TextOut(ToPixel(d.labelBase - 0.84L * g.PrevPistonPx), d.labelY, std::to_string(s.steamDia.CurveNumber));
        c.SetFontBold(false);
    }
}

const EndDrawing kFrontDrawing{clGreen, 587, 588, 600, 568, 122};
const EndDrawing kRearDrawing{clRed, 2, 3, 15, 600, 135};

} // namespace

int SteamDiagramX(long double piston) { return ToPixel(584 - 0.84375L * piston); }

int SteamDiagramY(long double pressure) { return ToPixel(343 - 0.9L * pressure); }

void UpdateFrontSteamPhase(AppState& s)
{
    End e = FrontEnd(s);
    UpdatePhase(e, s.gear);
}

void UpdateRearSteamPhase(AppState& s)
{
    End e = RearEnd(s);
    UpdatePhase(e, s.gear);
}

void ResetSteamDiagram(AppState& s)
{
    s.steamDia = SteamDiagramState{};
    s.gear.PrevPistonPx = 0;
    s.gear.PistonPx = 0;
    s.gear.DriverAngle = 96;
}

void SteamDiagramStep(Canvas& c, AppState& s, int n, int step)
{
    Gear& g = s.gear;
    SteamDiagramState& d = s.steamDia;

    if (!std::isfinite(g.DriverAngle)) g.DriverAngle = 0;
    if (g.RevArmPos >= g.RevArmCentre()) {
        g.DriverAngle += 4;
        while (g.DriverAngle > 360) g.DriverAngle -= 360;
    } else {
        g.DriverAngle -= 4;
        while (g.DriverAngle < 0) g.DriverAngle += 360;
    }
    SolveLinkage(g);
    ComputePistonAndOpenings(g);

    UpdateFrontSteamPhase(s);
    UpdateRearSteamPhase(s);

    if (d.PrevFrontPressure != 0) {
        End front = FrontEnd(s);
        DrawEnd(c, s, front, g.PrevFrontSteamOpen, d.PrevFrontPressure, kFrontDrawing, n, step);
        End rear = RearEnd(s);
        DrawEnd(c, s, rear, g.PrevRearSteamOpen, d.PrevRearPressure, kRearDrawing, n, step);
    }

    g.PrevPistonPx = g.PistonPx;
    d.PrevFrontPressure = d.FrontPressure;
    d.PrevRearPressure = d.RearPressure;
    g.PrevFrontSteamOpen = g.FrontSteamOpen;
    g.PrevRearSteamOpen = g.RearSteamOpen;
}

void DrawSteamDiagram(Canvas& c, AppState& s)
{
    Gear& g = s.gear;
    const float savedRevArmPos = g.RevArmPos;
    const float savedDriverAngle = g.DriverAngle;

    ResetSteamDiagram(s);
    DrawBackground(c);
    DrawPositionLegendTop(c, s);

    const int count = std::clamp(s.graph.GraphPosCount, 0, 9);
    for (int n = 1; n <= count; ++n) {
        g.RevArmPos = g.RevArm[n];
        s.graph.GraphRevArmPos = g.RevArmPos;
        s.steamDia.CurveNumber += 1;
        s.steamDia.FrontLabelArmed = true;
        s.steamDia.RearLabelArmed = true;
        DrawPositionLegendRow(c, s, n);
        for (int step = 1; step <= 150; ++step) SteamDiagramStep(c, s, n, step);
    }
    c.SetPenColour(clBlack);
    c.SetFontColour(clBlack);

    g.RevArmPos = savedRevArmPos;
    g.DriverAngle = savedDriverAngle;
}

#include "drawing/FrameDrawing.h"

#include "drawing/HighlightView.h"
#include "drawing/OverlayDrawing.h"
#include "drawing/ScreenData.h"
#include "drawing/SteamDisplay.h"
#include "model/DesignScale.h"
#include "model/Model.h"

#include <cmath>

using LD = long double;

namespace {

// Circle of radius r about a world point, through the view transform.
void WorldCircle(Canvas& c, const View& v, LD x, LD y, LD r)
{
    c.Ellipse(WorldToScreenX(v, x - r), WorldToScreenY(v, y - r), WorldToScreenX(v, x + r), WorldToScreenY(v, y + r));
}

// The mechanism of `g` in the view `v`, in its colours or (ghost) in grey.
void DrawMechanismOf(Canvas& c, Gear& g, const View& v, bool ghost)
{
    const auto pen = [&c, ghost](Colour col) { c.SetPenColour(ghost ? kGhostGrey : col); };
    const LD dc = g.CrankDiskDia;
    const LD sc = v.ViewScale, ox = v.ViewOffsetX, oy = v.ViewOffsetY;
    auto& X = g.PointX;
    auto& Y = g.PointY;
    const auto& SX = g.ScreenX;
    const auto& SY = g.ScreenY;

    // 4. Wheels and joints.
    pen(clBlack);
    WorldCircle(c, v, X[1], Y[1], dc / 2);
    const LD a1 = (static_cast<LD>(g.DriverAngle) - 110) * kPi / 180;
    const LD a2 = (static_cast<LD>(g.DriverAngle) + 110) * kPi / 180;
    c.Arc(ToPixel(ox - 0.35L * dc * sc), ToPixel(oy + 0.35L * dc * sc), ToPixel(ox + 0.35L * dc * sc),
          ToPixel(oy - 0.35L * dc * sc), ToPixel(std::cos(a1) * dc * sc + ox), ToPixel(std::sin(a1) * dc * sc + oy),
          ToPixel(std::cos(a2) * dc * sc + ox), ToPixel(std::sin(a2) * dc * sc + oy));
    WorldCircle(c, v, X[5], Y[5], static_cast<LD>(g.EccentricDiam) / 2);
    WorldCircle(c, v, X[2], Y[2], 0.05L * dc);
    WorldCircle(c, v, X[3], Y[3], 0.04L * dc);
    WorldCircle(c, v, X[4], Y[4], 0.02L * dc);
    WorldCircle(c, v, X[1], Y[1], 0.06L * dc);
    for (int i : {7, 8, 9, 14, 15, 16, 17, 18}) WorldCircle(c, v, X[i], Y[i], 0.02L * dc);
    X[18] = g.RevArmPos;
    WorldCircle(c, v, X[18], Y[18], 0.02L * dc);

    // 5. Cylinder section.
    pen(clGray);
    c.Polyline(g.CylOutline.data(), static_cast<int>(g.CylOutline.size()));
    c.Polyline(g.PortOutline.data(), static_cast<int>(g.PortOutline.size()));

    // 6. Links and valve parts.
    auto seg = [&](Colour col, int i, int j) {
        pen(col);
        c.Line(SX[i], SY[i], SX[j], SY[j]);
    };
    seg(clLime, 4, 17); // valve rod
    pen(clBlack);
    c.Line(SX[3], SY[3], g.PistonRodEnd.x, g.PistonRodEnd.y); // piston rod
    const auto& K = g.PistonOutline;
    c.MoveTo(K[3].x, K[3].y);
    for (int i : {0, 1, 2, 3}) c.LineTo(K[i].x, K[i].y); // piston
    c.Line(g.ValveRearEnd.x, SY[13], SX[13], SY[13]);    // valve stem
    c.SetPenStyle(PenStyle::Dot);
    c.Line(SX[13], SY[13], SX[4], SY[4]); // spindle to the valve rod joint
    c.SetPenStyle(PenStyle::Solid);
    const auto& V = g.ValveOutline;
    c.MoveTo(V[7].x, V[7].y);
    for (int i = 0; i < 8; ++i) c.LineTo(V[i].x, V[i].y); // slide valve
    pen(clRed);
    for (int i : {0, 8, 15}) { // fixed pivots
        c.Line(SX[i] + 5, SY[i] + 5, SX[i] - 6, SY[i] - 6);
        c.Line(SX[i] + 5, SY[i] - 5, SX[i] - 6, SY[i] + 6);
    }
    seg(clRed, 3, 2);    // main rod
    seg(clLime, 14, 16); // eccentric rod
    seg(clBlue, 5, 7);   // eccentric strap
    seg(clBlue, 6, 14);  // strap horizontal arm
    pen(clBlue);
    c.MoveTo(SX[16], SY[16]);
    c.LineTo(SX[15], SY[15]);
    c.LineTo(SX[17], SY[17]); // rocker
    seg(clRed, 10, 18);       // reverse head and arm
    pen(clBlack);
    c.Line(SX[18], SY[18], 0, SY[18]); // reach rod
    seg(clLime, 2, 1);                 // crank
    seg(clRed, 1, 5);                  // eccentric crank
    c.SetPenColour(clBlack);
}

} // namespace

void DrawMechanism(Canvas& c, AppState& s) { DrawMechanismOf(c, s.gear, s.view, false); }

void DrawReferenceGhost(Canvas& c, const AppState& s)
{
    std::optional<Gear> ref = ComparedReference(s);
    if (!ref) return;
    Gear& r = *ref;
    // As this design was solved for the frame: the angle just solved, the
    // reverse arm at the matching notch.
    r.DriverAngle = s.gear.SolvedDriverAngle;
    r.RevArmPos = MatchingArmPosition(s.gear, s.gear.RevArmPos, r);
    SolveLinkage(r);
    ComputePistonAndOpenings(r);
    MapPointsToScreen(r, s.view);
    BuildCylinderOutline(r, s.view);
    BuildPistonValveOutline(r, s.view);
    r.DriverAngle = s.gear.DriverAngle; // the crank disk's arc, as this design's
    DrawMechanismOf(c, r, s.view, true);
}

void ComposeFrame(Canvas& c, AppState& s, FrameServices& services, FrameEffects& fx)
{
    c.SetPenWidth(s.display.LineWidth);
    c.SetPenColour(clBlack);
    c.SetFontColour(clBlack);
    if (s.display.SteamDisplayOn) DrawSteamDisplay(c, s, services);
    if (s.compare.GhostOn) DrawReferenceGhost(c, s);
    DrawMechanism(c, s);
    DrawOverlay(c, s);
    c.SetPenColour(clBlack);
    if (s.display.ScreenDataOn) DrawScreenData(c, s, services, fx);
    if (!s.display.ScreenDataOn || !s.dyn.UndoOn) fx.undoButton = Vis::Hide;
    if (s.highlight.HighlightDim > 0) DrawHighlight(c, s, fx);
}

bool FrameStaysStill(const AppState& s)
{
    return s.anim.ActiveStep == 0 && !s.gear.SolveError && s.steam.ErrorTicks == 0 && s.highlight.HighlightDim == 0 &&
           s.highlight.HighlightTicks == 0 && !s.display.SteamDisplayOn;
}

#include "drawing/HighlightView.h"

#include "model/NumberText.h"

#include "model/Model.h"

#include <cmath>

using LD = long double;

namespace {

// Frames a close-up lasts before the view ends by itself.
constexpr int kHighlightFrames = 1000;

// The hourglass sign in the top-left corner, fixed window pixels.
void DrawHourglass(Canvas& c)
{
    c.SetPenColour(clBlack);
    c.SetPenWidth(2);
    c.MoveTo(20, 100);
    c.LineTo(44, 100);
    c.LineTo(44, 104);
    c.LineTo(20, 104);
    c.LineTo(20, 100);
    c.MoveTo(22, 100);
    c.LineTo(22, 112);
    c.LineTo(30, 120);
    c.LineTo(30, 122);
    c.LineTo(22, 130);
    c.LineTo(22, 142);
    c.MoveTo(42, 100);
    c.LineTo(42, 112);
    c.LineTo(34, 120);
    c.LineTo(34, 122);
    c.LineTo(42, 130);
    c.LineTo(42, 142);
    c.MoveTo(20, 142);
    c.LineTo(44, 142);
    c.LineTo(44, 138);
    c.LineTo(20, 138);
    c.LineTo(20, 142);
    c.SetPenWidth(1);
    c.MoveTo(24, 136);
    c.LineTo(32, 127);
    c.MoveTo(39, 136);
    c.LineTo(31, 127);
    c.MoveTo(31, 117);
    c.LineTo(26, 111);
    c.LineTo(37, 111);
    c.LineTo(31, 118);
}

// The zoom factor as the close-up uses it. The dialog keeps GraphicZoom in
// 0.5..2000; a value from elsewhere (a damaged file) is brought into that
// range so that the close-up never gets a zero, infinite or NaN scale.
LD UsableZoom(float z)
{
    if (std::isnan(z)) return 7.5L;
    if (z < 0.5f) return 0.5L;
    if (z > 2000.0f) return 2000.0L;
    return z;
}

// Sets the close-up scale n / z * 7.5 and, when given, the offsets.
void SetCloseUp(View& v, LD n, LD zoom) { v.ViewScale = ToModelFloat(n / zoom * 7.5L); }

void SetCloseUp(View& v, LD n, LD zoom, float ox, float oy)
{
    SetCloseUp(v, n, zoom);
    v.ViewOffsetX = ox;
    v.ViewOffsetY = oy;
}

inline int Mid(int a, int b) { return (a + b) / 2; } // truncates towards zero

// Draws one dimension (sets the view first where the close-up needs it).
void DrawDimension(Canvas& c, AppState& s, int code, Colour blink, Colour other)
{
    Gear& g = s.gear;
    View& v = s.view;
    const LD z = UsableZoom(v.GraphicZoom);
    const auto& X = g.PointX;
    const auto& Y = g.PointY;
    const auto& SX = g.ScreenX;
    const auto& SY = g.ScreenY;
    const auto& C = g.CylOutline;
    const auto& P = g.PortOutline;
    const auto& K = g.PistonOutline;
    const auto& V = g.ValveOutline;
    auto wx = [&](LD x) { return WorldToScreenX(v, x); };
    auto wy = [&](LD y) { return WorldToScreenY(v, y); };
    auto pts = [&](int i, int j) { c.Line(SX[i], SY[i], SX[j], SY[j]); };
    auto line = [&](ScreenPt a, int x2, int y2) { c.Line(a.x, a.y, x2, y2); };
    auto seg = [&](ScreenPt a, ScreenPt b) { c.Line(a.x, a.y, b.x, b.y); };

    switch (code) {
    case 1:
        SetCloseUp(v, 30, z, 290, 212);
        c.Line(SX[1], wy(static_cast<LD>(Y[1]) - static_cast<LD>(g.CrankDiskDia) / 2), SX[1],
               wy(static_cast<LD>(Y[1]) + static_cast<LD>(g.CrankDiskDia) / 2));
        break;
    case 2:
        SetCloseUp(v, 30, z, 290, 212);
        c.Line(SX[2], SY[2], wx(2.0L * X[1] - X[2]), wy(2.0L * Y[1] - Y[2]));
        break;
    case 3:
        SetCloseUp(v, 30, z, 200, 212);
        pts(2, 3);
        break;
    case 4: {
        SetCloseUp(v, 30, z, 290, 212);
        const LD th = static_cast<LD>(g.DriverAngle) * kPi / 180.0L;
        const LD e2 = static_cast<LD>(g.EccentricDiam) / 2;
        c.Line(wx(X[5] - std::sin(th) * e2), wy(Y[5] - std::cos(th) * e2), wx(X[5] + std::sin(th) * e2),
               wy(Y[5] + std::cos(th) * e2));
        break;
    }
    case 5:
        SetCloseUp(v, 30, z, 290, 212);
        c.Line(SX[5], SY[5], wx(2.0L * X[1] - X[5]), wy(2.0L * Y[1] - Y[5]));
        break;
    case 6:
        SetCloseUp(v, 30, z, 290, 212);
        pts(2, 1);
        c.SetPenColour(other);
        pts(1, 5);
        c.SetPenColour(blink);
        break;
    case 7:
        SetCloseUp(v, 30, z, 290, 240);
        pts(6, 7);
        break;
    case 8:
        SetCloseUp(v, 30, z, 290, 240);
        pts(5, 6);
        break;
    case 9:
        SetCloseUp(v, 30, z, 290, 300);
        pts(6, 14);
        break;
    case 10:
        SetCloseUp(v, 30, z, 290, 300);
        pts(14, 16);
        break;
    case 11:
        SetCloseUp(v, 30, z, 290, 300);
        pts(8, 10);
        break;
    case 12:
        SetCloseUp(v, 30, z, 290, 300);
        pts(8, 18);
        break;
    case 13:
        SetCloseUp(v, 30, z, 290, 300);
        c.Line(SX[8], SY[8], SX[8], SY[1]);
        break;
    case 14:
        SetCloseUp(v, 30, z, 290, 300);
        c.Line(SX[8], SY[8], SX[1], SY[8]);
        break;
    case 15:
        SetCloseUp(v, 30, z, 100, 240);
        pts(15, 17);
        break;
    case 16:
        SetCloseUp(v, 30, z, 100, 240);
        pts(15, 11);
        break;
    case 17:
        SetCloseUp(v, 30, z, 100, 240);
        pts(11, 16);
        break;
    case 18:
        SetCloseUp(v, 30, z, 100, 240);
        c.Line(SX[15], SY[1], SX[15], SY[15]);
        break;
    case 19:
        SetCloseUp(v, 30, z, 100, 240);
        c.Line(SX[1], SY[15], SX[15], SY[15]);
        break;
    case 20:
        SetCloseUp(v, 30, z, 0, 240);
        pts(4, 17);
        break;
    case 21:
    case 22: {
        SetCloseUp(v, 22, z);
        const LD centre = g.RevArmCentre();
        const LD reach = code == 21 ? g.RevArmNormal : g.RevArmMax;
        const int y = SY[18] + 5;
        c.MoveTo(wx(centre - reach), y);
        c.LineTo(wx(centre), y);
        c.SetPenColour(other);
        c.LineTo(wx(centre + reach), y);
        c.SetPenColour(blink);
        break;
    }
    case 101:
        SetCloseUp(v, 22, z);
        c.Line(SX[1], SY[1], wx(static_cast<LD>(X[1]) + g.Cyl(ciCylCtrToDriverCtr)), SY[1]);
        break;
    case 102: break; // label only
    case 103:
        SetCloseUp(v, 55, z, -800, 250);
        seg(C[5], C[6]);
        break;
    case 104:
        SetCloseUp(v, 55, z, -800, 250);
        seg(C[6], C[7]);
        break;
    case 105:
        SetCloseUp(v, 55, z, -800, 250);
        seg(C[5], P[4]);
        break;
    case 106:
        SetCloseUp(v, 40, z, -300, 260);
        c.Line(SX[3], SY[3], wx(static_cast<LD>(X[3]) + g.Cyl(ciPistonCtrToCrosshead)), SY[3]);
        break;
    case 107:
        SetCloseUp(v, 55, z, -800, 295);
        seg(K[0], K[3]);
        break;
    case 108:
        SetCloseUp(v, 55, z, -800, 295);
        c.Line(C[2].x + 5, C[2].y, C[2].x + 5, SY[3]);
        break;
    case 109:
        SetCloseUp(v, 55, z, -800, 295);
        c.Line(C[2].x, SY[13], C[2].x, SY[3]);
        break;
    case 110:
        SetCloseUp(v, 55, z, -800, 295);
        line(P[1], P[8].x, P[1].y);
        break;
    case 111:
        SetCloseUp(v, 55, z, -800, 295);
        seg(P[1], P[2]);
        break;
    case 112:
        SetCloseUp(v, 55, z, -800, 295);
        seg(P[7], P[8]);
        break;
    case 113:
        SetCloseUp(v, 55, z, -800, 295);
        seg(C[3], P[2]);
        break;
    case 114:
        SetCloseUp(v, 55, z, -800, 295);
        seg(C[10], P[7]);
        break;
    case 115:
        SetCloseUp(v, 55, z, -800, 355);
        seg(C[1], C[2]);
        break;
    case 116:
        SetCloseUp(v, 55, z, -800, 295);
        seg(C[2], C[11]);
        break;
    case 117:
        SetCloseUp(v, 55, z, -800, 295);
        seg(V[0], V[7]);
        break;
    case 118:
        SetCloseUp(v, 55, z, -800, 295);
        line(V[0], Mid(V[1].x, V[0].x), V[0].y);
        break;
    case 119:
        SetCloseUp(v, 55, z, -800, 295);
        line(V[1], Mid(V[1].x, V[0].x), V[1].y);
        break;
    case 120:
        SetCloseUp(v, 55, z, -800, 295);
        line(V[6], Mid(V[3].x, V[6].x), V[6].y);
        break;
    case 121:
        SetCloseUp(v, 55, z, -800, 295);
        line(V[3], Mid(V[3].x, V[6].x), V[3].y);
        break;
    case 122:
        SetCloseUp(v, 55, z, -600, 350);
        c.Line(SX[4], SY[13], Mid(V[3].x, V[6].x), SY[13]);
        break;
    default: break;
    }
}

} // namespace

void DrawHighlight(Canvas& c, AppState& s, FrameEffects& fx)
{
    Highlight& h = s.highlight;
    View& v = s.view;
    const int code = h.HighlightDim;
    if (code <= 0) return;

    // 1. The dialog that asked for the close-up makes room for it.
    if (code > 99) {
        fx.closeCylDialog = true;
        h.ReopenFrameDialog = false;
    } else {
        fx.closeFrameDialog = true;
        h.ReopenFrameDialog = true;
    }

    // 2. Hourglass.
    DrawHourglass(c);

    // 3. The first frame keeps the user's view.
    if (h.HighlightTicks == 0) {
        v.SavedScale = v.ViewScale;
        v.SavedOffsetX = v.ViewOffsetX;
        v.SavedOffsetY = v.ViewOffsetY;
    }

    // 4. Thick pen in the blink colour: three frames red, three black.
    c.SetPenWidth(3);
    ++h.HighlightTicks;
    ++h.BlinkCount;
    const Colour blink = h.BlinkCount < 4 ? clRed : clBlack;
    const Colour other = blink == clRed ? clBlack : clRed;
    c.SetPenColour(blink);

    // 5. Close-up and the dimension's short name in large type.
    DrawDimension(c, s, code, blink, other);
    const int savedSize = c.FontSize();
    c.SetFontSize(14);
    // The reference-point panel covers the caption's place: then it goes
    // below the panels, right of the pivot data.
    const bool panelShown = s.display.RefPointsOn;
    c.TextOut(ToPixel((panelShown ? 150.0L : 30.0L) * v.FontScaleX),
              ToPixel((panelShown ? 146.0L : 75.0L) * v.FontScaleY), DimensionShortLabel(code));
    c.SetFontSize(savedSize);

    // 6. Blink cycle.
    if (h.BlinkCount > 5) h.BlinkCount = 0;

    // 7. End of the view: the user's view comes back, and so does the dialog.
    if (h.HighlightTicks > kHighlightFrames) {
        h.HighlightTicks = 0;
        h.BlinkCount = 0;
        h.HighlightDim = 0;
        v.ViewScale = v.SavedScale;
        v.ViewOffsetX = v.SavedOffsetX;
        v.ViewOffsetY = v.SavedOffsetY;
        if (h.ReopenFrameDialog)
            fx.reopenFrameDialog = true;
        else
            fx.reopenCylDialog = true;
    }

    // 8. Normal cursor once the view has ended.
    if (h.HighlightTicks == 0) fx.restoreCursor = true;
}

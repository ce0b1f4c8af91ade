#include "drawing/ValveDiagrams.h"

#include "drawing/DiagramCommon.h"
#include "model/DesignScale.h"
#include "model/Model.h"
#include "model/NumberText.h"

#include <cmath>

using LD = long double;

namespace {

// The row of travel or angle numbers under the oval and sine plots, and the
// height of a line of text.
constexpr int kAxisNumbersY = 353;
constexpr int kTextHeight = 13;

// Pixels per length unit of valve offset.
LD UnitsToPixels(const AppState& s) { return 375.0L / static_cast<LD>(s.graph.GraphVerticalScale); }

// RevArmPos and DriverAngle are put back when a draw ends, whatever it did.
class SweepGuard {
public:
    explicit SweepGuard(Gear& g) : g_(g), pos_(g.RevArmPos), angle_(g.DriverAngle) {}
    ~SweepGuard()
    {
        g_.RevArmPos = pos_;
        g_.DriverAngle = angle_;
    }
    SweepGuard(const SweepGuard&) = delete;
    SweepGuard& operator=(const SweepGuard&) = delete;

private:
    Gear& g_;
    float pos_;
    float angle_;
};

void BoldNumber(Canvas& c, int x, int y, int n)
{
    c.SetFontBold(true);
    c.TextOut(x, y, FormatInt(n, 2));
    c.SetFontBold(false);
}

// Grid, title texts and scale value common to both diagrams.
void DrawSideTexts(Canvas& c, const AppState& s)
{
    c.TextOut(9, 46, "Front");
    c.TextOut(9, 374, "Rear");
    c.TextOut(9, 32, "Units Travel");
    c.TextOut(9, 18, "Scale =");
    c.TextOut(50, 18, FormatFixed(s.graph.GraphVerticalScale, 3, 1));
}

// The reference's curve at each of this design's positions (the matching
// notch), in grey: `point(reference, n, j)` gives the screen
// point of sample j (j0..j1) of position n after solving.
template <class Angle, class Point>
void DrawReferenceCurves(Canvas& c, const AppState& s, int j0, int j1, Angle angle, Point point)
{
    const std::optional<Gear> ref = ComparedReference(s);
    if (!ref) return;
    Gear r = *ref;
    const Gear& g = s.gear;
    c.SetPenColour(kReferenceGrey);
    for (int n = 1; n <= s.graph.GraphPosCount && n <= 9; ++n) {
        r.RevArmPos = MatchingArmPosition(g, g.RevArm[static_cast<size_t>(n)], r);
        ScreenPt prev{};
        for (int j = j0; j <= j1; ++j) {
            r.DriverAngle = ToModelFloat(angle(j));
            SolveLinkage(r);
            const ScreenPt p = point(r, j);
            if (j > j0) c.Line(prev.x, prev.y, p.x, p.y);
            prev = p;
        }
    }
    c.SetPenColour(clBlack);
}

} // namespace

int ValveOffsetY(const AppState& s, long double v) { return ToPixel(215.0L - v * UnitsToPixels(s)); }

void DrawVerticalScale(Canvas& c, const AppState& s, int labelX)
{
    const LD scale = s.graph.GraphVerticalScale;
    const int g = ToPixel(4.0L * scale);
    const bool every = scale <= 3.75L;
    // A huge scale puts every tick on the same row: draw each row once.
    int lastY = kPixelLimit + 1;
    for (int h = -5 * g; h <= 5 * g; ++h) {
        if (!(h % 5 == 0 || every)) continue;
        const int y = ToPixel(h * 7.5L / scale + 215);
        if (y == lastY) continue;
        lastY = y;
        c.Line(39, y, 44, y);
    }
    lastY = kPixelLimit + 1;
    for (int l = -g; l <= g; ++l) {
        if (!(l % 5 == 0 || every)) continue;
        const int y = ToPixel(l * 37.5L / scale + 215);
        if (y == lastY) continue;
        lastY = y;
        c.Line(36, y, 44, y);
        c.TextOut(labelX, ToPixel(210 - l * 37.5L / scale), FormatShort1(l * 0.1L));
    }
}

void DrawPortLines(Canvas& c, const AppState& s, int x1, int x2, const PortLineLabels& labels)
{
    const Gear& g = s.gear;
    const LD k = UnitsToPixels(s);
    c.SetFontColour(clBlack);

    // A label sits just below (or above) its line; one that would cover the
    // travel or angle numbers under the plot, or lie under the window's
    // controls at the top, goes to the other side of it.
    const auto label = [&](int x, int lineY, bool below, const char* text) {
        const int width = c.TextWidth(text);
        const auto covers = [&](int y) {
            return (y + kTextHeight > kAxisNumbersY && y < kAxisNumbersY + kTextHeight) ||
                   Overlaps({x, y, x + width, y + kTextHeight}, kPanelBox);
        };
        const int under = lineY + 1, over = lineY - 16;
        int y = below ? under : over;
        if (covers(y) && !covers(below ? over : under)) y = below ? over : under;
        c.TextOut(x, y, text);
    };

    c.SetPenColour(clLime);
    const int fso = ToPixel(215 - g.FrontSteamOpenLine * k), fsm = ToPixel(215 - g.FrontSteamMaxLine * k),
              feo = ToPixel(215 - g.FrontExhOpenLine * k);
    for (int y : {fso, fsm, feo}) c.Line(x1, y, x2, y);
    label(labels.frontSteamOpen, fso, false, "Front Steam Port Open");
    label(labels.frontSteamMax, fsm, true, "Front Steam Port Max");
    label(labels.frontExhOpen, feo, true, "Front Exhaust Port Open");

    c.SetPenColour(clRed);
    const int rso = ToPixel(215 + g.RearSteamOpenLine * k), rsm = ToPixel(215 + g.RearSteamMaxLine * k),
              reo = ToPixel(215 + g.RearExhOpenLine * k);
    for (int y : {rso, rsm, reo}) c.Line(x1, y, x2, y);
    label(labels.rearSteamOpen, rso, true, "Rear Steam Port Open");
    label(labels.rearSteamMax, rsm, false, "Rear Steam Port Max");
    label(labels.rearExhOpen, reo, false, "Rear Exhaust Port Open");
    c.SetPenColour(clBlack);
}

bool AtMidGear(const Gear& g) { return std::fabs(static_cast<LD>(g.RevArmPos) - g.RevArmCentre()) < 0.05L; }

void DrawMidGearReadout(Canvas& c, const Gear& g, const ValveMinMax& mm)
{
    c.TextOut(595, 153, "Lead");
    c.TextOut(595, 182, "Lap");
    c.TextOut(595, 211, "ExCl");
    c.TextOut(595, 253, "Lap");
    c.TextOut(595, 282, "Lead");
    c.TextOut(592, 166, FormatFixed(static_cast<LD>(g.RearLeadBase) + mm.max, 6, 3));
    c.TextOut(592, 295, FormatFixed(static_cast<LD>(g.FrontLeadBase) - mm.min, 6, 3));
    c.TextOut(592, 195, FormatFixed(g.FrontSteamLap, 6, 3));
    c.TextOut(592, 266, FormatFixed(g.RearSteamLap, 6, 3));
    c.TextOut(592, 224, FormatFixed(g.FrontExhClear, 6, 3));
    c.TextOut(592, 237, FormatFixed(g.RearExhClear, 6, 3));
}

long double OvalTravelX(const Gear& g, long double thetaDeg)
{
    const LD th = thetaDeg * kPi / 180.0L;
    LD stroke = g.Stroke;
    // The solver's denominator guard, without raising its error.
    if (stroke >= 0 && stroke < 0.00001L) stroke = 0.00001L;
    if (stroke < 0 && stroke > -0.00001L) stroke = -0.00001L;
    const LD L = g.MainRodLength;
    const LD half = static_cast<LD>(g.Stroke) / 2 * std::sin(th);
    const LD rad = std::fabs(L * L - half * half); // as the piston position does
    return 314 + 270.5L * (std::cos(th) + 2 * (std::sqrt(rad) - L) / stroke);
}

// ---------------------------------------------------------------- oval diagram
void DrawOvalDiagram(Canvas& c, AppState& s)
{
    Gear& g = s.gear;
    SweepGuard guard(g);
    const LD k = UnitsToPixels(s);

    // 2. Background.
    c.SetPenColour(clBlack);
    c.SetFontColour(clBlack);
    for (int p = 1; p <= 9; ++p) {
        for (int i = 2; i <= 20; ++i) c.Line(27 * i + 17, 32 * p + 52, 27 * i + 17, 32 * p + 58);
        for (int j = 2; j <= 10; ++j) c.Line(54 * j - 10, 32 * p + 50, 54 * j - 10, 32 * p + 60);
    }
    c.Line(44, 84, 44, 346);
    c.Line(584, 84, 584, 346);
    static const struct {
        int x;
        const char* text;
    } kTravel[] = {{45, "100"}, {91, "90"},  {145, "80"}, {199, "70"}, {253, "60"},
                   {307, "50"}, {361, "40"}, {415, "30"}, {469, "20"}, {523, "10"}};
    for (const auto& t : kTravel) c.TextOut(t.x, kAxisNumbersY, t.text);
    c.TextOut(577, 348, "0");
    c.TextOut(186, 367, "Percent Piston Travel");
    c.TextOut(386, 367, "Forward End --->");
    DrawSideTexts(c, s);
    DrawVerticalScale(c, s, 15);
    DrawPositionLegendTop(c, s);

    // 3. Port lines.
    DrawPortLines(c, s, 15, 584, kOvalPortLabels);

    // The reference's loops beneath.
    const auto ovalAngle = [](int j) {
        int a = 88 - 8 * j;
        while (a < 0) a += 360;
        return a;
    };
    DrawReferenceCurves(c, s, 7, 52, ovalAngle, [&](const Gear& r, int j) {
        return ScreenPt{ToPixel(OvalTravelX(r, ovalAngle(j))), ValveOffsetY(s, r.ValveCen)};
    });

    // 4. One loop per position.
    const bool labelHigh = g.Cyl(ciValveLengthRearHalf) > g.Cyl(ciSteamPortWidthRear);
    const int y22 = labelHigh ? 204 : 213;
    const int y46 = labelHigh ? 213 : 204;
    ValveMinMax mm;
    for (int n = 1; n <= s.graph.GraphPosCount && n <= 9; ++n) {
        g.RevArmPos = g.RevArm[static_cast<size_t>(n)];
        s.graph.GraphRevArmPos = g.RevArmPos;
        DrawPositionLegendRow(c, s, n);
        mm.Reset();
        const bool mid = AtMidGear(g);
        LD vp = 0;
        int ap = 0;
        for (int j = 7; j <= 52; ++j) {
            int a = 88 - 8 * j;
            while (a < 0) a += 360;
            g.DriverAngle = ToModelFloat(a);
            SolveLinkage(g);
            const LD v = g.ValveCen;
            if (mid) mm.Update(g.PointX[4]);
            if (j > 7) {
                if (j == 22) BoldNumber(c, 300, ToPixel(y22 - vp * k), n);
                if (j == 46) BoldNumber(c, 334, ToPixel(y46 - vp * k), n);
                c.Line(ToPixel(OvalTravelX(g, ap)), ValveOffsetY(s, vp), ToPixel(OvalTravelX(g, a)),
                       ValveOffsetY(s, v));
            }
            vp = v;
            ap = a;
        }
        if (mid) DrawMidGearReadout(c, g, mm);
    }
}

// ---------------------------------------------------------------- sine diagram
void DrawSineDiagram(Canvas& c, AppState& s)
{
    Gear& g = s.gear;
    SweepGuard guard(g);

    // 2. Background.
    c.SetPenColour(clBlack);
    c.SetFontColour(clBlack);
    for (int i = 1; i <= 9; ++i) {
        for (int j = 6; j <= 58; ++j) c.Line(10 * j, 32 * i + 53, 10 * j, 32 * i + 57);
        for (int k = 1; k <= 6; ++k) c.Line(90 * k, 32 * i + 50, 90 * k, 32 * i + 60);
    }
    static const struct {
        int x;
        const char* text;
    } kAngles[] = {{86, "0"}, {173, "90"}, {260, "180"}, {350, "270"}, {446, "0"}, {533, "90"}};
    for (const auto& t : kAngles) c.TextOut(t.x, kAxisNumbersY, t.text);
    c.TextOut(86, 367, "Driver Clockwise Rotation --->");
    DrawSideTexts(c, s);
    DrawVerticalScale(c, s, 14);
    DrawPositionLegendTop(c, s);

    // 3. Port lines.
    DrawPortLines(c, s, 15, 583, kSinePortLabels);

    // The reference's curves beneath.
    DrawReferenceCurves(
        c, s, 7, 73,
        [](int j) {
            int a = 8 * j + 272;
            while (a > 360) a -= 360;
            return a;
        },
        [&](const Gear& r, int j) {
            return ScreenPt{8 * j + 2, ValveOffsetY(s, r.ValveCen)};
        });

    // 4. One curve per position, one pixel per degree.
    ValveMinMax mm;
    for (int n = 1; n <= s.graph.GraphPosCount && n <= 9; ++n) {
        g.RevArmPos = g.RevArm[static_cast<size_t>(n)];
        s.graph.GraphRevArmPos = g.RevArmPos;
        DrawPositionLegendRow(c, s, n);
        mm.Reset();
        const bool mid = AtMidGear(g);
        LD vp = 0;
        for (int j = 7; j <= 73; ++j) {
            int a = 8 * j + 272;
            while (a > 360) a -= 360;
            g.DriverAngle = ToModelFloat(a);
            SolveLinkage(g);
            const LD v = g.ValveCen;
            if (mid) mm.Update(g.PointX[4]);
            if (j > 7) {
                if (j == 8) BoldNumber(c, 45, ValveOffsetY(s, vp), n);
                c.Line(8 * j - 6, ValveOffsetY(s, vp), 8 * j + 2, ValveOffsetY(s, v));
            }
            vp = v;
        }
        if (mid) DrawMidGearReadout(c, g, mm);
    }
}

#include "drawing/PivotDrawing.h"

#include "drawing/PivotSelection.h"
#include "model/Model.h"
#include "model/NumberText.h"

#include <cmath>

using LD = long double;

namespace {

// Text at a fixed window anchor, moved by the font layout factors.
void TextAt(Canvas& c, const View& v, LD x, LD y, const std::string& text)
{
    c.TextOut(ToPixel(x * v.FontScaleX), ToPixel(y * v.FontScaleY), text);
}

LD Distance(LD x1, LD y1, LD x2, LD y2)
{
    const LD dx = x1 - x2, dy = y1 - y2;
    return std::sqrt(dx * dx + dy * dy);
}

} // namespace

void DrawPivotData(Canvas& c, AppState& s)
{
    if (!s.display.PivotDataOn) return;
    const Gear& g = s.gear;
    const View& v = s.view;
    const Pivots& pv = s.pivots;
    c.SetFontColour(clBlack);
    TextAt(c, v, 1, 128, "    Pivot Data");
    TextAt(c, v, 1, 138, "No.  Vert     Horz");
    for (int k = 1; k <= 6; ++k) {
        const LD y = 150 + 10 * (k - 1);
        c.SetFontColour(clRed);
        TextAt(c, v, 3, y, std::to_string(k));
        if (pv.PivotSlotSet[k]) {
            const int p = PointIndexOrOrigin(pv.PivotOfSlot[k]);
            c.SetFontColour(clBlack);
            TextAt(c, v, 12, y, FormatFixed(g.PointY[p], 7, 3));
            TextAt(c, v, 50, y, FormatFixed(g.PointX[p], 7, 3));
            c.SetFontColour(clRed);
            c.TextOut(ToPixel(static_cast<LD>(g.PointX[p]) * v.ViewScale + v.ViewOffsetX + 4),
                      ToPixel(-static_cast<LD>(g.PointY[p]) * v.ViewScale + v.ViewOffsetY - 12), std::to_string(k));
        }
        // Distance within each pair of slots, after its first row.
        if (k % 2 == 1 && pv.PivotSlotSet[k] && pv.PivotSlotSet[k + 1]) {
            const int a = PointIndexOrOrigin(pv.PivotOfSlot[k]);
            const int b = PointIndexOrOrigin(pv.PivotOfSlot[k + 1]);
            c.SetFontColour(clBlack);
            TextAt(c, v, 90, 155 + 10 * (k - 1),
                   FormatFixed(Distance(g.PointX[a], g.PointY[a], g.PointX[b], g.PointY[b]), 7, 3));
        }
    }
    c.SetFontColour(clBlack);
}

void DrawPivotMessages(Canvas& c, AppState& s)
{
    if (!s.overlay.LinePivotPending) return;
    const View& v = s.view;
    static const char* const onePivot[3] = {"STOP MOTION AND SELECT PIVOT 1", "USE LEFT MOUSE BUTTON",
                                            "MOVE MOTION IF NECESSARY TO CLEAR PIVOT"};
    static const char* const twoPivots[3] = {"STOP MOTION AND SELECT PIVOT 1 AND PIVOT 2",
                                             "USE LEFT MOUSE BUTTON FIRST THEN RIGHT",
                                             "MOVE MOTION IF NECESSARY TO CLEAR PIVOTS"};
    const char* const* lines = s.overlay.ReferenceChoice < 3 ? onePivot : twoPivots;
    ScreenOnlyPart prompt(c); // what to click on the screen
    c.SetFontColour(clRed);
    c.SetFontBold(true);
    TextAt(c, v, 10, 130, lines[0]);
    TextAt(c, v, 10, 143, lines[1]);
    TextAt(c, v, 10, 156, lines[2]);
    c.SetFontColour(clBlack);
    c.SetFontBold(false);
}

void DrawReferenceMarks(Canvas& c, AppState& s)
{
    if (!s.display.RefPointsOn) return;
    const Gear& g = s.gear;
    const View& v = s.view;
    c.SetFontColour(clBlack);
    auto cross = [&](int i) {
        const int sx = g.ScreenX[i], sy = g.ScreenY[i];
        c.Line(sx, sy - 10, sx, sy + 10);
        c.Line(sx - 10, sy, sx + 10, sy);
    };
    cross(kRefPoint2);
    TextAt(c, v, 143, 95, "Pt2V " + FormatFixed(g.PointY[kRefPoint2], 6, 3));
    TextAt(c, v, 143, 107, "Pt2H " + FormatFixed(g.PointX[kRefPoint2], 6, 3));
    c.TextOut(g.ScreenX[kRefPoint2] + 3, g.ScreenY[kRefPoint2] - 17, "2");
    cross(kRefPoint1);
    TextAt(c, v, 143, 71, "Pt1V " + FormatFixed(g.PointY[kRefPoint1], 6, 3));
    TextAt(c, v, 143, 83, "Pt1H " + FormatFixed(g.PointX[kRefPoint1], 6, 3));
    c.TextOut(g.ScreenX[kRefPoint1] + 3, g.ScreenY[kRefPoint1] - 17, "1");
    const LD dy = static_cast<LD>(g.PointY[kRefPoint1]) - g.PointY[kRefPoint2];
    const LD dx = static_cast<LD>(g.PointX[kRefPoint1]) - g.PointX[kRefPoint2];
    TextAt(c, v, 210, 71, FormatFixed(dy, 6, 3));
    TextAt(c, v, 210, 83, FormatFixed(dx, 6, 3));
    TextAt(c, v, 207, 95, "Pt1-Pt2");
    TextAt(c, v, 209, 107, FormatFixed(std::sqrt(dx * dx + dy * dy), 6, 3));
}

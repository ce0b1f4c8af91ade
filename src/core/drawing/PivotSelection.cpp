#include "drawing/PivotSelection.h"

#include "model/NumberText.h"

#include "drawing/ViewOps.h"
#include "model/Model.h"

#include <cmath>

using LD = long double;

float ScreenToWorldX(const View& v, int x) { return ToModelFloat((static_cast<LD>(x) - v.ViewOffsetX) / v.ViewScale); }

float ScreenToWorldY(const View& v, int y) { return ToModelFloat(-(static_cast<LD>(y) - v.ViewOffsetY) / v.ViewScale); }

bool InDrawingArea(int x, int y) { return y > 120 || (y >= 68 && x > 247); }

bool RefPointsSwitch(AppState& s)
{
    if (!s.display.RefPointsOn) {
        s.display.RefPointsOn = true;
    } else {
        s.display.RefPointsOn = false;
        s.display.PivotDataOn = false;
    }
    return s.display.RefPointsOn;
}

void RefBarChange(AppState& s, RefBar bar, int position)
{
    View& v = s.view;
    Gear& g = s.gear;
    auto add = [](float& coord, float inc) { coord = ToModelFloat(static_cast<LD>(coord) + inc); };
    switch (bar) {
    case RefBar::Ref1Vert:
        add(g.PointY[kRefPoint1], StepperIncrement(position, v.Ref1VertLast, v.Ref1VertPrev, 1000, 25));
        break;
    case RefBar::Ref1Horz:
        add(g.PointX[kRefPoint1], StepperIncrement(position, v.Ref1HorzLast, v.Ref1HorzPrev, 1000, 25));
        break;
    case RefBar::Ref2Vert:
        add(g.PointY[kRefPoint2], StepperIncrement(position, v.Ref2VertLast, v.Ref2VertPrev, 1000, 25));
        break;
    case RefBar::Ref2Horz:
        add(g.PointX[kRefPoint2], StepperIncrement(position, v.Ref2HorzLast, v.Ref2HorzPrev, 1000, 25));
        break;
    }
}

void ZeroRefPoint(AppState& s, int ref)
{
    View& v = s.view;
    if (ref == 1) {
        s.gear.PointX[kRefPoint1] = 0;
        s.gear.PointY[kRefPoint1] = 0;
        v.Ref1VertLast = v.Ref1VertPrev = v.Ref1HorzLast = v.Ref1HorzPrev = 0;
    } else if (ref == 2) {
        s.gear.PointX[kRefPoint2] = 0;
        s.gear.PointY[kRefPoint2] = 0;
        v.Ref2VertLast = v.Ref2VertPrev = v.Ref2HorzLast = v.Ref2HorzPrev = 0;
    }
}

SlotBox PivotSlotBox(const View& v, int k)
{
    const LD fy = v.FontScaleY;
    return SlotBox{ToPixel(fy * (152 + 10 * (k - 1))), ToPixel(fy * (161 + 10 * (k - 1))),
                   ToPixel(20 * static_cast<LD>(v.FontScaleX))};
}

MouseDownResult PivotMouseDown(AppState& s, MouseButton button, int x, int y)
{
    MouseDownResult r;
    Gear& g = s.gear;
    Pivots& pv = s.pivots;
    const Overlay& ov = s.overlay;
    const bool refOn = s.display.RefPointsOn;
    const bool left = button == MouseButton::Left;
    const bool right = button == MouseButton::Right;
    const bool inArea = InDrawingArea(x, y);

    auto placeRef = [&](int ref) {
        pv.MouseX = x;
        pv.MouseY = y;
        g.PointX[ref] = ScreenToWorldX(s.view, x);
        g.PointY[ref] = ScreenToWorldY(s.view, y);
    };

    // 1-3. Reference points follow the clicks in the drawing area.
    if (refOn && inArea && left) {
        placeRef(kRefPoint1);
        r.enableRefPt1Zero = true;
    }
    if (refOn && inArea && right) {
        placeRef(kRefPoint2);
        r.enableRefPt2Zero = true;
    }
    // 4. A pending pick on one pivot reopens the line dialog.
    const bool typeAndColour = ov.TypeChoice >= 0 && ov.ColourChoice >= 0;
    if (refOn && left && typeAndColour && ov.ReferenceChoice >= 0 && ov.ReferenceChoice <= 2) r.openLineDialog = true;
    // 5.
    if (left) pv.LeftDownSeen = true;
    // 6. Lines between two pivots: the left click first, then the right.
    if (refOn && right && typeAndColour && ov.ReferenceChoice == 3 && pv.LeftDownSeen) {
        pv.LeftDownSeen = false;
        r.openLineDialog = true;
    }
    // 7. The pending slot takes the pivot nearest to the click. A click on a
    // slot number while a slot is pending is no pick: it is ignored and the
    // slot stays pending for the next click on the drawing.
    auto slotAt = [&](int px, int py) {
        for (int k = 1; k <= 6; ++k) {
            const SlotBox b = PivotSlotBox(s.view, k);
            if (b.top < py && py < b.bottom && 1 <= px && px < b.right) return k;
        }
        return 0;
    };
    const int slotHit = left ? slotAt(x, y) : 0;
    if (s.display.PivotDataOn && pv.PivotSlotPending && refOn && left) {
        if (slotHit == 0) {
            placeRef(kRefPoint1);
            pv.NearestPoint = NearestPivotForMouse(g);
            pv.PivotSlotPending = false;
            if (pv.PivotSlot < 1 || pv.PivotSlot > 6) pv.PivotSlot = 1;
            pv.PivotOfSlot[pv.PivotSlot] = static_cast<float>(pv.NearestPoint);
            r.pivotAssigned = true;
        }
    } else if (s.display.PivotDataOn && !pv.PivotSlotPending && refOn && slotHit > 0) {
        // 8. A slot number in the panel.
        pv.PivotSlot = slotHit;
        pv.PivotSlotSet[slotHit] = true;
        pv.PivotSlotPending = true;
        r.slotChosen = true;
    }
    // 9. Any click ends the dimension highlight view at the next frame.
    if (s.highlight.HighlightDim > 0) s.highlight.HighlightTicks = 1005;
    return r;
}

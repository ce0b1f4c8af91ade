// Fuzz target: any dimension set. The bytes give the 44 dimensions, the
// reverse arm setting, the view, the graph settings, the reference points,
// the dynamic-variable slots, the highlighted dimension and some overlay
// items; the design is applied as the dialogs apply it and run through
// everything that draws it.
#include "FuzzCommon.h"

namespace {

const int kCodes[] = {1,   2,   3,   4,   5,   6,   7,   8,   9,   10,  11,  12,  13,  14,  15,
                      16,  17,  18,  19,  20,  21,  22,  101, 102, 103, 104, 105, 106, 107, 108,
                      109, 110, 111, 112, 113, 114, 115, 116, 117, 118, 119, 120, 121, 122};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::Bytes in(data, size);
    AppState s = fuzz::StartedState();
    Gear& g = s.gear;

    // Which dimensions the input sets (a bit each), then their values.
    uint64_t chosen = 0;
    for (int i = 0; i < 6; ++i) chosen |= static_cast<uint64_t>(in.Byte()) << (8 * i);
    for (int i = 0; i < 44; ++i)
        if (chosen & (uint64_t{1} << i)) SetDimension(g, kCodes[i], in.Float());
    RecomputeRevArmCentre(g);

    // Reverse arm off mid gear, view, graph settings.
    const uint8_t flags = in.Byte();
    if (flags & 1) g.RevArmPos = in.Float();
    if (flags & 2) {
        s.view.ViewScale = in.Float();
        s.view.ViewOffsetX = in.Float();
        s.view.ViewOffsetY = in.Float();
    }
    if (flags & 4) s.view.GraphicZoom = in.Float();
    if (flags & 8) s.graph.GraphVerticalScale = in.Float();
    if (flags & 16) {
        s.graph.GraphPosCount = in.Byte() % 10;
        for (int k = 1; k <= 9; ++k) g.RevArm[k] = in.Float();
    }
    if (flags & 32) {
        g.PointX[19] = in.Float();
        g.PointY[19] = in.Float();
        g.PointX[20] = in.Float();
        g.PointY[20] = in.Float();
    }
    if (flags & 64) s.anim.Direction = "Rev";
    s.display.LineWidth = 1 + in.Byte() % 4;

    // Dynamic-variable slots and the highlighted dimension.
    for (auto& slot : s.dyn.Slot) {
        const uint8_t b = in.Byte();
        if (b < 44) {
            slot.Code = kCodes[b];
            slot.Value = GetDimension(g, slot.Code);
            slot.Name = DimensionShortLabel(slot.Code);
        }
    }
    // Pivots picked for the pivot data panel (point indices as reals, as kept).
    const uint8_t picked = in.Byte();
    for (int k = 1; k <= 6; ++k)
        if (picked & (1 << (k - 1))) {
            s.pivots.PivotSlotSet[k] = true;
            s.pivots.PivotOfSlot[k] = in.Float();
        }
    const uint8_t h = in.Byte();
    if (h < 44) s.highlight.HighlightDim = kCodes[h];

    // Overlay items: kind, colour, reference, pivots and ends.
    for (int k = 1; k <= kOverlayItems && !in.Empty(); ++k) {
        OverlayItem& it = s.overlay.Item[k];
        it.Kind = in.Float();
        it.Colour = in.Float();
        it.Reference = in.Float();
        it.Pivot1Index = in.Float();
        it.Pivot2Index = in.Float();
        it.X1 = in.Float();
        it.Y1 = in.Float();
        it.X2 = in.Float();
        it.Y2 = in.Float();
    }

    fuzz::ExerciseDesign(s);
    return 0;
}

#include "drawing/RevArmPositions.h"

#include "model/Model.h"
#include "model/NumberText.h"

using LD = long double;

namespace {

// Box 1..9 the positions, 10 the vertical scale.
const RevArmBoxPlace kBoxPlace[11] = {{0, 0},    {138, 47}, {138, 63}, {138, 79}, {138, 95}, {333, 31},
                                      {333, 47}, {333, 63}, {333, 79}, {333, 95}, {138, 31}};

// A label starts this far left of its box; its top lies this far below the
// box's top, which puts the label's baseline (the picture's default font) on
// the baseline of the box's text.
constexpr int kLabelLeftOfBox = 125;
constexpr int kLabelBelowBoxTop = 3;

} // namespace

RevArmBoxPlace RevArmBox(int box) { return box >= 1 && box <= 10 ? kBoxPlace[box] : RevArmBoxPlace{0, 0}; }

std::string RevArmText(long double v) { return FormatFixed(v, 5, 3); }

void PaintRevArmLabel(Canvas& c, const AppState& s, int box)
{
    if (box < 1 || box > 10) return;
    const std::string text = box == 10 ? "Vertical Scale" : "Rev Arm Position  " + std::to_string(box);
    c.TextOut(kBoxPlace[box].left - kLabelLeftOfBox, kBoxPlace[box].top + kLabelBelowBoxTop, text);
}

void LayoutRevArmDialog(Canvas& c, AppState& s, RevArmLayout& out)
{
    Gear& g = s.gear;
    const LD centre = g.RevArmCentre();
    const LD fx = s.view.FontScaleX;
    c.SetFontColour(clBlack);

    // 1. Header row.
    c.TextOut(ToPixel(fx * 10), 4, "Min " + RevArmText(centre - g.RevArmMax));
    c.TextOut(ToPixel(fx * 75), 4, "Rev " + RevArmText(centre - g.RevArmNormal));
    c.TextOut(ToPixel(fx * 140), 4, "Cent " + RevArmText(centre));
    c.TextOut(ToPixel(fx * 205), 4, "Fwd " + RevArmText(centre + g.RevArmNormal));
    c.TextOut(ToPixel(fx * 270), 4, "Max " + RevArmText(centre + g.RevArmMax));

    // 2. First position, always in use.
    // On the line under the last box of the left column.
    c.TextOut(kBoxPlace[4].left - kLabelLeftOfBox, kBoxPlace[4].top + kRevArmBoxHeight + kLabelBelowBoxTop,
              "Max of 9 Positions");
    PaintRevArmLabel(c, s, 1);
    out.visible[1] = true;
    out.text[1] = RevArmText(g.RevArm[1]);

    // 3. The list is contiguous: after the first empty entry all are empty.
    s.graph.GraphPosCount = 0;
    for (int k = 1; k <= 8; ++k) {
        const size_t next = static_cast<size_t>(k + 1);
        if (g.RevArm[static_cast<size_t>(k)] != 0) {
            s.graph.GraphPosCount = k;
            PaintRevArmLabel(c, s, k + 1);
            out.visible[next] = true;
        } else {
            g.RevArm[next] = 0;
            out.visible[next] = false;
        }
        out.text[next] = RevArmText(g.RevArm[next]);
    }
    // 4.
    if (g.RevArm[9] != 0) s.graph.GraphPosCount = 9;

    // 5. Vertical scale.
    out.visible[10] = true;
    out.text[10] = RevArmText(s.graph.GraphVerticalScale);
    PaintRevArmLabel(c, s, 10);
}

bool RevArmKeyAccepted(const FieldText& field, char key)
{
    return key == '\b' || NumberEntryAccepted(field, std::string(1, key), true);
}

float ClampToArmRange(const Gear& g, long double v)
{
    if (v == 0) return 0;
    const LD lo = static_cast<LD>(g.RevArmCentre()) - g.RevArmMax;
    const LD hi = static_cast<LD>(g.RevArmCentre()) + g.RevArmMax;
    if (v < lo) v = lo;
    if (v > hi) v = hi;
    return ToModelFloat(v);
}

void StoreRevArmEdit(AppState& s, int box, const std::string& text)
{
    LD v = ParseNumber(text);
    if (box == 10) {
        if (!(v >= 0.1L)) v = 0.1L; // also catches a NaN
        // A typed scale beyond the float range would turn every height into 0.
        if (v > 1e30L) v = 1e30L;
        s.graph.GraphVerticalScale = ToModelFloat(v);
        return;
    }
    if (box < 1 || box > 9) return;
    if (box == 1 && v == 0) v = 0.001L;
    s.gear.RevArm[static_cast<size_t>(box)] = ClampToArmRange(s.gear, v);
}

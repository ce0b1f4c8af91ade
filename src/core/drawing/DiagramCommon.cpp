#include "drawing/DiagramCommon.h"

#include "model/DynVars.h"
#include "model/Model.h"
#include "model/NumberText.h"

#include <algorithm>

using LD = long double;

namespace {
// The height of a line of the diagrams' default font.
constexpr int kUndoLineHeight = 13;
} // namespace

bool Overlaps(const DiagramBox& a, const DiagramBox& b)
{
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

std::string PositionSideTag(const Gear& g, float position)
{
    if (position > g.RevArmCentre()) return "Fwd";
    if (position < g.RevArmCentre()) return "Rev";
    return "Cen";
}

void DrawPositionLegendTop(Canvas& c, const AppState& s)
{
    const LD fx = s.view.FontScaleX;
    c.TextOut(ToPixel(500 * fx), 0, "Reverse Arm Positions");
    c.TextOut(ToPixel(520 * fx), 13, "Center");
    c.TextOut(ToPixel(580 * fx), 13, FormatFixed(s.gear.RevArmCentre(), 6, 3));
}

void DrawPositionLegendRow(Canvas& c, const AppState& s, int n)
{
    if (n < 1 || n > 9) return;
    const LD fx = s.view.FontScaleX;
    // Up to four rows stand under the head; more would run into the plot, so
    // then every row goes under the plot's captions, five to a line.
    int tagX = ToPixel(533 * fx), numberX = ToPixel(545 * fx), valueX = ToPixel(580 * fx);
    int y = ToPixel(n * static_cast<LD>(s.view.FontScaleY) * 12) + 12;
    if (s.graph.GraphPosCount > 4) {
        tagX = 44 + 105 * ((n - 1) % 5);
        numberX = tagX + 12;
        valueX = tagX + 47;
        y = 384 + 13 * ((n - 1) / 5);
    }
    const float pos = s.gear.RevArm[static_cast<size_t>(n)];
    c.TextOut(numberX, y, FormatInt(n, 5));
    c.TextOut(tagX, y, PositionSideTag(s.gear, pos));
    c.TextOut(valueX, y, FormatFixed(pos, 6, 3));
}

std::string DiagramUndoText(const AppState& s) { return UndoSummaryText(s) + "." + std::string(12, ' '); }

std::string DiagramUndoText(Canvas& c, const AppState& s)
{
    const std::string redo = RedoCountText(s);
    if (redo.empty()) return DiagramUndoText(s);
    if (UndoSummaryText(s).empty()) return redo + std::string(12, ' '); // nothing to undo
    const std::string line = UndoSummaryText(s) + "." + redo;
    const LD fx = s.view.FontScaleX;
    if (ToPixel(150 * fx) + c.TextWidth(line) > ToPixel(500 * fx)) return DiagramUndoText(s);
    return line + std::string(12, ' ');
}

DiagramPanelState DrawClosingPanel(Canvas& c, const AppState& s, std::string& undoText)
{
    DiagramPanelState out;
    const LD fx = s.view.FontScaleX, fy = s.view.FontScaleY;

    // 1. Dynamic-variable panel.
    if (s.dyn.DynVarsOn) {
        out.barsVisible = true;
        const int x = ToPixel(235 * fx);
        if (s.dyn.Slot[1].Name == kEmptySlotName) {
            ScreenOnlyPart prompt(c); // about the bars
            c.SetFontColour(clRed);
            c.TextOut(x, 2, "*******************************");
            c.TextOut(x, ToPixel(12 * fy), "* First Select Dimensions *");
            c.TextOut(x, ToPixel(26 * fy), "*******************************");
            c.SetFontColour(clBlack);
        } else {
            const int rows[4] = {2, ToPixel(14 * fy), ToPixel(26 * fy), ToPixel(38 * fy)};
            for (int k = 1; k <= 4; ++k) {
                // A slot without a dimension only captions its bar.
                ScreenOnlyPart caption(c, s.dyn.Slot[static_cast<size_t>(k)].Name == kEmptySlotName);
                c.TextOut(x, rows[k - 1], s.dyn.Slot[static_cast<size_t>(k)].Name);
                c.TextOut(ToPixel(363 * fx), rows[k - 1], FormatFixed(s.dyn.Slot[static_cast<size_t>(k)].Value, 6, 3));
            }
        }
        for (int k = 1; k <= 4; ++k)
            out.barEnabled[static_cast<size_t>(k - 1)] = s.dyn.Slot[static_cast<size_t>(k)].Name != kEmptySlotName;
    }

    // 2. Undo line. The canvas paints text without a background, so the
    // place of the line is blanked first, as wide as the longer of the text
    // painted and the one a draw without a clear may have left there.
    if (!s.dyn.UndoOn) return out;
    out.undoVisible = true;
    const int ux = ToPixel(150 * fx), uy = ToPixel(55 * fy);
    const std::string rebuilt = DiagramUndoText(c, s);
    const std::string& shown = s.dyn.DynVarsOn ? rebuilt : undoText;
    if (!shown.empty()) {
        const int width = std::max(c.TextWidth(shown), c.TextWidth(undoText));
        const int penWidth = c.PenWidth();
        c.SetPenWidth(1);
        c.SetPenColour(clWhite);
        for (int y = uy; y < uy + kUndoLineHeight; ++y) c.Line(ux, y, ux + width, y);
        c.SetPenColour(clBlack);
        c.SetPenWidth(penWidth);
        // The summary of an empty history (" 0- ...") only captions the button.
        ScreenOnlyPart caption(c, shown.compare(0, 3, FormatInt(0, 2) + "-") == 0);
        c.TextOut(ux, uy, shown);
    }
    undoText = rebuilt;
    return out;
}

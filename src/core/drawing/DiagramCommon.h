// Pieces shared by the analysis diagrams: the side tag and legend of the
// reverse arm positions, and the closing part of every diagram draw (the
// dynamic-variable panel and the undo line).
#pragma once

#include "model/AppState.h"
#include "platform/Canvas.h"

#include <array>
#include <string>

// The colour of the reference design's curves, drawn beneath this design's
// while a comparison is set.
inline constexpr Colour kReferenceGrey = RGBColour(168, 168, 168);

// "Fwd" above the mid-gear centre, "Rev" below it, "Cen" exactly on it.
std::string PositionSideTag(const Gear& g, float position);

// Legend head: "Reverse Arm Positions", "Center" and the centre value.
void DrawPositionLegendTop(Canvas& c, const AppState& s);
// Legend row of position n (1..9): number, side tag and value; under the head
// while there are at most four positions, else in two lines under the plot.
void DrawPositionLegendRow(Canvas& c, const AppState& s, int n);

// The top of a diagram window that its controls and the closing panel take
// (at font scale 1): the dynamic-variable bars and their texts, "UnDo" and the
// undo line, "Close". A diagram keeps its labels out of it where it can.
struct DiagramBox {
    int left, top, right, bottom; // right and bottom outside
};
inline constexpr DiagramBox kPanelBox{110, 0, 483, 70};
// The window's "UnDo" button, left of the undo line.
inline constexpr DiagramBox kDiagramUndoButton{110, 54, 150, 70};
bool Overlaps(const DiagramBox& a, const DiagramBox& b);

// What the closing panel asks of the window's controls.
struct DiagramPanelState {
    bool barsVisible = false;         // the window's four dynamic-variable bars
    std::array<bool, 4> barEnabled{}; // valid while barsVisible
    bool undoVisible = false;         // the window's "UnDo" button
};

// The undo line of a diagram: the undo summary of the top entry, a full stop
// and blanks that cover a longer earlier text.
std::string DiagramUndoText(const AppState& s);
// The same with the count of records to redo after the full stop, while
// some wait to be redone and the line then ends left of the legend of
// positions (x 500 at the font scale); else DiagramUndoText.
std::string DiagramUndoText(Canvas& c, const AppState& s);

// Closing part of a diagram draw. `undoText` is the window's current undo
// text: it is painted, then rebuilt from the top undo entry.
DiagramPanelState DrawClosingPanel(Canvas& c, const AppState& s, std::string& undoText);

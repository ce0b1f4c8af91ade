// The list of reverse arm positions the steam, oval and sine diagrams plot,
// and the plain parts of the "Set Reverse Arm Positions" dialog.
#pragma once

#include "model/AppState.h"
#include "platform/Canvas.h"
#include "platform/NumberEntry.h"

#include <array>
#include <string>

// F(x) of the dialog: 3 decimals in a field of 5.
std::string RevArmText(long double v);

// What the layout asks of the dialog's boxes: index 1..9 the positions,
// 10 the vertical scale (index 0 unused).
struct RevArmLayout {
    std::array<bool, 11> visible{};
    std::array<std::string, 11> text{};
};

// Where box `box` (1..10) lies in the dialog: two columns of boxes 49 x 16
// pixels, positions 1 to 4 under the vertical scale on the left, 5 to 9 on
// the right.
struct RevArmBoxPlace {
    int left, top;
};
inline constexpr int kRevArmBoxWidth = 49, kRevArmBoxHeight = 16;
RevArmBoxPlace RevArmBox(int box);

// Recount GraphPosCount, zero the positions after the first empty one, and
// paint the dialog's header and labels on `c`.
void LayoutRevArmDialog(Canvas& c, AppState& s, RevArmLayout& out);

// Label of box `box` (1..10) painted on its box's line, left of it, its
// baseline on the baseline of the box's text.
void PaintRevArmLabel(Canvas& c, const AppState& s, int box);

// Key filter of the ten boxes: backspace ('\b') passes, any other key by the
// number rule (NumberEntryAccepted, "-" allowed) against the box's text with
// its selection replaced. Pasted and dropped text passes the same rule.
bool RevArmKeyAccepted(const FieldText& field, char key);

// Into [centre - max, centre + max]; 0 stays 0.
float ClampToArmRange(const Gear& g, long double v);

// Value of box `box` (1..10) taken from its text when the box is left.
void StoreRevArmEdit(AppState& s, int box, const std::string& text);

// Reference points, pivot slots and the main window's mouse selection, as
// plain operations on AppState. The main window's handlers call these and
// then apply the returned requests to its controls.
#pragma once

#include "model/AppState.h"
#include "model/PointIndex.h"

// Window pixels to world units through the view.
float ScreenToWorldX(const View& v, int x);
float ScreenToWorldY(const View& v, int y);

// The drawing area: below the control strip (Y > 120) or right of it
// (Y >= 68 and X > 247).
bool InDrawingArea(int x, int y);

// The reference points switch: toggles them (switching them off also ends
// pivot data) and returns the new state.
bool RefPointsSwitch(AppState& s);

// The four reference bars (the stepper rule with divisor 1000, page 25). Each
// adds its increment to its coordinate; the caller enables the point's zero
// button.
enum class RefBar { Ref1Vert, Ref1Horz, Ref2Vert, Ref2Horz };
void RefBarChange(AppState& s, RefBar bar, int position);
// A zero button: the point to (0, 0) and its two bars' memories to 0.
void ZeroRefPoint(AppState& s, int ref);

// Mouse-down on the main window.
enum class MouseButton { Left, Right, Other };
struct MouseDownResult {
    bool enableRefPt1Zero = false;
    bool enableRefPt2Zero = false;
    bool openLineDialog = false; // open the line dialog as the menu does
    bool slotChosen = false;     // a pivot slot number was clicked
    bool pivotAssigned = false;  // the pending slot got its pivot
};
MouseDownResult PivotMouseDown(AppState& s, MouseButton button, int x, int y);

// Slot hit box k (1..6) of the pivot panel, in window pixels: the click
// (x, y) selects slot k when top < y < bottom and 1 <= x < right.
struct SlotBox {
    int top, bottom, right;
};
SlotBox PivotSlotBox(const View& v, int k);

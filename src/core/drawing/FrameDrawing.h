// Composition of one main-window frame on a Canvas, in the order the program
// draws it: steam display, mechanism, the user's lines and circles, the screen
// data panel, the dimension highlight view. Window captions are set by the
// window itself. Everything that must change a control (menu picture, undo
// button, bars, dialogs, cursor) is returned in FrameEffects and applied by
// TMainForm after the frame.
#pragma once

#include "model/AppState.h"
#include "platform/Canvas.h"
#include "platform/Services.h"

#include <array>

struct FrameServices {
    SoundPort& sound;
    RandomSource& random;
};

enum class Vis { Keep, Show, Hide };

struct FrameEffects {
    Vis errorItem = Vis::Keep;  // the `Error` menu picture
    Vis undoButton = Vis::Keep; // `UnDoDn`
    int undoButtonLeft = 0, undoButtonTop = 0;
    bool dynBarsTouched = false;         // dynBarEnabled holds valid values
    std::array<bool, 4> dynBarEnabled{}; // SBDynVar1..4
    bool closeFrameDialog = false;       // highlight view start
    bool closeCylDialog = false;
    bool reopenFrameDialog = false; // highlight view end
    bool reopenCylDialog = false;
    bool restoreCursor = false;
};

// Steps 4 to 6 of the frame: wheels and joints, cylinder section, links.
void DrawMechanism(Canvas& c, AppState& s);

// The colour of every part of the reference's ghost.
inline constexpr Colour kGhostGrey = RGBColour(176, 176, 176);

// The reference design of a comparison as a grey ghost beneath the gear: its
// mechanism solved at the frame's driver angle, its reverse arm at the
// matching notch (MatchingArmPosition), in this design's view (and unit).
void DrawReferenceGhost(Canvas& c, const AppState& s);

// The whole frame except captions (the canvas is fresh and white); the ghost
// of the reference first while GhostOn.
void ComposeFrame(Canvas& c, AppState& s, FrameServices& services, FrameEffects& fx);

// True when the ticks of `s` compose the same frame again and again until
// something outside them changes `s` (a click, a key, a dialog): the driver
// does not turn, and nothing blinks or shimmers (a gear that cannot be
// assembled, a dimension's close-up, the steam display's dots). Once a tick
// of such a state has composed the frame shown, the window need not tick.
bool FrameStaysStill(const AppState& s);

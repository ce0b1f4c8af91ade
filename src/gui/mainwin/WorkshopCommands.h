// The main window's commands for the workshop: "SetUp > Pi&votData" with
// "Swept &Envelope" (checkable, off at start: the space the moving parts
// sweep, drawn faintly behind the gear) and "&Clearance…" (the clearance
// window TClearance, one of the window's child windows); and the gear as it
// stands as a drawing at full size, which the window's "Export Picture…" then
// offers as a .dxf file. Both views of the envelope share the window's one
// SweptEnvelopeView.
#pragma once

#include "model/AppState.h"

class PictureCommands;
class QMenu;
class TClearance;
class QWidget;

// Adds the commands to `setUp` (a submenu at its end) and the drawing to
// `pictures`, for the main window `window` over `state`; "&Clearance…" shows
// the window `clearance` points to (the window's child windows are made after
// its menus: null until then, and the command does nothing).
void AddWorkshopCommands(QWidget* window, AppState& state, QMenu* setUp, PictureCommands& pictures,
                         TClearance* const& clearance);

// The swept envelope on the main window: the outline of the space each moving
// part sweeps, drawn faintly (a pale tint of the part's colour) behind the
// running gear while "Swept Envelope" is on.
#pragma once

#include "model/AppState.h"
#include "model/GearParts.h"
#include "platform/Canvas.h"

// The pale tint a part's outline is drawn in.
Colour EnvelopeColour(GearPart p);

// Every outline of s.display.SweptOutlines through the view; nothing while
// SweptEnvelopeOn is off or there are none yet. The pen is black afterwards.
void DrawSweptEnvelope(Canvas& c, const AppState& s);

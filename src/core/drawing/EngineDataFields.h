// The plain part of the Engine Data window (TEngineData): what each field
// shows, what a text left in a field means, the least clearance the section
// drawing implies beside each clearance, and why the engine cannot run.
// The change itself is an undo record of its own kind (ChangeKind::EngineDatum,
// through DesignSession::RecordEdit) that sets the value with
// SetDesignEngineValue.
#pragma once

#include "model/AppState.h"

#include <string>

// The value the figures use (the design's own, or its default), as a field
// shows it: up to four decimals, no trailing zeros.
std::string EngineFieldText(const Gear& g, int index);

// The unit beside a value, gauge and absolute pressures saying which they are
// ("psi gauge", "bar abs", "in", "" for the cylinders).
std::string EngineFieldUnit(int index, LengthUnit unit);

// A text left in the field of value `index` that showed `shown`.
struct EngineFieldEntry {
    bool change = false; // a new value to record
    float value = 0;
    std::string why; // the text is refused: the reason, shown in the window (and the field shows its value again)
};
// No change when the text is the one shown or gives the value the figures
// use; a text that is no number, or a number of cylinders that is no whole
// number from 1 to 64, is refused.
EngineFieldEntry ReadEngineField(const Gear& g, int index, const std::string& shown, const std::string& text);

// Beside a clearance (end 0 front, 1 rear): "least 2.91 %", the clearance the
// section drawing leaves between the piston and the cover at that end's dead
// centre; `below` when the value is less, with the warning to show.
struct ClearanceNote {
    std::string text;
    bool below = false;
    std::string warning;
};
ClearanceNote LeastClearanceNote(const Gear& g, int end);

// "" while the engine can run, else "The engine cannot run: <reason>."
std::string EngineProblemText(const Gear& g);

// Editing a design as the dimension dialogs edit it: a typed value read and
// stored, the reverse arm travel with its clamps, the undo record and dynamic
// variable of a change, the dialogs' resets, and the Close's re-centring of
// the reverse arm. The dialogs, the balance and the other searches use these
// (the searches on copies of the design), so a value found by a search is
// stored exactly as a typed one.
#pragma once

#include "model/AppState.h"

#include <cstdint>
#include <string>
#include <vector>

// ---------------------------------------------------------------- typed text
// The value of a field's text: decimal conversion (an empty or malformed text
// gives what the conversion read, 0 when it read nothing), kept within the
// range of a float so that a long row of digits cannot overflow the store.
float FieldValue(const std::string& text);

// An angle brought into [0, 360) by whole turns.
float NormaliseAngle(long double degrees);

// ---------------------------------------------------------------- dimensions
// Field k (1..22) of the frame dialog is code k, of the cylinder dialog 100 + k.
inline int FrameFieldCode(int k) { return k; }
inline int CylinderFieldCode(int k) { return 100 + k; }

// True for the fields that take part in dynamic variables and undo (the grey
// ones): frame codes 1..20 and every cylinder code.
bool IsGreyField(int code);

// A key typed into the field of `code`: in a grey field it marks the edit as
// a change to record at the commit.
void NoteDimensionTyped(AppState& s, int code);

// Commit of a field when it is left. Codes 1..20 and 101..122: undo entry
// (when typed), store, select as dynamic variable; 21 and 22: the reverse arm
// travel with its clamps. The caller sets the reverse arm bar range after a
// commit of code 22.
void CommitDimensionField(AppState& s, int code, const std::string& text);
// The same commit with the value already read from the text (code 6 is
// brought into [0, 360) here).
void CommitDimensionValue(AppState& s, int code, float value);
// The design part of a commit alone, on any design: the value stored (code 6
// brought into [0, 360)); 21 and 22 with their clamps of the reverse arm
// positions. Codes that are no dimension field change nothing.
void StoreDimensionValue(Gear& g, int code, float value);

// The model part of the dialogs' resets; clearUndo for the click, not for
// the mouse-down.
void ResetFrameDialogModel(AppState& s, bool clearUndo);
void ResetCylinderDialogModel(AppState& s, bool clearUndo);

// Every frame and cylinder dimension, in code order.
std::vector<float> DimensionValues(const Gear& g);

// What a dimension dialog keeps from its opening to its Close: the
// dimensions, to tell whether any changed, and the serial of the newest undo
// record, to tell the records made since.
struct DimensionDialogOpening {
    std::vector<float> values;
    std::uint64_t undoSerial = 0;
};
DimensionDialogOpening OpenDimensionDialogModel(const AppState& s);

// Close of either dimension dialog. When a dimension differs from the
// opening's values: mid gear recomputed (RecomputeRevArmCentre), cut-off
// figures emptied, every undo record made since the opening marked to put
// back, when undone, what the re-centring rewrote (RevArm[0..3] and
// RevArmPos as they were just before it), and true returned so that the
// caller puts the reverse arm bar back to 0. When none changed, nothing
// changes and false is returned.
bool CloseDimensionDialogModel(AppState& s, const DimensionDialogOpening& opened);

// What the dimension dialogs and the small setting dialogs do to the model:
// key filters, the commit of a dimension field, the dialogs' resets and the
// conversion and limits of the small dialogs' values. The windows call these
// and then move their own and the main window's controls.
#pragma once

#include "model/AppState.h"
#include "platform/NumberEntry.h"

#include <string>
#include <vector>

// ---------------------------------------------------------------- typed text
// The value of a field's text: decimal conversion (an empty or malformed text
// gives what the conversion read, 0 when it read nothing), kept within the
// range of a float so that a long row of digits cannot overflow the store.
float FieldValue(const std::string& text);

// An angle brought into [0, 360) by whole turns.
float NormaliseAngle(long double degrees);

// ---------------------------------------------------------------- key filters
inline constexpr char kKeyBackspace = '\b';
inline constexpr char kKeyEnter = '\r';

struct DimensionKey {
    bool accepted = false; // one of the keys a dimension field knows
    bool keep = false;     // goes into the text
    bool enter = false;    // moves the focus to Close1
};

// Dimension fields: backspace, Enter, "-", "." and the digits are accepted;
// a "-" or "." is kept by the number rule (NumberEntryAccepted) against the
// field with its selection replaced; Enter is never kept.
DimensionKey FilterDimensionKey(const FieldText& field, char key);

// Small dialogs: backspace, and the keys the number rule takes ("-" where
// allowed) against the field with its selection replaced. True when the key
// goes into the text.
bool FilterSmallDialogKey(const FieldText& field, char key, bool allowMinus);

// ---------------------------------------------------------------- dimension dialogs
// Field k (1..22) of the frame dialog is code k, of the cylinder dialog 100 + k.
inline int FrameFieldCode(int k) { return k; }
inline int CylinderFieldCode(int k) { return 100 + k; }

// The text a field shows: f(value, 5, 3).
std::string DimensionFieldText(const Gear& g, int code);

// True for the fields that take part in dynamic variables and undo (the grey
// ones): frame codes 1..20 and every cylinder code.
bool IsGreyField(int code);

// The key-press side effect: an accepted key in a grey field marks the edit
// as a change to record.
void NoteDimensionKey(AppState& s, int code, const DimensionKey& key);

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

// round(1000 * RevArmMax): the reverse arm bar spans -limit..limit.
int RevArmBarLimit(const Gear& g);

// The model part of the dialogs' resets; clearUndo for the click, not for
// the mouse-down.
void ResetFrameDialogModel(AppState& s, bool clearUndo);
void ResetCylinderDialogModel(AppState& s, bool clearUndo);

// Every frame and cylinder dimension, in code order: what a dimension dialog
// keeps when it is opened, to tell at its Close whether any changed.
std::vector<float> DimensionValues(const Gear& g);

// Close of either dimension dialog. When a dimension differs from `opened`
// (the values the dialog was opened with): mid gear recomputed, cut-off
// figures emptied, and true returned so that the caller puts the reverse arm
// bar back to 0. When none changed, nothing changes and false is returned.
bool CloseDimensionDialogModel(AppState& s, const std::vector<float>& opened);

// ---------------------------------------------------------------- small dialogs
// Str(value, 5, 3) behind a prefix such as "Min = ".
std::string RevPosLabel(const std::string& prefix, long double value);
// The reverse arm position typed, limited to RevArmCentre -+ RevArmMax.
float RevPosFromText(const Gear& g, const std::string& text);
// round(1000 * (pos - RevArmCentre)).
int RevArmBarPosition(const Gear& g, float pos);

// The driver angle typed, limited to 0..360 (anything not >= 0 gives 0).
float DriverAngleFromText(const std::string& text);
// The step angle typed, limited to 0.01..45.
float StepAngleFromText(const std::string& text);

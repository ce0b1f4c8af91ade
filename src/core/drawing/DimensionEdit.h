// What the dimension dialogs and the small setting dialogs do besides editing
// the design (model/DesignEdit): key filters, the text a field shows, and the
// conversion and limits of the small dialogs' values. The windows call these
// and then move their own and the main window's controls.
#pragma once

#include "model/AppState.h"
#include "model/DesignEdit.h"
#include "platform/NumberEntry.h"

#include <string>

// ---------------------------------------------------------------- key filters
inline constexpr char kKeyBackspace = '\b';
inline constexpr char kKeyEnter = '\r';

struct DimensionKey {
    bool accepted = false; // one of the keys a dimension field knows
    bool keep = false;     // goes into the text
    bool enter = false;    // moves the focus to Close1
};

// Dimension fields: backspace, Enter, "-", "." and the digits are accepted,
// and "," as the decimal point (the field shows it as "."); a "-" or decimal
// point is kept by the number rule (NumberEntryAccepted) against the field
// with its selection replaced; Enter is never kept.
DimensionKey FilterDimensionKey(const FieldText& field, char key);

// Small dialogs: backspace, and the keys the number rule takes ("-" where
// allowed) against the field with its selection replaced. True when the key
// goes into the text.
bool FilterSmallDialogKey(const FieldText& field, char key, bool allowMinus);

// ---------------------------------------------------------------- dimension dialogs
// The text a field shows: f(value, 5, 3).
std::string DimensionFieldText(const Gear& g, int code);

// The key-press side effect: an accepted key in a grey field marks the edit
// as a change to record.
void NoteDimensionKey(AppState& s, int code, const DimensionKey& key);

// round(1000 * RevArmMax): the reverse arm bar spans -limit..limit.
int RevArmBarLimit(const Gear& g);

// Where the dimension of `code` is measured, in one sentence: the tooltip of
// its field. Empty for a code that is no dimension.
std::string DimensionWhereText(int code);
// The tooltip of the small button in front of every field.
inline constexpr const char* kCloseUpButtonText =
    "Show where this dimension lies on the gear in a close-up (the dialog comes back afterwards).";

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

// A search bound as a field shows it: up to 4 decimals (8 for values below
// 0.01), without trailing zeros ("3.375", "0.4229").
std::string BoundFieldText(float v);

// ---------------------------------------------------------------- search windows' fields
// The number in a field of a search window (bounds, weights, limits,
// tolerances), which takes any text and drops nothing: the whole text, read
// as ReadTypedNumber reads it (a comma is the decimal point), within the
// float range. For any other text false, with what the window shows in
// `why`: "<what> must be a number, not "<text>"." (`what` begins with a
// capital: "The lower bound of Valve Rod Length").
bool ReadFieldNumber(const std::string& what, const std::string& text, float& value, std::string& why);

// Bounds of a search that leave out the dimension's value, said in a
// sentence: "The bounds of <name>, 3.6 to 3.7, leave out its value 3.75.";
// empty when lo <= value <= hi.
std::string BoundsLeaveOutText(const std::string& name, float value, float lo, float hi);

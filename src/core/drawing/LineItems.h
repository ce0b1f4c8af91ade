// The lines and circles dialog as plain logic: the item choices, the commit of
// an item into its stored form (each commit one "UnDo" record), and the texts
// of the dialog's 20 rows. The window TDrawLines mirrors this model after
// every event.
#pragma once

#include "model/AppState.h"
#include "platform/NumberEntry.h"

#include <array>
#include <string>

// Choice tables of the three radio groups.
inline constexpr int kColourChoices = 6;
float ColourValueOfChoice(int index);    // -1 for an index outside 0..5
std::string ColourChoiceName(int index); // "Black" .. "Gray"; empty outside
std::string ColourLabelOfValue(long v);  // label of a stored colour; empty when none
std::string TypeLabel(long kind);        // "Line", "Circle"; empty when none
std::string ReferenceLabel(long ref);    // "0 , 0", "Pivot1", "Piv1/0,0", "Piv1/P2"; empty when none

// The item the dialog works on: CurrentItem brought into 1..20 (a value from a
// file, or 0 while a pivot pick on item 1 is pending, names no row).
int ItemIndex(const Overlay& ov);
// The row to highlight: CurrentItem when it names a row, else 0 (none).
int HighlightedRow(const Overlay& ov);

// Number text of a row edit: 3 decimals, at least 7 and at most 10 characters.
std::string ItemText(long double v);

// Turns item ItemIndex() into its stored form, from the dialog's current type
// and reference choice, and returns the texts of its four edits (Y1, X1, Y2,
// X2 columns). Stored offsets are the numbers read back from their texts. In
// clear mode the texts are empty and the item's coordinates become 0. A
// combination the dialog cannot commit leaves the item alone and returns its
// texts as RefreshLineRows shows them.
std::array<std::string, 4> CommitItem(AppState& s, bool clearMode);

// Result of a dialog operation for the window.
struct LineOp {
    bool beep = false;
    bool close = false;
};

class LineDialogModel {
public:
    struct Row {
        std::array<std::string, 4> edit; // Y1, X1, Y2, X2
        std::string type, colour, ref;   // the three text labels
    };

    explicit LineDialogModel(AppState& s) : s_(s) {}

    // FormActivate.
    void Activate();
    // The three radio groups (index as clicked).
    LineOp ChooseType(int index);
    LineOp ChooseColour(int index);
    LineOp ChooseReference(int index);
    // "Draw Close", "Clear Line", "Close".
    LineOp DrawClose();
    LineOp ClearLine();
    LineOp CloseDialog();
    // A row-number label click (rows outside 1..20 are ignored).
    void SelectRow(int row);
    // All three groups to no choice and "Draw Close" disabled.
    void ResetItemChoices();
    // An edit of row 1..20, column 0..3, is left with `text`.
    void EditExit(int row, int col, const std::string& text);
    // Key filter of the edits: `key` typed into an edit of row, col as `field`
    // meets it (its selection replaced).
    bool AcceptKey(int row, int col, const FieldText& field, char key) const;
    // Paste and drop filter of the edits, by the same rule.
    bool AcceptText(int row, int col, const FieldText& field, const std::string& text) const;
    // Rebuild every row from the items.
    void RefreshLineRows();
    // Empty the three labels of every row (the native open does it first).
    void ClearRowLabels();

    const Row& RowAt(int row) const { return rows_.at(static_cast<size_t>(row)); }
    bool DrawButEnabled() const { return drawButEnabled_; }

private:
    // The undo record of a line or circle (model/Changes): the item the
    // dialog begins to change is kept as it was (Overlay::Uncommitted), and
    // each commit of it ("Draw Close", "Clear Line", an edit left) is one
    // record from there (or from `justBefore`, when nothing was begun).
    void BeginChange(int k);
    void CommitChange(int k, const OverlayItem& justBefore, const std::string& what);
    bool AllChosen() const;
    bool RefPointsAllZero() const;
    AppState& s_;
    std::array<Row, kOverlayItems + 1> rows_{}; // [1..20]
    bool drawButEnabled_ = false;
};

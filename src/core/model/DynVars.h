// Dynamic variables and the undo history.
//
// Slots 1..4 hold the four most recently selected dimensions (slot 0 is the
// staging slot a dimension field's commit writes). The bars SBDynVar1..4 of the
// main window and the graph windows nudge the dimension of their slot; every
// completed change is recorded in an undo history of 20 records (entry 1 is
// the newest, entry 0 is scratch for PopUndo).
//
// All state lives in AppState::dyn; the functions here are plain model code.
#pragma once

#include "model/AppState.h"

#include <string>

inline constexpr int kUndoDepth = 20;          // records kept
inline constexpr std::size_t kDynNameMax = 25; // slot and undo names are cut to this

// A slot holds a dimension when its name is not the empty-slot name.
bool SlotHoldsVariable(const DynSlot& slot);
bool SlotHoldsVariable(const AppState& s, int slot); // slot 0..4; false outside

// Push slot 0 into slots 1..4: in place when its code is already there,
// otherwise every slot moves down one place and slot 1 takes slot 0.
void SelectDynVar(AppState& s);

// Slots 0..4 := empty (code 0, value 0, the empty-slot name). The resets of the
// dimension dialogs also set BarIncrement to 0 (RefreshDynSlots is then a no-op
// on the empty slots).
void ClearDynVars(AppState& s);

// Add BarIncrement to the dimension of slot DynVarSlot (1..4). The slot's value
// is refreshed from the dimension first; code 6 moves in tenths of a degree
// (BarIncrement is multiplied by 100) and its dimension is brought into
// [0, 360) while the slot keeps the plain sum; 13/14 write point 9 as well,
// 109 sets PointY[13]. Both cut-off readouts are emptied. Codes that cannot be
// varied (0, 21, 22, 102, unknown) change nothing at all.
void ApplyBarIncrement(AppState& s);

// True when a dimension code takes part in bar changes.
bool IsBarVariableCode(int code);

// Open a new undo record (only while EditDirty): enable the undo buttons, move
// entries 0..19 to 1..20, UndoCount := min(UndoCount + 1, 20); entry 1 gets
// the next serial (UndoSerial + 1) and moves no arm. The redo list is
// emptied: a new change ends what could be redone. The caller then fills
// entry 1.
void PushUndo(AppState& s);

// Undo the newest record: shift the history up, restore the dimension (except
// codes 21, 22, 102) and, for a record that says so (RestoresArm), what the
// re-centring of its Close rewrote: RevArm[0..3] (centre, mid gear, the two
// normal notches) and RevArmPos as they were just before it, both cut-off
// readouts emptied; for a record of a whole-design change, the whole design as
// it was before; refresh the four slots, disable the undo buttons when no
// record remains, UndoCount := max(UndoCount - 1, 0). The record undone stays
// in entry 0 until the next undo or redo. Before anything is restored, what
// the undo replaces is kept in the record (ValueAfter, ArmAfter,
// ArmPosAfter), and the record goes first into the redo list.
void PopUndo(AppState& s);

// Redo the record undone last: what its undo replaced is put back (the
// dimension and, RestoresArm, RevArm[0..3] and RevArmPos with both cut-off
// readouts emptied), the four slots take their dimensions' values (as they
// are: no round trip), and the record goes back into
// the history as entry 1 with its serial (entries 1..19 move to 2..20,
// UndoCount := min(UndoCount + 1, 20), the undo buttons enabled); entry 0
// holds it as well. False when there is nothing to redo.
//
// Every kind of record is redone the same way: its undo first keeps what it
// replaces (KeepWhatUndoReplaces in DynVars.cpp), the redo writes that back
// (PutBackWhatUndoReplaced). A new kind of record adds its part to both.
bool PopRedo(AppState& s);

// True when a record waits to be redone.
bool RedoAvailable(const AppState& s);

// All 21 entries := code 0, values 0, empty name; UndoCount := 0; the undo
// buttons disabled; the redo list emptied.
void ClearUndo(AppState& s);

// True when entry 1 holds a record that "UnDo" can take back (code > 0).
bool UndoAvailable(const AppState& s);

// The "UnDo" button of any window: PopUndo when a record is there, otherwise
// the buttons are disabled. Returns true when a record was undone.
bool UndoButtonClick(AppState& s);

// Copies each slot's dimension into the slot by a +1/-1 round trip through
// ApplyBarIncrement; the dimension keeps its value exactly (the round trip
// alone would move a value that is not exactly representable by one unit in
// its last place, and an undo would not put back what was there).
void RefreshDynSlots(AppState& s);

// ---------------------------------------------------------------- bars
// A change event of bar `slot` (1..4) with the new position: works out
// BarIncrement from the position and the two recorded before it, applies it to
// the slot's dimension and records the position. Returns true when the caller
// must put the bar back to position 0 (that second change event arrives here
// with position 0, changes nothing and only shifts the recorded positions).
bool DynBarChange(AppState& s, int slot, int position);

// The increment rule alone: P the new position, L the last recorded, Q the one
// before it.
float BarIncrementFor(int P, int L, int Q);

// A bar of slot `slot` received the focus (starts a gesture):
// SlotValueOnEnter := that slot's value.
void DynBarEnter(AppState& s, int slot);

// The end of a bar gesture: enable the undo buttons, record entry 1 := (slot's
// code, SlotValueOnEnter, slot's value, slot's name). The caller moves the
// focus away from the bar afterwards. An empty slot, or a gesture that left
// the slot's value as it was, records nothing. Returns true when a record was
// made.
bool DynBarEndScroll(AppState& s, int slot);

// ---------------------------------------------------------------- dialog commits
// The commit of a dimension field in the frame and cylinder dialogs:
//   OpenUndoEntry(s, code, GetDimension(g, code));  // only records while EditDirty
//   ... store the typed value ...
//   StageDynVar(s, code, value, name);              // slot 0 + SelectDynVar
//   CompleteUndoEntry(s, value, name);              // only while EditDirty
//   s.dyn.EditDirty = false;
void OpenUndoEntry(AppState& s, int code, float oldValue);
void CompleteUndoEntry(AppState& s, float newValue, const std::string& name);
void StageDynVar(AppState& s, int code, float value, const std::string& name);

// ---------------------------------------------------------------- whole-design records
// A change of the whole design (a scaling) is one undo record, whatever it
// changed: the record keeps the design before and after (WholeBefore,
// WholeAfter). Undoing it takes back what it changed: each value of the
// dimensions, the pivots, the reverse arm values, the unit, the view and its
// presets, the graphs' scale and the lines and circles that is still as the
// change left it is put back as it was before; a value changed since by
// something that has no record of its own (a preset stored, the view zoomed,
// a reference point moved) keeps its newer value. The reverse arm's setting
// goes back as it was. A redo puts back the change the same way. The driver
// angle and the animation stay. Its code is kWholeDesignCode, its values and
// name those given, so that the undo line reads e.g.
// " 1- Design scale 25.400 to  1.000".
WholeDesign TakeWholeDesign(const AppState& s);
void RestoreWholeDesign(AppState& s, const WholeDesign& w);
// Call after the change, with the design taken before it.
void RecordWholeDesignChange(AppState& s, WholeDesign before, const std::string& name, float newValue, float oldValue);

// ---------------------------------------------------------------- texts
// i(UndoCount, 2) + "- " + name + " " + f(new, 6, 3) + " to " + f(old, 6, 3)
// of entry 1; empty while nothing is left to undo and records wait to be
// redone (the line then tells their count alone).
std::string UndoSummaryText(const AppState& s);
// What follows the undo line while records wait to be redone: "   3 to redo";
// empty while none does.
std::string RedoCountText(const AppState& s);
// f(value, 6, 3) of a slot.
std::string SlotValueText(const AppState& s, int slot);

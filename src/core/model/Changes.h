// Changes of the design that "UnDo" takes back, and the one funnel they are
// recorded through.
//
// Whoever changes the design in a way the user may want back — a dimension
// typed or varied on a bar, the values a search found, a scaling, the unit, a
// line or circle — records it with RecordChange (or RecordValues, which makes
// the record of a kind below from the values before the change). Nothing else
// makes an undo record. A record says what kind of change it was
// (ChangeKind), what it changed (`Code`: the dimension's code, the line's
// number...) and the values before and after; "UnDo" writes the values
// before, "ReDo" the values after (model/DynVars).
//
// The kinds with values of their own (all but a dimension and a change of the
// whole design, which keep their fields in UndoEntry) are described by one
// table (Changes.cpp): how to read and write the values of one target, and
// how the undo line tells a record. A new kind is one step (see
// docs/ARCHITECTURE.md, "A new kind of change"):
//   1. its value in ChangeKind (model/AppState.h);
//   2. its row in the table: read, write, and the undo line's text (none: as
//      a dimension's, "name new to old", for a kind of one value);
//   3. the edit that makes the change calls RecordValues with the values it
//      read before changing them (DesignSession::RecordEdit does both).
// Undo, redo, the undo line, the unsaved-changes check and the recovery copy
// then work for it unchanged.
#pragma once

#include "model/AppState.h"

#include <string>
#include <vector>

// The one funnel: `e` becomes the newest undo record (entry 1). The undo
// buttons are enabled, entries 1..19 move to 2..20 (the oldest beyond the
// depth dropping out), the count grows to at most the depth, the record gets
// the next serial and moves no arm unless it says so, and the records that
// waited to be redone are dropped: a new change ends them. Returns the record.
UndoEntry& RecordChange(AppState& s, UndoEntry e);

// True when the entry holds a record.
bool HoldsRecord(const UndoEntry& e);

// True for the kinds whose values the table reads and writes.
bool HasChangeValues(ChangeKind kind);
// The values a change of `kind` to `code` changes, as the design holds them
// now; and the same written back.
std::vector<float> ChangeValues(const AppState& s, ChangeKind kind, int code);
void SetChangeValues(AppState& s, ChangeKind kind, int code, const std::vector<float>& values);

// Records a change of `kind` to `code` already made: `before` are its values
// as they were before it, the values after are read from the design. Nothing
// is recorded, and false returned, when the two are the same bit for bit. A
// kind of one value shows its values as a dimension does (Old, New).
bool RecordValues(AppState& s, ChangeKind kind, int code, std::vector<float> before, const std::string& name);

// What the undo line tells of a record after "n- ": its name and values.
std::string ChangeText(const UndoEntry& e);

// The values of a line or circle in one order (X1 .. Pivot2Index), for its
// records.
inline constexpr int kLineItemValues = 13;

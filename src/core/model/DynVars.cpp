#include "model/DynVars.h"

#include "model/Model.h"
#include "model/NumberText.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

using LD = long double;

namespace {

std::string CutName(const std::string& name) { return name.size() > kDynNameMax ? name.substr(0, kDynNameMax) : name; }

bool ValidSlot(int slot) { return slot >= 1 && slot <= 4; }

// Angle into [0, 360) for the dimension. Repeated adding or subtracting of 360
// is what the user expects; fmod gives the same result for every finite value
// and cannot loop on a huge one. A non-finite value is stored as it is.
float NormaliseDegrees(LD a)
{
    if (!std::isfinite(a)) return static_cast<float>(a);
    a = std::fmod(a, 360.0L);
    if (a < 0) a += 360;
    float f = ToModelFloat(a);
    if (f >= 360.0f) f = 0.0f; // just below 360 may round up in single precision
    return f;
}

void ClearEntry(UndoEntry& e) { e = UndoEntry{}; }

// The codes whose value an undo restores.
bool RestoresValue(int code) { return code != 21 && code != 22 && code != 102; }

// What the undo of `e` is about to replace, kept in `e` for its redo.
void KeepWhatUndoReplaces(const AppState& s, UndoEntry& e)
{
    if (RestoresValue(e.Code)) e.ValueAfter = GetDimension(s.gear, e.Code);
    if (e.RestoresArm) {
        std::copy_n(s.gear.RevArm.begin(), e.ArmAfter.size(), e.ArmAfter.begin());
        e.ArmPosAfter = s.gear.RevArmPos;
    }
}

// The redo of `e`: what its undo replaced, back in place.
void PutBackWhatUndoReplaced(AppState& s, const UndoEntry& e)
{
    if (RestoresValue(e.Code)) SetDimension(s.gear, e.Code, e.ValueAfter);
    if (e.RestoresArm) {
        std::copy(e.ArmAfter.begin(), e.ArmAfter.end(), s.gear.RevArm.begin());
        s.gear.RevArmPos = e.ArmPosAfter;
        s.steam.FrontCutOffText.clear();
        s.steam.RearCutOffText.clear();
    }
    if (e.WholeAfter) RestoreWholeDesign(s, *e.WholeAfter);
}

void ClearRedo(DynVars& d)
{
    for (UndoEntry& e : d.Redo) ClearEntry(e);
    d.RedoCount = 0;
}

} // namespace

bool SlotHoldsVariable(const DynSlot& slot) { return slot.Name != kEmptySlotName; }

bool SlotHoldsVariable(const AppState& s, int slot)
{
    if (slot < 0 || slot >= kDynSlots) return false;
    return SlotHoldsVariable(s.dyn.Slot[slot]);
}

void SelectDynVar(AppState& s)
{
    auto& sl = s.dyn.Slot;
    for (int i = 1; i <= 4; ++i) {
        if (sl[0].Code == sl[i].Code) {
            sl[i].Value = sl[0].Value;
            sl[i].Name = sl[0].Name;
            return;
        }
    }
    for (int i = 4; i >= 2; --i) sl[i] = sl[i - 1];
    sl[1] = sl[0];
}

void ClearDynVars(AppState& s)
{
    for (DynSlot& slot : s.dyn.Slot) slot = DynSlot{};
}

bool IsBarVariableCode(int code)
{
    if (code == 102) return false; // PointY[3] is rewritten by every solve
    return (code >= 1 && code <= 20) || IsCylinderCode(code);
}

void ApplyBarIncrement(AppState& s)
{
    DynVars& d = s.dyn;
    const int slot = d.DynVarSlot;
    if (!ValidSlot(slot)) return;
    DynSlot& sl = d.Slot[slot];
    const int k = sl.Code;
    if (!IsBarVariableCode(k)) return;

    sl.Value = GetDimension(s.gear, k);
    if (k == 6) d.BarIncrement = ToModelFloat(static_cast<LD>(d.BarIncrement) * 100);
    sl.Value = ToModelFloat(static_cast<LD>(sl.Value) + d.BarIncrement);
    s.steam.FrontCutOffText.clear();
    s.steam.RearCutOffText.clear();

    if (k == 6)
        SetDimension(s.gear, k, NormaliseDegrees(sl.Value));
    else
        SetDimension(s.gear, k, sl.Value); // 13/14 also point 9, 109 also PointY[13]
}

void PushUndo(AppState& s)
{
    DynVars& d = s.dyn;
    if (!d.EditDirty) return;
    d.UndoButtonsEnabled = true;
    for (int i = kUndoEntries - 1; i >= 1; --i) d.Undo[i] = d.Undo[i - 1];
    d.Undo[1].RestoresArm = false; // a new record moves no arm unless its maker says so
    d.Undo[1].Serial = ++d.UndoSerial;
    d.Undo[1].WholeBefore.reset();
    d.Undo[1].WholeAfter.reset();
    d.UndoCount = std::min(d.UndoCount + 1, kUndoDepth);
    ClearRedo(d);
}

void RefreshDynSlots(AppState& s)
{
    DynVars& d = s.dyn;
    for (int slot = 1; slot <= 4; ++slot) {
        d.DynVarSlot = slot;
        const DynSlot& sl = d.Slot[slot];
        const bool variable = IsBarVariableCode(sl.Code);
        const float before = variable ? GetDimension(s.gear, sl.Code) : 0;
        d.BarIncrement = 1;
        ApplyBarIncrement(s);
        d.BarIncrement = -1;
        ApplyBarIncrement(s);
        // The round trip may move a value that is not exactly representable
        // by a unit in its last place: the dimension keeps its value exactly
        // (an undo puts back what was there, bit for bit).
        if (!variable) continue;
        if (sl.Code == 6) {
            SetDimension(s.gear, sl.Code, NormaliseDegrees(before)); // the slot keeps the plain sum
        } else {
            SetDimension(s.gear, sl.Code, before);
            d.Slot[slot].Value = before;
        }
    }
}

void PopUndo(AppState& s)
{
    DynVars& d = s.dyn;
    for (int i = 0; i < kUndoEntries - 1; ++i) d.Undo[i] = d.Undo[i + 1];

    UndoEntry& e = d.Undo[0];
    if (e.Code > 0) {
        KeepWhatUndoReplaces(s, e);
        for (int i = static_cast<int>(d.Redo.size()) - 1; i >= 1; --i) d.Redo[i] = d.Redo[i - 1];
        d.Redo[0] = e;
        d.RedoCount = std::min(d.RedoCount + 1, static_cast<int>(d.Redo.size()));
    }
    if (RestoresValue(e.Code)) SetDimension(s.gear, e.Code, e.Old); // plain store: code 6 is not normalised
    if (e.RestoresArm) {
        std::copy(e.ArmBefore.begin(), e.ArmBefore.end(), s.gear.RevArm.begin());
        s.gear.RevArmPos = e.ArmPosBefore;
        s.steam.FrontCutOffText.clear();
        s.steam.RearCutOffText.clear();
    }

    RefreshDynSlots(s);
    // After the refresh, which may move a value by a unit in the last place:
    // the design comes back exactly as it was.
    if (e.WholeBefore) RestoreWholeDesign(s, *e.WholeBefore);

    ClearEntry(d.Undo[kUndoEntries - 1]);
    if (d.Undo[1].Code == 0) d.UndoButtonsEnabled = false;
    d.UndoCount = std::max(d.UndoCount - 1, 0);
}

bool PopRedo(AppState& s)
{
    DynVars& d = s.dyn;
    if (d.RedoCount <= 0) return false;
    const UndoEntry e = d.Redo[0];
    for (std::size_t i = 0; i + 1 < d.Redo.size(); ++i) d.Redo[i] = d.Redo[i + 1];
    ClearEntry(d.Redo.back());
    --d.RedoCount;

    PutBackWhatUndoReplaced(s, e);
    // The slots follow their dimensions without the round trip of
    // RefreshDynSlots, so that a redo puts back the very values.
    for (int slot = 1; slot <= 4; ++slot) {
        DynSlot& sl = d.Slot[slot];
        if (IsBarVariableCode(sl.Code)) sl.Value = GetDimension(s.gear, sl.Code);
    }

    for (int i = kUndoEntries - 1; i >= 2; --i) d.Undo[i] = d.Undo[i - 1];
    d.Undo[1] = e;
    d.Undo[0] = e;
    d.UndoCount = std::min(d.UndoCount + 1, kUndoDepth);
    d.UndoButtonsEnabled = true;
    return true;
}

bool RedoAvailable(const AppState& s) { return s.dyn.RedoCount > 0; }

void ClearUndo(AppState& s)
{
    DynVars& d = s.dyn;
    for (UndoEntry& e : d.Undo) ClearEntry(e);
    d.UndoCount = 0;
    d.UndoButtonsEnabled = false;
    ClearRedo(d);
}

bool UndoAvailable(const AppState& s) { return s.dyn.Undo[1].Code > 0; }

bool UndoButtonClick(AppState& s)
{
    if (UndoAvailable(s)) {
        PopUndo(s);
        return true;
    }
    s.dyn.UndoButtonsEnabled = false;
    return false;
}

float BarIncrementFor(int P, int L, int Q)
{
    LD inc = 0;
    const LD p = P;
    if (P > 0 && Q < P) inc = p / 1000;
    if (P < 0 && Q < P) inc = -p / 1000;
    if (P < 0 && P < Q) inc = p / 1000;
    if (P > 0 && P < Q) inc = -p / 1000;
    const long long step = std::llabs(static_cast<long long>(P) - L);
    if (step == 1 || step == 10) inc = p / 1000;
    return ToModelFloat(inc);
}

bool DynBarChange(AppState& s, int slot, int position)
{
    if (!ValidSlot(slot)) return false;
    DynVars& d = s.dyn;
    d.BarIncrement = 0;
    d.DynVarSlot = slot;
    d.BarIncrement = BarIncrementFor(position, d.BarLast[slot], d.BarPrev[slot]);
    ApplyBarIncrement(s);
    d.BarPrev[slot] = d.BarLast[slot];
    d.BarLast[slot] = position;
    return position != 0;
}

void DynBarEnter(AppState& s, int slot)
{
    if (!ValidSlot(slot)) return;
    s.dyn.SlotValueOnEnter = s.dyn.Slot[slot].Value;
}

bool DynBarEndScroll(AppState& s, int slot)
{
    if (!ValidSlot(slot)) return false;
    DynVars& d = s.dyn;
    const DynSlot& sl = d.Slot[slot];
    if (!SlotHoldsVariable(sl) || sl.Code == 0) return false;
    // A gesture that changed nothing (a click on the thumb, a drag back to
    // where it started) leaves no record.
    if (sl.Value == d.SlotValueOnEnter) return false;
    d.UndoButtonsEnabled = true;
    d.EditDirty = true;
    PushUndo(s);
    UndoEntry& e = d.Undo[1];
    e.Code = sl.Code;
    e.Old = d.SlotValueOnEnter;
    e.New = sl.Value;
    e.Name = CutName(sl.Name);
    d.EditDirty = false;
    return true;
}

void OpenUndoEntry(AppState& s, int code, float oldValue)
{
    DynVars& d = s.dyn;
    if (!d.EditDirty) return;
    PushUndo(s);
    UndoEntry& e = d.Undo[1];
    e.Code = code;
    e.Old = oldValue;
    e.New = oldValue;
    e.Name.clear();
}

void CompleteUndoEntry(AppState& s, float newValue, const std::string& name)
{
    DynVars& d = s.dyn;
    if (!d.EditDirty) return;
    d.Undo[1].New = newValue;
    d.Undo[1].Name = CutName(name);
}

void StageDynVar(AppState& s, int code, float value, const std::string& name)
{
    DynSlot& sl = s.dyn.Slot[0];
    sl.Code = code;
    sl.Value = value;
    sl.Name = CutName(name);
    SelectDynVar(s);
}

std::string UndoSummaryText(const AppState& s)
{
    const UndoEntry& e = s.dyn.Undo[1];
    return FormatInt(s.dyn.UndoCount, 2) + "- " + e.Name + " " + FormatFixed(e.New, 6, 3) + " to " +
           FormatFixed(e.Old, 6, 3);
}

std::string RedoCountText(const AppState& s)
{
    if (s.dyn.RedoCount <= 0) return "";
    return "   " + FormatInt(s.dyn.RedoCount, 1) + " to redo";
}

std::string SlotValueText(const AppState& s, int slot)
{
    if (slot < 0 || slot >= kDynSlots) return "";
    return FormatFixed(s.dyn.Slot[slot].Value, 6, 3);
}

// ---------------------------------------------------------------- whole-design records
WholeDesign TakeWholeDesign(const AppState& s)
{
    WholeDesign w;
    w.gear = s.gear;
    w.view = s.view;
    w.GraphVerticalScale = s.graph.GraphVerticalScale;
    w.GraphRevArmPos = s.graph.GraphRevArmPos;
    w.Items = s.overlay.Item;
    return w;
}

void RestoreWholeDesign(AppState& s, const WholeDesign& w)
{
    Gear& g = s.gear;
    const Gear now = g;
    g = w.gear;
    // The animation goes on where it is.
    g.DriverAngle = now.DriverAngle;
    g.SolvedDriverAngle = now.SolvedDriverAngle;
    g.ErrorBeepOn = now.ErrorBeepOn;
    g.SolveError = now.SolveError;
    View& v = s.view;
    v.ViewScale = w.view.ViewScale;
    v.ViewOffsetX = w.view.ViewOffsetX;
    v.ViewOffsetY = w.view.ViewOffsetY;
    v.PrevScale = w.view.PrevScale;
    v.PrevOffsetX = w.view.PrevOffsetX;
    v.PrevOffsetY = w.view.PrevOffsetY;
    v.SavedScale = w.view.SavedScale;
    v.SavedOffsetX = w.view.SavedOffsetX;
    v.SavedOffsetY = w.view.SavedOffsetY;
    v.PresetTable = w.view.PresetTable;
    s.graph.GraphVerticalScale = w.GraphVerticalScale;
    s.graph.GraphRevArmPos = w.GraphRevArmPos;
    s.overlay.Item = w.Items;
    s.steam.FrontCutOffText.clear();
    s.steam.RearCutOffText.clear();
    // The slots show the values restored.
    for (int slot = 1; slot <= 4; ++slot) {
        DynSlot& sl = s.dyn.Slot[static_cast<size_t>(slot)];
        if (SlotHoldsVariable(sl) && IsBarVariableCode(sl.Code)) sl.Value = GetDimension(g, sl.Code);
    }
}

void RecordWholeDesignChange(AppState& s, WholeDesign before, const std::string& name, float newValue, float oldValue)
{
    DynVars& d = s.dyn;
    d.EditDirty = true;
    PushUndo(s);
    d.EditDirty = false;
    UndoEntry& e = d.Undo[1];
    e.Code = kWholeDesignCode;
    e.Old = oldValue;
    e.New = newValue;
    e.Name = CutName(name);
    // The windows that show the reverse arm take it from the model again.
    e.RestoresArm = true;
    std::copy_n(before.gear.RevArm.begin(), e.ArmBefore.size(), e.ArmBefore.begin());
    e.ArmPosBefore = before.gear.RevArmPos;
    e.WholeBefore = std::make_shared<const WholeDesign>(std::move(before));
    e.WholeAfter = std::make_shared<const WholeDesign>(TakeWholeDesign(s));
}

#include "model/DynVars.h"

#include "model/Changes.h"
#include "model/Model.h"
#include "model/NumberText.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <vector>

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

// Every value a change of the whole design may change, in one order for any
// design: the gear's dimensions, engine data, pivots, reverse arm and what the
// solver derived from them, the view and its presets, the graphs' scale and
// last position, the lines and circles. (A new value a scaling changes joins
// this list.)
std::vector<float*> ValuesOf(WholeDesign& w)
{
    Gear& g = w.gear;
    std::vector<float*> v = {&g.CrankDiskDia,       &g.Stroke,
                             &g.MainRodLength,      &g.EccentricDiam,
                             &g.EccCircleDiam,      &g.EccAngleDeg,
                             &g.EccStrapUpper,      &g.EccStrapLower,
                             &g.EccStrapHorz,       &g.EccRodLength,
                             &g.RevHeadUpper,       &g.RevHeadArmLower,
                             &g.RockerLower,        &g.RockerUpperVert,
                             &g.RockerUpperHorz,    &g.ValveRodLength,
                             &g.RevArmNormal,       &g.RevArmMax,
                             &g.RevArmPos,          &g.RevHeadAngle,
                             &g.StrapAngle,         &g.FrontSteamOpenLine,
                             &g.FrontSteamMaxLine,  &g.FrontExhOpenLine,
                             &g.RearSteamOpenLine,  &g.RearSteamMaxLine,
                             &g.RearExhOpenLine,    &g.ValveCen,
                             &g.RearLeadBase,       &g.FrontLeadBase,
                             &g.FrontSteamLap,      &g.RearSteamLap,
                             &g.FrontExhClear,      &g.RearExhClear,
                             &g.FrontSteamOpen,     &g.RearSteamOpen,
                             &g.FrontExhOpen,       &g.RearExhOpen,
                             &g.PistonPx,           &g.PrevPistonPx,
                             &g.PrevFrontSteamOpen, &g.PrevRearSteamOpen,
                             &g.PrevFrontExhOpen,   &g.PrevRearExhOpen};
    EngineData& e = g.Engine;
    for (float* f :
         {&e.SteamPortLength, &e.ExhaustPortLength, &e.DischargeCoefficient, &e.ClearanceFront, &e.ClearanceRear,
          &e.ChestPressure, &e.Superheat, &e.BackPressure, &e.AtmosphericPressure, &e.WheelDiameter, &e.Cylinders})
        v.push_back(f);
    for (auto* values : {g.CylDims.data(), g.PointX.data(), g.PointY.data(), g.RevArm.data()}) {
        const std::size_t n = values == g.CylDims.data()  ? g.CylDims.size()
                              : values == g.RevArm.data() ? g.RevArm.size()
                                                          : g.PointX.size();
        for (std::size_t i = 0; i < n; ++i) v.push_back(values + i);
    }
    View& view = w.view;
    for (float* f : {&view.ViewScale, &view.ViewOffsetX, &view.ViewOffsetY, &view.PrevScale, &view.PrevOffsetX,
                     &view.PrevOffsetY, &view.SavedScale, &view.SavedOffsetX, &view.SavedOffsetY})
        v.push_back(f);
    for (float& f : view.PresetTable) v.push_back(&f);
    v.push_back(&w.GraphVerticalScale);
    v.push_back(&w.GraphRevArmPos);
    for (OverlayItem& it : w.Items)
        for (float* f : {&it.X1, &it.Y1, &it.X2, &it.Y2, &it.Pivot1X0, &it.Pivot1Y0, &it.Pivot2X0, &it.Pivot2Y0,
                         &it.Kind, &it.Colour, &it.Reference, &it.Pivot1Index, &it.Pivot2Index})
            v.push_back(f);
    return v;
}

bool SameBits(float a, float b) { return std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b); }

// The design `now` with each value that is still as the change to `from`
// left it set as in `to`: an undo (from the design after the change to the
// one before it) or a redo (the other way) of a change of the whole design
// takes back or puts back what the change changed, and nothing changed since
// by something that has no record of its own (a preset stored, the view
// zoomed, a reference point moved).
WholeDesign Merged(WholeDesign now, WholeDesign from, WholeDesign to)
{
    const std::vector<float*> n = ValuesOf(now), f = ValuesOf(from), t = ValuesOf(to);
    for (std::size_t i = 0; i < n.size(); ++i)
        if (SameBits(*n[i], *f[i])) *n[i] = *t[i];
    if (now.gear.Unit == from.gear.Unit) now.gear.Unit = to.gear.Unit;
    return now;
}

// The codes whose value an undo restores.
bool RestoresValue(int code) { return code != 21 && code != 22 && code != 102; }

// A record of a dimension (or made by hand, without a kind).
bool IsDimensionRecord(const UndoEntry& e) { return e.Kind == ChangeKind::None || e.Kind == ChangeKind::Dimension; }

// What the undo of `e` is about to replace, kept in `e` for its redo.
void KeepWhatUndoReplaces(const AppState& s, UndoEntry& e)
{
    if (IsDimensionRecord(e) && RestoresValue(e.Code)) e.ValueAfter = GetDimension(s.gear, e.Code);
    if (HasChangeValues(e.Kind)) e.After = ChangeValues(s, e.Kind, e.Code);
    if (e.RestoresArm) {
        std::copy_n(s.gear.RevArm.begin(), e.ArmAfter.size(), e.ArmAfter.begin());
        e.ArmPosAfter = s.gear.RevArmPos;
    }
}

// The redo of `e`: what its undo replaced, back in place.
void PutBackWhatUndoReplaced(AppState& s, const UndoEntry& e)
{
    if (IsDimensionRecord(e) && RestoresValue(e.Code)) SetDimension(s.gear, e.Code, e.ValueAfter);
    if (HasChangeValues(e.Kind)) SetChangeValues(s, e.Kind, e.Code, e.After);
    if (e.RestoresArm) {
        std::copy(e.ArmAfter.begin(), e.ArmAfter.end(), s.gear.RevArm.begin());
        s.gear.RevArmPos = e.ArmPosAfter;
        s.steam.FrontCutOffText.clear();
        s.steam.RearCutOffText.clear();
    }
    if (e.WholeAfter && e.WholeBefore) {
        WholeDesign w = Merged(TakeWholeDesign(s), *e.WholeBefore, *e.WholeAfter);
        std::copy(e.ArmAfter.begin(), e.ArmAfter.end(), w.gear.RevArm.begin());
        w.gear.RevArmPos = e.ArmPosAfter;
        RestoreWholeDesign(s, w);
    }
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
    if (!s.dyn.EditDirty) return;
    // The fields of the new entry 1 start as those of the record before it;
    // the caller fills them in.
    UndoEntry e = s.dyn.Undo[0];
    e.RestoresArm = false; // a new record moves no arm unless its maker says so
    e.WholeBefore.reset();
    e.WholeAfter.reset();
    RecordChange(s, std::move(e));
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
    // A change of the whole design is taken back as what it changed, judged
    // on the design as it is before anything of this undo is written.
    std::optional<WholeDesign> whole;
    if (e.WholeBefore && e.WholeAfter) whole = Merged(TakeWholeDesign(s), *e.WholeAfter, *e.WholeBefore);
    if (HoldsRecord(e)) {
        KeepWhatUndoReplaces(s, e);
        for (int i = static_cast<int>(d.Redo.size()) - 1; i >= 1; --i) d.Redo[i] = d.Redo[i - 1];
        d.Redo[0] = e;
        d.RedoCount = std::min(d.RedoCount + 1, static_cast<int>(d.Redo.size()));
    }
    if (IsDimensionRecord(e) && RestoresValue(e.Code))
        SetDimension(s.gear, e.Code, e.Old); // plain store: code 6 is not normalised
    if (HasChangeValues(e.Kind)) SetChangeValues(s, e.Kind, e.Code, e.Before);
    if (e.RestoresArm) {
        std::copy(e.ArmBefore.begin(), e.ArmBefore.end(), s.gear.RevArm.begin());
        s.gear.RevArmPos = e.ArmPosBefore;
        s.steam.FrontCutOffText.clear();
        s.steam.RearCutOffText.clear();
    }

    RefreshDynSlots(s);
    // After the refresh, which may move a value by a unit in the last place:
    // the design comes back exactly as it was, the reverse arm as it was
    // before the change.
    if (whole) {
        std::copy(e.ArmBefore.begin(), e.ArmBefore.end(), whole->gear.RevArm.begin());
        whole->gear.RevArmPos = e.ArmPosBefore;
        RestoreWholeDesign(s, *whole);
    }

    ClearEntry(d.Undo[kUndoEntries - 1]);
    if (!HoldsRecord(d.Undo[1])) d.UndoButtonsEnabled = false;
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

bool UndoAvailable(const AppState& s) { return HoldsRecord(s.dyn.Undo[1]); }

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
    UndoEntry e;
    e.Kind = ChangeKind::Dimension;
    e.Code = sl.Code;
    e.Old = d.SlotValueOnEnter;
    e.New = sl.Value;
    e.Name = CutName(sl.Name);
    RecordChange(s, std::move(e));
    d.EditDirty = false;
    return true;
}

void OpenUndoEntry(AppState& s, int code, float oldValue)
{
    if (!s.dyn.EditDirty) return;
    UndoEntry e;
    e.Kind = ChangeKind::Dimension;
    e.Code = code;
    e.Old = oldValue;
    e.New = oldValue;
    RecordChange(s, std::move(e));
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
    // Nothing to undo while records wait to be redone: only their count
    // (RedoCountText) is told.
    if (s.dyn.UndoCount == 0 && s.dyn.RedoCount > 0) return "";
    return FormatInt(s.dyn.UndoCount, 2) + "- " + ChangeText(s.dyn.Undo[1]);
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
    UndoEntry& e = RecordChange(s, UndoEntry{});
    e.Kind = ChangeKind::WholeDesign;
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

#include "model/DesignEdit.h"

#include "model/Changes.h"
#include "model/DynVars.h"
#include "model/Model.h"
#include "model/NumberText.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>

using LD = long double;

namespace {

// Clamp each reverse arm position into [c - n, c + n]: first raised to the
// lower bound, then lowered to the upper bound. Zero entries (empty) are
// skipped unless `includeEmpty`.
void ClampRevArmPositions(Gear& g, bool includeEmpty)
{
    const LD c = g.RevArmCentre();
    const LD n = g.RevArmNormal;
    const float lo = ToModelFloat(c - n);
    const float hi = ToModelFloat(c + n);
    for (int i = 1; i <= 9; ++i) {
        float& p = g.RevArm[i];
        if (!includeEmpty && p == 0) continue;
        if (p < lo) p = lo;
        if (p > hi) p = hi;
    }
}

std::string SlotName(int code)
{
    if (code == 102) return "Cyl CL above Driver ctr";
    return DimensionShortLabel(code);
}

void ClearSlotsForReset(AppState& s)
{
    ClearDynVars(s);
    RefreshDynSlots(s); // nothing to refresh in empty slots
    s.dyn.BarIncrement = 0;
}

} // namespace

// ---------------------------------------------------------------- typed text
float FieldValue(const std::string& text) { return ToModelFloat(ParseNumber(text)); }

float NormaliseAngle(LD degrees)
{
    if (!std::isfinite(degrees)) return 0.0f;
    // fmod is exact, so this is the same as adding or taking away 360 until
    // the angle lies in range, without looping over a huge value.
    LD a = std::fmod(degrees, 360.0L);
    if (a < 0) a += 360.0L;
    float f = ToModelFloat(a);
    // A value just below 360 can round up to 360 when stored.
    if (f >= 360.0f) f = 0.0f;
    return f;
}

// ---------------------------------------------------------------- dimensions
bool IsGreyField(int code) { return (code >= 1 && code <= 20) || IsCylinderCode(code); }

void NoteDimensionTyped(AppState& s, int code)
{
    if (IsGreyField(code)) s.dyn.EditDirty = true;
}

void StoreDimensionValue(Gear& g, int code, float value)
{
    if (code == 21) {
        g.RevArmNormal = value;
        if (g.RevArmNormal > g.RevArmMax) {
            g.RevArmNormal = g.RevArmMax;
            ClampRevArmPositions(g, false);
        }
        return;
    }
    if (code == 22) {
        g.RevArmMax = value;
        if (g.RevArmMax < g.RevArmNormal) {
            g.RevArmMax = g.RevArmNormal;
            ClampRevArmPositions(g, true);
        }
        return;
    }
    if (!IsGreyField(code)) return;
    if (code == 6) value = NormaliseAngle(value);
    SetDimension(g, code, value); // 13/14 copy point 9; 102/109 set PointY[13]
}

void CommitDimensionValue(AppState& s, int code, float value)
{
    if (!IsGreyField(code)) {
        StoreDimensionValue(s.gear, code, value);
        return;
    }
    if (code == 6) value = NormaliseAngle(value);
    OpenUndoEntry(s, code, GetDimension(s.gear, code));
    StoreDimensionValue(s.gear, code, value);
    StageDynVar(s, code, value, SlotName(code));
    CompleteUndoEntry(s, value, DimensionShortLabel(code));
    s.dyn.EditDirty = false;
}

void CommitDimensionField(AppState& s, int code, const std::string& text)
{
    CommitDimensionValue(s, code, code == 6 ? NormaliseAngle(ParseNumber(text)) : FieldValue(text));
}

void ResetFrameDialogModel(AppState& s, bool clearUndo)
{
    ResetFrameDimensions(s.gear);
    ClearSlotsForReset(s);
    if (clearUndo) ClearUndo(s);
}

void ResetCylinderDialogModel(AppState& s, bool clearUndo)
{
    ResetCylinderDimensions(s.gear);
    ClearSlotsForReset(s);
    if (clearUndo) ClearUndo(s);
}

std::vector<float> DimensionValues(const Gear& g)
{
    std::vector<float> values;
    for (int code = 1; code <= 122; ++code)
        if (IsFrameCode(code) || IsCylinderCode(code)) values.push_back(GetDimension(g, code));
    return values;
}

DimensionDialogOpening OpenDimensionDialogModel(const AppState& s)
{
    return {DimensionValues(s.gear), s.dyn.UndoSerial};
}

bool CloseDimensionDialogModel(AppState& s, const DimensionDialogOpening& opened)
{
    const std::vector<float> now = DimensionValues(s.gear);
    // Bit for bit, so that a dimension that is not a number counts as kept.
    const auto same = [](float a, float b) {
        return std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b);
    };
    if (std::equal(now.begin(), now.end(), opened.values.begin(), opened.values.end(), same)) return false;
    Gear& g = s.gear;
    std::array<float, 4> arm{};
    std::copy_n(g.RevArm.begin(), arm.size(), arm.begin());
    const float armPos = g.RevArmPos;
    RecomputeRevArmCentre(g);
    // The records of this edit, newest first: undoing any of them takes the
    // re-centring back as well.
    for (int i = 1; i < kUndoEntries && HoldsRecord(s.dyn.Undo[i]) && s.dyn.Undo[i].Serial > opened.undoSerial; ++i) {
        UndoEntry& e = s.dyn.Undo[i];
        e.RestoresArm = true;
        e.ArmBefore = arm;
        e.ArmPosBefore = armPos;
    }
    s.steam.FrontCutOffText.clear();
    s.steam.RearCutOffText.clear();
    return true;
}

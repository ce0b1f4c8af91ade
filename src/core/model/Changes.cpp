#include "model/Changes.h"

#include "model/DynVars.h"
#include "model/EngineData.h"
#include "model/NumberText.h"

#include <algorithm>
#include <bit>
#include <cstdint>

namespace {

// ---------------------------------------------------------------- the kinds
// How the values of one kind of change are read and written, and told.
struct ChangeKindRow {
    ChangeKind kind;
    std::vector<float> (*read)(const AppState& s, int code);
    void (*write)(AppState& s, int code, const std::vector<float>& values);
    std::string (*text)(const UndoEntry& e); // null: "name new to old"
};

LengthUnit UnitOf(float v) { return static_cast<LengthUnit>(static_cast<int>(v)); }

std::vector<float> ReadUnit(const AppState& s, int) { return {static_cast<float>(static_cast<int>(s.gear.Unit))}; }
void WriteUnit(AppState& s, int, const std::vector<float>& v) { s.gear.Unit = UnitOf(v.at(0)); }
std::string UnitText(const UndoEntry& e)
{
    return e.Name + " " + LengthUnitText(UnitOf(e.New)) + " to " + LengthUnitText(UnitOf(e.Old));
}

OverlayItem* LineAt(AppState& s, int k) { return k >= 1 && k <= kOverlayItems ? &s.overlay.Item[k] : nullptr; }
std::vector<float> ReadLine(const AppState& s, int k)
{
    if (k < 1 || k > kOverlayItems) return {};
    return LineItemValues(s.overlay.Item[k]);
}
void WriteLine(AppState& s, int k, const std::vector<float>& v)
{
    OverlayItem* it = LineAt(s, k);
    if (!it || v.size() != kLineItemValues) return;
    *it = {v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], v[9], v[10], v[11], v[12], v[13] != 0};
}
std::string NameAlone(const UndoEntry& e) { return e.Name; }

// The engine data whole: whether the design has them, then every value the
// figures use (the defaults of a design without them, so that the record
// tells the value it replaced), so that the undo of the first value given
// takes the design back to none, its values cleared as a file without them
// opens.
std::vector<float> ReadEngine(const AppState& s, int)
{
    std::vector<float> v{s.gear.HasEngine ? 1.0f : 0.0f};
    const EngineData e = EngineDataOf(s.gear);
    for (int k = 0; k < kEngineValueCount; ++k) v.push_back(GetEngineValue(e, k));
    return v;
}
void WriteEngine(AppState& s, int, const std::vector<float>& v)
{
    if (v.size() != 1 + kEngineValueCount) return;
    s.gear.HasEngine = v[0] != 0;
    s.gear.Engine = {};
    if (!s.gear.HasEngine) return;
    for (int k = 0; k < kEngineValueCount; ++k) SetEngineValue(s.gear.Engine, k, v[static_cast<size_t>(1 + k)]);
}
// As a dimension's: the value the record is about, new to old.
std::string EngineText(const UndoEntry& e)
{
    const auto at = static_cast<size_t>(1 + e.Code);
    if (e.Code < 0 || at >= e.Before.size() || at >= e.After.size()) return e.Name;
    return e.Name + " " + FormatFixed(e.After[at], 6, 3) + " to " + FormatFixed(e.Before[at], 6, 3);
}
// The keep-out flag of a line or circle: 1 or 0.
std::vector<float> ReadKeepOut(const AppState& s, int k)
{
    if (k < 1 || k > kOverlayItems) return {};
    return {s.overlay.Item[k].KeepOut ? 1.0f : 0.0f};
}
void WriteKeepOut(AppState& s, int k, const std::vector<float>& v)
{
    if (OverlayItem* it = LineAt(s, k); it && v.size() == 1) it->KeepOut = v[0] != 0;
}
std::string KeepOutText(const UndoEntry& e) { return e.Name + (e.New != 0 ? " on" : " off"); }

const ChangeKindRow kKinds[] = {
    {ChangeKind::Unit, ReadUnit, WriteUnit, UnitText},
    {ChangeKind::LineItem, ReadLine, WriteLine, NameAlone},
    {ChangeKind::EngineDatum, ReadEngine, WriteEngine, EngineText},
    {ChangeKind::KeepOut, ReadKeepOut, WriteKeepOut, KeepOutText},
};

const ChangeKindRow* RowOf(ChangeKind kind)
{
    for (const ChangeKindRow& r : kKinds)
        if (r.kind == kind) return &r;
    return nullptr;
}

bool SameBits(const std::vector<float>& a, const std::vector<float>& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](float x, float y) {
        return std::bit_cast<std::uint32_t>(x) == std::bit_cast<std::uint32_t>(y);
    });
}

} // namespace

UndoEntry& RecordChange(AppState& s, UndoEntry e)
{
    DynVars& d = s.dyn;
    d.UndoButtonsEnabled = true;
    for (int i = kUndoEntries - 1; i >= 2; --i) d.Undo[i] = std::move(d.Undo[i - 1]);
    d.Undo[1] = std::move(e);
    d.Undo[1].Serial = ++d.UndoSerial;
    d.UndoCount = std::min(d.UndoCount + 1, kUndoDepth);
    for (UndoEntry& r : d.Redo) r = UndoEntry{};
    d.RedoCount = 0;
    return d.Undo[1];
}

bool HoldsRecord(const UndoEntry& e) { return e.Code > 0 || e.Kind != ChangeKind::None; }

bool HasChangeValues(ChangeKind kind) { return RowOf(kind) != nullptr; }

std::vector<float> ChangeValues(const AppState& s, ChangeKind kind, int code)
{
    const ChangeKindRow* r = RowOf(kind);
    return r ? r->read(s, code) : std::vector<float>{};
}

void SetChangeValues(AppState& s, ChangeKind kind, int code, const std::vector<float>& values)
{
    if (const ChangeKindRow* r = RowOf(kind)) r->write(s, code, values);
}

bool RecordValues(AppState& s, ChangeKind kind, int code, std::vector<float> before, const std::string& name)
{
    std::vector<float> after = ChangeValues(s, kind, code);
    if (!HasChangeValues(kind) || SameBits(before, after)) return false;
    UndoEntry e;
    e.Kind = kind;
    e.Code = code;
    e.Name = name.substr(0, kDynNameMax);
    if (before.size() == 1 && after.size() == 1) {
        e.Old = before[0];
        e.New = after[0];
    }
    e.Before = std::move(before);
    e.After = std::move(after);
    RecordChange(s, std::move(e));
    return true;
}

std::vector<float> LineItemValues(const OverlayItem& it)
{
    return {it.X1,       it.Y1,   it.X2,     it.Y2,        it.Pivot1X0,    it.Pivot1Y0,    it.Pivot2X0,
            it.Pivot2Y0, it.Kind, it.Colour, it.Reference, it.Pivot1Index, it.Pivot2Index, it.KeepOut ? 1.0f : 0.0f};
}

std::string ChangeText(const UndoEntry& e)
{
    const ChangeKindRow* r = RowOf(e.Kind);
    if (r && r->text) return r->text(e);
    return e.Name + " " + FormatFixed(e.New, 6, 3) + " to " + FormatFixed(e.Old, 6, 3);
}

#include "files/DesignValues.h"

#include "files/FileLayout.h"
#include "files/OlderFile.h"
#include "model/EngineData.h"
#include "model/Model.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <limits>
#include <map>
#include <memory>
#include <mutex>
#include <utility>

namespace {

constexpr float kNoLimit = std::numeric_limits<float>::infinity();
constexpr float kLargestColour = 16777215.0f; // 0xFFFFFF

struct NamedValue {
    const float* field;
    std::string name; // as the user knows it from the windows
    bool judged;      // checked when a file is loaded
    float limit;      // a judged value beyond it (either sign) is huge
    bool design;      // part of the design snapshot
};

// A dimension as its dialog labels it, the spaces run together: "Crank Disk Diameter".
std::string DimensionText(int code)
{
    std::string out;
    for (char c : DimensionDialogLabel(code))
        if (c != ' ' || (!out.empty() && out.back() != ' ')) out += c;
    while (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

// Every value a design file can hold, in the state `s`; `midGearKept`: the
// load keeps mid gear and reverse arm positions 1 to 3 as they are written.
std::vector<NamedValue> NamedValues(const AppState& s, bool midGearKept = false)
{
    std::vector<NamedValue> v;
    auto add = [&v](const float* p, std::string name, bool judged, bool design, float limit = kHugeDesignValue) {
        v.push_back({p, std::move(name), judged, limit, design});
    };
    const Gear& g = s.gear;
    for (int code = 1; code <= 22; ++code) add(DimensionField(g, code), DimensionText(code), true, true);
    for (int code = 101; code <= 122; ++code) add(DimensionField(g, code), DimensionText(code), true, true);
    add(&g.CylDims[ciCylSpare], "spare cylinder value", false, true);
    // Point 9 is a second copy of the reverse head pivot.
    add(&g.PointX[9], DimensionText(14) + " (second copy)", true, true);
    add(&g.PointY[9], DimensionText(13) + " (second copy)", true, true);
    add(&g.PointY[4], "valve rod joint height", false, false); // every solve sets it to 0
    // The setting of the reverse arm: the open solves with it once to find mid
    // gear, then puts the arm there.
    add(&g.RevArmPos, "reverse arm setting", true, false);
    add(&g.RevArm[0], "mid-gear centre", midGearKept, false);
    for (int k = 1; k <= 9; ++k)
        add(&g.RevArm[k], "reverse arm position " + std::to_string(k), k > 3 || midGearKept, k > 3);

    const View& w = s.view;
    add(&w.ViewScale, "view scale", true, false);
    add(&w.ViewOffsetX, "view x offset", true, false);
    add(&w.ViewOffsetY, "view y offset", true, false);
    add(&w.GraphicZoom, "graphic zoom", true, false);
    // Presets 1 to 6 of the view buttons, after the one "P" keeps for them.
    const char* kPresetParts[] = {"scale", "x offset", "y offset"};
    for (int i = 0; i < static_cast<int>(w.PresetTable.size()); ++i)
        add(&w.PresetTable[i],
            "view preset " + (i < 3 ? std::string("P") : std::to_string(i / 3)) + ", " + kPresetParts[i % 3], true,
            false);

    add(&s.graph.GraphVerticalScale, "graphs' vertical scale", true, true, kNoLimit);
    add(&s.graph.GraphRevArmPos, "graphs' reverse arm setting", false, false);

    // The overlay items as the Draw Lines window shows them.
    using Item = OverlayItem;
    const struct {
        float Item::*member;
        const char* name;
    } kItemFields[] = {{&Item::X1, "first end horz"},
                       {&Item::Y1, "first end vert"},
                       {&Item::X2, "second end horz"},
                       {&Item::Y2, "second end vert"},
                       {&Item::Pivot1X0, "first pivot's horz"},
                       {&Item::Pivot1Y0, "first pivot's vert"},
                       {&Item::Pivot2X0, "second pivot's horz"},
                       {&Item::Pivot2Y0, "second pivot's vert"},
                       {&Item::Kind, "type"},
                       {&Item::Colour, "color"},
                       {&Item::Reference, "reference"},
                       {&Item::Pivot1Index, "first pivot"},
                       {&Item::Pivot2Index, "second pivot"}};
    for (int k = 1; k <= kOverlayItems; ++k)
        for (const auto& f : kItemFields)
            add(&(s.overlay.Item[k].*f.member), "Draw Lines item " + std::to_string(k) + ", " + f.name, true, true,
                f.member == &Item::Colour ? kLargestColour : kHugeDesignValue);
    return v;
}

// A value a load judges: where it lies in the records, its name and limit.
struct JudgedField {
    int record;
    int field;
    std::string name;
    float limit;
};

// The values a load judges in the first `stored` records of a layout, in file
// order: only the field a load keeps for each value, and only judged values.
std::vector<JudgedField> FindJudgedFields(RecordLayout layout, int stored)
{
    const bool older = layout == RecordLayout::Older;
    const auto scratch = std::make_unique<AppState>();
    const std::vector<NamedValue> named = NamedValues(*scratch, layout == RecordLayout::NativeMidGearKept);
    std::map<const float*, const NamedValue*> byField;
    for (const NamedValue& n : named) byField[n.field] = &n;
    const auto fields = older ? file_layout::OlderFields(*scratch) : file_layout::NativeFields(*scratch);

    // The field a load keeps for each value: the last one naming it.
    std::map<const float*, int> kept;
    for (int r = 0; r < stored; ++r)
        for (int f = 0; f < kNativeFields; ++f)
            if (const float* p = fields[r][f]) kept[p] = r * kNativeFields + f;

    std::vector<JudgedField> judged;
    for (int r = 0; r < stored; ++r) {
        for (int f = 0; f < kNativeFields; ++f) {
            const float* p = fields[r][f];
            if (!p || kept[p] != r * kNativeFields + f) continue;
            const auto it = byField.find(p);
            if (it == byField.end() || !it->second->judged) continue;
            judged.push_back({r, f, it->second->name, it->second->limit});
        }
    }
    return judged;
}

// The same, found once for each layout and record count.
const std::vector<JudgedField>& JudgedFields(RecordLayout layout, int stored)
{
    static std::mutex lock;
    static std::map<std::pair<RecordLayout, int>, std::vector<JudgedField>> found;
    const std::lock_guard<std::mutex> hold(lock);
    auto it = found.find({layout, stored});
    if (it == found.end()) it = found.emplace(std::pair{layout, stored}, FindJudgedFields(layout, stored)).first;
    return it->second;
}

} // namespace

ValueCheck CheckDesignRecords(const std::vector<NativeRecord>& records, RecordLayout layout)
{
    const bool older = layout == RecordLayout::Older;
    const int count = static_cast<int>(records.size());
    int stored = 0;
    if (older)
        stored = std::min(count, kOlderRecordCount);
    else
        stored = count >= kNativeRecordCount ? file_layout::kLaidOutRecords : std::min(count, kNativeShortRecords);

    ValueCheck first;
    auto judge = [&first](float x, const std::string& name, float limit) {
        if (!std::isfinite(x)) {
            first = {ValueVerdict::NotFinite, name, x};
            return false;
        }
        if (first.verdict == ValueVerdict::Sound && std::abs(x) > limit) first = {ValueVerdict::Huge, name, x};
        return true;
    };
    for (const JudgedField& j : JudgedFields(layout, stored))
        if (!judge(records[j.record][j.field], j.name, j.limit)) return first;
    // The engine data after record 71, judged as the dimensions are.
    EngineData engine;
    std::array<int, kEngineValueCount> place{};
    place.fill(-1);
    if (!older && ReadEngineRecords(records, engine, place.data()))
        for (int k = 0; k < kEngineValueCount; ++k)
            if (place[k] >= 0 && !judge(GetEngineValue(engine, k), EngineValueMessageName(k), kHugeDesignValue))
                return first;
    return first;
}

bool AcceptValues(const std::vector<NativeRecord>& records, RecordLayout layout, HugeValues huge,
                  DesignFileResult& result)
{
    result.values = CheckDesignRecords(records, layout);
    switch (result.values.verdict) {
    case ValueVerdict::Sound: return true;
    case ValueVerdict::Huge: return huge == HugeValues::Accept;
    case ValueVerdict::NotFinite: return false;
    }
    return false;
}

std::vector<std::uint32_t> DesignSnapshot(const AppState& s)
{
    // Where the design's values lie in any state, found once: the snapshot
    // is cheap enough for every frame (the title's unsaved-changes mark).
    static const std::vector<std::ptrdiff_t> offsets = [] {
        const auto probe = std::make_unique<AppState>();
        const char* base = reinterpret_cast<const char*>(probe.get());
        std::vector<std::ptrdiff_t> v;
        for (const NamedValue& n : NamedValues(*probe))
            if (n.design) v.push_back(reinterpret_cast<const char*>(n.field) - base);
        return v;
    }();
    const char* base = reinterpret_cast<const char*>(&s);
    std::vector<std::uint32_t> bits;
    bits.reserve(offsets.size() + 1);
    for (const std::ptrdiff_t at : offsets)
        bits.push_back(std::bit_cast<std::uint32_t>(*reinterpret_cast<const float*>(base + at)));
    bits.push_back(static_cast<std::uint32_t>(s.gear.Unit)); // a save keeps it too
    if (s.gear.HasEngine)                                    // so do the engine data
        for (int k = 0; k < kEngineValueCount; ++k)
            bits.push_back(std::bit_cast<std::uint32_t>(GetEngineValue(s.gear.Engine, k)));
    return bits;
}

#include "files/DesignValues.h"

#include "files/FileLayout.h"
#include "files/OlderFile.h"
#include "model/Model.h"

#include <algorithm>
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
    std::string name;
    bool judged; // checked when a file is loaded
    float limit; // a judged value beyond it (either sign) is huge
    bool design; // part of the design snapshot
};

std::string Indexed(const char* base, int i) { return std::string(base) + "[" + std::to_string(i) + "]"; }

// Every value a design file can hold, in the state `s`.
std::vector<NamedValue> NamedValues(const AppState& s)
{
    std::vector<NamedValue> v;
    auto add = [&v](const float* p, std::string name, bool judged, bool design, float limit = kHugeDesignValue) {
        v.push_back({p, std::move(name), judged, limit, design});
    };
    const Gear& g = s.gear;
    for (int code = 1; code <= 22; ++code) add(DimensionField(g, code), DimensionName(code), true, true);
    for (int code = 101; code <= 122; ++code) add(DimensionField(g, code), DimensionName(code), true, true);
    add(&g.CylDims[ciCylSpare], "CylSpare", false, true);
    add(&g.PointX[9], "PointX[9]", true, true);
    add(&g.PointY[9], "PointY[9]", true, true);
    add(&g.PointY[4], "PointY[4]", false, false); // every solve sets it to 0
    // The setting of the reverse arm: the open solves with it once to find mid
    // gear, then puts the arm there.
    add(&g.RevArmPos, "RevArmPos", true, false);
    add(&g.RevArm[0], "RevArmCentre", false, false);
    for (int k = 1; k <= 9; ++k) add(&g.RevArm[k], Indexed("RevArmPositions", k), k > 3, k > 3);

    const View& w = s.view;
    add(&w.ViewScale, "ViewScale", true, false);
    add(&w.ViewOffsetX, "ViewOffsetX", true, false);
    add(&w.ViewOffsetY, "ViewOffsetY", true, false);
    add(&w.GraphicZoom, "GraphicZoom", true, false);
    for (int i = 0; i < static_cast<int>(w.PresetTable.size()); ++i)
        add(&w.PresetTable[i], Indexed("PresetTable", i), true, false);

    add(&s.graph.GraphVerticalScale, "GraphVerticalScale", true, true, kNoLimit);
    add(&s.graph.GraphRevArmPos, "GraphRevArmPos", false, false);

    using Item = OverlayItem;
    const struct {
        float Item::*member;
        const char* name;
    } kItemFields[] = {{&Item::X1, "X1"},
                       {&Item::Y1, "Y1"},
                       {&Item::X2, "X2"},
                       {&Item::Y2, "Y2"},
                       {&Item::Pivot1X0, "Pivot1X0"},
                       {&Item::Pivot1Y0, "Pivot1Y0"},
                       {&Item::Pivot2X0, "Pivot2X0"},
                       {&Item::Pivot2Y0, "Pivot2Y0"},
                       {&Item::Kind, "Kind"},
                       {&Item::Colour, "Colour"},
                       {&Item::Reference, "Reference"},
                       {&Item::Pivot1Index, "Pivot1Index"},
                       {&Item::Pivot2Index, "Pivot2Index"}};
    for (int k = 1; k <= kOverlayItems; ++k)
        for (const auto& f : kItemFields)
            add(&(s.overlay.Item[k].*f.member), Indexed("OverlayItem", k) + "." + f.name, true, true,
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
std::vector<JudgedField> FindJudgedFields(bool older, int stored)
{
    const auto scratch = std::make_unique<AppState>();
    const std::vector<NamedValue> named = NamedValues(*scratch);
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
const std::vector<JudgedField>& JudgedFields(bool older, int stored)
{
    static std::mutex lock;
    static std::map<std::pair<bool, int>, std::vector<JudgedField>> found;
    const std::lock_guard<std::mutex> hold(lock);
    auto it = found.find({older, stored});
    if (it == found.end()) it = found.emplace(std::pair{older, stored}, FindJudgedFields(older, stored)).first;
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
    for (const JudgedField& j : JudgedFields(older, stored)) {
        const float x = records[j.record][j.field];
        if (!std::isfinite(x)) return {ValueVerdict::NotFinite, j.name, x};
        if (first.verdict == ValueVerdict::Sound && std::abs(x) > j.limit) first = {ValueVerdict::Huge, j.name, x};
    }
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
    std::vector<std::uint32_t> bits;
    for (const NamedValue& n : NamedValues(s))
        if (n.design) bits.push_back(std::bit_cast<std::uint32_t>(*n.field));
    bits.push_back(static_cast<std::uint32_t>(s.gear.Unit)); // a save keeps it too
    return bits;
}

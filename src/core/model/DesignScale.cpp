#include "model/DesignScale.h"

#include "model/DynVars.h"
#include "model/EngineData.h"
#include "model/Model.h"
#include "model/NumberText.h"

#include <cctype>
#include <cmath>

using LD = long double;

namespace {

constexpr LD kMillimetresPerInch = 25.4L;

void Times(float& v, LD factor) { v = ToModelFloat(static_cast<LD>(v) * factor); }
void Over(float& v, LD factor) { v = ToModelFloat(static_cast<LD>(v) / factor); }

bool IsLengthCode(int code) { return (IsFrameCode(code) && code != 6) || IsCylinderCode(code); }

} // namespace

// ---------------------------------------------------------------- units
long double UnitFactor(LengthUnit from, LengthUnit to)
{
    if (from == LengthUnit::Unspecified || to == LengthUnit::Unspecified || from == to) return 1;
    return to == LengthUnit::Millimetre ? kMillimetresPerInch : 1 / kMillimetresPerInch;
}

// ---------------------------------------------------------------- rounding
int GridStepsPerUnit(RoundGrid grid)
{
    switch (grid) {
    case RoundGrid::SixtyFourthInch: return 64;
    case RoundGrid::TenthMillimetre: return 10;
    case RoundGrid::None: break;
    }
    return 0;
}

std::string GridText(RoundGrid grid)
{
    switch (grid) {
    case RoundGrid::SixtyFourthInch: return "1/64 in";
    case RoundGrid::TenthMillimetre: return "0.1 mm";
    case RoundGrid::None: break;
    }
    return "";
}

LengthUnit GridUnit(RoundGrid grid)
{
    switch (grid) {
    case RoundGrid::SixtyFourthInch: return LengthUnit::Inch;
    case RoundGrid::TenthMillimetre: return LengthUnit::Millimetre;
    case RoundGrid::None: break;
    }
    return LengthUnit::Unspecified;
}

void RoundGearDimensions(Gear& g, RoundGrid grid)
{
    const int per = GridStepsPerUnit(grid);
    if (per == 0) return;
    // Rounded in the grid's own unit: the value there, to the nearest step,
    // and back (both 1, exact, for a design in the grid's unit or in none).
    const LD there = UnitFactor(g.Unit, GridUnit(grid));
    const LD back = UnitFactor(GridUnit(grid), g.Unit);
    for (int code = 1; code <= 122; ++code) {
        if (!IsLengthCode(code)) continue;
        const LD v = GetDimension(g, code);
        if (!std::isfinite(v)) continue;
        const LD steps = std::round(v * there * per);
        const float r = ToModelFloat(steps / per * back);
        if (code == 21)
            g.RevArmNormal = r;
        else if (code == 22)
            g.RevArmMax = r;
        else
            SetDimension(g, code, r);
    }
}

// ---------------------------------------------------------------- scaling
bool IsScaleFactor(long double factor) { return std::isfinite(factor) && factor > 0; }

void ScaleGearLengths(Gear& g, long double f)
{
    for (float* v :
         {&g.CrankDiskDia, &g.Stroke, &g.MainRodLength, &g.EccentricDiam, &g.EccCircleDiam, &g.EccStrapUpper,
          &g.EccStrapLower, &g.EccStrapHorz, &g.EccRodLength, &g.RevHeadUpper, &g.RevHeadArmLower, &g.RockerLower,
          &g.RockerUpperVert, &g.RockerUpperHorz, &g.ValveRodLength, &g.RevArmNormal, &g.RevArmMax, &g.RevArmPos})
        Times(*v, f);
    for (float& v : g.CylDims) Times(v, f);
    for (float& v : g.PointX) Times(v, f);
    for (float& v : g.PointY) Times(v, f);
    for (float& v : g.RevArm) Times(v, f);
    // What the solver derived from them, until it solves again.
    for (float* v :
         {&g.FrontSteamOpenLine, &g.FrontSteamMaxLine, &g.FrontExhOpenLine,   &g.RearSteamOpenLine, &g.RearSteamMaxLine,
          &g.RearExhOpenLine,    &g.ValveCen,          &g.RearLeadBase,       &g.FrontLeadBase,     &g.FrontSteamLap,
          &g.RearSteamLap,       &g.FrontExhClear,     &g.RearExhClear,       &g.FrontSteamOpen,    &g.RearSteamOpen,
          &g.FrontExhOpen,       &g.RearExhOpen,       &g.PrevFrontSteamOpen, &g.PrevRearSteamOpen, &g.PrevFrontExhOpen,
          &g.PrevRearExhOpen})
        Times(*v, f);
    ScaleEngineLengths(g.Engine, f);
}

Gear GearInUnit(const Gear& g, LengthUnit unit)
{
    const LD f = UnitFactor(g.Unit, unit);
    if (f == 1) return g;
    Gear out = g;
    ScaleGearLengths(out, f);
    ConvertEngineUnits(out.Engine, out.Unit, unit);
    out.Unit = unit;
    return out;
}

bool ApplyScale(AppState& s, const ScaleRequest& r)
{
    const LD f = r.factor;
    if (!IsScaleFactor(f)) return false;
    ScaleGearLengths(s.gear, f);
    View& v = s.view;
    for (float* scale : {&v.ViewScale, &v.PrevScale, &v.SavedScale}) Over(*scale, f);
    for (int k = 0; k <= 6; ++k) Over(v.PresetTable[static_cast<size_t>(3 * k)], f);
    Times(s.graph.GraphVerticalScale, f);
    Times(s.graph.GraphRevArmPos, f);
    for (OverlayItem& it : s.overlay.Item)
        for (float* p : {&it.X1, &it.Y1, &it.X2, &it.Y2, &it.Pivot1X0, &it.Pivot1Y0, &it.Pivot2X0, &it.Pivot2Y0})
            Times(*p, f);
    ConvertEngineUnits(s.gear.Engine, s.gear.Unit, r.unit);
    s.gear.Unit = r.unit;
    if (r.round != RoundGrid::None) {
        RoundGearDimensions(s.gear, r.round);
        RecomputeRevArmCentre(s.gear);
    }
    s.steam.FrontCutOffText.clear();
    s.steam.RearCutOffText.clear();
    for (int slot = 1; slot <= 4; ++slot) {
        DynSlot& sl = s.dyn.Slot[static_cast<size_t>(slot)];
        if (SlotHoldsVariable(sl) && IsBarVariableCode(sl.Code)) sl.Value = GetDimension(s.gear, sl.Code);
    }
    return true;
}

std::string ScaleUndoName(const ScaleRequest& r)
{
    return r.round == RoundGrid::None ? "Design scale" : "Design scale, rounded";
}

bool ScaleDesign(AppState& s, const ScaleRequest& r)
{
    WholeDesign before = TakeWholeDesign(s);
    if (!ApplyScale(s, r)) return false;
    RecordWholeDesignChange(s, std::move(before), ScaleUndoName(r), ToModelFloat(r.factor), 1.0f);
    return true;
}

std::optional<Gear> ComparedReference(const AppState& s)
{
    if (!s.compare.Reference) return std::nullopt;
    return GearInUnit(*s.compare.Reference, s.gear.Unit);
}

float MatchingArmPosition(const Gear& design, float revArmPos, const Gear& reference)
{
    const LD max = design.RevArmMax;
    const LD ratio = max != 0 && std::isfinite(max) ? reference.RevArmMax / max : 1;
    return ToModelFloat(static_cast<LD>(reference.RevArmCentre()) +
                        (static_cast<LD>(revArmPos) - design.RevArmCentre()) * ratio);
}

// ---------------------------------------------------------------- scales and gauges
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string Lower(std::string_view t)
{
    std::string out;
    for (char c : t) out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::string_view Trim(std::string_view t)
{
    while (!t.empty() && t.front() == ' ') t.remove_prefix(1);
    while (!t.empty() && t.back() == ' ') t.remove_suffix(1);
    return t;
}

void SkipBlanks(std::string_view t, size_t& i)
{
    while (i < t.size() && t[i] == ' ') ++i;
}

// An unsigned decimal number at i (digits with a point), moved past.
bool Decimal(std::string_view t, size_t& i, LD& v)
{
    size_t j = i;
    while (j < t.size() && (IsDigit(t[j]) || t[j] == '.')) ++j;
    if (j == i || !ReadNumber(t.substr(i, j - i), v)) return false;
    i = j;
    return true;
}

// A fraction sign at i (UTF-8), moved past.
bool FractionSign(std::string_view t, size_t& i, LD& v)
{
    static const struct {
        std::string_view sign;
        LD value;
    } kSigns[] = {{"½", 0.5L},   {"¼", 0.25L},  {"¾", 0.75L},  {"⅛", 0.125L},
                  {"⅜", 0.375L}, {"⅝", 0.625L}, {"⅞", 0.875L}, {"⅙", 1.0L / 6}};
    for (const auto& f : kSigns)
        if (t.substr(i, f.sign.size()) == f.sign) {
            v = f.value;
            i += f.sign.size();
            return true;
        }
    return false;
}

// "a/b" at i, moved past.
bool Fraction(std::string_view t, size_t& i, LD& v)
{
    size_t j = i;
    LD a = 0, b = 0;
    if (!Decimal(t, j, a) || j >= t.size() || t[j] != '/') return false;
    ++j;
    if (!Decimal(t, j, b) || b == 0) return false;
    v = a / b;
    i = j;
    return true;
}

// An amount: "8", "8.5", "8½", "½", "1/2", "8 1/2"; `plain` when it is a
// single fraction "a/b" (a scale when no unit follows).
bool Amount(std::string_view t, size_t& i, LD& v, bool& plain)
{
    plain = false;
    LD f = 0;
    if (Fraction(t, i, v)) {
        plain = true;
        return true;
    }
    if (FractionSign(t, i, v)) return true;
    if (!Decimal(t, i, v)) return false;
    if (FractionSign(t, i, f)) {
        v += f;
        return true;
    }
    size_t j = i;
    SkipBlanks(t, j);
    if (j > i && Fraction(t, j, f)) {
        v += f;
        i = j;
    }
    return true;
}

// Millimetres per unit of the unit word at i, moved past; 0 for none.
LD UnitWord(std::string_view t, size_t& i)
{
    static const struct {
        std::string_view word;
        LD mm;
    } kUnits[] = {{"feet", 304.8L}, {"foot", 304.8L},  {"ft", 304.8L},  {"'", 304.8L}, {"’", 304.8L},
                  {"′", 304.8L},    {"inches", 25.4L}, {"inch", 25.4L}, {"in", 25.4L}, {"\"", 25.4L},
                  {"”", 25.4L},     {"″", 25.4L},      {"mm", 1.0L},    {"cm", 10.0L}, {"m", 1000.0L}};
    for (const auto& u : kUnits) {
        if (t.substr(i, u.word.size()) != u.word) continue;
        const size_t end = i + u.word.size();
        // A word ends where the letters end ("in" is not the start of "inx").
        if (std::isalpha(static_cast<unsigned char>(u.word[0])) && end < t.size() &&
            std::isalpha(static_cast<unsigned char>(t[end])))
            continue;
        i = end;
        return u.mm;
    }
    return 0;
}

} // namespace

bool ReadScaleOrGauge(std::string_view text, ScaleOrGauge& out)
{
    const std::string lower = Lower(text);
    std::string_view t = Trim(lower);
    for (std::string_view tail : {std::string_view(" gauge"), std::string_view(" scale")})
        if (t.size() > tail.size() && t.substr(t.size() - tail.size()) == tail)
            t = Trim(t.substr(0, t.size() - tail.size()));
    if (t == "full size" || t == "full-size" || t == "full") {
        out = {ScaleOrGauge::Kind::Scale, 1};
        return true;
    }
    // A scale "a:b".
    if (const size_t colon = t.find(':'); colon != std::string_view::npos) {
        LD a = 0, b = 0;
        if (!ReadNumber(Trim(t.substr(0, colon)), a) || !ReadNumber(Trim(t.substr(colon + 1)), b)) return false;
        if (!(a > 0) || !(b > 0)) return false;
        out = {ScaleOrGauge::Kind::Scale, a / b};
        return std::isfinite(out.value) && out.value > 0;
    }
    // A gauge: amounts with their units; or a scale "a/b" alone.
    LD total = 0;
    int parts = 0;
    size_t i = 0;
    while (true) {
        SkipBlanks(t, i);
        if (i >= t.size()) break;
        LD v = 0;
        bool plain = false;
        if (!Amount(t, i, v, plain)) return false;
        SkipBlanks(t, i);
        const LD mm = UnitWord(t, i);
        if (mm == 0) {
            // Only a lone fraction may go without a unit: it is a scale.
            SkipBlanks(t, i);
            if (!plain || parts > 0 || i < t.size() || !(v > 0)) return false;
            out = {ScaleOrGauge::Kind::Scale, v};
            return true;
        }
        total += v * mm;
        ++parts;
    }
    if (parts == 0 || !std::isfinite(total) || !(total > 0)) return false;
    out = {ScaleOrGauge::Kind::Gauge, total};
    return true;
}

bool FactorFromScales(std::string_view from, std::string_view to, long double& factor, std::string& why)
{
    ScaleOrGauge a, b;
    const auto unread = [&why](std::string_view t) {
        why = "\"" + std::string(Trim(t)) +
              "\" is no scale or gauge: write a scale as 1:8, a gauge with its units as 5 in or 127 mm";
        return false;
    };
    if (!ReadScaleOrGauge(from, a)) return unread(from);
    if (!ReadScaleOrGauge(to, b)) return unread(to);
    if (a.kind != b.kind) {
        why = "a scale and a gauge do not compare: give two scales or two gauges";
        return false;
    }
    factor = b.value / a.value;
    if (!IsScaleFactor(factor)) {
        why = "the factor is no number greater than 0";
        return false;
    }
    why.clear();
    return true;
}

#include "drawing/ScaleDesignValues.h"

#include "files/DesignValues.h"
#include "model/NumberText.h"

#include <memory>

using LD = long double;

namespace {

constexpr LD kMillimetresPerInch = 25.4L;

// A reason as a sentence: its first letter a capital, a full stop.
ScaleOutcome Refused(std::string why)
{
    if (!why.empty() && why[0] >= 'a' && why[0] <= 'z') why[0] = static_cast<char>(why[0] - 'a' + 'A');
    if (!why.empty() && why.back() != '.') why += '.';
    ScaleOutcome o;
    o.text = std::move(why);
    return o;
}

const char* UnitName(LengthUnit u) { return u == LengthUnit::Inch ? "inches" : "millimetres"; }

} // namespace

std::string FactorText(long double factor)
{
    std::string t = DecimalText(factor, 7);
    if (t.find('.') != std::string::npos) {
        while (!t.empty() && t.back() == '0') t.pop_back();
        if (!t.empty() && t.back() == '.') t.pop_back();
    }
    if (t == "0" && factor > 0) t = ShortestText(static_cast<float>(factor));
    return t;
}

std::string ScaledDesignProblem(const AppState& s, const ScaleRequest& r)
{
    const auto scaled = std::make_unique<AppState>(s);
    if (!ApplyScale(*scaled, r)) return "the factor must be a number greater than 0";
    const ValueCheck now = CheckDesignRecords(BuildNativeRecords(s), RecordLayout::Native);
    const ValueCheck then = CheckDesignRecords(BuildNativeRecords(*scaled), RecordLayout::Native);
    if (then.verdict == ValueVerdict::Sound || now.verdict != ValueVerdict::Sound) return "";
    return "the scaled design would hold values no gear can have (" + then.name + " = " + CompactText(then.value) + ")";
}

ScaleOutcome WorkOutScale(const AppState& s, const ScaleChoice& c)
{
    ScaleRequest r;
    r.unit = s.gear.Unit;
    std::string what;
    switch (c.way) {
    case ScaleWay::Factor: {
        LD f = 0;
        if (!ReadTypedNumber(c.factor, f) || !IsScaleFactor(f))
            return Refused("The factor must be a number greater than 0, e.g. 0.125 or 25.4.");
        r.factor = f;
        break;
    }
    case ScaleWay::Scales: {
        std::string why;
        if (!FactorFromScales(c.from, c.to, r.factor, why)) return Refused(why);
        break;
    }
    case ScaleWay::Conversion: {
        const bool toMm = c.conversion == UnitConversion::InchToMillimetre;
        const LengthUnit from = toMm ? LengthUnit::Inch : LengthUnit::Millimetre;
        if (s.gear.Unit != LengthUnit::Unspecified && s.gear.Unit != from)
            return Refused(std::string("The design is in ") + UnitName(s.gear.Unit) + " already.");
        r.factor = toMm ? kMillimetresPerInch : 1 / kMillimetresPerInch;
        r.unit = toMm ? LengthUnit::Millimetre : LengthUnit::Inch;
        break;
    }
    }
    if (c.round) r.round = c.grid;
    if (std::string why = ScaledDesignProblem(s, r); !why.empty()) return Refused(std::move(why));
    ScaleOutcome o;
    o.ok = true;
    o.request = r;
    o.text = "Every length times " + FactorText(r.factor) + "; the view follows.";
    if (r.unit != s.gear.Unit) o.text += std::string(" The design is then in ") + UnitName(r.unit) + ".";
    if (r.round != RoundGrid::None) {
        // The grid is the length it names, whatever the unit of the design.
        o.text += " Then every dimension to the nearest " + GridText(r.round);
        const LengthUnit gridUnit = GridUnit(r.round);
        if (r.unit != LengthUnit::Unspecified && r.unit != gridUnit)
            o.text += " (" + FactorText(UnitFactor(gridUnit, r.unit) / GridStepsPerUnit(r.round)) + " " +
                      LengthUnitText(r.unit) + ")";
        o.text += ".";
    }
    return o;
}

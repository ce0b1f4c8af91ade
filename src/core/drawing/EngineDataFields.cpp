#include "drawing/EngineDataFields.h"

#include "analysis/SteamEngine.h"
#include "drawing/DimensionEdit.h"
#include "model/EngineData.h"
#include "model/NumberText.h"

#include <bit>
#include <cmath>
#include <cstdint>

namespace {

constexpr float kMaxCylinders = 64;

} // namespace

std::string EngineFieldText(const Gear& g, int index) { return BoundFieldText(GetEngineValue(EngineDataOf(g), index)); }

std::string EngineFieldUnit(int index, LengthUnit unit)
{
    std::string u = EngineValueUnit(index, unit);
    if (index == evChestPressure || index == evBackPressure) u += " gauge";
    if (index == evAtmosphericPressure) u += " abs";
    return u;
}

EngineFieldEntry ReadEngineField(const Gear& g, int index, const std::string& shown, const std::string& text)
{
    EngineFieldEntry e;
    if (text == shown) return e;
    const std::string name = EngineValueLabel(index);
    std::string lower = name;
    if (!lower.empty()) lower[0] = static_cast<char>(lower[0] - 'A' + 'a');
    float v = 0;
    if (!ReadFieldNumber("The " + lower, text, v, e.why)) return e;
    if (index == evCylinders && (v != std::floor(v) || v < 1 || v > kMaxCylinders)) {
        e.why = name + " must be a whole number from 1 to 64.";
        return e;
    }
    const float now = GetEngineValue(EngineDataOf(g), index);
    e.change = std::bit_cast<std::uint32_t>(v) != std::bit_cast<std::uint32_t>(now);
    e.value = v;
    return e;
}

ClearanceNote LeastClearanceNote(const Gear& g, int end)
{
    ClearanceNote n;
    const long double least = LeastClearancePercent(g, end);
    if (!std::isfinite(least)) return n;
    n.text = "least " + DecimalText(least, 2) + " %";
    const float value = GetEngineValue(EngineDataOf(g), end == 0 ? evClearanceFront : evClearanceRear);
    n.below = value < least;
    if (least < 0)
        n.warning =
            std::string("The piston strikes the ") + (end == 0 ? "front" : "rear") + " cover in the section drawing.";
    else if (n.below)
        n.warning = std::string("The ") + (end == 0 ? "front" : "rear") + " clearance is below the " +
                    DecimalText(least, 2) + " % the section drawing leaves.";
    return n;
}

std::string EngineProblemText(const Gear& g)
{
    const EngineSetup e = MakeEngineSetup(g, EngineDataOf(g));
    return e.problem.empty() ? std::string() : "The engine cannot run: " + e.problem + ".";
}

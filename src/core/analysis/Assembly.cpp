#include "analysis/Assembly.h"

#include "model/NumberText.h"

#include <cmath>
#include <iterator>

namespace {

struct GuardInfo {
    const char* text;
    bool angles; // false: a length of nothing, the same at every angle
};

// In SolveGuard order.
const GuardInfo kGuards[] = {
    {"Main rod cannot reach the crosshead", true},
    {"Stroke has no length", false},
    {"Reverse head arm cannot reach the reverse arm setting", true},
    {"Reverse head arm has no length", false},
    {"Reverse head lies level", true},
    {"Eccentric centre comes level with the reverse arm end", true},
    {"Eccentric strap has no length", false},
    {"Eccentric strap cannot reach the reverse head", true},
    {"Eccentric strap lies level", true},
    {"Eccentric rod end comes straight under the rocker pivot", true},
    {"Eccentric rod has no length", false},
    {"Eccentric rod cannot reach the rocker", true},
    {"Rocker upper arm has no height", false},
    {"Rocker upper arm end comes level with the rocker pivot", true},
    {"Valve rod cannot reach the valve stem", true},
};
static_assert(std::size(kGuards) == kSolveGuardCount);

std::string Degrees(int d) { return FormatInt(d, 1) + "\u00B0"; }

} // namespace

bool AssemblyClamps::Any() const
{
    for (const auto& a : at)
        if (a.any()) return true;
    return false;
}

void AddClampSample(AssemblyClamps& clamps, float driverAngle, std::uint32_t solveClamps)
{
    if (solveClamps == 0) return;
    long d = std::isfinite(driverAngle) ? std::lround(std::fmod(static_cast<double>(driverAngle), 360.0)) : 0;
    d = ((d % kSweepDegrees) + kSweepDegrees) % kSweepDegrees;
    for (int k = 0; k < kSolveGuardCount; ++k)
        if (solveClamps & (1u << k)) clamps.at[static_cast<std::size_t>(k)].set(static_cast<std::size_t>(d));
}

AssemblyClamps SweepAssembly(const Gear& design)
{
    Gear g = design;
    AssemblyClamps out;
    for (int d = 0; d < kSweepDegrees; ++d) {
        g.DriverAngle = static_cast<float>(d);
        SolveLinkage(g);
        ComputePistonAndOpenings(g);
        AddClampSample(out, g.DriverAngle, g.SolveClamps);
    }
    return out;
}

std::string SolveGuardText(SolveGuard guard)
{
    const int k = static_cast<int>(guard);
    return k >= 0 && k < kSolveGuardCount ? kGuards[k].text : "";
}

std::string ClampAnglesText(const std::bitset<kSweepDegrees>& degrees)
{
    if (degrees.none()) return "";
    if (degrees.all()) return "at every driver angle";
    // Runs start after an unclamped degree; one exists, so every run is
    // found once, a run through 0 from its start before 360.
    std::string out;
    for (int d = 0; d < kSweepDegrees; ++d) {
        const auto at = [&](int k) {
            return degrees.test(static_cast<std::size_t>((k + kSweepDegrees) % kSweepDegrees));
        };
        if (!at(d) || at(d - 1)) continue;
        int last = d;
        while (at(last + 1)) ++last;
        if (!out.empty()) out += " and ";
        if (last == d)
            out += "at " + Degrees(d);
        else if (last < kSweepDegrees)
            out += "between " + Degrees(d) + " and " + Degrees(last);
        else
            out += "from " + Degrees(d) + " through 0\u00B0 to " + Degrees(last % kSweepDegrees);
    }
    return out;
}

std::string AssemblyExplanation(const AssemblyClamps& clamps)
{
    std::string out;
    for (int k = 0; k < kSolveGuardCount; ++k) {
        const auto& degrees = clamps.at[static_cast<std::size_t>(k)];
        if (degrees.none()) continue;
        if (!out.empty()) out += "; ";
        out += kGuards[k].text;
        if (kGuards[k].angles) out += " " + ClampAnglesText(degrees);
    }
    return out;
}

std::string ExplainAssembly(const Gear& design) { return AssemblyExplanation(SweepAssembly(design)); }

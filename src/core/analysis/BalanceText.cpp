#include "analysis/BalanceText.h"

#include "analysis/ValveEventsTable.h"

#include "model/Model.h"
#include "model/NumberText.h"

#include <cctype>
#include <cmath>

namespace {

// The decimals of the valve events table, and finer ones for a difference
// (so that one within its tolerance does not read as 0).
constexpr int kPercentDecimals = 2;
constexpr int kLengthDecimals = 4;
constexpr int kPercentDifferenceDecimals = 4;
constexpr int kLengthDifferenceDecimals = 5;

bool IsLead(BalanceTarget t) { return t == BalanceTarget::Lead; }

std::string DifferenceText(BalanceTarget t, float d)
{
    return DecimalText(d, IsLead(t) ? kLengthDifferenceDecimals : kPercentDifferenceDecimals);
}

std::string Unit(BalanceTarget t, LengthUnit u) { return IsLead(t) ? LengthUnitText(u) : "% of stroke"; }

// The name of difference d of a target.
std::string DifferenceName(BalanceTarget t, int d)
{
    switch (t) {
    case BalanceTarget::Lead: return "Lead difference";
    case BalanceTarget::CutOffForward: return "Forward cut-off difference";
    case BalanceTarget::CutOffReverse: return "Reverse cut-off difference";
    case BalanceTarget::CutOffBoth: return d == 0 ? "Forward cut-off difference" : "Reverse cut-off difference";
    }
    return "";
}

std::string DifferenceLabel(BalanceTarget t, int d, LengthUnit u)
{
    return DifferenceName(t, d) + (IsLead(t) ? " (" + std::string(LengthUnitText(u)) + ")" : " (% stroke)");
}

// The cells of a measured target, in row order (the differences last).
std::vector<std::string> TargetCells(const TargetEvents& e, bool withDifferences)
{
    std::vector<std::string> c;
    if (IsLead(e.target)) {
        c.push_back(DecimalText(e.notch[0].leadFront, kLengthDecimals));
        c.push_back(DecimalText(e.notch[0].leadRear, kLengthDecimals));
    } else {
        for (int n = 0; n < 2; ++n) {
            if (n == 0 && e.target == BalanceTarget::CutOffReverse) continue;
            if (n == 1 && e.target == BalanceTarget::CutOffForward) continue;
            for (int end : {endFront, endRear}) {
                const ValveEvent& v = e.notch[static_cast<size_t>(n)].event[static_cast<size_t>(end)][veCutOff];
                c.push_back(v.occurs ? DecimalText(v.percent, kPercentDecimals) : "");
                c.push_back(v.occurs ? EventAngleText(v.angle) : "");
            }
        }
    }
    if (withDifferences)
        for (int d = 0; d < e.differences; ++d)
            c.push_back(e.missing ? "" : DifferenceText(e.target, e.difference[static_cast<size_t>(d)]));
    return c;
}

std::vector<std::string> TargetLabels(BalanceTarget t, LengthUnit u)
{
    const std::string unit = " (" + std::string(LengthUnitText(u)) + ")";
    if (IsLead(t)) return {"Lead front" + unit, "Lead rear" + unit, DifferenceLabel(t, 0, u)};
    std::vector<std::string> l;
    for (const char* way : {"Forward", "Reverse"}) {
        const bool forward = way[0] == 'F';
        if (forward && t == BalanceTarget::CutOffReverse) continue;
        if (!forward && t == BalanceTarget::CutOffForward) continue;
        for (const char* end : {"front", "rear"}) {
            l.push_back(std::string(way) + " " + end + " cut-off (% stroke)");
            l.push_back(std::string(way) + " " + end + " cut-off (deg)");
        }
    }
    l.push_back(DifferenceLabel(t, 0, u));
    if (t == BalanceTarget::CutOffBoth) l.push_back(DifferenceLabel(t, 1, u));
    return l;
}

// "at 3.3750 the difference is 0.00123 units", "at 3.3750 the gear cannot be
// assembled".
std::string EndText(const TargetEvents& e, float at, LengthUnit u)
{
    const std::string where = "at " + DecimalText(at, kLengthDecimals);
    if (e.clamped) return where + " the gear cannot be assembled";
    if (e.missing) return where + " a cut-off never happens";
    std::string s = where + (e.differences > 1 ? " the differences are " : " the difference is ");
    for (int d = 0; d < e.differences; ++d)
        s += (d ? " and " : "") + DifferenceText(e.target, e.difference[static_cast<size_t>(d)]);
    return s + " " + Unit(e.target, u);
}

std::string Residuals(const std::vector<BalanceGoal>& goals, const BalanceResult& r, LengthUnit u)
{
    std::string s;
    for (size_t i = 0; i < goals.size() && i < r.after.size(); ++i)
        for (int d = 0; d < r.after[i].differences; ++d) {
            if (!s.empty()) s += "; ";
            std::string name = DifferenceName(goals[i].target, d);
            name[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(name[0])));
            s += name + " " + DifferenceText(goals[i].target, r.after[i].difference[static_cast<size_t>(d)]) + " " +
                 Unit(goals[i].target, u);
        }
    return s;
}

} // namespace

std::vector<int> BalanceDimensionCodes()
{
    std::vector<int> codes;
    for (int c = 1; c <= 22; ++c) codes.push_back(c);
    for (int c = 101; c <= 122; ++c) codes.push_back(c);
    return codes;
}

std::string BalanceDimensionLabel(int code)
{
    std::string out;
    for (char c : DimensionDialogLabel(code)) {
        if (c == ' ' && (out.empty() || out.back() == ' ')) continue;
        out += c;
    }
    while (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

int DimensionCodeOf(const std::string& identifier)
{
    auto lower = [](std::string s) {
        for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return s;
    };
    for (int code : BalanceDimensionCodes())
        if (lower(DimensionName(code)) == lower(identifier)) return code;
    return 0;
}

std::string TargetCaption(BalanceTarget t)
{
    switch (t) {
    case BalanceTarget::Lead: return "Equal leads, mid gear";
    case BalanceTarget::CutOffForward: return "Equal cut-off, forward, normal notch";
    case BalanceTarget::CutOffReverse: return "Equal cut-off, reverse, normal notch";
    case BalanceTarget::CutOffBoth: return "Equal cut-off, forward and reverse";
    }
    return "";
}

std::string BalanceValueText(float v) { return FormatFixed(v, 8, 4); }

std::vector<TextRow> BalanceRows(const Gear& design, const std::vector<BalanceGoal>& goals, const BalanceResult& r)
{
    std::vector<TextRow> rows;
    for (size_t i = 0; i < goals.size(); ++i) {
        const int code = goals[i].code;
        rows.push_back({BalanceDimensionLabel(code), BalanceValueText(GetDimension(design, code)),
                        i < r.values.size() ? BalanceValueText(r.values[i].value) : ""});
    }
    for (size_t i = 0; i < goals.size() && i < r.before.size(); ++i) {
        const std::vector<std::string> labels = TargetLabels(goals[i].target, design.Unit);
        const std::vector<std::string> before = TargetCells(r.before[i], true);
        const std::vector<std::string> after =
            i < r.after.size() ? TargetCells(r.after[i], true) : std::vector<std::string>(labels.size());
        for (size_t k = 0; k < labels.size(); ++k) rows.push_back({labels[k], before[k], after[k]});
    }
    return rows;
}

std::vector<TextRow> BalanceDifferenceRows(const std::vector<BalanceGoal>& goals, const BalanceResult& r,
                                           LengthUnit unit)
{
    std::vector<TextRow> rows;
    for (size_t i = 0; i < goals.size() && i < r.before.size(); ++i)
        for (int d = 0; d < r.before[i].differences; ++d) {
            const auto at = static_cast<size_t>(d);
            const std::string before =
                r.before[i].missing ? "" : DifferenceText(goals[i].target, r.before[i].difference[at]);
            const std::string after = i < r.after.size() && !r.after[i].missing
                                          ? DifferenceText(goals[i].target, r.after[i].difference[at])
                                          : "";
            rows.push_back({DifferenceLabel(goals[i].target, d, unit), before, after});
        }
    return rows;
}

std::string BalanceSummary(const std::vector<BalanceGoal>& goals, const BalanceResult& r, LengthUnit unit)
{
    std::string s;
    switch (r.outcome) {
    case BalanceOutcome::Invalid: return r.error;
    case BalanceOutcome::Stopped: s = "Stopped before a value was found."; break;
    case BalanceOutcome::NoEffect:
        s = BalanceDimensionLabel(goals[0].code) + " does not change this target: no solution.";
        break;
    case BalanceOutcome::NoSolution:
        if (goals.size() > 1)
            s = "The ranges hold no value at which the gear can be assembled.";
        else if (r.leastAtEnd)
            s = std::string("The range holds no solution: the least lies at its ") +
                (r.leastAt == r.lo ? "lower" : "upper") + " end (" +
                EndText(r.leastAt == r.lo ? r.atLo : r.atHi, r.leastAt, unit) + "). Widen the range beyond " +
                DecimalText(r.leastAt, kLengthDecimals) + " to look for it.";
        else
            s = "The range holds no solution: " + EndText(r.atLo, r.lo, unit) + "; " + EndText(r.atHi, r.hi, unit) +
                ".";
        break;
    case BalanceOutcome::Found:
        if (goals.size() > 1)
            s = "Found: both targets are met. Residuals: " + Residuals(goals, r, unit) + ".";
        else if (goals[0].target == BalanceTarget::CutOffBoth)
            s = "Found the least: " + Residuals(goals, r, unit) + ".";
        else
            s = "Found: the difference is now " +
                DifferenceText(goals[0].target, r.after.empty() ? 0 : r.after[0].difference[0]) + " " +
                Unit(goals[0].target, unit) + ".";
        break;
    case BalanceOutcome::NotMet:
        s = "The targets cannot both be met in these ranges; the best point found is shown. Residuals: " +
            Residuals(goals, r, unit) + ".";
        break;
    }
    if (r.clampsMet) s += " The gear could not be assembled at some values tried; they were skipped.";
    return s;
}

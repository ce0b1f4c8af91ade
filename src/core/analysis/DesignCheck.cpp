#include "analysis/DesignCheck.h"

#include "analysis/SteamEngine.h"
#include "model/EngineData.h"
#include "model/NumberText.h"

#include <cmath>
#include <limits>

using LD = long double;

namespace {

constexpr int kCheckDecimals = 2;
constexpr int kFullGearNotch = kGraphNotches - 1;

// The rules, in CheckRule's order. The lead limit: half a percent of the
// travel, about a twelfth of the built-in design's leads (0.0021 of 0.025).
struct RuleInfo {
    CheckRule rule;
    const char* word;
    const char* caption;
    const char* unit;
    bool least; // the value must be at least the limit (else at most)
    float defaultLimit;
    const char* limitLabel;
};
constexpr RuleInfo kRules[kAllCheckRules] = {
    {CheckRule::Assembles, "assembles", "Assembles at every notch", "rows", false, 0, ""},
    {CheckRule::EqualLeads, "equal-leads", "Equal leads at mid gear", "% of travel", false, 0.5f,
     "&Leads, % of travel"},
    {CheckRule::EqualCutOffForward, "equal-cutoff-fwd", "Equal cut-off forward", "% of stroke", false, 2,
     "Cut-off &forward, % of stroke"},
    {CheckRule::EqualCutOffReverse, "equal-cutoff-rev", "Equal cut-off reverse", "% of stroke", false, 2,
     "Cut-off &reverse, % of stroke"},
    {CheckRule::FullGearCutOff, "full-gear-cutoff", "Full-gear cut-off (notch 18)", "% of stroke", true, 75,
     "F&ull-gear cut-off, % of stroke"},
    {CheckRule::PortOpening, "port-opening", "Steam port opening near 25 % cut-off", "% of port width", true, 25,
     "&Port opening, % of width"},
    {CheckRule::Release, "release", "Release near 25 % cut-off", "% of stroke", true, 70, "R&elease, % of stroke"},
    {CheckRule::Compression, "compression", "Compression near 25 % cut-off", "% of stroke", false, 40,
     "Co&mpression, % of stroke"},
    // The engine's, at the working notch and the top speed. The valve lifts
    // when the compression passes the chest pressure: 100 %. Half the chest
    // pressure left at cut-off, and a twentieth between the ends' work, are
    // this program's defaults, stated in the README; each is a limit to set.
    {CheckRule::CompressionPeak, "compression-peak", "Compression peak below chest pressure", "% of chest pressure",
     false, 100, ""},
    {CheckRule::CutOffPressure, "cutoff-pressure", "Pressure at cut-off at top speed", "% of chest pressure", true, 50,
     ""},
    {CheckRule::MepBalance, "mep-balance", "Equal mean effective pressure front and rear", "% of mean MEP", false, 5,
     ""},
};

const RuleInfo& Info(CheckRule r) { return kRules[static_cast<size_t>(r)]; }

bool IsForward(const ValveEventsRow& r) { return r.events.running == Running::Forward; }

std::string RowName(const ValveEventsRow& r) { return NotchRowText(r.events.running, r.notch); }

const char* EndName(int end) { return end == endFront ? "front" : "rear"; }

const ValveEvent& Event(const ValveEventsRow& r, int end, ValveEventKind kind)
{
    return r.events.event[static_cast<size_t>(end)][static_cast<size_t>(kind)];
}

const ValveEventsRow* FindRow(const std::vector<ValveEventsRow>& table, Running running, int notch)
{
    for (const ValveEventsRow& r : table)
        if (r.events.running == running && r.notch == notch) return &r;
    return nullptr;
}

// The forward row whose mean cut-off is nearest kWorkingCutOff (the first of
// equals), among the rows where both cut-offs happen.
const ValveEventsRow* WorkingRow(const std::vector<ValveEventsRow>& table)
{
    const ValveEventsRow* best = nullptr;
    LD bestDistance = std::numeric_limits<LD>::infinity();
    for (const ValveEventsRow& r : table) {
        if (!IsForward(r)) continue;
        const ValveEvent& f = Event(r, endFront, veCutOff);
        const ValveEvent& b = Event(r, endRear, veCutOff);
        if (!f.occurs || !b.occurs) continue;
        const LD d = std::fabs((static_cast<LD>(f.percent) + b.percent) / 2 - kWorkingCutOff);
        if (d < bestDistance) {
            bestDistance = d;
            best = &r;
        }
    }
    return best;
}

CheckLine Line(CheckRule rule, CheckDirection direction, const CheckLimits& limits)
{
    CheckLine l;
    l.rule = rule;
    l.direction = direction;
    l.limit = limits[static_cast<size_t>(rule)];
    return l;
}

void Judge(CheckLine& l, LD value, const std::string& where)
{
    l.measured = std::isfinite(value);
    l.value = ToModelFloat(value);
    l.where = where;
    l.pass = l.measured && (CheckRuleIsLeast(l.rule) ? l.value >= l.limit : l.value <= l.limit);
}

CheckLine Assembles(const std::vector<ValveEventsRow>& table, Running running, const CheckLimits& limits)
{
    CheckLine l = Line(CheckRule::Assembles, static_cast<CheckDirection>(running), limits);
    int clamped = 0;
    std::string first;
    for (const ValveEventsRow& r : table)
        if (r.events.running == running && r.events.clamped && clamped++ == 0) first = RowName(r);
    Judge(l, clamped, clamped ? first : "");
    l.pass = clamped == 0;
    return l;
}

CheckLine EqualLeads(const std::vector<ValveEventsRow>& table, const CheckLimits& limits)
{
    CheckLine l = Line(CheckRule::EqualLeads, CheckDirection::Both, limits);
    const ValveEventsRow* mid = FindRow(table, Running::Forward, 0);
    LD d = 0;
    if (mid && LeadDifference(mid->events, d)) Judge(l, std::fabs(d), "mid gear");
    return l;
}

CheckLine EqualCutOff(const std::vector<ValveEventsRow>& table, Running running, const CheckLimits& limits)
{
    const bool forward = running == Running::Forward;
    CheckLine l = Line(forward ? CheckRule::EqualCutOffForward : CheckRule::EqualCutOffReverse,
                       static_cast<CheckDirection>(running), limits);
    LD worst = -1;
    std::string where;
    for (const ValveEventsRow& r : table) {
        if (r.events.running != running) continue;
        const ValveEvent& f = Event(r, endFront, veCutOff);
        const ValveEvent& b = Event(r, endRear, veCutOff);
        if (!f.occurs || !b.occurs) continue;
        const LD d = std::fabs(static_cast<LD>(f.percent) - b.percent);
        if (d > worst) {
            worst = d;
            where = RowName(r);
        }
    }
    if (worst >= 0) Judge(l, worst, where);
    return l;
}

CheckLine FullGear(const std::vector<ValveEventsRow>& table, Running running, const CheckLimits& limits)
{
    CheckLine l = Line(CheckRule::FullGearCutOff, static_cast<CheckDirection>(running), limits);
    const ValveEventsRow* r = FindRow(table, running, kFullGearNotch);
    if (!r) return l;
    LD least = std::numeric_limits<LD>::infinity();
    std::string where = RowName(*r);
    for (int end : {endFront, endRear}) {
        const ValveEvent& c = Event(*r, end, veCutOff);
        if (!c.occurs) {
            l.where = where + " " + EndName(end);
            return l; // a cut-off that never happens: no value
        }
        if (c.percent < least) {
            least = c.percent;
            l.where = where + " " + EndName(end);
        }
    }
    Judge(l, least, l.where);
    return l;
}

CheckLine PortOpening(const Gear& design, const ValveEventsRow* work, const CheckLimits& limits)
{
    CheckLine l = Line(CheckRule::PortOpening, CheckDirection::Forward, limits);
    if (!work) return l;
    const LD widths[2] = {design.Cyl(ciSteamPortWidthFront), design.Cyl(ciSteamPortWidthRear)};
    const LD opens[2] = {work->events.maxSteamOpenFront, work->events.maxSteamOpenRear};
    LD least = std::numeric_limits<LD>::infinity();
    for (int end : {endFront, endRear}) {
        if (!(widths[end] > 0)) {
            l.where = RowName(*work) + " " + EndName(end);
            return l;
        }
        const LD share = opens[end] / widths[end] * 100;
        if (share < least) {
            least = share;
            l.where = RowName(*work) + " " + EndName(end) + ": " + DecimalText(opens[end], 4) + " of " +
                      DecimalText(widths[end], 4) + " " + LengthUnitText(design.Unit);
        }
    }
    Judge(l, least, l.where);
    return l;
}

// Release (the earliest) or compression (the farthest from dead centre) at the
// working row.
CheckLine WorkingEvent(const ValveEventsRow* work, CheckRule rule, const CheckLimits& limits)
{
    CheckLine l = Line(rule, CheckDirection::Forward, limits);
    if (!work) return l;
    const bool release = rule == CheckRule::Release;
    const ValveEventKind kind = release ? veRelease : veCompression;
    LD worst = 0;
    bool any = false;
    for (int end : {endFront, endRear}) {
        const ValveEvent& e = Event(*work, end, kind);
        if (!e.occurs) {
            l.where = RowName(*work) + " " + EndName(end);
            return l;
        }
        if (!any || (release ? e.percent < worst : e.percent > worst)) {
            worst = e.percent;
            l.where = RowName(*work) + " " + EndName(end);
        }
        any = true;
    }
    Judge(l, worst, l.where);
    return l;
}

// The engine rules on the measured point; the three lines fail unmeasured
// when it could not be run.
void EngineRules(const EngineCheckPoint& engine, const CheckLimits& limits, std::vector<CheckLine>& lines)
{
    CheckLine peak = Line(CheckRule::CompressionPeak, CheckDirection::Forward, limits);
    CheckLine ratio = Line(CheckRule::CutOffPressure, CheckDirection::Forward, limits);
    CheckLine balance = Line(CheckRule::MepBalance, CheckDirection::Forward, limits);
    peak.where = ratio.where = balance.where = engine.where;
    const PointResult& p = engine.point;
    if (p.ok && engine.chest > 0) {
        Judge(peak, p.compressionPeak / engine.chest * 100, engine.where);
        Judge(ratio, static_cast<LD>(p.cutOffPressureRatio) * 100, engine.where);
        if (p.mep > 0) Judge(balance, std::fabs(static_cast<LD>(p.mepFront) - p.mepRear) / p.mep * 100, engine.where);
    }
    lines.push_back(peak);
    lines.push_back(ratio);
    lines.push_back(balance);
}

} // namespace

double CheckTopSpeedRpm(const Gear& design)
{
    const EngineSetup engine = MakeEngineSetup(design, EngineDataOf(design));
    if (!(engine.stroke > 0)) return 0;
    return kTopPistonSpeed * 60 / (2 * engine.stroke);
}

EngineCheckPoint MeasureEngineCheck(const Gear& design, const std::vector<ValveEventsRow>& table, double topRpm)
{
    EngineCheckPoint e;
    e.wanted = design.HasEngine;
    const ValveEventsRow* work = WorkingRow(table);
    if (!e.wanted || !work) return e;
    if (!(topRpm > 0)) topRpm = CheckTopSpeedRpm(design);
    if (!(topRpm > 0)) return e;
    e.where = RowName(*work) + " at " + DecimalText(topRpm, 0) + " rpm";
    const EngineSetup engine = MakeEngineSetup(design, EngineDataOf(design));
    e.chest = engine.chest.p;
    e.point = RunEnginePoint(SolveEngineTurn(design, work->notch, Running::Forward), engine, topRpm);
    return e;
}

std::string NotchRowText(Running running, int notch)
{
    const std::string way = running == Running::Forward ? "forward" : "reverse";
    if (notch == kNormalNotch) return way + " normal notch";
    return way + " notch " + std::to_string(notch);
}

CheckLimits DefaultCheckLimits()
{
    CheckLimits limits{};
    for (const RuleInfo& r : kRules) limits[static_cast<size_t>(r.rule)] = r.defaultLimit;
    return limits;
}

bool LeadDifference(const NotchEvents& midGear, long double& percentOfTravel)
{
    const LD travel = midGear.valveTravel;
    const LD d = (static_cast<LD>(midGear.leadFront) - midGear.leadRear) / travel * 100;
    if (!(travel > 0) || !std::isfinite(d)) return false;
    percentOfTravel = d;
    return true;
}

bool DesignCheckResult::Passed() const
{
    for (const CheckLine& l : lines)
        if (!l.pass) return false;
    return !lines.empty();
}

DesignCheckResult CheckDesign(const Gear& design, const std::vector<ValveEventsRow>& table, const CheckLimits& limits,
                              double topRpm)
{
    return CheckDesign(design, table, limits, MeasureEngineCheck(design, table, topRpm));
}

DesignCheckResult CheckDesign(const Gear& design, const std::vector<ValveEventsRow>& table, const CheckLimits& limits,
                              const EngineCheckPoint& engine)
{
    DesignCheckResult r;
    const ValveEventsRow* work = WorkingRow(table);
    r.lines.push_back(Assembles(table, Running::Forward, limits));
    r.lines.push_back(Assembles(table, Running::Reverse, limits));
    r.lines.push_back(EqualLeads(table, limits));
    r.lines.push_back(EqualCutOff(table, Running::Forward, limits));
    r.lines.push_back(EqualCutOff(table, Running::Reverse, limits));
    r.lines.push_back(FullGear(table, Running::Forward, limits));
    r.lines.push_back(FullGear(table, Running::Reverse, limits));
    r.lines.push_back(PortOpening(design, work, limits));
    r.lines.push_back(WorkingEvent(work, CheckRule::Release, limits));
    r.lines.push_back(WorkingEvent(work, CheckRule::Compression, limits));
    if (engine.wanted) EngineRules(engine, limits, r.lines);
    return r;
}

DesignCheckResult CheckDesign(const Gear& design, const CheckLimits& limits, double topRpm)
{
    return CheckDesign(design, BuildValveEventsTable(design), limits, topRpm);
}

std::string CheckRuleWord(CheckRule r) { return Info(r).word; }
std::string CheckRuleCaption(CheckRule r) { return Info(r).caption; }
std::string CheckRuleUnit(CheckRule r) { return Info(r).unit; }
bool CheckRuleIsLeast(CheckRule r) { return Info(r).least; }
std::string CheckRuleLimitLabel(CheckRule r) { return Info(r).limitLabel; }

std::string CheckDirectionWord(CheckDirection d)
{
    switch (d) {
    case CheckDirection::Forward: return "forward";
    case CheckDirection::Reverse: return "reverse";
    case CheckDirection::Both: break;
    }
    return "both";
}

std::string CheckValueText(const CheckLine& line)
{
    if (!line.measured) return "";
    return DecimalText(line.value, line.rule == CheckRule::Assembles ? 0 : kCheckDecimals);
}

std::string CheckLimitText(const CheckLine& line)
{
    return DecimalText(line.limit, line.rule == CheckRule::Assembles ? 0 : kCheckDecimals);
}

std::vector<std::vector<std::string>> CheckCsvRows(const DesignCheckResult& r)
{
    std::vector<std::vector<std::string>> rows{{"Rule", "Direction", "Value", "Limit", "Result"}};
    for (const CheckLine& l : r.lines)
        rows.push_back({CheckRuleWord(l.rule), CheckDirectionWord(l.direction), CheckValueText(l), CheckLimitText(l),
                        l.pass ? "PASS" : "FAIL"});
    return rows;
}

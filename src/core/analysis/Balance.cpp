#include "analysis/Balance.h"

#include "model/NumberText.h"

#include "model/DesignEdit.h"
#include "model/DynVars.h"
#include "model/Model.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>

using LD = long double;

namespace {

// A search ends early when every difference is this fraction of its
// tolerance, so that the value found meets the target with a wide margin.
constexpr LD kTightFraction = 0.01L;

// A least of CutOffBoth this fraction of the range from an end (or nearer)
// lies at that end: the search cannot tell it from a least beyond the end.
constexpr LD kEndFraction = 0.001L;

// Bisection steps towards the edge where the gear stops being buildable; a
// scan interval narrows to adjacent floats well within them.
constexpr int kEdgeSteps = 64;

struct StopSearch {};

// One trial: the values tried, the values as the trial design stores them,
// each goal's target measured.
struct Point {
    std::vector<float> raw;
    std::vector<float> stored;
    std::vector<TargetEvents> targets;
    bool feasible = false;
};

float CutOffDifference(const NotchEvents& e, bool& missing)
{
    const ValveEvent& front = e.event[endFront][veCutOff];
    const ValveEvent& rear = e.event[endRear][veCutOff];
    if (!front.occurs || !rear.occurs) {
        missing = true;
        return 0;
    }
    return ToModelFloat(static_cast<LD>(front.percent) - rear.percent);
}

class Search {
public:
    Search(const Gear& design, const std::vector<BalanceGoal>& goals, BalanceControl* control)
        : design_(design), goals_(goals), control_(control)
    {}

    Point Evaluate(const std::vector<float>& raw)
    {
        if (control_ && control_->stop.load()) throw StopSearch{};
        ++trials_;
        std::vector<DimensionValue> values;
        for (size_t i = 0; i < goals_.size(); ++i) values.push_back({goals_[i].code, raw[i]});
        bool clamped = false;
        const Gear trial = TrialDesign(design_, values, &clamped);
        Point p;
        p.raw = raw;
        p.feasible = !clamped;
        for (const BalanceGoal& g : goals_) {
            p.stored.push_back(GetDimension(trial, g.code));
            TargetEvents t = MeasureTarget(trial, g.target);
            t.clamped = t.clamped || clamped;
            if (t.clamped) clampsMet_ = true;
            p.feasible = p.feasible && t.Feasible();
            p.targets.push_back(t);
        }
        return p;
    }

    // Two dimensions at once: no trial after the budget is spent.
    bool Spent() const { return trials_ >= kBalanceTrialBudget; }

    void Progress(LD fraction)
    {
        if (control_) control_->progress.store(static_cast<int>(std::clamp(fraction, 0.0L, 1.0L) * 1000));
    }

    // The differences of a point, each divided by its tolerance.
    std::vector<LD> Scaled(const Point& p) const
    {
        std::vector<LD> r;
        for (const TargetEvents& t : p.targets)
            for (int d = 0; d < t.differences; ++d)
                r.push_back(static_cast<LD>(t.difference[static_cast<size_t>(d)]) / TargetTolerance(t.target));
        return r;
    }

    LD Cost(const Point& p) const
    {
        if (!p.feasible) return std::numeric_limits<LD>::infinity();
        LD c = 0;
        for (LD r : Scaled(p)) c += r * r;
        return c;
    }

    bool Tight(const Point& p) const
    {
        if (!p.feasible) return false;
        for (LD r : Scaled(p))
            if (std::fabs(r) > kTightFraction) return false;
        return true;
    }

    bool AllMet(const Point& p) const
    {
        if (!p.feasible) return false;
        for (const TargetEvents& t : p.targets)
            if (!t.Met()) return false;
        return true;
    }

    const Gear& design_;
    const std::vector<BalanceGoal>& goals_;
    BalanceControl* control_;
    int trials_ = 0;
    bool clampsMet_ = false;
};

// ---------------------------------------------------------------- one dimension
LD Diff(const Point& p) { return p.targets[0].difference[0]; }

// The value of a fraction of the range, as a float; the ends exactly.
float RangeValue(const BalanceGoal& g, LD fraction)
{
    if (fraction <= 0) return g.lo;
    if (fraction >= 1) return g.hi;
    return ToModelFloat(static_cast<LD>(g.lo) + (static_cast<LD>(g.hi) - g.lo) * fraction);
}

// Refines a change of sign between two feasible points: false position with
// the Illinois weighting, bisection when the bracket shrinks slowly, on float
// values down to adjacent floats. An infeasible trial is stepped over by
// trying the middle and the quarters of the bracket instead; when they all
// are infeasible the refinement ends. Returns the point nearest to a root.
Point RefineRoot(Search& s, Point a, Point b)
{
    LD fa = Diff(a), fb = Diff(b);
    const bool negativeAtA = fa < 0;
    Point best = std::fabs(fa) <= std::fabs(fb) ? a : b;
    const LD tight = kTightFraction * TargetTolerance(s.goals_[0].target);
    int side = 0, slow = 0;
    LD width = static_cast<LD>(b.raw[0]) - a.raw[0];
    for (int it = 0; it < 100 && std::fabs(Diff(best)) > tight; ++it) {
        const LD va = a.raw[0], vb = b.raw[0];
        const LD mid = (va + vb) / 2;
        const bool bisect = slow >= 2 || fa == fb;
        LD x = bisect ? mid : (va * fb - vb * fa) / (fb - fa);
        float xf = ToModelFloat(x);
        if (!(xf > a.raw[0] && xf < b.raw[0])) xf = ToModelFloat(mid);
        if (!(xf > a.raw[0] && xf < b.raw[0])) break; // adjacent floats
        Point p = s.Evaluate({xf});
        for (LD frac : {0.5L, 0.25L, 0.75L}) {
            if (p.feasible) break;
            const float y = ToModelFloat(va + (vb - va) * frac);
            if (y > a.raw[0] && y < b.raw[0] && y != p.raw[0]) p = s.Evaluate({y});
        }
        if (!p.feasible) break;
        const LD fp = Diff(p);
        if (std::fabs(fp) < std::fabs(Diff(best))) best = p;
        if (fp == 0) break;
        if ((fp < 0) == negativeAtA) {
            a = p;
            fa = fp;
            if (side == -1) fb /= 2;
            side = -1;
        } else {
            b = p;
            fb = fp;
            if (side == 1) fa /= 2;
            side = 1;
        }
        const LD w = static_cast<LD>(b.raw[0]) - a.raw[0];
        // After a bisection, interpolation again.
        slow = !bisect && w > 0.7L * width ? slow + 1 : 0;
        width = w;
        s.Progress(0.6L + 0.4L * std::min(1.0L, it / 40.0L));
    }
    return best;
}

// Golden-section search of the least cost between two values; infeasible
// trials count as infinitely bad. Returns the best point.
Point RefineLeast(Search& s, Point best, float lo, float hi)
{
    const LD r = 0.6180339887498948482L;
    LD a = lo, b = hi;
    auto eval = [&](LD v) {
        Point p = s.Evaluate({ToModelFloat(v)});
        if (s.Cost(p) < s.Cost(best)) best = p;
        return s.Cost(p);
    };
    LD c = b - r * (b - a), d = a + r * (b - a);
    LD fc = eval(c), fd = eval(d);
    for (int it = 0; it < 80; ++it) {
        if (ToModelFloat(c) == ToModelFloat(d) || s.Tight(best)) break;
        if (fc <= fd) {
            b = d;
            d = c;
            fd = fc;
            c = b - r * (b - a);
            fc = eval(c);
        } else {
            a = c;
            c = d;
            fc = fd;
            d = a + r * (b - a);
            fd = eval(d);
        }
        s.Progress(0.6L + 0.4L * std::min(1.0L, it / 40.0L));
    }
    return best;
}

bool Negative(const Point& p) { return Diff(p) < 0; }

// A scan interval with one end where the gear can be built and measured and
// one where it cannot: bisection towards the edge between them, keeping a
// buildable end, until the difference changes sign (then the change is
// refined as any other), the difference meets the target, or the two ends
// are adjacent floats. True with the point when the target is met.
bool RootNearEdge(Search& s, Point feasible, Point infeasible, Point& found)
{
    for (int it = 0; it < kEdgeSteps; ++it) {
        if (feasible.targets[0].Met()) return found = feasible, true;
        const float a = feasible.raw[0], b = infeasible.raw[0];
        const float mid = ToModelFloat((static_cast<LD>(a) + b) / 2);
        if (mid == a || mid == b) return false; // adjacent floats: the edge, and no change of sign
        Point p = s.Evaluate({mid});
        if (!p.feasible) {
            infeasible = p;
        } else if (Diff(p) == 0 || Negative(p) != Negative(feasible)) {
            found = a < mid ? RefineRoot(s, feasible, p) : RefineRoot(s, p, feasible);
            return found.targets[0].Met();
        } else {
            feasible = p;
        }
    }
    return false;
}

void OneDimension(Search& s, BalanceResult& out)
{
    const BalanceGoal& goal = s.goals_[0];
    std::vector<Point> scan;
    for (int k = 0; k <= kBalanceScanSteps; ++k) {
        scan.push_back(s.Evaluate({RangeValue(goal, static_cast<LD>(k) / kBalanceScanSteps)}));
        s.Progress(0.6L * k / kBalanceScanSteps);
    }
    out.lo = scan.front().stored[0];
    out.hi = scan.back().stored[0];
    out.atLo = scan.front().targets[0];
    out.atHi = scan.back().targets[0];
    out.outcome = BalanceOutcome::NoSolution;

    std::vector<size_t> feasible;
    for (size_t k = 0; k < scan.size(); ++k)
        if (scan[k].feasible) feasible.push_back(k);
    if (feasible.empty()) return;
    // No effect: no difference moves by more than a hundredth of its
    // tolerance over the range.
    bool constant = feasible.size() > 1;
    const LD still = kTightFraction * TargetTolerance(goal.target);
    for (size_t d = 0; d < 2; ++d) {
        LD lo = INFINITY, hi = -INFINITY;
        for (size_t k : feasible) {
            lo = std::min<LD>(lo, scan[k].targets[0].difference[d]);
            hi = std::max<LD>(hi, scan[k].targets[0].difference[d]);
        }
        constant = constant && hi - lo <= still;
    }
    if (constant) {
        out.outcome = BalanceOutcome::NoEffect;
        return;
    }

    Point found;
    bool ok = false;
    if (goal.target == BalanceTarget::CutOffBoth) {
        size_t best = feasible[0];
        for (size_t k : feasible)
            if (s.Cost(scan[k]) < s.Cost(scan[best])) best = k;
        const size_t lo = best > 0 ? best - 1 : best;
        const size_t hi = best + 1 < scan.size() ? best + 1 : best;
        found = RefineLeast(s, scan[best], scan[lo].raw[0], scan[hi].raw[0]);
        // A least at an end of the range lies beyond it: no solution.
        const LD v = found.raw[0], margin = kEndFraction * (static_cast<LD>(goal.hi) - goal.lo);
        const bool atLo = v - goal.lo <= margin, atHi = goal.hi - v <= margin;
        ok = !atLo && !atHi;
        out.leastAtEnd = !ok;
        if (!ok) out.leastAt = atLo ? out.lo : out.hi;
    } else {
        // Changes of sign, and intervals with one end where the gear cannot be
        // built (a root may lie between the other end and the edge), the
        // nearest to the current value first.
        const LD current = GetDimension(s.design_, goal.code);
        std::vector<std::pair<LD, size_t>> brackets;
        for (size_t k = 0; k + 1 < scan.size(); ++k) {
            const Point &a = scan[k], &b = scan[k + 1];
            if (!a.feasible && !b.feasible) continue;
            if (a.feasible && b.feasible && Diff(a) != 0 && Diff(b) != 0 && Negative(a) == Negative(b)) continue;
            const LD va = a.raw[0], vb = b.raw[0];
            const LD distance = current < va ? va - current : (current > vb ? current - vb : 0);
            brackets.push_back({distance, k});
        }
        std::stable_sort(brackets.begin(), brackets.end(),
                         [](const auto& x, const auto& y) { return x.first < y.first; });
        for (const auto& [distance, k] : brackets) {
            const Point &a = scan[k], &b = scan[k + 1];
            Point p;
            if (a.feasible && b.feasible) {
                p = RefineRoot(s, a, b);
                ok = p.targets[0].Met();
            } else {
                ok = RootNearEdge(s, a.feasible ? a : b, a.feasible ? b : a, p);
            }
            if (ok) {
                found = p;
                break;
            }
        }
        // A difference that comes within the tolerance without changing sign.
        for (size_t k : feasible)
            if (!ok && scan[k].targets[0].Met()) {
                found = scan[k];
                ok = true;
            }
    }
    if (!ok) return;
    out.outcome = BalanceOutcome::Found;
    out.values = {{goal.code, found.stored[0]}};
    out.after = found.targets;
}

// ---------------------------------------------------------------- two dimensions
// Levenberg-Marquardt within the ranges, in the range fractions u (0..1) of
// each dimension. Returns the best point reached.
Point Descend(Search& s, Point x)
{
    const size_t n = s.goals_.size();
    auto valueAt = [&](size_t j, LD u) {
        const BalanceGoal& g = s.goals_[j];
        return RangeValue(g, u);
    };
    auto fraction = [&](size_t j, float v) {
        const BalanceGoal& g = s.goals_[j];
        return (static_cast<LD>(v) - g.lo) / (static_cast<LD>(g.hi) - g.lo);
    };
    LD lambda = 1e-3L;
    while (x.feasible && !s.Tight(x) && !s.Spent()) {
        const std::vector<LD> r = s.Scaled(x);
        const size_t m = r.size();
        // Forward differences (backward at the upper end or where forward
        // cannot be assembled).
        std::vector<std::vector<LD>> J(m, std::vector<LD>(n, 0));
        for (size_t j = 0; j < n; ++j) {
            const LD u = fraction(j, x.raw[j]);
            for (LD h : {1e-3L, -1e-3L}) {
                if (s.Spent()) return x;
                if (u + h > 1 || u + h < 0) continue;
                std::vector<float> y = x.raw;
                y[j] = valueAt(j, u + h);
                if (y[j] == x.raw[j]) continue;
                const Point p = s.Evaluate(y);
                if (!p.feasible) continue;
                const std::vector<LD> rp = s.Scaled(p);
                const LD du = fraction(j, y[j]) - u;
                for (size_t i = 0; i < m; ++i) J[i][j] = (rp[i] - r[i]) / du;
                break;
            }
        }
        // (JtJ + lambda diag(JtJ)) step = -Jt r, for two unknowns.
        LD A[2][2] = {{0, 0}, {0, 0}}, g[2] = {0, 0};
        for (size_t i = 0; i < m; ++i)
            for (size_t j = 0; j < n; ++j) {
                g[j] += J[i][j] * r[i];
                for (size_t k = 0; k < n; ++k) A[j][k] += J[i][j] * J[i][k];
            }
        bool accepted = false;
        while (!accepted && lambda < 1e12L && !s.Spent()) {
            LD M[2][2] = {{A[0][0] * (1 + lambda) + 1e-12L, A[0][1]}, {A[1][0], A[1][1] * (1 + lambda) + 1e-12L}};
            const LD det = M[0][0] * M[1][1] - M[0][1] * M[1][0];
            if (det == 0 || !std::isfinite(det)) break;
            const LD step[2] = {-(M[1][1] * g[0] - M[0][1] * g[1]) / det, -(M[0][0] * g[1] - M[1][0] * g[0]) / det};
            std::vector<float> y = x.raw;
            for (size_t j = 0; j < n; ++j) y[j] = valueAt(j, std::clamp(fraction(j, x.raw[j]) + step[j], 0.0L, 1.0L));
            if (y == x.raw) break; // no step left at float resolution
            const Point p = s.Evaluate(y);
            if (s.Cost(p) < s.Cost(x)) {
                x = p;
                lambda = std::max(lambda / 5, 1e-9L);
                accepted = true;
            } else {
                lambda *= 8;
            }
        }
        s.Progress(static_cast<LD>(s.trials_) / kBalanceTrialBudget);
        if (!accepted) break;
    }
    return x;
}

void TwoDimensions(Search& s, BalanceResult& out)
{
    const size_t n = s.goals_.size();
    std::vector<float> start(n);
    for (size_t j = 0; j < n; ++j) {
        const BalanceGoal& g = s.goals_[j];
        const float v = GetDimension(s.design_, g.code);
        start[j] = v >= g.lo && v <= g.hi ? v : RangeValue(g, 0.5L);
    }
    Point best = s.Evaluate(start);
    best = Descend(s, best);
    if (!s.AllMet(best)) {
        // A coarse grid, then the descent from its best points.
        constexpr int kGrid = 5;
        std::vector<Point> grid;
        for (int a = 0; a < kGrid; ++a)
            for (int b = 0; b < kGrid && !s.Spent(); ++b) {
                Point p = s.Evaluate(
                    {RangeValue(s.goals_[0], (a + 0.5L) / kGrid), RangeValue(s.goals_[1], (b + 0.5L) / kGrid)});
                if (p.feasible) grid.push_back(p);
            }
        std::stable_sort(grid.begin(), grid.end(),
                         [&](const Point& x, const Point& y) { return s.Cost(x) < s.Cost(y); });
        for (size_t k = 0; k < grid.size() && k < 3 && !s.Tight(best) && !s.Spent(); ++k) {
            const Point p = Descend(s, grid[k]);
            if (s.Cost(p) < s.Cost(best)) best = p;
        }
    }
    if (!best.feasible) {
        out.outcome = BalanceOutcome::NoSolution;
        return;
    }
    out.outcome = s.AllMet(best) ? BalanceOutcome::Found : BalanceOutcome::NotMet;
    for (size_t j = 0; j < n; ++j) out.values.push_back({s.goals_[j].code, best.stored[j]});
    out.after = best.targets;
}

} // namespace

// ---------------------------------------------------------------- targets
std::string TargetWord(BalanceTarget t)
{
    switch (t) {
    case BalanceTarget::Lead: return "lead";
    case BalanceTarget::CutOffForward: return "cutoff-fwd";
    case BalanceTarget::CutOffReverse: return "cutoff-rev";
    case BalanceTarget::CutOffBoth: return "cutoff-both";
    }
    return "";
}

bool TargetFromWord(const std::string& word, BalanceTarget& t)
{
    for (int k = 0; k < kBalanceTargets; ++k)
        if (TargetWord(static_cast<BalanceTarget>(k)) == word) {
            t = static_cast<BalanceTarget>(k);
            return true;
        }
    return false;
}

float TargetTolerance(BalanceTarget t) { return t == BalanceTarget::Lead ? kLeadTolerance : kCutOffTolerance; }

bool TargetEvents::Met() const
{
    if (!Feasible() || differences == 0) return false;
    for (int d = 0; d < differences; ++d)
        if (!(std::fabs(difference[static_cast<size_t>(d)]) <= TargetTolerance(target))) return false;
    return true;
}

TargetEvents MeasureTarget(const Gear& design, BalanceTarget target)
{
    TargetEvents t;
    t.target = target;
    if (target == BalanceTarget::Lead) {
        t.notch[0] = MidGearLeads(design);
        t.differences = 1;
        t.difference[0] = ToModelFloat(static_cast<LD>(t.notch[0].leadFront) - t.notch[0].leadRear);
        t.clamped = t.notch[0].clamped;
        return t;
    }
    for (Running running : {Running::Forward, Running::Reverse}) {
        const bool forward = running == Running::Forward;
        if (forward && target == BalanceTarget::CutOffReverse) continue;
        if (!forward && target == BalanceTarget::CutOffForward) continue;
        NotchEvents& e = t.notch[forward ? 0 : 1];
        e = MeasureNotch(design, NormalNotchPosition(design, running), running, nmCutOffs);
        t.difference[static_cast<size_t>(t.differences++)] = CutOffDifference(e, t.missing);
        t.clamped = t.clamped || e.clamped;
    }
    return t;
}

Gear TrialDesign(const Gear& design, const std::vector<DimensionValue>& values, bool* clamped)
{
    Gear g = design;
    for (const DimensionValue& v : values) StoreDimensionValue(g, v.code, v.value);
    // As the dialogs' Close: a design whose dimensions stay as they were
    // keeps its mid gear (bit for bit, as the Close compares them).
    const std::vector<float> was = DimensionValues(design), now = DimensionValues(g);
    if (std::memcmp(was.data(), now.data(), was.size() * sizeof(float)) == 0) {
        if (clamped) *clamped = false;
        return g;
    }
    // The re-centring solves the linkage once: note whether it clamped.
    const bool beep = g.ErrorBeepOn;
    g.ErrorBeepOn = true;
    g.SolveError = false;
    RecomputeRevArmCentre(g);
    if (clamped) *clamped = g.SolveError;
    g.SolveError = beep && g.SolveError;
    g.ErrorBeepOn = beep;
    return g;
}

void DefaultBalanceRange(const Gear& design, int code, float& lo, float& hi)
{
    const LD v = GetDimension(design, code);
    const LD d = v == 0 ? 1.0L : std::fabs(v) / 10;
    lo = ToModelFloat(v - d);
    hi = ToModelFloat(v + d);
}

std::string CheckBalanceGoals(const std::vector<BalanceGoal>& goals)
{
    if (goals.empty() || goals.size() > 2) return "Choose one or two targets.";
    for (const BalanceGoal& g : goals) {
        if (DimensionName(g.code).empty()) return "Choose a dimension to adjust.";
        if (!std::isfinite(g.lo) || !std::isfinite(g.hi) || !(g.lo < g.hi))
            return "The range of " + DimensionName(g.code) + " must run from a lower to a higher value.";
    }
    if (goals.size() == 2 && goals[0].code == goals[1].code) return "Choose two different dimensions.";
    if (goals.size() == 2 && goals[0].target == goals[1].target) return "Choose two different targets.";
    return "";
}

BalanceResult BalanceEvents(const Gear& design, const std::vector<BalanceGoal>& goals, BalanceControl* control)
{
    BalanceResult out;
    out.error = CheckBalanceGoals(goals);
    if (!out.error.empty()) return out;
    // Measured with the mid gear the design holds, as the valve events table is.
    for (const BalanceGoal& g : goals) out.before.push_back(MeasureTarget(design, g.target));
    Search s(design, goals, control);
    try {
        if (goals.size() == 1)
            OneDimension(s, out);
        else
            TwoDimensions(s, out);
    } catch (const StopSearch&) {
        out.outcome = BalanceOutcome::Stopped;
        out.values.clear();
        out.after.clear();
    }
    out.clampsMet = s.clampsMet_;
    out.trials = s.trials_;
    s.Progress(1);
    return out;
}

bool ApplyBalance(AppState& s, const std::vector<DimensionValue>& values)
{
    // As the dimension dialogs: opened, each value typed into its field and
    // left, closed (which marks the records to take the re-centring back).
    const DimensionDialogOpening opened = OpenDimensionDialogModel(s);
    bool changed = false;
    for (const DimensionValue& v : values) {
        if (GetDimension(s.gear, v.code) == v.value) continue;
        NoteDimensionTyped(s, v.code);
        CommitDimensionValue(s, v.code, v.value);
        changed = true;
    }
    if (changed) CloseDimensionDialogModel(s, opened);
    return changed;
}

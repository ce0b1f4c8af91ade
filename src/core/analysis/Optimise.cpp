#include "analysis/Optimise.h"

#include "analysis/DesignCheck.h"
#include "analysis/SteamEngine.h"
#include "analysis/ThreadPool.h"
#include "model/DesignEdit.h"
#include "model/EngineData.h"
#include "model/Model.h"
#include "model/NumberText.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <functional>
#include <limits>
#include <utility>

using LD = long double;

namespace {

// Independent pieces of work (trials, notches), each writing only its own
// slot, spread over the shared pool: on two cores the calling thread and the
// pool's worker each take the next trial of a batch (a trial's own notches
// then run on its thread); a single trial spreads its notches instead.
void ForEachIndependent(size_t count, const std::function<void(size_t)>& fn)
{
    ThreadPool::Shared().ParallelFor(count, fn);
}

constexpr int kFullGearNotch = kGraphNotches - 1;
// Iterations of one descent, and the damping rounds of one iteration.
constexpr int kDescentIterations = 100;
constexpr int kDampingRounds = 5;
// Forward-difference step, as a fraction of the bounds.
constexpr LD kDifferenceStep = 1e-3L;
// A descent ends when an iteration gains less than this share of the objective.
constexpr LD kRelativeGain = 1e-7L;
// The coarse scan: points along one dimension, or a side of the grid of two.
constexpr int kScanOne = 21, kScanTwo = 7;

struct StopSearch {};

bool IsCutOffTarget(DesignTarget t) { return t != DesignTarget::Lead && !IsEngineTarget(t); }
bool ForwardTarget(DesignTarget t)
{
    return t == DesignTarget::CutOffForward || t == DesignTarget::CutOffForwardAll ||
           t == DesignTarget::FullGearForward || (IsEngineTarget(t) && t != DesignTarget::MepBalanceReverseAll);
}
bool MepBalanceAllTarget(DesignTarget t)
{
    return t == DesignTarget::MepBalanceForwardAll || t == DesignTarget::MepBalanceReverseAll;
}

// The rows a target measures, in the order of the rows measured.
std::vector<int> TargetNotches(DesignTarget t)
{
    switch (t) {
    case DesignTarget::CutOffForward:
    case DesignTarget::CutOffReverse: return {kNormalNotch};
    case DesignTarget::CutOffForwardAll:
    case DesignTarget::CutOffReverseAll:
    case DesignTarget::MepBalanceForwardAll:
    case DesignTarget::MepBalanceReverseAll: {
        std::vector<int> all;
        for (int i = 0; i < kGraphNotches; ++i) all.push_back(i);
        all.push_back(kNormalNotch);
        return all;
    }
    case DesignTarget::FullGearForward:
    case DesignTarget::FullGearReverse: return {kFullGearNotch};
    case DesignTarget::MepBalance:
    case DesignTarget::Power:
    case DesignTarget::SteamRate: return {kNormalNotch};
    case DesignTarget::Lead: break;
    }
    return {};
}

struct Row {
    Running running;
    int notch;
};

// Every row the goals' targets measure, each once: forward, then reverse;
// notches 0..18, then the normal notch; last, mid gear for the leads.
std::vector<Row> MeasuredRows(const OptimiseGoals& goals)
{
    std::vector<Row> rows;
    bool lead = false;
    for (const WeightedTarget& w : goals.targets) lead = lead || w.target == DesignTarget::Lead;
    for (Running running : {Running::Forward, Running::Reverse}) {
        std::vector<bool> want(kGraphNotches + 1, false);
        for (const WeightedTarget& w : goals.targets) {
            if (!IsCutOffTarget(w.target) || ForwardTarget(w.target) != (running == Running::Forward)) continue;
            for (int n : TargetNotches(w.target)) want[n == kNormalNotch ? kGraphNotches : n] = true;
        }
        for (int i = 0; i <= kGraphNotches; ++i)
            if (want[static_cast<size_t>(i)]) rows.push_back({running, i == kGraphNotches ? kNormalNotch : i});
    }
    if (lead) rows.push_back({Running::Forward, kMidGearRow});
    return rows;
}

size_t RowIndex(const std::vector<Row>& rows, Running running, int notch)
{
    for (size_t k = 0; k < rows.size(); ++k)
        if (rows[k].running == running && rows[k].notch == notch) return k;
    return rows.size();
}

const ValveEvent& CutOff(const NotchEvents& e, int end) { return e.event[static_cast<size_t>(end)][veCutOff]; }

// The value of a fraction of the bounds, as a float; the ends exactly.
float BoundsValue(const OptimiseDimension& d, LD u)
{
    if (u <= 0) return d.lo;
    if (u >= 1) return d.hi;
    return ToModelFloat(static_cast<LD>(d.lo) + (static_cast<LD>(d.hi) - d.lo) * u);
}

LD BoundsFraction(const OptimiseDimension& d, float v)
{
    return (static_cast<LD>(v) - d.lo) / (static_cast<LD>(d.hi) - d.lo);
}

// The radical inverse of i in a prime base: the Halton sequence.
LD Halton(size_t i, unsigned base)
{
    LD f = 1, r = 0;
    while (i > 0) {
        f /= base;
        r += f * static_cast<LD>(i % base);
        i /= base;
    }
    return r;
}

// Solves A x = b (n x n) by Gaussian elimination with partial pivoting;
// false when A is singular.
bool Solve(std::vector<std::vector<LD>> A, std::vector<LD> b, std::vector<LD>& x)
{
    const size_t n = b.size();
    for (size_t c = 0; c < n; ++c) {
        size_t p = c;
        for (size_t r = c + 1; r < n; ++r)
            if (std::fabs(A[r][c]) > std::fabs(A[p][c])) p = r;
        if (!(std::fabs(A[p][c]) > 0) || !std::isfinite(A[p][c])) return false;
        std::swap(A[p], A[c]);
        std::swap(b[p], b[c]);
        for (size_t r = c + 1; r < n; ++r) {
            const LD f = A[r][c] / A[c][c];
            for (size_t k = c; k < n; ++k) A[r][k] -= f * A[c][k];
            b[r] -= f * b[c];
        }
    }
    x.assign(n, 0);
    for (size_t c = n; c-- > 0;) {
        LD s = b[c];
        for (size_t k = c + 1; k < n; ++k) s -= A[c][k] * x[k];
        x[c] = s / A[c][c];
    }
    for (LD v : x)
        if (!std::isfinite(v)) return false;
    return true;
}

struct Trial {
    std::vector<float> raw;    // the values tried
    std::vector<float> stored; // ... as the trial design stores them
    DesignMeasure measure;
    bool feasible = false;
    LD Objective() const { return feasible ? measure.objective : std::numeric_limits<LD>::infinity(); }
};

class Search {
public:
    Search(const Gear& design, const OptimiseGoals& goals, BalanceControl* control)
        : design_(design), goals_(goals), control_(control), budget_(OptimiseTrialBudget(goals.dimensions.size()))
    {}

    size_t Dimensions() const { return goals_.dimensions.size(); }
    int Trials() const { return trials_.load(); }
    bool ClampsMet() const { return clampsMet_.load(); }
    // The best feasible trial measured so far (the first of equals, in the
    // order of the batches and of the trials in a batch), if any.
    const Trial* Best() const { return best_.feasible ? &best_ : nullptr; }

    std::vector<float> ValuesAt(const std::vector<LD>& u) const
    {
        std::vector<float> v(u.size());
        for (size_t j = 0; j < u.size(); ++j) v[j] = BoundsValue(goals_.dimensions[j], std::clamp(u[j], 0.0L, 1.0L));
        return v;
    }

    LD Fraction(size_t j, float v) const { return BoundsFraction(goals_.dimensions[j], v); }

    std::vector<LD> FractionsOf(const Trial& t) const
    {
        std::vector<LD> u(t.raw.size());
        for (size_t j = 0; j < u.size(); ++j) u[j] = BoundsFraction(goals_.dimensions[j], t.raw[j]);
        return u;
    }

    // Measures the trials in a batch, each on its own copy of the design, and
    // keeps the best; stopped from outside, the trials done still count.
    std::vector<Trial> EvaluateAll(const std::vector<std::vector<float>>& raws)
    {
        std::vector<Trial> out(raws.size());
        try {
            ForEachIndependent(raws.size(), [&](size_t i) { out[i] = Evaluate(raws[i]); });
        } catch (const StopSearch&) {
            KeepBest(out);
            throw;
        }
        KeepBest(out);
        return out;
    }

    Trial EvaluateOne(const std::vector<float>& raw) { return EvaluateAll({raw})[0]; }

    // The residuals of a trial, each multiplied by the square root of its
    // weight: every target's fixed rows, so a vector of fixed length whose
    // sum of squares is the objective.
    std::vector<LD> Residuals(const Trial& t) const
    {
        std::vector<LD> r;
        for (const TargetResiduals& got : t.measure.targets) {
            const LD w = std::sqrt(static_cast<LD>(got.target.weight));
            for (const Residual& a : got.rows) r.push_back(w * a.value);
        }
        return r;
    }

private:
    Trial Evaluate(const std::vector<float>& raw)
    {
        if (control_ && control_->stop.load()) throw StopSearch{};
        std::vector<DimensionValue> values;
        for (size_t j = 0; j < raw.size(); ++j) values.push_back({goals_.dimensions[j].code, raw[j]});
        bool clamped = false;
        const Gear trial = TrialDesign(design_, values, &clamped);
        Trial t;
        t.raw = raw;
        for (const DimensionValue& v : values) t.stored.push_back(GetDimension(trial, v.code));
        t.measure = MeasureDesign(trial, goals_);
        t.measure.clamped = t.measure.clamped || clamped;
        t.feasible = t.measure.Feasible();
        if (t.measure.clamped) clampsMet_.store(true);
        const int done = ++trials_;
        if (control_) control_->progress.store(std::min(999, done * 1000 / std::max(1, budget_)));
        return t;
    }

    void KeepBest(const std::vector<Trial>& batch)
    {
        for (const Trial& t : batch)
            if (t.feasible && (!best_.feasible || t.Objective() < best_.Objective())) best_ = t;
    }

    const Gear& design_;
    const OptimiseGoals& goals_;
    BalanceControl* control_;
    int budget_;
    std::atomic<int> trials_{0};
    std::atomic<bool> clampsMet_{false};
    Trial best_;
};

// One bounded Levenberg-Marquardt descent from a feasible trial; the best
// trial reached.
Trial Descend(Search& s, Trial x, int cap)
{
    const size_t n = s.Dimensions();
    LD lambda = 1e-3L;
    for (int it = 0; it < kDescentIterations && x.feasible && x.Objective() > 0; ++it) {
        if (s.Trials() + static_cast<int>(n) + 2 > cap) break;
        const std::vector<LD> r = s.Residuals(x);
        const std::vector<LD> u = s.FractionsOf(x);
        const size_t m = r.size();
        // Forward differences; backward at the upper bound or where the
        // forward trial is infeasible.
        std::vector<std::vector<LD>> J(m, std::vector<LD>(n, 0));
        std::vector<bool> known(n, false);
        for (LD sign : {1.0L, -1.0L}) {
            std::vector<std::vector<float>> raws;
            std::vector<size_t> cols;
            for (size_t j = 0; j < n; ++j) {
                if (known[j] || u[j] + sign * kDifferenceStep > 1 || u[j] + sign * kDifferenceStep < 0) continue;
                std::vector<LD> v = u;
                v[j] += sign * kDifferenceStep;
                std::vector<float> y = s.ValuesAt(v);
                if (y[j] == x.raw[j]) continue;
                raws.push_back(std::move(y));
                cols.push_back(j);
            }
            const std::vector<Trial> ts = s.EvaluateAll(raws);
            for (size_t k = 0; k < ts.size(); ++k) {
                if (!ts[k].feasible) continue;
                const size_t j = cols[k];
                const std::vector<LD> rp = s.Residuals(ts[k]);
                const LD du = s.Fraction(j, ts[k].raw[j]) - u[j];
                for (size_t i = 0; i < m; ++i) J[i][j] = (rp[i] - r[i]) / du;
                known[j] = true;
            }
        }
        std::vector<std::vector<LD>> A(n, std::vector<LD>(n, 0));
        std::vector<LD> g(n, 0);
        for (size_t i = 0; i < m; ++i)
            for (size_t j = 0; j < n; ++j) {
                g[j] += J[i][j] * r[i];
                for (size_t k = 0; k < n; ++k) A[j][k] += J[i][j] * J[i][k];
            }
        // The dimensions free to move: known, with an effect, and not pushed
        // out of the bounds by the gradient.
        std::vector<size_t> freeDims;
        for (size_t j = 0; j < n; ++j) {
            const bool outAtLo = u[j] <= 0 && g[j] > 0, outAtHi = u[j] >= 1 && g[j] < 0;
            if (known[j] && A[j][j] > 0 && !outAtLo && !outAtHi) freeDims.push_back(j);
        }
        if (freeDims.empty()) break;
        // The step of one damping value. A dimension the step would take out
        // of its bounds is held at the bound and the step solved again for
        // the others.
        auto stepAt = [&](LD damping, std::vector<float>& y) {
            std::vector<size_t> moving = freeDims;
            std::vector<LD> v = u;
            std::vector<LD> held(n, 0); // the displacement of a dimension held at a bound
            while (!moving.empty()) {
                const size_t f = moving.size();
                std::vector<std::vector<LD>> M(f, std::vector<LD>(f, 0));
                std::vector<LD> b(f), d;
                for (size_t a = 0; a < f; ++a) {
                    const size_t ja = moving[a];
                    for (size_t c = 0; c < f; ++c) M[a][c] = A[ja][moving[c]];
                    M[a][a] += damping * A[ja][ja] + 1e-12L;
                    b[a] = -g[ja];
                    for (size_t j = 0; j < n; ++j) b[a] -= A[ja][j] * held[j];
                }
                if (!Solve(M, b, d)) return false;
                std::vector<size_t> inside;
                for (size_t a = 0; a < f; ++a) {
                    const size_t ja = moving[a];
                    const LD w = u[ja] + d[a];
                    if (w < 0 || w > 1) {
                        held[ja] = (w < 0 ? 0 : 1) - u[ja];
                        v[ja] = w < 0 ? 0 : 1;
                    } else {
                        v[ja] = w;
                        inside.push_back(ja);
                    }
                }
                if (inside.size() == f) break;
                moving = inside;
            }
            y = s.ValuesAt(v);
            return y != x.raw;
        };
        bool accepted = false;
        for (int round = 0; round < kDampingRounds && !accepted; ++round) {
            // Two damping values at once: this one and a stronger one.
            std::vector<std::vector<float>> raws;
            std::vector<LD> dampings;
            for (LD damping : {lambda, lambda * 10}) {
                std::vector<float> y;
                if (stepAt(damping, y) && std::find(raws.begin(), raws.end(), y) == raws.end()) {
                    raws.push_back(std::move(y));
                    dampings.push_back(damping);
                }
            }
            if (raws.empty() || s.Trials() + static_cast<int>(raws.size()) > cap) break;
            const std::vector<Trial> ts = s.EvaluateAll(raws);
            size_t best = ts.size();
            for (size_t k = 0; k < ts.size(); ++k)
                if (ts[k].Objective() < x.Objective() &&
                    (best == ts.size() || ts[k].Objective() < ts[best].Objective()))
                    best = k;
            if (best < ts.size()) {
                const LD gain = x.Objective() - ts[best].Objective();
                const LD previous = x.Objective();
                x = ts[best];
                lambda = best == 0 ? std::max(lambda / 5, 1e-9L) : dampings[best];
                accepted = true;
                if (gain <= kRelativeGain * previous) return x;
            } else {
                lambda *= 100;
            }
        }
        if (!accepted) break;
    }
    return x;
}

} // namespace

// ---------------------------------------------------------------- targets
std::string DesignTargetWord(DesignTarget t)
{
    switch (t) {
    case DesignTarget::Lead: return "lead";
    case DesignTarget::CutOffForward: return "cutoff-fwd";
    case DesignTarget::CutOffReverse: return "cutoff-rev";
    case DesignTarget::CutOffForwardAll: return "cutoff-fwd-all";
    case DesignTarget::CutOffReverseAll: return "cutoff-rev-all";
    case DesignTarget::FullGearForward: return "fullgear-fwd";
    case DesignTarget::FullGearReverse: return "fullgear-rev";
    case DesignTarget::MepBalance: return "mep-balance";
    case DesignTarget::Power: return "power";
    case DesignTarget::SteamRate: return "steamrate";
    case DesignTarget::MepBalanceForwardAll: return "mep-balance-fwd-all";
    case DesignTarget::MepBalanceReverseAll: return "mep-balance-rev-all";
    }
    return "";
}

bool DesignTargetFromWord(const std::string& word, DesignTarget& t)
{
    for (int k = 0; k < kDesignTargets; ++k)
        if (DesignTargetWord(static_cast<DesignTarget>(k)) == word) {
            t = static_cast<DesignTarget>(k);
            return true;
        }
    return false;
}

std::string DesignTargetCaption(DesignTarget t)
{
    switch (t) {
    case DesignTarget::Lead: return "Equal leads, mid gear";
    case DesignTarget::CutOffForward: return "Equal cut-off, forward, normal notch";
    case DesignTarget::CutOffReverse: return "Equal cut-off, reverse, normal notch";
    case DesignTarget::CutOffForwardAll: return "Equal cut-off, forward, every notch";
    case DesignTarget::CutOffReverseAll: return "Equal cut-off, reverse, every notch";
    case DesignTarget::FullGearForward: return "Full-gear cut-off, forward, at least the check's limit";
    case DesignTarget::FullGearReverse: return "Full-gear cut-off, reverse, at least the check's limit";
    case DesignTarget::MepBalance: return "Equal mean effective pressure, normal notch";
    case DesignTarget::Power: return "More power, normal notch, its cut-off kept";
    case DesignTarget::SteamRate: return "Less steam per unit of power, normal notch, its cut-off kept";
    case DesignTarget::MepBalanceForwardAll: return "Equal mean effective pressure, forward, every notch";
    case DesignTarget::MepBalanceReverseAll: return "Equal mean effective pressure, reverse, every notch";
    }
    return "";
}

std::string DesignTargetUnit(DesignTarget t)
{
    switch (t) {
    case DesignTarget::Lead: return "% of travel";
    case DesignTarget::MepBalance:
    case DesignTarget::MepBalanceForwardAll:
    case DesignTarget::MepBalanceReverseAll: return "% of chest pressure";
    case DesignTarget::Power:
    case DesignTarget::SteamRate: return "% of the design's";
    default: break;
    }
    return "% of stroke";
}

std::string WeightedTargetText(const WeightedTarget& t)
{
    std::string s = DesignTargetWord(t.target);
    if (IsEngineTarget(t.target)) s += "@" + ShortestText(t.rpm);
    return s;
}

bool WeightedTargetFromText(const std::string& text, WeightedTarget& t, std::string& error)
{
    const size_t at = text.find('@');
    const std::string word = text.substr(0, at);
    if (!DesignTargetFromWord(word, t.target)) {
        error = "unknown target \"" + text + "\"";
        return false;
    }
    if (IsEngineTarget(t.target) != (at != std::string::npos)) {
        error = IsEngineTarget(t.target) ? "the target \"" + word + "\" needs a speed: " + word + "@RPM"
                                         : "the target \"" + word + "\" takes no speed";
        return false;
    }
    if (at != std::string::npos) {
        float rpm = 0;
        if (!ReadFloat(text.substr(at + 1), rpm) || !(rpm > 0) || !std::isfinite(rpm)) {
            error = "the speed of \"" + word + "\" must be a number of rpm above 0";
            return false;
        }
        t.rpm = rpm;
    }
    return true;
}

EngineFigures MeasureEngineFigures(const Gear& design, float rpm, int notch, Running running)
{
    EngineFigures f;
    f.rpm = rpm;
    const EngineSetup engine = MakeEngineSetup(design, EngineDataOf(design));
    const EngineTurn turn = SolveEngineTurn(design, notch, running);
    const PointResult p = RunEnginePoint(turn, engine, rpm);
    f.clamped = turn.clamped;
    f.ran = p.ok;
    f.cutOffFront = CutOff(turn.events, endFront).occurs;
    f.cutOffRear = CutOff(turn.events, endRear).occurs;
    f.ok = p.ok && p.power > 0 && p.steamRate > 0;
    f.power = p.power;
    f.steamRate = p.steamRate;
    f.cutOff = p.cutOff;
    f.mepFront = p.mepFront;
    f.mepRear = p.mepRear;
    f.chest = engine.chest.p;
    return f;
}

long double TargetResiduals::SumOfSquares() const
{
    LD s = 0;
    for (const Residual& r : rows) s += static_cast<LD>(r.value) * r.value;
    return s;
}

long double TargetResiduals::Rms() const
{
    return rows.empty() ? 0 : std::sqrt(SumOfSquares() / static_cast<LD>(rows.size()));
}

std::string ResidualGapText(ResidualGap gap)
{
    switch (gap) {
    case ResidualGap::None: break;
    case ResidualGap::NoFrontCutOff: return "no front cut-off";
    case ResidualGap::NoRearCutOff: return "no rear cut-off";
    case ResidualGap::NoCutOff: return "no cut-off";
    case ResidualGap::NoTravel: return "no valve travel";
    case ResidualGap::NoEngine: return "the engine cannot run";
    }
    return "";
}

DesignMeasure MeasureDesign(const Gear& design, const OptimiseGoals& goals)
{
    DesignMeasure m;
    const std::vector<Row> rows = MeasuredRows(goals);
    std::vector<NotchEvents> events(rows.size());
    ForEachIndependent(rows.size(), [&](size_t k) {
        const Row& r = rows[k];
        if (r.notch == kMidGearRow) {
            events[k] = MeasureNotch(design, design.RevArmCentre(), Running::Forward, nmLeads | nmExtremes);
            return;
        }
        const float at = r.notch == kNormalNotch ? NormalNotchPosition(design, r.running)
                                                 : NotchPosition(design, r.notch, r.running);
        events[k] = MeasureNotch(design, at, r.running, nmCutOffs);
    });
    for (const NotchEvents& e : events) m.clamped = m.clamped || e.clamped;
    // The engine targets' points, each target's rows in order (the normal
    // notch last), all measured at once.
    struct EnginePoint {
        float rpm;
        int notch;
        Running running;
    };
    std::vector<EnginePoint> points;
    std::vector<size_t> firstPoint; // of each engine target
    for (const WeightedTarget& w : goals.targets) {
        if (!IsEngineTarget(w.target)) continue;
        firstPoint.push_back(points.size());
        const Running running = ForwardTarget(w.target) ? Running::Forward : Running::Reverse;
        for (int notch : TargetNotches(w.target)) points.push_back({w.rpm, notch, running});
    }
    std::vector<EngineFigures> figures(points.size());
    ForEachIndependent(points.size(), [&](size_t k) {
        figures[k] = MeasureEngineFigures(design, points[k].rpm, points[k].notch, points[k].running);
    });
    for (const EngineFigures& f : figures) m.clamped = m.clamped || f.clamped;
    firstPoint.push_back(points.size());
    for (size_t k = 0; k + 1 < firstPoint.size(); ++k) m.engine.push_back(figures[firstPoint[k + 1] - 1]);
    size_t engineAt = 0;
    for (const WeightedTarget& w : goals.targets) {
        TargetResiduals t;
        t.target = w;
        if (MepBalanceAllTarget(w.target)) {
            const Running running =
                w.target == DesignTarget::MepBalanceForwardAll ? Running::Forward : Running::Reverse;
            for (size_t k = firstPoint[engineAt]; k < firstPoint[engineAt + 1]; ++k) {
                const EngineFigures& f = figures[k];
                Residual row{running, points[k].notch, -1, kMissingEnginePenalty,
                             !f.ran           ? ResidualGap::NoEngine
                             : !f.cutOffFront ? (f.cutOffRear ? ResidualGap::NoFrontCutOff : ResidualGap::NoCutOff)
                             : !f.cutOffRear  ? ResidualGap::NoRearCutOff
                                              : ResidualGap::None};
                if (row.gap == ResidualGap::None)
                    row.value = ToModelFloat((static_cast<LD>(f.mepFront) - f.mepRear) / f.chest * 100);
                t.rows.push_back(row);
            }
            ++engineAt;
        } else if (IsEngineTarget(w.target)) {
            const EngineFigures& f = m.engine[engineAt++];
            const EngineFigures* ref = &f;
            for (const EngineFigures& r : goals.references)
                if (r.rpm == w.rpm && r.ok) ref = &r;
            Residual row{Running::Forward, kNormalNotch, -1, kMissingEnginePenalty, ResidualGap::NoEngine};
            if (f.ok && ref->ok) {
                if (w.target == DesignTarget::MepBalance)
                    row.value = ToModelFloat((static_cast<LD>(f.mepFront) - f.mepRear) / f.chest * 100);
                else if (w.target == DesignTarget::Power)
                    row.value = ToModelFloat(static_cast<LD>(ref->power) / f.power * 100);
                else
                    row.value = ToModelFloat(static_cast<LD>(f.steamRate) / ref->steamRate * 100);
                row.gap = ResidualGap::None;
                if (w.target != DesignTarget::MepBalance &&
                    std::fabs(static_cast<LD>(f.cutOff) - ref->cutOff) > kEngineCutOffBand)
                    m.outOfBand = true;
            }
            t.rows.push_back(row);
        } else if (w.target == DesignTarget::Lead) {
            LD d = 0;
            if (LeadDifference(events[RowIndex(rows, Running::Forward, kMidGearRow)], d))
                t.rows.push_back({Running::Forward, kMidGearRow, -1, ToModelFloat(d)});
            else
                t.rows.push_back({Running::Forward, kMidGearRow, -1, kMissingCutOffPenalty, ResidualGap::NoTravel});
        } else {
            const Running running = ForwardTarget(w.target) ? Running::Forward : Running::Reverse;
            const bool fullGear =
                w.target == DesignTarget::FullGearForward || w.target == DesignTarget::FullGearReverse;
            for (int notch : TargetNotches(w.target)) {
                const NotchEvents& e = events[RowIndex(rows, running, notch)];
                const ValveEvent &f = CutOff(e, endFront), &b = CutOff(e, endRear);
                if (fullGear) {
                    for (int end : {endFront, endRear}) {
                        const ValveEvent& c = CutOff(e, end);
                        if (c.occurs)
                            t.rows.push_back(
                                {running, notch, end,
                                 ToModelFloat(std::min<LD>(0, static_cast<LD>(c.percent) - goals.fullGearLevel))});
                        else
                            t.rows.push_back(
                                {running, notch, end, -goals.fullGearLevel,
                                 end == endFront ? ResidualGap::NoFrontCutOff : ResidualGap::NoRearCutOff});
                    }
                } else if (f.occurs && b.occurs) {
                    t.rows.push_back({running, notch, -1, ToModelFloat(static_cast<LD>(f.percent) - b.percent)});
                } else {
                    t.rows.push_back({running, notch, -1, kMissingCutOffPenalty,
                                      f.occurs   ? ResidualGap::NoRearCutOff
                                      : b.occurs ? ResidualGap::NoFrontCutOff
                                                 : ResidualGap::NoCutOff});
                }
            }
        }
        m.objective += static_cast<LD>(w.weight) * t.SumOfSquares();
        m.targets.push_back(std::move(t));
    }
    return m;
}

std::string CheckOptimiseGoals(const OptimiseGoals& goals)
{
    if (goals.targets.empty()) return "Choose at least one target.";
    bool weighed = false;
    for (size_t k = 0; k < goals.targets.size(); ++k) {
        const WeightedTarget& t = goals.targets[k];
        if (!std::isfinite(t.weight) || t.weight < 0) return "A weight must be a number of 0 or more.";
        if (IsEngineTarget(t.target) && !(std::isfinite(t.rpm) && t.rpm > 0))
            return "The speed of " + DesignTargetCaption(t.target) + " must be above 0 rpm.";
        weighed = weighed || t.weight > 0;
        for (size_t l = 0; l < k; ++l)
            if (goals.targets[l].target == t.target) return "Choose each target once.";
    }
    if (!weighed) return "Give at least one target a weight above 0.";
    if (goals.dimensions.empty()) return "Choose at least one dimension to adjust.";
    if (goals.dimensions.size() > static_cast<size_t>(kMaxOptimiseDimensions))
        return "Choose at most " + std::to_string(kMaxOptimiseDimensions) + " dimensions.";
    for (size_t k = 0; k < goals.dimensions.size(); ++k) {
        const OptimiseDimension& d = goals.dimensions[k];
        if (DimensionName(d.code).empty()) return "Choose a dimension to adjust.";
        for (size_t l = 0; l < k; ++l)
            if (goals.dimensions[l].code == d.code) return "Choose each dimension once.";
        if (!std::isfinite(d.lo) || !std::isfinite(d.hi) || !(d.lo < d.hi))
            return "The bounds of " + DimensionName(d.code) + " must run from a lower to a higher value.";
    }
    return "";
}

int OptimiseScanPoints(size_t dimensions)
{
    return dimensions == 1 ? kScanOne : dimensions == 2 ? kScanTwo * kScanTwo : 0;
}

int OptimiseTrialBudget(size_t dimensions)
{
    return 60 + 30 * static_cast<int>(dimensions) + OptimiseScanPoints(dimensions);
}

OptimiseDimension DefaultOptimiseDimension(const Gear& design, int code)
{
    OptimiseDimension d;
    d.code = code;
    DefaultBalanceRange(design, code, d.lo, d.hi);
    // As the window's fields show them and read them back.
    const float lo = FieldValue(BoundText(d.lo)), hi = FieldValue(BoundText(d.hi));
    if (lo < hi) d.lo = lo, d.hi = hi;
    return d;
}

std::string ResidualRowText(const Residual& r)
{
    if (r.notch == kMidGearRow) return "mid gear";
    std::string s = NotchRowText(r.running, r.notch);
    if (r.end == endFront) s += " front";
    if (r.end == endRear) s += " rear";
    return s;
}

OptimiseResult OptimiseDesign(const Gear& design, const OptimiseGoals& asked, BalanceControl* control)
{
    OptimiseResult out;
    out.error = CheckOptimiseGoals(asked);
    if (!out.error.empty()) return out;
    // The engine targets compare every trial with the design as it is.
    OptimiseGoals goals = asked;
    goals.references.clear();
    for (const WeightedTarget& w : goals.targets)
        if (IsEngineTarget(w.target) && !MepBalanceAllTarget(w.target))
            goals.references.push_back(MeasureEngineFigures(design, w.rpm));
    out.before = MeasureDesign(design, goals);
    if (out.before.clamped) {
        out.outcome = OptimiseOutcome::Infeasible;
        out.error = "The gear cannot be assembled at every notch the targets measure.";
        return out;
    }
    Search s(design, goals, control);
    const size_t n = goals.dimensions.size();
    bool stopped = false;
    try {
        // The starts: the design's values (the middle of the bounds for one
        // outside them), then the points the goals bring, within the bounds.
        std::vector<float> start(n);
        for (size_t j = 0; j < n; ++j) {
            const OptimiseDimension& d = goals.dimensions[j];
            const float v = GetDimension(design, d.code);
            start[j] = v >= d.lo && v <= d.hi ? v : BoundsValue(d, 0.5L);
        }
        std::vector<std::vector<float>> starts = {start};
        for (const std::vector<DimensionValue>& point : goals.starts) {
            std::vector<float> v = start;
            for (const DimensionValue& dv : point)
                for (size_t j = 0; j < n; ++j)
                    if (goals.dimensions[j].code == dv.code && std::isfinite(dv.value))
                        v[j] = std::clamp(dv.value, goals.dimensions[j].lo, goals.dimensions[j].hi);
            if (std::find(starts.begin(), starts.end(), v) == starts.end()) starts.push_back(std::move(v));
        }
        // The scan (one or two dimensions) or the quasi-random sample: half of
        // it over the whole bounds, half near the start (a third of the way
        // from it to the points of the whole).
        std::vector<std::vector<float>> raws;
        if (n == 1) {
            for (int k = 0; k < kScanOne; ++k) raws.push_back(s.ValuesAt({static_cast<LD>(k) / (kScanOne - 1)}));
        } else if (n == 2) {
            for (int a = 0; a < kScanTwo; ++a)
                for (int b = 0; b < kScanTwo; ++b)
                    raws.push_back(
                        s.ValuesAt({static_cast<LD>(a) / (kScanTwo - 1), static_cast<LD>(b) / (kScanTwo - 1)}));
        } else {
            static constexpr unsigned kPrimes[kMaxOptimiseDimensions] = {2, 3, 5, 7, 11, 13, 17, 19};
            std::vector<LD> centre(n);
            for (size_t j = 0; j < n; ++j) centre[j] = s.Fraction(j, start[j]);
            for (size_t i = 1; i <= 2 * n + 2; ++i) {
                const LD reach = i % 2 ? 1.0L : 1.0L / 3;
                std::vector<LD> u(n);
                for (size_t j = 0; j < n; ++j) u[j] = centre[j] + reach * (Halton((i + 1) / 2, kPrimes[j]) - centre[j]);
                raws.push_back(s.ValuesAt(u));
            }
        }
        // The first descent, from the best start, may use half of what the
        // starts and the scan leave; the two others share the rest.
        const int budget = OptimiseTrialBudget(n);
        const std::vector<Trial> first = s.EvaluateAll(starts);
        const Trial* from = nullptr;
        for (const Trial& t : first)
            if (t.feasible && (!from || t.Objective() < from->Objective())) from = &t;
        if (from) Descend(s, *from, s.Trials() + (budget - s.Trials() - static_cast<int>(raws.size())) / 2);
        std::vector<Trial> sample = s.EvaluateAll(raws);
        std::stable_sort(sample.begin(), sample.end(),
                         [](const Trial& a, const Trial& b) { return a.Objective() < b.Objective(); });
        for (size_t k = 0; k < sample.size() && k < 2 && sample[k].feasible; ++k) {
            const int share = (budget - s.Trials()) / static_cast<int>(2 - k);
            Descend(s, sample[k], s.Trials() + share);
        }
    } catch (const StopSearch&) {
        stopped = true;
    }
    // The best design of every trial measured, if it is better than the design.
    const Trial* best = s.Best();
    if (best && best->Objective() < out.before.objective) {
        for (size_t j = 0; j < n; ++j) {
            const OptimiseDimension& d = goals.dimensions[j];
            out.values.push_back({d.code, best->stored[j]});
            out.atBound.push_back(best->raw[j] <= d.lo ? -1 : best->raw[j] >= d.hi ? 1 : 0);
        }
        out.after = best->measure;
    }
    out.outcome = stopped           ? OptimiseOutcome::Stopped
                  : out.HasValues() ? OptimiseOutcome::Improved
                                    : OptimiseOutcome::NoImprovement;
    out.trials = s.Trials();
    out.clampsMet = s.ClampsMet();
    if (control) control->progress.store(1000);
    return out;
}

OptimiseReport OptimiseAndCheck(const Gear& design, const OptimiseGoals& goals, BalanceControl* control)
{
    OptimiseReport r;
    r.result = OptimiseDesign(design, goals, control);
    if (r.result.outcome == OptimiseOutcome::Invalid) return r;
    r.tableBefore = BuildValveEventsTable(design);
    r.checkBefore = CheckDesign(design, r.tableBefore, DefaultCheckLimits());
    if (r.result.HasValues()) {
        const Gear after = TrialDesign(design, r.result.values);
        r.tableAfter = BuildValveEventsTable(after);
        r.checkAfter = CheckDesign(after, r.tableAfter, DefaultCheckLimits());
    }
    return r;
}

#include "analysis/ValveEvents.h"

#include "analysis/ThreadPool.h"
#include "analysis/ValveSolve.h"

#include <cfloat>
#include <cmath>

using LD = long double;

namespace {

// Samples in one turn: every degree, the last one back at the first.
constexpr int kTurnSamples = 360;
// Bisection ends when the bracket is this narrow (degrees), or when its ends
// are adjacent floats.
constexpr LD kAngleTolerance = 1e-5L;
// Golden-section search of the valve's extremes ends at this width (degrees);
// the valve is so flat there that the value no longer changes.
constexpr LD kExtremeTolerance = 1e-4L;

// The opening an event is found on: admission and cut-off on the end's steam
// opening, release and compression on its exhaust opening.
int OpeningOf(int end, int kind)
{
    const bool exhaust = kind == veRelease || kind == veCompression;
    if (end == endFront) return exhaust ? voFrontExh : voFrontSteam;
    return exhaust ? voRearExh : voRearSteam;
}

// Admission and release are openings, cut-off and compression closings.
bool IsOpening(int kind) { return kind == veAdmission || kind == veRelease; }

// The port graph's rules: an opening is >= 0 after < 0; a closing is <= 0
// after > 0. "Before" and "after" are exact complements, so every solve
// during the bisection falls on one side.
bool AfterEvent(bool opening, float o) { return opening ? o >= 0 : o <= 0; }
bool BeforeEvent(bool opening, float o) { return opening ? o < 0 : o > 0; }

float PercentOfStroke(int end, float piston)
{
    const LD p = piston;
    return static_cast<float>(end == endFront ? p / 6.4L : (640.0L - p) / 6.4L);
}

// Angles in a turn run from 0 to 360 (forward) or 360 down to 0 (reverse);
// reported angles are folded into 0 <= a < 360.
float FoldAngle(float a) { return a >= 360.0f ? static_cast<float>(static_cast<LD>(a) - 360) : a; }

// Unfolded angle of sample k of a turn.
float SampleAngle(int k, Running running)
{
    return static_cast<float>(running == Running::Forward ? k : kTurnSamples - k);
}

// Bisection between the last sample before an event and the first after it.
ValveEvent Refine(ValveSolver& g, int end, int kind, float before, float after, float afterPiston)
{
    const bool opening = IsOpening(kind);
    const int idx = OpeningOf(end, kind);
    float a0 = before, a1 = after, p1 = afterPiston;
    while (std::fabs(static_cast<LD>(a1) - a0) > kAngleTolerance) {
        const float m = static_cast<float>((static_cast<LD>(a0) + a1) / 2);
        if (m == a0 || m == a1) break; // adjacent floats
        const ValveSample s = g.Solve(m);
        if (AfterEvent(opening, s.open[idx])) {
            a1 = m;
            p1 = s.piston;
        } else {
            a0 = m;
        }
    }
    return ValveEvent{true, FoldAngle(a1), PercentOfStroke(end, p1)};
}

// Golden-section search for the extreme of ValveCen (the largest when
// `largest`, else the smallest) between two angles; the sample at the best
// angle seen.
ValveSample RefineExtreme(ValveSolver& g, float lo, float hi, bool largest)
{
    const LD r = 0.6180339887498948482L;
    const auto better = [largest](float a, float b) { return largest ? a > b : a < b; };
    LD a = lo, b = hi;
    LD c = b - r * (b - a), d = a + r * (b - a);
    ValveSample sc = g.Solve(static_cast<float>(c));
    ValveSample sd = g.Solve(static_cast<float>(d));
    ValveSample best = better(sd.valveCen, sc.valveCen) ? sd : sc;
    while (b - a > kExtremeTolerance) {
        if (better(sc.valveCen, sd.valveCen)) {
            b = d;
            d = c;
            sd = sc;
            c = b - r * (b - a);
            sc = g.Solve(static_cast<float>(c));
            if (better(sc.valveCen, best.valveCen)) best = sc;
        } else {
            a = c;
            c = d;
            sc = sd;
            d = a + r * (b - a);
            sd = g.Solve(static_cast<float>(d));
            if (better(sd.valveCen, best.valveCen)) best = sd;
        }
    }
    return best;
}

// A computed reverse arm setting as a model float; beyond the float range it
// becomes the largest float of its sign (as the port graph stores it).
float StoreF(LD v)
{
    if (std::isfinite(v) && v > FLT_MAX) return FLT_MAX;
    if (std::isfinite(v) && v < -FLT_MAX) return -FLT_MAX;
    return static_cast<float>(v);
}

} // namespace

NotchEvents MeasureNotch(const Gear& design, float revArmPos, Running running, unsigned what, ThreadPool& pool)
{
    ValveSolver g(design, revArmPos);

    NotchEvents out;
    out.revArmPos = revArmPos;
    out.running = running;

    const bool events = (what & (nmEvents | nmCutOffs)) != 0;
    if (!events && (what & nmExtremes) == 0) {
        if (what & nmLeads) {
            out.leadFront = g.FirstSolve(0).open[voFrontSteam];
            out.leadRear = g.Solve(180).open[voRearSteam];
        }
        out.clamped = g.Clamped();
        return out;
    }

    // The turn. The samples fall on whole degrees: their crank terms are
    // shared by every notch of the design. They are independent, so they are
    // solved in chunks on the pool, each chunk on its own copy of the solver
    // (which only notes clamps): on two cores, called outside a pool task, the
    // caller and the worker each take chunks of 45 samples, then refinements,
    // until none is left.
    std::array<ValveSample, kTurnSamples + 1> sample;
    sample[0] = g.FirstSolve(0);
    sample[kTurnSamples] = sample[0]; // the turn closes where it began
    const std::array<CrankTerms, kWholeDegrees>& turn = TurnCrankTerms(g);
    constexpr size_t kChunks = 8;
    std::array<bool, kChunks> chunkClamped{};
    pool.ParallelFor(kChunks, [&](size_t c) {
        ValveSolver local = g;
        for (size_t k = 1 + c; k < kTurnSamples; k += kChunks)
            sample[k] = local.Solve(turn[static_cast<size_t>(SampleAngle(static_cast<int>(k), running))]);
        chunkClamped[c] = local.Clamped();
    });
    bool clamped = g.Clamped();
    for (bool c : chunkClamped) clamped = clamped || c;

    // First occurrence of each event (the bracketing pair of samples) and the
    // number of occurrences; the samples of the valve's extremes.
    struct Bracket {
        float before = 0, after = 0, afterPiston = 0;
        int count = 0;
    };
    std::array<Bracket, kCylinderEnds * kValveEventKinds> first{};
    int kMin = 0, kMax = 0;
    out.leadFront = sample[0].open[voFrontSteam];
    out.leadRear = sample[180].open[voRearSteam];
    ValveSample sMin = sample[0], sMax = sample[0];
    for (int k = 1; k <= kTurnSamples; ++k) {
        const ValveSample& cur = sample[static_cast<size_t>(k)];
        const ValveSample& prev = sample[static_cast<size_t>(k - 1)];
        if (cur.valveCen < sMin.valveCen) {
            sMin = cur;
            kMin = k;
        }
        if (cur.valveCen > sMax.valveCen) {
            sMax = cur;
            kMax = k;
        }
        if (!events) continue;
        for (int end = 0; end < kCylinderEnds; ++end)
            for (int kind = 0; kind < kValveEventKinds; ++kind) {
                const int idx = OpeningOf(end, kind);
                const bool opening = IsOpening(kind);
                if (!(AfterEvent(opening, cur.open[idx]) && BeforeEvent(opening, prev.open[idx]))) continue;
                Bracket& b = first[static_cast<size_t>(end * kValveEventKinds + kind)];
                if (b.count++ == 0) {
                    b.before = SampleAngle(k - 1, running);
                    b.after = SampleAngle(k, running);
                    b.afterPiston = cur.piston;
                }
            }
    }

    // The refinements: one task an event, one an extreme; each on its own
    // copy of the solver.
    struct Task {
        int end = 0, kind = 0; // an event, or kind -1: the smallest ValveCen, -2: the largest
        ValveEvent event;
        ValveSample extreme;
        bool clamped = false;
    };
    std::array<Task, kCylinderEnds * kValveEventKinds + 2> tasks;
    size_t taskCount = 0;
    if (events) {
        for (int end = 0; end < kCylinderEnds; ++end)
            for (int kind = 0; kind < kValveEventKinds; ++kind) {
                if (!(what & nmEvents) && kind != veCutOff) continue;
                const Bracket& b = first[static_cast<size_t>(end * kValveEventKinds + kind)];
                if (b.count == 0) continue;
                if (b.count > 1) out.repeated = true;
                tasks[taskCount].end = end;
                tasks[taskCount++].kind = kind;
            }
    }
    if (what & nmExtremes) {
        tasks[taskCount++].kind = -1;
        tasks[taskCount++].kind = -2;
    }
    // The front steam opening is largest where the valve is farthest to the
    // rear (smallest ValveCen), the rear one where it is farthest forward;
    // each opening is one expression of the valve position.
    const auto around = [running](int k, int side) { return SampleAngle(k, running) + static_cast<float>(side); };
    pool.ParallelFor(taskCount, [&](size_t i) {
        Task& t = tasks[i];
        ValveSolver local = g;
        if (t.kind >= 0) {
            const Bracket& b = first[static_cast<size_t>(t.end * kValveEventKinds + t.kind)];
            t.event = Refine(local, t.end, t.kind, b.before, b.after, b.afterPiston);
        } else {
            const int k = t.kind == -1 ? kMin : kMax;
            t.extreme = RefineExtreme(local, around(k, -1), around(k, 1), t.kind == -2);
        }
        t.clamped = local.Clamped();
    });
    for (size_t i = 0; i < taskCount; ++i) {
        const Task& t = tasks[i];
        clamped = clamped || t.clamped;
        if (t.kind >= 0) {
            out.event[static_cast<size_t>(t.end)][static_cast<size_t>(t.kind)] = t.event;
        } else if (t.kind == -1) {
            if (t.extreme.valveCen < sMin.valveCen) sMin = t.extreme;
        } else {
            if (t.extreme.valveCen > sMax.valveCen) sMax = t.extreme;
        }
    }
    if (what & nmExtremes) {
        out.valveTravel = static_cast<float>(static_cast<LD>(sMax.valveCen) - sMin.valveCen);
        out.maxSteamOpenFront = sMin.open[voFrontSteam];
        out.maxSteamOpenRear = sMax.open[voRearSteam];
    }

    out.clamped = clamped;
    return out;
}

NotchEvents MidGearLeads(const Gear& design)
{
    return MeasureNotch(design, design.RevArmCentre(), Running::Forward, nmLeads);
}

float NotchPosition(const Gear& design, int i, Running running)
{
    const LD offset = static_cast<LD>(i) * static_cast<LD>(design.RevArmMax) / 18;
    const LD centre = design.RevArmCentre();
    return StoreF(running == Running::Forward ? centre + offset : centre - offset);
}

float NormalNotchPosition(const Gear& design, Running running)
{
    const LD centre = design.RevArmCentre();
    const LD normal = design.RevArmNormal;
    return StoreF(running == Running::Forward ? centre + normal : centre - normal);
}

std::vector<ValveEventsRow> BuildValveEventsTable(const Gear& design, ThreadPool& pool)
{
    // The rows in table order, each with its reverse arm position; then every
    // row measured on its own (one task a row).
    struct Notch {
        int notch;
        float revArmPos;
        Running running;
    };
    std::vector<Notch> notches;
    notches.reserve(2 * (kGraphNotches + 1));
    const LD normalOffset = std::fabs(static_cast<LD>(design.RevArmNormal));
    for (Running running : {Running::Forward, Running::Reverse}) {
        bool normalPlaced = false;
        for (int i = 0; i < kGraphNotches; ++i) {
            notches.push_back({i, NotchPosition(design, i, running), running});
            const LD nextOffset = std::fabs(static_cast<LD>(i + 1) * static_cast<LD>(design.RevArmMax) / 18);
            // The normal notch after the last notch no farther out than it
            // (a normal notch that is not a number goes last).
            if (!normalPlaced && (i + 1 == kGraphNotches || nextOffset > normalOffset)) {
                notches.push_back({kNormalNotch, NormalNotchPosition(design, running), running});
                normalPlaced = true;
            }
        }
    }
    // On two cores the caller and the pool's one worker each take the next row
    // not yet taken and measure it whole, about 20 rows each; inside a row,
    // MeasureNotch's own loops run on that thread alone.
    std::vector<ValveEventsRow> rows(notches.size());
    pool.ParallelFor(notches.size(), [&](size_t i) {
        rows[i] = {notches[i].notch, MeasureNotch(design, notches[i].revArmPos, notches[i].running, nmAll, pool)};
    });
    return rows;
}

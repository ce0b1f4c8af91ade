// The valve events finder as it was before it was made fast: a verbatim copy
// (only the public functions renamed) that the differential test compares the
// production finder with, field by field and byte by byte. It solves the whole
// linkage (SolveLinkage + ComputePistonAndOpenings) on a copy of the design at
// every step. Do not "improve" it: its value is that it stays as it was.
#include "ValveEventsReference.h"

#include "model/Model.h"

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

// The four openings as the solver leaves them, in this order.
enum OpeningIndex : int { oiFrontSteam = 0, oiFrontExh = 1, oiRearSteam = 2, oiRearExh = 3 };

struct Sample {
    float piston = 0;
    std::array<float, 4> open{};
    float valveCen = 0;
};

// Solves the linkage and the port quantities at one driver angle.
Sample SolveAt(Gear& g, float angle)
{
    g.DriverAngle = angle;
    SolveLinkage(g);
    ComputePistonAndOpenings(g);
    return Sample{g.PistonPx, {g.FrontSteamOpen, g.FrontExhOpen, g.RearSteamOpen, g.RearExhOpen}, g.ValveCen};
}

// The opening an event is found on: admission and cut-off on the end's steam
// opening, release and compression on its exhaust opening.
int OpeningOf(int end, int kind)
{
    const bool exhaust = kind == veRelease || kind == veCompression;
    if (end == endFront) return exhaust ? oiFrontExh : oiFrontSteam;
    return exhaust ? oiRearExh : oiRearSteam;
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
ValveEvent Refine(Gear& g, int end, int kind, float before, float after, float afterPiston)
{
    const bool opening = IsOpening(kind);
    const int idx = OpeningOf(end, kind);
    float a0 = before, a1 = after, p1 = afterPiston;
    while (std::fabs(static_cast<LD>(a1) - a0) > kAngleTolerance) {
        const float m = static_cast<float>((static_cast<LD>(a0) + a1) / 2);
        if (m == a0 || m == a1) break; // adjacent floats
        const Sample s = SolveAt(g, m);
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
Sample RefineExtreme(Gear& g, float lo, float hi, bool largest)
{
    const LD r = 0.6180339887498948482L;
    const auto better = [largest](float a, float b) { return largest ? a > b : a < b; };
    LD a = lo, b = hi;
    LD c = b - r * (b - a), d = a + r * (b - a);
    Sample sc = SolveAt(g, static_cast<float>(c));
    Sample sd = SolveAt(g, static_cast<float>(d));
    Sample best = better(sd.valveCen, sc.valveCen) ? sd : sc;
    while (b - a > kExtremeTolerance) {
        if (better(sc.valveCen, sd.valveCen)) {
            b = d;
            d = c;
            sd = sc;
            c = b - r * (b - a);
            sc = SolveAt(g, static_cast<float>(c));
            if (better(sc.valveCen, best.valveCen)) best = sc;
        } else {
            a = c;
            c = d;
            sc = sd;
            d = a + r * (b - a);
            sd = SolveAt(g, static_cast<float>(d));
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

NotchEvents ReferenceMeasureNotch(const Gear& design, float revArmPos, Running running, unsigned what)
{
    Gear g = design;
    g.RevArmPos = revArmPos;
    g.ErrorBeepOn = true; // on the copy only: records every clamp
    g.SolveError = false;

    NotchEvents out;
    out.revArmPos = revArmPos;
    out.running = running;

    const bool events = (what & (nmEvents | nmCutOffs)) != 0;
    if (!events && (what & nmExtremes) == 0) {
        if (what & nmLeads) {
            out.leadFront = SolveAt(g, 0).open[oiFrontSteam];
            out.leadRear = SolveAt(g, 180).open[oiRearSteam];
        }
        out.clamped = g.SolveError;
        return out;
    }

    // First occurrence of each event (the bracketing pair of samples) and the
    // number of occurrences.
    struct Bracket {
        float before = 0, after = 0, afterPiston = 0;
        int count = 0;
    };
    std::array<Bracket, kCylinderEnds * kValveEventKinds> first{};
    int kMin = 0, kMax = 0;

    const Sample start = SolveAt(g, 0);
    Sample prev = start;
    out.leadFront = start.open[oiFrontSteam];
    Sample sMin = start, sMax = start;
    for (int k = 1; k <= kTurnSamples; ++k) {
        const float angle = SampleAngle(k, running);
        // The turn closes where it began: the last sample is the first.
        const Sample cur = k == kTurnSamples ? start : SolveAt(g, angle);
        if (k == 180) out.leadRear = cur.open[oiRearSteam];
        if (cur.valveCen < sMin.valveCen) {
            sMin = cur;
            kMin = k;
        }
        if (cur.valveCen > sMax.valveCen) {
            sMax = cur;
            kMax = k;
        }
        if (events) {
            for (int end = 0; end < kCylinderEnds; ++end)
                for (int kind = 0; kind < kValveEventKinds; ++kind) {
                    const int idx = OpeningOf(end, kind);
                    const bool opening = IsOpening(kind);
                    if (!(AfterEvent(opening, cur.open[idx]) && BeforeEvent(opening, prev.open[idx]))) continue;
                    Bracket& b = first[static_cast<size_t>(end * kValveEventKinds + kind)];
                    if (b.count++ == 0) {
                        b.before = SampleAngle(k - 1, running);
                        b.after = angle;
                        b.afterPiston = cur.piston;
                    }
                }
        }
        prev = cur;
    }

    if (events) {
        for (int end = 0; end < kCylinderEnds; ++end)
            for (int kind = 0; kind < kValveEventKinds; ++kind) {
                if (!(what & nmEvents) && kind != veCutOff) continue;
                const Bracket& b = first[static_cast<size_t>(end * kValveEventKinds + kind)];
                if (b.count == 0) continue;
                if (b.count > 1) out.repeated = true;
                out.event[static_cast<size_t>(end)][static_cast<size_t>(kind)] =
                    Refine(g, end, kind, b.before, b.after, b.afterPiston);
            }
    }

    if (what & nmExtremes) {
        // The front steam opening is largest where the valve is farthest to
        // the rear (smallest ValveCen), the rear one where it is farthest
        // forward; each opening is one expression of the valve position.
        const auto around = [running](int k, int side) { return SampleAngle(k, running) + static_cast<float>(side); };
        const Sample lo = RefineExtreme(g, around(kMin, -1), around(kMin, 1), false);
        const Sample hi = RefineExtreme(g, around(kMax, -1), around(kMax, 1), true);
        if (lo.valveCen < sMin.valveCen) sMin = lo;
        if (hi.valveCen > sMax.valveCen) sMax = hi;
        out.valveTravel = static_cast<float>(static_cast<LD>(sMax.valveCen) - sMin.valveCen);
        out.maxSteamOpenFront = sMin.open[oiFrontSteam];
        out.maxSteamOpenRear = sMax.open[oiRearSteam];
    }

    out.clamped = g.SolveError;
    return out;
}

NotchEvents ReferenceMidGearLeads(const Gear& design)
{
    return ReferenceMeasureNotch(design, design.RevArmCentre(), Running::Forward, nmLeads);
}

float ReferenceNotchPosition(const Gear& design, int i, Running running)
{
    const LD offset = static_cast<LD>(i) * static_cast<LD>(design.RevArmMax) / 18;
    const LD centre = design.RevArmCentre();
    return StoreF(running == Running::Forward ? centre + offset : centre - offset);
}

float ReferenceNormalNotchPosition(const Gear& design, Running running)
{
    const LD centre = design.RevArmCentre();
    const LD normal = design.RevArmNormal;
    return StoreF(running == Running::Forward ? centre + normal : centre - normal);
}

std::vector<ValveEventsRow> ReferenceBuildValveEventsTable(const Gear& design)
{
    std::vector<ValveEventsRow> rows;
    rows.reserve(2 * (kGraphNotches + 1));
    const LD normalOffset = std::fabs(static_cast<LD>(design.RevArmNormal));
    for (Running running : {Running::Forward, Running::Reverse}) {
        bool normalPlaced = false;
        for (int i = 0; i < kGraphNotches; ++i) {
            rows.push_back({i, ReferenceMeasureNotch(design, ReferenceNotchPosition(design, i, running), running)});
            const LD nextOffset = std::fabs(static_cast<LD>(i + 1) * static_cast<LD>(design.RevArmMax) / 18);
            // The normal notch after the last notch no farther out than it
            // (a normal notch that is not a number goes last).
            if (!normalPlaced && (i + 1 == kGraphNotches || nextOffset > normalOffset)) {
                rows.push_back({kNormalNotch,
                                ReferenceMeasureNotch(design, ReferenceNormalNotchPosition(design, running), running)});
                normalPlaced = true;
            }
        }
    }
    return rows;
}

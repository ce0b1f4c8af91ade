#include "analysis/SteamEngine.h"

#include "analysis/ValveSolve.h"
#include "model/EngineData.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <optional>

namespace {

constexpr double kPiD = std::numbers::pi;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// ---------------------------------------------------------------- the engine
double SI(float v, EngineQuantity q, LengthUnit unit) { return static_cast<double>(EngineUnitToSI(q, unit)) * v; }

} // namespace

EngineSetup MakeEngineSetup(const Gear& g, const EngineData& e)
{
    EngineSetup s;
    s.unit = EngineUnitSystem(g.Unit);
    s.unitAssumed = EngineUnitAssumed(g.Unit);
    s.lengthUnit = static_cast<double>(EngineUnitToSI(EngineQuantity::Length, g.Unit));
    const auto length = [&](float v) { return SI(v, EngineQuantity::Length, g.Unit); };
    const auto pressure = [&](float v) { return SI(v, EngineQuantity::Pressure, g.Unit); };
    s.stroke = length(g.Stroke);
    const double bore = length(g.Cyl(ciCylBoreDia));
    s.pistonArea = kPiD / 4 * bore * bore;
    s.sweptVolume = s.pistonArea * s.stroke;
    s.clearance = {e.ClearanceFront / 100.0, e.ClearanceRear / 100.0};
    s.steamPortLength = length(e.SteamPortLength);
    s.exhaustPortLength = length(e.ExhaustPortLength);
    s.dischargeCoefficient = e.DischargeCoefficient;
    const double passage = length(g.Cyl(ciCylSteamPortWidth));
    s.portWidth = {std::min(length(g.Cyl(ciSteamPortWidthFront)), passage),
                   std::min(length(g.Cyl(ciSteamPortWidthRear)), passage)};
    s.wheel = length(e.WheelDiameter);
    s.cylinders = e.Cylinders;
    s.atmosphere = pressure(e.AtmosphericPressure);
    s.backPressure = pressure(e.BackPressure) + s.atmosphere;
    const double chest = pressure(e.ChestPressure) + s.atmosphere;
    const double superheat = SI(e.Superheat, EngineQuantity::TemperatureStep, g.Unit);

    // What the model can run: a cylinder, ports, steam in the chest above the
    // exhaust, within the regions of the steam tables written.
    const auto positive = [](double v) { return std::isfinite(v) && v > 0; };
    const auto notNegative = [](double v) { return std::isfinite(v) && v >= 0; };
    if (!positive(s.sweptVolume))
        s.problem = "the cylinder has no swept volume (bore and stroke)";
    else if (!positive(s.portWidth[0]) || !positive(s.portWidth[1]))
        s.problem = "the steam ports have no width";
    else if (!positive(s.steamPortLength) || !positive(s.exhaustPortLength))
        s.problem = "the port lengths must be above 0";
    else if (!(s.dischargeCoefficient > 0 && s.dischargeCoefficient <= 1))
        s.problem = "the discharge coefficient must be above 0 and at most 1";
    else if (!notNegative(s.clearance[0]) || !notNegative(s.clearance[1]) || s.clearance[0] + s.clearance[1] <= 0)
        s.problem = "the clearance must be 0 or more at each end, and above 0 at one";
    else if (!positive(s.atmosphere) || !positive(s.backPressure))
        s.problem = "the absolute back pressure must be above 0";
    else if (!(chest > s.backPressure))
        s.problem = "the steam-chest pressure must be above the back pressure";
    else if (!(chest < if97::SaturationPressure(if97::kTsatMax)))
        s.problem = "the steam-chest pressure is beyond the steam tables of the model (165 bar absolute)";
    else if (!notNegative(superheat) || if97::SaturationTemperature(chest) + superheat > 1073.15)
        s.problem = "the superheat must be 0 or more, the steam at most 800 °C";
    else if (!positive(s.wheel))
        s.problem = "the driving wheel diameter must be above 0";
    else if (!(s.cylinders >= 1) || !std::isfinite(s.cylinders))
        s.problem = "the engine needs at least one cylinder";
    if (!s.problem.empty()) return s;
    s.chest =
        superheat > 0 ? SteamAtPT(chest, if97::SaturationTemperature(chest) + superheat) : SaturatedSteam(chest, 1);
    return s;
}

// ---------------------------------------------------------------- a turn of the gear
EngineTurn SolveEngineTurn(const Gear& design, int notch, Running running, int steps)
{
    EngineTurn t;
    t.notch = notch;
    t.running = running;
    t.revArmPos = notch == kNormalNotch ? NormalNotchPosition(design, running) : NotchPosition(design, notch, running);
    t.events = MeasureNotch(design, t.revArmPos, running, nmEvents);
    steps = std::max(steps, 4);

    // The progress of every point: the grid, and the events where they fall
    // between its points.
    const bool forward = running == Running::Forward;
    const auto progressOf = [forward](double angle) {
        const double p = forward ? angle : 360 - angle;
        return p >= 360 ? p - 360 : p;
    };
    std::vector<double> progress;
    for (int k = 0; k < steps; ++k) progress.push_back(360.0 * k / steps);
    for (int end = 0; end < kCylinderEnds; ++end)
        for (const ValveEvent& e : t.events.event[end])
            if (e.occurs) progress.push_back(progressOf(e.angle));
    std::sort(progress.begin(), progress.end());
    progress.erase(
        std::unique(progress.begin(), progress.end(), [](double a, double b) { return std::abs(a - b) < 1e-9; }),
        progress.end());

    ValveSolver solver(design, t.revArmPos);
    for (size_t k = 0; k < progress.size(); ++k) {
        const double p = progress[k];
        const float angle = static_cast<float>(forward || p == 0 ? p : 360 - p);
        const ValveSample s = k == 0 ? solver.FirstSolve(angle) : solver.Solve(angle);
        t.progress.push_back(p);
        t.angle.push_back(angle);
        t.piston.push_back(s.piston / 640.0);
        t.open.push_back(s.open);
    }
    t.clamped = solver.Clamped() || t.events.clamped;

    const auto pointAt = [&](double p) {
        const auto it = std::lower_bound(t.progress.begin(), t.progress.end(), p - 1e-9);
        return it == t.progress.end() ? 0 : static_cast<int>(it - t.progress.begin());
    };
    for (int end = 0; end < kCylinderEnds; ++end)
        for (int kind = 0; kind < kValveEventKinds; ++kind) {
            const ValveEvent& e = t.events.event[end][kind];
            t.eventPoint[end][kind] = e.occurs ? pointAt(progressOf(e.angle)) : -1;
        }
    t.frontStart = pointAt(180); // the front end's stroke ends at driver angle 180
    t.rearStart = 0;             // the rear end's at angle 0
    return t;
}

// ---------------------------------------------------------------- flow through an opening
namespace {

// The mass flux through a nozzle of unit area from steam at p0 (specific
// volume v0, isentropic exponent k) to the pressure ratio r = p_down / p0 < 1:
// sqrt(p0 / v0) * Phi(r), with the Saint-Venant and Wantzel (1839) flow
// function
//     Phi(r) = sqrt(2 k / (k - 1) (r^(2/k) - r^((k+1)/k)))
// down to the critical ratio rc = (2 / (k + 1))^(k / (k - 1)), constant
// (choked) below it. Near r = 1 the root of the pressure difference is
// rounded off over a difference of kRoundOff of the pressure (the "regRoot" of
// the Modelica Fluid library: x / (x² + d²)^(1/4)), so that the flow has a
// slope there and the implicit step finds it; above that difference the flow
// is the function's within 1e-8.
constexpr double kRoundOff = 1e-5;

struct FlowFunction {
    double k = 1.3, a = 0, b = 0, c = 0, rc = 0, phiC = 0;
    // Series of Q(x) = (r^a - r^b) / x in x = 1 - r, for small x.
    double q0 = 0, q1 = 0, q2 = 0;
    explicit FlowFunction(double kappa) : k(kappa)
    {
        a = 2 / k;
        b = (k + 1) / k;
        c = 2 * k / (k - 1);
        rc = std::pow(2 / (k + 1), k / (k - 1));
        q0 = b - a;
        q1 = (a * (a - 1) - b * (b - 1)) / 2;
        q2 = -(a * (a - 1) * (a - 2) - b * (b - 1) * (b - 2)) / 6;
        double slope = 0;
        phiC = Unchoked(rc, slope);
    }
    // Phi and dPhi/dr above the critical ratio.
    double Unchoked(double r, double& slope) const
    {
        const double x = 1 - r;
        double q, dq; // Q and dQ/dx
        if (x < 1e-3) {
            q = q0 + x * (q1 + x * q2);
            dq = q1 + 2 * x * q2;
        } else {
            const double ra = std::pow(r, a), rb = ra * std::pow(r, b - a);
            q = (ra - rb) / x;
            dq = -((a * ra - b * rb) / r + q) / x;
        }
        const double d2 = kRoundOff * kRoundOff;
        const double s = x * x + d2;
        const double root = std::sqrt(std::sqrt(s)); // (x² + d²)^(1/4)
        const double R = x / root, dR = (x * x / 2 + d2) / (s * root);
        const double cq = std::sqrt(c * q);
        slope = -((c * dq / (2 * cq)) * R + cq * dR);
        return cq * R;
    }
    double Phi(double r, double& slope) const
    {
        if (r >= 1) {
            slope = 0;
            return 0;
        }
        if (r <= rc) {
            slope = 0;
            return phiC;
        }
        return Unchoked(r, slope);
    }
};

// A reservoir the openings lead to: the chest, the exhaust.
struct Reservoir {
    double p = 0, v = 0, h = 0;
    FlowFunction flow{1.3};
    double root = 0; // sqrt(p / v)
    Reservoir() = default;
    explicit Reservoir(const SteamState& st) : p(st.p), v(st.v), h(st.h), flow(st.kappa), root(std::sqrt(st.p / st.v))
    {}
};

// One port at a candidate pressure p of the end: the flow into the end
// (negative out of it), the enthalpy it carries, and their slopes by p.
struct PortFlow {
    double m = 0, dm = 0, h = 0, dh = 0;
};

// The steam of the end at the start of a step, as an upstream state at any
// pressure p: expanded or compressed isentropically, v = v0 (p0 / p)^(1/k),
// with h = h0 + the integral of v dp (the trapezoid).
struct Upstream {
    double p0, v0, h0, k;
    explicit Upstream(const SteamState& st) : p0(st.p), v0(st.v), h0(st.h), k(st.kappa) {}
    // The flow function of its exponent, made when steam first leaves.
    const FlowFunction& Flow() const
    {
        if (!flow) flow.emplace(k);
        return *flow;
    }

private:
    mutable std::optional<FlowFunction> flow;
};

PortFlow ThroughPort(double area, double p, const Reservoir& r, const Upstream& up)
{
    PortFlow f;
    if (area <= 0) return f;
    double slope = 0;
    if (p < r.p) { // into the end from the reservoir
        const double phi = r.flow.Phi(p / r.p, slope);
        f.m = area * r.root * phi;
        f.dm = area * r.root * slope / r.p;
        f.h = r.h;
        return f;
    }
    // Out of the end into the reservoir.
    const double v = up.v0 * std::pow(up.p0 / p, 1 / up.k);
    const double dv = -v / (up.k * p);
    const double root = std::sqrt(p / v);
    const double droot = root * (1 + 1 / up.k) / (2 * p);
    const double phi = up.Flow().Phi(r.p / p, slope);
    const double dphi = slope * (-r.p / (p * p));
    f.m = -area * root * phi;
    f.dm = -area * (droot * phi + root * dphi);
    f.h = up.h0 + (p - up.p0) * (up.v0 + v) / 2;
    f.dh = (up.v0 + v) / 2 + (p - up.p0) * dv / 2;
    return f;
}

// ---------------------------------------------------------------- the cycle of one end
struct EndRun {
    int end = 0;
    const EngineTurn* turn = nullptr;
    const EngineSetup* engine = nullptr;
    double omega = 0; // rad/s
    Reservoir chest, exhaust;
    double m = 0, U = 0; // the steam in the end
    SteamState state;
    bool failed = false;

    double Volume(int i) const
    {
        const double f = end == endFront ? turn->piston[i] : 1 - turn->piston[i];
        return engine->sweptVolume * (f + engine->clearance[end]);
    }
    double SteamArea(int i) const
    {
        const float o = turn->open[i][end == endFront ? voFrontSteam : voRearSteam];
        return engine->dischargeCoefficient * engine->steamPortLength *
               std::clamp(static_cast<double>(o) * engine->lengthUnit, 0.0, engine->portWidth[end]);
    }
    double ExhaustArea(int i) const
    {
        const float o = turn->open[i][end == endFront ? voFrontExh : voRearExh];
        return engine->dischargeCoefficient * engine->exhaustPortLength *
               std::clamp(static_cast<double>(o) * engine->lengthUnit, 0.0, engine->portWidth[end]);
    }

    // One step from point i to the next: the theta method on the flows (the
    // openings at the start, weighted 1 - theta, and at the end at the
    // pressure sought, weighted theta), the trapezoid on the piston's work,
    // solved for the end pressure by Newton's method kept within a bracket.
    // Theta is 1/2 (the trapezoid, second order) where a step changes the
    // pressure by less than twice its difference from the reservoir, and
    // 1 - 1/z above that (z: that ratio), so that a wide opening settles
    // without overshoot (backward Euler as z grows).
    bool Step(int i, int next, double dt, EndFigures& fig, double pGuess)
    {
        const double V0 = Volume(i), V1 = Volume(next);
        const double dV = V1 - V0;
        const Upstream up(state);
        const double p0 = state.p;
        const double As0 = SteamArea(i), Ae0 = ExhaustArea(i), As1 = SteamArea(next), Ae1 = ExhaustArea(next);
        // The flows at the start, through a unit of area (a flow is in
        // proportion to its area).
        const auto scaled = [](PortFlow f, double area) {
            f.m *= area;
            f.dm *= area;
            return f;
        };
        const PortFlow unitSteam = As0 > 0 || As1 > 0 ? ThroughPort(1, p0, chest, up) : PortFlow{};
        const PortFlow unitExh = Ae0 > 0 || Ae1 > 0 ? ThroughPort(1, p0, exhaust, up) : PortFlow{};
        const PortFlow steam0 = scaled(unitSteam, As0), exh0 = scaled(unitExh, Ae0);
        // The stiffness of the step: how far the flows at the end's openings
        // move the pressure in a step, per unit of the pressure moved.
        double z = 0;
        if (As1 > 0 || Ae1 > 0) {
            const auto dpdm = [&](const PortFlow& f) {
                const double h = f.h > 0 ? f.h : state.h;
                return std::abs(f.dm * (state.pv * (-V0 / (m * m)) + state.pu * (h - state.u) / m));
            };
            z = dt * (As1 * dpdm(unitSteam) + Ae1 * dpdm(unitExh));
        }
        const double theta = z <= 2 ? 0.5 : 1 - 1 / z;
        const double explicitMass = dt * (1 - theta) * (steam0.m + exh0.m);
        const double explicitEnergy = dt * (1 - theta) * (steam0.m * steam0.h + exh0.m * exh0.h);

        double lo = 0, hi = std::numeric_limits<double>::infinity();
        double p = pGuess > 0 ? pGuess : p0;
        SteamState trial = state, best = state;
        PortFlow steam, exh;
        double m1 = m, U1 = U, work = 0;
        double lastStep = std::numeric_limits<double>::infinity();
        bool ok = false;
        for (int it = 0; it < 100; ++it) {
            steam = ThroughPort(As1, p, chest, up);
            exh = ThroughPort(Ae1, p, exhaust, up);
            const double dm1 = dt * theta * (steam.dm + exh.dm);
            m1 = m + explicitMass + dt * theta * (steam.m + exh.m);
            work = (p0 + p) / 2 * dV;
            U1 = U + explicitEnergy + dt * theta * (steam.m * steam.h + exh.m * exh.h) - work;
            const double dU1 =
                dt * theta * (steam.dm * steam.h + steam.m * steam.dh + exh.dm * exh.h + exh.m * exh.dh) - dV / 2;
            if (!(m1 > 0) || !SteamFromVU(V1 / m1, U1 / m1, &best, trial)) {
                // Too much out (or an unreachable state): the pressure is lower than this.
                hi = p;
                p = lo > 0 ? (lo + hi) / 2 : p / 2;
                continue;
            }
            best = trial;
            const double G = trial.p - p;
            const double dG = trial.pv * (-V1 / (m1 * m1)) * dm1 + trial.pu * (dU1 / m1 - U1 / (m1 * m1) * dm1) - 1;
            if (G > 0)
                lo = p;
            else
                hi = p;
            if (std::abs(G) <= 1e-9 * p) {
                ok = true;
                break;
            }
            // Newton's step while it stays in the bracket and gains on the last
            // step; else halving (the flows turn round at a reservoir's pressure).
            double nextP = dG < 0 ? p - G / dG : kNaN;
            const bool slow = std::abs(nextP - p) > 0.5 * lastStep;
            if (!(nextP > lo && nextP < hi) || (slow && std::isfinite(hi) && lo > 0))
                nextP = std::isfinite(hi) ? (lo + hi) / 2 : 2 * p;
            lastStep = std::abs(nextP - p);
            if (std::abs(nextP - p) <= 1e-12 * p) {
                ok = true;
                break;
            }
            p = nextP;
        }
        if (!ok) return false;
        // The step as taken: mass and energy by the openings, work by the piston.
        const auto add = [dt](const PortFlow& f, double weight, double& massIn, double& energyIn, double& massOut,
                              double& energyOut) {
            const double mass = dt * weight * f.m;
            if (mass >= 0) {
                massIn += mass;
                energyIn += mass * f.h;
            } else {
                massOut -= mass;
                energyOut -= mass * f.h;
            }
        };
        for (const auto& [f, w] : {std::pair{steam0, 1 - theta}, std::pair{steam, theta}})
            add(f, w, fig.massIn, fig.energyIn, fig.massBack, fig.energyBack);
        for (const auto& [f, w] : {std::pair{exh0, 1 - theta}, std::pair{exh, theta}})
            add(f, w, fig.massDrawn, fig.energyDrawn, fig.massOut, fig.energyOut);
        fig.work += work;
        m = m1;
        U = U1;
        state = best;
        return true;
    }

    // The end's start: the steam in it; false (nothing changed) for a state
    // that is none.
    using Start = std::array<double, 2>;
    Start StartNow() const { return {m, U}; }
    bool SetStart(const Start& x)
    {
        const double V = Volume(end == endFront ? turn->frontStart : turn->rearStart);
        SteamState st;
        if (!(x[0] > 0) || !SteamFromVU(V / x[0], x[1] / x[0], &state, st)) return false;
        m = x[0];
        U = x[1];
        state = st;
        return true;
    }

    // One revolution from the end's start; the loop into `fig`.
    bool Revolution(EndFigures& fig)
    {
        const EngineTurn& t = *turn;
        const int n = static_cast<int>(t.progress.size());
        const int start = end == endFront ? t.frontStart : t.rearStart;
        fig = EndFigures{};
        fig.startMass = m;
        fig.startEnergy = U;
        fig.volume.assign(n, 0);
        fig.pressure.assign(n, 0);
        const double m0 = m, U0 = U;
        double pPrev = state.p, dtPrev = 0;
        for (int k = 0; k < n; ++k) {
            const int i = (start + k) % n, next = (i + 1) % n;
            fig.volume[i] = Volume(i);
            fig.pressure[i] = state.p;
            double turned = t.progress[next] - t.progress[i];
            if (turned <= 0) turned += 360;
            const double dt = turned * kPiD / 180 / omega;
            // The pressure found for the last step, carried on.
            const double guess = dtPrev > 0 ? state.p + (state.p - pPrev) * dt / dtPrev : state.p;
            pPrev = state.p;
            dtPrev = dt;
            if (!Step(i, next, dt, fig, guess > 0 ? guess : state.p)) return false;
        }
        fig.massChange = m - m0;
        fig.energyChange = U - U0;
        fig.mep = fig.work / engine->sweptVolume;
        return true;
    }
};

// The figures the loop's events give: pressures at cut-off and release, the
// highest from compression to admission.
void EventFigures(const EngineTurn& t, int end, EndFigures& f, bool keepEvents)
{
    const int n = static_cast<int>(t.progress.size());
    for (int kind = 0; kind < kValveEventKinds; ++kind) {
        const int i = t.eventPoint[end][kind];
        LoopEvent& e = f.event[kind];
        if (!keepEvents) e = LoopEvent{};
        e.occurs = i >= 0;
        e.point = i;
        if (i < 0) continue;
        e.volume = f.volume[i];
        e.pressure = f.pressure[i];
        if (!keepEvents) e.pressureBefore = e.pressure;
    }
    const LoopEvent &cut = f.event[veCutOff], &rel = f.event[veRelease];
    const LoopEvent &cmp = f.event[veCompression], &adm = f.event[veAdmission];
    f.cutOffPressure = cut.occurs ? cut.pressure : kNaN;
    f.releasePressure = rel.occurs ? rel.pressureBefore : kNaN;
    f.compressionPeak = kNaN;
    if (cmp.occurs && adm.occurs) {
        double peak = 0;
        for (int i = cmp.point;; i = (i + 1) % n) {
            peak = std::max(peak, i == adm.point ? adm.pressureBefore : f.pressure[i]);
            if (i == adm.point) break;
        }
        f.compressionPeak = peak;
    }
}

// ---------------------------------------------------------------- the ideal diagram
// Ports without resistance: the chest pressure from admission to cut-off,
// p V^n = const to release, the back pressure from release to compression,
// p V^n = const to admission. Each step's work is the exact integral of its
// piece of the law.
bool IdealEnd(const EngineTurn& t, const EngineSetup& e, int end, double n, EndFigures& f)
{
    const int points = static_cast<int>(t.progress.size());
    for (int kind = 0; kind < kValveEventKinds; ++kind)
        if (t.eventPoint[end][kind] < 0) return false;
    f = EndFigures{};
    f.volume.resize(points);
    f.pressure.resize(points);
    const double pc = e.chest.p, pb = e.backPressure;
    for (int i = 0; i < points; ++i) {
        const double x = end == endFront ? t.piston[i] : 1 - t.piston[i];
        f.volume[i] = e.sweptVolume * (x + e.clearance[end]);
    }
    const auto volumeAt = [&](int kind) { return f.volume[t.eventPoint[end][kind]]; };
    const double Vco = volumeAt(veCutOff), Vcmp = volumeAt(veCompression);
    // The law a piece follows: a constant pressure, or p V^n through a point.
    struct Law {
        double p, V;
        bool polytropic;
        double At(double v, double n) const { return polytropic ? p * std::pow(V / v, n) : p; }
        double Work(double v0, double v1, double n) const
        {
            if (!polytropic) return p * (v1 - v0);
            const double K = p * std::pow(V, n);
            return n == 1 ? K * std::log(v1 / v0) : K * (std::pow(v1, 1 - n) - std::pow(v0, 1 - n)) / (1 - n);
        }
    };
    const Law laws[kValveEventKinds] = {{pc, 0, false}, {pc, Vco, true}, {pb, 0, false}, {pb, Vcmp, true}};
    // The law at each point: the last event at or before it.
    std::vector<int> lawOf(points, -1);
    int last = -1;
    for (int pass = 0; pass < 2; ++pass)
        for (int i = 0; i < points; ++i) {
            for (int kind = 0; kind < kValveEventKinds; ++kind)
                if (t.eventPoint[end][kind] == i) last = kind;
            if (pass == 1) lawOf[i] = last;
        }
    for (int i = 0; i < points; ++i) {
        const int next = (i + 1) % points;
        f.pressure[i] = laws[lawOf[i]].At(f.volume[i], n);
        f.work += laws[lawOf[i]].Work(f.volume[i], f.volume[next], n);
    }
    EventFigures(t, end, f, false);
    // The jumps (at release from the expansion to the back pressure, at
    // admission from the compression to the chest pressure): each event's
    // point on the law before it too.
    for (LoopEvent& ev : f.event) ev.pressureBefore = laws[lawOf[(ev.point + points - 1) % points]].At(ev.volume, n);
    EventFigures(t, end, f, true);
    f.mep = f.work / e.sweptVolume;
    // The steam: the chest's density at cut-off less what compression kept,
    // at the density the same law gives it at the back pressure.
    const double rho = 1 / e.chest.v;
    f.massIn = rho * (Vco - Vcmp * std::pow(pb / pc, 1 / n));
    f.massOut = f.massIn;
    return true;
}

void Totals(const EngineTurn& t, const EngineSetup& e, PointResult& r)
{
    const EndFigures &front = r.end[endFront], &rear = r.end[endRear];
    r.mepFront = front.mep;
    r.mepRear = rear.mep;
    r.mep = (front.mep + rear.mep) / 2;
    const double work = e.cylinders * (front.work + rear.work); // J a revolution
    r.power = work * r.rpm / 60;
    r.tractiveEffort = work / (kPiD * e.wheel);
    r.pistonSpeed = 2 * e.stroke * r.rpm / 60;
    r.steamPerRevolution = e.cylinders * (front.massIn - front.massBack + rear.massIn - rear.massBack);
    r.steamPerHour = r.steamPerRevolution * r.rpm * 60;
    r.steamRate = r.power > 0 ? r.steamPerHour / 3600 / r.power : kNaN;
    const ValveEvent &cf = t.events.event[endFront][veCutOff], &cr = t.events.event[endRear][veCutOff];
    r.cutOff = cf.occurs && cr.occurs ? (static_cast<double>(cf.percent) + cr.percent) / 2 : kNaN;
    r.cutOffPressureRatio = (front.cutOffPressure + rear.cutOffPressure) / 2 / e.chest.p;
    r.releasePressure = (front.releasePressure + rear.releasePressure) / 2;
    r.compressionPeak = std::max(front.compressionPeak, rear.compressionPeak);
    if (std::isnan(front.compressionPeak) || std::isnan(rear.compressionPeak)) r.compressionPeak = kNaN;
    r.compressionAboveChest = front.compressionPeak > e.chest.p || rear.compressionPeak > e.chest.p;
}

// Anderson's mixing of depth 2 for a map g(x) of two values: the next x from
// the last three pairs, in values relative to the first g.
class AndersonMixing {
public:
    using V = std::array<double, 2>;
    V Next(const V& x, const V& g)
    {
        if (history_.empty())
            for (int k = 0; k < 2; ++k) scale_[k] = std::abs(g[k]) > 0 ? std::abs(g[k]) : 1;
        const V& scale = scale_;
        V f{}, gs{};
        for (int k = 0; k < 2; ++k) {
            f[k] = (g[k] - x[k]) / scale[k];
            gs[k] = g[k] / scale[k];
        }
        const auto norm = [](const V& a) { return std::sqrt(a[0] * a[0] + a[1] * a[1]); };
        // A revolution that left its start farther from a fixed point than
        // the last one did starts the mixing afresh.
        if (!history_.empty() && norm(f) > norm(history_.back().f)) history_.clear();
        history_.push_back({f, gs});
        if (history_.size() > 3) history_.erase(history_.begin());
        const int depth = static_cast<int>(history_.size()) - 1;
        if (depth == 0) return g;
        // Least squares: min |f - dF c| over the differences of the last pairs.
        std::array<V, 2> dF{}, dG{};
        for (int j = 0; j < depth; ++j)
            for (int k = 0; k < 2; ++k) {
                dF[j][k] = history_[j + 1].f[k] - history_[j].f[k];
                dG[j][k] = history_[j + 1].g[k] - history_[j].g[k];
            }
        const auto dot = [](const V& a, const V& b) { return a[0] * b[0] + a[1] * b[1]; };
        double c[2] = {0, 0};
        if (depth == 1) {
            const double a = dot(dF[0], dF[0]);
            if (!(a > 0)) return g;
            c[0] = dot(dF[0], f) / a;
        } else {
            const double a = dot(dF[0], dF[0]), b = dot(dF[0], dF[1]), d = dot(dF[1], dF[1]);
            const double r0 = dot(dF[0], f), r1 = dot(dF[1], f);
            const double det = a * d - b * b;
            if (!(std::abs(det) > 1e-14 * a * d)) {
                history_.erase(history_.begin()); // the older pair adds nothing
                return g;
            }
            c[0] = (d * r0 - b * r1) / det;
            c[1] = (a * r1 - b * r0) / det;
        }
        V next = g, jump{};
        for (int k = 0; k < 2; ++k) {
            double v = gs[k];
            for (int j = 0; j < depth; ++j) v -= c[j] * dG[j][k];
            next[k] = v * scale[k];
            jump[k] = v - gs[k];
        }
        // A jump far beyond the revolution's own step is no extrapolation to trust.
        if (norm(jump) > 10 * norm(f)) {
            history_.clear();
            return g;
        }
        return next;
    }

private:
    struct Pair {
        V f, g;
    };
    std::vector<Pair> history_;
    V scale_{};
};

} // namespace

PointResult RunEnginePoint(const EngineTurn& turn, const EngineSetup& engine, double rpm, const PointOptions& options)
{
    PointResult r;
    r.ideal = options.ideal;
    r.notch = turn.notch;
    r.running = turn.running;
    r.rpm = rpm;
    if (!engine.problem.empty()) {
        r.problem = engine.problem;
        return r;
    }
    if (turn.clamped) {
        r.problem = "the gear cannot be assembled at this notch";
        return r;
    }
    if (!(rpm > 0) || !std::isfinite(rpm)) {
        r.problem = "the speed must be above 0";
        return r;
    }
    if (options.ideal) {
        if (!(options.n > 0) || !std::isfinite(options.n)) {
            r.problem = "the exponent n must be above 0";
            return r;
        }
        for (int end = 0; end < kCylinderEnds; ++end)
            if (!IdealEnd(turn, engine, end, options.n, r.end[end])) {
                r.problem = "the ideal diagram needs admission, cut-off, release and compression at both ends";
                return r;
            }
        r.revolutions = 1;
        r.converged = true;
        r.ok = true;
        Totals(turn, engine, r);
        return r;
    }

    // Each end starts at the dead centre where its stroke ends, full of steam
    // at the back pressure with the chest steam's enthalpy (throttled); the
    // exhaust passage holds that steam too, and steam drawn back from it is
    // that steam (the work the exhausted steam did is not taken from it).
    std::array<EndRun, kCylinderEnds> runs;
    const SteamState start = SteamAtPH(engine.backPressure, engine.chest.h);
    for (int end = 0; end < kCylinderEnds; ++end) {
        EndRun& e = runs[end];
        e.end = end;
        e.turn = &turn;
        e.engine = &engine;
        e.omega = rpm * 2 * kPiD / 60;
        e.chest = Reservoir(engine.chest);
        e.exhaust = Reservoir(start);
        e.state = start;
        e.m = e.Volume(end == endFront ? turn.frontStart : turn.rearStart) / start.v;
        e.U = e.m * start.u;
        const PointResult* from = options.from;
        if (from && from->ok && !from->ideal) {
            const EndFigures& f = from->end[end];
            e.SetStart({f.startMass, f.startEnergy});
        }
    }
    // Revolution after revolution, each end's start accelerated towards the
    // state a revolution gives back unchanged (Anderson's mixing of the last
    // revolutions: D. G. Anderson, J. ACM 12 (1965) 547; the form of H. F.
    // Walker and P. Ni, SIAM J. Numer. Anal. 49 (2011) 1715), since at short
    // cut-offs the steam kept in the clearance changes only a little in a
    // revolution. Converged when the mean effective pressure changes by less
    // than the tolerance (of itself, or of 1 % of the chest pressure when it is
    // smaller) and each end's start by less than the tolerance.
    std::array<AndersonMixing, kCylinderEnds> mixing;
    double lastMep = kNaN;
    const double mepFloor = 0.01 * engine.chest.p;
    for (int rev = 1; rev <= options.maxRevolutions; ++rev) {
        double change = 0;
        for (int end = 0; end < kCylinderEnds; ++end) {
            EndRun& e = runs[end];
            const EndRun::Start x = e.StartNow();
            if (!e.Revolution(r.end[end])) {
                r.problem = "the cycle found no state of the steam in the cylinder";
                return r;
            }
            const EndRun::Start g = e.StartNow();
            for (int k = 0; k < 2; ++k) change = std::max(change, std::abs(g[k] - x[k]) / std::abs(g[k]));
            EndRun::Start next = mixing[end].Next(x, g);
            if (next != g && !e.SetStart(next)) {
                mixing[end] = AndersonMixing{};
                e.SetStart(g);
            }
        }
        r.revolutions = rev;
        const double mep = (r.end[0].mep + r.end[1].mep) / 2;
        if (std::abs(mep - lastMep) <= options.tolerance * std::max(std::abs(mep), mepFloor) &&
            change <= options.tolerance) {
            r.converged = true;
            break;
        }
        lastMep = mep;
    }
    for (int end = 0; end < kCylinderEnds; ++end) EventFigures(turn, end, r.end[end], false);
    r.ok = true;
    Totals(turn, engine, r);
    return r;
}

std::vector<PointResult> RunPerformanceMap(const Gear& design, const EngineSetup& engine, const MapRequest& request,
                                           MapControl* control, ThreadPool& pool)
{
    struct Row {
        Running running;
        int notch;
    };
    std::vector<Row> rows;
    for (Running d : request.directions)
        for (int notch : request.notches) rows.push_back({d, notch});
    const size_t speeds = request.rpms.size();
    std::vector<PointResult> out(rows.size() * speeds);
    if (control) control->total = static_cast<int>(out.size());
    // Each row's turn once, then its speeds, one task a row.
    pool.ParallelFor(rows.size(), [&](size_t i) {
        const auto stopped = [control] { return control && control->stop.load(); };
        const EngineTurn turn =
            stopped() ? EngineTurn{} : SolveEngineTurn(design, rows[i].notch, rows[i].running, request.steps);
        for (size_t k = 0; k < speeds; ++k) {
            PointResult& r = out[i * speeds + k];
            if (stopped()) {
                r.problem = "stopped";
                r.notch = rows[i].notch;
                r.running = rows[i].running;
                r.rpm = request.rpms[k];
                continue;
            }
            PointOptions options = request.options;
            if (k > 0 && out[i * speeds + k - 1].ok) options.from = &out[i * speeds + k - 1];
            r = RunEnginePoint(turn, engine, request.rpms[k], options);
            if (control) ++control->done;
        }
    });
    return out;
}

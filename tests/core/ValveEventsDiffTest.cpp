// The fast events finder against the reference copy of the finder as it was:
// bit for bit on every field, byte for byte on the text, on designs chosen to
// reach every path (clamps, missing, repeated and seam events, the first
// solve's own PointY[3] and PointY[4], the other rocker branch, NaN).
#include "ValveEventsReference.h"
#include "analysis/ValveEventsTable.h"
#include "analysis/ValveSolve.h"
#include "files/TextTable.h"
#include "model/Model.h"

#include "DiagramTestUtil.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <random>

namespace {

bool SameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// The first field in which two measurements differ, or "".
std::string Difference(const NotchEvents& a, const NotchEvents& b)
{
    const std::pair<const char*, std::pair<float, float>> floats[] = {
        {"revArmPos", {a.revArmPos, b.revArmPos}},
        {"leadFront", {a.leadFront, b.leadFront}},
        {"leadRear", {a.leadRear, b.leadRear}},
        {"maxFront", {a.maxSteamOpenFront, b.maxSteamOpenFront}},
        {"maxRear", {a.maxSteamOpenRear, b.maxSteamOpenRear}},
        {"travel", {a.valveTravel, b.valveTravel}}};
    for (const auto& [name, v] : floats)
        if (!SameBits(v.first, v.second)) return name;
    if (a.running != b.running || a.repeated != b.repeated || a.clamped != b.clamped) return "flags";
    for (size_t end = 0; end < kCylinderEnds; ++end)
        for (size_t kind = 0; kind < kValveEventKinds; ++kind) {
            const ValveEvent &x = a.event[end][kind], &y = b.event[end][kind];
            if (x.occurs != y.occurs || !SameBits(x.angle, y.angle) || !SameBits(x.percent, y.percent))
                return "event " + std::to_string(end) + "," + std::to_string(kind);
        }
    return "";
}

using Rows = std::vector<ValveEventsRow>;
bool AnyEvent(const Rows& rows, const std::function<bool(const ValveEvent&)>& f)
{
    for (const ValveEventsRow& r : rows)
        for (const auto& end : r.events.event)
            for (const ValveEvent& e : end)
                if (e.occurs && f(e)) return true;
    return false;
}
bool AnyRow(const Rows& rows, const std::function<bool(const NotchEvents&)>& f)
{
    for (const ValveEventsRow& r : rows)
        if (f(r.events)) return true;
    return false;
}

struct DesignCase {
    const char* name;
    std::function<void(Gear&)> change;        // then mid gear recomputed (which solves)
    std::function<bool(const Rows&)> reaches; // what the case is there for, on the reference table
    bool afterCentre = false;                 // change after mid gear is recomputed
};

const Gear& Default()
{
    static const Gear g = StartedState().gear;
    return g;
}

// The front lead at mid gear brought to `lead` by the front valve lap: the
// front admission falls just before (lead > 0) or after angle 0 forward.
void FrontLeadTo(Gear& g, float lead) { g.Cyl(ciValveLengthFrontHalf) += ReferenceMidGearLeads(g).leadFront - lead; }

const DesignCase kCases[] = {
    {"built-in", [](Gear&) {}, [](const Rows& r) { return !AnyRow(r, [](auto& e) { return e.clamped; }); }},
    {"asymmetric ends",
     [](Gear& g) {
         g.Cyl(ciValveLengthFrontHalf) += 0.02f;
         g.Cyl(ciValveExhCavityRearHalf) -= 0.03f;
         g.Cyl(ciSteamPortWidthRear) *= 1.2f;
     },
     [](const Rows& r) { return r[13].events.leadFront != r[13].events.leadRear; }},
    {"front never takes steam", [](Gear& g) { g.Cyl(ciValveLengthFrontHalf) += 0.6f; },
     [](const Rows& r) { return !r[0].events.event[endFront][veAdmission].occurs; }},
    {"double hump: repeated",
     [](Gear& g) {
         g.EccCircleDiam = 3.44f, g.RockerUpperHorz = 1.29f, g.EccStrapHorz = 0.365f, g.EccRodLength = 8.6f;
         g.Cyl(ciValveLengthRearHalf) = 2.4635f;
     },
     [](const Rows& r) { return AnyRow(r, [](auto& e) { return e.repeated; }); }},
    {"admission just before 0", [](Gear& g) { FrontLeadTo(g, 0.0004f); },
     [](const Rows& r) { return AnyEvent(r, [](auto& e) { return e.angle > 359; }); }},
    {"admission just after 0", [](Gear& g) { FrontLeadTo(g, -0.0004f); },
     [](const Rows& r) { return AnyEvent(r, [](auto& e) { return e.angle < 1; }); }},
    {"clamps every solve", [](Gear& g) { g.RevHeadArmLower = 0; },
     [](const Rows& r) { return !AnyRow(r, [](auto& e) { return !e.clamped; }); }},
    {"clamps in the outer notches", [](Gear& g) { g.RevArmMax *= 3; },
     [](const Rows& r) {
         return AnyRow(r, [](auto& e) { return e.clamped; }) && AnyRow(r, [](auto& e) { return !e.clamped; });
     }},
    {"main rod shorter than the crank", [](Gear& g) { g.MainRodLength = g.Stroke / 3; },
     [](const Rows& r) { return r[0].events.clamped; }},
    {"first solve off the centre lines",
     [](Gear& g) {
         g.PointY[3] = 1e3f; // the crosshead clamps in the first solve only
         g.PointY[4] = 0.5f;
     },
     [](const Rows& r) { return r[0].events.clamped; }, true},
    {"rocker upper arm below", [](Gear& g) { g.RockerUpperVert = -g.RockerUpperVert; }, nullptr},
    {"NaN rod", [](Gear& g) { g.EccRodLength = NAN; }, nullptr},
};

Gear CaseDesign(const DesignCase& c)
{
    Gear g = Default();
    if (!c.afterCentre) c.change(g);
    RecomputeRevArmCentre(g);
    if (c.afterCentre) c.change(g);
    return g;
}

std::vector<std::pair<std::string, Gear>> Designs()
{
    std::vector<std::pair<std::string, Gear>> out;
    for (const DesignCase& c : kCases) out.emplace_back(c.name, CaseDesign(c));
    // Random designs near the built-in one: every dimension within +-3 %.
    std::mt19937 rng(20240611);
    std::uniform_real_distribution<float> factor(0.97f, 1.03f);
    for (int n = 0; n < 10; ++n) {
        Gear g = Default();
        for (int code = 1; code <= 122; ++code)
            if (DimensionField(g, code) && code != 21 && code != 22)
                SetDimension(g, code, GetDimension(g, code) * factor(rng));
        RecomputeRevArmCentre(g);
        out.emplace_back("random " + std::to_string(n), g);
    }
    return out;
}

} // namespace

TEST(ValveEventsDiff, CasesReachWhatTheyAreFor)
{
    for (const DesignCase& c : kCases)
        if (c.reaches) {
            EXPECT_TRUE(c.reaches(ReferenceBuildValveEventsTable(CaseDesign(c)))) << c.name;
        }
}

TEST(ValveEventsDiff, TableAndTextBitIdenticalToTheReference)
{
    for (const auto& [name, g] : Designs()) {
        const Rows ref = ReferenceBuildValveEventsTable(g);
        for (ThreadPool* pool : {&ThreadPool::Shared(), &ThreadPool::Serial()}) {
            const Rows rows = BuildValveEventsTable(g, *pool);
            ASSERT_EQ(rows.size(), ref.size()) << name;
            for (size_t i = 0; i < rows.size(); ++i) {
                EXPECT_EQ(rows[i].notch, ref[i].notch) << name << " row " << i;
                EXPECT_EQ(Difference(rows[i].events, ref[i].events), "") << name << " row " << i;
            }
            EXPECT_EQ(CsvText(ValveEventsText(rows)), CsvText(ValveEventsText(ref))) << name;
        }
    }
}

TEST(ValveEventsDiff, EveryPartMeasuredAloneBitIdentical)
{
    const unsigned parts[] = {0u,   nmLeads, nmEvents, nmExtremes, nmCutOffs, nmLeads | nmCutOffs, nmEvents | nmCutOffs,
                              nmAll};
    for (const auto& [name, g] : Designs()) {
        EXPECT_EQ(Difference(MidGearLeads(g), ReferenceMidGearLeads(g)), "") << name;
        for (Running running : {Running::Forward, Running::Reverse})
            for (float pos : {NormalNotchPosition(g, running), NotchPosition(g, 18, running), 0.0f})
                for (unsigned what : parts)
                    EXPECT_EQ(
                        Difference(MeasureNotch(g, pos, running, what), ReferenceMeasureNotch(g, pos, running, what)),
                        "")
                        << name << " at " << pos << " part " << what;
    }
}

// One solve against SolveLinkage + ComputePistonAndOpenings, at whole and odd
// angles, clamps included; the first solve with the design's PointY[3], [4].
TEST(ValveEventsDiff, SolveBitIdenticalToTheFullSolve)
{
    std::mt19937 rng(7);
    std::uniform_real_distribution<float> angle(-30.0f, 400.0f);
    for (const auto& [name, design] : Designs()) {
        for (int n = 0; n < 60; ++n) {
            const float a = n < 10 ? float(n * 36) : angle(rng);
            const float pos = NotchPosition(design, n % 19, n % 2 ? Running::Forward : Running::Reverse);
            Gear g = design;
            g.RevArmPos = pos;
            g.DriverAngle = a;
            g.ErrorBeepOn = true;
            g.SolveError = false;
            ValveSolver s(design, pos);
            // The first solve, then a second at the same angle (PointY[3], [4] now 0).
            for (const ValveSample& v : {s.FirstSolve(a), s.Solve(a)}) {
                SolveLinkage(g);
                ComputePistonAndOpenings(g);
                const float full[] = {g.PistonPx,      g.FrontSteamOpen, g.FrontExhOpen,
                                      g.RearSteamOpen, g.RearExhOpen,    g.ValveCen};
                const float fast[] = {v.piston, v.open[0], v.open[1], v.open[2], v.open[3], v.valveCen};
                for (size_t i = 0; i < 6; ++i)
                    EXPECT_TRUE(SameBits(full[i], fast[i])) << name << " at " << a << " value " << i;
                EXPECT_EQ(s.Clamped(), g.SolveError) << name << " at " << a;
            }
        }
        // The whole degrees kept for the turn are CrankAt's.
        const ValveSolver s(design, design.RevArmCentre());
        const auto& turn = TurnCrankTerms(s);
        for (int k = 0; k < kWholeDegrees; k += 7) {
            const CrankTerms t = s.CrankAt(float(k));
            EXPECT_TRUE(SameBits(turn[size_t(k)].x5, t.x5) && SameBits(turn[size_t(k)].piston, t.piston)) << name;
        }
    }
}

// The fast events finder against the reference copy of the finder as it was:
// bit for bit on every field, byte for byte on the text, on designs chosen to
// reach every path (clamps, missing, repeated and seam events, the first
// solve's own PointY[3] and PointY[4], the other rocker branch, NaN), and on
// families of designs near those whose rows clamp in part of the turn: clamps
// in some notches of one direction only, events within a degree of where a
// clamp starts or ends, events that repeat in rows that clamp.
#include "ValveEventsReference.h"
#include "analysis/ValveEventsTable.h"
#include "analysis/ValveSolve.h"
#include "files/TextTable.h"
#include "model/Model.h"

#include "DiagramTestUtil.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdio>
#include <functional>
#include <random>

namespace {

// Every field, floats as their bits: equal strings are bit-identical measurements.
std::string Bits(const NotchEvents& e)
{
    std::string s;
    const auto add = [&s](float f) {
        char b[12];
        std::snprintf(b, sizeof b, "%08x ", std::bit_cast<uint32_t>(f));
        s += b;
    };
    for (float f : {e.revArmPos, e.leadFront, e.leadRear, e.maxSteamOpenFront, e.maxSteamOpenRear, e.valveTravel})
        add(f);
    for (const auto& end : e.event)
        for (const ValveEvent& v : end) {
            s += v.occurs ? "event " : "none ";
            add(v.angle);
            add(v.percent);
        }
    return s + (e.running == Running::Forward ? "F" : "R") + (e.repeated ? " repeated" : "") +
           (e.clamped ? " clamped" : "");
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

using Reaches = std::function<bool(const Gear&, const Rows&)>;

struct DesignCase {
    const char* name;
    std::function<void(Gear&)> change; // then mid gear recomputed (which solves)
    Reaches reaches;                   // what the case is there for, on the reference table
    bool afterCentre = false;          // change after mid gear is recomputed
};

const Gear& Default()
{
    static const Gear g = StartedState().gear;
    return g;
}

// The front lead at mid gear brought to `lead` by the front valve lap: the
// front admission falls just before (lead > 0) or after angle 0 forward.
void FrontLeadTo(Gear& g, float lead) { g.Cyl(ciValveLengthFrontHalf) += ReferenceMidGearLeads(g).leadFront - lead; }

// The whole degrees of a row's turn where the full solve clamps.
std::vector<bool> ClampedDegrees(const Gear& design, float revArmPos)
{
    std::vector<bool> clamped(360);
    for (int a = 0; a < 360; ++a) {
        Gear g = design;
        g.RevArmPos = revArmPos;
        g.DriverAngle = static_cast<float>(a);
        g.ErrorBeepOn = true;
        g.SolveError = false;
        SolveLinkage(g);
        ComputePistonAndOpenings(g);
        clamped[static_cast<size_t>(a)] = g.SolveError;
    }
    return clamped;
}

// Some row clamps in part of its turn only, and one of its events lies within
// a degree of a whole degree where the clamping starts or ends.
bool EventNearAClamp(const Gear& g, const Rows& rows)
{
    for (const ValveEventsRow& r : rows) {
        if (!r.events.clamped) continue;
        const std::vector<bool> c = ClampedDegrees(g, r.events.revArmPos);
        for (const auto& end : r.events.event)
            for (const ValveEvent& e : end) {
                if (!e.occurs) continue;
                const int at = static_cast<int>(std::floor(e.angle));
                for (int d = -1; d <= 1; ++d) {
                    const int a = (at + d + 360) % 360;
                    if (c[static_cast<size_t>(a)] != c[static_cast<size_t>((a + 1) % 360)]) return true;
                }
            }
    }
    return false;
}

int ClampedRows(const Rows& rows, Running running)
{
    int n = 0;
    for (const ValveEventsRow& r : rows) n += r.events.running == running && r.events.clamped;
    return n;
}

// Some reverse rows clamp, not all of them, and no forward row.
bool ClampsInSomeReverseNotches(const Gear&, const Rows& r)
{
    const int reverse = ClampedRows(r, Running::Reverse);
    return ClampedRows(r, Running::Forward) == 0 && reverse > 0 && reverse < kGraphNotches + 1;
}

bool RepeatsWhereItClamps(const Gear&, const Rows& rows)
{
    return AnyRow(rows, [](auto& e) { return e.repeated && e.clamped; });
}

// The reverse head pivot lowered: the outer reverse notches out of the arm's reach.
void LowReverseHead(Gear& g)
{
    SetDimension(g, 13, 3.2f);
    g.RevArmMax *= 1.31f;
}

// Two humps in the valve's travel (the "double hump" case) with the rocker's
// upper arm longer: rows that repeat events and clamp.
void DoubleHump(Gear& g)
{
    g.EccCircleDiam = 3.44f, g.RockerUpperHorz = 1.29f, g.EccStrapHorz = 0.365f, g.EccRodLength = 8.6f;
    g.Cyl(ciValveLengthRearHalf) = 2.4635f;
}
void ClampingDoubleHump(Gear& g)
{
    DoubleHump(g);
    g.RockerUpperHorz *= 1.43f;
    g.RevArmMax *= 1.26f;
}

const DesignCase kCases[] = {
    {"built-in", [](Gear&) {},
     [](const Gear&, const Rows& r) { return !AnyRow(r, [](auto& e) { return e.clamped; }); }},
    {"asymmetric ends",
     [](Gear& g) {
         g.Cyl(ciValveLengthFrontHalf) += 0.02f;
         g.Cyl(ciValveExhCavityRearHalf) -= 0.03f;
         g.Cyl(ciSteamPortWidthRear) *= 1.2f;
     },
     [](const Gear&, const Rows& r) { return r[13].events.leadFront != r[13].events.leadRear; }},
    {"front never takes steam", [](Gear& g) { g.Cyl(ciValveLengthFrontHalf) += 0.6f; },
     [](const Gear&, const Rows& r) { return !r[0].events.event[endFront][veAdmission].occurs; }},
    {"double hump: repeated", DoubleHump,
     [](const Gear&, const Rows& r) { return AnyRow(r, [](auto& e) { return e.repeated; }); }},
    {"admission just before 0", [](Gear& g) { FrontLeadTo(g, 0.0004f); },
     [](const Gear&, const Rows& r) { return AnyEvent(r, [](auto& e) { return e.angle > 359; }); }},
    {"admission just after 0", [](Gear& g) { FrontLeadTo(g, -0.0004f); },
     [](const Gear&, const Rows& r) { return AnyEvent(r, [](auto& e) { return e.angle < 1; }); }},
    {"clamps every solve", [](Gear& g) { g.RevHeadArmLower = 0; },
     [](const Gear&, const Rows& r) { return !AnyRow(r, [](auto& e) { return !e.clamped; }); }},
    {"clamps in the outer notches", [](Gear& g) { g.RevArmMax *= 3; },
     [](const Gear&, const Rows& r) {
         return AnyRow(r, [](auto& e) { return e.clamped; }) && AnyRow(r, [](auto& e) { return !e.clamped; });
     }},
    {"clamps in some reverse notches, events near a clamp", LowReverseHead,
     [](const Gear& g, const Rows& r) { return ClampsInSomeReverseNotches(g, r) && EventNearAClamp(g, r); }},
    {"repeats where it clamps", ClampingDoubleHump, RepeatsWhereItClamps},
    {"main rod shorter than the crank", [](Gear& g) { g.MainRodLength = g.Stroke / 3; },
     [](const Gear&, const Rows& r) { return r[0].events.clamped; }},
    {"first solve off the centre lines",
     [](Gear& g) {
         g.PointY[3] = 1e3f; // the crosshead clamps in the first solve only
         g.PointY[4] = 0.5f;
     },
     [](const Gear&, const Rows& r) { return r[0].events.clamped; }, true},
    {"eccentric set at an angle", [](Gear& g) { g.EccAngleDeg = 4; }, nullptr},
    {"the other rocker branch", [](Gear& g) { g.RockerUpperVert = -g.RockerUpperVert; }, nullptr},
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

struct Design {
    std::string name;
    Gear gear;
    Reaches reaches;
};

std::vector<Design> Designs()
{
    std::vector<Design> out;
    for (const DesignCase& c : kCases) out.push_back({c.name, CaseDesign(c), c.reaches});
    // Random designs near the built-in one: every dimension within +-3 %.
    std::mt19937 rng(20240611);
    std::uniform_real_distribution<float> factor(0.97f, 1.03f);
    for (int n = 0; n < 10; ++n) {
        Gear g = Default();
        for (int code = 1; code <= 122; ++code)
            if (DimensionField(g, code) && code != 21 && code != 22)
                SetDimension(g, code, GetDimension(g, code) * factor(rng));
        RecomputeRevArmCentre(g);
        out.push_back({"random " + std::to_string(n), g, nullptr});
    }
    // Families near the designs that clamp in part of some rows: the reverse
    // head and the rocker within +-2 %, the reverse arm's travel within +-2 %;
    // each keeps what its family is there for.
    const struct {
        const char* name;
        void (*change)(Gear&);
        Reaches reaches;
    } families[] = {
        {"near clamps in some reverse notches", LowReverseHead, ClampsInSomeReverseNotches},
        {"near events close to a clamp", LowReverseHead, EventNearAClamp},
        {"near repeats where it clamps", ClampingDoubleHump, RepeatsWhereItClamps},
    };
    std::uniform_real_distribution<float> near(0.98f, 1.02f);
    for (const auto& f : families)
        for (int n = 0; n < 4; ++n) {
            Gear g = Default();
            f.change(g);
            for (int code : {11, 12, 15, 16, 17, 22}) SetDimension(g, code, GetDimension(g, code) * near(rng));
            RecomputeRevArmCentre(g);
            out.push_back({std::string(f.name) + " " + std::to_string(n), g, f.reaches});
        }
    return out;
}

} // namespace

// Each design case also reaches what it is there for (on the reference table).
TEST(ValveEventsDiff, TableAndTextBitIdenticalToTheReference)
{
    for (const auto& [name, g, reaches] : Designs()) {
        const Rows ref = ReferenceBuildValveEventsTable(g);
        EXPECT_TRUE(!reaches || reaches(g, ref)) << name;
        for (ThreadPool* pool : {&ThreadPool::Shared(), &ThreadPool::Serial()}) {
            const Rows rows = BuildValveEventsTable(g, *pool);
            ASSERT_EQ(rows.size(), ref.size()) << name;
            for (size_t i = 0; i < rows.size(); ++i) {
                EXPECT_EQ(rows[i].notch, ref[i].notch) << name << " row " << i;
                EXPECT_EQ(Bits(rows[i].events), Bits(ref[i].events)) << name << " row " << i;
            }
            EXPECT_EQ(CsvText(ValveEventsText(rows)), CsvText(ValveEventsText(ref))) << name;
        }
    }
}

TEST(ValveEventsDiff, EveryPartMeasuredAloneBitIdentical)
{
    const unsigned parts[] = {0u,   nmLeads, nmEvents, nmExtremes, nmCutOffs, nmLeads | nmCutOffs, nmEvents | nmCutOffs,
                              nmAll};
    for (const auto& [name, g, reaches] : Designs()) {
        EXPECT_EQ(Bits(MidGearLeads(g)), Bits(ReferenceMidGearLeads(g))) << name;
        for (Running running : {Running::Forward, Running::Reverse})
            for (float pos : {NormalNotchPosition(g, running), NotchPosition(g, 18, running), 0.0f})
                for (unsigned what : parts)
                    EXPECT_EQ(Bits(MeasureNotch(g, pos, running, what)),
                              Bits(ReferenceMeasureNotch(g, pos, running, what)))
                        << name << " at " << pos << " part " << what;
    }
}

// One solve against SolveLinkage + ComputePistonAndOpenings, at whole and odd
// angles, clamps included; the first solve with the design's PointY[3], [4].
TEST(ValveEventsDiff, SolveBitIdenticalToTheFullSolve)
{
    std::mt19937 rng(7);
    std::uniform_real_distribution<float> angle(-30.0f, 400.0f);
    for (const auto& [name, design, reaches] : Designs()) {
        for (int n = 0; n < 60; ++n) {
            const float whole[] = {-0.0f, 0, 1, 36, 90, 179, 180, 270, 359, 360};
            const float a = n < 10 ? whole[n] : angle(rng);
            const float pos = NotchPosition(design, n % 19, n % 2 ? Running::Forward : Running::Reverse);
            Gear g = design;
            g.RevArmPos = pos;
            g.DriverAngle = a;
            g.ErrorBeepOn = true;
            g.SolveError = false;
            ValveSolver s(design, pos);
            const auto same = [&](const ValveSample& v) {
                SolveLinkage(g);
                ComputePistonAndOpenings(g);
                using Six = std::array<uint32_t, 6>;
                const Six full = std::bit_cast<Six>(std::array{g.PistonPx, g.FrontSteamOpen, g.FrontExhOpen,
                                                               g.RearSteamOpen, g.RearExhOpen, g.ValveCen});
                const Six fast =
                    std::bit_cast<Six>(std::array{v.piston, v.open[0], v.open[1], v.open[2], v.open[3], v.valveCen});
                EXPECT_EQ(full, fast) << name << " at " << a;
                EXPECT_EQ(s.Clamped(), g.SolveError) << name << " at " << a;
            };
            same(s.FirstSolve(a));
            same(s.Solve(a)); // the same angle again, PointY[3] and [4] now 0
        }
        // The whole degrees kept for the turn are CrankAt's.
        const ValveSolver s(design, design.RevArmCentre());
        const auto& turn = TurnCrankTerms(s);
        const auto bits = [](const CrankTerms& t) {
            return std::array{std::bit_cast<uint32_t>(t.y2), std::bit_cast<uint32_t>(t.x5),
                              std::bit_cast<uint32_t>(t.y5), std::bit_cast<uint32_t>(t.piston), uint32_t(t.clamped)};
        };
        for (int k = 0; k < kWholeDegrees; k += 7) EXPECT_EQ(bits(turn[size_t(k)]), bits(s.CrankAt(float(k)))) << name;
    }
}

// Why a design cannot be assembled: the guard that clamps, the angles, the words.
#include "analysis/Assembly.h"
#include "model/Model.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <utility>
#include <vector>

namespace {

AppState Started()
{
    AppState s;
    StartupModel(s);
    return s;
}

std::bitset<kSweepDegrees> Degrees(const std::vector<std::pair<int, int>>& runs)
{
    std::bitset<kSweepDegrees> b;
    for (auto [from, to] : runs)
        for (int d = from;; d = (d + 1) % kSweepDegrees) {
            b.set(static_cast<std::size_t>(d));
            if (d == to) break;
        }
    return b;
}

} // namespace

TEST(Assembly, AnglesInWords)
{
    const struct {
        std::vector<std::pair<int, int>> runs;
        const char* text;
    } cases[] = {
        {{}, ""},
        {{{80, 124}}, "between 80° and 124°"},
        {{{90, 90}}, "at 90°"},
        {{{0, 359}}, "at every driver angle"},
        {{{350, 10}}, "from 350° through 0° to 10°"},
        {{{0, 10}, {350, 359}}, "from 350° through 0° to 10°"},
        {{{0, 10}}, "between 0° and 10°"},
        {{{35, 145}, {215, 325}, {359, 359}}, "between 35° and 145° and between 215° and 325° and at 359°"},
    };
    for (const auto& c : cases) EXPECT_EQ(ClampAnglesText(Degrees(c.runs)), c.text);
}

TEST(Assembly, ASampleLandsOnItsWholeDegree)
{
    const struct {
        float angle;
        int degree;
    } cases[] = {{0.4f, 0}, {359.6f, 0}, {-0.4f, 0}, {45.5f, 46}, {720.2f, 0}, {-90, 270}, {NAN, 0}, {1080.25f, 0}};
    for (const auto& c : cases) {
        AssemblyClamps clamps;
        AddClampSample(clamps, c.angle, SolveGuardBit(SolveGuard::ValveRodReach));
        const auto& at = clamps.at[static_cast<int>(SolveGuard::ValveRodReach)];
        EXPECT_EQ(at.count(), 1u) << c.angle;
        EXPECT_TRUE(at.test(static_cast<std::size_t>(c.degree))) << c.angle;
    }
    AssemblyClamps none;
    AddClampSample(none, 10, 0);
    EXPECT_FALSE(none.Any());
}

// A design broken in one place, told in words. The main rod of 1 is shorter
// than half the 3.5 stroke: it cannot reach where |sin a| > 1 / 1.75, from
// asin(1/1.75) = 34.85° to 145.15° and from 214.85° to 325.15°.
TEST(Assembly, ABrokenDesignSaysWhatAndWhere)
{
    const struct {
        const char* what;
        std::function<void(Gear&)> change;
        const char* text;
    } cases[] = {
        {"the built-in design", [](Gear&) {}, ""},
        {"a short main rod", [](Gear& g) { g.MainRodLength = 1; },
         "Main rod cannot reach the crosshead between 35° and 145° and between 215° and 325°"},
        {"no stroke", [](Gear& g) { g.Stroke = 0; }, "Stroke has no length"},
        {"the reverse arm beyond reach", [](Gear& g) { g.RevArmPos = g.PointX[9] + g.RevHeadArmLower + 1; },
         "Reverse head arm cannot reach the reverse arm setting at every driver angle"},
        {"no eccentric rod", [](Gear& g) { g.EccRodLength = 0; },
         "Eccentric rod has no length; Eccentric rod cannot reach the rocker at every driver angle"},
        {"the arm in a notch", [](Gear& g) { g.RevArmPos = g.RevArmCentre() + g.RevArmMax; }, ""},
    };
    for (const auto& c : cases) {
        AppState s = Started();
        c.change(s.gear);
        EXPECT_EQ(ExplainAssembly(s.gear), c.text) << c.what;
    }
}

// A long eccentric rod cannot reach the rocker where the rod's back end is
// farther from the rocker pivot than the rod and the rocker's upper arm
// together, or nearer than their difference: the degrees the sweep tells are
// those (the degrees within a hair of the edge aside). Of 11 it cannot over a
// part of the turn, of 8 over all of it.
TEST(Assembly, TheEccentricRodClampsWhereItsCirclesDoNotMeet)
{
    for (float rod : {11.0f, 8.0f}) {
        AppState s = Started();
        Gear& g = s.gear;
        g.EccRodLength = rod;
        const AssemblyClamps clamps = SweepAssembly(g);
        const auto& at = clamps.at[static_cast<int>(SolveGuard::EccRodReach)];
        const long double arm = std::hypot(static_cast<long double>(g.RockerUpperVert), g.RockerUpperHorz);
        int told = 0;
        for (int d = 0; d < kSweepDegrees; ++d) {
            Gear t = g;
            t.DriverAngle = static_cast<float>(d);
            SolveLinkage(t);
            const long double dist = std::hypot(static_cast<long double>(t.PointX[15]) - t.PointX[14],
                                                static_cast<long double>(t.PointY[15]) - t.PointY[14]);
            const long double gap = std::max(dist - (rod + arm), std::fabs(rod - arm) - dist);
            if (std::fabs(gap) < 1e-4L) continue;
            EXPECT_EQ(at.test(static_cast<std::size_t>(d)), gap > 0) << "rod " << rod << " at " << d;
            told += gap > 0;
        }
        EXPECT_GT(told, 0) << rod;
    }
}

// IAPWS-IF97 against the standard's own verification tables (tables 5, 15 and
// 35 of the 2007 release), each value to the digits the standard prints; the
// saturation table against the equations; the inversions back to their state.
#include "analysis/SteamProperties.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

using LD = double;

// Half a unit of the last digit a printed value shows ("1.002151680e-03": 5e-13).
LD HalfLastDigit(const std::string& printed)
{
    const auto e = printed.find('e');
    const std::string mantissa = printed.substr(0, e);
    const int exponent = e == std::string::npos ? 0 : std::stoi(printed.substr(e + 1));
    const auto point = mantissa.find('.');
    const int decimals = point == std::string::npos ? 0 : static_cast<int>(mantissa.size() - point - 1);
    return 0.5 * std::pow(10.0, exponent - decimals);
}

void ExpectPrinted(LD computed, const std::string& printed, const char* what)
{
    EXPECT_NEAR(computed, std::stold(printed), HalfLastDigit(printed)) << what << " " << printed;
}

} // namespace

// Tables 5 and 15: T in K, p in MPa; v in m³/kg, h and u in kJ/kg, s and cp in
// kJ/(kg K), w in m/s.
TEST(SteamProperties, RegionsOneAndTwoGiveTheStandardsVerificationValues)
{
    struct Row {
        int region;
        LD T, p;
        const char *v, *h, *u, *s, *cp, *w;
    };
    const Row rows[] = {
        {1, 300, 3, "0.100215168e-2", "0.115331273e3", "0.112324818e3", "0.392294792", "0.417301218e1",
         "0.150773921e4"},
        {1, 300, 80, "0.971180894e-3", "0.184142828e3", "0.106448356e3", "0.368563852", "0.401008987e1",
         "0.163469054e4"},
        {1, 500, 3, "0.120241800e-2", "0.975542239e3", "0.971934985e3", "0.258041912e1", "0.465580682e1",
         "0.124071337e4"},
        {2, 300, 0.0035, "0.394913866e2", "0.254991145e4", "0.241169160e4", "0.852238967e1", "0.191300162e1",
         "0.427920172e3"},
        {2, 700, 0.0035, "0.923015898e2", "0.333568375e4", "0.301262819e4", "0.101749996e2", "0.208141274e1",
         "0.644289068e3"},
        {2, 700, 30, "0.542946619e-2", "0.263149474e4", "0.246861076e4", "0.517540298e1", "0.103505092e2",
         "0.480386523e3"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE("region " + std::to_string(r.region) + " at " + std::to_string(static_cast<double>(r.T)) + " K");
        const if97::Phase ph = r.region == 1 ? if97::Region1(r.T, r.p * 1e6) : if97::Region2(r.T, r.p * 1e6);
        ExpectPrinted(ph.v, r.v, "v");
        ExpectPrinted(ph.h / 1000, r.h, "h");
        ExpectPrinted(ph.u / 1000, r.u, "u");
        ExpectPrinted(ph.s / 1000, r.s, "s");
        ExpectPrinted(ph.cp / 1000, r.cp, "cp");
        ExpectPrinted(ph.w, r.w, "w");
    }
}

// Table 35: the saturation pressure at 300, 500 and 600 K and the saturation
// temperature at 0.1, 1 and 10 MPa.
TEST(SteamProperties, TheSaturationLineGivesTheStandardsVerificationValues)
{
    ExpectPrinted(if97::SaturationPressure(300) / 1e6, "0.353658941e-2", "psat");
    ExpectPrinted(if97::SaturationPressure(500) / 1e6, "0.263889776e1", "psat");
    ExpectPrinted(if97::SaturationPressure(600) / 1e6, "0.123443146e2", "psat");
    ExpectPrinted(if97::SaturationTemperature(0.1e6), "0.372755919e3", "Tsat");
    ExpectPrinted(if97::SaturationTemperature(1e6), "0.453035632e3", "Tsat");
    ExpectPrinted(if97::SaturationTemperature(10e6), "0.584149488e3", "Tsat");
}

// The table of the saturated phases holds the equations to 1e-9 between its
// nodes (where the interpolation is worst), and its slope is the equations'.
TEST(SteamProperties, TheSaturationTableHoldsTheEquations)
{
    for (LD T = 273.275; T < 623; T += 7.25) { // halfway between nodes
        const LD p = if97::SaturationPressure(T);
        const if97::Phase f = if97::Region1(T, p), g = if97::Region2(T, p);
        if97::Saturation d;
        const if97::Saturation s = if97::SaturatedAt(T, &d);
        EXPECT_NEAR(s.p / p, 1, 1e-9) << T;
        EXPECT_NEAR(s.vg / g.v, 1, 1e-9) << T;
        EXPECT_NEAR(s.vf / f.v, 1, 1e-9) << T;
        EXPECT_NEAR(s.ug / g.u, 1, 1e-9) << T;
        EXPECT_NEAR(s.uf / f.u, 1, 1e-9) << T;
        EXPECT_NEAR(s.hg / g.h, 1, 1e-9) << T;
        // The slopes: those of the equations along the line.
        const double h = 1e-3;
        const auto vapourAt = [](double t) { return if97::Region2(t, if97::SaturationPressure(t)); };
        EXPECT_NEAR(d.p / ((if97::SaturationPressure(T + h) - if97::SaturationPressure(T - h)) / (2 * h)), 1, 1e-7);
        EXPECT_NEAR(d.ug / ((vapourAt(T + h).u - vapourAt(T - h).u) / (2 * h)), 1, 1e-5) << T;
        EXPECT_NEAR(d.vg / ((vapourAt(T + h).v - vapourAt(T - h).v) / (2 * h)), 1, 1e-6) << T;
    }
}

// Every state found from (v, u), and from (p, h), is the state that gave
// them: wet steam of any quality, vapour near and far from the line, liquid.
TEST(SteamProperties, TheInversionsFindTheStateThatGaveTheirValues)
{
    const SteamState states[] = {
        SaturatedSteam(1.48e6, 0.995), SaturatedSteam(1.48e6, 0.87), SaturatedSteam(0.12e6, 0.95),
        SaturatedSteam(3e6, 0.2),      SteamAtPT(1.48e6, 520),       SteamAtPT(0.12e6, 400),
        SteamAtPT(4.5e6, 700),         SteamAtPT(0.02e6, 340),       SteamAtPT(0.05e6, 340),
    };
    for (const SteamState& want : states) {
        SCOPED_TRACE(std::to_string(static_cast<double>(want.p)) + " Pa, " +
                     std::to_string(static_cast<double>(want.T)));
        for (const SteamState* near : {static_cast<const SteamState*>(nullptr), &states[0], &states[4]}) {
            SteamState got;
            ASSERT_TRUE(SteamFromVU(want.v, want.u, near, got));
            EXPECT_EQ(got.wet, want.wet);
            EXPECT_NEAR(got.p / want.p, 1, 1e-9);
            EXPECT_NEAR(got.T / want.T, 1, 1e-9);
            EXPECT_NEAR(got.x, want.x, 1e-9);
            EXPECT_NEAR(got.h / want.h, 1, 1e-10);
        }
        const SteamState ph = SteamAtPH(want.p, want.h);
        EXPECT_NEAR(ph.T / want.T, 1, 1e-9);
        EXPECT_NEAR(ph.v / want.v, 1, 1e-8);
        // The pressure's derivatives by v and u, against differences.
        const LD dv = want.v * 1e-6, du = 10;
        SteamState a, b, c, e;
        ASSERT_TRUE(SteamFromVU(want.v + dv, want.u, &want, a));
        ASSERT_TRUE(SteamFromVU(want.v - dv, want.u, &want, b));
        ASSERT_TRUE(SteamFromVU(want.v, want.u + du, &want, c));
        ASSERT_TRUE(SteamFromVU(want.v, want.u - du, &want, e));
        EXPECT_NEAR((a.p - b.p) / (2 * dv) / want.pv, 1, 1e-4);
        EXPECT_NEAR((c.p - e.p) / (2 * du) / want.pu, 1, 1e-4);
    }
}

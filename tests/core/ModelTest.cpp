// Dimension set, start-up, resets, re-centring, clamps, port geometry.
#include "model/Model.h"
#include "model/NumberText.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {
AppState Started()
{
    AppState s;
    StartupModel(s);
    return s;
}
} // namespace

TEST(Startup, DefaultsAndRevArmCentre)
{
    AppState s = Started();
    const Gear& g = s.gear;
    EXPECT_FLOAT_EQ(g.CrankDiskDia, 8.625f);
    EXPECT_FLOAT_EQ(g.RockerUpperVert, -1.292f);
    EXPECT_FLOAT_EQ(g.PointY[8], 4.2f);
    EXPECT_FLOAT_EQ(g.PointX[15], 10.125f);
    EXPECT_FLOAT_EQ(g.PointY[15], 1.75f);
    EXPECT_EQ(g.PointX[9], g.PointX[8]);
    EXPECT_EQ(g.PointY[9], g.PointY[8]);
    EXPECT_FLOAT_EQ(g.Cyl(ciCylCtrToDriverCtr), 21.0f);
    EXPECT_FLOAT_EQ(g.Cyl(ciValveCtrToJoint), 7.125f);
    EXPECT_FLOAT_EQ(g.Cyl(ciBridgeWidthFront), 0.375f);
    EXPECT_EQ(g.Cyl(ciCylSpare), 0.0f);
    EXPECT_FLOAT_EQ(g.PointY[13], 3.5f);
    EXPECT_EQ(s.display.DataSetName, "Nominal");
    EXPECT_FLOAT_EQ(s.view.ViewScale, 22);
    EXPECT_FLOAT_EQ(s.view.PresetTable[15], 200);
    EXPECT_FLOAT_EQ(s.view.PresetTable[19], -4100);
    EXPECT_EQ(s.overlay.Item[20].Kind, -1);
    EXPECT_EQ(s.overlay.CurrentItem, 1);

    // The centre follows the one-step formula at driver angle 0.
    AppState t = Started();
    t.gear.DriverAngle = 0;
    t.gear.RevArmPos = 0; // the reverse arm stood at 0 when start-up re-centred
    SolveLinkage(t.gear);
    const long double expect = static_cast<long double>(t.gear.PointX[8]) -
                               (2.0L / t.gear.EccRodLength / 1.4L) * (t.gear.PointY[14] - t.gear.PointY[16]);
    EXPECT_NEAR(g.RevArmCentre(), static_cast<float>(expect), 1e-6);
    EXPECT_EQ(g.RevArmPos, g.RevArmCentre());
    EXPECT_EQ(g.RevArm[1], g.RevArmCentre());
    EXPECT_FLOAT_EQ(g.RevArm[2], g.RevArmCentre() - 1.0f);
    EXPECT_FLOAT_EQ(g.RevArm[3], g.RevArmCentre() + 1.0f);
    EXPECT_EQ(g.RevArm[4], 0.0f);
}

TEST(Startup, DimensionLabelsAndCodes)
{
    EXPECT_EQ(DimensionShortLabel(1), "Crank Disk   Dia");
    EXPECT_EQ(DimensionDialogLabel(9), "Eccentric Strap     Horzonal");
    EXPECT_EQ(DimensionShortLabel(102), "** NOT USED **");
    EXPECT_EQ(DimensionShortLabel(122), "Valve Stem");
    EXPECT_EQ(CylStorageIndex(112), 18);
    EXPECT_EQ(CylStorageIndex(122), 17);
    EXPECT_EQ(CylStorageIndex(102), -1);
    EXPECT_EQ(DimensionShortLabel(23), "");
    AppState s = Started();
    for (int code = 1; code <= 22; ++code) EXPECT_FALSE(DimensionShortLabel(code).empty()) << code;
    for (int code = 101; code <= 122; ++code) EXPECT_FALSE(DimensionShortLabel(code).empty()) << code;
    EXPECT_FLOAT_EQ(GetDimension(s.gear, 13), 4.2f);
    EXPECT_FLOAT_EQ(GetDimension(s.gear, 119), 1.185f);
    EXPECT_EQ(GetDimension(s.gear, 0), 0.0f);
}

TEST(Dimensions, SetDimensionSideEffects)
{
    AppState s = Started();
    Gear& g = s.gear;
    SetDimension(g, 13, 5.0f);
    EXPECT_EQ(g.PointY[8], 5.0f);
    EXPECT_EQ(g.PointY[9], 5.0f);
    SetDimension(g, 14, -0.5f);
    EXPECT_EQ(g.PointX[9], -0.5f);
    SetDimension(g, 109, 4.0f);
    EXPECT_FLOAT_EQ(g.PointY[13], 4.0f);
    SetDimension(g, 102, 0.5f);
    EXPECT_EQ(g.PointY[3], 0.5f);
    EXPECT_FLOAT_EQ(g.PointY[13], 4.5f);
    SetDimension(g, 999, 1.0f); // unknown: nothing
    // A value typed for code 102 is replaced by 0 at the next solve.
    SolveLinkage(g);
    EXPECT_EQ(g.PointY[3], 0.0f);
}

TEST(Resets, FrameAndCylinderIndependent)
{
    AppState s = Started();
    Gear& g = s.gear;
    g.Stroke = 5;
    g.Cyl(ciPistonWidth) = 2;
    g.Cyl(ciCylSpare) = 7;
    g.PointX[15] = 3;
    ResetFrameDimensions(g);
    EXPECT_FLOAT_EQ(g.Stroke, 3.5f);
    EXPECT_FLOAT_EQ(g.PointX[15], 10.125f);
    EXPECT_EQ(g.RevArmCentre(), 0.0f); // the dialog's Close re-centres, not the reset
    EXPECT_EQ(g.Cyl(ciPistonWidth), 2.0f);
    ResetCylinderDimensions(g);
    EXPECT_EQ(g.Cyl(ciPistonWidth), 1.0f);
    EXPECT_EQ(g.Cyl(ciCylSpare), 0.0f);
    EXPECT_FLOAT_EQ(g.Stroke, 3.5f);
}

TEST(Recentre, ZeroRodAndPositionsKept)
{
    AppState s = Started();
    Gear& g = s.gear;
    g.RevArm[4] = 0.7f;
    g.RevArm[9] = -0.2f;
    g.DriverAngle = 123;
    g.EccRodLength = 0;
    RecomputeRevArmCentre(g);
    EXPECT_FLOAT_EQ(g.EccRodLength, 0.00001f);
    EXPECT_EQ(g.RevArm[4], 0.7f);
    EXPECT_EQ(g.RevArm[9], -0.2f);
    EXPECT_EQ(g.DriverAngle, 123.0f);
    EXPECT_TRUE(std::isfinite(g.RevArmCentre()));
}

TEST(Solver, NoClampWithDefaultsAcrossTheNormalRange)
{
    AppState s = Started();
    Gear& g = s.gear;
    const float c = g.RevArmCentre();
    for (float off = -1.0f; off <= 1.0f; off += 0.25f) {
        g.RevArmPos = c + off;
        for (int a = 0; a <= 360; a += 2) {
            g.DriverAngle = static_cast<float>(a);
            SolveLinkage(g);
            ComputePistonAndOpenings(g);
            ASSERT_FALSE(g.SolveError) << "angle " << a << " offset " << off;
        }
    }
}

TEST(Solver, ShortMainRodClampsTheCrosshead)
{
    AppState s = Started();
    Gear& g = s.gear;
    g.MainRodLength = 1.0f; // shorter than half the 3.5 stroke
    g.DriverAngle = 90;
    SolveLinkage(g);
    EXPECT_TRUE(g.SolveError);
    // From the absolute value of the negative radicand: 1 - 1.75^2 = -2.0625.
    EXPECT_NEAR(g.PointX[3], g.PointX[2] + std::sqrt(2.0625), 1e-5);
    g.SolveError = false;
    g.ErrorBeepOn = false;
    SolveLinkage(g);
    EXPECT_FALSE(g.SolveError);
}

TEST(Solver, RockerUpperVertZeroAndSignFlip)
{
    AppState s = Started();
    Gear& g = s.gear;
    g.DriverAngle = 30;
    SolveLinkage(g);
    const float x16neg = g.PointX[16], y16neg = g.PointY[16];
    g.RockerUpperVert = 1.292f;
    SolveLinkage(g);
    EXPECT_FALSE(g.SolveError);
    // The other branch: the elbow lies on the other side of the pivot.
    EXPECT_GT(std::fabs(g.PointY[16] - y16neg) + std::fabs(g.PointX[16] - x16neg), 0.1f);
    EXPECT_LT(g.PointY[11], g.PointY[15]);
    g.RockerUpperVert = 0;
    SolveLinkage(g);
    EXPECT_TRUE(g.SolveError); // divided by +0.00001 in the rocker angle
}

TEST(Solver, ClampHelpers)
{
    Gear g;
    long double d = 0;
    ClampDenominator(g, d);
    EXPECT_EQ(d, static_cast<long double>(0.00001f));
    EXPECT_TRUE(g.SolveError);
    g.SolveError = false;
    d = -0.000001L;
    ClampDenominator(g, d);
    EXPECT_EQ(d, -static_cast<long double>(0.00001f));
    long double u = NAN;
    ClampUnit(g, u);
    EXPECT_EQ(u, static_cast<long double>(0.999999f));
    u = -2;
    ClampUnit(g, u);
    EXPECT_EQ(u, -static_cast<long double>(0.999999f));
    long double v = -4;
    AbsRadicand(g, v);
    EXPECT_EQ(v, 4);
    g.ErrorBeepOn = false;
    g.SolveError = false;
    v = -1;
    AbsRadicand(g, v);
    EXPECT_FALSE(g.SolveError);
}

TEST(Solver, EccentricAngleAddsInDegrees)
{
    AppState s = Started();
    Gear& g = s.gear;
    g.EccAngleDeg = 90;
    g.DriverAngle = 0;
    SolveLinkage(g);
    EXPECT_NEAR(g.PointX[5], 0.0, 1e-5);
    EXPECT_NEAR(g.PointY[5], -0.625, 1e-5);
}

TEST(Solver, DegenerateDesignsStayFinite)
{
    // Zeroes and huge values never stop the solver or the outlines.
    for (float v : {0.0f, 1e30f, -1e30f, NAN, INFINITY}) {
        AppState s = Started();
        Gear& g = s.gear;
        g.Stroke = v;
        g.EccStrapLower = v;
        g.EccStrapUpper = 0;
        g.EccRodLength = v;
        g.Cyl(ciCylBoreDia) = v;
        for (int a = 0; a < 360; a += 45) {
            s.anim.ActiveStep = 45;
            TickModel(s);
        }
        for (int i = 0; i < kScreenPoints; ++i) {
            EXPECT_LE(std::abs(g.ScreenX[i]), kPixelLimit);
            EXPECT_LE(std::abs(g.ScreenY[i]), kPixelLimit);
        }
    }
}

TEST(Ports, OpeningsAndLaps)
{
    AppState s = Started();
    Gear& g = s.gear;
    float sumFirst = 0;
    float minCen = 1e9f, maxCen = -1e9f;
    for (int a = 0; a < 360; a += 3) {
        g.DriverAngle = static_cast<float>(a);
        SolveLinkage(g);
        ComputePistonAndOpenings(g);
        const float sum = g.FrontSteamOpen + g.RearSteamOpen;
        if (a == 0) sumFirst = sum;
        EXPECT_NEAR(sum, sumFirst, 1e-5); // the valve moves as one piece
        minCen = std::min(minCen, g.ValveCen);
        maxCen = std::max(maxCen, g.ValveCen);
    }
    EXPECT_NEAR(maxCen - minCen, 0.42, 0.01);
    g.RevArmPos = g.RevArmCentre() + g.RevArmNormal;
    minCen = 1e9f;
    maxCen = -1e9f;
    for (int a = 0; a < 360; a += 2) {
        g.DriverAngle = static_cast<float>(a);
        SolveLinkage(g);
        minCen = std::min(minCen, g.ValveCen);
        maxCen = std::max(maxCen, g.ValveCen);
    }
    EXPECT_GT(maxCen - minCen, 0.82);
    EXPECT_LT(maxCen - minCen, 0.86);
}

TEST(Ports, PistonScaleAndZeroStroke)
{
    AppState s = Started();
    Gear& g = s.gear;
    g.DriverAngle = 0;
    ComputePistonAndOpenings(g);
    EXPECT_NEAR(g.PistonPx, 0, 1e-3);
    g.DriverAngle = 180;
    ComputePistonAndOpenings(g);
    EXPECT_NEAR(g.PistonPx, 640, 1e-3);
    g.Stroke = 0;
    g.SolveError = false;
    ComputePistonAndOpenings(g);
    EXPECT_TRUE(g.SolveError);
    EXPECT_TRUE(std::isfinite(g.PistonPx));
}

TEST(Ports, FrontBridgeChangesOnlyFrontValues)
{
    AppState a = Started(), b = Started();
    b.gear.Cyl(ciBridgeWidthFront) = 0.5f;
    for (AppState* s : {&a, &b}) {
        s->gear.DriverAngle = 40;
        TickModel(*s);
    }
    EXPECT_EQ(a.gear.RearSteamOpen, b.gear.RearSteamOpen);
    EXPECT_EQ(a.gear.RearExhOpen, b.gear.RearExhOpen);
    EXPECT_NE(a.gear.FrontSteamOpen, b.gear.FrontSteamOpen);
    EXPECT_NE(a.gear.FrontExhOpen, b.gear.FrontExhOpen);
    for (int i = 0; i <= 6; ++i) EXPECT_EQ(a.gear.CylOutline[i].x, b.gear.CylOutline[i].x) << i;
    EXPECT_NE(a.gear.CylOutline[9].x, b.gear.CylOutline[9].x);
    for (int i = 0; i <= 5; ++i) EXPECT_EQ(a.gear.PortOutline[i].x, b.gear.PortOutline[i].x) << i;
    EXPECT_NE(a.gear.PortOutline[7].x, b.gear.PortOutline[7].x);
}

TEST(Ports, OutlinesFollowTheView)
{
    AppState s = Started();
    TickModel(s);
    const Gear& g = s.gear;
    // Cylinder bore rear end: e - B = 21 - 2.5 at the default view.
    EXPECT_EQ(g.CylOutline[5].x, ToPixel(18.5L * 22 + 100));
    EXPECT_EQ(g.CylOutline[5].y, ToPixel(-1.625L * 22 + 260));
    // The valve cavity takes the lower two thirds of the valve's height.
    const int top = g.ValveOutline[0].y, surface = g.ValveOutline[7].y;
    EXPECT_EQ(g.ValveOutline[4].y, top + (surface - top) / 3);
    EXPECT_EQ(g.PistonRodEnd.y, ToPixel(260.0L));
}

TEST(Tick, AngleFoldingAndDirection)
{
    EXPECT_FLOAT_EQ(FoldDriverAngle(360.05f), 360.05f);
    EXPECT_NEAR(FoldDriverAngle(360.2f), 0.2f, 1e-4);
    EXPECT_FLOAT_EQ(FoldDriverAngle(-0.5f), 359.5f);
    AppState s = Started();
    s.anim.ActiveStep = 10;
    TickModel(s);
    EXPECT_FLOAT_EQ(s.gear.DriverAngle, 10);
    s.anim.Direction = RunDirection::Rev;
    TickModel(s);
    TickModel(s);
    EXPECT_FLOAT_EQ(s.gear.DriverAngle, 350);
}

TEST(Tick, StepBarBands)
{
    EXPECT_FLOAT_EQ(StepBandForPosition(0).step, 0.01f);
    EXPECT_FLOAT_EQ(StepBandForPosition(704).step, 0.01f);
    EXPECT_FLOAT_EQ(StepBandForPosition(705).step, 0.02f);
    EXPECT_EQ(StepBandForPosition(705).smallChange, 2);
    EXPECT_FLOAT_EQ(StepBandForPosition(12000).step, 10);
    EXPECT_EQ(StepBandForPosition(12000).largeChange, 4500);
    EXPECT_FLOAT_EQ(StepBandForPosition(14613).step, 45);
    EXPECT_EQ(StepBarPosition(0.01f), 0);
    EXPECT_EQ(StepBarPosition(1), 8000);
    EXPECT_EQ(StepBarPosition(10), 12000);
    EXPECT_EQ(StepBarPosition(45), 14613);
    // Every band's own step sits inside the band.
    for (float st : {0.01f, 0.02f, 0.03f, 0.05f, 0.1f, 0.2f, 0.3f, 0.5f, 1.f, 2.f, 3.f, 5.f, 10.f, 20.f, 30.f, 45.f})
        EXPECT_FLOAT_EQ(StepBandForPosition(StepBarPosition(st)).step, st);
}

TEST(Pixels, ToPixelNeverUndefined)
{
    EXPECT_EQ(ToPixel(NAN), 0);
    EXPECT_EQ(ToPixel(INFINITY), kPixelLimit);
    EXPECT_EQ(ToPixel(-INFINITY), -kPixelLimit);
    EXPECT_EQ(ToPixel(1e300L), kPixelLimit);
    EXPECT_EQ(ToPixel(2.5L), 3);
    EXPECT_EQ(ToPixel(-2.5L), -3);
    EXPECT_EQ(ToPixel(2.4L), 2);
}

TEST(Format, NumberTexts)
{
    EXPECT_EQ(FormatFixed(3.5, 7, 3), "  3.500");
    EXPECT_EQ(FormatFixed(-1.292, 5, 3), "-1.292");
    EXPECT_EQ(FormatFixed(0, 5, 3), "0.000");
    EXPECT_EQ(FormatFixed(-0.0001, 6, 3), " 0.000");
    EXPECT_EQ(FormatFixed(25.0, 4, 1), "25.0");
    EXPECT_EQ(FormatFixed10(123456789.0, 7, 3), "123456789.");
    EXPECT_EQ(FormatInt(7, 2), " 7");
    EXPECT_EQ(FormatFixed(NAN, 6, 2), "   NaN");
    EXPECT_DOUBLE_EQ(static_cast<double>(ParseNumber("")), 0);
    EXPECT_DOUBLE_EQ(static_cast<double>(ParseNumber("-30")), -30);
    EXPECT_DOUBLE_EQ(static_cast<double>(ParseNumber("1-2")), 1);
    EXPECT_DOUBLE_EQ(static_cast<double>(ParseNumber("-")), 0);
    EXPECT_DOUBLE_EQ(static_cast<double>(ParseNumber(".5")), 0.5);
    EXPECT_DOUBLE_EQ(static_cast<double>(ParseNumber(" 2.25x")), 2.25);
    EXPECT_EQ(FormatShort1(0.5), "0.5");
    EXPECT_EQ(FormatShort1(-1.0), "-1");
    EXPECT_EQ(FormatShort1(0.0), "0");
}

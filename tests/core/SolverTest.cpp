#include "model/Model.h"

#include <gtest/gtest.h>

namespace {
AppState Started()
{
    AppState s;
    StartupModel(s);
    return s;
}
} // namespace

TEST(Solver, ReferenceValuesAtDriverAngleZeroMidGear)
{
    AppState s = Started();
    Gear& g = s.gear;
    EXPECT_NEAR(g.RevArmCentre(), -0.0386, 0.0005);
    g.DriverAngle = 0;
    g.RevArmPos = g.RevArmCentre();
    SolveLinkage(g);
    EXPECT_FALSE(g.SolveError);
    EXPECT_NEAR(g.PointX[2], 1.750, 1e-5);
    EXPECT_NEAR(g.PointY[2], 0.0, 1e-5);
    EXPECT_NEAR(g.PointX[3], 13.375, 5e-4);
    EXPECT_NEAR(g.PointX[4], 13.666, 5e-4);
    EXPECT_NEAR(g.PointX[5], 0.625, 1e-5);
    EXPECT_NEAR(g.PointY[5], 0.0, 1e-5);
    EXPECT_NEAR(g.PointX[7], 0.000, 5e-4);
    EXPECT_NEAR(g.PointY[7], 4.204, 5e-4);
    EXPECT_NEAR(g.PointX[10], 0.024, 5e-4);
    EXPECT_NEAR(g.PointY[10], 5.450, 5e-4);
    EXPECT_NEAR(g.PointX[14], 0.802, 5e-4);
    EXPECT_NEAR(g.PointY[14], 3.245, 5e-4);
    EXPECT_NEAR(g.PointX[16], 10.746, 5e-4);
    EXPECT_NEAR(g.PointY[16], 2.977, 5e-4);
    EXPECT_NEAR(g.PointX[17], 9.916, 5e-4);
    EXPECT_NEAR(g.PointY[17], 0.013, 5e-4);
    EXPECT_NEAR(g.PointX[18], -0.039, 5e-4);
    EXPECT_NEAR(g.PointY[18], 2.200, 5e-4);
    ComputePistonAndOpenings(g);
    EXPECT_NEAR(g.ValveCen, -0.209, 5e-4);
    EXPECT_NEAR(g.FrontSteamOpen, 0.024, 5e-4);
    EXPECT_FLOAT_EQ(g.FrontSteamLap, 0.185f);
    EXPECT_FLOAT_EQ(g.RearSteamLap, 0.185f);
    EXPECT_NEAR(g.FrontExhClear, -0.025, 1e-6);
    EXPECT_NEAR(g.RearExhClear, -0.025, 1e-6);
}

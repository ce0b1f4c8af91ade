#include "drawing/SteamDisplay.h"
#include "model/Model.h"
#include "platform/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <set>

namespace {

struct SteamFixture : ::testing::Test {
    AppState s;
    RecordingCanvas c;
    RecordingSound sound;
    FixedRandom random;
    FrameServices sv{sound, random};

    void SetUp() override
    {
        StartupModel(s);
        TickModel(s); // outlines of a real gear at the default view
        s.display.SteamDisplayOn = true;
    }

    void Ports(float fst, float fex, float rst, float rex)
    {
        s.gear.FrontSteamOpen = fst;
        s.gear.FrontExhOpen = fex;
        s.gear.RearSteamOpen = rst;
        s.gear.RearExhOpen = rex;
    }

    void Frame()
    {
        c.Reset();
        DrawSteamDisplay(c, s, sv);
    }

    // Dots inside [x1, x2) x [y1, y2).
    std::vector<CanvasOp> DotsIn(int x1, int x2, int y1, int y2) const
    {
        std::vector<CanvasOp> out;
        for (const CanvasOp& op : c.OfKind(CanvasOp::Pixel))
            if (op.x1 >= x1 && op.x1 < x2 && op.y1 >= y1 && op.y1 < y2) out.push_back(op);
        return out;
    }
    std::vector<CanvasOp> FrontChamberDots() const
    {
        const auto& C = s.gear.CylOutline;
        const auto& K = s.gear.PistonOutline;
        return DotsIn(K[3].x, C[7].x, C[5].y, C[6].y);
    }
    std::vector<CanvasOp> RearChamberDots() const
    {
        const auto& C = s.gear.CylOutline;
        const auto& K = s.gear.PistonOutline;
        return DotsIn(C[5].x, K[0].x, C[5].y, C[6].y);
    }
    static std::set<Colour> Colours(const std::vector<CanvasOp>& ops)
    {
        std::set<Colour> out;
        for (const CanvasOp& op : ops) out.insert(op.colour);
        return out;
    }
    int Count(float density) const { return ToPixel(static_cast<long double>(density) * s.view.ViewScale / 18.5L); }
};

} // namespace

TEST_F(SteamFixture, GeometryOfTheDefaultGearLeavesRoomForBothChambers)
{
    const auto& C = s.gear.CylOutline;
    const auto& K = s.gear.PistonOutline;
    ASSERT_LT(K[3].x, C[7].x);
    ASSERT_LT(C[5].x, K[0].x);
    ASSERT_LT(C[5].y, C[6].y);
}

TEST_F(SteamFixture, FrontPhaseColoursFollowThePorts)
{
    s.anim.ActiveStep = 0; // densities stay where they are
    // No phase yet, both ports shut: black.
    Ports(-0.1f, -0.1f, -0.1f, -0.1f);
    Frame();
    EXPECT_EQ(s.steam.FrontPhase, ChamberPhase::None);
    EXPECT_EQ(Colours(FrontChamberDots()), std::set<Colour>{clBlack});
    // Admission: red, expansion next.
    Ports(0.2f, -0.1f, -0.1f, -0.1f);
    Frame();
    EXPECT_EQ(s.steam.FrontPhase, ChamberPhase::ExpansionNext);
    EXPECT_EQ(Colours(FrontChamberDots()), std::set<Colour>{clRed});
    // Port shut after admission: expansion, magenta.
    Ports(-0.05f, -0.1f, -0.1f, -0.1f);
    Frame();
    EXPECT_EQ(Colours(FrontChamberDots()), std::set<Colour>{clMagenta});
    // Exhaust open: blue, compression next.
    Ports(-0.3f, 0.1f, -0.1f, -0.1f);
    Frame();
    EXPECT_EQ(s.steam.FrontPhase, ChamberPhase::CompressionNext);
    EXPECT_EQ(Colours(FrontChamberDots()), std::set<Colour>{clBlue});
    // Exhaust shut: compression, dark green.
    Ports(-0.3f, -0.01f, -0.1f, -0.1f);
    Frame();
    EXPECT_EQ(Colours(FrontChamberDots()), std::set<Colour>{clGreen});
    // Both open at once (a broken design): exhaust wins the colour.
    Ports(0.1f, 0.1f, -0.1f, -0.1f);
    Frame();
    EXPECT_EQ(s.steam.FrontPhase, ChamberPhase::CompressionNext);
    EXPECT_EQ(Colours(FrontChamberDots()), std::set<Colour>{clBlue});
}

TEST_F(SteamFixture, RearChamberStartsFromTheFrontColour)
{
    s.anim.ActiveStep = 0;
    // Rear has no phase and both ports shut: it shows the front's colour.
    Ports(0.2f, -0.1f, -0.1f, -0.1f);
    Frame();
    EXPECT_EQ(s.steam.RearPhase, ChamberPhase::None);
    EXPECT_EQ(Colours(RearChamberDots()), std::set<Colour>{clRed});
    // Rear admission, then its expansion while the front exhausts.
    Ports(-0.2f, 0.1f, 0.2f, -0.1f);
    Frame();
    EXPECT_EQ(Colours(FrontChamberDots()), std::set<Colour>{clBlue});
    EXPECT_EQ(Colours(RearChamberDots()), std::set<Colour>{clRed});
    Ports(-0.2f, -0.1f, -0.1f, -0.1f);
    Frame();
    EXPECT_EQ(Colours(FrontChamberDots()), std::set<Colour>{clGreen});
    EXPECT_EQ(Colours(RearChamberDots()), std::set<Colour>{clMagenta});
    Ports(-0.2f, -0.1f, -0.2f, 0.3f);
    Frame();
    EXPECT_EQ(s.steam.RearPhase, ChamberPhase::CompressionNext);
    EXPECT_EQ(Colours(RearChamberDots()), std::set<Colour>{clBlue});
    Ports(-0.2f, -0.1f, -0.2f, -0.3f);
    Frame();
    EXPECT_EQ(Colours(RearChamberDots()), std::set<Colour>{clGreen});
}

TEST_F(SteamFixture, DensityRisesWithAdmissionFallsWithExhaustAndIsClamped)
{
    // The start value 20 is raised to the floor by the first frame.
    s.anim.ActiveStep = 10;
    Ports(-0.1f, -0.1f, -0.1f, -0.1f);
    Frame();
    EXPECT_EQ(s.steam.FrontSteamDensity, 25.0f);
    EXPECT_EQ(s.steam.RearSteamDensity, 25.0f);
    EXPECT_EQ(static_cast<int>(FrontChamberDots().size()), Count(25));

    // Admission: += step * 50 * (open + 0.1).
    Ports(0.3f, -0.1f, -0.1f, -0.1f);
    Frame();
    EXPECT_FLOAT_EQ(s.steam.FrontSteamDensity, 25 + 10 * 50 * (0.3f + 0.1f));
    EXPECT_EQ(static_cast<int>(FrontChamberDots().size()), Count(s.steam.FrontSteamDensity));
    // ... up to 2000.
    for (int i = 0; i < 20; ++i) Frame();
    EXPECT_EQ(s.steam.FrontSteamDensity, 2000.0f);
    EXPECT_EQ(static_cast<int>(FrontChamberDots().size()), Count(2000));

    // Exhaust: -= step * 60 * open, down to 25.
    Ports(-0.3f, 0.5f, -0.1f, -0.1f);
    Frame();
    EXPECT_FLOAT_EQ(s.steam.FrontSteamDensity, 2000 - 10 * 60 * 0.5f);
    for (int i = 0; i < 20; ++i) Frame();
    EXPECT_EQ(s.steam.FrontSteamDensity, 25.0f);

    // A stopped gear keeps the density; the dots keep flickering.
    s.steam.FrontSteamDensity = 700;
    s.anim.ActiveStep = 0;
    Ports(0.3f, -0.1f, -0.1f, -0.1f);
    Frame();
    EXPECT_EQ(s.steam.FrontSteamDensity, 700.0f);
    EXPECT_EQ(static_cast<int>(FrontChamberDots().size()), Count(700));

    // A NaN opening cannot poison the density.
    s.anim.ActiveStep = 10;
    Ports(std::numeric_limits<float>::quiet_NaN(), -0.1f, -0.1f, -0.1f);
    Frame();
    EXPECT_GE(s.steam.FrontSteamDensity, 25.0f);
    EXPECT_LE(s.steam.FrontSteamDensity, 2000.0f);
}

TEST_F(SteamFixture, LiveSteamDotCountsFollowTheScale)
{
    const auto& C = s.gear.CylOutline;
    s.anim.ActiveStep = 0;
    Ports(-0.1f, -0.1f, -0.1f, -0.1f);
    Frame();
    EXPECT_EQ(random.reseeds, 1); // each frame reseeds from the clock
    // The inlet comes first: round(5.4 * scale) red dots in the inlet box.
    const auto pixels = c.OfKind(CanvasOp::Pixel);
    const int inlet = ToPixel(5.4L * 22);
    ASSERT_GT(static_cast<int>(pixels.size()), inlet);
    for (int i = 0; i < inlet; ++i) {
        EXPECT_EQ(pixels[i].colour, clRed);
        EXPECT_GE(pixels[i].x1, C[0].x);
        EXPECT_LT(pixels[i].x1, C[13].x);
        EXPECT_LE(pixels[i].y1, C[0].y);
        EXPECT_GT(pixels[i].y1, C[0].y - (C[2].y - s.gear.ScreenY[13]));
    }
    // Then round(10.8 * scale) dots in the chest above the valve.
    const int chest = ToPixel(10.8L * 22);
    for (int i = inlet; i < inlet + chest; ++i) {
        EXPECT_GE(pixels[i].y1, C[0].y);
        EXPECT_LT(pixels[i].y1, s.gear.ValveOutline[0].y);
    }

    // Preset 6 magnifies the view: more dots of every kind.
    const int before = c.CountPixels();
    s.view.ViewScale = 200;
    TickModel(s);
    Ports(-0.1f, -0.1f, -0.1f, -0.1f);
    Frame();
    EXPECT_GT(c.CountPixels(), 5 * before);
    EXPECT_EQ(random.reseeds, 2);
}

TEST_F(SteamFixture, LegendOnlyWithTheScreenDataPanel)
{
    const auto& C = s.gear.CylOutline;
    Frame();
    const CanvasOp* adm = c.FindText("ADMISSION");
    ASSERT_NE(adm, nullptr);
    EXPECT_EQ(adm->x1, C[6].x - 40);
    EXPECT_EQ(adm->y1, C[6].y + 5);
    EXPECT_EQ(adm->colour, clRed);
    const CanvasOp* exp = c.FindText("EXPANSION");
    ASSERT_NE(exp, nullptr);
    EXPECT_EQ(exp->x1, C[6].x + 40);
    EXPECT_EQ(exp->y1, C[6].y + 5);
    EXPECT_EQ(exp->colour, clMagenta);
    const CanvasOp* exh = c.FindText("EXHAUST");
    ASSERT_NE(exh, nullptr);
    EXPECT_EQ(exh->x1, C[6].x - 40);
    EXPECT_EQ(exh->y1, C[6].y + 17);
    EXPECT_EQ(exh->colour, clBlue);
    const CanvasOp* comp = c.FindText("COMPRESSION");
    ASSERT_NE(comp, nullptr);
    EXPECT_EQ(comp->x1, C[6].x + 24);
    EXPECT_EQ(comp->y1, C[6].y + 17);
    EXPECT_EQ(comp->colour, clGreen);
    EXPECT_EQ(c.FontColour(), clBlack);
    // The legend is not moved by the large-font factors.
    s.view.FontScaleX = 1.27f;
    s.view.FontScaleY = 1.22f;
    Frame();
    EXPECT_EQ(c.FindText("ADMISSION")->x1, C[6].x - 40);

    // Panel off: dots and sound, no legend.
    s.display.ScreenDataOn = false;
    Ports(-0.1f, -0.1f, -0.1f, -0.1f);
    Frame();
    Ports(-0.1f, 0.1f, -0.1f, -0.1f);
    Frame();
    EXPECT_EQ(c.OfKind(CanvasOp::Text).size(), 0u);
    EXPECT_GT(c.CountPixels(), 0);
    EXPECT_EQ(sound.played, std::vector<std::string>{"Exhaust.wav"});
}

TEST_F(SteamFixture, ExhaustBeatsAreArmedAndTakeTheOtherSidesVolume)
{
    s.anim.ActiveStep = 10;
    // Exhaust open at the first frame: not armed yet, no beat.
    Ports(-0.1f, 0.2f, -0.1f, -0.1f);
    Frame();
    EXPECT_TRUE(sound.played.empty());
    // Closed: armed. Opening: one beat, at an unchanged volume (the rear has
    // recorded nothing yet, n = 0 is outside the table).
    Ports(-0.1f, -0.2f, -0.1f, -0.1f);
    Frame();
    EXPECT_TRUE(s.steam.FrontBeatArmed);
    const float frontDensity = s.steam.FrontSteamDensity;
    Ports(-0.1f, 0.2f, -0.1f, -0.1f);
    Frame();
    EXPECT_EQ(sound.played, std::vector<std::string>{"Exhaust.wav"});
    EXPECT_TRUE(sound.volumeSets.empty());
    EXPECT_EQ(sound.volume, 0x80008000u);
    EXPECT_FALSE(s.steam.FrontBeatArmed);
    // The density recorded is the one after this frame's exhaust step.
    EXPECT_FLOAT_EQ(s.steam.FrontBeatDensity, std::max(25.0f, frontDensity - 10 * 60 * 0.2f));
    // Staying open plays no second beat.
    Frame();
    EXPECT_EQ(sound.played.size(), 1u);

    // Rear beat: its volume comes from the front's recorded density.
    s.steam.FrontBeatDensity = 150;
    Ports(-0.1f, -0.2f, -0.1f, -0.2f);
    Frame();
    Ports(-0.1f, -0.2f, -0.1f, 0.2f);
    Frame();
    EXPECT_EQ(sound.played.size(), 2u);
    ASSERT_EQ(sound.volumeSets.size(), 1u);
    EXPECT_EQ(sound.volumeSets[0], 0x14001400u);
    EXPECT_EQ(s.steam.RearBeatDensity, s.steam.RearSteamDensity);

    // No arming while a dimension is highlighted.
    s.highlight.HighlightDim = 5;
    s.steam.FrontBeatArmed = s.steam.RearBeatArmed = false;
    Ports(-0.1f, -0.2f, -0.1f, -0.2f);
    Frame();
    Ports(-0.1f, 0.2f, -0.1f, 0.2f);
    Frame();
    EXPECT_EQ(sound.played.size(), 2u);
}

TEST(SteamBeatVolume, Table)
{
    EXPECT_EQ(ExhaustBeatVolume(0), 0u);
    EXPECT_EQ(ExhaustBeatVolume(23), 0u);
    EXPECT_EQ(ExhaustBeatVolume(24), 0x07000700u);
    EXPECT_EQ(ExhaustBeatVolume(100), 0x07000700u);
    EXPECT_EQ(ExhaustBeatVolume(101), 0x14001400u);
    EXPECT_EQ(ExhaustBeatVolume(200), 0x14001400u);
    EXPECT_EQ(ExhaustBeatVolume(201), 0x28002800u);
    EXPECT_EQ(ExhaustBeatVolume(400), 0x28002800u);
    EXPECT_EQ(ExhaustBeatVolume(401), 0x40004000u);
    EXPECT_EQ(ExhaustBeatVolume(601), 0x50005000u);
    EXPECT_EQ(ExhaustBeatVolume(801), 0x60006000u);
    EXPECT_EQ(ExhaustBeatVolume(1001), 0x70007000u);
    EXPECT_EQ(ExhaustBeatVolume(1200), 0x70007000u);
    EXPECT_EQ(ExhaustBeatVolume(1201), 0x80008000u);
    EXPECT_EQ(ExhaustBeatVolume(2001), 0x80008000u);
    EXPECT_EQ(ExhaustBeatVolume(2002), 0u);
    EXPECT_EQ(ExhaustBeatVolume(-5), 0u);
}

TEST_F(SteamFixture, DegenerateHeightsBeepInsteadOfDividingByZero)
{
    auto& C = s.gear.CylOutline;
    auto& P = s.gear.PortOutline;
    P[3].y = C[5].y; // passage height 0
    C[2].y = C[0].y; // plume height 0
    s.steam.FrontSteamDensity = 2000;
    Frame();
    EXPECT_EQ(sound.beeps, 4); // both passages and both plumes
    EXPECT_GT(c.CountPixels(), 0);
    s.gear.ErrorBeepOn = false;
    Frame();
    EXPECT_EQ(sound.beeps, 4);
}

TEST_F(SteamFixture, BrokenOutlinesAndHugeScalesStayBounded)
{
    for (auto& p : s.gear.CylOutline) p = {-kPixelLimit, kPixelLimit};
    s.gear.CylOutline[13] = {kPixelLimit, -kPixelLimit};
    s.view.ViewScale = std::numeric_limits<float>::quiet_NaN();
    Frame();
    EXPECT_EQ(c.CountPixels(), 0); // no dot counts from a NaN scale
    s.view.ViewScale = -50;
    Frame();
    EXPECT_EQ(c.CountPixels(), 0);
}

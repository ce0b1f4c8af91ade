#include "drawing/ScreenData.h"
#include "drawing/DiagramCommon.h"
#include "drawing/MainPicture.h"
#include "model/DynVars.h"
#include "model/Model.h"
#include "platform/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

struct PanelFixture : ::testing::Test {
    AppState s;
    RecordingCanvas c;
    RecordingSound sound;
    FixedRandom random;
    FrameServices sv{sound, random};
    FrameEffects fx;

    void SetUp() override
    {
        StartupModel(s);
        TickModel(s);
    }

    void Frame()
    {
        c.Reset();
        fx = FrameEffects{};
        DrawScreenData(c, s, sv, fx);
    }

    // Text at exactly (x, y), or nullptr.
    const CanvasOp* TextAt(int x, int y) const
    {
        for (const CanvasOp& op : c.Ops())
            if (op.kind == CanvasOp::Text && op.x1 == x && op.y1 == y) return &op;
        return nullptr;
    }
    std::string TextOr(int x, int y) const
    {
        const CanvasOp* op = TextAt(x, y);
        return op ? op->text : "<none>";
    }

    // One frame in which the front steam port closes between two samples.
    void FrontCloses(float prevOpen, float open, float prevPx, float px)
    {
        s.gear.PrevFrontSteamOpen = prevOpen;
        s.gear.FrontSteamOpen = open;
        s.gear.PrevPistonPx = prevPx;
        s.gear.PistonPx = px;
        s.gear.PrevRearSteamOpen = -1;
        s.gear.RearSteamOpen = -1;
        Frame();
    }
};

} // namespace

TEST_F(PanelFixture, ReadoutTextsAndPlaces)
{
    Gear& g = s.gear;
    g.RevArmPos = 0.5f;
    g.SolvedDriverAngle = 90;
    s.anim.SelectedStep = 10;
    g.PistonPx = 320;
    g.ValveCen = -0.209f;
    g.FrontSteamOpen = 0.024f;
    g.FrontExhOpen = -0.234f;
    g.RearSteamOpen = -0.394f;
    g.RearExhOpen = 0.184f;
    g.StrapAngle = static_cast<float>(kPi / 6);
    Frame();
    EXPECT_EQ(TextOr(199, 25), "Pan Vert  ");
    EXPECT_EQ(TextOr(199, 39), "Pan Horz  ");
    EXPECT_EQ(TextOr(199, 53), "Zoom  ");
    EXPECT_EQ(TextOr(459, 25), "Rev Arm  0.500  ");
    EXPECT_EQ(TextOr(459, 39), "Driv Ang  90.00  ");
    EXPECT_EQ(TextOr(459, 53), "Step Ang 10.00  ");
    EXPECT_EQ(TextOr(545, 25), "Piston %  50.00  ");
    EXPECT_EQ(TextOr(545, 37), "ValveCen -0.209  ");
    EXPECT_EQ(TextOr(545, 49), "ValveFSt  0.024  ");
    EXPECT_EQ(TextOr(545, 61), "ValveFEx -0.234  ");
    EXPECT_EQ(TextOr(545, 73), "ValveRSt -0.394  ");
    EXPECT_EQ(TextOr(545, 85), "ValveREx  0.184  ");
    EXPECT_EQ(TextOr(545, 97), "EccStAng  30.00  ");
    for (const CanvasOp& op : c.OfKind(CanvasOp::Text)) EXPECT_EQ(op.colour, clBlack) << op.text;

    // Large font: anchors move by 1.27 across and 1.22 down.
    s.view.FontScaleX = 1.27f;
    s.view.FontScaleY = 1.22f;
    Frame();
    EXPECT_EQ(TextOr(253, 31), "Pan Vert  ");         // 199*1.27, 25*1.22
    EXPECT_EQ(TextOr(692, 118), "EccStAng  30.00  "); // 545*1.27, 97*1.22
    EXPECT_EQ(TextAt(545, 97), nullptr);

    // Broken values print, they do not crash.
    g.ValveCen = std::numeric_limits<float>::quiet_NaN();
    g.PistonPx = std::numeric_limits<float>::infinity();
    Frame();
    EXPECT_EQ(TextOr(692, 45), "ValveCen    NaN  ");
}

TEST_F(PanelFixture, DriverAngleReadoutIsTheAngleTheFrameWasSolvedAt)
{
    s.anim.Direction = RunDirection::Fwd;
    s.anim.ActiveStep = 5;
    s.gear.DriverAngle = 40;
    TickModel(s);
    Frame();
    EXPECT_EQ(s.gear.DriverAngle, 45.0f); // the animation still moves on
    EXPECT_EQ(TextOr(459, 39), "Driv Ang  40.00  ");
}

TEST_F(PanelFixture, FrontCutOffIsInterpolatedAndShownForAWhile)
{
    s.anim.ActiveStep = 10;
    // Open 0.1 at 150, -0.1 at 170: closed half-way, at 160 = 25 %.
    FrontCloses(0.1f, -0.1f, 150, 170);
    EXPECT_EQ(s.steam.FrontCutOffText, " 25.0");
    EXPECT_EQ(TextOr(545, 109), "FrontCO% ");
    EXPECT_EQ(TextOr(600, 109), " 25.0");
    const int shown = ToPixel(400 / 10.1L); // 40 frames in all
    EXPECT_EQ(s.steam.FrontCutOffTicks, shown - 1);
    // The samples move on.
    EXPECT_EQ(s.gear.PrevPistonPx, 170.0f);
    EXPECT_EQ(s.gear.PrevFrontSteamOpen, -0.1f);
    // The figure stays for the remaining frames, the label always.
    for (int i = 1; i < shown; ++i) {
        Frame();
        ASSERT_EQ(TextOr(600, 109), " 25.0") << i;
    }
    Frame();
    EXPECT_EQ(TextAt(600, 109), nullptr);
    EXPECT_EQ(TextOr(545, 109), "FrontCO% ");
    EXPECT_EQ(s.steam.FrontCutOffTicks, 0);

    // Large font moves it.
    s.view.FontScaleX = 1.27f;
    s.view.FontScaleY = 1.22f;
    FrontCloses(0.2f, -0.2f, 100, 284);
    EXPECT_EQ(TextOr(762, 133), " 30.0"); // closed at 192 = 30 %

    // Figures keep their column: one decimal, right-aligned in five places.
    FrontCloses(0.2f, -0.2f, 0, 64);
    EXPECT_EQ(s.steam.FrontCutOffText, "  5.0");
    FrontCloses(0.2f, -0.2f, 600, 680);
    EXPECT_EQ(s.steam.FrontCutOffText, "100.0");
}

TEST_F(PanelFixture, RearCutOffMeasuresFromTheOtherEnd)
{
    s.anim.ActiveStep = 5;
    Gear& g = s.gear;
    g.PrevFrontSteamOpen = -1;
    g.FrontSteamOpen = -1;
    g.PrevRearSteamOpen = 0.3f;
    g.RearSteamOpen = -0.1f;
    g.PrevPistonPx = 400;
    g.PistonPx = 480;
    Frame();
    // pc = 400 + 0.3 * 80 / 0.4 = 460; (640 - 460) / 6.4 = 28.125
    EXPECT_EQ(s.steam.RearCutOffText, " 28.1");
    EXPECT_EQ(TextOr(545, 121), "RearCO% ");
    EXPECT_EQ(TextOr(600, 121), " 28.1");
    EXPECT_EQ(s.steam.RearCutOffTicks, ToPixel(400 / 5.1L) - 1);

    // Both close in the same step: the rear interpolates from the front's
    // closing position.
    g.PrevFrontSteamOpen = 0.1f;
    g.FrontSteamOpen = -0.1f;
    g.PrevRearSteamOpen = 0.1f;
    g.RearSteamOpen = -0.3f;
    g.PrevPistonPx = 100;
    g.PistonPx = 200;
    Frame();
    // front pc = 150; rear pc = 150 + 0.1 * 50 / 0.4 = 162.5 -> 74.6 %
    EXPECT_EQ(s.steam.FrontCutOffText, " 23.4");
    EXPECT_EQ(s.steam.RearCutOffText, " 74.6");
}

TEST_F(PanelFixture, CutOffLinesOnlyWhileRunningBelow23Degrees)
{
    s.anim.ActiveStep = 23;
    FrontCloses(0.1f, -0.1f, 150, 170);
    EXPECT_EQ(s.steam.FrontCutOffText, " 25.0"); // caught all the same
    EXPECT_EQ(TextAt(545, 109), nullptr);
    EXPECT_EQ(TextAt(600, 109), nullptr);
    EXPECT_EQ(TextAt(545, 121), nullptr);

    s.anim.ActiveStep = 22.9f;
    FrontCloses(0.1f, -0.1f, 150, 170);
    EXPECT_EQ(TextOr(545, 109), "FrontCO% ");
    EXPECT_EQ(TextOr(600, 109), " 25.0");
    EXPECT_EQ(TextOr(545, 121), "RearCO% ");

    // Stopped: nothing shown, the figure waits.
    s.anim.ActiveStep = 0;
    const int ticks = s.steam.FrontCutOffTicks;
    Frame();
    EXPECT_EQ(TextAt(545, 109), nullptr);
    EXPECT_EQ(s.steam.FrontCutOffTicks, ticks);
}

TEST_F(PanelFixture, ErrorIndicatorTimeline)
{
    s.gear.SolveError = true;
    for (int i = 1; i <= 9; ++i) {
        Frame();
        EXPECT_EQ(fx.errorItem, Vis::Show) << i;
    }
    EXPECT_TRUE(sound.played.empty());
    Frame(); // 10
    EXPECT_EQ(fx.errorItem, Vis::Hide);
    EXPECT_EQ(sound.played, std::vector<std::string>{"Error.wav"});
    for (int i = 11; i <= 20; ++i) {
        Frame();
        EXPECT_EQ(fx.errorItem, Vis::Keep) << i;
        EXPECT_TRUE(s.gear.SolveError);
    }
    Frame(); // 21: cleared
    EXPECT_FALSE(s.gear.SolveError);
    EXPECT_EQ(s.steam.ErrorTicks, 0);
    Frame();
    EXPECT_EQ(fx.errorItem, Vis::Keep);
    EXPECT_EQ(sound.played.size(), 1u);
}

TEST_F(PanelFixture, UndoLabelAndButtonPlace)
{
    Frame();
    EXPECT_EQ(fx.undoButton, Vis::Hide);
    EXPECT_TRUE(c.TextsContaining(" to ").empty());

    s.dyn.UndoOn = true;
    StageDynVar(s, 2, s.gear.Stroke, "Stroke");
    DynBarEnter(s, 1);
    if (DynBarChange(s, 1, 1)) DynBarChange(s, 1, 0);
    DynBarEndScroll(s, 1);
    Frame();
    EXPECT_EQ(fx.undoButton, Vis::Show);
    EXPECT_EQ(TextOr(320, 73), " 1- Stroke  3.501 to  3.500");
    EXPECT_EQ(fx.undoButtonTop, 72);
    EXPECT_EQ(fx.undoButtonLeft, kUndoButtonLeft);

    s.dyn.DynVarsOn = true;
    Frame();
    EXPECT_EQ(TextOr(320, 128), " 1- Stroke  3.501 to  3.500");
    EXPECT_EQ(fx.undoButtonTop, 127);

    // Large font: both coordinates use the horizontal factor.
    s.view.FontScaleX = 1.27f;
    s.view.FontScaleY = 1.22f;
    Frame();
    EXPECT_EQ(TextOr(406, 163), " 1- Stroke  3.501 to  3.500");
    EXPECT_EQ(fx.undoButtonTop, 161);
}

// The undo line of the main window and of a diagram window: with nothing to
// undo it shows no record's values, only the count of records to redo when
// there are any.
TEST_F(PanelFixture, UndoLineWithNothingToUndoShowsOnlyWhatWaitsToBeRedone)
{
    s.dyn.UndoOn = true;
    StageDynVar(s, 2, s.gear.Stroke, "Stroke");
    for (int k = 1; k <= 2; ++k) {
        DynBarEnter(s, 1);
        if (DynBarChange(s, 1, 1)) DynBarChange(s, 1, 0);
        DynBarEndScroll(s, 1);
    }
    const struct {
        int undos; // "UnDo" clicks after the two records
        std::string line, diagram;
    } cases[] = {
        {0, " 2- Stroke  3.502 to  3.501", " 2- Stroke  3.502 to  3.501."},
        // (past the readouts' frame at 7 pixels a character: no count)
        {1, " 1- Stroke  3.501 to  3.500", " 1- Stroke  3.501 to  3.500.   1 to redo"},
        {2, "   2 to redo", "   2 to redo"},
    };
    for (const auto& cs : cases) {
        SCOPED_TRACE(cs.undos);
        AppState t = s;
        for (int k = 0; k < cs.undos; ++k) UndoButtonClick(t);
        std::swap(s, t);
        Frame();
        std::swap(s, t);
        EXPECT_EQ(TextOr(320, 73), cs.line);
        EXPECT_EQ(DiagramUndoText(c, t), cs.diagram + std::string(12, ' '));
    }
}

TEST_F(PanelFixture, DynamicVariablePanel)
{
    Frame();
    EXPECT_FALSE(fx.dynBarsTouched); // off: nothing drawn, bars left alone
    EXPECT_TRUE(c.TextsContaining("Select").empty());

    s.dyn.DynVarsOn = true;
    Frame();
    const CanvasOp* banner = TextAt(377, 81);
    ASSERT_NE(banner, nullptr);
    EXPECT_EQ(banner->text, "* First Select Dimensions *");
    EXPECT_EQ(banner->colour, clRed);
    EXPECT_EQ(TextOr(377, 71), "*******************************");
    EXPECT_EQ(TextOr(377, 95), "*******************************");
    EXPECT_EQ(TextAt(377, 71)->colour, clRed);
    EXPECT_EQ(c.FontColour(), clBlack);
    EXPECT_TRUE(fx.dynBarsTouched);
    EXPECT_EQ(fx.dynBarEnabled, (std::array<bool, 4>{false, false, false, false}));

    StageDynVar(s, 2, 3.5f, "Stroke");
    StageDynVar(s, 6, 12.25f, "Ecc Angle Deg");
    Frame();
    EXPECT_EQ(TextOr(377, 71), "Ecc Angle Deg");
    EXPECT_EQ(TextOr(498, 71), "12.250");
    EXPECT_EQ(TextOr(377, 83), "Stroke");
    EXPECT_EQ(TextOr(498, 83), " 3.500");
    EXPECT_EQ(TextOr(377, 95), kEmptySlotName);
    EXPECT_EQ(TextOr(498, 95), " 0.000");
    EXPECT_EQ(TextOr(377, 107), kEmptySlotName);
    EXPECT_EQ(TextAt(377, 71)->colour, clBlack);
    EXPECT_EQ(fx.dynBarEnabled, (std::array<bool, 4>{true, true, false, false}));

    s.view.FontScaleX = 1.27f;
    s.view.FontScaleY = 1.22f;
    Frame();
    EXPECT_EQ(TextOr(479, 101), "Stroke"); // 377*1.27, 83*1.22
    EXPECT_EQ(TextOr(632, 101), " 3.500"); // 498*1.27
    EXPECT_EQ(TextOr(632, 131), " 0.000"); // 107*1.22 = 130.54
}

// A value too long for its width keeps clear of its label; the ordinary ones
// read as they always have.
TEST_F(PanelFixture, ALongValueKeepsClearOfItsLabel)
{
    const struct {
        std::function<void(AppState&)> set;
        int x, y;
        const char* text;
    } cases[] = {
        {[](AppState& a) { a.gear.RearExhOpen = -34.333f; }, 545, 85, "ValveREx -34.333  "},
        {[](AppState& a) { a.gear.RearExhOpen = 0.184f; }, 545, 85, "ValveREx  0.184  "},
        {[](AppState& a) { a.gear.ValveCen = -12.5f; }, 545, 37, "ValveCen -12.500  "},
        {[](AppState& a) { a.gear.ValveCen = 12.5f; }, 545, 37, "ValveCen 12.500  "},
        {[](AppState& a) { a.gear.FrontSteamOpen = 123.25f; }, 545, 49, "ValveFSt 123.250  "},
        {[](AppState& a) { a.gear.StrapAngle = static_cast<float>(-2.5); }, 545, 97, "EccStAng -143.24  "},
        {[](AppState& a) { a.anim.SelectedStep = 100; }, 459, 53, "Step Ang 100.00  "},
        {[](AppState& a) { a.gear.RevArmPos = -12.25f; }, 459, 25, "Rev Arm -12.250  "},
    };
    for (const auto& c : cases) {
        c.set(s);
        Frame();
        EXPECT_EQ(TextOr(c.x, c.y), c.text);
    }
}

// The step angle is the step bar's setting, shown beside it on the screen:
// a picture that leaves the program, and every frame of an animation (whose
// frames are their own step apart), leave it out with the other captions of
// controls, and keep the readouts of the gear.
TEST(ScreenDataPictures, TheStepAngleIsOnTheScreenOnly)
{
    AppState s;
    StartupModel(s);
    MainAnimation animation(s, 72, 0);
    const struct {
        const char* what;
        DisplayList list;
    } pictures[] = {
        {"the exported picture", MainExportPicture(s)},
        {"an animation's first frame", animation.Frame(0)},
        {"an animation's tenth frame", animation.Frame(9)},
    };
    const auto startsWith = [](const RecordingCanvas& c, const std::string& start) {
        for (const CanvasOp& op : c.OfKind(CanvasOp::Text))
            if (op.text.rfind(start, 0) == 0) return true;
        return false;
    };
    for (const auto& p : pictures) {
        SCOPED_TRACE(p.what);
        RecordingCanvas screen, picture;
        p.list.Replay(screen, DisplayList::Part::Screen);
        p.list.Replay(picture, DisplayList::Part::Picture);
        EXPECT_TRUE(startsWith(screen, "Step Ang 10.00"));
        EXPECT_FALSE(startsWith(picture, "Step Ang"));
        EXPECT_FALSE(startsWith(picture, "Pan Vert"));
        for (const char* kept : {"Rev Arm", "Driv Ang", "Piston %", "EccStAng"})
            EXPECT_TRUE(startsWith(picture, kept)) << kept;
    }
}

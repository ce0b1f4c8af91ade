// The display list a window keeps of what it shows: what it replays, how it
// crops, and a whole frame recorded while drawn.
#include "platform/DisplayList.h"

#include "drawing/FrameDrawing.h"
#include "model/Model.h"
#include "platform/RecordingCanvas.h"

#include <gtest/gtest.h>

namespace {

// What a replay must give back, one line per operation (the pen only where
// it is used, the font only for texts).
std::vector<std::string> Describe(const std::vector<CanvasOp>& ops)
{
    std::vector<std::string> out;
    for (const CanvasOp& op : ops) {
        const bool pen = op.kind == CanvasOp::Line || op.kind == CanvasOp::Ellipse || op.kind == CanvasOp::Arc;
        std::string s = std::to_string(op.kind);
        for (int v : {op.x1, op.y1, op.x2, op.y2, op.x3, op.y3, op.x4, op.y4, static_cast<int>(op.colour)})
            s += " " + std::to_string(v);
        if (pen) s += " pen " + std::to_string(op.penWidth) + std::to_string(static_cast<int>(op.penStyle));
        if (op.kind == CanvasOp::Text) s += " font " + std::to_string(op.fontSize) + std::to_string(op.bold) + op.text;
        out.push_back(s);
    }
    return out;
}

std::vector<CanvasOp> Replayed(const DisplayList& list)
{
    RecordingCanvas r;
    list.Replay(r);
    return r.Ops();
}

} // namespace

TEST(DisplayList, ReplaysEveryOperationWithItsStateAndCropsToItsRectangle)
{
    auto draw = [](Canvas& c) {
        c.SetPenColour(clRed);
        c.SetPenWidth(2);
        c.Line(10, 10, 90, 70);
        c.SetPenStyle(PenStyle::Dot);
        c.Ellipse(20, 20, 40, 30);
        c.SetPenStyle(PenStyle::Solid);
        c.Arc(0, 0, 50, 50, 50, 25, 25, 0);
        c.SetPixel(5, 6, clBlue);
        c.SetFontColour(clGreen);
        c.SetFontSize(12);
        c.SetFontBold(true);
        c.TextOut(30, 40, "Percent Piston Travel");
    };
    DisplayList list(100, 80);
    DisplayListCanvas c(list);
    draw(c);
    c.Line(200, 200, 300, 250); // off the picture: left out
    c.SetPixel(-1, 3, clRed);
    c.TextOut(100, 10, "beyond the right edge");
    RecordingCanvas direct;
    draw(direct);
    EXPECT_EQ(Describe(Replayed(list)), Describe(direct.Ops()));
    EXPECT_EQ(list.CountLines(), 1);

    // Cropped: the rectangle's corner becomes the origin.
    list.Crop(20, 20, 30, 30);
    EXPECT_EQ(list.Width(), 30);
    RecordingCanvas cropped;
    list.Replay(cropped);
    EXPECT_TRUE(cropped.HasLine(-10, -10, 70, 50));
    ASSERT_EQ(cropped.OfKind(CanvasOp::Arc).size(), 1u);
    EXPECT_EQ(cropped.OfKind(CanvasOp::Arc)[0].x3, 30);
    EXPECT_EQ(cropped.CountPixels(), 0); // (5, 6) is now outside
    ASSERT_NE(cropped.FindText("Percent Piston Travel"), nullptr);
    EXPECT_EQ(cropped.FindText("Percent Piston Travel")->x1, 10);
}

TEST(DisplayList, AFrameRecordedWhileDrawnReplaysAsTheFrameItself)
{
    // Two equal states drawn with equal services, one straight onto a canvas
    // and one into a list reused from frame to frame, with the steam display
    // (many pixels), reference points and the dynamic-variable panel on.
    AppState a;
    StartupModel(a);
    a.display.SteamDisplayOn = a.display.RefPointsOn = a.dyn.DynVarsOn = a.dyn.UndoOn = true;
    AppState b = a;
    RecordingSound soundA, soundB;
    FixedRandom randomA(7), randomB(7);
    FrameServices servicesA{soundA, randomA}, servicesB{soundB, randomB};
    DisplayList list;
    for (int tick = 0; tick < 12; ++tick) {
        TickModel(a);
        TickModel(b);
        RecordingCanvas direct;
        FrameEffects fxA, fxB;
        ComposeFrame(direct, a, servicesA, fxA);
        list.Reset(1280, 1024);
        DisplayListCanvas recorder(list);
        ComposeFrame(recorder, b, servicesB, fxB);
        ASSERT_EQ(Describe(Replayed(list)), Describe(direct.Ops())) << "tick " << tick;
        if (tick == 11) {
            EXPECT_GT(direct.CountPixels(), 100);
        }
    }
}

TEST(PictureFiles, FormatsFromExtensionsAndProposedNames)
{
    EXPECT_EQ(PictureFormatOf("a/b/Nominal-port-graph.SVG"), PictureFormat::Svg);
    EXPECT_EQ(PictureFormatOf("x.Pdf"), PictureFormat::Pdf);
    EXPECT_EQ(PictureFormatOf("x.jpg"), PictureFormat::None);
    EXPECT_EQ(PictureFormatOf("dir.png/x"), PictureFormat::None);
    EXPECT_EQ(ProposedPictureName("Nominal", "port-graph", PictureFormat::Svg), "Nominal-port-graph.svg");
    EXPECT_EQ(ProposedPictureName("My: design?", "gear", PictureFormat::Png), "My_ design_-gear.png");
    EXPECT_EQ(ProposedPictureName("", "gear", PictureFormat::Pdf), "Picture-gear.pdf");
}

TEST(DisplayList, APictureLeavesOutWhatWasDrawnScreenOnlyAndKeepsThePenAndFontAfterIt)
{
    // Drawn once: a line, then screen-only a caption and a red line (the
    // pen and font changed there), then a text and a line in that state.
    auto draw = [](Canvas& d, bool marked) {
        d.Line(1, 1, 9, 1);
        {
            ScreenOnlyPart caption(d, marked);
            d.SetPenColour(clRed);
            d.SetFontBold(true);
            d.TextOut(5, 5, "Pan Vert");
            d.Line(1, 3, 9, 3);
        }
        EXPECT_FALSE(d.ScreenOnly());
        d.TextOut(5, 20, "Rev Arm");
        d.Line(1, 30, 9, 30);
    };
    DisplayList list(100, 100), plain(100, 100);
    RecordingCanvas direct; // the same drawing straight on a canvas
    draw(direct, true);
    {
        DisplayListCanvas d(list);
        draw(d, true);
        DisplayListCanvas p(plain);
        draw(p, false);
    }
    RecordingCanvas screen, picture;
    list.Replay(screen);
    list.Replay(picture, DisplayList::Part::Picture);
    EXPECT_EQ(Describe(screen.Ops()), Describe(direct.Ops()));
    std::vector<CanvasOp> expected = direct.Ops();
    expected.erase(expected.begin() + 1, expected.begin() + 3); // the caption and the red line
    EXPECT_EQ(Describe(picture.Ops()), Describe(expected));
    ASSERT_EQ(picture.Ops().size(), 3u);
    EXPECT_EQ(picture.Ops()[2].colour, clRed);
    EXPECT_TRUE(picture.Ops()[1].bold);
    EXPECT_EQ(list.CountTexts(), 2);
    EXPECT_EQ(list.CountTexts(DisplayList::Part::Picture), 1);
    // The same drawing with the caption not screen-only is another picture.
    EXPECT_FALSE(plain.SameAs(list));
}

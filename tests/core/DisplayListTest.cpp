// The display list a window keeps of what it shows: what it replays, how it
// crops, and a whole frame recorded while drawn.
#include "platform/DisplayList.h"
#include "graphs/DiagramPictures.h"
#include "mainwin/FrameDrawing.h"
#include "model/Model.h"
#include "platform/RecordingCanvas.h"

#include <gtest/gtest.h>

namespace {

// The fields a replay must give back, as text for readable failures.
std::string Describe(const CanvasOp& op)
{
    std::string s = std::to_string(op.kind) + ":";
    for (int v : {op.x1, op.y1, op.x2, op.y2, op.x3, op.y3, op.x4, op.y4, static_cast<int>(op.colour), op.penWidth,
                  static_cast<int>(op.penStyle), op.fontSize, static_cast<int>(op.bold)})
        s += " " + std::to_string(v);
    return s + " " + op.text;
}

std::vector<std::string> Describe(const std::vector<CanvasOp>& ops)
{
    std::vector<std::string> out;
    for (const CanvasOp& op : ops) {
        CanvasOp o = op;
        if (o.kind == CanvasOp::Pixel || o.kind == CanvasOp::Text || o.kind == CanvasOp::Clear) {
            // These do not use the pen: only the colour they carry counts.
            o.penWidth = 1;
            o.penStyle = PenStyle::Solid;
        }
        if (o.kind != CanvasOp::Text) o.fontSize = 0, o.bold = false;
        out.push_back(Describe(o));
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
    DisplayList list(100, 80);
    DisplayListCanvas c(list);
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
    c.SetPenColour(clBlack);
    c.SetPenWidth(1);
    c.Line(200, 200, 300, 250); // off the picture
    c.SetPixel(-1, 3, clRed);   // off the picture
    c.TextOut(100, 10, "beyond the right edge");

    RecordingCanvas direct;
    direct.SetPenColour(clRed);
    direct.SetPenWidth(2);
    direct.Line(10, 10, 90, 70);
    direct.SetPenStyle(PenStyle::Dot);
    direct.Ellipse(20, 20, 40, 30);
    direct.SetPenStyle(PenStyle::Solid);
    direct.Arc(0, 0, 50, 50, 50, 25, 25, 0);
    direct.SetPixel(5, 6, clBlue);
    direct.SetFontColour(clGreen);
    direct.SetFontSize(12);
    direct.SetFontBold(true);
    direct.TextOut(30, 40, "Percent Piston Travel");
    EXPECT_EQ(Describe(Replayed(list)), Describe(direct.Ops()));
    EXPECT_EQ(list.CountLines(), 1);
    EXPECT_EQ(list.CountTexts(), 1);

    // Cropped: the rectangle's corner becomes the origin; what lies wholly
    // outside it is left out.
    list.Crop(20, 20, 30, 30);
    EXPECT_EQ(list.Width(), 30);
    EXPECT_EQ(list.Height(), 30);
    RecordingCanvas cropped;
    list.Replay(cropped);
    EXPECT_TRUE(cropped.HasLine(-10, -10, 70, 50));
    ASSERT_EQ(cropped.OfKind(CanvasOp::Ellipse).size(), 1u);
    EXPECT_EQ(cropped.OfKind(CanvasOp::Ellipse)[0].x2, 20);
    ASSERT_EQ(cropped.OfKind(CanvasOp::Arc).size(), 1u);
    EXPECT_EQ(cropped.OfKind(CanvasOp::Arc)[0].x3, 30);
    EXPECT_EQ(cropped.CountPixels(), 0); // (5, 6) is now above and left of the picture
    ASSERT_NE(cropped.FindText("Percent Piston Travel"), nullptr);
    EXPECT_EQ(cropped.FindText("Percent Piston Travel")->x1, 10);
    EXPECT_TRUE(cropped.TextsContaining("beyond").empty());
}

TEST(DisplayList, AFrameRecordedWhileDrawnReplaysAsTheFrameItself)
{
    // Two equal states drawn with equal services: one straight onto a
    // canvas, one into a list that is replayed; with the steam display (many
    // pixels), reference points and the dynamic-variable panel on.
    AppState a;
    StartupModel(a);
    a.display.SteamDisplayOn = true;
    a.display.RefPointsOn = true;
    a.dyn.DynVarsOn = true;
    a.dyn.UndoOn = true;
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
        list.Reset(1280, 1024); // reused from frame to frame, as the main window does
        DisplayListCanvas recorder(list);
        ComposeFrame(recorder, b, servicesB, fxB);
        ASSERT_EQ(Describe(Replayed(list)), Describe(direct.Ops())) << "tick " << tick;
    }
    RecordingCanvas last;
    list.Replay(last);
    EXPECT_GT(last.CountPixels(), 100);
}

TEST(DisplayList, DiagramsAsOpenedKeepTheGearAndFitTheirWindows)
{
    for (DiagramKind k : {DiagramKind::PortForward, DiagramKind::PortReverse, DiagramKind::PortBoth, DiagramKind::Steam,
                          DiagramKind::Oval, DiagramKind::Sine}) {
        SCOPED_TRACE(static_cast<int>(k));
        AppState s;
        StartupModel(s);
        s.gear.DriverAngle = 123;
        s.gear.RevArmPos = 0.5f;
        DisplayList list(DiagramPictureWidth(k), DiagramPictureHeight(k));
        DisplayListCanvas c(list);
        DrawDiagramAsOpened(c, s, k);
        EXPECT_EQ(s.gear.DriverAngle, 123.0f);
        EXPECT_EQ(s.gear.RevArmPos, 0.5f);
        RecordingCanvas r;
        list.Replay(r);
        EXPECT_GT(list.CountLines(), 50);
        // Every text starts and every line has an end in the window's client
        // area (the port graph's "Normal" line runs on past its right edge).
        const int w = DiagramPictureWidth(k), h = DiagramPictureHeight(k);
        for (const CanvasOp& op : r.OfKind(CanvasOp::Text)) EXPECT_TRUE(op.x1 < w && op.y1 + 12 < h) << op.text;
        for (const CanvasOp& op : r.OfKind(CanvasOp::Line))
            EXPECT_TRUE((op.x1 <= w && op.y1 <= h) || (op.x2 <= w && op.y2 <= h));
    }
}

TEST(PictureFiles, FormatsFromExtensionsAndProposedNames)
{
    EXPECT_EQ(PictureFormatOf("a/b/Nominal-port-graph.SVG"), PictureFormat::Svg);
    EXPECT_EQ(PictureFormatOf("x.png"), PictureFormat::Png);
    EXPECT_EQ(PictureFormatOf("x.Pdf"), PictureFormat::Pdf);
    EXPECT_EQ(PictureFormatOf("x.jpg"), PictureFormat::None);
    EXPECT_EQ(PictureFormatOf("dir.png/x"), PictureFormat::None);
    EXPECT_EQ(ProposedPictureName("Nominal", "port-graph", PictureFormat::Svg), "Nominal-port-graph.svg");
    EXPECT_EQ(ProposedPictureName("My: design?", "gear", PictureFormat::Png), "My_ design_-gear.png");
    EXPECT_EQ(ProposedPictureName("", "gear", PictureFormat::Pdf), "Picture-gear.pdf");
}

// The main window's frames painted by what changed against the same frames
// painted whole: the same pixels at every ratio, and a changed part that holds
// every pixel that changed.
#include "drawing/FrameDrawing.h"
#include "drawing/MainWindowSize.h"
#include "model/Model.h"
#include "platform/DisplayList.h"
#include "platform/Services.h"
#include "qt/QtCanvas.h"
#include "qt/QtFrameBuffer.h"

#include <QPainter>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace {

struct FrameCase {
    const char* name;
    qreal ratio;
    std::function<void(AppState&)> setUp;
    // Changed between two ticks (a view or a dimension that jumps).
    std::function<void(AppState&, int tick)> during;
};

void Preset(AppState& s, int preset)
{
    s.view.ViewScale = s.view.PresetTable[3 * preset];
    s.view.ViewOffsetX = s.view.PresetTable[3 * preset + 1];
    s.view.ViewOffsetY = s.view.PresetTable[3 * preset + 2];
}

// Every device pixel that differs between two images of one size lies in
// `region` (logical pixels at `ratio`).
bool RegionHoldsChanges(const QImage& before, const QImage& after, const QRegion& region, qreal ratio)
{
    for (int y = 0; y < after.height(); ++y) {
        const auto* a = reinterpret_cast<const QRgb*>(before.constScanLine(y));
        const auto* b = reinterpret_cast<const QRgb*>(after.constScanLine(y));
        for (int x = 0; x < after.width(); ++x)
            if (a[x] != b[x] && !region.contains(QPoint(static_cast<int>(x / ratio), static_cast<int>(y / ratio))))
                return false;
    }
    return true;
}

} // namespace

TEST(FrameBuffer, EveryOperationPaintsInsideItsBoxAtEveryRatio)
{
    struct Op {
        const char* name;
        std::function<void(Canvas&)> draw;
    };
    const auto pen = [](Canvas& c, int width, PenStyle style) {
        c.SetPenWidth(width);
        c.SetPenStyle(style);
    };
    const auto font = [](Canvas& c, int size, bool bold) {
        c.SetFontSize(size);
        c.SetFontBold(bold);
    };
    const std::vector<Op> ops = {
        {"sloping line", [](Canvas& c) { c.Line(60, 30, 140, 90); }},
        {"steep line backwards, width 2", [&](Canvas& c) { pen(c, 2, PenStyle::Solid), c.Line(101, 110, 90, 5); }},
        {"long shallow dotted line", [&](Canvas& c) { pen(c, 1, PenStyle::Dot), c.Line(195, 52, 3, 71); }},
        {"upright dotted line, width 3", [&](Canvas& c) { pen(c, 3, PenStyle::Dot), c.Line(70, 100, 70, 20); }},
        {"level line, width 2", [&](Canvas& c) { pen(c, 2, PenStyle::Solid), c.Line(55, 60, 145, 60); }},
        {"a point", [](Canvas& c) { c.Line(100, 60, 100, 60); }},
        {"ellipse, width 3", [&](Canvas& c) { pen(c, 3, PenStyle::Solid), c.Ellipse(70, 40, 130, 90); }},
        {"ellipse given backwards", [](Canvas& c) { c.Ellipse(130, 90, 70, 40); }},
        {"large circle, dotted", [&](Canvas& c) { pen(c, 1, PenStyle::Dot), c.Ellipse(40, 0, 160, 119); }},
        {"flat ellipse", [](Canvas& c) { c.Ellipse(10, 55, 190, 66); }},
        {"arc, width 2", [&](Canvas& c) { pen(c, 2, PenStyle::Solid), c.Arc(60, 20, 140, 100, 140, 60, 60, 60); }},
        {"arc beyond a half turn", [](Canvas& c) { c.Arc(40, 2, 156, 118, 150, 100, 60, 110); }},
        {"pixel", [](Canvas& c) { c.SetPixel(99, 61, clRed); }},
        {"readout", [](Canvas& c) { c.TextOut(60, 50, "ValveREx-34.333  "); }},
        {"overhanging glyphs, bold 12", [&](Canvas& c) { font(c, 12, true), c.TextOut(60, 40, "Wjf%gy/|"); }},
        {"small", [&](Canvas& c) { font(c, 6, false), c.TextOut(60, 40, "Ag|Q_"); }},
        {"wide, 14", [&](Canvas& c) { font(c, 14, false), c.TextOut(50, 30, "WWWWWWW"); }},
        {"not ASCII", [](Canvas& c) { c.TextOut(60, 50, "Driv Ang 90\u00b0 \u00c5\u00e7"); }},
    };
    for (const qreal ratio : {1.0, 1.25, 1.5, 2.0, 3.0})
        for (const Op& op : ops) {
            SCOPED_TRACE(std::string(op.name) + " at " + std::to_string(ratio));
            DisplayList list(200, 120);
            {
                QtListCanvas c(list);
                c.SetPenColour(clBlack);
                op.draw(c);
            }
            std::vector<DrawnOp> drawn;
            list.TakeDrawnOps(drawn);
            ASSERT_EQ(drawn.size(), 1u);
            std::vector<char> before, now;
            DrawnOpsDiffer({}, drawn, before, now, QtCanvas::TextBox);
            std::vector<PictureBox> boxes;
            ForEachPieceBox(drawn[0], [&](const PictureBox& b) { boxes.push_back(b); });
            QImage image = ImageForRatio(QSize(200, 120), ratio);
            PaintListOnImage(image, list);
            int inked = 0, outside = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x) {
                    if (image.pixel(x, y) == qRgb(255, 255, 255)) continue;
                    ++inked;
                    // The device pixel's square in logical pixels meets a box.
                    outside += std::none_of(boxes.begin(), boxes.end(), [&](const PictureBox& b) {
                        return (x + 1) / ratio > b.left && x / ratio < b.right && (y + 1) / ratio > b.top &&
                               y / ratio < b.bottom;
                    });
                }
            EXPECT_EQ(outside, 0);
            // Stamped, as the frame buffer paints it: the same pixels.
            QImage stamped = ImageForRatio(QSize(200, 120), ratio);
            stamped.fill(Qt::white);
            if (ratio == 1) {
                QtCanvas c(stamped);
                c.UseStamps();
                list.Replay(c);
            } else {
                QPainter p(&stamped);
                QtCanvas c(p, 1, 200, 120);
                c.UseStamps();
                list.Replay(c);
            }
            EXPECT_TRUE(stamped == image);
            EXPECT_GT(inked, 0);
        }
}

TEST(FrameBuffer, PaintingWhatChangedGivesTheWholePaintsPixelsAtEveryRatio)
{
    const std::vector<FrameCase> cases = {
        {"running", 1, [](AppState&) {}, nullptr},
        {"running at 150 %", 1.5, [](AppState&) {}, nullptr},
        {"running at 200 %", 2, [](AppState&) {}, nullptr},
        {"steam display close up", 1, [](AppState& s) { s.display.SteamDisplayOn = true, Preset(s, 6); }, nullptr},
        {"steam display at 200 %", 2, [](AppState& s) { s.display.SteamDisplayOn = true; }, nullptr},
        {"one degree a tick, thick pen, pivot data", 1,
         [](AppState& s) {
             s.anim.ActiveStep = s.anim.SelectedStep = 1;
             s.display.LineWidth = 3;
             s.display.PivotDataOn = true;
         },
         nullptr},
        {"blinking close-up at 125 %", 1.25, [](AppState& s) { s.highlight.HighlightDim = 3; }, nullptr},
        {"dynamic variables and undo line, large font", 1,
         [](AppState& s) {
             s.dyn.DynVarsOn = s.dyn.UndoOn = true;
             s.view.FontScaleX = s.view.FontScaleY = 1.3f;
         },
         nullptr},
        {"view and dimension jumps, 45 degrees a tick", 2,
         [](AppState& s) { s.anim.ActiveStep = s.anim.SelectedStep = 45, s.display.LineWidth = 2; },
         [](AppState& s, int tick) {
             if (tick % 7 == 3) s.view.ViewOffsetX += 9;
             if (tick % 11 == 5) s.gear.CrankDiskDia *= 1.05f;
             s.display.ScreenDataOn = tick % 13 != 0;
         }},
    };
    for (const FrameCase& fc : cases) {
        SCOPED_TRACE(fc.name);
        AppState s;
        StartupModel(s);
        fc.setUp(s);
        RecordingSound sound;
        FixedRandom random;
        FrameServices services{sound, random};
        FrameBuffer byChange, whole;
        whole.SetPaintWhole(true);
        int squares = 0, painted = 0;
        for (int tick = 0; tick < 48; ++tick) {
            if (fc.during) fc.during(s, tick);
            TickModel(s);
            DisplayList list(kClientWidth, kClientHeight);
            {
                QtListCanvas c(list);
                FrameEffects fx;
                ComposeFrame(c, s, services, fx);
            }
            DisplayList copy = list;
            const QImage before = byChange.Image().copy();
            const QRegion changed = byChange.Show(list, fc.ratio);
            whole.Show(copy, fc.ratio);
            ASSERT_TRUE(byChange.Image() == whole.Image()) << "tick " << tick;
            if (tick > 0) {
                EXPECT_TRUE(RegionHoldsChanges(before, byChange.Image(), changed, fc.ratio)) << "tick " << tick;
                squares += byChange.SquaresPainted();
                painted += whole.SquaresPainted();
            }
        }
        // The running gear alone paints well under the whole picture again.
        if (std::string(fc.name) == "running") {
            EXPECT_LT(squares, painted * 3 / 4);
        }
    }
}

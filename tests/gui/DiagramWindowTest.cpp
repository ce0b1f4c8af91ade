#include "graphs/TOvalDia.h"
#include "graphs/TSetRevArm.h"
#include "graphs/TSineDia.h"
#include "model/DynVars.h"
#include "model/Model.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "gui/GuiTestSupport.h"

#include <functional>

namespace {

// A diagram that counts its draws and draws one black line.
class CountingDiagram : public TDiagramWindow {
public:
    CountingDiagram(AppState& s, bool withPositions) : TDiagramWindow(s, MakeLayout(withPositions)) {}
    static DiagramWindowLayout MakeLayout(bool withPositions)
    {
        DiagramWindowLayout l = TOvalDia::Layout();
        l.start = DiagramWindowLayout::Start::Normal;
        if (!withPositions) l.setRevArmPos = {};
        return l;
    }
    void DrawDiagram(Canvas& c) override
    {
        ++draws;
        c.Line(44, 84, 44, 346);
    }
    int draws = 0;
};

bool HasColour(const QImage& img, QRect r, QRgb colour)
{
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (img.pixel(x, y) == colour) return true;
    return false;
}

// Text is drawn smoothed: look for a strongly red pixel.
bool HasRedText(const QImage& img, QRect r)
{
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) {
            const QRgb p = img.pixel(x, y);
            if (qRed(p) > 200 && qGreen(p) < 90 && qBlue(p) < 90) return true;
        }
    return false;
}

struct DiagramWindows : ::testing::Test {
    void SetUp() override { StartupModel(s); }
    AppState s;
};

} // namespace

TEST_F(DiagramWindows, OvalOpensWithPositionsDialogOnceStopsTheTimerAndRestartsItOnClose)
{
    TSetRevArm positions(s, nullptr);
    TOvalDia w(s, nullptr);
    w.SetPositionsDialog(&positions);
    bool timerOn = true;
    w.Host().setTimerEnabled = [&](bool on) { timerOn = on; };
    s.graph.GraphRevArmPos = -999;

    int shown = 0, phase = 0, settle = 0;
    bool timerOffInPositions = false, timerOffInDiagram = false;
    DriveModal([&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == &positions && positions.isVisible()) {
            if (phase == 0) {
                ++shown;
                timerOffInPositions = !timerOn;
                // The user drops every position after the first.
                QLineEdit* e2 = positions.Edit(2);
                e2->setFocus();
                e2->selectAll();
                QTest::keyClicks(e2, "0");
                QTest::mouseClick(positions.Close1(), Qt::LeftButton);
                phase = 1;
            } else {
                ++shown; // shown again: a fault
                positions.close();
            }
            return false;
        }
        if (modal == &w && phase == 1 && ++settle > 10) {
            timerOffInDiagram = !timerOn;
            QTest::mouseClick(w.CloseButton(), Qt::LeftButton);
            return true;
        }
        return false;
    });
    w.ShowModal();

    EXPECT_EQ(shown, 1);
    EXPECT_TRUE(timerOffInPositions);
    EXPECT_TRUE(timerOffInDiagram);
    EXPECT_TRUE(timerOn);
    // The activation drew after the dialog: one position, position 1.
    EXPECT_EQ(s.graph.GraphPosCount, 1);
    EXPECT_EQ(s.graph.GraphRevArmPos, s.gear.RevArm[1]);
    EXPECT_TRUE(s.graph.GraphRedrawPending);
    EXPECT_EQ(w.objectName(), "TOvalDia");
    EXPECT_EQ(w.CloseButton()->objectName(), "CloseOval");
}

TEST_F(DiagramWindows, RedrawRequestsMenusAndPendingMouseMove)
{
    CountingDiagram w(s, true);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.draws == 1; }, 5000)) << "draws: " << w.draws; // the activation
    EXPECT_TRUE(HasColour(w.Picture(), QRect(44, 100, 1, 100), qRgb(0, 0, 0)));

    w.ReDrawAction()->trigger();
    EXPECT_EQ(w.draws, 2);

    // Closing the positions dialog leaves a redraw pending until the mouse
    // moves over the window.
    s.graph.GraphRedrawPending = true;
    QTest::mouseMove(w.Client(), QPoint(300, 200));
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.draws == 3; }, 5000)) << "draws: " << w.draws;
    EXPECT_FALSE(s.graph.GraphRedrawPending);
    QTest::mouseMove(w.Client(), QPoint(310, 210));
    QApplication::processEvents();
    EXPECT_EQ(w.draws, 3);

    // "DynamicVari" toggles the bars (main window's too) and redraws.
    bool mainBars = false;
    w.Host().setDynBarsVisible = [&](bool on) { mainBars = on; };
    w.DynamicVariAction()->trigger();
    EXPECT_TRUE(s.dyn.DynVarsOn);
    EXPECT_TRUE(mainBars);
    EXPECT_EQ(w.draws, 4);
    for (int k = 1; k <= 4; ++k) {
        EXPECT_TRUE(w.Bar(k)->isVisible());
        EXPECT_FALSE(w.Bar(k)->isEnabled()); // no dimension selected yet
    }
    // The red banner stands in for the slots.
    EXPECT_TRUE(HasRedText(w.Picture(), QRect(235, 0, 200, 40)));

    // "&UnDo" on draws over the picture and shows the button.
    w.UnDoAction()->trigger();
    EXPECT_TRUE(s.dyn.UndoOn);
    EXPECT_TRUE(w.UndoButton()->isVisible());
    EXPECT_FALSE(w.UndoButton()->isEnabled());
    w.UnDoAction()->trigger();
    EXPECT_FALSE(w.UndoButton()->isVisible());
    EXPECT_EQ(w.draws, 6);
    w.close();
}

TEST_F(DiagramWindows, PictureSurvivesResizeAndCaptionTakesTheTail)
{
    CountingDiagram w(s, false);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.draws == 1; }, 5000)) << "draws: " << w.draws;
    // Wider only: the picture keeps its scale and place.
    const QSize layout = w.Client()->size();
    w.resize(w.width() + 100, w.height());
    QApplication::processEvents();
    EXPECT_EQ(w.PictureScale(), 1);
    QImage shot = w.Client()->grab().toImage();
    EXPECT_EQ(shot.pixel(44, 200), qRgb(0, 0, 0));
    EXPECT_EQ(shot.pixel(w.Client()->width() - 2, w.Client()->height() - 2), qRgb(255, 255, 255));

    // Twice as large both ways: the picture drawn at twice its scale (lines
    // two pixels wide where they were), the controls at their places on it.
    w.resize(w.size() - w.Client()->size() + 2 * layout);
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.Client()->size() == 2 * layout; }, 5000));
    EXPECT_EQ(w.PictureScale(), 2);
    EXPECT_EQ(w.CloseButton()->geometry(), QRect(2 * TOvalDia::Layout().closePos, QSize(150, 50)));
    shot = w.Client()->grab().toImage();
    for (int x : {87, 88, 89, 90})
        EXPECT_EQ(shot.pixel(x, 400), x == 88 || x == 89 ? qRgb(0, 0, 0) : qRgb(255, 255, 255)) << x;
    EXPECT_EQ(shot.pixel(88, 2 * 84 - 2), qRgb(255, 255, 255));
    EXPECT_EQ(shot.pixel(88, 2 * 84 + 1), qRgb(0, 0, 0));
    EXPECT_EQ(w.draws, 1); // painting does not draw the diagram again

    w.SetCaptionTail("Nominal     1/2/26   10:00   Version 2.6");
    EXPECT_EQ(w.windowTitle(), "QUELF Outside Admission      Oval Diagram    Nominal     1/2/26   10:00   Version 2.6");
    w.close();
}

TEST_F(DiagramWindows, BarArrowClickChangesTheDimensionRecordsUndoAndRedraws)
{
    CountingDiagram w(s, false);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.draws == 1; }, 5000)) << "draws: " << w.draws;
    bool mainUndo = false;
    w.Host().setUndoDnEnabled = [&](bool on) { mainUndo = on; };

    const float stroke = s.gear.Stroke;
    StageDynVar(s, 2, stroke, DimensionShortLabel(2));
    w.DynamicVariAction()->trigger();
    QScrollBar* bar = w.Bar(1);
    ASSERT_TRUE(bar->isVisible());
    ASSERT_TRUE(bar->isEnabled());
    EXPECT_FALSE(w.Bar(2)->isEnabled());
    const int before = w.draws;

    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() - 4, bar->height() / 2));
    QApplication::processEvents();
    EXPECT_FLOAT_EQ(s.gear.Stroke, static_cast<float>(static_cast<long double>(stroke) + 0.001L));
    EXPECT_EQ(bar->value(), 0);
    EXPECT_GE(w.draws, before + 2); // change, end of the gesture
    EXPECT_EQ(s.dyn.UndoCount, 1);
    EXPECT_EQ(s.dyn.Undo[1].Code, 2);
    EXPECT_EQ(s.dyn.Undo[1].Old, stroke);
    EXPECT_TRUE(mainUndo);

    // Undo takes it back through the window's button.
    w.UnDoAction()->trigger();
    ASSERT_TRUE(w.UndoButton()->isVisible());
    ASSERT_TRUE(w.UndoButton()->isEnabled());
    QTest::mouseClick(w.UndoButton(), Qt::LeftButton);
    EXPECT_FLOAT_EQ(s.gear.Stroke, stroke);
    EXPECT_EQ(s.dyn.UndoCount, 0);
    // Nothing left: the buttons go off, the main window's too.
    EXPECT_FALSE(w.UndoButton()->isEnabled());
    EXPECT_FALSE(mainUndo);
    s.dyn.UndoButtonsEnabled = true;
    mainUndo = true;
    w.UnDoDnClick();
    EXPECT_FALSE(w.UndoButton()->isEnabled());
    EXPECT_FALSE(mainUndo);
    EXPECT_FLOAT_EQ(s.gear.Stroke, stroke);
    w.close();
}

TEST_F(DiagramWindows, UndoLineAfterABarGestureLooksAsAfterAFullRedraw)
{
    CountingDiagram w(s, false);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.draws == 1; }, 5000)) << "draws: " << w.draws;
    StageDynVar(s, 2, s.gear.Stroke, DimensionShortLabel(2));
    w.DynamicVariAction()->trigger();
    w.UnDoAction()->trigger();
    QScrollBar* bar = w.Bar(1);
    // The change redraws with the old undo line, the end of the gesture draws
    // the new one on top.
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() - 4, bar->height() / 2));
    QApplication::processEvents();
    ASSERT_EQ(s.dyn.UndoCount, 1);
    const QRect line(140, 50, 400, 25); // text painted twice elsewhere darkens its smoothing
    const QImage drawn = w.Picture().copy(line);
    w.ReDrawAction()->trigger();
    EXPECT_TRUE(w.Picture().copy(line) == drawn);
    w.close();
}

TEST_F(DiagramWindows, SineWindowLayoutAndMenus)
{
    TSineDia w(s, nullptr);
    EXPECT_EQ(w.objectName(), "TSineDia");
    EXPECT_EQ(w.CloseButton()->objectName(), "CloseSin");
    EXPECT_EQ(w.Bar(3)->objectName(), "SBDynVarS3");
    EXPECT_EQ(w.UndoButton()->objectName(), "UnDoDnS");
    QStringList names;
    for (QAction* a : w.Menu()->actions()) names << a->objectName() + "=" + a->text();
    EXPECT_EQ(names.join(","),
              "SetRevArmPos=&SetRevArmPos,ReDraw=&ReDraw,UnDoSine=&UnDo,DynVari=&DymamicVariables,SetUp=Se&tUp");
    EXPECT_EQ(w.Bar(1)->minimum(), -200);
    EXPECT_EQ(w.Bar(1)->maximum(), 200);
    EXPECT_EQ(w.Bar(1)->pageStep(), 10);
    EXPECT_EQ(w.Bar(1)->geometry(), QRect(112, 3, 121, 10));
    EXPECT_EQ(w.UndoButton()->geometry(), QRect(110, 54, 40, 16));
}

// ---------------------------------------------------------------- positions dialog
TEST_F(DiagramWindows, PositionsDialogRevealsClampsAndRecounts)
{
    s.gear.RevArm[3] = 0; // two positions: boxes 1..3 shown
    TSetRevArm d(s, nullptr);
    d.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
    QApplication::processEvents();
    EXPECT_EQ(d.windowTitle(), "Set Reverse Arm Positions");
    EXPECT_TRUE(d.Edit(3)->isVisible());
    EXPECT_FALSE(d.Edit(4)->isVisible());
    EXPECT_EQ(s.graph.GraphPosCount, 2);

    // A letter is discarded but still reveals the next box.
    d.Edit(3)->setFocus();
    QTest::keyClick(d.Edit(3), Qt::Key_A);
    EXPECT_EQ(d.Edit(3)->text(), "0.000");
    EXPECT_TRUE(d.Edit(4)->isVisible());

    // One "." and one "-" at most.
    d.Edit(3)->clear();
    QTest::keyClicks(d.Edit(3), "1..5--");
    EXPECT_EQ(d.Edit(3)->text(), "1.5-");

    // Delete works; a "-" typed over a selection holding the "-" replaces it.
    QTest::keyClick(d.Edit(3), Qt::Key_Home);
    QTest::keyClick(d.Edit(3), Qt::Key_Delete);
    EXPECT_EQ(d.Edit(3)->text(), ".5-");
    d.Edit(3)->selectAll();
    QTest::keyClicks(d.Edit(3), "-1.5");
    EXPECT_EQ(d.Edit(3)->text(), "-1.5");

    // Beyond the maximum: clamped on leaving the box.
    d.Edit(4)->setFocus();
    d.Edit(4)->clear();
    QTest::keyClicks(d.Edit(4), "99");
    d.Edit(10)->setFocus();
    EXPECT_EQ(s.gear.RevArm[4], static_cast<float>(static_cast<long double>(s.gear.RevArmCentre()) + s.gear.RevArmMax));
    d.Edit(10)->clear();
    QTest::keyClicks(d.Edit(10), "0.05");

    // Zero in box 2, then Close: one position, boxes 3..9 hidden.
    d.Edit(2)->setFocus();
    EXPECT_FLOAT_EQ(s.graph.GraphVerticalScale, 0.1f);
    d.Edit(2)->clear();
    QTest::keyClicks(d.Edit(2), "0");
    QTest::mouseClick(d.Close1(), Qt::LeftButton);
    EXPECT_FALSE(d.isVisible());
    EXPECT_TRUE(s.graph.GraphRedrawPending);
    EXPECT_EQ(s.graph.GraphPosCount, 1);
    for (int k = 3; k <= 9; ++k) EXPECT_EQ(s.gear.RevArm[k], 0.0f);
    d.show();
    QApplication::processEvents();
    EXPECT_TRUE(d.Edit(2)->isVisible());
    for (int box = 3; box <= 9; ++box) EXPECT_FALSE(d.Edit(box)->isVisible()) << box;
    d.close();
}

TEST_F(DiagramWindows, AClickOnABarsThumbRecordsNothing)
{
    CountingDiagram w(s, false);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.draws == 1; }, 5000)) << "draws: " << w.draws;
    bool mainUndo = false;
    w.Host().setUndoDnEnabled = [&](bool on) { mainUndo = on; };
    StageDynVar(s, 2, s.gear.Stroke, DimensionShortLabel(2));
    w.DynamicVariAction()->trigger();
    QScrollBar* bar = w.Bar(1);
    ASSERT_TRUE(bar->isEnabled());
    const float stroke = s.gear.Stroke;
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() / 2, bar->height() / 2)); // the thumb, at 0
    QApplication::processEvents();
    EXPECT_EQ(s.gear.Stroke, stroke);
    EXPECT_EQ(s.dyn.UndoCount, 0);
    EXPECT_EQ(s.dyn.Undo[1].Code, 0);
    EXPECT_FALSE(mainUndo);
    w.close();
}

TEST_F(DiagramWindows, EachPositionLabelSitsOnItsBoxsLineLeftOfIt)
{
    for (int positions : {3, 5, 9}) {
        SCOPED_TRACE(positions);
        for (int k = 1; k <= 9; ++k) s.gear.RevArm[static_cast<size_t>(k)] = k <= positions ? 0.125f * k : 0;
        TSetRevArm d(s, nullptr);
        d.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
        const QImage shot = d.grab().toImage();
        // The rows and columns of dark pixels in a part of the dialog.
        auto ink = [&](QRect r) {
            QRect found;
            for (int y = r.top(); y <= r.bottom(); ++y)
                for (int x = r.left(); x <= r.right(); ++x)
                    if (qGray(shot.pixel(x, y)) < 110) found |= QRect(x, y, 1, 1);
            return found;
        };
        const int leftColumnEnd = d.Edit(1)->geometry().right();
        for (int box = 1; box <= 10; ++box) {
            SCOPED_TRACE(box);
            const QRect field = d.Edit(box)->geometry();
            const bool right = field.left() > leftColumnEnd;
            // The label's part of the field's line: from the column before it up to the field.
            const QRect line(right ? leftColumnEnd + 1 : 0, field.top(), field.left() - (right ? leftColumnEnd + 1 : 0),
                             field.height());
            const QRect label = ink(line);
            const bool shown = box == 10 || box <= positions + 1; // one empty box to type into
            ASSERT_EQ(d.Edit(box)->isVisible(), shown);
            if (!shown) {
                EXPECT_TRUE(label.isNull()) << "a label without its box";
                continue;
            }
            ASSERT_FALSE(label.isNull()) << "no label on the box's line";
            const QRect text = ink(field.adjusted(1, 0, -1, 0));
            ASSERT_FALSE(text.isNull());
            EXPECT_EQ(label.bottom(), text.bottom()) << "baselines apart";
            EXPECT_LE(label.right(), field.left() - 10) << "the label runs into its box";
            if (right) {
                EXPECT_GE(label.left(), leftColumnEnd + 10) << "the label runs under the first column";
            }
        }
        d.hide();
    }
}
